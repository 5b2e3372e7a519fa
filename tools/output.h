#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace tabrix::cli {

// Buffered writing to a file descriptor: text collects in a fixed buffer and
// goes out in large writes. Throws std::runtime_error when a write fails
// (a full disk, a closed pipe).
class Output {
 public:
  explicit Output(int fd, std::size_t capacity = 1 << 16);
  ~Output();
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  void put(char c) {
    if (used_ == buffer_.size()) flush();
    buffer_[used_++] = c;
  }
  void put(std::string_view text);

  // Room for `n` characters written directly at the returned pointer, then
  // committed with advance(n). The buffer grows when `n` exceeds it.
  char* reserve(std::size_t n) {
    if (buffer_.size() - used_ < n) {
      flush();
      if (buffer_.size() < n) buffer_.resize(n);
    }
    return buffer_.data() + used_;
  }
  void advance(std::size_t n) { used_ += n; }

  void flush();

 private:
  int fd_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
};

}  // namespace tabrix::cli
