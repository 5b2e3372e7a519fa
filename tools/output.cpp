#include "output.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace tabrix::cli {

Output::Output(int fd, std::size_t capacity) : fd_(fd), buffer_(capacity) {}

// Whatever is still buffered is written by an explicit flush(); a destructor
// can't report a failed write.
Output::~Output() = default;

void Output::put(std::string_view text) {
  while (!text.empty()) {
    if (used_ == buffer_.size()) flush();
    std::size_t n = std::min(text.size(), buffer_.size() - used_);
    std::memcpy(buffer_.data() + used_, text.data(), n);
    used_ += n;
    text.remove_prefix(n);
  }
}

void Output::flush() {
  std::size_t done = 0;
  while (done < used_) {
    ssize_t n = ::write(fd_, buffer_.data() + done, used_ - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error(std::string("cannot write the output: ") + std::strerror(errno));
    }
    done += static_cast<std::size_t>(n);
  }
  used_ = 0;
}

}  // namespace tabrix::cli
