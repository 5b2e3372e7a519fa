// The public index cursor over the fixtures: seeks, ranges, bookmarks and
// decoded keys, checked against the rows and against the entries Access
// wrote.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "bytes.h"
#include "file_bytes.h"
#include "fixtures.h"
#include "index_key.h"
#include "indexed_file.h"
#include "jet/database.h"
#include "table_definition_format.h"

namespace {

using jettest::IndexedFile;
using jettest::RawEntry;

std::uint32_t bookmarkOf(const jet::TableCursor& rows) { return rows.position().page << 8 | rows.position().row; }

std::vector<std::uint64_t> collect(jet::IndexCursor& cursor) {
  std::vector<std::uint64_t> out;
  while (cursor.next()) out.push_back(cursor.bookmark());
  return out;
}

// The values of a row's index columns, valid until the row cursor moves.
std::vector<jet::Value> keyOf(jet::TableCursor& rows, const jet::Index& index) {
  std::vector<jet::Value> values;
  for (const jet::IndexColumn& c : index.columns) values.push_back(rows.value(static_cast<std::size_t>(c.column)));
  return values;
}

bool sameValue(const jet::Value& a, const jet::Value& b) {
  if (a.null != b.null) return false;
  if (a.null) return true;
  switch (a.type) {
    case jet::ColumnType::Boolean: return a.boolean == b.boolean;
    case jet::ColumnType::Single:
    case jet::ColumnType::Double:
    case jet::ColumnType::DateTime: return std::memcmp(&a.real, &b.real, sizeof a.real) == 0;
    case jet::ColumnType::Guid: return a.guid == b.guid;
    case jet::ColumnType::Binary:
      return a.bytes.size() == b.bytes.size() && std::equal(a.bytes.begin(), a.bytes.end(), b.bytes.begin());
    case jet::ColumnType::Numeric: return a.decimal.toString() == b.decimal.toString();
    default: return a.integer == b.integer;
  }
}

TEST(IndexCursor, SeekingEachKeyFindsItsEntriesAndTheirKeysDecodeToTheRowsValues) {
  std::size_t seeks = 0, decoded = 0;
  const std::size_t files = jettest::forEachFixtureIndex([&](const jettest::FixtureIndex& f) {
    const jet::Index& index = f.table->def.indexes[f.index];
    // The rows of each key, as Access's entries say.
    std::map<std::vector<std::byte>, std::vector<std::uint64_t>> rowsOfKey;
    for (const RawEntry& e : f.internals.walk(*f.table, f.index)) rowsOfKey[e.key].push_back(e.row);
    std::map<std::uint32_t, std::vector<std::byte>> keyOfRow;
    for (const RawEntry& e : f.internals.expected(f.table, f.index)) keyOfRow[e.row] = e.key;

    auto cursor = f.db.indexAt(f.table->def.name, f.index);
    auto rows = f.internals.rows(f.table);
    std::set<std::vector<std::byte>> sought;
    while (rows->next()) {
      auto k = keyOfRow.find(bookmarkOf(*rows));
      if (k != keyOfRow.end() && !sought.insert(k->second).second) continue;
      const std::vector<jet::Value> key = keyOf(*rows, index);
      cursor->seek(key);
      cursor->stopAt(key);
      std::vector<std::uint64_t> found;
      while (cursor->next()) {
        found.push_back(cursor->bookmark());
        // Every entry found has this row's key, so its values.
        for (std::size_t c = 0; c < key.size(); ++c) {
          const jet::ColumnType type = f.table->def.columns[static_cast<std::size_t>(index.columns[c].column)].type;
          if ((type == jet::ColumnType::Text || type == jet::ColumnType::Memo) && !key[c].null) {
            EXPECT_THROW(cursor->key(c), jet::Error);
            continue;
          }
          ASSERT_TRUE(sameValue(cursor->key(c), key[c])) << "column " << c;
          ++decoded;
        }
      }
      const std::vector<std::uint64_t> want = k == keyOfRow.end() ? std::vector<std::uint64_t>{} : rowsOfKey[k->second];
      ASSERT_EQ(found, want) << "the row on page " << rows->position().page << ", row " << rows->position().row;
      ++seeks;
    }
  });
  if (files == 0) GTEST_SKIP() << "no fixtures in " << fixtures::root();
  EXPECT_GT(decoded, 0u);
  std::cout << "[ sought   ] " << seeks << " keys\n";
}

// A key column's value as a number, for the columns ranges are tested on.
bool numberOf(const jet::Value& v, double& out) {
  switch (v.type) {
    case jet::ColumnType::Byte:
    case jet::ColumnType::Integer:
    case jet::ColumnType::Long:
    case jet::ColumnType::Currency: out = static_cast<double>(v.integer); return true;
    case jet::ColumnType::Single:
    case jet::ColumnType::Double:
    case jet::ColumnType::DateTime: out = v.real; return true;
    default: return false;
  }
}

TEST(IndexCursor, RangesHoldExactlyTheRowsBetweenTheirEnds) {
  std::size_t ranges = 0;
  const std::size_t files = jettest::forEachFixtureIndex([&](const jettest::FixtureIndex& f) {
    const jet::Index& index = f.table->def.indexes[f.index];
    const std::size_t column = static_cast<std::size_t>(index.columns[0].column);
    // Every row's value of the index's first column; a range is tested on
    // numbers, where the values' own order is the oracle.
    struct Row {
      double number;
      jet::Value value;
      std::uint64_t bookmark;
    };
    std::vector<Row> rows;
    auto cursor = f.internals.rows(f.table);
    bool numeric = true;
    while (cursor->next() && numeric) {
      const jet::Value& v = cursor->value(column);
      double n = 0;
      numeric = numberOf(v, n);
      if (!v.null) rows.push_back({n, v, bookmarkOf(*cursor)});
    }
    if (!numeric || rows.size() < 3) return;
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.number < b.number; });
    const bool ascending = index.columns[0].ascending;
    const jet::Value low = rows[rows.size() / 4].value, high = rows[rows.size() * 3 / 4].value;
    const jet::Value from = ascending ? low : high, to = ascending ? high : low;
    for (bool fromInclusive : {true, false})
      for (bool toInclusive : {true, false}) {
        auto c = f.db.indexAt(f.table->def.name, f.index);
        c->seek(std::span(&from, 1), fromInclusive);
        c->stopAt(std::span(&to, 1), toInclusive);
        std::vector<std::uint64_t> found;
        double last = ascending ? -INFINITY : INFINITY;
        while (c->next()) {
          found.push_back(c->bookmark());
          double n = 0;
          ASSERT_TRUE(numberOf(c->key(0), n));
          ASSERT_TRUE(ascending ? n >= last : n <= last) << "out of order";
          last = n;
        }
        double lo = 0, hi = 0;
        numberOf(low, lo);
        numberOf(high, hi);
        const bool loInclusive = ascending ? fromInclusive : toInclusive;
        const bool hiInclusive = ascending ? toInclusive : fromInclusive;
        std::vector<std::uint64_t> want;
        for (const Row& r : rows)
          if ((r.number > lo || (loInclusive && r.number == lo)) && (r.number < hi || (hiInclusive && r.number == hi)))
            want.push_back(r.bookmark);
        std::sort(found.begin(), found.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(found, want) << "from " << (fromInclusive ? "[" : "(") << " to " << (toInclusive ? "]" : ")");
        ++ranges;
      }
  });
  if (files == 0) GTEST_SKIP() << "no fixtures in " << fixtures::root();
  EXPECT_GT(ranges, 0u);
  std::cout << "[ ranges   ] " << ranges << " ranges\n";
}

