// Damaged index pages: each gives a jet::Error(Corrupt) naming the page,
// never a crash, a hang or a read outside a buffer (the sanitizer build runs
// these too).

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>
#include <set>
#include <stdexcept>

#include "bytes.h"
#include "file.h"
#include "file_bytes.h"
#include "fixtures.h"
#include "index_cursor.h"
#include "index_format.h"
#include "indexed_file.h"
#include "jet/error.h"

namespace {

// Where an index's pages lie in a file held in memory, to damage them.
class IndexPages {
 public:
  IndexPages(std::vector<std::byte>& file, jet::Format format, std::uint32_t root)
      : file_(file), format_(format), pageSize_(format == jet::Format::Jet3 ? 2048 : 4096), root_(root) {}

  const jet::index::PageLayout& layout() const { return format_ == jet::Format::Jet3 ? jet::index::kJet3 : jet::index::kJet4; }
  std::size_t at(std::uint32_t page, std::size_t offset) const { return page * pageSize_ + offset; }
  std::uint8_t kind(std::uint32_t page) const { return jet::getU8(&file_[at(page, 0)]); }

  // Where each entry of the page ends, from its entry mask, as offsets in the page.
  std::vector<std::size_t> entryEnds(std::uint32_t page) const {
    std::vector<std::size_t> ends;
    const jet::index::PageLayout& L = layout();
    for (int bit = 0; bit < L.entryMaskSize * 8; ++bit)
      if ((jet::getU8(&file_[at(page, static_cast<std::size_t>(L.entryMask + bit / 8))]) >> (bit % 8)) & 1)
        ends.push_back(static_cast<std::size_t>(L.entries + bit));
    return ends;
  }

  // The first page below an intermediate page.
  std::uint32_t firstChild(std::uint32_t page) const {
    const std::size_t end = at(page, entryEnds(page).at(0));
    std::uint32_t child = 0;
    for (std::size_t i = end - 4; i < end; ++i) child = child << 8 | jet::getU8(&file_[i]);
    return child;
  }
  void setFirstChild(std::uint32_t page, std::uint32_t child) {
    const std::size_t end = at(page, entryEnds(page).at(0));
    for (int i = 0; i < 4; ++i) file_[end - 1 - static_cast<std::size_t>(i)] = static_cast<std::byte>(child >> (8 * i));
  }
  std::uint32_t firstLeaf() const {
    std::uint32_t page = root_;
    while (kind(page) == jet::index::kIntermediatePage) page = firstChild(page);
    return page;
  }
  void setNext(std::uint32_t page, std::uint32_t next) { jettest::putU32(file_, at(page, static_cast<std::size_t>(layout().nextPage)), next); }
  void setMaskBit(std::uint32_t page, std::size_t bit, bool set) {
    std::byte& b = file_[at(page, static_cast<std::size_t>(layout().entryMask) + bit / 8)];
    b = set ? b | std::byte(1u << (bit % 8)) : b & ~std::byte(1u << (bit % 8));
  }
  void clearMask(std::uint32_t page) {
    for (int i = 0; i < layout().entryMaskSize; ++i) file_[at(page, static_cast<std::size_t>(layout().entryMask + i))] = std::byte{0};
  }
  void setPrefix(std::uint32_t page, std::size_t prefix) { file_[at(page, static_cast<std::size_t>(layout().prefixLength))] = static_cast<std::byte>(prefix); }

