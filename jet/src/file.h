#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace jet {

// What the operating system says of a file's state: enough to tell that
// another program has changed it since.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // nanoseconds; a count of changes for files held in memory
  // Whether a later change is sure to show in `modified`. A clock's tick
  // can be coarser than the time between two changes; while the last change
  // is that recent, the stamp proves nothing.
  bool settled = true;

  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// A byte-range lock of one open file. Two opens of the same file are two
// owners, whether in one process or two, so two Database objects in one
// program lock each other out as two programs do.
enum class LockKind { Shared, Exclusive };

// Random access to a file: the engine's only way to its bytes (with
// FileSystem below, its only way to the operating system), so tests and the
// fuzzer can hand it files held in memory, and fail or crash them at will.
// A file that only reads implements size() and read(): by default it can't
// be written, grants every lock (no one else can reach it) and never
// changes.
class File {
 public:
  virtual ~File() = default;

  virtual std::uint64_t size() const = 0;

  // Fills `out` from `offset`. Throws Error(Io) when the bytes can't be read;
  // callers never ask for bytes past size().
  virtual void read(std::uint64_t offset, std::span<std::byte> out) const = 0;

  // Whether the file was opened for writing.
  virtual bool writable() const { return false; }

  // Writes `data` at `offset`, growing the file if it ends before. Nothing
  // is durable before sync(). Throw Error(Io); Error(ReadOnly) when the file
  // was opened for reading only.
  virtual void write(std::uint64_t offset, std::span<const std::byte> data);
  virtual void sync();
  virtual void resize(std::uint64_t size);

  // Takes a byte-range lock without waiting; false when another owner holds
  // a lock in the way. A shared lock needs no writing, an exclusive one a
  // file opened for writing. Locking a range again replaces the kind held.
  virtual bool tryLock(std::uint64_t offset, std::uint64_t length, LockKind kind);
  virtual void unlock(std::uint64_t offset, std::uint64_t length);

  virtual FileStamp stamp() const;

  // Whether this open and the file now at `path` are the same file (it may
  // have been removed or replaced since it was opened).
  virtual bool stillAt(const std::string& path) const;
};

enum class OpenMode {
  Read,           // an existing file, for reading
  Write,          // an existing file, for reading and writing
  Create,         // created when missing, kept when present
  CreateEmpty,    // created when missing, emptied when present
};

// The files of a folder tree: opening, removing, making their names
// durable. The engine reaches files only through this and File (as
// LevelDB's Env), so a test can run it on files held in memory.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Throws Error(Io) naming the path and the system's reason; a path that
  // is no regular file is refused without blocking.
  virtual std::unique_ptr<File> open(const std::string& path, OpenMode mode) = 0;
  virtual bool exists(const std::string& path) = 0;
  // Removes the file; a missing one is no error. Throws Error(Io).
  virtual void remove(const std::string& path) = 0;
  // Makes the creation and removal of the files in the path's folder
  // durable. Throws Error(Io).
  virtual void syncFolderOf(const std::string& path) = 0;
  // The name of this computer, for the lock file's list of users.
  virtual std::string computerName() = 0;
};

// The operating system's files.
FileSystem& systemFiles();

// Opens a file on disk for reading: systemFiles().open(path, OpenMode::Read).
std::unique_ptr<File> openFile(const std::string& path);

// A read-only file whose bytes are held in memory.
std::unique_ptr<File> memoryFile(std::vector<std::byte> bytes);

}  // namespace jet