class NwindCursor : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(fixtures::mdb("nwind.mdb"))) GTEST_SKIP() << "nwind.mdb is absent";
    db_ = jet::Database::open(fixtures::mdb("nwind.mdb").string());
  }
  std::unique_ptr<jet::Database> db_;
};

jet::Value integer(jet::ColumnType type, std::int64_t n) {
  jet::Value v;
  v.type = type;
  v.null = false;
  v.integer = n;
  return v;
}

TEST_F(NwindCursor, FindsIndexesByNameWithoutRegardToCaseOrByPosition) {
  auto byName = db_->index("order details", "primarykey");
  EXPECT_EQ(byName->index().name, "PrimaryKey");
  EXPECT_EQ(byName->table().name, "Order Details");
  const jet::TableDef def = db_->table("Orders");
  for (std::size_t i = 0; i < def.indexes.size(); ++i) EXPECT_EQ(db_->indexAt("Orders", i)->index().name, def.indexes[i].name);

  try {
    db_->index("Orders", "NoSuchIndex");
    FAIL();
  } catch (const jet::Error& e) {
    EXPECT_EQ(e.kind(), jet::ErrorKind::NotFound);
    EXPECT_STREQ(e.what(), "Table Orders has no index named NoSuchIndex.");
  }
  EXPECT_THROW(db_->indexAt("Orders", def.indexes.size()), jet::Error);
  EXPECT_THROW(db_->index("NoSuchTable", "PrimaryKey"), jet::Error);
}

TEST_F(NwindCursor, AKeyOfTheFirstColumnsStandsForEveryKeyItStarts) {
  // Order 10248 has three lines; the primary key is (OrderID, ProductID).
  auto cursor = db_->index("Order Details", "PrimaryKey");
  const jet::Value order = integer(jet::ColumnType::Long, 10248);
  cursor->seek(std::span(&order, 1));
  cursor->stopAt(std::span(&order, 1));
  std::vector<std::int64_t> products;
  while (cursor->next()) {
    EXPECT_EQ(cursor->key(0).integer, 10248);
    products.push_back(cursor->key(1).integer);
  }
  EXPECT_EQ(products, (std::vector<std::int64_t>{11, 42, 72}));

  // Exclusive ends pass over every key the value starts.
  cursor->stopAt({});
  cursor->seek(std::span(&order, 1), false);
  ASSERT_TRUE(cursor->next());
  EXPECT_EQ(cursor->key(0).integer, 10249);
  cursor->stopAt(std::span(&order, 1), false);
  cursor->seek({});
  EXPECT_FALSE(cursor->next());  // the first order is 10248: nothing lies before it
}

