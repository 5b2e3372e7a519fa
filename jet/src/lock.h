#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "file.h"

namespace jet {

// Sharing a database with other programs (and with other Database objects
// of this one). Jet's way is followed where it is known: an entry in the
// lock file name.ldb beside the database, created by the first user and
// removed by the last, with a locked byte per user. Changes are kept apart
// by byte-range locks on the database file itself (see lock_format.h and
// jet/doc/locking.md):
//
//   - every open holds the presence byte shared; an exclusive open holds it
//     exclusively, so no one else can open the file meanwhile, and a file
//     someone holds exclusively can be read but not changed;
//   - a change holds the writer byte for its whole length, one at a time;
//   - readers hold the readers byte shared while they read, and a change
//     holds it exclusively while it stores its pages, so no one reads a
//     half-stored change.
//
// Read sessions and changes nest within one Lock; the outermost takes and
// gives back the locks. The Lock borrows the database file, which must
// outlive it.
class Lock {
 public:
  struct Options {
    bool exclusive = false;        // keep every other user out
    bool join = false;             // take an entry in the lock file (a user who may change the file)
    std::string user = "admin";    // the name in that entry
    std::chrono::milliseconds wait{5000};  // how long to wait for another user's lock
  };

  // Joins the users of the database at `path`. `files` may be null for a
  // file no one else can open (bytes in memory): then there is no lock
  // file. Throws Error(Locked) when an exclusive open finds others present.
  Lock(FileSystem* files, File& database, std::string path, const Options& options);
  ~Lock();
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  // Refuses a change: Error(Locked) while another program holds the
  // database exclusively, Error(ReadOnly) when the lock file couldn't be
  // joined.
  void checkChangeable();

  // Throw Error(Locked) after waiting in vain.
  void beginRead();
  void endRead() noexcept;
  void beginChange();
  bool tryBeginChange();  // without waiting
  void endChange() noexcept;
  // Whether another program is making a change now. Not while this Lock
  // holds a change.
  bool changeUnderWay();
  void beginStore();
  void endStore() noexcept;

 private:
  // A shared lock; where the file system has no locks at all, reading goes
  // on without them and changes are refused.
  bool tryShared(std::uint64_t offset);
  // Gives a byte back; runs in destructors, so it throws nothing.
  void release(std::uint64_t offset, std::uint64_t length = 1) noexcept;
  void joinUsers(FileSystem& files, const std::string& user);
  void leaveUsers() noexcept;
  bool waitFor(const std::function<bool()>& attempt) const;
  [[noreturn]] void busy(const std::string& why) const;

  File& database_;
  std::string path_;
  std::string usersPath_;
  FileSystem* files_;
  Options options_;
  bool present_ = false;     // holds the presence byte
  std::string usersProblem_;  // why the lock file couldn't be joined
  std::string lockProblem_;   // why the file system gave no lock
  std::unique_ptr<File> users_;
  int slot_ = -1;
  int readers_ = 0;
  int changes_ = 0;
  bool storing_ = false;
};

}  // namespace jet
