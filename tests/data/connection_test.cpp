#include <gtest/gtest.h>

#include <QSignalSpy>
#include <algorithm>
#include <fstream>

#include "data/connection.h"
#include "data/driver_factory.h"
#include "data/errors.h"
#include "data/jet_driver.h"
#include "data/odbc_connection_string.h"
#include "data/odbc_driver.h"
#include "data/table_dataset.h"
#include "fixtures.h"
#include "odbc_registry.h"
#include "qt_printers.h"
#include "sqlite_database.h"

namespace tabrix {
namespace {

const char* const kAccessDriver = "Microsoft Access Driver (*.mdb)";

QString accessConnectionString(const std::filesystem::path& file, const QString& password = {}) {
  const QString name = QString::fromStdString(file.string());
  const QString folder = QString::fromStdString(file.parent_path().string()) + "/";
  return QStringLiteral(
             "Provider=MSDASQL.1;Persist Security Info=False;Password=%1;User ID=admin;Extended "
             "Properties=\"DBQ=%2;DefaultDir=%3;Driver={Microsoft Access Driver (*.mdb)};DriverId=25;FIL=MS "
             "Access;MaxBufferSize=2048;MaxScanRows=8;PageTimeout=5;SafeTransactions=0;Threads=3;UID=admin;"
             "UserCommitSync=Yes;\";")
      .arg(password, name, folder);
}

// Makes drivers as the program does, and keeps the last one made for the
// test to look at.
struct WatchedDrivers {
  DriverFactory factory() {
    return [this](const QString& connectionString, const std::optional<Credentials>& login) {
      std::unique_ptr<Driver> driver = makeDriver(connectionString, login);
      last = driver.get();
      return driver;
    };
  }
  // What the last ODBC driver was given as its password.
  std::optional<QString> password() const {
    return OdbcConnectionString::parse(dynamic_cast<OdbcDriver&>(*last).completedConnectionString()).value("PWD");
  }
  Driver* last = nullptr;
};

int countOf(const std::vector<CatalogueRow>& rows, const QString& type) {
  return static_cast<int>(std::count_if(rows.begin(), rows.end(), [&](const CatalogueRow& r) { return r.type == type; }));
}

TEST(ConnectionTest, MdbtoolsListsNorthwindInItsOwnOrder) {
  const auto file = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(file);
  odbc_registry::Registry registry{{kAccessDriver, odbc_registry::Library::Mdbtools}};
  Connection connection;
  connection.setConnectionString(accessConnectionString(file));
  connection.open();
  ASSERT_TRUE(connection.connected());

  const std::vector<CatalogueRow> rows = connection.catalogue();
  // mdbtools gives the system tables too, mixed with the rest in the order
  // the file lists its objects; the main window keeps only TABLE and VIEW.
  EXPECT_EQ(countOf(rows, "TABLE"), 9);
  EXPECT_EQ(countOf(rows, "VIEW"), 22);
  EXPECT_EQ(countOf(rows, "SYSTEM TABLE") + 31, static_cast<int>(rows.size()));
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(rows[0].type, "SYSTEM TABLE");
  EXPECT_EQ(rows[0].name, "MSysObjects");
  const auto umlaut = std::find_if(rows.begin(), rows.end(), [](const CatalogueRow& r) { return r.name.startsWith("Ums"); });
  ASSERT_NE(umlaut, rows.end());
  EXPECT_EQ(umlaut->name, QString::fromUtf8("Umsätze"));
}

TEST(ConnectionTest, MdbtoolsReadsATable) {
  const auto file = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(file);
  odbc_registry::Registry registry{{kAccessDriver, odbc_registry::Library::Mdbtools}};
  Connection connection;
  connection.setConnectionString(accessConnectionString(file));
  connection.open();
  // mdbtools' driver crashes on some catalogue calls and converts integers
  // only to 32-bit C types: the table still opens, with its values.
  TableDataset employees;
  employees.setConnection(&connection);
  employees.setTableName("Employees");
  employees.open();
  EXPECT_EQ(employees.recordCount(), 9);
  EXPECT_EQ(employees.fieldByName("EmployeeID").text(), "1");
  EXPECT_EQ(employees.fieldByName("LastName").text(), "Davolio");
  EXPECT_EQ(employees.fieldByName("Photo").value().toByteArray().size(), 21626);
  TableDataset details;
  details.setConnection(&connection);
  details.setTableName("Order Details");
  details.open();
  EXPECT_EQ(details.recordCount(), 2155);
}

TEST(ConnectionTest, SqliteListsTablesAndViewsInTheDriversOrder) {
  SqliteDatabase db("CREATE TABLE zeta(a INTEGER); CREATE TABLE alfa(b TEXT); CREATE VIEW widok AS SELECT a FROM zeta;");
  Connection connection;
  connection.setConnectionString(db.connectionString());
  connection.open();
  const std::vector<CatalogueRow> rows = connection.catalogue();
  // The SQLite driver lists in the order of creation; nothing sorts it.
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].type, "TABLE");
  EXPECT_EQ(rows[0].name, "zeta");
  EXPECT_EQ(rows[1].type, "TABLE");
  EXPECT_EQ(rows[1].name, "alfa");
  EXPECT_EQ(rows[2].type, "VIEW");
  EXPECT_EQ(rows[2].name, "widok");
}

