#include "app/form_main.h"

#include <QApplication>
#include <QSignalSpy>
#include <QWindow>
#include <gtest/gtest.h>

#include "data/connection.h"
#include "main_window.h"
#include "dialog_printers.h"
#include "expected_messages.h"
#include "scripted_dialogs.h"
#include "widgets/application_title.h"

namespace tabrix {
namespace {

TEST(FormMain, DesignedWindow) {
  MainWindow window;
  window.show();
  EXPECT_EQ(window.form().windowTitle(), "Varnel 17.11.2014");
  // The designed client area, grown where the window manager's frame is too
  // thin for the minimum outer size of 537 × 173 (offscreen: 2 pixels).
  const QMargins frame = window.form().windowHandle()->frameMargins();
  EXPECT_EQ(window.form().size(), QSize(539, 158).expandedTo(QSize(537, 173).shrunkBy(frame)));

  const struct {
    const char* name;
    const char* caption;
    QRect geometry;
  } controls[] = {
      {"fn", "", {8, 24, 249, 21}},
      {"ed_PassWord", "", {8, 61, 121, 21}},
      {"chb_Prompt", "Prompt", {135, 60, 74, 17}},
      {"ComboBox_Tables", "<wybierz tablice>", {8, 112, 249, 21}},
      {"bt_OpenBaza", "Otworz baze", {272, 24, 113, 25}},
      {"bt_CloseBaza", "Zamknij baze", {272, 56, 113, 25}},
      {"b_OpenTable", "Edytuj tablice", {272, 112, 113, 25}},
      {"b_Close", "Koniec", {400, 24, 121, 25}},
      {"b_OpenSQL", "SQL", {400, 112, 121, 25}},
  };
  for (const auto& control : controls) {
    auto* widget = window.find<QWidget>(control.name);
    EXPECT_EQ(widget->geometry(), control.geometry) << control.name;
    QString caption;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) caption = button->text();
    if (auto* combo = qobject_cast<QComboBox*>(widget)) caption = combo->currentText();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) caption = edit->text();
    EXPECT_EQ(caption, control.caption) << control.name;
  }
  const struct {
    const char* name;
    const char* caption;
    QPoint position;
  } labels[] = {{"Label1", "Baza danych", {8, 8}}, {"LabelPass", "PassWord", {10, 48}}, {"Label4", "Tablica", {8, 96}}};
  for (const auto& label : labels) {
    EXPECT_EQ(window.find<QLabel>(label.name)->text(), label.caption);
    EXPECT_EQ(window.find<QLabel>(label.name)->pos(), label.position);
  }

  EXPECT_EQ(window.password()->echoMode(), QLineEdit::Normal);
  EXPECT_FALSE(window.prompt()->isChecked());
  EXPECT_TRUE(window.tables()->isEditable());
  EXPECT_EQ(window.tables()->count(), 0);
  for (auto* button : window.form().findChildren<QPushButton*>()) {
    EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
    EXPECT_FALSE(button->autoDefault()) << button->objectName().toStdString();
  }
}

TEST(FormMain, StartsDisconnectedWithTheFocusOnKoniec) {
  MainWindow window;
  window.show();
  EXPECT_EQ(window.linkButtons(), MainWindow::disconnected());
  for (QWidget* control : std::initializer_list<QWidget*>{window.fn(), window.password(), window.passwordLabel(),
                                                          window.prompt(), window.tables(), window.quit()})
    EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
  EXPECT_FALSE(window.form().connection().connected());
  EXPECT_FALSE(window.form().connection().loginPrompt());
  EXPECT_EQ(QApplication::focusWidget(), window.quit());
}

TEST(FormMain, TabOrder) {
  MainWindow window;
  window.show();
  for (QPushButton* button : {window.closeBase(), window.openTable(), window.openSql()}) button->setEnabled(true);

  // The control that has the focus, or holds the part of it that has.
  auto focused = [&] {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
      if (w->parentWidget() == &window.form()) return w->objectName();
    return QString();
  };
  QStringList order;
  for (int i = 0; i < 9; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    order << focused();
  }
  EXPECT_EQ(order, QStringList({"ComboBox_Tables", "b_OpenTable", "fn", "ed_PassWord", "bt_OpenBaza", "bt_CloseBaza",
                                "b_OpenSQL", "chb_Prompt", "b_Close"}));
}

