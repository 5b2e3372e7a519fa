#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>
#include <cstdint>
#include <fstream>
#include <vector>

#include "data/connection.h"
#include "data/errors.h"
#include "data/jet_driver.h"
#include "data/query_dataset.h"
#include "data/row_store.h"
#include "data/table_dataset.h"
#include "fixtures.h"
#include "odbc_registry.h"
#include "qt_printers.h"

namespace tabrix {
namespace {

// Tables of the fixtures opened through the built-in engine, in a Polish
// locale.
class JetDatasetTest : public ::testing::Test {
 protected:
  void SetUp() override { QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland)); }
  void TearDown() override { QLocale::setDefault(QLocale::c()); }

  // Opens a table of a fixture; null (and the test skipped) without it.
  std::unique_ptr<TableDataset> open(const std::string& file, const QString& table) {
    const auto path = fixtures::mdb(file);
    if (!std::filesystem::exists(path)) return nullptr;
    return openFile(path, table);
  }

  std::unique_ptr<TableDataset> openFile(const std::filesystem::path& path, const QString& table) {
    connection = std::make_unique<Connection>();
    connection->setConnectionString(
        QStringLiteral("Provider=MSDASQL.1;Password=;User ID=admin;Extended Properties=\"DBQ=%1;Driver={Microsoft "
                       "Access Driver (*.mdb)};\";")
            .arg(QString::fromStdString(path.string())));
    connection->open();
    auto dataset = std::make_unique<TableDataset>();
    dataset->setObjectName("ADOTable");
    dataset->setConnection(connection.get());
    dataset->setTableName(table);
    dataset->open();
    return dataset;
  }

  odbc_registry::Registry noOdbcDrivers;
  std::unique_ptr<Connection> connection;
};

struct Expected {
  const char* name;
  DataType type;
  int width;
  const char* first;   // the value's text in the first row
  const char* second;  // and in the second
};

// Table1 of the test files holds the same rows in Jet 3 and Jet 4.
const Expected kTable1[] = {
    {"A", DataType::VarChar, 50, "abcdefg", "a"},
    {"B", DataType::VarChar, 100, "hijklmnop", "b"},
    {"C", DataType::UnsignedTinyInt, 10, "2", "0"},
    {"D", DataType::SmallInt, 10, "222", "0"},
    {"E", DataType::Integer, 10, "333333333", "0"},
    {"F", DataType::Double, 10, "444,555", "0"},
    {"G", DataType::DBTimeStamp, 18, "21.09.1974", "12.12.1981"},
    {"H", DataType::Currency, 20, "3,5", "0"},
    {"I", DataType::Boolean, 5, "True", "False"},
};

class Table1Test : public JetDatasetTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(Table1Test, EveryTypesTextAndWidth) {
  auto t = open(GetParam(), "Table1");
  if (!t) GTEST_SKIP() << "fixture " << GetParam() << " is absent";
  ASSERT_EQ(t->fieldCount(), static_cast<int>(std::size(kTable1)));
  ASSERT_EQ(t->recordCount(), 2);
  for (const Expected& e : kTable1) {
    Field& field = t->fieldByName(e.name);
    EXPECT_EQ(field.dataType(), e.type) << e.name;
    EXPECT_EQ(field.displayWidth(), e.width) << e.name;
    EXPECT_FALSE(field.isLargeObject()) << e.name;
  }
  // The two files store the rows in different orders.
  ASSERT_TRUE(t->locate("A", "abcdefg"));
  for (const Expected& e : kTable1) EXPECT_EQ(t->fieldByName(e.name).text(), QString::fromUtf8(e.first)) << e.name;
  ASSERT_TRUE(t->locate("A", "a"));
  for (const Expected& e : kTable1) EXPECT_EQ(t->fieldByName(e.name).text(), QString::fromUtf8(e.second)) << e.name;
  ASSERT_TRUE(t->locate("A", "abcdefg"));
  EXPECT_EQ(t->fieldByName("G").value(), QVariant(QDateTime(QDate(1974, 9, 21), QTime(0, 0), Qt::UTC)));
  EXPECT_EQ(t->fieldByName("H").value(), QVariant(3.5));
}

