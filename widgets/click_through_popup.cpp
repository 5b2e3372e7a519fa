#include "widgets/click_through_popup.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace tabrix {

namespace {

// The control under a click gets the focus, or the nearest of its parents
// that takes it from a click.
void giveClickFocus(QWidget* target) {
  for (QWidget* w = target; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
    if (w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus)) {
      w->setFocus(Qt::MouseFocusReason);
      return;
    }
  }
}

void replayPress(const QMouseEvent& press) {
  const QPoint global = press.globalPosition().toPoint();
  QWidget* target = QApplication::widgetAt(global);
  if (!target) return;
  const QWidget* modal = QApplication::activeModalWidget();
  if (modal && target->window() != modal) return;
  QWindow* window = target->window()->windowHandle();
  if (!window) return;

  // A click activates the window it lands in.
  if (!target->isActiveWindow()) target->activateWindow();
  giveClickFocus(target);
  const QPointF local = window->mapFromGlobal(global);
  QMouseEvent replay(QEvent::MouseButtonPress, local, local, press.globalPosition(), press.button(), press.buttons(),
                     press.modifiers(), press.pointingDevice());
  QCoreApplication::sendEvent(window, &replay);
}

class ClickThrough : public QObject {
 public:
  explicit ClickThrough(QWidget& popup) : QObject(&popup), m_popup(popup) { popup.installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &m_popup || event->type() != QEvent::MouseButtonPress) return false;
    const auto* press = static_cast<QMouseEvent*>(event);
    if (m_popup.rect().contains(m_popup.mapFromGlobal(press->globalPosition().toPoint()))) return false;
    m_popup.hide();
    replayPress(*press);
    return true;
  }

 private:
  QWidget& m_popup;
};

}  // namespace

void passClicksThrough(QWidget& popup) { new ClickThrough(popup); }

}  // namespace tabrix
