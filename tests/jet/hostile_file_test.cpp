// Damaged and hostile files: each gives a jet::Error with a clear text, never
// a crash, a hang or a read outside a buffer (the sanitizer build runs these
// too).

#include <gtest/gtest.h>

#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "anatomy.h"
#include "bytes.h"
#include "crafted.h"
#include "file.h"
#include "file_bytes.h"
#include "fixtures.h"
#include "header_format.h"
#include "jet/error.h"
#include "long_value_format.h"
#include "open.h"
#include "oracle.h"
#include "process.h"
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

// What a damaged file's error says: the file, the detail, what to do.
std::string damaged(const std::string& detail, const std::string& file = "test.mdb") {
  return file + " is damaged: " + detail + ". Run tabrix-cli check on it to see all of the damage.";
}

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
      {0, jet::ErrorKind::NotADatabase, "test.mdb is not an Access database."},
      {10, jet::ErrorKind::NotADatabase, "test.mdb is not an Access database."},
      {100, jet::ErrorKind::Corrupt, "test.mdb is damaged: it ends inside its first page."},
      {2048 * 2 + 100, jet::ErrorKind::Corrupt, "test.mdb is damaged: page 2 lies outside the file (it has 2 pages)."},
      {whole.size() / 2, jet::ErrorKind::Corrupt, "lies outside the file (it has 733 pages)."},
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
  EXPECT_EQ(o.text, damaged("page 16777215 lies outside the file (it has 743 pages)"));
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
  EXPECT_EQ(o.text, damaged("page 11259375 lies outside the file (it has 1466 pages)"));
}

TEST(HostileFile, RowOutsideItsPage) {
  REQUIRE("V2000_test.mdb");
  auto file = fixture("V2000_test.mdb");
  auto row = Anatomy(file).row("Table1", 0);
  jettest::putU16(file, row.page * 4096 + jet::row::kJet4Page.rowTable + 2 * row.row, 0x1FFF);
  Outcome o = readAll(file);
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.kind, jet::ErrorKind::Corrupt);
  EXPECT_EQ(o.text, damaged("data page " + std::to_string(row.page) + " places row " + std::to_string(row.row) +
                            " outside its row area"));
}

TEST(HostileFile, ColumnCountsBeyondTheDefinition) {
  REQUIRE("V2000_test.mdb");
  auto file = fixture("V2000_test.mdb");
  const std::uint32_t tdef = Anatomy(file).definitionPage("Table1");
  jettest::putU16(file, tdef * 4096 + jet::tdef::kJet4.columnCount, 0xFFFF);
  Outcome o = attempt([&] { jettest::openBytes(file)->table("Table1"); });
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.text, damaged("the definition of table Table1 has impossible column or index counts"));
}

TEST(HostileFile, DefinitionChainLoops) {
  REQUIRE("V2000_test.mdb");
  auto file = fixture("V2000_test.mdb");
  const std::uint32_t tdef = Anatomy(file).definitionPage("Table1");
  jettest::putU32(file, tdef * 4096 + jet::tdef::kNextPageOffset, tdef);
  Outcome o = attempt([&] { jettest::openBytes(file)->table("Table1"); });
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.text, damaged("the definition of table Table1 loops at page " + std::to_string(tdef)));
}

