// The in-memory file system the crash tests stand on: what survives a power
// failure, failing steps, and byte-range locks between opens.

#include <gtest/gtest.h>

#include "jet/error.h"
#include "memory_file_system.h"

namespace {

using jet::MemoryFileSystem;
using jet::OpenMode;

std::vector<std::byte> text(const std::string& s) {
  std::vector<std::byte> bytes;
  for (char c : s) bytes.push_back(static_cast<std::byte>(c));
  return bytes;
}

TEST(MemoryFileSystem, PowerFailureKeepsOnlyWhatWasSynced) {
  MemoryFileSystem files;
  files.add("/d/old", text("old"));
  {
    auto old = files.open("/d/old", OpenMode::Write);
    old->write(0, text("synced"));
    old->sync();
    old->write(0, text("SYN"));  // not synced
    auto fresh = files.open("/d/new", OpenMode::CreateEmpty);
    fresh->write(0, text("new"));
    fresh->sync();  // its bytes, but not its name
    files.remove("/d/old");
    EXPECT_FALSE(files.exists("/d/old"));
    files.cutPower(1);
    EXPECT_THROW(fresh->write(0, text("x")), jet::Error);
    EXPECT_THROW(old->read(0, std::span<std::byte>()), jet::Error);
  }
  files.restorePower(MemoryFileSystem::Loss::Drop);
  EXPECT_EQ(files.bytes("/d/old"), text("synced"));  // its removal wasn't synced either
  EXPECT_FALSE(files.exists("/d/new"));

  auto fresh = files.open("/d/new", OpenMode::CreateEmpty);
  fresh->write(0, text("kept"));
  fresh->sync();
  files.syncFolderOf("/d/new");
  files.restorePower(MemoryFileSystem::Loss::Drop);
  EXPECT_EQ(files.bytes("/d/new"), text("kept"));
  EXPECT_THROW(fresh->size(), jet::Error) << "a file opened before the failure stays dead";
}

// Each unsynced write is kept, dropped or garbled on its own; synced bytes
// never change.
TEST(MemoryFileSystem, GarbledPowerFailureTouchesOnlyUnsyncedWrites) {
  int kept = 0, dropped = 0, garbled = 0;
  for (unsigned seed = 0; seed < 30; ++seed) {
    MemoryFileSystem files;
    files.add("/d/f", text("0123456789"));
    auto f = files.open("/d/f", OpenMode::Write);
    f->write(0, text("ab"));
    f->sync();
    f->write(5, text("XY"));
    files.cutPower(1);
    files.restorePower(MemoryFileSystem::Loss::Garble, seed);
    const auto bytes = files.bytes("/d/f");
    ASSERT_EQ(bytes.size(), 10u);
    EXPECT_EQ(std::vector<std::byte>(bytes.begin(), bytes.begin() + 5), text("ab234"));
    const std::vector<std::byte> middle(bytes.begin() + 5, bytes.begin() + 7);
    if (middle == text("XY"))
      ++kept;
    else if (middle == text("56"))
      ++dropped;
    else
      ++garbled;
  }
  EXPECT_GT(kept, 0);
  EXPECT_GT(dropped, 0);
  EXPECT_GT(garbled, 0);
}

TEST(MemoryFileSystem, NthWriteOrSyncFails) {
  MemoryFileSystem files;
  files.add("/d/f", text("abc"));
  auto f = files.open("/d/f", OpenMode::Write);
  files.failWrite(2);
  f->write(0, text("x"));
  EXPECT_THROW(f->write(1, text("y")), jet::Error);
  f->write(2, text("z"));
  EXPECT_EQ(files.bytes("/d/f"), text("xbz"));
  files.failSync(1);
  EXPECT_THROW(f->sync(), jet::Error);
  f->sync();
  EXPECT_EQ(files.steps(), 5u);
}

// Two opens of one file are two owners, as two programs are.
TEST(MemoryFileSystem, LocksOfTwoOpens) {
  MemoryFileSystem files;
  files.add("/d/f", {});
  auto a = files.open("/d/f", OpenMode::Write);
  auto b = files.open("/d/f", OpenMode::Write);
  EXPECT_TRUE(a->tryLock(10, 1, jet::LockKind::Shared));
  EXPECT_TRUE(b->tryLock(10, 1, jet::LockKind::Shared));
  EXPECT_FALSE(b->tryLock(10, 1, jet::LockKind::Exclusive));
  a->unlock(10, 1);
  EXPECT_TRUE(b->tryLock(10, 1, jet::LockKind::Exclusive)) << "a shared lock of one's own turns exclusive";
  EXPECT_FALSE(a->tryLock(5, 10, jet::LockKind::Shared));
  EXPECT_TRUE(a->tryLock(11, 10, jet::LockKind::Exclusive));
  b.reset();  // closing gives its locks back
  EXPECT_TRUE(a->tryLock(0, 100, jet::LockKind::Exclusive));
}

TEST(MemoryFileSystem, ReadOnlyFilesAndFolders) {
  MemoryFileSystem files;
  files.add("/d/f", text("abc"));
  files.setReadOnly("/d/f", true);
  EXPECT_THROW(files.open("/d/f", OpenMode::Write), jet::Error);
  EXPECT_FALSE(files.open("/d/f", OpenMode::Read)->writable());
  files.setFolderReadOnly("/d", true);
  EXPECT_THROW(files.open("/d/g", OpenMode::Create), jet::Error);
  EXPECT_THROW(files.remove("/d/f"), jet::Error);
  EXPECT_NO_THROW(files.open("/e/g", OpenMode::Create));
}

}  // namespace
