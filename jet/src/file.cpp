#include "file.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "jet/error.h"

namespace jet {
namespace {

// A change made this close to the last one may leave the modification time
// as it was: file systems keep it in ticks of a few milliseconds, FAT (and
// some shares over it) in ticks of two seconds.
constexpr std::int64_t kClockTickNs = 2'000'000'000;

std::string systemReason(int error) { return std::strerror(error); }

[[noreturn]] void failed(const char* what, const std::string& path, int error) {
  throw Error(ErrorKind::Io, std::string(what) + " " + path + ": " + systemReason(error) + ".");
}

// What a path that is no regular file names, for the error that refuses it.
const char* kindOfNonFile(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "not a regular file";
}

void requireRegularFile(const std::string& path, mode_t mode) {
  if (!S_ISREG(mode))
    throw Error(ErrorKind::Io, "Cannot open " + path + ": it is " + kindOfNonFile(mode) + ", not a file.");
}

std::int64_t nanoseconds(const struct timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

class PosixFile final : public File {
 public:
  PosixFile(int fd, std::string path, bool writable) : fd_(fd), path_(std::move(path)), writable_(writable) {}
  ~PosixFile() override { ::close(fd_); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  std::uint64_t size() const override { return static_cast<std::uint64_t>(status().st_size); }

  void read(std::uint64_t offset, std::span<std::byte> out) const override {
    std::size_t done = 0;
    while (done < out.size()) {
      ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR) continue;
        failed("Cannot read", path_, errno);
      }
      if (n == 0) throw Error(ErrorKind::Io, "Cannot read " + path_ + ": it became shorter while it was read.");
      done += static_cast<std::size_t>(n);
    }
  }

  bool writable() const override { return writable_; }

  void write(std::uint64_t offset, std::span<const std::byte> data) override {
    requireWritable();
    std::size_t done = 0;
    while (done < data.size()) {
      ssize_t n = ::pwrite(fd_, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR) continue;
        failed("Cannot write", path_, errno);
      }
      done += static_cast<std::size_t>(n);
    }
  }

  void sync() override {
    requireWritable();
    // The data and the size it needs; the other times of the file may wait.
    while (::fdatasync(fd_) != 0)
      if (errno != EINTR) failed("Cannot save", path_, errno);
  }

  void resize(std::uint64_t size) override {
    requireWritable();
    while (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
      if (errno != EINTR) failed("Cannot resize", path_, errno);
  }

  bool tryLock(std::uint64_t offset, std::uint64_t length, LockKind kind) override {
    return lock(offset, length, kind == LockKind::Shared ? F_RDLCK : F_WRLCK);
  }

  void unlock(std::uint64_t offset, std::uint64_t length) override { lock(offset, length, F_UNLCK); }

  FileStamp stamp() const override {
    const struct stat st = status();
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t modified = nanoseconds(st.st_mtim);
    return {static_cast<std::uint64_t>(st.st_size), modified, nanoseconds(now) - modified > kClockTickNs};
  }

  bool stillAt(const std::string& path) const override {
    struct stat there {};
    if (::stat(path.c_str(), &there) != 0) return false;
    const struct stat here = status();
    return here.st_dev == there.st_dev && here.st_ino == there.st_ino;
  }

 private:
  struct stat status() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) failed("Cannot read", path_, errno);
    return st;
  }

  void requireWritable() const {
    if (!writable_) throw Error(ErrorKind::ReadOnly, "Cannot write " + path_ + ": it was opened for reading only.");
  }

  // Locks of the open file description: two opens are two owners, even in
  // one process, and closing one open doesn't drop the other's locks.
  bool lock(std::uint64_t offset, std::uint64_t length, short type) {
    struct flock request {};
    request.l_type = type;
    request.l_whence = SEEK_SET;
    request.l_start = static_cast<off_t>(offset);
    request.l_len = static_cast<off_t>(length);
    while (::fcntl(fd_, F_OFD_SETLK, &request) != 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EACCES) return false;
      failed("Cannot lock", path_, errno);
    }
    return true;
  }

  int fd_;
  std::string path_;
  bool writable_;
};