INSTANTIATE_TEST_SUITE_P(BothFormats, Table1Test, ::testing::Values("V2000_test.mdb", "V1997_test.mdb"));

TEST_F(JetDatasetTest, DecimalColumnsAndAMemo) {
  auto t = open("V2000_numeric.mdb", "test");
  if (!t) GTEST_SKIP() << "fixture V2000_numeric.mdb is absent";
  ASSERT_EQ(t->fieldCount(), 7);
  EXPECT_EQ(t->field(0).dataType(), DataType::LongVarChar);
  EXPECT_TRUE(t->field(0).isLargeObject());
  EXPECT_EQ(t->field(0).displayWidth(), 10);
  EXPECT_EQ(t->field(0).text(), "some data");
  const char* values[] = {"1", "0", "0", "4", "-1", "1"};
  for (int i = 1; i < 7; ++i) {
    EXPECT_EQ(t->field(i).dataType(), DataType::Numeric);
    EXPECT_EQ(t->field(i).precision(), 18);
    EXPECT_EQ(t->field(i).scale(), 0);
    EXPECT_EQ(t->field(i).displayWidth(), 19);
    EXPECT_EQ(t->field(i).text(), values[i - 1]) << i;
  }
}

TEST_F(JetDatasetTest, NorthwindMemoOleDatesAndCurrency) {
  auto employees = open("nwind.mdb", "Employees");
  if (!employees) GTEST_SKIP() << "fixture nwind.mdb is absent";
  Field& notes = employees->fieldByName("Notes");
  EXPECT_EQ(notes.dataType(), DataType::LongVarChar);
  EXPECT_TRUE(notes.isLargeObject());
  EXPECT_TRUE(notes.text().startsWith("Education includes a BA in psychology from Colorado State University in 1970."));
  Field& photo = employees->fieldByName("Photo");
  EXPECT_EQ(photo.dataType(), DataType::LongVarBinary);
  EXPECT_TRUE(photo.isLargeObject());
  EXPECT_EQ(photo.displayWidth(), 10);
  EXPECT_EQ(photo.value().toByteArray().size(), 21626);
  EXPECT_EQ(photo.text().size(), 21626);  // a character per byte
  EXPECT_TRUE(photo.text().startsWith(QString::fromLatin1("\x15\x1c/\0", 4)));
  EXPECT_EQ(employees->fieldByName("BirthDate").text(),
            QLocale().toString(QDate(1948, 12, 8), QLocale::ShortFormat));  // 8.12.1948 in Qt's Polish
  EXPECT_EQ(employees->fieldByName("HireDate").displayWidth(), 18);
  EXPECT_EQ(employees->fieldByName("LastName").displayWidth(), 20);
  EXPECT_EQ(employees->fieldByName("Address").text(), "507 - 20th Ave. E.\r\nApt. 2A");

  auto products = open("nwind.mdb", "Products");
  EXPECT_EQ(products->fieldByName("UnitPrice").dataType(), DataType::Currency);
  EXPECT_EQ(products->fieldByName("UnitPrice").text(), "18");
  ASSERT_TRUE(products->locate("ProductName", "Uncle"));
  EXPECT_EQ(products->fieldByName("UnitPrice").text(), "30");
  ASSERT_TRUE(products->locate("ProductName", "geit"));
  EXPECT_EQ(products->fieldByName("UnitPrice").text(), "2,5");
  EXPECT_EQ(products->fieldByName("Discontinued").text(), "False");

  auto orders = open("nwind.mdb", "Order Details");
  EXPECT_EQ(orders->recordCount(), 2155);
}

