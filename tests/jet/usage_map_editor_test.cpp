// Usage maps changed in a change: a table's map marks pages inside its
// window, moves the window, becomes a reference map; the database's map of
// free pages hands out pages and takes them back. After each, the file
// reads as before, through the engine and through mdb-export.

#include <gtest/gtest.h>

#include <algorithm>

#include "anatomy.h"
#include "bytes.h"
#include "file_bytes.h"
#include "fixtures.h"
#include "memory_file_system.h"
#include "open.h"
#include "oracle.h"
#include "page_format.h"
#include "process.h"
#include "sample_change.h"
#include "transaction.h"
#include "usage_map_editor.h"
#include "usage_map_format.h"

namespace {

using jet::MemoryFileSystem;
using jettest::kMemoryPath;

std::vector<std::byte> fixture(const std::string& name) { return jettest::readBytes(fixtures::mdb(name)); }

// Every table of the file, dumped by the engine.
std::vector<std::vector<std::string>> everyTable(MemoryFileSystem& files) {
  auto db = jettest::openForChanges(files);
  std::vector<std::vector<std::string>> tables;
  for (const auto& e : db->catalogue())
    if (e.kind != jet::ObjectKind::View) tables.push_back(jettest::dumpTable(*db, e.name));
  return tables;
}

// What mdb-export reads of a table of the file.
std::string exported(const std::vector<std::byte>& file, const std::string& table) {
  fixtures::TempDir dir;
  jettest::writeBytes(dir.path() / "x.mdb", file);
  auto r = jettest::runProcess({"mdb-export", (dir.path() / "x.mdb").string(), table});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  return r.out;
}

std::uint32_t mapOf(const std::vector<std::byte>& file, const std::string& table) {
  return jettest::Anatomy(file).table(table).usageMap;
}

struct Case {
  const char* fixture;
  const char* table;
};

class TableMapTest : public testing::TestWithParam<Case> {};

// Marks within the window, then one that moves it, then one that no window
// can hold with the others: the map turns into a reference map, listing
// every page it listed before.
TEST_P(TableMapTest, MarksMoveTheWindowThenTurnTheMapIntoReferences) {
  REQUIRE_FIXTURE(fixtures::mdb(GetParam().fixture));
  const std::vector<std::byte> original = fixture(GetParam().fixture);
  MemoryFileSystem files;
  jettest::addFixture(files, original);
  const auto before = everyTable(files);
  const std::uint32_t pointer = mapOf(original, GetParam().table);
  std::vector<std::uint32_t> marked;

  jettest::changePages(files, [&](jet::Transaction& t) {
    jet::UsageMapEditor map(t, pointer, GetParam().table);
    ASSERT_TRUE(map.isInline());
    for (auto p = map.find(0, UINT32_MAX); p; p = map.find(*p + 1, UINT32_MAX)) marked.push_back(*p);
    ASSERT_FALSE(marked.empty());
    const std::uint32_t first = map.windowFirst(), size = map.windowSize();

    // Inside the window.
    const std::uint32_t inside = first + size - 1;
    ASSERT_FALSE(map.contains(inside));
    map.add(inside);
    EXPECT_TRUE(map.contains(inside));
    map.remove(inside);
    EXPECT_FALSE(map.contains(inside));

    // Past it, with room for the marks: the window moves.
    const std::uint32_t past = marked.front() / 8 * 8 + size - 1;
    map.add(past);
    EXPECT_TRUE(map.isInline());
    EXPECT_EQ(map.windowFirst(), marked.front() / 8 * 8);
    for (std::uint32_t page : marked) EXPECT_TRUE(map.contains(page)) << page;
    EXPECT_TRUE(map.contains(past));

    // Far past: no window holds them all.
    const std::uint32_t far = marked.front() + 3 * size;
    map.add(far);
    EXPECT_FALSE(map.isInline());
    for (std::uint32_t page : marked) EXPECT_TRUE(map.contains(page)) << page;
    EXPECT_TRUE(map.contains(past));
    EXPECT_TRUE(map.contains(far));
    EXPECT_FALSE(map.contains(far - 1));

    // A page of another bitmap page's stretch takes a bitmap page more.
    const std::uint32_t beyond = static_cast<std::uint32_t>((t.pageSize() - jet::usage::kBitmapPageStart) * 8) + 5;
    EXPECT_FALSE(map.reaches(beyond));
    map.add(beyond);
    EXPECT_TRUE(map.contains(beyond));
    EXPECT_FALSE(map.contains(beyond + 1));
    map.remove(beyond);
    map.remove(far);
    map.remove(past);
    EXPECT_FALSE(map.contains(far));
  });

  // The table lists the same pages: its rows read the same.
  EXPECT_TRUE(everyTable(files) == before);
  if (jettest::onPath("mdb-export"))
    EXPECT_EQ(exported(files.bytes(kMemoryPath), GetParam().table), exported(original, GetParam().table));
}

INSTANTIATE_TEST_SUITE_P(Maps, TableMapTest,
                         testing::Values(Case{"V2000_test.mdb", "Table1"}, Case{"nwind.mdb", "Orders"},
                                         Case{"V1997_test.mdb", "Table1"}),
                         [](const testing::TestParamInfo<Case>& info) {
                           return std::filesystem::path(info.param.fixture).stem().string();
                         });

// Pages are taken from the free-page map first, then added at the end of
// the file; a page given back is taken again.
TEST(PageAllocator, ReusesFreePagesThenGrowsTheFile) {
  REQUIRE_FIXTURE(fixtures::mdb("V1997_test.mdb"));
  const std::vector<std::byte> original = fixture("V1997_test.mdb");
  const std::uint32_t pages = static_cast<std::uint32_t>(original.size() / 2048);
  MemoryFileSystem files;
  jettest::addFixture(files, original);
  const auto before = everyTable(files);
  std::vector<std::uint32_t> taken;
  jettest::changePages(files, [&](jet::Transaction& t) {
    for (int i = 0; i < 5; ++i) {
      jet::MutablePage page = t.allocate();
      EXPECT_TRUE(std::ranges::all_of(page.bytes(), [](std::byte b) { return b == std::byte{0}; }));
      page.bytes()[0] = static_cast<std::byte>(jet::page::kData);
      taken.push_back(page.number());
    }
  });
  // The file's free pages (as its map has them), then new ones.
  EXPECT_EQ(taken, (std::vector<std::uint32_t>{36, 37, 43, pages, pages + 1}));
  EXPECT_EQ(files.bytes(kMemoryPath).size(), (pages + 2) * std::size_t{2048});

  jettest::changePages(files, [&](jet::Transaction& t) {
    jet::UsageMapEditor map(t, jet::usage::kFreePageMap, "the free pages");
    for (std::uint32_t page : taken) EXPECT_FALSE(map.contains(page)) << page;
    EXPECT_TRUE(map.contains(pages + 2)) << "past the end of the file";
    t.free(37);
    EXPECT_TRUE(map.contains(37));
    EXPECT_EQ(t.allocate().number(), 37u);
  });
  EXPECT_TRUE(everyTable(files) == before);
}

// Adding pages past the window of the free-page map moves the window: the
// file's pages it newly reaches are used, those past the end free.
TEST(PageAllocator, MovesTheFreePageWindowAlong) {
  REQUIRE_FIXTURE(fixtures::mdb("V2000_test.mdb"));
  const std::vector<std::byte> original = fixture("V2000_test.mdb");
  MemoryFileSystem files;
  jettest::addFixture(files, original);
  const auto before = everyTable(files);
  jettest::changePages(files, [&](jet::Transaction& t) {
    jet::UsageMapEditor map(t, jet::usage::kFreePageMap, "the free pages");
    ASSERT_EQ(map.windowFirst(), 0u);
    ASSERT_EQ(map.windowSize(), 768u);
    ASSERT_EQ(t.pageCount(), 743u);
    for (std::uint32_t expected = 743; expected < 773; ++expected) EXPECT_EQ(t.allocate().number(), expected);
    EXPECT_EQ(map.windowFirst(), 8u);
    for (std::uint32_t page = 743; page < 773; ++page) EXPECT_FALSE(map.contains(page)) << page;
    for (std::uint32_t page = 773; page < 776; ++page) EXPECT_TRUE(map.contains(page)) << page;
  });
  EXPECT_EQ(files.bytes(kMemoryPath).size(), 773u * 4096);
  EXPECT_TRUE(everyTable(files) == before);
}

}  // namespace
