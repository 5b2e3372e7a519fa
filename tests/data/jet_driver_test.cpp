// The built-in engine's driver: what it hands the dataset besides values.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <set>
#include <vector>

#include "data/jet_driver.h"
#include "data/row_store.h"
#include "fixtures.h"
#include "qt_printers.h"

namespace tabrix {
namespace {

std::vector<std::uint8_t> fileBytes(const std::filesystem::path& path) {
  std::vector<std::uint8_t> bytes(std::filesystem::file_size(path));
  std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

unsigned u16At(const std::vector<std::uint8_t>& bytes, std::size_t at) { return bytes[at] | bytes[at + 1] << 8; }

struct BookmarkCase {
  const char* file;
  const char* table;
  std::uint32_t rows;
  bool overflowed;  // some rows of the table were moved off their page
};

void PrintTo(const BookmarkCase& c, std::ostream* out) { *out << c.file << " " << c.table; }

class JetDriverBookmarkTest : public ::testing::TestWithParam<BookmarkCase> {};

// Each bookmark names, in the file's own bytes, a live row on a data page of
// the table: the place a writer will look for the row.
TEST_P(JetDriverBookmarkTest, NameEachRowsPlaceInTheFile) {
  const BookmarkCase& c = GetParam();
  const auto path = fixtures::mdb(c.file);
  REQUIRE_FIXTURE(path);
  const std::vector<std::uint8_t> file = fileBytes(path);
  const bool jet3 = file[0x14] == 0;
  const std::size_t pageSize = jet3 ? 2048 : 4096;
  const std::size_t rowCountAt = jet3 ? 8 : 12;
  const std::size_t rowTableAt = jet3 ? 10 : 14;

  JetDriver driver(QString::fromStdString(path.string()), {}, {});
  RowStore store;
  driver.readTable(c.table, store);
  ASSERT_TRUE(store.info().bookmarks);
  ASSERT_EQ(store.rowCount(), c.rows);

  std::set<Bookmark> seen;
  std::set<unsigned> owners;
  bool metOverflow = false;
  for (std::uint32_t row = 0; row < store.rowCount(); ++row) {
    const std::optional<Bookmark> bookmark = store.bookmark(row);
    ASSERT_TRUE(bookmark) << row;
    EXPECT_TRUE(seen.insert(*bookmark).second) << "row " << row << " shares its bookmark";
    const std::size_t page = *bookmark >> 8;
    const std::size_t number = *bookmark & 0xFF;
    ASSERT_LE((page + 1) * pageSize, file.size()) << row;
    const std::size_t at = page * pageSize;
    EXPECT_EQ(file[at], 0x01) << "row " << row << ": page " << page << " is no data page";
    owners.insert(u16At(file, at + 4) | u16At(file, at + 6) << 16);
    ASSERT_LT(number, u16At(file, at + rowCountAt)) << row;
    const unsigned entry = u16At(file, at + rowTableAt + 2 * number);
    EXPECT_EQ(entry & 0x8000, 0u) << "row " << row << " is listed as deleted";
    metOverflow |= (entry & 0x4000) != 0;
  }
  EXPECT_EQ(owners.size(), 1u);  // every page belongs to the one table
  EXPECT_EQ(metOverflow, c.overflowed);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, JetDriverBookmarkTest,
                         ::testing::Values(BookmarkCase{"nwind.mdb", "Order Details", 2155, false},
                                           BookmarkCase{"V2000_test.mdb", "Table1", 2, false},
                                           BookmarkCase{"jackcess/overflowTestV2000.mdb", "Table1", 7, true},
                                           BookmarkCase{"jackcess/delTestV2000.mdb", "Table", 2, false}));

}  // namespace
}  // namespace tabrix