TEST_F(JetDatasetTest, TheEngineReadsButDoesNotYetWrite) {
  auto t = open("V2000_test.mdb", "Table1");
  if (!t) GTEST_SKIP() << "fixture V2000_test.mdb is absent";
  EXPECT_FALSE(t->canModify());
  EXPECT_FALSE(t->field(0).canModify());
  EXPECT_THROW(t->edit(), DatabaseError);
  EXPECT_THROW(t->append(), DatabaseError);
  EXPECT_EQ(t->state(), DatasetState::Browse);

  QueryDataset q;
  q.setObjectName("ADOQuery");
  q.setConnection(connection.get());
  q.setSql({"UPDATE Table1 SET C = 1"});
  try {
    q.execute();
    ADD_FAILURE() << "an UPDATE ran";
  } catch (const ProviderError& e) {
    EXPECT_EQ(e.text(), "The built-in engine can't change the database yet");
  }
  EXPECT_THROW(q.open(), ProviderError);
  EXPECT_EQ(q.state(), DatasetState::Inactive);

  TableDataset missing;
  missing.setObjectName("ADOTable");
  missing.setConnection(connection.get());
  missing.setTableName("<wybierz tablice>");
  EXPECT_THROW(missing.open(), ProviderError);
}

// A copy of a fixture whose table definitions claiming `rows` rows claim
// `claim` instead; how many it changed.
int claimRows(const std::filesystem::path& file, std::uint32_t rows, std::uint32_t claim) {
  std::vector<char> bytes(std::filesystem::file_size(file));
  std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
  f.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  const bool jet3 = bytes.at(0x14) == 0;
  const std::size_t pageSize = jet3 ? 2048 : 4096;
  const std::size_t countAt = jet3 ? 12 : 16;  // the row count in a table definition's first page
  const std::size_t typeAt = jet3 ? 20 : 40;   // 'N' for a user table
  const auto u32At = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return v;
  };
  int changed = 0;
  for (std::size_t page = 0; (page + 1) * pageSize <= bytes.size(); ++page) {
    const std::size_t at = page * pageSize;
    if (bytes[at] != 0x02 || bytes[at + typeAt] != 'N' || u32At(at + countAt) != rows) continue;
    for (int i = 0; i < 4; ++i) bytes[at + countAt + i] = static_cast<char>(claim >> (8 * i));
    ++changed;
  }
  f.seekp(0);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return changed;
}

struct LyingCount {
  const char* file;
  const char* table;
  std::uint32_t rows;
  std::uint32_t claim;
};

void PrintTo(const LyingCount& c, std::ostream* out) {
  *out << c.file << " " << c.table << " claiming " << c.claim << " rows";
}

class LyingRowCountTest : public JetDatasetTest, public ::testing::WithParamInterface<LyingCount> {};

// A row count read from the file is only a hint: a table claiming billions
// of rows opens with the rows it has, in the memory they need.
TEST_P(LyingRowCountTest, OpensWithTheRowsItHas) {
  const LyingCount& c = GetParam();
  const auto fixture = fixtures::mdb(c.file);
  REQUIRE_FIXTURE(fixture);
  fixtures::TempDir dir;
  const auto copy = dir.copy(fixture);
  ASSERT_EQ(claimRows(copy, c.rows, c.claim), 1);
  auto t = openFile(copy, c.table);
  EXPECT_EQ(t->recordCount(), static_cast<int>(c.rows));
  EXPECT_LT(t->memoryUsed(), std::size_t(64) << 10);

  // The driver's hint stays within what the file's pages can list, so
  // nothing reserves room for rows that can't exist.
  JetDriver driver(QString::fromStdString(copy.string()), {}, {});
  RowStore store;
  driver.readTable(c.table, store);
  EXPECT_GE(store.info().expectedRows, c.rows);
  EXPECT_LE(store.info().expectedRows, std::filesystem::file_size(copy) / 2048 * 256);
}