// A declared long-value length beyond the data of each kind of value:
// inline after its reference, one row of another page, a chain of parts.
TEST(HostileFile, LongValueLengthsBeyondTheirData) {
  struct Case {
    const char* fixture;
    const char* table;
    const char* column;
    std::uint32_t kind;
    std::string detail;
  };
  const Case cases[] = {
      {"V2000_numeric.mdb", "test", "col1", jet::lval::kInline,
       "the long value in column col1 of table test is shorter than its declared length"},
      {"nwind.mdb", "Employees", "Notes", jet::lval::kSingleRow,
       "the long value in column Notes of table Employees is shorter than its declared length"},
      {"nwind.mdb", "Employees", "Photo", 0,
       "the long value in column Photo of table Employees declares a length larger than the file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column);
    REQUIRE(c.fixture);
    auto file = fixture(c.fixture);
    Anatomy anatomy(file);
    auto value = anatomy.value(c.table, c.column, 0);
    ASSERT_EQ(jet::getU32(&file[value.offset]) & jet::lval::kKindMask, c.kind);
    // One byte more than the data holds; for a chain, more than the file.
    std::uint32_t length = jet::lval::kLengthMask;
    if (c.kind == jet::lval::kInline) length = static_cast<std::uint32_t>(value.length - jet::lval::kReferenceSize + 1);
    if (c.kind == jet::lval::kSingleRow)
      length = static_cast<std::uint32_t>(
          anatomy.pointedRow(jet::getU32(&file[value.offset + jet::lval::kPointerOffset])).length + 1);
    jettest::putU32(file, value.offset, c.kind | length);
    Outcome o = readAll(file);
    ASSERT_TRUE(o.failed);
    EXPECT_EQ(o.text, damaged(c.detail));
  }
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
  EXPECT_EQ(o.text, damaged("the long value chain of column Photo of table Employees loops at page " +
                            std::to_string(jet::row::pointerPage(first))));
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
      throw jet::Error(jet::ErrorKind::Io, "Cannot read test.mdb: Input/output error.");
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
  EXPECT_EQ(o.text, "Cannot read test.mdb: Input/output error.");
}

TEST(HostileFile, MissingFileIsAnIoError) {
  fixtures::TempDir dir;
  Outcome o = attempt([&] { jet::Database::open((dir.path() / "nothing.mdb").string()); });
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.kind, jet::ErrorKind::Io);
  EXPECT_EQ(o.text, "Cannot open " + (dir.path() / "nothing.mdb").string() + ": No such file or directory.");
}

// A named pipe would block the open, and its reads, until someone wrote to
// it; a device is no database either. They are refused before anything is
// read. The test holds the pipe's other end open, so that an engine that
// went on to read would fail its test rather than hang.
TEST(HostileFile, WhatIsNoRegularFileIsRefusedAtOnce) {
  fixtures::TempDir dir;
  const std::string pipe = (dir.path() / "pipe.mdb").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const int writer = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  const std::vector<std::byte> junk(8192, std::byte{'x'});
  ASSERT_GT(::write(writer, junk.data(), junk.size()), 0);
  struct Case {
    std::string path;
    std::string text;
  };
  const Case cases[] = {
      {pipe, "Cannot open " + pipe + ": it is a named pipe, not a file."},
      {dir.path().string(), "Cannot open " + dir.path().string() + ": it is a folder, not a file."},
      {"/dev/null", "Cannot open /dev/null: it is a device, not a file."},
  };
  for (const Case& c : cases) {
    Outcome o = attempt([&] { jet::Database::open(c.path); });
    ASSERT_TRUE(o.failed);
    EXPECT_EQ(o.kind, jet::ErrorKind::Io);
    EXPECT_EQ(o.text, c.text);
  }
  ::close(writer);
}

