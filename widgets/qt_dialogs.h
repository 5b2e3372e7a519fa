#pragma once

#include <QFileDialog>

#include "widgets/dialogs.h"

namespace tabrix {

// The program's dialogs: Qt's message boxes, Qt's own file and font dialogs
// (not the desktop's, so that every option behaves the same everywhere), Qt's
// print dialog, and the system beep.
class QtDialogs : public Dialogs {
 public:
  MessageButton message(const MessageBoxContent& box) override;
  int exec(QDialog& dialog) override;
  QString openFileName(const FileDialogSetup& setup) override;
  QString saveFileName(const FileDialogSetup& setup) override;
  std::optional<QFont> font(const FontDialogSetup& setup) override;
  bool print(QPrinter& printer) override;
  void beep() override;
};

// Sets up Qt's own file dialog the way `setup` asks; QtDialogs then runs it.
void setUpFileDialog(QFileDialog& dialog, const FileDialogSetup& setup, QFileDialog::AcceptMode mode);

}  // namespace tabrix
