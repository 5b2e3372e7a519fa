#pragma once

#include <QFileDialog>

#include "widgets/dialogs.h"

namespace tabrix {

// The program's dialogs: Qt's message boxes and Qt's own file dialogs (not
// the desktop's, so that every option behaves the same everywhere), and the
// system beep.
class QtDialogs : public Dialogs {
 public:
  MessageButton message(const MessageBoxSpec& box) override;
  int exec(QDialog& dialog) override;
  QString openFileName(const FileDialogSpec& spec) override;
  QString saveFileName(const FileDialogSpec& spec) override;
  void beep() override;
};

// Sets up Qt's own file dialog the way `spec` asks; QtDialogs then runs it.
void setUpFileDialog(QFileDialog& dialog, const FileDialogSpec& spec, QFileDialog::AcceptMode mode);

}  // namespace tabrix
