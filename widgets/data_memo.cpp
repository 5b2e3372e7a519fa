#include "widgets/data_memo.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTextDocument>
#include <memory>

#include "data/data_source.h"
#include "data/field.h"
#include "widgets/handler_guard.h"
#include "widgets/line_breaks.h"
#include "widgets/memo_text.h"
#include "widgets/message_boxes.h"
#include "widgets/text_keys.h"

namespace tabrix {

DataMemo::DataMemo(DataSource& source, QWidget* parent) : QPlainTextEdit(parent), m_source(source) {
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setTabChangesFocus(true);
  setAcceptDrops(false);
  connect(&source, &DataSource::rowsReset, this, &DataMemo::showStoredValue);
  connect(&source, &DataSource::stateChanged, this, &DataMemo::showStoredValue);
  connect(&source, &DataSource::currentChanged, this, &DataMemo::showStoredValue);
  // A change to another field of the row leaves the memo's text alone.
  connect(&source, &DataSource::rowChanged, this, [this](int position) {
    const Dataset* dataset = m_source.dataset();
    if (dataset && position == dataset->position() && storedValue() != m_shownValue) showStoredValue();
  });
  connect(&source, &DataSource::recordUpdating, this, &DataMemo::writeText);
  showStoredValue();
}

void DataMemo::setFieldName(const QString& name) {
  m_fieldName = name;
  showStoredValue();
}

Field* DataMemo::field() const {
  Dataset* dataset = m_source.dataset();
  if (!dataset || !dataset->active() || m_fieldName.isEmpty()) return nullptr;
  return dataset->findField(m_fieldName);
}

bool DataMemo::canChange() const {
  const Field* bound = field();
  return bound && bound->dataset().canModify() && bound->canModify();
}

QString DataMemo::storedValue() const {
  const Field* bound = field();
  if (!bound || bound->dataset().recordCount() == 0) return {};
  try {
    return bound->text();
  } catch (const std::exception& error) {
    return QStringLiteral("(%1)").arg(errorText(error));
  }
}

void DataMemo::showStoredValue() {
  m_shownValue = storedValue();
  // The same text keeps the caret where the user put it.
  if (withCrLf(m_shownValue) != memoText(*this)) setMemoText(*this, m_shownValue);
  document()->setModified(false);
  setReadOnly(!canChange());
}

void DataMemo::writeText() {
  Field* bound = field();
  if (!bound || !document()->isModified()) return;
  bound->setText(memoText(*this));
  document()->setModified(false);
}

bool DataMemo::beginChange() {
  if (!canChange()) return false;
  bool editing = false;
  runHandler([&] { editing = m_source.edit(); });
  return editing;
}

void DataMemo::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    showStoredValue();
    event->accept();
    return;
  }
  if (changesText(*event) && !isReadOnly() && !beginChange()) {
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void DataMemo::inputMethodEvent(QInputMethodEvent* event) {
  if (!event->commitString().isEmpty() && !isReadOnly() && !beginChange()) {
    event->accept();
    return;
  }
  QPlainTextEdit::inputMethodEvent(event);
}

void DataMemo::contextMenuEvent(QContextMenuEvent* event) {
  const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
  // The menu's changes start edit mode first, as keys do.
  for (QAction* action : menu->actions()) {
    static const QStringList kChanges{QStringLiteral("edit-undo"), QStringLiteral("edit-redo"),
                                      QStringLiteral("edit-cut"), QStringLiteral("edit-paste"),
                                      QStringLiteral("edit-delete")};
    if (!kChanges.contains(action->objectName())) continue;
    const QString name = action->objectName();
    disconnect(action, &QAction::triggered, nullptr, nullptr);
    connect(action, &QAction::triggered, this, [this, name] {
      if (!beginChange()) return;
      if (name == QLatin1String("edit-undo")) undo();
      else if (name == QLatin1String("edit-redo")) redo();
      else if (name == QLatin1String("edit-cut")) cut();
      else if (name == QLatin1String("edit-paste")) paste();
      else textCursor().removeSelectedText();
    });
  }
  menu->exec(event->globalPos());
}

void DataMemo::focusOutEvent(QFocusEvent* event) {
  QPlainTextEdit::focusOutEvent(event);
  // Only a move to another control of this window writes; switching windows
  // or closing this one does not.
  QWidget* now = QApplication::focusWidget();
  const Qt::FocusReason reason = event->reason();
  if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || !now || now->window() != window())
    return;
  try {
    writeText();
  } catch (const std::exception& error) {
    setFocus(Qt::OtherFocusReason);
    showUncaughtError(error);
  }
}

}  // namespace tabrix
