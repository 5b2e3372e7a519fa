#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "file.h"

namespace jet {

// Files held in memory, for tests: a tree of named files that fails on
// demand and loses power the way a disk does, so crash safety is tested at
// every step of a change without killing processes.
//
// Every write, sync, resize, file creation, removal and folder sync is a
// step. What a step changes is not durable until synced: a file's bytes by
// its sync(), a name's creation or removal by a sync of its folder. When the
// power fails, every step from then on fails with Error(Io) until
// restorePower(), which drops what wasn't durable (or, to mimic a disk that
// wrote part of it, keeps, drops or garbles each unsynced write) and
// releases every lock. Files opened before the power failed stay dead.
class MemoryFileSystem final : public FileSystem {
 public:
  MemoryFileSystem();
  ~MemoryFileSystem() override;

  // Puts a file in place, durable, as if written and synced long ago.
  void add(const std::string& path, std::vector<std::byte> bytes);
  // The file's bytes as a reader sees them now. Throws Error(Io) when missing.
  std::vector<std::byte> bytes(const std::string& path) const;

  // A read-only file can't be opened for writing; a read-only folder can't
  // have files created in it or removed from it.
  void setReadOnly(const std::string& path, bool readOnly);
  void setFolderReadOnly(const std::string& folder, bool readOnly);

  // The steps taken so far.
  std::uint64_t steps() const { return steps_; }
  // The n-th write (or sync) from now on, 1 being the next, does nothing
  // and fails with Error(Io); the ones after it work.
  void failWrite(std::uint64_t n);
  void failSync(std::uint64_t n);
  // The power fails at the n-th step from now on, 1 being the next.
  void cutPower(std::uint64_t n);

  enum class Loss { Drop, Garble };
  // Brings the power back: Drop loses every unsynced write; Garble keeps,
  // drops or fills with random bytes each unsynced write independently (the
  // choice drawn from `seed`).
  void restorePower(Loss loss, unsigned seed = 0);

  std::unique_ptr<File> open(const std::string& path, OpenMode mode) override;
  bool exists(const std::string& path) override;
  void remove(const std::string& path) override;
  void syncFolderOf(const std::string& path) override;

  std::string computerName() override { return "MEMORY"; }

 private:
  struct Node;   // a file's bytes, durable and not, and its locks
  class Handle;  // one open of a file

  // Counts a step; throws Error(Io) once the power is cut.
  void step(const std::string& what, const std::string& path);
  bool failsWrite();
  bool failsSync();
  bool folderReadOnly(const std::string& path) const;

  std::map<std::string, std::shared_ptr<Node>> names_;    // as a reader sees them
  std::map<std::string, std::shared_ptr<Node>> durable_;  // as they survive a power failure
  std::vector<std::string> readOnlyFolders_;
  std::uint64_t steps_ = 0;
  std::uint64_t writes_ = 0, syncs_ = 0;
  std::uint64_t failingWrite_ = 0, failingSync_ = 0, powerFailure_ = 0;
  bool powerCut_ = false;
  std::uint64_t generation_ = 0;  // counts power failures survived
};

}  // namespace jet
