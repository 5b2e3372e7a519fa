// Damaged and hostile files: each gives a jet::Error with a clear text, never
// a crash, a hang or a read outside a buffer (the sanitizer build runs these
// too).

#include <gtest/gtest.h>

#include <random>

#include "anatomy.h"
#include "bytes.h"
#include "file.h"
#include "file_bytes.h"
#include "fixtures.h"
#include "header_format.h"
#include "jet/error.h"
#include "long_value_format.h"
#include "open.h"
#include "row_format.h"
#include "table_definition_format.h"

namespace {

using jettest::Anatomy;

struct Outcome {
  bool failed = false;
  jet::ErrorKind kind = jet::ErrorKind::Io;
  std::string text;
};

// Reads everything; a failure must be a jet::Error.
Outcome readAll(const std::vector<std::byte>& file) {
  Outcome o;
  try {
    jettest::readEverything(file);
  } catch (const jet::Error& e) {
    o.failed = true;
    o.kind = e.kind();
    o.text = e.what();
  }
  return o;
}

template <typename F>
Outcome attempt(F&& f) {
  Outcome o;
  try {
    f();
  } catch (const jet::Error& e) {
    o.failed = true;
    o.kind = e.kind();
    o.text = e.what();
  }
  return o;
}

std::vector<std::byte> fixture(const std::string& name) { return jettest::readBytes(fixtures::mdb(name)); }

#define REQUIRE(name) REQUIRE_FIXTURE(fixtures::mdb(name))

TEST(HostileFile, TruncatedFiles) {
  REQUIRE("nwind.mdb");
  const auto whole = fixture("nwind.mdb");
  struct Case {
    std::size_t size;
    jet::ErrorKind kind;
    const char* text;
  };
  const Case cases[] = {
      {0, jet::ErrorKind::NotADatabase, "test.mdb is not an Access database"},
      {10, jet::ErrorKind::NotADatabase, "test.mdb is not an Access database"},
      {100, jet::ErrorKind::Corrupt, "test.mdb is truncated: it ends inside its first page"},
      {2048 * 2 + 100, jet::ErrorKind::Corrupt, "page 2 lies outside the file (it has 2 pages)"},
      {whole.size() / 2, jet::ErrorKind::Corrupt, "lies outside the file (it has 733 pages)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    std::vector<std::byte> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(c.size));
    Outcome o = readAll(cut);
    ASSERT_TRUE(o.failed);
    EXPECT_EQ(o.kind, c.kind);
    EXPECT_NE(o.text.find(c.text), std::string::npos) << o.text;
  }
}

TEST(HostileFile, RandomBytes) {
  for (unsigned seed : {1u, 2u, 3u}) {
    std::mt19937 random(seed);
    std::vector<std::byte> file(3 * 4096);
    for (std::byte& b : file) b = static_cast<std::byte>(random());
    Outcome o = readAll(file);
    ASSERT_TRUE(o.failed);
    EXPECT_EQ(o.kind, jet::ErrorKind::NotADatabase);
  }
}

TEST(HostileFile, RandomPagesBehindAValidHeader) {
  REQUIRE("V2000_test.mdb");
  auto file = fixture("V2000_test.mdb");
  std::mt19937 random(7);
  for (std::size_t i = 4096; i < file.size(); ++i) file[i] = static_cast<std::byte>(random());
  Outcome o = readAll(file);
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.kind, jet::ErrorKind::Corrupt);
}

// A few bytes changed at random, many times over: whatever the damage, the
// reader either reads the file or says it is damaged.
TEST(HostileFile, ScatteredDamage) {
  for (const char* name : {"V1997_test.mdb", "V2000_test.mdb", "jackcess/overflowTestV2000.mdb"}) {
    REQUIRE(name);
    const auto original = fixture(name);
    const std::size_t pageSize = std::to_integer<int>(original[jet::header::kVersionOffset]) == 0 ? 2048 : 4096;
    for (unsigned seed = 0; seed < 60; ++seed) {
      SCOPED_TRACE(std::string(name) + " seed " + std::to_string(seed));
      std::mt19937 random(seed);
      auto file = original;
      std::uniform_int_distribution<std::size_t> where(pageSize, file.size() - 1);
      for (int i = 0; i < 16; ++i) file[where(random)] = static_cast<std::byte>(random());
      Outcome o = readAll(file);
      if (o.failed) {
        EXPECT_FALSE(o.text.empty());
      }
    }
  }
}

TEST(HostileFile, PageMapPointingOutsideTheFile) {
  REQUIRE("V2000_test.mdb");
  auto file = fixture("V2000_test.mdb");
  const std::uint32_t tdef = Anatomy(file).definitionPage("Table1");
  jettest::putU32(file, tdef * 4096 + jet::tdef::kJet4.usageMap, 0xFFFFFF00u);
  Outcome o = attempt([&] { jettest::openBytes(file)->rows("Table1"); });
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.kind, jet::ErrorKind::Corrupt);
  EXPECT_EQ(o.text, "page 16777215 lies outside the file (it has 743 pages)");
}

