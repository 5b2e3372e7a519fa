// Connecting, listing and disconnecting through the main window, against
// mdbtools' ODBC driver registered under the Access driver's name.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/connection_string.h"
#include "app/placeholder_windows.h"
#include "data/connection.h"
#include "table/form_tablica.h"
#include "fixtures.h"
#include "main_window.h"
#include "open_failure.h"
#include "odbc_registry.h"
#include "dialog_printers.h"
#include "scripted_dialogs.h"
#include "widgets/application_title.h"

namespace tabrix {
namespace {

const std::string kAccessDriver = "Microsoft Access Driver (*.mdb)";

QString fixture(const char* name) { return QString::fromStdString(fixtures::mdb(name).string()); }

MessageBoxContent plainMessage(const QString& text) {
  return {applicationTitle(), text, MessageIcon::None, {MessageButton::Ok}};
}

class ConnectTest : public testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_FIXTURE(fixtures::mdb("nwind.mdb"));
    m_window.show();
  }

  void openBase(const QString& fileName) {
    m_window.fn()->setText(fileName);
    QTest::mouseClick(m_window.openBase(), Qt::LeftButton);
  }

  odbc_registry::Registry m_registry{{kAccessDriver, odbc_registry::Library::Mdbtools}};
  ScriptedDialogs m_dialogs;
  MainWindow m_window;
};

TEST_F(ConnectTest, ListsTheTablesAndViewsInCatalogueOrderAndDisconnects) {
  m_window.tables()->setEditText("Orders");
  openBase(fixture("nwind.mdb"));

  EXPECT_EQ(m_window.linkButtons(), MainWindow::connected());
  EXPECT_TRUE(m_window.form().connection().connected());
  const QStringList list = m_window.tableList();
  EXPECT_EQ(list.size(), 9 + 22);
  for (const char* table : {"Categories", "Customers", "Employees", "Order Details", "Orders", "Products", "Shippers",
                            "Suppliers", "Umsätze"})
    EXPECT_TRUE(list.contains(QString::fromUtf8(table))) << table;
  EXPECT_TRUE(list.contains("Ten Most Expensive Products"));
  for (const QString& name : list) EXPECT_FALSE(name.startsWith("MSys")) << name.toStdString();
  QStringList catalogueOrder;
  for (const CatalogueRow& row : m_window.form().connection().catalogue())
    if (list.contains(row.name)) catalogueOrder << row.name;
  EXPECT_EQ(list, catalogueOrder);
  EXPECT_EQ(m_window.tables()->currentText(), "Orders");

  QTest::mouseClick(m_window.closeBase(), Qt::LeftButton);
  EXPECT_EQ(m_window.linkButtons(), MainWindow::disconnected());
  EXPECT_FALSE(m_window.form().connection().connected());
  EXPECT_EQ(m_window.tableList(), QStringList());
  EXPECT_EQ(m_window.tables()->currentText(), "<wybierz tablice>");

  QTest::mouseClick(m_window.openBase(), Qt::LeftButton);
  EXPECT_EQ(m_window.linkButtons(), MainWindow::connected());
  EXPECT_EQ(m_window.tableList(), list);
  EXPECT_EQ(m_window.tables()->currentText(), "<wybierz tablice>");
}

TEST_F(ConnectTest, TheInputsStayEnabledWhileConnectedAndPromptLeavesTheLinkAlone) {
  openBase(fixture("nwind.mdb"));
  for (QWidget* control : std::initializer_list<QWidget*>{m_window.fn(), m_window.password(), m_window.passwordLabel(),
                                                          m_window.prompt(), m_window.tables(), m_window.quit()})
    EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();

  QTest::mouseClick(m_window.prompt(), Qt::LeftButton);
  EXPECT_FALSE(m_window.password()->isEnabled());
  EXPECT_FALSE(m_window.passwordLabel()->isEnabled());
  EXPECT_EQ(m_window.linkButtons(), MainWindow::connected());
  EXPECT_TRUE(m_window.form().connection().connected());

  QTest::mouseClick(m_window.prompt(), Qt::LeftButton);
  EXPECT_TRUE(m_window.password()->isEnabled());
  EXPECT_TRUE(m_window.passwordLabel()->isEnabled());
}

TEST_F(ConnectTest, TheConnectionStringIsBuiltFromTheBoxes) {
  m_window.password()->setText("tajne");
  openBase(fixture("nwind.mdb"));
  EXPECT_EQ(m_window.form().connection().connectionString(), connectionString("tajne", fixture("nwind.mdb")));
}

TEST_F(ConnectTest, ADatabaseWithoutTablesConnectsWithAnEmptyList) {
  REQUIRE_FIXTURE(fixtures::mdb("V2000_empty.mdb"));
  openBase(fixture("V2000_empty.mdb"));
  EXPECT_EQ(m_window.linkButtons(), MainWindow::connected());
  EXPECT_EQ(m_window.tableList(), QStringList());
}

