#include "widgets/guarded_application.h"

#include "widgets/enter_presses_focused_button.h"
#include "widgets/handler_guard.h"

namespace tabrix {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {
  installEventFilter(new EnterPressesFocusedButton(this));
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  runHandler([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

}  // namespace tabrix
