#pragma once

#include <QString>

#include "widgets/application_title.h"
#include "widgets/dialogs.h"
#include "widgets/message_boxes.h"

// The boxes the windows show, as a test expects them.

// A plain message: no icon, the application's title.
inline tabrix::MessageBoxContent plainMessage(const QString& text) {
  return {tabrix::applicationTitle(), text, tabrix::MessageIcon::None, {tabrix::MessageButton::Ok}};
}

// The default error handler showing an error with this text.
inline tabrix::MessageBoxContent uncaughtError(const QString& text) {
  return {tabrix::applicationTitle(), tabrix::uncaughtErrorText(text), tabrix::MessageIcon::Error,
          {tabrix::MessageButton::Ok}};
}

// The grid's and the navigator's question before a row is deleted.
inline tabrix::MessageBoxContent deleteQuestion() {
  return {QStringLiteral("Confirm"), QStringLiteral("Delete record?"), tabrix::MessageIcon::Question,
          {tabrix::MessageButton::Ok, tabrix::MessageButton::Cancel}};
}
