#include "widgets/message_boxes.h"

#include <QtGlobal>

#include "widgets/application_title.h"
#include "widgets/dialogs.h"

namespace tabrix {

void showMessage(const QString& text) {
  dialogs().message({applicationTitle(), text, MessageIcon::None, {MessageButton::Ok}});
}

void showErrorMessage(const QString& text) {
  dialogs().message({QStringLiteral("Error"), text, MessageIcon::Error, {MessageButton::Ok}});
}

void showUncaughtError(const std::exception& error) noexcept {
  try {
    dialogs().message({applicationTitle(), uncaughtErrorText(errorText(error)), MessageIcon::Error,
                       {MessageButton::Ok}});
  } catch (const std::exception& failure) {
    // Nothing is left to show it with; the program must go on regardless.
    qWarning("%s (and showing it failed: %s)", error.what(), failure.what());
  }
}

QString errorText(const std::exception& error) { return QString::fromUtf8(error.what()); }

QString uncaughtErrorText(const QString& text) {
  if (!text.isEmpty() && text.back().unicode() > u'.') return text + QLatin1Char('.');
  return text;
}

}  // namespace tabrix
