// What a dataset hands its driver and how it stands when the driver fails,
// through a fake driver made by the connection's factory.

#include <gtest/gtest.h>

#include "data/connection.h"
#include "data/errors.h"
#include "data/table_dataset.h"
#include "fake_driver.h"
#include "qt_printers.h"

namespace tabrix {
namespace {

const Bookmark kFirst = (Bookmark(812) << 8) | 3;
const Bookmark kSecond = (Bookmark(812) << 8) | 4;

// A table without a key holding two identical rows ('x', 1) and ('y', 2),
// each with its bookmark, behind a connection.
class DatasetDriverTest : public ::testing::Test {
 protected:
  DatasetDriverTest() : connection(database.factory()) {
    FakeTable t = fakeTable("Order Details", {{"a", DataType::VarWChar}, {"b", DataType::Integer}});
    t.rows = {{QString("x"), std::int64_t(1)}, {QString("x"), std::int64_t(1)}, {QString("y"), std::int64_t(2)}};
    t.bookmarks = {kFirst, kSecond, kSecond + 1};
    database.tables["Order Details"] = t;
    connection.setConnectionString("Extended Properties=\"Driver={Fake};\"");
    connection.open();
  }

  std::unique_ptr<TableDataset> table(const QString& name = "Order Details") {
    auto dataset = std::make_unique<TableDataset>();
    dataset->setObjectName("ADOTable");
    dataset->setConnection(&connection);
    dataset->setTableName(name);
    dataset->open();
    return dataset;
  }

  const std::vector<std::vector<Cell>>& rows() { return database.tables["Order Details"].rows; }

