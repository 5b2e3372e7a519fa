// Changes to a database file, on files held in memory: a change reaches the
// file whole or not at all, whatever step of it fails or loses power; a
// change that can't be made safely is refused with the file untouched; two
// users share the file through its locks and its lock file.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "change.h"
#include "file_bytes.h"
#include "fixtures.h"
#include "header.h"
#include "jet/error.h"
#include "journal.h"
#include "lock.h"
#include "lock_format.h"
#include "memory_file_system.h"
#include "open.h"
#include "pager.h"
#include "sample_change.h"
#include "transaction.h"

namespace {

using jet::MemoryFileSystem;
using jettest::kMemoryPath;

const std::string kJournal = kMemoryPath + "-journal";
const std::string kLockFile = "/db/test.ldb";

std::vector<std::byte> fixture(const std::string& name) { return jettest::readBytes(fixtures::mdb(name)); }

std::string errorOf(const std::function<void()>& f, jet::ErrorKind* kind = nullptr) {
  try {
    f();
  } catch (const jet::Error& e) {
    if (kind) *kind = e.kind();
    return e.what();
  }
  return "no error";
}

struct Shape {
  const char* fixture;
  int rewritten;
  int added;               // pages added: some reuse free pages of the file, the rest grow it
  std::size_t spillAfter;  // changed pages held before they are stored early
};

void sampleChange(jet::Transaction& t, const Shape& shape) { jettest::rewritePages(t, shape.rewritten, shape.added); }

class CrashTest : public testing::TestWithParam<Shape> {};

// The content after the change, and the steps it takes.
std::pair<std::vector<std::byte>, std::uint64_t> dryRun(const std::vector<std::byte>& original, const Shape& shape) {
  MemoryFileSystem files;
  jettest::addFixture(files, original);
  const std::uint64_t before = files.steps();
  jettest::changePages(files, [&](jet::Transaction& t) { sampleChange(t, shape); }, shape.spillAfter);
  return {files.bytes(kMemoryPath), files.steps() - before};
}

// Power fails at every step of a change that rewrites 50 pages and grows
// the file: afterwards the file holds exactly the old or exactly the new
// content (the new when the change reported success: only the journal's
// removal failed), and opening it leaves no journal behind.
TEST_P(CrashTest, PowerLossAtEveryStepLeavesTheOldOrTheNewFile) {
  REQUIRE_FIXTURE(fixtures::mdb(GetParam().fixture));
  const std::vector<std::byte> original = fixture(GetParam().fixture);
  const auto [changed, steps] = dryRun(original, GetParam());
  ASSERT_NE(changed, original);
  ASSERT_GT(changed.size(), original.size());
  jettest::CrashOutcomes outcomes(original, changed);
  for (const auto loss : {MemoryFileSystem::Loss::Drop, MemoryFileSystem::Loss::Garble}) {
    for (std::uint64_t step = 1; step <= steps; ++step) {
      SCOPED_TRACE("step " + std::to_string(step) + " of " + std::to_string(steps));
      MemoryFileSystem files;
      jettest::addFixture(files, original);
      files.cutPower(step);
      bool committed = true;
      try {
        jettest::changePages(files, [](jet::Transaction& t) { sampleChange(t, GetParam()); }, GetParam().spillAfter);
      } catch (const jet::Error&) {
        committed = false;
      }
      files.restorePower(loss, static_cast<unsigned>(step));
      jettest::openForChanges(files);
      EXPECT_FALSE(files.exists(kJournal));
      outcomes.add(files.bytes(kMemoryPath));
      if (committed) EXPECT_EQ(files.bytes(kMemoryPath), changed) << "a change reported made was lost";
      EXPECT_EQ(committed, step == steps) << "only the last step, the journal's removal, fails without failing the change";
    }
  }
  EXPECT_GT(outcomes.olds(), 0);
  EXPECT_GT(outcomes.news(), 0) << "a change whose journal was wiped is final";
}

INSTANTIATE_TEST_SUITE_P(Changes, CrashTest,
                         testing::Values(Shape{"jackcess/testIndexCodesV1997.mdb", 50, 10, jet::Transaction::kSpillAfter},
                                         Shape{"jackcess/testUnicodeCompV2003.mdb", 35, 10, jet::Transaction::kSpillAfter},
                                         Shape{"jackcess/testUnicodeCompV2003.mdb", 35, 10, 8}),
                         [](const testing::TestParamInfo<Shape>& info) {
                           const std::string name = std::filesystem::path(info.param.fixture).stem().string();
                           return name + (info.param.spillAfter < 100 ? "_spilling" : "");
                         });

// A write or a sync that fails (a full disk, a failing disk): the change is
// refused with the error, the file is as it was at once, and the database
// goes on working.
TEST(Transaction, FailedWriteOrSyncLeavesTheFileAsItWas) {
  REQUIRE_FIXTURE(fixtures::mdb("jackcess/testUnicodeCompV2003.mdb"));
  const std::vector<std::byte> original = fixture("jackcess/testUnicodeCompV2003.mdb");
  for (bool sync : {false, true}) {
    for (std::uint64_t n = 1;; ++n) {
      SCOPED_TRACE((sync ? "sync " : "write ") + std::to_string(n));
      MemoryFileSystem files;
      jettest::addFixture(files, original);
      auto db = jettest::openForChanges(files);
      sync ? files.failSync(n) : files.failWrite(n);
      jet::ErrorKind kind{};
      const std::string error = errorOf([&] { jettest::rewritePages(*db, 35, 10); }, &kind);
      if (error == "no error") break;  // past the change's last write or sync
      EXPECT_EQ(kind, jet::ErrorKind::Io) << error;
      EXPECT_EQ(files.bytes(kMemoryPath), original);
      EXPECT_FALSE(files.exists(kJournal));
      jettest::rewritePages(*db, 35, 10);
      EXPECT_NE(files.bytes(kMemoryPath), original);
    }
  }
}

// What the change reads is what it wrote; an abandoned change leaves the
// file and what the database reads as they were.
TEST(Transaction, ChangesAreSeenByTheChangeAndDroppedWhenAbandoned) {
  REQUIRE_FIXTURE(fixtures::mdb("V2000_test.mdb"));
  const std::vector<std::byte> original = fixture("V2000_test.mdb");
  for (std::size_t spillAfter : {jet::Transaction::kSpillAfter, std::size_t{4}}) {
    SCOPED_TRACE(spillAfter);
    MemoryFileSystem files;
    jettest::addFixture(files, original);
    const auto table = jettest::dumpTable(*jettest::openForChanges(files), "Table1");
    auto work = [](jet::Transaction& t) {
      jettest::rewritePages(t, 30, 5);
      jet::MutablePage page = t.write(3);
      page.bytes()[0] = std::byte{0x77};
      EXPECT_EQ(t.read(3).bytes()[0], std::byte{0x77});
      throw std::runtime_error("the change gives up");
    };
    EXPECT_THROW(jettest::changePages(files, work, spillAfter), std::runtime_error);
    EXPECT_EQ(files.bytes(kMemoryPath), original);
    EXPECT_FALSE(files.exists(kJournal));
    EXPECT_EQ(jettest::dumpTable(*jettest::openForChanges(files), "Table1"), table);
  }
}

// A change that can't be made safely is refused, with the reason, and the
// file stays byte for byte as it was; reading goes on.
TEST(Transaction, Refusals) {
  REQUIRE_FIXTURE(fixtures::mdb("V2000_test.mdb"));
  const std::vector<std::byte> original = fixture("V2000_test.mdb");
  struct Case {
    const char* what;
    std::function<std::unique_ptr<jet::Database>(MemoryFileSystem&, std::vector<std::unique_ptr<jet::Database>>&)> open;
    jet::ErrorKind kind;
    std::string text;
    bool cutShort = false;
  };
  const Case cases[] = {
      {"opened for reading",
       [](MemoryFileSystem& files, auto&) {
         jet::OpenOptions options;
         options.lockWait = std::chrono::milliseconds(0);
         return jet::openDatabase(files, kMemoryPath, options);
       },
       jet::ErrorKind::ReadOnly, kMemoryPath + " was opened for reading only."},
      {"a read-only file",
       [](MemoryFileSystem& files, auto&) {
         files.setReadOnly(kMemoryPath, true);
         return jettest::openForChanges(files);
       },
       jet::ErrorKind::ReadOnly,
       kMemoryPath + " can't be changed: it can only be read (Cannot open " + kMemoryPath + ": Permission denied)."},
      {"a folder where nothing can be created",
       [](MemoryFileSystem& files, auto&) {
         files.setFolderReadOnly("/db", true);
         return jettest::openForChanges(files);
       },
       jet::ErrorKind::ReadOnly,
       kMemoryPath + " can't be changed: its lock file " + kLockFile + " can't be used (Cannot create " + kLockFile +
           ": Permission denied)."},
      {"a folder that can't hold the journal, with a lock file left in it",
       [](MemoryFileSystem& files, auto&) {
         files.add(kLockFile, {});
         files.setFolderReadOnly("/db", true);
         return jettest::openForChanges(files);
       },
       jet::ErrorKind::ReadOnly,
       kMemoryPath + " can't be changed: its folder can't hold the journal of a change (Cannot create " + kJournal +
           ": Permission denied)."},
      {"another program holding it exclusively",
       [](MemoryFileSystem& files, auto& others) {
         jet::OpenOptions exclusive;
         exclusive.exclusive = true;
         others.push_back(jettest::openForChanges(files, exclusive));
         return jettest::openForChanges(files);
       },
       jet::ErrorKind::Locked,
       kMemoryPath + " is open exclusively in another program: it can be read, but not changed until that program "
                     "closes it."},
      {"a file that ends inside a page", [](MemoryFileSystem& files, auto&) { return jettest::openForChanges(files); },
       jet::ErrorKind::Corrupt,
       kMemoryPath + " is damaged: it ends inside page 742 (its size is 3043228 bytes). Run tabrix-cli check on it to "
                     "see all of the damage.",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFileSystem files;
    jettest::addFixture(files, c.cutShort ? std::vector<std::byte>(original.begin(), original.end() - 100) : original);
    std::vector<std::unique_ptr<jet::Database>> others;
    auto db = c.open(files, others);
    const auto table = jettest::dumpTable(*db, "Table1");
    jet::ErrorKind kind{};
    EXPECT_EQ(errorOf([&] { jettest::rewritePages(*db, 50, 20); }, &kind), c.text);
    EXPECT_EQ(kind, c.kind);
    EXPECT_EQ(files.bytes(kMemoryPath).size(), original.size() - (c.cutShort ? 100 : 0));
    EXPECT_TRUE(std::equal(original.begin(), original.begin() + static_cast<std::ptrdiff_t>(files.bytes(kMemoryPath).size()),
                           files.bytes(kMemoryPath).begin()));
    EXPECT_FALSE(files.exists(kJournal));
    EXPECT_EQ(jettest::dumpTable(*db, "Table1"), table);
  }
}

// A copy of V2000_test.mdb in files held in memory.
class InMemory : public testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_FIXTURE(fixtures::mdb("V2000_test.mdb"));
    original = fixture("V2000_test.mdb");
    jettest::addFixture(files, original);
  }