TEST(ConnectionTest, OpenCloseAndTheStringWhileOpen) {
  SqliteDatabase db("CREATE TABLE t(a INTEGER);");
  Connection connection;
  QSignalSpy closed(&connection, &Connection::disconnected);
  EXPECT_FALSE(connection.connected());
  EXPECT_THROW(connection.catalogue(), ProviderError);
  TableDataset table;
  table.setConnection(&connection);
  table.setTableName("t");
  EXPECT_THROW(table.open(), ProviderError);  // no driver to read with
  connection.close();  // closing a closed connection does nothing
  EXPECT_EQ(closed.count(), 0);

  connection.setConnectionString(db.connectionString());
  connection.open();
  EXPECT_TRUE(connection.connected());
  connection.open();  // a second open keeps the link
  EXPECT_TRUE(connection.connected());

  try {
    connection.setConnectionString("Password=x;");
    FAIL() << "the string changed while open";
  } catch (const ProviderError& e) {
    EXPECT_EQ(e.text(), "Operation is not allowed when the object is open");
  }
  EXPECT_EQ(connection.connectionString(), db.connectionString());
  // The same string again is no change: a window that connected but failed
  // to list the tables can press its connect button again.
  connection.setConnectionString(db.connectionString());
  EXPECT_TRUE(connection.connected());

  connection.close();
  EXPECT_FALSE(connection.connected());
  EXPECT_EQ(closed.count(), 1);
  connection.setConnectionString("x=1");
  EXPECT_EQ(connection.connectionString(), "x=1");
}

TEST(ConnectionTest, DriverErrorsComeWithTheDriversText) {
  SqliteDatabase db;
  Connection connection;
  connection.setConnectionString(
      QStringLiteral("Extended Properties=\"Driver={%1};Database=/nonexistent/folder/x.db;\"").arg(kSqliteDriver));
  try {
    connection.open();
    FAIL() << "connected to a database in a folder that does not exist";
  } catch (const ProviderError& e) {
    EXPECT_FALSE(e.text().isEmpty());
    EXPECT_FALSE(e.text().endsWith('.'));
  }
  EXPECT_FALSE(connection.connected());
}

TEST(ConnectionTest, WithoutTheOdbcDriverTheBuiltInEngineOpensTheFile) {
  const auto file = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(file);
  odbc_registry::Registry none;
  WatchedDrivers drivers;
  Connection connection(drivers.factory());
  connection.setConnectionString(accessConnectionString(file));
  connection.open();
  ASSERT_TRUE(connection.connected());
  EXPECT_NE(dynamic_cast<JetDriver*>(drivers.last), nullptr);

  // The engine's order: system tables, tables, views, each by name.
  const std::vector<CatalogueRow> rows = connection.catalogue();
  EXPECT_EQ(countOf(rows, "TABLE"), 9);
  EXPECT_EQ(countOf(rows, "VIEW"), 22);
  ASSERT_GT(countOf(rows, "SYSTEM TABLE"), 0);
  const auto firstTable = std::find_if(rows.begin(), rows.end(), [](const CatalogueRow& r) { return r.type == "TABLE"; });
  EXPECT_TRUE(std::all_of(rows.begin(), firstTable, [](const CatalogueRow& r) { return r.type == "SYSTEM TABLE"; }));
  EXPECT_EQ(firstTable->name, "Categories");
  EXPECT_EQ(std::prev(rows.end())->type, "VIEW");
}

