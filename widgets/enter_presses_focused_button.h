#pragma once

#include <QObject>

namespace tabrix {

// Enter and keypad Enter press the push button that has the keyboard focus,
// as Space does, in every window: a dialog's default button answers Enter
// only while no other button has the focus. Installed on the application.
class EnterPressesFocusedButton : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tabrix
