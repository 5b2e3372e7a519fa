#include "widgets/guarded_application.h"

#include "widgets/handler_guard.h"

namespace tabrix {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  runHandler([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

}  // namespace tabrix
