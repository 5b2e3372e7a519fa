// Pages: an encoded database's pages, and page maps kept in bitmap pages.

#include <gtest/gtest.h>

#include <algorithm>

#include "anatomy.h"
#include "bytes.h"
#include "file_bytes.h"
#include "fixtures.h"
#include "jet/database.h"

namespace {

TEST(Pages, EncodedPagesReadAsPlain) {
  for (const char* name : {"V1997_test.mdb", "nwind.mdb", "V2000_test.mdb"}) {
    SCOPED_TRACE(name);
    auto path = fixtures::mdb(name);
    REQUIRE_FIXTURE(path);
    auto plainFile = jettest::readBytes(path);
    auto encodedFile = jettest::encodeDatabase(plainFile, 0x5A17C0DE);
    ASSERT_NE(plainFile, encodedFile);
    auto plain = jettest::openBytes(plainFile);
    auto encoded = jettest::openBytes(encodedFile);
    std::vector<std::string> names;
    for (const auto& e : plain->catalogue()) names.push_back(e.name);
    std::vector<std::string> encodedNames;
    for (const auto& e : encoded->catalogue()) encodedNames.push_back(e.name);
    EXPECT_EQ(names, encodedNames);
    for (const auto& e : plain->catalogue()) {
      if (e.kind == jet::ObjectKind::View) continue;
      EXPECT_EQ(jettest::dumpTable(*plain, e.name), jettest::dumpTable(*encoded, e.name)) << e.name;
    }
  }
}

// A large table lists its pages in bitmap pages of their own rather than in
// the map row. The fixtures' tables are small, so the test moves a table's
// map into a bitmap page appended to the file and reads the table again.
TEST(Pages, PageMapKeptInBitmapPages) {
  for (auto [name, table] : {std::pair{"V2000_test.mdb", "Table1"}, std::pair{"nwind.mdb", "Orders"}}) {
    SCOPED_TRACE(name);
    auto path = fixtures::mdb(name);
    REQUIRE_FIXTURE(path);
    auto file = jettest::readBytes(path);
    auto before = jettest::dumpTable(*jettest::openBytes(file), table);

    jettest::Anatomy anatomy(file);
    const std::size_t pageSize = static_cast<std::size_t>(anatomy.pageSize());
    auto map = anatomy.pointedRow(anatomy.table(table).usageMap);
    ASSERT_EQ(std::to_integer<int>(file[map.offset]), 0x00) << "an inline map to start from";
    const std::uint32_t first = jet::getU32(&file[map.offset + 1]);
    std::vector<std::byte> bitmapPage(pageSize);
    bitmapPage[0] = std::byte{0x05};
    bitmapPage[1] = std::byte{0x01};
    for (std::size_t bit = 0; bit < (map.length - 5) * 8; ++bit) {
      if ((std::to_integer<unsigned>(file[map.offset + 5 + bit / 8]) >> (bit % 8) & 1) == 0) continue;
      const std::size_t page = first + bit;
      ASSERT_LT(page, (pageSize - 4) * 8);
      bitmapPage[4 + page / 8] |= static_cast<std::byte>(1u << (page % 8));
    }
    const auto bitmapNumber = static_cast<std::uint32_t>(file.size() / pageSize);
    file.insert(file.end(), bitmapPage.begin(), bitmapPage.end());
    std::fill_n(file.begin() + static_cast<std::ptrdiff_t>(map.offset), map.length, std::byte{0});
    file[map.offset] = std::byte{0x01};
    jettest::putU32(file, map.offset + 1, bitmapNumber);

    EXPECT_EQ(jettest::dumpTable(*jettest::openBytes(file), table), before);
  }
}

}  // namespace
