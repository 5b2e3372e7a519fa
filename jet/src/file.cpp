#include "file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "jet/error.h"

namespace jet {
namespace {

std::string systemReason(int error) { return std::strerror(error); }

class PosixFile final : public File {
 public:
  PosixFile(int fd, std::uint64_t size, std::string path) : fd_(fd), size_(size), path_(std::move(path)) {}
  ~PosixFile() override { ::close(fd_); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  std::uint64_t size() const override { return size_; }

  void read(std::uint64_t offset, std::span<std::byte> out) const override {
    std::size_t done = 0;
    while (done < out.size()) {
      ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR) continue;
        throw Error(ErrorKind::Io, "Cannot read " + path_ + ": " + systemReason(errno) + ".");
      }
      if (n == 0) throw Error(ErrorKind::Io, "Cannot read " + path_ + ": it became shorter while it was read.");
      done += static_cast<std::size_t>(n);
    }
  }

 private:
  int fd_;
  std::uint64_t size_;
  std::string path_;
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

// What a path that is no regular file names, for the error that refuses it.
const char* kindOfNonFile(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "not a regular file";
}

[[noreturn]] void cannotOpen(const std::string& path, const std::string& reason) {
  throw Error(ErrorKind::Io, "Cannot open " + path + ": " + reason + ".");
}

void requireRegularFile(const std::string& path, mode_t mode) {
  if (!S_ISREG(mode)) cannotOpen(path, std::string("it is ") + kindOfNonFile(mode) + ", not a file");
}

}  // namespace

std::unique_ptr<File> openFile(const std::string& path) {
  // A named pipe or a device would block the open or the reads for ever:
  // only regular files are opened, and without blocking in case the path
  // changes kind between the look and the open.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) cannotOpen(path, systemReason(errno));
  requireRegularFile(path, st.st_mode);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) cannotOpen(path, systemReason(errno));
  if (::fstat(fd, &st) != 0) {
    int error = errno;
    ::close(fd);
    cannotOpen(path, systemReason(error));
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    requireRegularFile(path, st.st_mode);
  }
  // The pages are read in file order; let the kernel read ahead generously.
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  return std::make_unique<PosixFile>(fd, static_cast<std::uint64_t>(st.st_size), path);
}

std::unique_ptr<File> memoryFile(std::vector<std::byte> bytes) {
  return std::make_unique<MemoryFile>(std::move(bytes));
}

}  // namespace jet
