#include "scripted_dialogs.h"

#include <QDialog>
#include <QTimer>
#include <gtest/gtest.h>

#include "dialog_printers.h"

using tabrix::FileDialogSetup;
using tabrix::MessageBoxContent;
using tabrix::MessageButton;

namespace {

const char* kindName(int kind) {
  static const char* const names[] = {"message box", "dialog",      "open-file dialog", "save-file dialog",
                                      "beep",        "font dialog", "print dialog"};
  return names[kind];
}

}  // namespace

ScriptedDialogs::ScriptedDialogs() : m_previous(tabrix::installDialogs(this)) {}

ScriptedDialogs::~ScriptedDialogs() {
  verify();
  tabrix::installDialogs(m_previous);
}

void ScriptedDialogs::expectMessage(const MessageBoxContent& box, MessageButton answer) {
  m_expected.push_back({.kind = Kind::Message, .box = box, .answer = answer});
}

void ScriptedDialogs::expectExec(std::function<void(QDialog&)> answer) {
  m_expected.push_back({.kind = Kind::Exec, .execAnswer = std::move(answer)});
}

void ScriptedDialogs::expectOpenFile(std::function<QString(const FileDialogSetup&)> answer) {
  m_expected.push_back({.kind = Kind::OpenFile, .fileAnswer = std::move(answer)});
}

void ScriptedDialogs::expectSaveFile(std::function<QString(const FileDialogSetup&)> answer) {
  m_expected.push_back({.kind = Kind::SaveFile, .fileAnswer = std::move(answer)});
}

void ScriptedDialogs::expectFont(std::function<std::optional<QFont>(const tabrix::FontDialogSetup&)> answer) {
  m_expected.push_back({.kind = Kind::Font, .fontAnswer = std::move(answer)});
}

void ScriptedDialogs::expectPrint(std::function<bool(QPrinter&)> answer) {
  m_expected.push_back({.kind = Kind::Print, .printAnswer = std::move(answer)});
}

void ScriptedDialogs::expectBeep() { m_expected.push_back({.kind = Kind::Beep}); }

void ScriptedDialogs::verify() {
  for (const Expected& expected : m_expected) {
    if (expected.kind == Kind::Message)
      ADD_FAILURE() << "expected message box never came: " << expected.box.text.toStdString();
    else
      ADD_FAILURE() << "expected " << kindName(static_cast<int>(expected.kind)) << " never came";
  }
  m_expected.clear();
}

bool ScriptedDialogs::next(Kind kind, const QString& shown, Expected& expected) {
  if (m_expected.empty() || m_expected.front().kind != kind) {
    ADD_FAILURE() << "unexpected " << kindName(static_cast<int>(kind)) << ": " << shown.toStdString()
                  << (m_expected.empty() ? std::string(" (nothing expected)")
                                         : std::string(" (expected a ") +
                                               kindName(static_cast<int>(m_expected.front().kind)) + ")");
    return false;
  }
  expected = std::move(m_expected.front());
  m_expected.pop_front();
  return true;
}

MessageButton ScriptedDialogs::message(const MessageBoxContent& box) {
  Expected expected;
  if (!next(Kind::Message, box.caption + QStringLiteral(": ") + box.text, expected))
    return box.buttons.empty() ? MessageButton::Ok : box.buttons.back();
  EXPECT_EQ(box.caption, expected.box.caption);
  EXPECT_EQ(box.text, expected.box.text);
  EXPECT_EQ(box.icon, expected.box.icon);
  EXPECT_EQ(box.buttons, expected.box.buttons);
  return expected.answer;
}

int ScriptedDialogs::exec(QDialog& dialog) {
  Expected expected;
  if (!next(Kind::Exec, dialog.windowTitle(), expected)) return QDialog::Rejected;
  // The answer runs inside the dialog's own modal loop, as a user would.
  QTimer::singleShot(0, &dialog, [&dialog, answer = expected.execAnswer] {
    answer(dialog);
    if (dialog.isVisible()) {
      ADD_FAILURE() << "the answer left the dialog \"" << dialog.windowTitle().toStdString() << "\" open";
      dialog.reject();
    }
  });
  return dialog.exec();
}

QString ScriptedDialogs::fileDialog(Kind kind, const FileDialogSetup& setup) {
  Expected expected;
  if (!next(kind, setup.title, expected)) return {};
  return expected.fileAnswer(setup);
}

QString ScriptedDialogs::openFileName(const FileDialogSetup& setup) { return fileDialog(Kind::OpenFile, setup); }

QString ScriptedDialogs::saveFileName(const FileDialogSetup& setup) { return fileDialog(Kind::SaveFile, setup); }

std::optional<QFont> ScriptedDialogs::font(const tabrix::FontDialogSetup& setup) {
  Expected expected;
  if (!next(Kind::Font, setup.font.family(), expected)) return std::nullopt;
  return expected.fontAnswer(setup);
}

bool ScriptedDialogs::print(QPrinter& printer) {
  Expected expected;
  if (!next(Kind::Print, QStringLiteral("print"), expected)) return false;
  return expected.printAnswer(printer);
}

void ScriptedDialogs::beep() {
  Expected expected;
  next(Kind::Beep, QStringLiteral("beep"), expected);
}
