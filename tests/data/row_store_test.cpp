#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "data/row_store.h"
#include "qt_printers.h"

namespace tabrix {
namespace {

ColumnInfo column(DataType type) {
  ColumnInfo c;
  c.type = type;
  return c;
}

std::span<const std::byte> bytesOf(const char* text, std::size_t length) {
  return {reinterpret_cast<const std::byte*>(text), length};
}

TEST(RowStoreTest, KeepsEveryKindOfValue) {
  ResultInfo info;
  for (DataType type : {DataType::Boolean, DataType::TinyInt, DataType::UnsignedSmallInt, DataType::Integer,
                        DataType::BigInt, DataType::Single, DataType::Double, DataType::Currency, DataType::DBTimeStamp,
                        DataType::GUID, DataType::VarWChar, DataType::LongVarBinary, DataType::Numeric})
    info.columns.push_back(column(type));
  const Guid guid = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  RowStore store;
  store.begin(info);
  for (int row = 0; row < 3; ++row) {
    if (row == 1) {  // a row of nulls, set in reverse order
      for (int c = store.columnCount() - 1; c >= 0; --c) store.setNull(c);
      store.endRow();
      continue;
    }
    store.setBoolean(0, row == 0);
    store.setInteger(1, -100 - row);
    store.setInteger(2, 65535);
    store.setInteger(3, -2000000000);
    store.setInteger(4, std::int64_t(1) << 60);
    store.setReal(5, 0.1);
    store.setReal(6, 0.1);
    store.setInteger(7, -957229200);
    store.setReal(8, 27293.5);
    store.setGuid(9, guid);
    store.setText(10, row == 0 ? u"Zażółć" : u"");
    store.setBytes(11, bytesOf("a\0b", 3));
    // A column left out of a row is null.
    store.endRow();
  }
  ASSERT_EQ(store.rowCount(), 3u);
  EXPECT_EQ(store.cell(0, 0), Cell(true));
  EXPECT_EQ(store.cell(2, 0), Cell(false));
  EXPECT_EQ(store.cell(0, 1), Cell(std::int64_t(-100)));
  EXPECT_EQ(store.cell(2, 1), Cell(std::int64_t(-102)));
  EXPECT_EQ(store.cell(0, 2), Cell(std::int64_t(65535)));
  EXPECT_EQ(store.cell(0, 3), Cell(std::int64_t(-2000000000)));
  EXPECT_EQ(store.cell(0, 4), Cell(std::int64_t(1) << 60));
  EXPECT_EQ(store.cell(0, 5), Cell(static_cast<double>(0.1f)));
  EXPECT_EQ(store.cell(0, 6), Cell(0.1));
  EXPECT_EQ(store.cell(0, 7), Cell(std::int64_t(-957229200)));
  EXPECT_EQ(store.cell(0, 8), Cell(27293.5));
  EXPECT_EQ(store.cell(0, 9), Cell(guid));
  EXPECT_EQ(store.cell(0, 10), Cell(QString::fromUtf8("Zażółć")));
  EXPECT_EQ(store.cell(2, 10), Cell(QString("")));
  EXPECT_FALSE(store.isNull(2, 10));
  EXPECT_EQ(store.cell(2, 11), Cell(QByteArray("a\0b", 3)));
  EXPECT_TRUE(store.isNull(0, 12));
  for (int c = 0; c < store.columnCount(); ++c) EXPECT_TRUE(store.isNull(1, c)) << c;
}

TEST(RowStoreTest, NullsPastTheFirstWordsOfBits) {
  ResultInfo info;
  info.columns = {column(DataType::Integer), column(DataType::VarWChar)};
  const std::set<std::uint32_t> nulls = {31, 32, 40, 63, 64, 65, 127, 128, 199};
  RowStore store;
  store.begin(info);
  for (std::uint32_t row = 0; row < 200; ++row) {
    if (nulls.count(row)) {
      store.setNull(0);
      store.setNull(1);
    } else {
      store.setInteger(0, row);
      store.setText(1, u"x");
    }
    store.endRow();
  }
  for (std::uint32_t row = 0; row < 200; ++row) {
    const bool null = nulls.count(row) > 0;
    EXPECT_EQ(store.isNull(row, 0), null) << row;
    EXPECT_EQ(store.isNull(row, 1), null) << row;
    EXPECT_EQ(store.cell(row, 0), null ? Cell() : Cell(std::int64_t(row))) << row;
  }
}

TEST(RowStoreTest, ChangedAndAddedRowsLiveBesideTheLoadedOnes) {
  ResultInfo info;
  info.columns = {column(DataType::Integer), column(DataType::VarWChar)};
  RowStore store;
  store.begin(info);
  for (int i = 0; i < 100; ++i) {
    store.setInteger(0, i);
    store.setText(1, u"wiersz");
    store.endRow();
  }
  store.replaceRow(50, {Cell(std::int64_t(-1)), Cell()});
  const std::uint32_t added = store.addRow({Cell(std::int64_t(7)), Cell(QString("nowy"))});
  EXPECT_EQ(added, 100u);
  EXPECT_EQ(store.rowCount(), 101u);
  EXPECT_EQ(store.integer(50, 0), -1);
  EXPECT_TRUE(store.isNull(50, 1));
  EXPECT_EQ(store.text(49, 1), u"wiersz");
  EXPECT_EQ(store.text(51, 1), u"wiersz");
  EXPECT_EQ(store.text(100, 1), u"nowy");
  EXPECT_EQ(store.integer(100, 0), 7);
}

TEST(RowStoreTest, FixedWidthValuesTakeTheirOwnWidth) {
  ResultInfo info;
  info.columns = {column(DataType::SmallInt), column(DataType::VarWChar)};
  const std::size_t rows = 10000;
  info.expectedRows = rows;
  RowStore store;
  store.begin(info);
  for (std::size_t i = 0; i < rows; ++i) {
    store.setInteger(0, static_cast<std::int64_t>(i));
    store.setText(1, u"abcd");
    store.endRow();
  }
  // Two bytes a SmallInt; eight bytes of text and a four-byte offset a text;
  // a bit a value for nulls; the arena may have grown by doubling.
  const std::size_t values = rows * (2 + 8);
  EXPECT_LE(store.memoryUsed(), rows * (2 + 4 + 8 * 2) + rows / 4 + 64);
  EXPECT_GE(store.memoryUsed(), values);
}

// The process's resident memory, in KiB.
long residentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

TEST(RowStoreTest, ARowCountHintTouchesNoMemory) {
  // A table that claims fifty million rows and holds two.
  ResultInfo info;
  info.columns = {column(DataType::Integer), column(DataType::VarWChar), column(DataType::GUID)};
  info.expectedRows = 50'000'000;
  info.bookmarks = true;
  RowStore store;
  const long before = residentKiB();
  store.begin(info);
  EXPECT_LT(residentKiB() - before, 16 * 1024) << "the hint's room was touched";
  for (int i = 0; i < 2; ++i) {
    store.setInteger(0, i);
    store.setText(1, u"ab");
    store.setNull(2);
    store.setBookmark(i);
    store.endRow();
  }
  store.shrinkToFit();
  EXPECT_LT(store.memoryUsed(), 1024u);
  EXPECT_EQ(store.cell(1, 0), Cell(std::int64_t(1)));
  EXPECT_EQ(store.cell(1, 1), Cell(QString("ab")));
  EXPECT_TRUE(store.isNull(1, 2));
}

TEST(RowStoreTest, KeepsEachRowsBookmarkBesideItsValues) {
  ResultInfo info;
  info.columns = {column(DataType::Integer)};
  info.bookmarks = true;
  RowStore store;
  store.begin(info);
  for (int i = 0; i < 3; ++i) {
    store.setBookmark((Bookmark(700 + i) << 8) | 255);
    store.setInteger(0, i);
    store.endRow();
  }
  store.replaceRow(1, {Cell(std::int64_t(-1))});
  store.addRow({Cell(std::int64_t(5))}, Bookmark(42));
  store.addRow({Cell(std::int64_t(6))});
  EXPECT_EQ(store.bookmark(0), (Bookmark(700) << 8) | 255);
  EXPECT_EQ(store.bookmark(1), (Bookmark(701) << 8) | 255);  // a changed row is the same row
  EXPECT_EQ(store.bookmark(3), Bookmark(42));
  EXPECT_EQ(store.bookmark(4), std::nullopt);

  // A driver that breaks the contract is stopped, not believed.
  store.begin(info);
  store.setInteger(0, 1);
  EXPECT_THROW(store.endRow(), std::logic_error);
  store.begin(info);
  store.setBookmark(1);
  EXPECT_THROW(store.setBookmark(2), std::logic_error);

  info.bookmarks = false;
  store.begin(info);
  store.setInteger(0, 1);
  store.endRow();
  EXPECT_EQ(store.bookmark(0), std::nullopt);
  EXPECT_THROW(store.setBookmark(1), std::logic_error);
}

}  // namespace
}  // namespace tabrix
