#pragma once

#include <QFileDialog>

#include "widgets/dialogs.h"

namespace tabrix {

// The program's dialogs: Qt's message boxes and Qt's own file dialogs (not
// the desktop's, so that every option behaves the same everywhere), and the
// system beep.
class QtDialogs : public Dialogs {
 public:
  MessageButton message(const MessageBoxContent& box) override;
  int exec(QDialog& dialog) override;
  QString openFileName(const FileDialogSetup& setup) override;
  QString saveFileName(const FileDialogSetup& setup) override;
  void beep() override;
};

// Sets up Qt's own file dialog the way `setup` asks; QtDialogs then runs it.
void setUpFileDialog(QFileDialog& dialog, const FileDialogSetup& setup, QFileDialog::AcceptMode mode);

}  // namespace tabrix