// Damage must be reported as damage, naming the file, whatever part of the
// header it hits: not as a password, a code page or a newer format.
TEST(HostileFile, DamagedHeadersAreReportedAsDamage) {
  REQUIRE("V2000_test.mdb");
  REQUIRE("V1997_test.mdb");
  REQUIRE("V2000_with-password.mdb");
  auto masked = [](std::vector<std::byte> file, auto edit) {
    jettest::toggleHeaderMask(file);
    edit(file);
    jettest::toggleHeaderMask(file);
    return file;
  };
  auto scribble = [](std::vector<std::byte>& file, std::size_t from, std::size_t length) {
    std::mt19937 random(11);
    for (std::size_t i = from; i < from + length; ++i) file[i] = static_cast<std::byte>(random());
  };
  const std::size_t jet4Password = jet::header::kPasswordLengthJet4;
  struct Case {
    const char* what;
    std::vector<std::byte> file;
    std::string password;
    jet::ErrorKind kind;
    std::string text;
  };
  std::vector<Case> cases;
  {
    auto file = fixture("V2000_test.mdb");
    file[jet::header::kVersionOffset] = std::byte{0xFF};
    cases.push_back({"an unknown version", file, "", jet::ErrorKind::Corrupt,
                     damaged("its header gives the unknown format version 255")});
  }
  cases.push_back({"a Jet 3 code page no Jet file has",
                   masked(fixture("V1997_test.mdb"), [](auto& f) { jettest::putU16(f, jet::header::kCodePageOffset, 0xABCD); }),
                   "", jet::ErrorKind::Corrupt, damaged("its header gives the unknown code page 43981")});
  cases.push_back({"a Jet 4 header scribbled from the password on",
                   masked(fixture("V2000_test.mdb"),
                          [&](auto& f) {
                            scribble(f, jet::header::kPasswordOffset,
                                     jet::header::kMaskedOffset + jet::header::kMaskedLengthJet4 - jet::header::kPasswordOffset);
                          }),
                   "", jet::ErrorKind::Corrupt, damaged("the database password in its header is unreadable")});
  cases.push_back({"a stray byte after the end of a Jet 4 password",
                   masked(fixture("V2000_with-password.mdb"),
                          [&](auto& f) { f[jet::header::kPasswordOffset + jet4Password - 2] ^= std::byte{0x41}; }),
                   "wrong", jet::ErrorKind::Corrupt, damaged("the database password in its header is unreadable")});
  cases.push_back({"control characters for a Jet 3 password",
                   masked(fixture("V1997_test.mdb"),
                          [&](auto& f) {
                            for (int i = 0; i < jet::header::kPasswordLengthJet3; ++i)
                              f[jet::header::kPasswordOffset + static_cast<std::size_t>(i)] = static_cast<std::byte>(i + 1);
                          }),
                   "", jet::ErrorKind::Corrupt, damaged("the database password in its header is unreadable")});
  cases.push_back({"a scribbled creation date, which masks the password",
                   masked(fixture("V2000_with-password.mdb"),
                          [&](auto& f) { scribble(f, jet::header::kCreationDateOffsetJet4, 8); }),
                   "password", jet::ErrorKind::Corrupt, damaged("the database password in its header is unreadable")});
  cases.push_back({"an intact header and a wrong password", fixture("V2000_with-password.mdb"), "wrong",
                   jet::ErrorKind::Password, "The database password is not valid."});
  cases.push_back({"an intact header and no password", fixture("V2000_with-password.mdb"), "",
                   jet::ErrorKind::Password, "The database is protected by a password, and none was given."});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    jet::OpenOptions options;
    options.password = c.password;
    Outcome o = attempt([&] { jettest::openBytes(c.file, options); });
    ASSERT_TRUE(o.failed);
    EXPECT_EQ(o.kind, c.kind);
    EXPECT_EQ(o.text, c.text);
  }
}

// A column type byte that no Access file holds is damage; the types of the
// later formats are a limit of this engine.
TEST(HostileFile, ColumnTypes) {
  REQUIRE("V2000_test.mdb");
  const auto original = fixture("V2000_test.mdb");
  const std::size_t definition = Anatomy(original).definitionPage("Table1") * std::size_t{4096};
  const std::size_t realIndexes = jet::getU32(&original[definition + jet::tdef::kJet4.realIndexCount]);
  const std::size_t firstColumn = definition + jet::tdef::kJet4.realIndexCounts +
                                  realIndexes * static_cast<std::size_t>(jet::tdef::kJet4.realIndexCountSize);
  struct Case {
    std::uint8_t type;
    jet::ErrorKind kind;
    std::string text;
  };
  const Case cases[] = {
      {0x0E, jet::ErrorKind::Corrupt, damaged("the definition of table Table1 gives a column the unknown type 14")},
      {0x13, jet::ErrorKind::Unsupported, "Table Table1 has a column of type 19, which this engine can't read."},
  };
  for (const Case& c : cases) {
    auto file = original;
    file[firstColumn + jet::tdef::kJet4.columnType] = static_cast<std::byte>(c.type);
    Outcome o = attempt([&] { jettest::openBytes(file)->table("Table1"); });
    ASSERT_TRUE(o.failed);
    EXPECT_EQ(o.kind, c.kind);
    EXPECT_EQ(o.text, c.text);
  }
}

// The error a user sees for a damaged file on disk names it by its path.
TEST(HostileFile, DamageOnDiskNamesThePath) {
  REQUIRE("V2000_test.mdb");
  fixtures::TempDir dir;
  const auto path = dir.path() / "cut.mdb";
  auto bytes = fixture("V2000_test.mdb");
  bytes.resize(4096 * 3);
  jettest::writeBytes(path, bytes);
  Outcome o = attempt([&] { jettest::dumpTable(*jet::Database::open(path.string()), "Table1"); });
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.text, path.string() + " is damaged: page 6 lies outside the file (it has 3 pages). "
                                    "Run tabrix-cli check on it to see all of the damage.");
}

// Reads pages from memory and counts them.
class CountingFile : public jet::File {
 public:
  explicit CountingFile(std::vector<std::byte> bytes) : inner_(jet::memoryFile(std::move(bytes))) {}
  std::uint64_t size() const override { return inner_->size(); }
  void read(std::uint64_t offset, std::span<std::byte> out) const override {
    ++reads_;
    inner_->read(offset, out);
  }
  std::size_t reads() const { return reads_; }