  std::vector<std::byte> original;
  MemoryFileSystem files;
};

// Another program's change, or its reading, doesn't end in time: the change
// is refused and the file left as it was.
TEST_F(InMemory, BusyDatabase) {
  auto one = jettest::openForChanges(files);
  auto two = jettest::openForChanges(files);
  const std::string busy = kMemoryPath + " is busy: another program is ";
  const std::string after = " it. Try again when that program has finished.";

  one->write([&](jet::Change&) { EXPECT_EQ(errorOf([&] { jettest::rewritePages(*two, 5, 0); }), busy + "changing" + after); });
  {
    auto rows = two->rows("Table1");
    EXPECT_EQ(errorOf([&] { jettest::rewritePages(*one, 5, 0); }), busy + "reading" + after);
    EXPECT_EQ(files.bytes(kMemoryPath), original);
    while (rows->next()) {
    }
    jettest::rewritePages(*one, 5, 0);  // a cursor past its last row holds nothing
  }
  EXPECT_NE(files.bytes(kMemoryPath), original);

  jet::OpenOptions exclusive;
  exclusive.exclusive = true;
  EXPECT_EQ(errorOf([&] { jettest::openForChanges(files, exclusive); }),
            kMemoryPath + " is open in another program, so it can't be opened exclusively.");
}

