#include "app/login_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "dialog_printers.h"
#include "scripted_dialogs.h"

namespace tabrix {
namespace {

QLineEdit* box(QDialog& dialog, const char* name) { return dialog.findChild<QLineEdit*>(QString::fromLatin1(name)); }

TEST(LoginDialog, ShowsTheDatabaseAndTheUserNameAndStartsInThePassword) {
  ScriptedDialogs dialogs;
  dialogs.expectExec([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Database Login");
    EXPECT_EQ(dialog.size(), QSize(283, 147));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.findChild<QLabel*>("DatabaseName")->text(), "ADOConnection");
    EXPECT_EQ(box(dialog, "UserName")->text(), "admin");
    EXPECT_EQ(box(dialog, "Password")->text(), "");
    EXPECT_EQ(box(dialog, "Password")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.focusWidget(), box(dialog, "Password"));
    EXPECT_EQ(dialog.findChild<QPushButton*>("OKButton")->text(), "&OK");
    EXPECT_TRUE(dialog.findChild<QPushButton*>("OKButton")->isDefault());
    EXPECT_EQ(dialog.findChild<QPushButton*>("CancelButton")->text(), "Cancel");

    QTest::keyClicks(box(dialog, "Password"), "sekret");
    QTest::keyClick(box(dialog, "Password"), Qt::Key_Return);
  });

  const auto credentials = askForLogin("ADOConnection", "admin");
  ASSERT_TRUE(credentials);
  EXPECT_EQ(credentials->userName, "admin");
  EXPECT_EQ(credentials->password, "sekret");
}

TEST(LoginDialog, StartsInTheUserNameWhenThereIsNoneAndTakesAtMost31Characters) {
  ScriptedDialogs dialogs;
  const QString typed = QString(40, 'x');
  dialogs.expectExec([&](QDialog& dialog) {
    EXPECT_EQ(dialog.focusWidget(), box(dialog, "UserName"));
    QTest::keyClicks(box(dialog, "UserName"), typed);
    QTest::keyClicks(box(dialog, "Password"), typed);
    dialog.findChild<QPushButton*>("OKButton")->click();
  });

  const auto credentials = askForLogin("ADOConnection", "");
  ASSERT_TRUE(credentials);
  EXPECT_EQ(credentials->userName, typed.left(31));
  EXPECT_EQ(credentials->password, typed.left(31));
}

TEST(LoginDialog, CancelEscapeAndClosingGiveNothing) {
  ScriptedDialogs dialogs;
  dialogs.expectExec([](QDialog& dialog) { dialog.findChild<QPushButton*>("CancelButton")->click(); });
  dialogs.expectExec([](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
  dialogs.expectExec([](QDialog& dialog) { dialog.close(); });

  EXPECT_FALSE(askForLogin("ADOConnection", "admin"));
  EXPECT_FALSE(askForLogin("ADOConnection", "admin"));
  EXPECT_FALSE(askForLogin("ADOConnection", "admin"));
}

TEST(LoginDialog, EnterPressesTheFocusedButtonElseOk) {
  ScriptedDialogs dialogs;
  auto pressEnterOn = [](const char* name, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    return [=](QDialog& dialog) {
      QWidget* control = dialog.findChild<QWidget*>(QString::fromLatin1(name));
      control->setFocus();
      QTest::keyClick(control, key, modifiers);
    };
  };
  dialogs.expectExec(pressEnterOn("CancelButton", Qt::Key_Return));
  dialogs.expectExec(pressEnterOn("CancelButton", Qt::Key_Enter, Qt::KeypadModifier));
  dialogs.expectExec(pressEnterOn("OKButton", Qt::Key_Return));
  dialogs.expectExec(pressEnterOn("UserName", Qt::Key_Enter, Qt::KeypadModifier));

  EXPECT_FALSE(askForLogin("ADOConnection", "admin"));
  EXPECT_FALSE(askForLogin("ADOConnection", "admin"));
  EXPECT_TRUE(askForLogin("ADOConnection", "admin"));
  EXPECT_TRUE(askForLogin("ADOConnection", "admin"));
}

}  // namespace
}  // namespace tabrix
