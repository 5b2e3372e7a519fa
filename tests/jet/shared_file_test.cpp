// Changes to a database file on disk, as programs make them: killed in the
// middle, sharing the file with another process, refused by a file or a
// folder that can't be written.

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "change.h"
#include "file.h"
#include "file_bytes.h"
#include "fixtures.h"
#include "jet/error.h"
#include "journal.h"
#include "open.h"
#include "sample_change.h"
#include "transaction.h"

namespace {

constexpr const char* kFixture = "jackcess/testUnicodeCompV2003.mdb";

// The system's files, counting the steps of a change (writes, syncs,
// resizes, creations, removals, folder syncs); at the chosen step the
// process kills itself, as a crash or a kill -9 would end it.
class KillingFiles final : public jet::FileSystem {
 public:
  explicit KillingFiles(std::uint64_t killAt) : killAt_(killAt) {}
  std::uint64_t steps() const { return steps_; }

  void step() {
    if (++steps_ == killAt_) ::kill(::getpid(), SIGKILL);
  }

  std::unique_ptr<jet::File> open(const std::string& path, jet::OpenMode mode) override {
    if (mode == jet::OpenMode::Create || mode == jet::OpenMode::CreateEmpty) step();
    return std::make_unique<Counted>(*this, jet::systemFiles().open(path, mode));
  }
  bool exists(const std::string& path) override { return jet::systemFiles().exists(path); }
  void remove(const std::string& path) override {
    step();
    jet::systemFiles().remove(path);
  }
  void syncFolderOf(const std::string& path) override {
    step();
    jet::systemFiles().syncFolderOf(path);
  }
  std::string computerName() override { return jet::systemFiles().computerName(); }

 private:
  class Counted final : public jet::File {
   public:
    Counted(KillingFiles& files, std::unique_ptr<jet::File> file) : files_(files), file_(std::move(file)) {}
    std::uint64_t size() const override { return file_->size(); }
    void read(std::uint64_t offset, std::span<std::byte> out) const override { file_->read(offset, out); }
    bool writable() const override { return file_->writable(); }
    void write(std::uint64_t offset, std::span<const std::byte> data) override {
      files_.step();
      file_->write(offset, data);
    }
    void sync() override {
      files_.step();
      file_->sync();
    }
    void resize(std::uint64_t size) override {
      files_.step();
      file_->resize(size);
    }
    bool tryLock(std::uint64_t offset, std::uint64_t length, jet::LockKind kind) override {
      return file_->tryLock(offset, length, kind);
    }
    void unlock(std::uint64_t offset, std::uint64_t length) override { file_->unlock(offset, length); }
    jet::FileStamp stamp() const override { return file_->stamp(); }
    bool stillAt(const std::string& path) const override { return file_->stillAt(path); }

   private:
    KillingFiles& files_;
    std::unique_ptr<jet::File> file_;
  };

  std::uint64_t killAt_;
  std::uint64_t steps_ = 0;
};

jet::OpenOptions forChanges() {
  jet::OpenOptions options;
  options.write = true;
  options.lockWait = std::chrono::milliseconds(0);
  return options;
}

std::string errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const jet::Error& e) {
    return e.what();
  }
  return "no error";
}

// A process killed at every step of a change leaves the old or the new
// file; the next open rolls back what it left half done.
TEST(SharedFile, KilledWriterLeavesTheOldOrTheNewFile) {
  REQUIRE_FIXTURE(fixtures::mdb(kFixture));
  fixtures::TempDir dir;
  const std::string path = (dir.path() / "killed.mdb").string();
  const auto original = jettest::readBytes(fixtures::mdb(kFixture));
  jettest::writeBytes(path, original);
  KillingFiles counting(0);
  jettest::rewritePages(*jet::openDatabase(counting, path, forChanges()), 35, 10);
  const auto changed = jettest::readBytes(path);
  ASSERT_NE(changed, original);

  // Some thirty points spread over the change from its first step on
  // (every step is crossed with files held in memory: transaction_test).
  const std::uint64_t steps = counting.steps();
  jettest::CrashOutcomes outcomes(original, changed);
  for (std::uint64_t step = 1; step <= steps; step += std::max<std::uint64_t>(1, (steps - 1) / 29)) {
    SCOPED_TRACE("killed at step " + std::to_string(step) + " of " + std::to_string(steps));
    jettest::writeBytes(path, original);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      KillingFiles killing(step);
      try {
        jettest::rewritePages(*jet::openDatabase(killing, path, forChanges()), 35, 10);
      } catch (...) {
        ::_exit(2);
      }
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the writer wasn't killed";
    jet::Database::open(path, forChanges());  // rolls back, and leaves the file
    EXPECT_FALSE(std::filesystem::exists(jet::Journal::pathOf(path)));
    outcomes.add(jettest::readBytes(path));
  }
  EXPECT_GT(outcomes.olds(), 0);
  EXPECT_GT(outcomes.news(), 0);
}

