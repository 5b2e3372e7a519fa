#pragma once

#include <QObject>
#include <exception>
#include <stdexcept>
#include <utility>

#include "widgets/message_boxes.h"

namespace tabrix {

// Runs one user action. Whatever error it lets escape goes to the default
// error handler, and the program goes on.
template <typename Action>
void runHandler(Action&& action) noexcept {
  try {
    std::forward<Action>(action)();
  } catch (const std::exception& error) {
    showUncaughtError(error);
  } catch (...) {
    showUncaughtError(std::runtime_error("Unknown error"));
  }
}

// Connects a signal to a handler of the receiver that takes no arguments,
// through runHandler.
template <typename Sender, typename Signal, typename Receiver>
QMetaObject::Connection connectHandler(Sender* sender, Signal signal, Receiver* receiver,
                                       void (Receiver::*handler)()) {
  return QObject::connect(sender, signal, receiver,
                          [receiver, handler] { runHandler([&] { (receiver->*handler)(); }); });
}

}  // namespace tabrix
