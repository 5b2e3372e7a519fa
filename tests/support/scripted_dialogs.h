#pragma once

#include <QString>
#include <deque>
#include <functional>

#include "widgets/dialogs.h"

// The dialogs of a test: it says, in order, which dialogs it expects and how
// each is answered. Installed for its lifetime. A dialog or beep that is not
// the one expected next fails the test (it is cancelled), and so does an
// expectation still waiting when the object goes or verify() is called.
class ScriptedDialogs : public tabrix::Dialogs {
 public:
  ScriptedDialogs();
  ~ScriptedDialogs() override;
  ScriptedDialogs(const ScriptedDialogs&) = delete;
  ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

  // A message box equal to `box`, answered by pressing `answer`.
  void expectMessage(const tabrix::MessageBoxContent& box,
                     tabrix::MessageButton answer = tabrix::MessageButton::Ok);
  // A dialog run through exec(): `answer` is called while it runs modally,
  // inspects and fills it, and accepts or rejects it.
  void expectExec(std::function<void(QDialog&)> answer);
  // A file dialog: `answer` sees what it starts with and gives the chosen
  // name, or an empty one to cancel.
  void expectOpenFile(std::function<QString(const tabrix::FileDialogSetup&)> answer);
  void expectSaveFile(std::function<QString(const tabrix::FileDialogSetup&)> answer);
  // A font dialog: `answer` sees what it starts with and gives the chosen
  // font, or nothing to cancel.
  void expectFont(std::function<std::optional<QFont>(const tabrix::FontDialogSetup&)> answer);
  // A print dialog: `answer` sets the printer up as a user would (a PDF file
  // as its output, say) and gives true to print, false to cancel.
  void expectPrint(std::function<bool(QPrinter&)> answer);
  void expectBeep();

  // Fails the test for every expectation still waiting, and forgets them.
  void verify();

  tabrix::MessageButton message(const tabrix::MessageBoxContent& box) override;
  int exec(QDialog& dialog) override;
  QString openFileName(const tabrix::FileDialogSetup& setup) override;
  QString saveFileName(const tabrix::FileDialogSetup& setup) override;
  std::optional<QFont> font(const tabrix::FontDialogSetup& setup) override;
  bool print(QPrinter& printer) override;
  void beep() override;

 private:
  enum class Kind { Message, Exec, OpenFile, SaveFile, Beep, Font, Print };
  struct Expected {
    Kind kind = Kind::Message;
    tabrix::MessageBoxContent box{};
    tabrix::MessageButton answer = tabrix::MessageButton::Ok;
    std::function<void(QDialog&)> execAnswer{};
    std::function<QString(const tabrix::FileDialogSetup&)> fileAnswer{};
    std::function<std::optional<QFont>(const tabrix::FontDialogSetup&)> fontAnswer{};
    std::function<bool(QPrinter&)> printAnswer{};
  };

  // The next expectation when it is of `kind`; else the test fails, with
  // `shown` describing what came instead.
  bool next(Kind kind, const QString& shown, Expected& expected);
  QString fileDialog(Kind kind, const tabrix::FileDialogSetup& setup);

  std::deque<Expected> m_expected;
  tabrix::Dialogs* m_previous;
};
