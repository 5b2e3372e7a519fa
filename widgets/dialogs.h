#pragma once

#include <QFont>
#include <QString>
#include <optional>
#include <vector>

class QDialog;
class QPrinter;

namespace tabrix {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButton { Ok, Cancel, Yes, No };

// What a message box shows: caption, text (a carriage return breaks the line),
// icon and buttons, left to right.
struct MessageBoxContent {
  QString caption;
  QString text;
  MessageIcon icon = MessageIcon::None;
  std::vector<MessageButton> buttons{MessageButton::Ok};

  bool operator==(const MessageBoxContent&) const = default;
};

// What an open or save dialog starts with. The filter is written as pairs of
// description and patterns, all separated by "|" (patterns of one pair by
// ";"), as in "Baza ACCES|*.mdb|Wszystkie pliki (*.*)|*.*"; the first pair is
// selected when the dialog opens.
struct FileDialogSetup {
  QString title;
  QString filter;
  QString folder;            // where the dialog starts; empty: the platform's choice
  QString fileName;          // filled in; empty: none
  QString defaultExtension;  // added, without its dot, to a chosen name that has none
  bool fileMustExist = false;
  bool overwritePrompt = false;
  bool folderMustExist = false;  // a name in a folder that doesn't exist is refused
  bool createPrompt = false;  // a save dialog asks before a file that doesn't exist is made

  bool operator==(const FileDialogSetup&) const = default;
};

// What a font dialog starts with.
struct FontDialogSetup {
  QFont font;                   // selected when the dialog opens
  bool fixedPitchOnly = false;  // only fonts of fixed pitch are offered

  bool operator==(const FontDialogSetup&) const = default;
};

// The one way to a modal interaction: every message box, custom dialog, file,
// font and print dialog and the system beep go through here, so that tests can answer them
// and see exactly what was shown.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Shows a modal box centred on the screen; gives the button pressed.
  // Closing the box without a button gives the last button.
  virtual MessageButton message(const MessageBoxContent& box) = 0;
  // Runs a dialog modally; gives its QDialog::DialogCode.
  virtual int exec(QDialog& dialog) = 0;
  // The chosen file's name, or empty when the user cancelled.
  virtual QString openFileName(const FileDialogSetup& setup) = 0;
  virtual QString saveFileName(const FileDialogSetup& setup) = 0;
  // The chosen font, or nothing when the user cancelled.
  virtual std::optional<QFont> font(const FontDialogSetup& setup) = 0;
  // The print dialog for `printer`: true when the user chose to print, and
  // the printer then carries the choices made; false when cancelled.
  virtual bool print(QPrinter& printer) = 0;
  virtual void beep() = 0;
};

// The dialogs every window uses: the ones installed last, else Qt's.
Dialogs& dialogs();
// Installs `dialogs` (not owned; nullptr goes back to Qt's) and gives back
// what was installed before.
Dialogs* installDialogs(Dialogs* dialogs);

}  // namespace tabrix
