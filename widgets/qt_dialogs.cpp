#include "widgets/qt_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>

#include "widgets/file_dialog_filter.h"

namespace tabrix {

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton qtButton(MessageButton button) {
  switch (button) {
    case MessageButton::Cancel: return QMessageBox::Cancel;
    case MessageButton::Yes: return QMessageBox::Yes;
    case MessageButton::No: return QMessageBox::No;
    case MessageButton::Ok: break;
  }
  return QMessageBox::Ok;
}

// A message box breaks lines at carriage returns, alone or before a line feed.
QString displayedText(QString text) {
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

// Qt's file dialog, which on request keeps itself open, with a warning, when
// the chosen name lies in a folder that doesn't exist.
class FolderCheckingFileDialog : public QFileDialog {
 public:
  explicit FolderCheckingFileDialog(bool folderMustExist) : m_folderMustExist(folderMustExist) {}

  void accept() override {
    const QStringList files = selectedFiles();
    if (m_folderMustExist && !files.isEmpty() && !QFileInfo(files.constFirst()).dir().exists()) {
      QMessageBox::warning(this, windowTitle(),
                           QStringLiteral("%1\nThe folder does not exist. Check the name and try again.")
                               .arg(QDir::toNativeSeparators(files.constFirst())));
      return;
    }
    QFileDialog::accept();
  }

 private:
  bool m_folderMustExist;
};

QString runFileDialog(const FileDialogSetup& setup, QFileDialog::AcceptMode mode) {
  FolderCheckingFileDialog dialog(setup.folderMustExist);
  setUpFileDialog(dialog, setup, mode);
  while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    const QString chosen = dialog.selectedFiles().constFirst();
    if (!setup.createPrompt || mode != QFileDialog::AcceptSave || QFileInfo::exists(chosen)) return chosen;
    const QString question = QStringLiteral("%1 does not exist.\nDo you want to create it?")
                                 .arg(QDir::toNativeSeparators(QFileInfo(chosen).fileName()));
    if (QMessageBox::question(&dialog, dialog.windowTitle(), question) == QMessageBox::Yes) return chosen;
  }
  return {};
}

}  // namespace

MessageButton QtDialogs::message(const MessageBoxContent& box) {
  QMessageBox messageBox(qtIcon(box.icon), box.caption, displayedText(box.text));
  messageBox.setTextFormat(Qt::PlainText);
  for (MessageButton button : box.buttons) messageBox.addButton(qtButton(button));
  if (!box.buttons.empty()) messageBox.setEscapeButton(qtButton(box.buttons.back()));
  const auto pressed = static_cast<QMessageBox::StandardButton>(messageBox.exec());
  for (MessageButton button : box.buttons)
    if (qtButton(button) == pressed) return button;
  return box.buttons.empty() ? MessageButton::Ok : box.buttons.back();
}

void setUpFileDialog(QFileDialog& dialog, const FileDialogSetup& setup, QFileDialog::AcceptMode mode) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // The type list shows the descriptions as written, not Qt's patterns.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setWindowTitle(setup.title);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(setup.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !setup.overwritePrompt);
  dialog.setNameFilters(qtNameFilters(setup.filter));
  dialog.setDefaultSuffix(setup.defaultExtension);
  if (!setup.folder.isEmpty()) dialog.setDirectory(setup.folder);
  if (!setup.fileName.isEmpty()) dialog.selectFile(setup.fileName);
}

int QtDialogs::exec(QDialog& dialog) { return dialog.exec(); }

QString QtDialogs::openFileName(const FileDialogSetup& setup) {
  return runFileDialog(setup, QFileDialog::AcceptOpen);
}

QString QtDialogs::saveFileName(const FileDialogSetup& setup) {
  return runFileDialog(setup, QFileDialog::AcceptSave);
}

std::optional<QFont> QtDialogs::font(const FontDialogSetup& setup) {
  QFontDialog dialog(setup.font);
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  dialog.setOption(QFontDialog::MonospacedFonts, setup.fixedPitchOnly);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.selectedFont();
}

bool QtDialogs::print(QPrinter& printer) {
  QPrintDialog dialog(&printer);
  return dialog.exec() == QDialog::Accepted;
}

void QtDialogs::beep() { QApplication::beep(); }

}  // namespace tabrix