 private:
  std::vector<std::byte>& file_;
  jet::Format format_ = jet::Format::Jet4;
  std::size_t pageSize_ = 4096;
  std::uint32_t root_ = 0;
};

// The first page of a table's index.
std::uint32_t rootOf(jettest::IndexedFile& internals, const std::string& table, const std::string& index) {
  const auto info = internals.table(table);
  for (std::size_t i = 0; i < info->def.indexes.size(); ++i)
    if (info->def.indexes[i].name == index) return info->indexStorage[i].firstPage;
  throw std::runtime_error("no index " + index);
}

// Walks the index; the damage must come out as Corrupt.
std::string failureOf(const std::vector<std::byte>& file, const std::string& table, const std::string& index) {
  try {
    auto db = jettest::openBytes(file);
    auto cursor = db->index(table, index);
    while (cursor->next()) {
    }
    return "";
  } catch (const jet::Error& e) {
    EXPECT_EQ(e.kind(), jet::ErrorKind::Corrupt) << e.what();
    return e.what();
  }
}

std::string prefix(const std::string& table, const std::string& index, std::uint32_t page) {
  return "test.mdb is damaged: index page " + std::to_string(page) + " of table " + table + " (index " + index + ") ";
}

TEST(HostileIndex, DamagedLinksAndEntriesAreCorruption) {
  REQUIRE_FIXTURE(fixtures::mdb("nwind.mdb"));
  const std::vector<std::byte> original = jettest::readBytes(fixtures::mdb("nwind.mdb"));
  const std::string table = "Orders", index = "PrimaryKey";
  jettest::IndexedFile internals(original);
  const std::uint32_t root = rootOf(internals, table, index);
  const std::uint32_t otherTables = rootOf(internals, "Customers", "PrimaryKey");
  std::vector<std::byte> scratch = original;
  const IndexPages shape(scratch, jet::Format::Jet3, root);
  ASSERT_EQ(shape.kind(root), jet::index::kIntermediatePage);
  const std::uint32_t leaf = shape.firstLeaf();

  struct Case {
    const char* name;
    std::function<void(IndexPages&)> damage;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"a child outside the file", [&](IndexPages& p) { p.setFirstChild(root, 0xFFFFFF); },
       prefix(table, index, root) + "points to page 16777215, which lies outside the file"},
      {"a child that is its parent", [&](IndexPages& p) { p.setFirstChild(root, root); },
       prefix(table, index, root) + "points back to page " + std::to_string(root) + " above it"},
      {"a child that is no index page", [&](IndexPages& p) { p.setFirstChild(root, 1); },
       prefix(table, index, 1) + "is not an index page"},
      {"a child of another table", [&](IndexPages& p) { p.setFirstChild(root, otherTables); },
       prefix(table, index, otherTables) + "belongs to another table (the one defined on page 77)"},
      {"a leaf linking back to itself", [&](IndexPages& p) { p.setNext(leaf, leaf); },
       prefix(table, index, leaf) + "holds entries that belong before those of page " + std::to_string(leaf)},
      {"empty leaves in a loop",
       [&](IndexPages& p) {
         p.clearMask(leaf);
         p.setPrefix(leaf, 0);
         p.setNext(leaf, leaf);
       },
       prefix(table, index, leaf) + "is on a chain of leaves that loops"},
      {"a leaf linking to an intermediate page", [&](IndexPages& p) { p.setNext(leaf, root); },
       prefix(table, index, leaf) + "links to page " + std::to_string(root) + ", which is not a leaf"},
      {"an entry mask past the page's end", [&](IndexPages& p) { p.setMaskBit(leaf, 2048 - 248 + 3, true); },
       prefix(table, index, leaf) + "marks an entry that runs past the end of the page"},
      {"an entry mask marking a two-byte entry",
       [&](IndexPages& p) {
         p.setPrefix(leaf, 0);
         p.setMaskBit(leaf, 2, true);
       },
       prefix(table, index, leaf) + "holds an entry too short to be one"},
      {"a prefix longer than the first entry", [&](IndexPages& p) { p.setPrefix(leaf, 250); },
       prefix(table, index, leaf) + "claims its entries share 250 bytes, more than its first entry has"},
      {"entries out of order",
       [&](IndexPages& p) {
         // Swap the mask's first two entries' ends: the entries' bytes then
         // split elsewhere and no longer ascend.
         const auto ends = p.entryEnds(leaf);
         p.setMaskBit(leaf, ends[0] - 248, false);
         p.setMaskBit(leaf, ends[0] - 248 - 4, true);
       },
       prefix(table, index, leaf)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::byte> file = original;
    IndexPages pages(file, jet::Format::Jet3, root);
    c.damage(pages);
    const std::string text = failureOf(file, table, index);
    ASSERT_FALSE(text.empty()) << "the damage went unnoticed";
    EXPECT_EQ(text.substr(0, c.text.size()), c.text);
  }
}

TEST(HostileIndex, Jet4LinksOutsideTheFile) {
  REQUIRE_FIXTURE(fixtures::mdb("jackcess/compIndexTestV2000.mdb"));
  const std::vector<std::byte> original = jettest::readBytes(fixtures::mdb("jackcess/compIndexTestV2000.mdb"));
  jettest::IndexedFile internals(original);
  const std::uint32_t root = rootOf(internals, "Table1", "CD_AGENTE");
  for (bool tail : {false, true}) {
    std::vector<std::byte> file = original;
    IndexPages pages(file, jet::Format::Jet4, root);
    ASSERT_EQ(pages.kind(root), jet::index::kIntermediatePage);
    if (tail)
      jettest::putU32(file, pages.at(root, static_cast<std::size_t>(jet::index::kJet4.tailPage)), 70000);
    else
      pages.setFirstChild(root, 70000);
    EXPECT_EQ(failureOf(file, "Table1", "CD_AGENTE"),
              prefix("Table1", "CD_AGENTE", root) +
                  "points to page 70000, which lies outside the file. Run tabrix-cli check on it to see all of the "
                  "damage.");
  }
}

// Random bytes over one index page at a time: every index of its table is
// walked, its keys decoded, and the walk ends or fails with Error(Corrupt).
// TABRIX_DAMAGE_RUNS sets how many pages are damaged (100).
TEST(HostileIndex, RandomDamageToIndexPages) {
  REQUIRE_FIXTURE(fixtures::mdb("nwind.mdb"));
  const std::vector<std::byte> original = jettest::readBytes(fixtures::mdb("nwind.mdb"));
  const char* runsSetting = std::getenv("TABRIX_DAMAGE_RUNS");
  const int runs = runsSetting ? std::atoi(runsSetting) : 100;
  // The index pages of the user tables, with the table each belongs to; the
  // damage leaves the tables' definitions as they are.
  jettest::IndexedFile internals(original);
  const jet::Header header = jet::readHeader(*jet::memoryFile(original), "test.mdb");
  std::vector<std::pair<std::uint32_t, std::shared_ptr<const jet::TableInfo>>> pages;
  for (const auto& table : internals.tables()) {
    if (table->systemTable) continue;
    for (std::uint32_t p = 1; p < original.size() / 2048; ++p) {
      const std::uint8_t kind = jet::getU8(&original[p * 2048]);
      if ((kind == jet::index::kIntermediatePage || kind == jet::index::kLeafPage) &&
          jet::getU32(&original[p * 2048 + jet::index::kOwnerOffset]) == table->definitionPage)
        pages.emplace_back(p, table);
    }
  }
  ASSERT_FALSE(pages.empty());
  for (int run = 0; run < runs; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    std::mt19937 random(static_cast<unsigned>(run));
    const auto& [page, table] = pages[random() % pages.size()];
    std::vector<std::byte> file = original;
    const int damage = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < damage; ++i) file[page * 2048 + random() % 2048] = static_cast<std::byte>(random());
    jet::Pager pager(jet::memoryFile(std::move(file)), header, "test.mdb");
    std::set<std::uint32_t> realIndexes;
    for (std::size_t i = 0; i < table->def.indexes.size(); ++i) {
      if (!realIndexes.insert(table->indexStorage[i].realIndex).second) continue;  // the same entries
      try {
        jet::TableIndexCursor cursor(pager, header.format, table, i);
        while (cursor.next())
          for (std::size_t k = 0; k < table->def.indexes[i].columns.size(); ++k) {
            try {
              cursor.key(k);
            } catch (const jet::Error& e) {
              if (e.kind() != jet::ErrorKind::Unsupported) throw;  // a text key
            }
          }
      } catch (const jet::Error& e) {
        EXPECT_EQ(e.kind(), jet::ErrorKind::Corrupt) << e.what();
      }
    }
  }
}

}  // namespace