TEST_F(ConnectTest, APathWithABlankIsReadOutOfItsQuotes) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  ASSERT_TRUE(QDir(folder.path()).mkdir("Moje bazy"));
  const QString copy = folder.filePath("Moje bazy/nwind.mdb");
  ASSERT_TRUE(QFile::copy(fixture("nwind.mdb"), copy));

  m_window.fn()->setFileName(copy);
  QTest::mouseClick(m_window.openBase(), Qt::LeftButton);
  EXPECT_EQ(m_window.linkButtons(), MainWindow::connected());
  EXPECT_EQ(m_window.tableList().size(), 31);
}

TEST_F(ConnectTest, NoSuchFileBeepsAndFocusesTheFileNameBox) {
  for (const QString& name : {QStringLiteral("/nie/ma/takiej.mdb"), QString::fromStdString(fixtures::root().string()),
                              QStringLiteral("")}) {
    m_dialogs.expectBeep();
    openBase(name);
    m_dialogs.verify();
    EXPECT_TRUE(m_window.fn()->hasFocus()) << name.toStdString();
    EXPECT_EQ(m_window.linkButtons(), MainWindow::disconnected());
    EXPECT_EQ(m_window.form().connection().connectionString(), "");
    m_window.quit()->setFocus();
  }
}

TEST_F(ConnectTest, ARefusedConnectShowsTheFailureAndStaysDisconnected) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString junk = writeJunkDatabase(folder);

  m_dialogs.expectMessage(plainMessage(openFailure(junk)));
  openBase(junk);
  EXPECT_EQ(m_window.linkButtons(), MainWindow::disconnected());
  EXPECT_FALSE(m_window.form().connection().connected());
  EXPECT_EQ(m_window.tableList(), QStringList());
}

TEST_F(ConnectTest, PromptAsksThroughTheLoginDialogWithThePasswordStillInTheString) {
  m_window.password()->setText("tajne");
  QTest::mouseClick(m_window.prompt(), Qt::LeftButton);
  m_dialogs.expectExec([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Database Login");
    EXPECT_EQ(dialog.findChild<QLabel*>("DatabaseName")->text(), "ADOConnection");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("UserName")->text(), "admin");
    EXPECT_EQ(dialog.focusWidget(), dialog.findChild<QLineEdit*>("Password"));
    dialog.accept();
  });
  openBase(fixture("nwind.mdb"));

  EXPECT_EQ(m_window.linkButtons(), MainWindow::connected());
  EXPECT_TRUE(m_window.form().connection().connectionString().contains("Password=tajne;"));
}

TEST_F(ConnectTest, ACancelledLoginFailsTheConnect) {
  QTest::mouseClick(m_window.prompt(), Qt::LeftButton);
  m_dialogs.expectExec([](QDialog& dialog) { dialog.reject(); });
  m_dialogs.expectMessage(plainMessage(
      openFailure(fixture("nwind.mdb"), {}, [](const QString&, const QString&) { return std::nullopt; })));
  openBase(fixture("nwind.mdb"));

  EXPECT_EQ(m_window.linkButtons(), MainWindow::disconnected());
  EXPECT_FALSE(m_window.form().connection().connected());
}

TEST_F(ConnectTest, ClosingTheWindowClosesTheConnection) {
  openBase(fixture("nwind.mdb"));
  QTest::mouseClick(m_window.quit(), Qt::LeftButton);
  EXPECT_FALSE(m_window.form().isVisible());
  EXPECT_FALSE(m_window.form().connection().connected());
}

TEST_F(ConnectTest, EachSqlWindowGetsItsOwnCopyOfTheList) {
  openBase(fixture("nwind.mdb"));
  const QStringList list = m_window.tableList();
  QTest::mouseClick(m_window.openSql(), Qt::LeftButton);
  QTest::mouseClick(m_window.openSql(), Qt::LeftButton);
  QTest::mouseClick(m_window.closeBase(), Qt::LeftButton);

  const auto windows = m_window.form().findChildren<SqlWindowPlaceholder*>();
  ASSERT_EQ(windows.size(), 2);
  for (SqlWindowPlaceholder* window : windows) {
    EXPECT_TRUE(window->isVisible());
    QStringList copy;
    for (int i = 0; i < window->cb_Tablice->count(); ++i) copy << window->cb_Tablice->itemText(i);
    EXPECT_EQ(copy, list);
  }
}

TEST_F(ConnectTest, EdytujTabliceOpensAWindowForTheTypedTable) {
  openBase(fixture("nwind.mdb"));
  m_window.tables()->setEditText("Order Details");
  QTest::mouseClick(m_window.openTable(), Qt::LeftButton);

  const auto windows = m_window.form().findChildren<TFormTablica*>();
  ASSERT_EQ(windows.size(), 1);
  EXPECT_EQ(windows.constFirst()->windowTitle(), "Tablica \"Order Details\"");
  EXPECT_TRUE(windows.constFirst()->isVisible());
}

}  // namespace
}  // namespace tabrix
