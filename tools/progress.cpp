#include "progress.h"

#include <unistd.h>

namespace tabrix::cli {

Progress::Progress(int fd) : fd_(fd), enabled_(::isatty(fd) == 1) {}

void Progress::startTable(const std::string& name, std::uint64_t expectedRows) {
  table_ = name;
  rows_ = 0;
  expected_ = expectedRows;
  indexing_ = false;
  if (enabled_) show();
}

void Progress::maybeShow() {
  if (std::chrono::steady_clock::now() - shown_ >= std::chrono::milliseconds(200)) show();
}

void Progress::show() {
  std::string line = "\r\033[K" + table_ + ": " + std::to_string(rows_);
  if (indexing_)
    line += " rows, building keys and indexes";
  else if (expected_ >= rows_ && expected_ > 0)
    line += " of " + std::to_string(expected_) + " rows (" + std::to_string(rows_ * 100 / expected_) + "%)";
  else
    line += " rows";
  [[maybe_unused]] auto written = ::write(fd_, line.data(), line.size());  // a lost progress line harms nothing
  shown_ = std::chrono::steady_clock::now();
}

void Progress::indexing() {
  indexing_ = true;
  if (enabled_) show();
}

void Progress::endTable() {
  if (!enabled_) return;
  static constexpr char kClear[] = "\r\033[K";
  [[maybe_unused]] auto written = ::write(fd_, kClear, sizeof kClear - 1);
}

}  // namespace tabrix::cli
