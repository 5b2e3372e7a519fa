// The pager under a change: pinned pages stay valid however many pages pass
// through the cache, changed pages show to every reader of the change, and
// an encoded database's pages go back to the file encoded.

#include <gtest/gtest.h>

#include "file_bytes.h"
#include "fixtures.h"
#include "header.h"
#include "header_format.h"
#include "memory_file_system.h"
#include "pager.h"
#include "sample_change.h"
#include "transaction.h"

namespace {

using jet::MemoryFileSystem;
using jettest::kMemoryPath;

std::vector<std::byte> fixture(const std::string& name) { return jettest::readBytes(fixtures::mdb(name)); }

std::vector<std::byte> bytesOf(std::span<const std::byte> s) { return {s.begin(), s.end()}; }

TEST(Pager, PinnedPagesOutlastTheCache) {
  REQUIRE_FIXTURE(fixtures::mdb("V2000_test.mdb"));
  const auto file = fixture("V2000_test.mdb");
  auto memory = jet::memoryFile(file);
  const jet::Header header = jet::readHeader(*memory, "test.mdb");
  jet::Pager pager(std::move(memory), header, "test.mdb");
  const jet::PageRef pinned = pager.pin(5);
  const auto expected = std::vector<std::byte>(file.begin() + 5 * 4096, file.begin() + 6 * 4096);
  for (std::uint32_t page = 6; page < 300; ++page) {
    pager.fetch(page);
    ASSERT_EQ(bytesOf(pager.pin(page).bytes()), std::vector<std::byte>(file.begin() + page * 4096, file.begin() + (page + 1) * 4096));
  }
  EXPECT_EQ(pinned.number(), 5u);
  EXPECT_EQ(bytesOf(pinned.bytes()), expected);
}

// A page changed in a change is what every reader of the change sees, held
// handles included, however many other pages are read meanwhile.
TEST(Pager, ChangedPagesShowToTheChange) {
  REQUIRE_FIXTURE(fixtures::mdb("V2000_test.mdb"));
  MemoryFileSystem files;
  jettest::addFixture(files, fixture("V2000_test.mdb"));
  jettest::changePages(files, [](jet::Transaction& t) {
    const jet::PageRef before = t.read(40);
    t.write(40).bytes()[17] = std::byte{0xEE};
    for (std::uint32_t page = 100; page < 200; ++page) t.read(page);
    EXPECT_EQ(before.bytes()[17], std::byte{0xEE});
    EXPECT_EQ(t.read(40).bytes()[17], std::byte{0xEE});
  });
  EXPECT_EQ(files.bytes(kMemoryPath)[40 * 4096 + 17], std::byte{0xEE});
}

// The same change on a database and on its encoded copy: the encoded file,
// decoded, is the plain one, page for page; the header keeps its mask.
TEST(Pager, EncodedPagesAreWrittenEncoded) {
  for (const char* name : {"V1997_test.mdb", "V2000_test.mdb"}) {
    SCOPED_TRACE(name);
    REQUIRE_FIXTURE(fixtures::mdb(name));
    constexpr std::uint32_t kKey = 0x5A17C0DE;
    const auto plain = fixture(name);
    MemoryFileSystem plainFiles, encodedFiles;
    jettest::addFixture(plainFiles, plain);
    jettest::addFixture(encodedFiles, jettest::encodeDatabase(plain, kKey));
    auto work = [](jet::Transaction& t) {
      jettest::rewritePages(t, 10, 5);
      // A field of the masked header: the sort order.
      t.write(0).bytes()[jet::header::kSortOrderOffsetJet4] = std::byte{0x11};
    };
    jettest::changePages(plainFiles, work);
    jettest::changePages(encodedFiles, work);
    auto expected = jettest::encodeDatabase(plainFiles.bytes(kMemoryPath), kKey);
    EXPECT_EQ(encodedFiles.bytes(kMemoryPath), expected);
    auto header = encodedFiles.bytes(kMemoryPath);
    jettest::toggleHeaderMask(header);
    EXPECT_EQ(header[jet::header::kSortOrderOffsetJet4], std::byte{0x11});
  }
}

}  // namespace
