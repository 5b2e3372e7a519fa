#pragma once

#include <QString>
#include <exception>

namespace tabrix {

// The three kinds of box the windows show. Each is modal, centred on the
// screen, with the one button "OK".

// No icon, captioned with the application title.
void showMessage(const QString& text);
// Captioned "Error", with the error icon.
void showErrorMessage(const QString& text);
// The default error handler: the box for an error no handler caught, with the
// error icon, captioned with the application title. Never throws; the program
// goes on.
void showUncaughtError(const std::exception& error) noexcept;

// An error's own text (what() is UTF-8).
QString errorText(const std::exception& error);
// The default error handler's text: the error's text with "." appended when
// its last character's code is greater than that of ".".
QString uncaughtErrorText(const QString& text);

}  // namespace tabrix