TEST(HostileFile, CatalogueNamingADefinitionOutsideTheFile) {
  REQUIRE("nwind.mdb");
  auto file = fixture("nwind.mdb");
  Anatomy anatomy(file);
  // Find Orders' row in MSysObjects and point its id past the end.
  for (int n = 0;; ++n) {
    auto name = anatomy.value("MSysObjects", "Name", n);
    std::string text(reinterpret_cast<const char*>(&file[name.offset]), name.length);
    auto type = anatomy.value("MSysObjects", "Type", n);
    if (text != "Orders" || jet::getU16(&file[type.offset]) != 1) continue;  // the table, not the form
    auto id = anatomy.value("MSysObjects", "Id", n);
    jettest::putU32(file, id.offset, 0x00ABCDEF);
    break;
  }
  auto db = jettest::openBytes(file);
  Outcome o = attempt([&] { db->table("Orders"); });
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.text, "page 11259375 lies outside the file (it has 1466 pages)");
}

TEST(HostileFile, RowOutsideItsPage) {
  REQUIRE("V2000_test.mdb");
  auto file = fixture("V2000_test.mdb");
  auto row = Anatomy(file).row("Table1", 0);
  jettest::putU16(file, row.page * 4096 + jet::row::kJet4Page.rowTable + 2 * row.row, 0x1FFF);
  Outcome o = readAll(file);
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.kind, jet::ErrorKind::Corrupt);
  EXPECT_EQ(o.text, "data page " + std::to_string(row.page) + " places row " + std::to_string(row.row) +
                        " outside its row area");
}

TEST(HostileFile, ColumnCountsBeyondTheDefinition) {
  REQUIRE("V2000_test.mdb");
  auto file = fixture("V2000_test.mdb");
  const std::uint32_t tdef = Anatomy(file).definitionPage("Table1");
  jettest::putU16(file, tdef * 4096 + jet::tdef::kJet4.columnCount, 0xFFFF);
  Outcome o = attempt([&] { jettest::openBytes(file)->table("Table1"); });
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.text, "the definition of table Table1 has impossible column or index counts");
}

TEST(HostileFile, DefinitionChainLoops) {
  REQUIRE("V2000_test.mdb");
  auto file = fixture("V2000_test.mdb");
  const std::uint32_t tdef = Anatomy(file).definitionPage("Table1");
  jettest::putU32(file, tdef * 4096 + jet::tdef::kNextPageOffset, tdef);
  Outcome o = attempt([&] { jettest::openBytes(file)->table("Table1"); });
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.text, "the definition of table Table1 loops at page " + std::to_string(tdef));
}

TEST(HostileFile, LongValueLongerThanItsRow) {
  REQUIRE("V2000_numeric.mdb");
  auto file = fixture("V2000_numeric.mdb");
  auto memo = Anatomy(file).value("test", "col1", 0);
  ASSERT_EQ(jet::getU32(&file[memo.offset]) & jet::lval::kKindMask, jet::lval::kInline);
  jettest::putU32(file, memo.offset, jet::lval::kInline | 5000);
  Outcome o = readAll(file);
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.text, "the long value in column col1 of table test is shorter than its declared length");
}

TEST(HostileFile, LongValueLargerThanTheFile) {
  REQUIRE("nwind.mdb");
  auto file = fixture("nwind.mdb");
  auto photo = Anatomy(file).value("Employees", "Photo", 0);
  ASSERT_EQ(jet::getU32(&file[photo.offset]) & jet::lval::kKindMask, 0u) << "a chain of parts";
  jettest::putU32(file, photo.offset, jet::lval::kLengthMask);
  Outcome o = readAll(file);
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.text, "the long value in column Photo of table Employees declares a length larger than the file");
}

