// Connecting through the built-in engine: no ODBC driver is registered under
// the Access driver's name, so the same connection string opens the file
// with the engine.
#include <QApplication>
#include <QTemporaryDir>
#include <QWindow>
#include <gtest/gtest.h>

#include "app/connection_string.h"
#include "completions.h"
#include "data/connection.h"
#include "fixtures.h"
#include "main_window.h"
#include "open_failure.h"
#include "odbc_registry.h"
#include "dialog_printers.h"
#include "scripted_dialogs.h"
#include "widgets/application_title.h"

namespace tabrix {
namespace {

QString fixture(const char* name) { return QString::fromStdString(fixtures::mdb(name).string()); }

class EngineConnectTest : public testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_FIXTURE(fixtures::mdb("nwind.mdb"));
    m_window.show();
  }

  void openBase(const QString& fileName, const QString& password = {}) {
    m_window.fn()->setText(fileName);
    m_window.password()->setText(password);
    QTest::mouseClick(m_window.openBase(), Qt::LeftButton);
  }

  odbc_registry::Registry m_noDrivers;
  ScriptedDialogs m_dialogs;
  MainWindow m_window;
};

TEST_F(EngineConnectTest, ListsNwindsTablesAndQueriesWithTheStringUnchanged) {
  openBase(fixture("nwind.mdb"));

  EXPECT_EQ(m_window.linkButtons(), MainWindow::connected());
  EXPECT_EQ(m_window.form().connection().connectionString(), connectionString("", fixture("nwind.mdb")));

  QStringList tables, views;
  for (const CatalogueRow& row : m_window.form().connection().catalogue()) {
    if (row.type == "TABLE") tables << row.name;
    if (row.type == "VIEW") views << row.name;
  }
  EXPECT_EQ(tables, QStringList({"Categories", "Customers", "Employees", "Order Details", "Orders", "Products",
                                 "Shippers", "Suppliers", QString::fromUtf8("Umsätze")}));
  EXPECT_EQ(views.size(), 22);
  EXPECT_EQ(m_window.tableList(), tables + views);
}

struct PasswordCase {
  const char* typed;
  bool connects;
};

class EnginePasswordTest : public EngineConnectTest, public testing::WithParamInterface<PasswordCase> {};

TEST_P(EnginePasswordTest, TheDatabasePasswordComesFromThePasswordBox) {
  REQUIRE_FIXTURE(fixtures::mdb("V2000_with-password.mdb"));
  const QString file = fixture("V2000_with-password.mdb");
  if (!GetParam().connects) {
    m_dialogs.expectMessage({applicationTitle(), openFailure(file, QString::fromUtf8(GetParam().typed)),
                             MessageIcon::None, {MessageButton::Ok}});
  }
  openBase(file, QString::fromUtf8(GetParam().typed));
  EXPECT_EQ(m_window.form().connection().connected(), GetParam().connects);
  EXPECT_EQ(m_window.linkButtons(), GetParam().connects ? MainWindow::connected() : MainWindow::disconnected());
  if (GetParam().connects) {
    EXPECT_EQ(m_window.tableList(), QStringList("Table1"));
  }
}

INSTANTIATE_TEST_SUITE_P(Passwords, EnginePasswordTest,
                         testing::Values(PasswordCase{"password", true}, PasswordCase{"", false},
                                         PasswordCase{"Password", false}, PasswordCase{"wrong", false}));

TEST_F(EngineConnectTest, AFileThatIsNoDatabaseIsRefusedAndTheListKept) {
  QTemporaryDir folder;
  const QString junk = writeJunkDatabase(folder);
  m_window.tables()->addItem("zostaje");
  m_dialogs.expectMessage({applicationTitle(), openFailure(junk), MessageIcon::None, {MessageButton::Ok}});
  openBase(junk);
  EXPECT_EQ(m_window.linkButtons(), MainWindow::disconnected());
  EXPECT_EQ(m_window.tableList(), QStringList("zostaje"));
}

// Disabling the button that has the focus hands it on; each outcome puts it
// where the next step is, never on "Prompt".
TEST_F(EngineConnectTest, TheFocusAfterConnectingDisconnectingAndFailing) {
  m_window.fn()->setText(fixture("nwind.mdb"));
  m_window.openBase()->setFocus();
  QTest::keyClick(m_window.openBase(), Qt::Key_Space);
  ASSERT_EQ(m_window.linkButtons(), MainWindow::connected());
  EXPECT_TRUE(m_window.tables()->hasFocus());

  QTest::mouseClick(m_window.closeBase(), Qt::LeftButton);
  EXPECT_EQ(m_window.linkButtons(), MainWindow::disconnected());
  EXPECT_TRUE(m_window.openBase()->hasFocus());

  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString junk = writeJunkDatabase(folder);
  const MessageBoxContent failure{applicationTitle(), openFailure(junk), MessageIcon::None, {MessageButton::Ok}};
  m_dialogs.expectMessage(failure);
  m_window.fn()->setText(junk);
  QTest::keyClick(m_window.openBase(), Qt::Key_Space);
  m_dialogs.verify();
  EXPECT_TRUE(m_window.openBase()->hasFocus());
  // The next Space tries again.
  m_dialogs.expectMessage(failure);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  m_dialogs.verify();
  EXPECT_FALSE(m_window.prompt()->isChecked());
}

// The click on "Otworz baze" acts at once, whether the completion list has
// closed on the full name or is still open beside the button.
TEST_F(EngineConnectTest, OneClickOnOtworzBazeAfterTypingTheName) {
  QLineEdit* edit = m_window.fn()->findChild<QLineEdit*>();
  QAbstractItemView* list = edit->completer()->popup();
  auto clickOpenBase = [&] {
    QTest::mouseClick(m_window.form().windowHandle(), Qt::LeftButton, {},
                      m_window.openBase()->mapTo(&m_window.form(), QPoint(10, 10)));
  };
  edit->setFocus();
  typeWithCompletions(edit, fixture("nwind.md"));
  m_dialogs.expectBeep();
  clickOpenBase();
  m_dialogs.verify();
  EXPECT_FALSE(list->isVisible());

  // Offscreen, the list held the activation; the window system hands it back.
  m_window.form().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window.form()));
  edit->setFocus();
  edit->clear();
  typeWithCompletions(edit, fixture("nwind.md"));
  QTest::keyClicks(edit, "b");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !list->isVisible(); }));
  clickOpenBase();
  EXPECT_TRUE(m_window.form().connection().connected());
  EXPECT_EQ(m_window.linkButtons(), MainWindow::connected());
}

}  // namespace
}  // namespace tabrix