  FakeDatabase database;
  Connection connection;
};

std::vector<std::pair<QString, Cell>> pairsOf(const std::vector<ColumnValue>& values) {
  std::vector<std::pair<QString, Cell>> pairs;
  for (const ColumnValue& v : values) pairs.emplace_back(v.column, v.value);
  return pairs;
}

TEST_F(DatasetDriverTest, WritesCarryTheRowsBookmarkBesideItsOriginalValues) {
  auto t = table();
  // The second of two identical rows: its bookmark tells it from the first.
  t->setRecNo(2);
  t->edit();
  t->fieldByName("b").setValue(7);
  t->post();
  ASSERT_EQ(database.writes.size(), 1u);
  EXPECT_EQ(database.writes[0].operation, "update");
  EXPECT_EQ(database.writes[0].table, "Order Details");
  EXPECT_EQ(database.writes[0].bookmark, kSecond);
  EXPECT_EQ(pairsOf(database.writes[0].original),
            (std::vector<std::pair<QString, Cell>>{{"a", QString("x")}, {"b", std::int64_t(1)}}));
  EXPECT_EQ(pairsOf(database.writes[0].values), (std::vector<std::pair<QString, Cell>>{{"b", std::int64_t(7)}}));
  EXPECT_EQ(rows()[0][1], Cell(std::int64_t(1)));
  EXPECT_EQ(rows()[1][1], Cell(std::int64_t(7)));

  // Changed once, the row keeps its bookmark; its new values are the originals.
  t->edit();
  t->fieldByName("a").setText("z");
  t->post();
  EXPECT_EQ(database.writes.back().bookmark, kSecond);
  EXPECT_EQ(pairsOf(database.writes.back().original),
            (std::vector<std::pair<QString, Cell>>{{"a", QString("x")}, {"b", std::int64_t(7)}}));

  t->first();
  t->remove();
  EXPECT_EQ(database.writes.back().operation, "delete");
  EXPECT_EQ(database.writes.back().bookmark, kFirst);
  ASSERT_EQ(rows().size(), 2u);
  EXPECT_EQ(rows()[0][0], Cell(QString("z")));

  // A new row is known by the bookmark the driver read back.
  t->append();
  t->fieldByName("a").setText("nowy");
  t->post();
  const Bookmark added = database.tables["Order Details"].bookmarks.back();
  t->edit();
  t->fieldByName("b").setValue(3);
  t->post();
  EXPECT_EQ(database.writes.back().bookmark, added);
  EXPECT_EQ(rows().back()[1], Cell(std::int64_t(3)));
}

TEST_F(DatasetDriverTest, ADriverWithoutBookmarksGetsNone) {
  FakeTable plain = fakeTable("plain", {{"a", DataType::VarWChar}}, 1, false);
  plain.rows = {{QString("x")}, {QString("y")}};
  database.tables["plain"] = plain;
  auto t = table("plain");
  t->last();
  t->edit();
  t->fieldByName("a").setText("z");
  t->post();
  t->remove();
  ASSERT_EQ(database.writes.size(), 2u);
  EXPECT_EQ(database.writes[0].bookmark, std::nullopt);
  EXPECT_EQ(database.writes[1].bookmark, std::nullopt);
  EXPECT_EQ(database.tables["plain"].rows, (std::vector<std::vector<Cell>>{{QString("x")}}));
}

TEST_F(DatasetDriverTest, TableNamesReachTheDriverBare) {
  for (const QString& typed : {QStringLiteral("Order Details"), QStringLiteral("[Order Details]")}) {
    auto t = table(typed);
    EXPECT_EQ(t->recordCount(), 3) << typed.toStdString();
    EXPECT_EQ(t->tableName(), typed);
  }
  EXPECT_EQ(database.tablesRead, (std::vector<QString>{"Order Details", "Order Details"}));
  EXPECT_EQ(TableDataset::bareName("[Orders]"), "Orders");
  EXPECT_EQ(TableDataset::bareName("Orders"), "Orders");
  EXPECT_EQ(TableDataset::bareName("[Orders"), "[Orders");
  EXPECT_EQ(TableDataset::bareName("[]"), "");
}

TEST_F(DatasetDriverTest, ClosingClosesTheDatasetsBeforeTheDriver) {
  auto t = table();
  t->edit();
  t->fieldByName("a").setText("niezapisany");
  std::vector<DatasetState> stateAtDriversEnd;
  database.onDriverDestroyed = [&] { stateAtDriversEnd.push_back(t->state()); };
  connection.close();
  EXPECT_EQ(stateAtDriversEnd, std::vector<DatasetState>{DatasetState::Inactive});
  EXPECT_TRUE(database.writes.empty());  // the unposted edit is dropped, not written

  // The same when the connection itself goes first.
  auto other = std::make_unique<Connection>(database.factory());
  other->open();
  auto u = std::make_unique<TableDataset>();
  u->setConnection(other.get());
  u->setTableName("Order Details");
  u->open();
  stateAtDriversEnd.clear();
  database.onDriverDestroyed = [&] { stateAtDriversEnd.push_back(u->state()); };
  other.reset();
  EXPECT_EQ(stateAtDriversEnd, std::vector<DatasetState>{DatasetState::Inactive});
  EXPECT_EQ(u->connection(), nullptr);
}

TEST_F(DatasetDriverTest, AFailedConnectOrCatalogueLeavesTheConnectionAsItWas) {
  connection.close();
  database.failing = "connect";
  EXPECT_THROW(connection.open(), ProviderError);
  EXPECT_FALSE(connection.connected());
  connection.open();
  EXPECT_TRUE(connection.connected());

  database.failing = "catalogue";
  EXPECT_THROW(connection.catalogue(), ProviderError);
  EXPECT_TRUE(connection.connected());
  EXPECT_EQ(connection.catalogue().size(), 1u);
}

TEST_F(DatasetDriverTest, AReadFailingPartWayKeepsNothingOfIt) {
  database.failing = "readTable";
  database.failAfterRows = 2;
  auto t = std::make_unique<TableDataset>();
  t->setConnection(&connection);
  t->setTableName("Order Details");
  EXPECT_THROW(t->open(), ProviderError);
  EXPECT_EQ(t->state(), DatasetState::Inactive);
  EXPECT_EQ(t->recordCount(), 0);
  EXPECT_EQ(t->fieldCount(), 0);

  // A refresh failing part-way keeps the rows read before.
  t->open();
  t->setRecNo(3);
  database.tables["Order Details"].rows[2][0] = QString("zmieniony");
  for (std::size_t after : {std::size_t(0), std::size_t(1), std::size_t(3)}) {
    database.failing = "readTable";
    database.failAfterRows = after;
    EXPECT_THROW(t->refresh(), ProviderError) << after;
    EXPECT_EQ(t->state(), DatasetState::Browse);
    EXPECT_EQ(t->recordCount(), 3);
    EXPECT_EQ(t->recNo(), 3);
    EXPECT_EQ(t->fieldByName("a").text(), "y");
  }
  t->refresh();
  EXPECT_EQ(t->fieldByName("a").text(), "zmieniony");
}

TEST_F(DatasetDriverTest, AFailedWriteKeepsTheEditAndTheRows) {
  auto t = table();
  t->setRecNo(3);
  t->edit();
  t->fieldByName("b").setValue(9);
  database.failing = "update";
  EXPECT_THROW(t->post(), ProviderError);
  EXPECT_EQ(t->state(), DatasetState::Edit);
  EXPECT_EQ(t->fieldByName("b").text(), "9");  // still there to post again or cancel
  EXPECT_EQ(rows()[2][1], Cell(std::int64_t(2)));
  t->post();
  EXPECT_EQ(rows()[2][1], Cell(std::int64_t(9)));

  database.failing = "delete";
  EXPECT_THROW(t->remove(), ProviderError);
  EXPECT_EQ(t->state(), DatasetState::Browse);
  EXPECT_EQ(t->recordCount(), 3);
  EXPECT_EQ(t->fieldByName("b").text(), "9");

  t->append();
  t->fieldByName("a").setText("nowy");
  database.failing = "insert";
  EXPECT_THROW(t->post(), ProviderError);
  EXPECT_EQ(t->state(), DatasetState::Insert);
  EXPECT_EQ(t->recordCount(), 4);
  t->cancel();
  EXPECT_EQ(t->recordCount(), 3);
  EXPECT_EQ(rows().size(), 3u);
}

}  // namespace
}  // namespace tabrix