TEST(FormMain, EnterAndKeypadEnterPressTheFocusedButton) {
  ScriptedDialogs dialogs;
  MainWindow window;
  window.show();

  // "Koniec" last: it closes the window. "Otworz baze" finds no file,
  // "Edytuj tablice" no table, and "Zamknij baze" disables itself.
  const std::pair<Qt::Key, Qt::KeyboardModifiers> enterKeys[] = {{Qt::Key_Return, Qt::NoModifier},
                                                                 {Qt::Key_Enter, Qt::KeypadModifier}};
  for (QPushButton* button :
       {window.openTable(), window.openSql(), window.openBase(), window.closeBase(), window.quit()}) {
    QSignalSpy clicked(button, &QPushButton::clicked);
    for (const auto& [key, modifiers] : enterKeys) {
      if (!window.form().isVisible()) break;
      if (button == window.openBase()) dialogs.expectBeep();
      if (button == window.openTable()) dialogs.expectMessage(plainMessage("Nie otworzono tablicy \"<wybierz tablice>\""));
      button->setEnabled(true);
      button->setFocus();
      QTest::keyClick(button, key, modifiers);
      dialogs.verify();
    }
    EXPECT_EQ(clicked.count(), button == window.quit() ? 1 : 2) << button->objectName().toStdString();
  }
  EXPECT_FALSE(window.form().isVisible());
}

TEST(FormMain, EnterInTheEditBoxesPressesNothing) {
  MainWindow window;
  window.show();
  std::vector<std::unique_ptr<QSignalSpy>> clicks;
  for (QPushButton* button : window.form().findChildren<QPushButton*>())
    clicks.push_back(std::make_unique<QSignalSpy>(button, &QPushButton::clicked));
  QLineEdit* fileName = window.fn()->findChild<QLineEdit*>();
  for (QLineEdit* box : {fileName, window.password()}) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
  }
  for (const auto& spy : clicks) EXPECT_EQ(spy->count(), 0);
  EXPECT_TRUE(window.form().isVisible());
}

TEST(FormMain, PromptTurnsThePasswordBoxAndTheLoginPromptOnAndOff) {
  MainWindow window;
  window.show();
  QTest::mouseClick(window.prompt(), Qt::LeftButton);
  EXPECT_FALSE(window.password()->isEnabled());
  EXPECT_FALSE(window.passwordLabel()->isEnabled());
  EXPECT_TRUE(window.form().connection().loginPrompt());
  EXPECT_EQ(window.linkButtons(), MainWindow::disconnected());

  QTest::keyClick(window.prompt(), Qt::Key_Space);
  EXPECT_TRUE(window.password()->isEnabled());
  EXPECT_TRUE(window.passwordLabel()->isEnabled());
  EXPECT_FALSE(window.form().connection().loginPrompt());
}

TEST(FormMain, KoniecClosesTheWindow) {
  MainWindow window;
  window.show();
  QTest::mouseClick(window.quit(), Qt::LeftButton);
  EXPECT_FALSE(window.form().isVisible());
}

struct CommandLineCase {
  QStringList arguments;
  QString shown;
};

class CommandLineTest : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, TheOneMdbArgumentReplacesTheStoredName) {
  MainWindow window(GetParam().arguments, "stored.mdb");
  window.show();
  EXPECT_EQ(window.fn()->text(), GetParam().shown);
  EXPECT_EQ(QApplication::focusWidget(), window.quit());
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineTest,
    testing::Values(CommandLineCase{{"x.mdb"}, "x.mdb"}, CommandLineCase{{"D:\\Data\\SHOP.MDB"}, "D:\\Data\\SHOP.MDB"},
                    CommandLineCase{{"/home/jan/Baza.Mdb"}, "/home/jan/Baza.Mdb"},
                    CommandLineCase{{".mdb"}, "stored.mdb"}, CommandLineCase{{".MDB.mdb"}, "stored.mdb"},
                    CommandLineCase{{"notes.mdbx"}, "notes.mdbx"}, CommandLineCase{{"notes.txt"}, "stored.mdb"},
                    CommandLineCase{{"x.mdb", "y.mdb"}, "stored.mdb"}, CommandLineCase{{}, "stored.mdb"},
                    CommandLineCase{{"/home/jan/Moje bazy/sklep.mdb"}, "\"/home/jan/Moje bazy/sklep.mdb\""}));

TEST(FormMain, ARefusedArgumentGoesToTheDefaultErrorHandlerAndTheWindowOpens) {
  ScriptedDialogs dialogs;
  dialogs.expectMessage(
      {applicationTitle(), "Invalid file name - co?.mdb.", MessageIcon::Error, {MessageButton::Ok}});
  MainWindow window({"co?.mdb"}, "stored.mdb");
  window.show();
  EXPECT_TRUE(window.form().isVisible());
  EXPECT_EQ(window.fn()->text(), "stored.mdb");
}

TEST(FormMain, TheCommandLineRuleRunsOnTheFirstShowingOnly) {
  MainWindow window({"x.mdb"});
  window.show();
  window.fn()->setText("typed.mdb");
  window.form().hide();
  window.show();
  EXPECT_EQ(window.fn()->text(), "typed.mdb");
}

}  // namespace
}  // namespace tabrix