INSTANTIATE_TEST_SUITE_P(Claims, LyingRowCountTest,
                         ::testing::Values(LyingCount{"V2000_numeric.mdb", "test", 1, 50'000'000},
                                           LyingCount{"V2000_numeric.mdb", "test", 1, 4'000'000'000},
                                           LyingCount{"V1997_test.mdb", "Table1", 2, 4'000'000'000}));

// The SQL window's query dataset runs Access SQL on the built-in engine.
class JetQueryTest : public JetDatasetTest {
 protected:
  // Connects to a fixture; false (and the test skipped) without it.
  bool connect(const std::string& file) {
    if (!open(file, "MSysObjects")) return false;
    query.setObjectName("ADOQuery");
    query.setConnection(connection.get());
    return true;
  }
  QueryDataset query;
};

TEST_F(JetQueryTest, ASelectGivesTypedRows) {
  if (!connect("nwind.mdb")) GTEST_SKIP() << "fixture nwind.mdb is absent";
  query.setSql({"SELECT ProductID, ProductName, UnitPrice * 2 AS Twice, Discontinued,", "  #1/2/2000# AS Day",
                "FROM Products", "WHERE ProductID <= 3 ORDER BY ProductID"});
  query.open();
  ASSERT_EQ(query.state(), DatasetState::Browse);
  EXPECT_EQ(query.recordCount(), 3);
  EXPECT_EQ(query.fieldByName("ProductID").dataType(), DataType::Integer);
  EXPECT_EQ(query.fieldByName("ProductName").dataType(), DataType::VarChar);
  EXPECT_EQ(query.fieldByName("ProductName").displayWidth(), 40);
  EXPECT_EQ(query.fieldByName("Twice").dataType(), DataType::Currency);
  EXPECT_EQ(query.fieldByName("Discontinued").dataType(), DataType::Boolean);
  EXPECT_EQ(query.fieldByName("Day").dataType(), DataType::DBTimeStamp);
  EXPECT_EQ(query.fieldByName("ProductName").text(), "Chai");
  EXPECT_EQ(query.fieldByName("Twice").text(), "36");
  EXPECT_EQ(query.fieldByName("Day").text(), "2.01.2000");
  // A query over one table names its columns where they are stored; a
  // computed one is no column of the table.
  EXPECT_TRUE(query.fieldByName("ProductName").canModify());
  EXPECT_FALSE(query.fieldByName("Twice").canModify());
}

TEST_F(JetQueryTest, TheSqlWindowsCases) {
  if (!connect("nwind.mdb")) GTEST_SKIP() << "fixture nwind.mdb is absent";
  // An empty statement is the dataset's own error.
  query.setSql({});
  EXPECT_THROW(query.open(), DatabaseError);
  // A SELECT given to execute runs and leaves the dataset closed.
  query.setSql({"SELECT * FROM Orders"});
  query.execute();
  EXPECT_EQ(query.state(), DatasetState::Inactive);
  // The engine's errors are the provider's, in its own words.
  const std::pair<const char*, const char*> errors[] = {
      {"SELECT * FROM", "Syntax error in the FROM clause at line 2, column 1: expected a table or query name, but the statement ends"},
      {"SELECT * FROM [< wybierz >]", "No table or query named \"< wybierz >\" (line 1, column 15)"},
  };
  for (const auto& [sql, text] : errors) {
    query.setSql({sql});
    try {
      query.open();
      ADD_FAILURE() << sql;
    } catch (const ProviderError& e) {
      EXPECT_EQ(e.text(), text);
    }
    EXPECT_EQ(query.state(), DatasetState::Inactive);
  }
  // A saved query opens by its name, as "Open File" writes it.
  query.setSql({"SELECT * FROM [Ten Most Expensive Products]"});
  query.open();
  EXPECT_EQ(query.recordCount(), 10);
  EXPECT_EQ(query.field(0).name(), "TenMostExpensiveProducts");
}

TEST_F(JetDatasetTest, ANameWithABlankOpens) {
  auto t = open("nwind.mdb", "Order Details");
  if (!t) GTEST_SKIP() << "fixture nwind.mdb is absent";
  EXPECT_EQ(t->fieldCount(), 5);
  TableDataset bracketed;
  bracketed.setConnection(connection.get());
  bracketed.setTableName("[Order Details]");
  bracketed.open();
  EXPECT_EQ(bracketed.recordCount(), t->recordCount());
}

}  // namespace
}  // namespace tabrix