 private:
  std::unique_ptr<jet::File> inner_;
  mutable std::size_t reads_ = 0;
};

// Rows that overflow from page to page: a short chain is read, a long one is
// damage found at its first row, so reading costs at most a few pages per row
// instead of the whole chain for every row.
TEST(HostileFile, OverflowChainsStayShort) {
  REQUIRE("V2000_test.mdb");
  const auto original = fixture("V2000_test.mdb");
  const std::string firstRow = jettest::dumpTable(*jettest::openBytes(original), "Table1").at(0);
  constexpr int kRows = 40;
  const int longest = static_cast<int>(jet::row::kMaxOverflowHops) + 1;  // pages, the first that many pointers away

  auto file = std::make_unique<CountingFile>(jettest::overflowChain(original, "Table1", longest, kRows));
  const CountingFile& counter = *file;
  auto db = jet::openDatabase(std::move(file), "test.mdb");
  const std::size_t before = counter.reads();
  const auto rows = jettest::dumpTable(*db, "Table1");
  EXPECT_EQ(rows, std::vector<std::string>(static_cast<std::size_t>(longest * kRows), firstRow));
  // The pages once, at most that many pointers a row, the definition and
  // the page map.
  EXPECT_LE(counter.reads() - before, static_cast<std::size_t>(longest) + rows.size() * jet::row::kMaxOverflowHops + 2);

  for (int pages : {longest + 1, 64}) {
    SCOPED_TRACE(pages);
    auto chain = std::make_unique<CountingFile>(jettest::overflowChain(original, "Table1", pages, kRows));
    const CountingFile& reads = *chain;
    auto longer = jet::openDatabase(std::move(chain), "test.mdb");
    const std::size_t start = reads.reads();
    Outcome o = attempt([&] { jettest::dumpTable(*longer, "Table1"); });
    ASSERT_TRUE(o.failed);
    EXPECT_EQ(o.text, damaged("an overflowed row of table Table1 on data page 743 leads on through more than 4 moved rows"));
    EXPECT_LE(reads.reads() - start, jet::row::kMaxOverflowHops + 3);
  }
}

// A chain of long-value parts that declares a gigabyte in a (sparse) file of
// 2 GB: memory follows the parts actually read.
TEST(HostileFile, LyingLongValueLengthCostsNoMemory) {
  REQUIRE("nwind.mdb");
  fixtures::TempDir dir;
  const auto path = dir.path() / "lying.mdb";
  jettest::writeBytes(path, jettest::lyingLongValue(fixture("nwind.mdb"), "Employees", "Photo", jet::lval::kLengthMask));
  std::filesystem::resize_file(path, std::uint64_t{2} << 30);
  auto r = jettest::runProcess({jettest::cliPath(), "export", path.string(), "Employees"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "tabrix-cli: " + damaged("the long value in column Photo of table Employees ends before its declared length",
                                            path.string()) + "\n");
  EXPECT_LT(r.peakMemoryKb, 256 * 1024) << "a gigabyte was set aside for the value";
}

// A definition with thousands of indexes reads whole, each index over the
// columns it names; the fixture's table has lost a column, so column numbers
// and positions differ.
TEST(HostileFile, ManyIndexesReadWhole) {
  REQUIRE("jackcess/delColTestV2000.mdb");
  constexpr int kCount = 3000;
  const auto original = fixture("jackcess/delColTestV2000.mdb");
  const jet::TableDef before = jettest::openBytes(original)->table("Table1");
  const jet::TableDef def = jettest::openBytes(jettest::manyIndexes(original, "Table1", kCount))->table("Table1");
  ASSERT_EQ(def.indexes.size(), before.indexes.size() + kCount);
  const std::size_t columns = def.columns.size();
  for (int i = 0; i < kCount; i += 997) {
    SCOPED_TRACE(i);
    const jet::Index& index = def.indexes[before.indexes.size() + static_cast<std::size_t>(i)];
    EXPECT_EQ(index.name, "x" + std::to_string(i));
    ASSERT_EQ(index.columns.size(), columns);
    for (std::size_t k = 0; k < columns; ++k)
      EXPECT_EQ(index.columns[k].column, static_cast<int>((static_cast<std::size_t>(i) + k) % columns));
  }
}

}  // namespace
