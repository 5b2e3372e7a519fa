// Text keys: the packed tables are what the generator makes of the
// reference code tables, and keys in each sort order sort, end and flip as
// the format needs. Whether they equal Access's bytes is what the fixtures'
// indexes show (index_entries_test.cpp).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "collation.h"
#include "fixtures.h"
#include "process.h"

namespace {

struct Order {
  const char* name;
  jet::Format format;
  jet::SortOrderId id;
};

constexpr Order kOrders[] = {
    {"Jet 3 general", jet::Format::Jet3, {1033, 0}},
    {"General Legacy", jet::Format::Jet4, {1033, 0}},
    {"General", jet::Format::Jet4, {1033, 1}},
};

std::vector<std::byte> keyOf(const jet::Collation& c, std::u16string_view text, bool ascending = true) {
  std::vector<std::byte> key;
  c.appendKey(text, ascending, key);
  return key;
}

TEST(CollationTables, AreWhatTheGeneratorMakesOfTheReferenceTables) {
  const auto reference = fixtures::root().parent_path() / "reference" / "index-codes";
  if (!std::filesystem::is_directory(reference)) GTEST_SKIP() << reference << " is absent";
  const jettest::ProcessResult made = jettest::runProcess({MAKE_COLLATION_TABLES, reference.string()});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  std::ifstream in(std::filesystem::path(TABRIX_SOURCE_DIR) / "jet" / "src" / "collation_tables.cpp", std::ios::binary);
  std::stringstream committed;
  committed << in.rdbuf();
  EXPECT_TRUE(made.out == committed.str()) << "jet/src/collation_tables.cpp differs from what make_collation_tables writes";
}

TEST(Collation, IsFoundForTheGeneralOrdersOnly) {
  EXPECT_NE(jet::Collation::find(jet::Format::Jet3, {1033, 0}), nullptr);
  const jet::Collation* legacy = jet::Collation::find(jet::Format::Jet4, {1033, 0});
  const jet::Collation* general = jet::Collation::find(jet::Format::Jet4, {1033, 1});
  ASSERT_NE(legacy, nullptr);
  ASSERT_NE(general, nullptr);
  EXPECT_NE(legacy, general);
  EXPECT_EQ(jet::Collation::find(jet::Format::Jet4, {0, 0}), legacy);  // no order given: the format's default
  EXPECT_EQ(jet::Collation::find(jet::Format::Jet4, {1049, 0}), nullptr);  // Cyrillic
  EXPECT_EQ(jet::Collation::find(jet::Format::Jet4, {1033, 7}), nullptr);
  EXPECT_EQ(jet::Collation::find(jet::Format::Jet3, {1045, 0}), nullptr);  // Polish
}

TEST(Collation, KeysSortByLetterWithoutRegardToCaseAndIgnoreTrailingSpaces) {
  for (const Order& o : kOrders) {
    SCOPED_TRACE(o.name);
    const jet::Collation& c = *jet::Collation::find(o.format, o.id);
    // In the order they must sort, as letters.
    const std::u16string_view ordered[] = {u"", u"0", u"9", u"a", u"AB", u"abc", u"Abd", u"äz", u"b", u"zz"};
    for (std::size_t i = 1; i < std::size(ordered); ++i)
      EXPECT_LT(keyOf(c, ordered[i - 1]), keyOf(c, ordered[i])) << "\"" << jet::toUtf8(ordered[i - 1]) << "\" before \""
                                                                << jet::toUtf8(ordered[i]) << "\"";
    EXPECT_EQ(keyOf(c, u"abc   "), keyOf(c, u"abc"));
    EXPECT_NE(keyOf(c, u"  abc"), keyOf(c, u"abc"));
    // Only the first 255 code units count.
    const std::u16string long255(255, u'x');
    EXPECT_EQ(keyOf(c, long255 + u"yyy"), keyOf(c, long255));
    EXPECT_NE(keyOf(c, long255.substr(1) + u"y"), keyOf(c, long255));
  }
}

// Texts drawn from every part of the code tables: letters with and without
// marks, control characters, symbols, other scripts, surrogate pairs.
std::vector<std::u16string> sampleTexts() {
  std::mt19937 random(20240611);
  const char16_t pools[][2] = {{0x20, 0x7E}, {0x01, 0x1F}, {0xA0, 0xFF}, {0x100, 0x24F}, {0x370, 0x4FF},
                               {0x2000, 0x206F}, {0x3040, 0x30FF}, {0x4E00, 0x9FFF}, {0xE000, 0xF8FF}, {0xFF00, 0xFFEF}};
  std::vector<std::u16string> texts;
  for (int n = 0; n < 400; ++n) {
    std::u16string text;
    const int length = static_cast<int>(random() % 12);
    for (int i = 0; i < length; ++i) {
      if (random() % 16 == 0) {
        text += static_cast<char16_t>(0xD800 + random() % 0x400);
        text += static_cast<char16_t>(0xDC00 + random() % 0x400);
        continue;
      }
      const auto& pool = pools[random() % std::size(pools)];
      text += static_cast<char16_t>(pool[0] + random() % (pool[1] - pool[0] + 1));
    }
    texts.push_back(text);
  }
  return texts;
}

TEST(Collation, KeysMeasureTheirOwnLengthAndDescendingKeysSortTheOtherWay) {
  const std::vector<std::u16string> texts = sampleTexts();
  for (const Order& o : kOrders) {
    SCOPED_TRACE(o.name);
    const jet::Collation& c = *jet::Collation::find(o.format, o.id);
    std::vector<std::pair<std::vector<std::byte>, std::vector<std::byte>>> keys;  // ascending, descending
    for (const std::u16string& text : texts) {
      SCOPED_TRACE(jet::toUtf8(text));
      for (bool ascending : {true, false}) {
        // The key's own length is among the lengths it can end at, and none
        // lies beyond it.
        const std::vector<std::byte> key = keyOf(c, text, ascending);
        std::size_t length = 0;
        while ((length = c.keyLength(key, ascending, length)) != 0 && length < key.size()) {
        }
        EXPECT_EQ(length, key.size());
        EXPECT_EQ(c.keyLength(key, ascending, key.size()), 0u);
      }
      keys.emplace_back(keyOf(c, text), keyOf(c, text, false));
    }
    std::sort(keys.begin(), keys.end());
    for (std::size_t i = 1; i < keys.size(); ++i)
      if (keys[i - 1].first != keys[i].first) {
        EXPECT_GT(keys[i - 1].second, keys[i].second) << i;
      }
  }
}

}  // namespace