TEST_F(NwindCursor, KeyValuesConvertOnlyWhenExact) {
  auto orders = db_->index("Orders", "PrimaryKey");  // a Long column
  const jet::Value small = integer(jet::ColumnType::Integer, 10250);
  orders->seek(std::span(&small, 1));
  ASSERT_TRUE(orders->next());
  EXPECT_EQ(orders->key(0).integer, 10250);

  jet::Value big = integer(jet::ColumnType::Long, 0);
  big.type = jet::ColumnType::Currency;
  jet::Value text;
  text.type = jet::ColumnType::Text;
  text.null = false;
  text.text = u"10250";
  for (const jet::Value& v : {big, text}) {
    try {
      orders->seek(std::span(&v, 1));
      FAIL();
    } catch (const jet::Error& e) {
      EXPECT_EQ(e.kind(), jet::ErrorKind::Unsupported);
      EXPECT_STREQ(e.what(), "a key of column OrderID must be a whole number");
    }
  }
  const jet::Value two[] = {small, small};
  try {
    orders->seek(two);
    FAIL();
  } catch (const jet::Error& e) {
    EXPECT_EQ(e.kind(), jet::ErrorKind::NotFound);
    EXPECT_STREQ(e.what(), "index PrimaryKey of table Orders has 1 columns, not 2");
  }

  // Not on an entry, or past the columns.
  auto categories = db_->index("Products", "CategoryID");
  EXPECT_THROW(categories->key(0), jet::Error);
  ASSERT_TRUE(categories->next());
  EXPECT_EQ(categories->key(0).integer, 1);
  EXPECT_THROW(categories->key(1), jet::Error);
}

TEST_F(NwindCursor, TextSeeksFollowTheSortOrder) {
  // Case and trailing spaces don't count.
  auto customers = db_->index("Customers", "CompanyName");
  jet::Value name;
  name.type = jet::ColumnType::Text;
  name.null = false;
  for (std::u16string_view text : {u"alfreds futterkiste", u"ALFREDS FUTTERKISTE   "}) {
    name.text = text;
    customers->seek(std::span(&name, 1));
    customers->stopAt(std::span(&name, 1));
    EXPECT_EQ(collect(*customers).size(), 1u);
  }
  // Every name from "F" up to (not including) "G".
  jet::Value f = name, g = name;
  f.text = u"f";
  g.text = u"g";
  customers->seek(std::span(&f, 1));
  customers->stopAt(std::span(&g, 1), false);
  auto rows = db_->rows("Customers");
  std::size_t column = 0;
  while (rows->table().columns[column].name != "CompanyName") ++column;
  std::size_t want = 0;
  while (rows->next()) {
    const std::u16string_view company = rows->value(column).text;
    want += !company.empty() && (company[0] == u'F' || company[0] == u'f');
  }
  EXPECT_EQ(collect(*customers).size(), want);
  EXPECT_GT(want, 0u);
}

TEST(IndexCursorOrders, ATextIndexInAnUnknownSortOrderIsWalkedButNotSought) {
  REQUIRE_FIXTURE(fixtures::mdb("V2000_test.mdb"));
  std::vector<std::byte> bytes = jettest::readBytes(fixtures::mdb("V2000_test.mdb"));
  // Table1's text column A, as a database made with a Russian sort order
  // would have it (locale 1049).
  IndexedFile internals(bytes);
  const auto table = internals.table("Table1");
  const std::size_t pageSize = 4096;
  const std::size_t tdef = static_cast<std::size_t>(table->definitionPage) * pageSize;
  const jet::tdef::Layout& L = jet::tdef::kJet4;
  const std::size_t realIndexes = jet::getU32(&bytes[tdef + static_cast<std::size_t>(L.realIndexCount)]);
  std::size_t entry = tdef + static_cast<std::size_t>(L.realIndexCounts) + realIndexes * static_cast<std::size_t>(L.realIndexCountSize);
  while (jet::getU16(&bytes[entry + static_cast<std::size_t>(L.columnNumber)]) != table->storage[0].number)
    entry += static_cast<std::size_t>(L.columnEntrySize);
  jettest::putU16(bytes, entry + static_cast<std::size_t>(L.columnSortOrder), 1049);

  auto db = jettest::openBytes(bytes);
  auto cursor = db->index("Table1", "PrimaryKey");
  EXPECT_EQ(collect(*cursor).size(), 2u);
  jet::Value a;
  a.type = jet::ColumnType::Text;
  a.null = false;
  a.text = u"a";
  try {
    cursor->seek(std::span(&a, 1));
    FAIL();
  } catch (const jet::Error& e) {
    EXPECT_EQ(e.kind(), jet::ErrorKind::Unsupported);
    EXPECT_STREQ(e.what(), "a key of column A is in a sort order this engine has no tables for");
  }
}

}  // namespace