// Two users change the file in turns, each seeing the other's pages.
TEST_F(InMemory, TwoDatabasesChangeTheFileInTurns) {
  auto one = jettest::openForChanges(files);
  auto two = jettest::openForChanges(files);
  auto add = [](jet::Database& db) {
    std::uint32_t added = 0;
    db.write([&](jet::Change& c) { added = jet::transactionOf(c).allocate().number(); });
    return added;
  };
  auto stamp = [](jet::Database& db, std::uint32_t page, std::byte mark) {
    db.write([&](jet::Change& c) { jet::transactionOf(c).write(page).bytes()[300] = mark; });
  };
  auto seen = [](jet::Database& db, std::uint32_t page) {
    std::byte mark{};
    db.write([&](jet::Change& c) { mark = jet::transactionOf(c).read(page).bytes()[300]; });
    return mark;
  };
  const std::uint32_t shared = add(*one);
  for (int turn = 0; turn < 6; ++turn) {
    jet::Database& writer = turn % 2 ? *two : *one;
    jet::Database& reader = turn % 2 ? *one : *two;
    const std::uint32_t added = add(writer);
    stamp(writer, added, std::byte{0x40});
    stamp(writer, shared, static_cast<std::byte>(turn));
    EXPECT_EQ(seen(reader, shared), static_cast<std::byte>(turn));
    EXPECT_EQ(seen(reader, added), std::byte{0x40}) << "a page the other added";
  }
  EXPECT_EQ(jettest::dumpTable(*one, "Table1"), jettest::dumpTable(*two, "Table1"));
}