// Two Database objects on one file on disk change it in turns, each seeing
// the other's pages at once, however close together the changes come.
TEST(SharedFile, TwoDatabasesChangeTheFileInTurns) {
  REQUIRE_FIXTURE(fixtures::mdb(kFixture));
  fixtures::TempDir dir;
  const auto path = dir.copy(fixtures::mdb(kFixture)).string();
  auto one = jet::Database::open(path, forChanges());
  auto two = jet::Database::open(path, forChanges());
  std::uint32_t page = 0;
  one->write([&](jet::Change& c) { page = jet::transactionOf(c).allocate().number(); });
  for (int turn = 0; turn < 20; ++turn) {
    jet::Database& writer = turn % 2 ? *two : *one;
    jet::Database& reader = turn % 2 ? *one : *two;
    writer.write([&](jet::Change& c) { jet::transactionOf(c).write(page).bytes()[7] = static_cast<std::byte>(turn); });
    std::byte seen{};
    reader.write([&](jet::Change& c) { seen = jet::transactionOf(c).read(page).bytes()[7]; });
    EXPECT_EQ(seen, static_cast<std::byte>(turn));
  }
}

// Another process holds the file exclusively: changes are refused, reading
// goes on; once it has closed the file, changes are made again.
TEST(SharedFile, HeldExclusivelyByAnotherProcess) {
  REQUIRE_FIXTURE(fixtures::mdb(kFixture));
  fixtures::TempDir dir;
  const auto path = dir.copy(fixtures::mdb(kFixture)).string();
  const auto original = jettest::readBytes(path);
  int ready[2], done[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(done), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Without the test's ends of the pipes, a test that fails early ends
    // this process too.
    ::close(ready[0]);
    ::close(done[1]);
    jet::OpenOptions exclusive = forChanges();
    exclusive.exclusive = true;
    auto db = jet::Database::open(path, exclusive);
    char c = 'r';
    if (::write(ready[1], &c, 1) != 1) ::_exit(1);
    if (::read(done[0], &c, 1) != 1) ::_exit(1);
    ::_exit(0);
  }
  ::close(ready[1]);
  ::close(done[0]);
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  auto db = jet::Database::open(path, forChanges());
  EXPECT_EQ(errorOf([&] { jettest::rewritePages(*db, 5, 1); }),
            path + " is open exclusively in another program: it can be read, but not changed until that program closes it.");
  EXPECT_EQ(jettest::readBytes(path), original);
  EXPECT_FALSE(jettest::dumpTable(*db, "Table").empty());
  ASSERT_EQ(::write(done[1], &c, 1), 1);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  jettest::rewritePages(*db, 5, 1);
  EXPECT_NE(jettest::readBytes(path), original);
  ::close(ready[0]);
  ::close(done[1]);
}

// Makes a file or a folder unwritable for the test's length: immutable for
// root (whom permissions don't stop), read-only for anyone else.
class Unwritable {
 public:
  explicit Unwritable(const std::string& path) : path_(path) {
    if (::geteuid() != 0) {
      struct stat st {};
      ::stat(path.c_str(), &st);
      mode_ = st.st_mode;
      ok_ = ::chmod(path.c_str(), st.st_mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
      return;
    }
    ok_ = setImmutable(true);
  }
  ~Unwritable() {
    if (!ok_) return;
    if (::geteuid() != 0)
      ::chmod(path_.c_str(), mode_);
    else
      setImmutable(false);
  }
  bool ok() const { return ok_; }

 private:
  bool setImmutable(bool on) {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
  }

  std::string path_;
  mode_t mode_ = 0;
  bool ok_ = false;
};

// A file that can't be written, and a folder that can't hold the lock file
// or the journal: the file opens for reading, a change is refused, and the
// file stays byte for byte as it was.
TEST(SharedFile, UnwritableFileOrFolder) {
  REQUIRE_FIXTURE(fixtures::mdb(kFixture));
  for (bool folder : {false, true}) {
    SCOPED_TRACE(folder ? "folder" : "file");
    fixtures::TempDir dir;
    const auto path = dir.copy(fixtures::mdb(kFixture)).string();
    const auto original = jettest::readBytes(path);
    {
      Unwritable unwritable(folder ? dir.path().string() : path);
      if (!unwritable.ok()) GTEST_SKIP() << "the file system can't make files unwritable";
      auto db = jet::Database::open(path, forChanges());
      const std::string error = errorOf([&] { jettest::rewritePages(*db, 5, 1); });
      const std::string expected = folder ? path + " can't be changed: its lock file " +
                                                (dir.path() / "testUnicodeCompV2003.ldb").string() + " can't be used ("
                                          : path + " can't be changed: it can only be read (Cannot open " + path + ": ";
      EXPECT_TRUE(error.starts_with(expected)) << error;
      EXPECT_FALSE(jettest::dumpTable(*db, "Table").empty());
    }
    EXPECT_EQ(jettest::readBytes(path), original);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "nothing left beside it";
  }
}

}  // namespace
