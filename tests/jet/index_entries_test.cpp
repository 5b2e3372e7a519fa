// Every index Access wrote in the fixtures, entry by entry: the key the
// engine computes from each row equals the entry Access wrote, byte for
// byte; the entries come in order; every row has exactly one.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "fixtures.h"
#include "indexed_file.h"

namespace {

using jettest::RawEntry;

std::string hex(const std::vector<std::byte>& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (std::byte b : bytes) {
    s += digits[std::to_integer<unsigned>(b) >> 4];
    s += digits[std::to_integer<unsigned>(b) & 15];
  }
  return s;
}

bool before(const RawEntry& a, const RawEntry& b) {
  if (a.key != b.key) return std::lexicographical_compare(a.key.begin(), a.key.end(), b.key.begin(), b.key.end());
  return a.row < b.row;
}

// Entries of a few indexes whose size the fixtures' documents state, so that
// a walk that finds nothing can't pass for one that matches.
const std::map<std::string, std::size_t> kKnownSizes = {
    {"testIndexCodesV1997.mdb/Table1/DataIndex", 275},
    {"testIndexCodesV1997.mdb/Table1_desc/PrimaryKey", 275},
    {"nwind.mdb/Order Details/PrimaryKey", 2155},
    {"nwind.mdb/Orders/CustomerID", 830},
    {"nwind.mdb/Umsätze/OrderDate", 830},
    {"compIndexTestV2000.mdb/Table1/CD_AGENTE", 512},
    {"testUnicodeCompV2003.mdb/Table/Unicode", 8},
};

TEST(IndexEntries, EveryIndexOfEveryFixtureHoldsTheKeysOfItsRows) {
  std::size_t indexes = 0, entries = 0, known = 0;
  std::set<jet::ColumnType> types;
  const std::size_t files = jettest::forEachFixtureIndex([&](const jettest::FixtureIndex& f) {
    const jet::Index& index = f.table->def.indexes[f.index];
    const std::vector<RawEntry> walked = f.internals.walk(*f.table, f.index);
    for (std::size_t k = 1; k < walked.size(); ++k) ASSERT_TRUE(before(walked[k - 1], walked[k])) << "entry " << k;

    std::vector<RawEntry> computed = f.internals.expected(f.table, f.index);
    std::sort(computed.begin(), computed.end(), before);
    ASSERT_EQ(walked.size(), computed.size());
    for (std::size_t k = 0; k < walked.size(); ++k) {
      ASSERT_EQ(walked[k].row, computed[k].row) << "entry " << k;
      ASSERT_EQ(hex(walked[k].key), hex(computed[k].key)) << "the row on page " << (walked[k].row >> 8) << ", row "
                                                          << (walked[k].row & 0xFF);
    }
    if (auto it = kKnownSizes.find(f.file + "/" + f.table->def.name + "/" + index.name); it != kKnownSizes.end()) {
      EXPECT_EQ(walked.size(), it->second);
      ++known;
    }
    ++indexes;
    entries += walked.size();
    if (!walked.empty())
      for (const jet::IndexColumn& c : index.columns) types.insert(f.table->def.columns[static_cast<std::size_t>(c.column)].type);
  });
  if (files == 0) GTEST_SKIP() << "no fixtures in " << fixtures::root();
  EXPECT_EQ(known, kKnownSizes.size());
  // The fixtures hold keys of every type an index takes but decimals.
  for (jet::ColumnType t : {jet::ColumnType::Boolean, jet::ColumnType::Byte, jet::ColumnType::Integer,
                            jet::ColumnType::Long, jet::ColumnType::Currency, jet::ColumnType::Single,
                            jet::ColumnType::Double, jet::ColumnType::DateTime, jet::ColumnType::Guid,
                            jet::ColumnType::Binary, jet::ColumnType::Text})
    EXPECT_TRUE(types.count(t)) << "no entries of type " << static_cast<int>(t);
  std::cout << "[ compared ] " << entries << " entries of " << indexes << " indexes in " << files << " files\n";
}

}  // namespace