TEST(ConnectionTest, TheEnginesErrorsAreProviderErrors) {
  const auto locked = fixtures::mdb("V2000_with-password.mdb");
  REQUIRE_FIXTURE(locked);
  odbc_registry::Registry none;
  fixtures::TempDir dir;
  const auto notADatabase = dir.path() / "notes.mdb";
  std::ofstream(notADatabase) << "just some text, not a database";
  for (const auto& [file, password] : std::vector<std::pair<std::filesystem::path, QString>>{
           {dir.path() / "missing.mdb", ""}, {notADatabase, ""}, {locked, "wrong"}}) {
    Connection connection;
    connection.setConnectionString(accessConnectionString(file, password));
    try {
      connection.open();
      ADD_FAILURE() << "opened " << file;
    } catch (const ProviderError& e) {
      EXPECT_FALSE(e.text().isEmpty()) << file;
    }
    EXPECT_FALSE(connection.connected());
  }

  Connection connection;
  connection.setConnectionString(accessConnectionString(locked, "password"));
  connection.open();
  EXPECT_TRUE(connection.connected());
}

TEST(ConnectionTest, TheLoginPromptsPasswordOpensTheEngine) {
  const auto locked = fixtures::mdb("V2000_with-password.mdb");
  REQUIRE_FIXTURE(locked);
  odbc_registry::Registry none;
  Connection connection;
  connection.setConnectionString(accessConnectionString(locked, "wrong"));
  connection.setLoginPrompt(true);
  connection.setLoginHandler([](const QString&, const QString& user) {
    return std::optional<Credentials>(Credentials{user, "password"});
  });
  connection.open();
  EXPECT_TRUE(connection.connected());
}

TEST(ConnectionTest, NeitherDriverNorFileNamesTheMissingDriver) {
  odbc_registry::Registry none;
  Connection connection;
  connection.setConnectionString("Extended Properties=\"Driver={Brak Sterownika};\"");
  try {
    connection.open();
    FAIL() << "connected without a driver";
  } catch (const ProviderError& e) {
    EXPECT_TRUE(e.text().contains("Brak Sterownika")) << e.text().toStdString();
  }
  EXPECT_FALSE(connection.connected());
}

TEST(ConnectionTest, MalformedStringFailsTheConnect) {
  Connection connection;
  connection.setConnectionString("Extended Properties=\"Driver={x};");
  EXPECT_THROW(connection.open(), ProviderError);
  EXPECT_FALSE(connection.connected());
}

TEST(ConnectionTest, LoginPromptGetsTheConnectionNameAndUser) {
  SqliteDatabase db("CREATE TABLE t(a INTEGER);");
  WatchedDrivers drivers;
  Connection connection(drivers.factory());
  connection.setObjectName("ADOConnection");
  connection.setConnectionString(db.connectionString("typed in the box"));
  connection.setLoginPrompt(true);
  EXPECT_TRUE(connection.loginPrompt());
  QString seenName;
  QString seenUser;
  int prompts = 0;
  connection.setLoginHandler([&](const QString& name, const QString& user) -> std::optional<Credentials> {
    ++prompts;
    seenName = name;
    seenUser = user;
    return Credentials{"Jan", "tajne"};
  });
  connection.open();
  EXPECT_TRUE(connection.connected());
  EXPECT_EQ(prompts, 1);
  EXPECT_EQ(seenName, "ADOConnection");
  EXPECT_EQ(seenUser, "admin");
  EXPECT_EQ(drivers.password(), "tajne");
  connection.open();  // already open: no second prompt
  EXPECT_EQ(prompts, 1);
}

TEST(ConnectionTest, CancelledLoginFailsTheConnect) {
  SqliteDatabase db("CREATE TABLE t(a INTEGER);");
  WatchedDrivers drivers;
  Connection connection(drivers.factory());
  connection.setConnectionString(db.connectionString());
  connection.setLoginPrompt(true);
  connection.setLoginHandler([](const QString&, const QString&) { return std::optional<Credentials>(); });
  EXPECT_THROW(connection.open(), ProviderError);
  EXPECT_FALSE(connection.connected());

  connection.setLoginPrompt(false);  // without the prompt the string's password goes
  connection.setConnectionString(db.connectionString("z ciągu"));
  connection.open();
  EXPECT_TRUE(connection.connected());
  EXPECT_EQ(drivers.password(), "z ciągu");
}

}  // namespace
}  // namespace tabrix