// Each user has an entry in the lock file, which the last to leave removes;
// one left behind by a crash is reused.
TEST_F(InMemory, LockFile) {
  std::vector<std::byte> stale(2 * jet::lock::kEntrySize, std::byte{'?'});
  files.add(kLockFile, stale);
  auto entry = [&](int slot) {
    const auto bytes = files.bytes(kLockFile);
    const auto at = bytes.begin() + slot * jet::lock::kEntrySize;
    return std::string(reinterpret_cast<const char*>(&*at), jet::lock::kEntrySize);
  };
  const std::string ours = std::string("MEMORY") + std::string(26, '\0') + "Admin" + std::string(27, '\0');
  auto one = jettest::openForChanges(files);
  EXPECT_EQ(entry(0), ours) << "the stale entry is taken";
  {
    auto two = jettest::openForChanges(files);
    EXPECT_EQ(entry(1), ours);
    auto reader = jet::openDatabase(files, kMemoryPath);  // opened for reading: no entry
    one.reset();
    EXPECT_TRUE(files.exists(kLockFile));
  }
  EXPECT_FALSE(files.exists(kLockFile));
}

// A journal beside the file that another file's change left is no journal
// of this one: the open refuses to touch the file.
TEST_F(InMemory, JournalOfAnotherFile) {
  {
    jet::Journal journal(files, kMemoryPath, 2048, 2048 * 10);
    journal.add(3, std::vector<std::byte>(2048, std::byte{1}));
    journal.sync();
  }
  EXPECT_EQ(errorOf([&] { jettest::openForChanges(files); }),
            kJournal + " doesn't belong to " + kMemoryPath + ": it was left by a change to another file. Move it away "
                                                            "and open " + kMemoryPath + " again.");
  EXPECT_EQ(files.bytes(kMemoryPath), original);
  EXPECT_TRUE(files.exists(kJournal));
}

// A journal without a whole header undoes nothing (cut short before its
// change touched the file, or wiped once the change was final): it doesn't
// stop a file that can only be read from opening, and goes where its
// folder allows.
TEST_F(InMemory, LeftoverJournalThatUndoesNothing) {
  files.add(kJournal, std::vector<std::byte>(30, std::byte{0}));
  files.setReadOnly(kMemoryPath, true);
  EXPECT_FALSE(jettest::dumpTable(*jet::openDatabase(files, kMemoryPath), "Table1").empty());
  EXPECT_FALSE(files.exists(kJournal));

  files.add(kJournal, std::vector<std::byte>(30, std::byte{0}));
  files.setFolderReadOnly("/db", true);
  EXPECT_FALSE(jettest::dumpTable(*jet::openDatabase(files, kMemoryPath), "Table1").empty());
  EXPECT_TRUE(files.exists(kJournal));
  EXPECT_EQ(files.bytes(kMemoryPath), original);
}

// A change left half done where the file can only be read: the file can't
// be put back, so it isn't read either; once writable, it is rolled back.
TEST_F(InMemory, HalfChangedFileThatCanOnlyBeRead) {
  const Shape shape{"V2000_test.mdb", 50, 40, jet::Transaction::kSpillAfter};
  const auto steps = dryRun(original, shape).second;
  files.cutPower(steps - 5);  // while the pages are stored
  EXPECT_THROW(jettest::changePages(files, [&](jet::Transaction& t) { sampleChange(t, shape); }), jet::Error);
  files.restorePower(MemoryFileSystem::Loss::Drop);
  ASSERT_TRUE(files.exists(kJournal));
  files.setReadOnly(kMemoryPath, true);
  jet::ErrorKind kind{};
  EXPECT_EQ(errorOf([&] { jet::openDatabase(files, kMemoryPath); }, &kind),
            kMemoryPath + " was left half-changed by a program that stopped during a change, and can't be put back as "
                          "it was: it can only be read.");
  EXPECT_EQ(kind, jet::ErrorKind::ReadOnly);
  files.setReadOnly(kMemoryPath, false);
  jet::openDatabase(files, kMemoryPath);
  EXPECT_EQ(files.bytes(kMemoryPath), original);
  EXPECT_FALSE(files.exists(kJournal));
}

}  // namespace
