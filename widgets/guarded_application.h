#pragma once

#include <QApplication>

namespace tabrix {

// The application object: an error that escapes the handling of any event
// reaches the default error handler instead of ending the program. Handlers
// catch their own errors (runHandler); this is the net below them. In every
// window Enter presses the focused push button.
class GuardedApplication : public QApplication {
  Q_OBJECT

 public:
  GuardedApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace tabrix
