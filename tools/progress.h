#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace tabrix::cli {

// Shows on a terminal which table is being copied and how far it got, on
// one line rewritten in place, a few times a second. Where the stream is no
// terminal it shows nothing.
class Progress {
 public:
  explicit Progress(int fd);

  void startTable(const std::string& name, std::uint64_t expectedRows);
  void row() {
    if (enabled_ && (++rows_ & 1023) == 0) maybeShow();
  }
  // The rows are in; the target builds the keys and indexes.
  void indexing();
  void endTable();

 private:
  void maybeShow();
  void show();

  int fd_;
  bool enabled_;
  std::string table_;
  std::uint64_t rows_ = 0, expected_ = 0;
  bool indexing_ = false;
  std::chrono::steady_clock::time_point shown_;
};

}  // namespace tabrix::cli
