#include "widgets/data_navigator.h"

#include <QEvent>
#include <QToolButton>

#include "data/data_source.h"
#include "widgets/delete_record.h"
#include "widgets/handler_guard.h"

namespace tabrix {

namespace {

constexpr int kRepeatDelay = 400;
constexpr int kRepeatInterval = 100;

}  // namespace

const std::vector<NavigatorButton>& DataNavigator::allButtons() {
  static const std::vector<NavigatorButton> all{
      NavigatorButton::First,  NavigatorButton::Prior, NavigatorButton::Next, NavigatorButton::Last,
      NavigatorButton::Insert, NavigatorButton::Delete, NavigatorButton::Edit, NavigatorButton::Post,
      NavigatorButton::Cancel, NavigatorButton::Refresh};
  return all;
}

DataNavigator::DataNavigator(DataSource& source, std::vector<NavigatorButton> buttons, QWidget* parent)
    : QWidget(parent), m_source(source), m_order(std::move(buttons)) {
  setFocusPolicy(Qt::NoFocus);
  for (NavigatorButton which : m_order) {
    auto* button = new QToolButton(this);
    button->setObjectName(navigatorButtonName(which));
    button->setAccessibleName(navigatorButtonName(which));
    button->setFocusPolicy(Qt::NoFocus);
    if (which == NavigatorButton::Prior || which == NavigatorButton::Next) {
      button->setAutoRepeat(true);
      button->setAutoRepeatDelay(kRepeatDelay);
      button->setAutoRepeatInterval(kRepeatInterval);
    }
    connect(button, &QToolButton::clicked, this, [this, which] { act(which); });
    m_buttons[which] = button;
  }
  updateGlyphs();
  connect(&source, &DataSource::stateChanged, this, &DataNavigator::updateButtons);
  connect(&source, &DataSource::currentChanged, this, &DataNavigator::updateButtons);
  connect(&source, &DataSource::rowsReset, this, &DataNavigator::updateButtons);
  connect(&source, &DataSource::rowInserted, this, &DataNavigator::updateButtons);
  connect(&source, &DataSource::rowRemoved, this, &DataNavigator::updateButtons);
  updateButtons();
}

QToolButton* DataNavigator::button(NavigatorButton which) const {
  const auto found = m_buttons.find(which);
  return found == m_buttons.end() ? nullptr : found->second;
}

void DataNavigator::setFlat(bool flat) {
  for (const auto& [which, button] : m_buttons) button->setAutoRaise(flat);
}

void DataNavigator::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // Equal widths; the pixels left over go to the first buttons.
  const int count = static_cast<int>(m_order.size());
  if (count == 0) return;
  const int width = this->width() / count;
  int extra = this->width() - width * count;
  int left = 0;
  for (NavigatorButton which : m_order) {
    const int own = width + (extra-- > 0 ? 1 : 0);
    m_buttons[which]->setGeometry(left, 0, own, height());
    left += own;
  }
}

void DataNavigator::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) updateGlyphs();
}

void DataNavigator::updateGlyphs() {
  const QColor color = palette().color(QPalette::ButtonText);
  for (const auto& [which, button] : m_buttons) button->setIcon(navigatorGlyph(which, color));
}

void DataNavigator::updateButtons() {
  Dataset* dataset = m_source.dataset();
  const bool active = dataset && dataset->active();
  const bool canModify = active && dataset->canModify();
  const bool editing = m_source.editing();
  const bool up = active && !dataset->bof();
  const bool down = active && !dataset->eof();
  const std::map<NavigatorButton, bool> enabled{
      {NavigatorButton::First, up},
      {NavigatorButton::Prior, up},
      {NavigatorButton::Next, down},
      {NavigatorButton::Last, down},
      {NavigatorButton::Insert, canModify},
      {NavigatorButton::Delete, canModify && !dataset->isEmpty()},
      {NavigatorButton::Edit, canModify && !editing},
      {NavigatorButton::Post, canModify && editing},
      {NavigatorButton::Cancel, canModify && editing},
      {NavigatorButton::Refresh, canModify},
  };
  for (const auto& [which, button] : m_buttons) button->setEnabled(enabled.at(which));
}

void DataNavigator::act(NavigatorButton which) {
  runHandler([&] {
    Dataset* dataset = m_source.dataset();
    if (!dataset || !dataset->active()) return;
    switch (which) {
      case NavigatorButton::Edit: dataset->edit(); return;
      case NavigatorButton::Cancel: dataset->cancel(); return;
      case NavigatorButton::Delete: deleteRecord(m_source); return;
      default: break;
    }
    m_source.updateRecord();
    switch (which) {
      case NavigatorButton::First: dataset->first(); break;
      case NavigatorButton::Prior: dataset->prior(); break;
      case NavigatorButton::Next: dataset->next(); break;
      case NavigatorButton::Last: dataset->last(); break;
      case NavigatorButton::Insert: dataset->insert(); break;
      case NavigatorButton::Post: dataset->post(); break;
      case NavigatorButton::Refresh: dataset->refresh(); break;
      default: break;
    }
  });
}

}  // namespace tabrix
