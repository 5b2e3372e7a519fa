#include "lock.h"

#include <algorithm>
#include <filesystem>
#include <thread>
#include <vector>

#include "clause.h"
#include "jet/error.h"
#include "lock_format.h"

namespace jet {
namespace {

// A lock file entry: the computer's name, then the user's, each cut to fit
// its field with a zero after it.
std::vector<std::byte> userEntry(const std::string& computer, const std::string& user) {
  std::vector<std::byte> entry(lock::kEntrySize);
  auto put = [&](std::size_t at, const std::string& name) {
    const std::size_t n = std::min<std::size_t>(name.size(), lock::kNameSize - 1);
    for (std::size_t i = 0; i < n; ++i) entry[at + i] = static_cast<std::byte>(name[i]);
  };
  put(0, computer);
  put(lock::kNameSize, user);
  return entry;
}

}  // namespace

Lock::Lock(FileSystem* files, File& database, std::string path, const Options& options)
    : database_(database), path_(std::move(path)), files_(files), options_(options) {
  if (options_.exclusive) {
    if (!database_.writable())
      throw Error(ErrorKind::ReadOnly, path_ + " can't be opened exclusively: it can only be read.");
    if (!database_.tryLock(lock::kPresence, 1, LockKind::Exclusive))
      throw Error(ErrorKind::Locked, path_ + " is open in another program, so it can't be opened exclusively.");
    present_ = true;
    return;  // an exclusive user, as Jet's, leaves no entry in the lock file
  }
  present_ = tryShared(lock::kPresence);
  if (files_ && options_.join) joinUsers(*files_, options_.user);
}

bool Lock::tryShared(std::uint64_t offset) {
  if (!lockProblem_.empty()) return true;
  try {
    return database_.tryLock(offset, 1, LockKind::Shared);
  } catch (const Error& e) {
    lockProblem_ = e.what();
    return true;
  }
}

Lock::~Lock() {
  leaveUsers();
  release(lock::kBase, 3);
}

void Lock::release(std::uint64_t offset, std::uint64_t length) noexcept {
  try {
    database_.unlock(offset, length);
  } catch (const Error&) {
    // Closing the file gives the lock back all the same.
  }
}

void Lock::joinUsers(FileSystem& files, const std::string& user) {
  usersPath_ = std::filesystem::path(path_).replace_extension(lock::kExtension).string();
  const std::string name = user.empty() || user == "admin" ? "Admin" : user;
  // The last user to leave removes the file; a newcomer who took a place in
  // a file just removed starts again with a new one.
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::unique_ptr<File> file;
    try {
      file = files.open(usersPath_, OpenMode::Create);
    } catch (const Error& e) {
      usersProblem_ = e.what();
      return;
    }
    int slot = -1;
    waitFor([&] {
      for (int n = 0; n < lock::kMaxUsers && slot < 0; ++n)
        if (file->tryLock(lock::kUserLocks + static_cast<std::uint64_t>(n), 1, LockKind::Exclusive)) slot = n;
      return slot >= 0;
    });
    if (slot < 0) {
      usersProblem_ = "all of its " + std::to_string(lock::kMaxUsers) + " places for users are taken";
      return;
    }
    if (!file->stillAt(usersPath_)) continue;
    try {
      file->write(static_cast<std::uint64_t>(slot) * lock::kEntrySize, userEntry(files.computerName(), name));
    } catch (const Error& e) {
      usersProblem_ = e.what();
      return;
    }
    users_ = std::move(file);
    slot_ = slot;
    return;
  }
  usersProblem_ = "another program keeps removing it";
}

void Lock::leaveUsers() noexcept {
  if (!users_) return;
  try {
    users_->unlock(lock::kUserLocks + static_cast<std::uint64_t>(slot_), 1);
    // Holding every user's byte keeps newcomers out while the file goes.
    if (users_->tryLock(lock::kUserLocks, lock::kMaxUsers, LockKind::Exclusive)) {
      if (users_->stillAt(usersPath_)) files_->remove(usersPath_);
      users_->unlock(lock::kUserLocks, lock::kMaxUsers);
    }
  } catch (const Error&) {
    // A lock file left behind blocks no one: its entries' bytes are free.
  }
  users_.reset();
}

void Lock::checkChangeable() {
  if (!lockProblem_.empty())
    throw Error(ErrorKind::ReadOnly, path_ + " can't be changed: its file system can't lock it (" +
                                         asClause(lockProblem_) + ").");
  if (!present_) present_ = tryShared(lock::kPresence);
  if (!present_)
    throw Error(ErrorKind::Locked, path_ + " is open exclusively in another program: it can be read, but not changed "
                                           "until that program closes it.");
  if (!usersProblem_.empty())
    throw Error(ErrorKind::ReadOnly, path_ + " can't be changed: its lock file " + usersPath_ + " can't be used (" +
                                         asClause(usersProblem_) + ").");
}

bool Lock::waitFor(const std::function<bool()>& attempt) const {
  using namespace std::chrono;
  const auto deadline = steady_clock::now() + options_.wait;
  auto pause = milliseconds(1);
  for (;;) {
    if (attempt()) return true;
    const auto now = steady_clock::now();
    if (now >= deadline) return false;
    std::this_thread::sleep_for(std::min<steady_clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, milliseconds(50));
  }
}

void Lock::busy(const std::string& why) const {
  throw Error(ErrorKind::Locked,
              path_ + " is busy: another program is " + why + " it. Try again when that program has finished.");
}

void Lock::beginRead() {
  if (readers_++ > 0 || storing_) return;
  if (!waitFor([&] { return tryShared(lock::kReaders); })) {
    --readers_;
    busy("changing");
  }
}

void Lock::endRead() noexcept {
  if (--readers_ > 0 || storing_ || !lockProblem_.empty()) return;
  release(lock::kReaders);
}

void Lock::beginChange() {
  if (!waitFor([&] { return tryBeginChange(); })) busy("changing");
}

bool Lock::tryBeginChange() {
  if (!database_.writable()) return false;
  return database_.tryLock(lock::kWriter, 1, LockKind::Exclusive);
}

void Lock::endChange() noexcept { release(lock::kWriter); }

bool Lock::changeUnderWay() {
  if (!database_.tryLock(lock::kWriter, 1, LockKind::Shared)) return true;
  release(lock::kWriter);
  return false;
}

void Lock::beginStore() {
  if (storing_) return;
  if (!waitFor([&] { return database_.tryLock(lock::kReaders, 1, LockKind::Exclusive); })) busy("reading");
  storing_ = true;
}

void Lock::endStore() noexcept {
  if (!storing_) return;
  storing_ = false;
  // Locking the byte again as shared gives up the exclusive lock without a
  // moment in which another program could take it.
  if (readers_ > 0)
    tryShared(lock::kReaders);
  else
    release(lock::kReaders);
}

}  // namespace jet
