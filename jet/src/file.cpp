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
        throw Error(ErrorKind::Io, "cannot read " + path_ + ": " + systemReason(errno));
      }
      if (n == 0) throw Error(ErrorKind::Io, "cannot read " + path_ + ": the file became shorter while it was read");
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
      throw Error(ErrorKind::Io, "read past the end of the in-memory file");
    if (out.empty()) return;
    std::memcpy(out.data(), bytes_.data() + offset, out.size());
  }

 private:
  std::vector<std::byte> bytes_;
};

}  // namespace

std::unique_ptr<File> openFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw Error(ErrorKind::Io, "cannot open " + path + ": " + systemReason(errno));
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    int error = errno;
    ::close(fd);
    throw Error(ErrorKind::Io, "cannot open " + path + ": " + systemReason(error));
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    throw Error(ErrorKind::Io, "cannot open " + path + ": it is a folder");
  }
  // The pages are read in file order; let the kernel read ahead generously.
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  return std::make_unique<PosixFile>(fd, static_cast<std::uint64_t>(st.st_size), path);
}

std::unique_ptr<File> memoryFile(std::vector<std::byte> bytes) {
  return std::make_unique<MemoryFile>(std::move(bytes));
}

}  // namespace jet