class SystemFiles final : public FileSystem {
 public:
  std::unique_ptr<File> open(const std::string& path, OpenMode mode) override {
    // A named pipe or a device would block the open or the reads for ever:
    // only regular files are opened, and without blocking in case the path
    // changes kind between the look and the open.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
      requireRegularFile(path, st.st_mode);
    else if (mode == OpenMode::Read || mode == OpenMode::Write)
      failed("Cannot open", path, errno);
    int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    switch (mode) {
      case OpenMode::Read: flags |= O_RDONLY; break;
      case OpenMode::Write: flags |= O_RDWR; break;
      case OpenMode::Create: flags |= O_RDWR | O_CREAT; break;
      case OpenMode::CreateEmpty: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    }
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) failed(mode == OpenMode::Read || mode == OpenMode::Write ? "Cannot open" : "Cannot create", path, errno);
    if (::fstat(fd, &st) != 0) {
      int error = errno;
      ::close(fd);
      failed("Cannot open", path, error);
    }
    if (!S_ISREG(st.st_mode)) {
      ::close(fd);
      requireRegularFile(path, st.st_mode);
    }
    // The pages are read in file order; let the kernel read ahead generously.
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::make_unique<PosixFile>(fd, path, mode != OpenMode::Read);
  }

  bool exists(const std::string& path) override {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
  }

  void remove(const std::string& path) override {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) failed("Cannot remove", path, errno);
  }

  void syncFolderOf(const std::string& path) override {
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty()) folder = ".";
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) failed("Cannot open the folder", folder, errno);
    int result;
    while ((result = ::fsync(fd)) != 0 && errno == EINTR) {
    }
    int error = errno;
    ::close(fd);
    if (result != 0) failed("Cannot save the folder", folder, error);
  }

  std::string computerName() override {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return "localhost";
    return name;
  }
};

class MemoryFile final : public File {
 public:
  explicit MemoryFile(std::vector<std::byte> bytes) : bytes_(std::move(bytes)) {}

  std::uint64_t size() const override { return bytes_.size(); }

  void read(std::uint64_t offset, std::span<std::byte> out) const override {
    if (offset > bytes_.size() || out.size() > bytes_.size() - offset)
      throw Error(ErrorKind::Io, "Cannot read past the end of the in-memory file.");
    if (out.empty()) return;
    std::memcpy(out.data(), bytes_.data() + offset, out.size());
  }

 private:
  std::vector<std::byte> bytes_;
};

}  // namespace

// A file no one else can open (bytes in memory, held by one reader) has no
// writing, and every lock it is asked for is its own.
void File::write(std::uint64_t, std::span<const std::byte>) {
  throw Error(ErrorKind::ReadOnly, "Cannot write a file opened for reading only.");
}
void File::sync() { throw Error(ErrorKind::ReadOnly, "Cannot write a file opened for reading only."); }
void File::resize(std::uint64_t) { throw Error(ErrorKind::ReadOnly, "Cannot write a file opened for reading only."); }
bool File::tryLock(std::uint64_t, std::uint64_t, LockKind) { return true; }
void File::unlock(std::uint64_t, std::uint64_t) {}
FileStamp File::stamp() const { return {size(), 0, true}; }
bool File::stillAt(const std::string&) const { return true; }

FileSystem& systemFiles() {
  static SystemFiles files;
  return files;
}

std::unique_ptr<File> openFile(const std::string& path) { return systemFiles().open(path, OpenMode::Read); }

std::unique_ptr<File> memoryFile(std::vector<std::byte> bytes) {
  return std::make_unique<MemoryFile>(std::move(bytes));
}

}  // namespace jet