TEST(HostileFile, LongValueChainLoops) {
  REQUIRE("nwind.mdb");
  auto file = fixture("nwind.mdb");
  Anatomy anatomy(file);
  auto photo = anatomy.value("Employees", "Photo", 0);
  const std::uint32_t first = jet::getU32(&file[photo.offset + jet::lval::kPointerOffset]);
  auto part = anatomy.pointedRow(first);
  jettest::putU32(file, part.offset, first);  // the first part's link leads back to itself
  Outcome o = readAll(file);
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.kind, jet::ErrorKind::Corrupt);
  EXPECT_EQ(o.text, "the long value chain of column Photo of table Employees loops at page " +
                        std::to_string(jet::row::pointerPage(first)));
}

TEST(HostileFile, OverflowedRowsLoop) {
  REQUIRE("jackcess/overflowTestV2000.mdb");
  auto file = fixture("jackcess/overflowTestV2000.mdb");
  Anatomy anatomy(file);
  // Find an overflowed row, then make the row it points to point back.
  for (int n = 0;; ++n) {
    auto home = anatomy.home("Table1", n);
    const std::size_t entry = home.page * 4096 + jet::row::kJet4Page.rowTable + 2 * home.row;
    if ((jet::getU16(&file[entry]) & jet::row::kOverflow) == 0) continue;
    const std::uint32_t target = jet::getU32(&file[home.offset]);
    auto moved = anatomy.pointedRow(target);
    const std::size_t movedEntry = moved.page * 4096 + jet::row::kJet4Page.rowTable + 2 * moved.row;
    jettest::putU16(file, movedEntry, static_cast<std::uint16_t>(jet::getU16(&file[movedEntry]) | jet::row::kOverflow));
    jettest::putU32(file, moved.offset, home.page << 8 | static_cast<std::uint32_t>(home.row));
    break;
  }
  Outcome o = readAll(file);
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.kind, jet::ErrorKind::Corrupt);
  EXPECT_NE(o.text.find("the overflowed rows of table Table1 loop at page"), std::string::npos) << o.text;
}

TEST(HostileFile, AccdbIsNotSupported) {
  REQUIRE("V2000_test.mdb");
  auto byVersion = fixture("V2000_test.mdb");
  byVersion[jet::header::kVersionOffset] = std::byte{0x02};
  auto byName = fixture("V2000_test.mdb");
  const std::string ace = "Standard ACE DB";
  std::memcpy(&byName[jet::header::kMagicOffset], ace.data(), ace.size());
  for (const auto& file : {byVersion, byName}) {
    Outcome o = readAll(file);
    ASSERT_TRUE(o.failed);
    EXPECT_EQ(o.kind, jet::ErrorKind::NotADatabase);
    EXPECT_NE(o.text.find("(.accdb), which isn't supported"), std::string::npos) << o.text;
  }
}

// A file whose reads fail at one page, as a failing disk's would.
class FailingFile : public jet::File {
 public:
  FailingFile(std::vector<std::byte> bytes, std::uint64_t badOffset)
      : inner_(jet::memoryFile(std::move(bytes))), badOffset_(badOffset) {}
  std::uint64_t size() const override { return inner_->size(); }
  void read(std::uint64_t offset, std::span<std::byte> out) const override {
    if (offset <= badOffset_ && badOffset_ < offset + out.size())
      throw jet::Error(jet::ErrorKind::Io, "cannot read test.mdb: Input/output error");
    inner_->read(offset, out);
  }

 private:
  std::unique_ptr<jet::File> inner_;
  std::uint64_t badOffset_;
};

TEST(HostileFile, ReadFailureIsAnIoError) {
  REQUIRE("V2000_test.mdb");
  auto bytes = fixture("V2000_test.mdb");
  auto row = Anatomy(bytes).row("Table1", 0);
  auto db = jet::openDatabase(std::make_unique<FailingFile>(bytes, row.offset), "test.mdb");
  Outcome o = attempt([&] { jettest::dumpTable(*db, "Table1"); });
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.kind, jet::ErrorKind::Io);
  EXPECT_EQ(o.text, "cannot read test.mdb: Input/output error");
}

TEST(HostileFile, MissingFileIsAnIoError) {
  fixtures::TempDir dir;
  Outcome o = attempt([&] { jet::Database::open((dir.path() / "nothing.mdb").string()); });
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.kind, jet::ErrorKind::Io);
  EXPECT_EQ(o.text, "cannot open " + (dir.path() / "nothing.mdb").string() + ": No such file or directory");
  o = attempt([&] { jet::Database::open(dir.path().string()); });
  EXPECT_EQ(o.text, "cannot open " + dir.path().string() + ": it is a folder");
}

}  // namespace
