#include "pager.h"

#include <array>
#include <cstring>

#include "file.h"
#include "jet/error.h"
#include "rc4.h"

namespace jet {
namespace {

// Enough for a long value's pages and a definition's, small enough that the
// engine's memory stays flat.
constexpr std::size_t kCachedPages = 16;

}  // namespace

Pager::Pager(std::unique_ptr<File> file, const Header& header, std::string name)
    : file_(std::move(file)),
      name_(std::move(name)),
      pageSize_(header.pageSize),
      encodingKey_(header.encodingKey),
      slots_(kCachedPages),
      cache_(kCachedPages * static_cast<std::size_t>(header.pageSize)) {
  std::uint64_t pages = file_->size() / static_cast<std::uint64_t>(pageSize_);
  pageCount_ = pages > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(pages);
  page0_.resize(static_cast<std::size_t>(pageSize_));
  file_->read(0, page0_);
  toggleHeaderMask(page0_, header.format);
}

Pager::~Pager() = default;

void Pager::checkPage(std::uint32_t page) const {
  if (page >= pageCount_)
    throw Error(ErrorKind::Corrupt, "page " + std::to_string(page) + " lies outside the file (it has " +
                                        std::to_string(pageCount_) + " pages)");
}

void Pager::read(std::uint32_t page, std::span<std::byte> out) const {
  checkPage(page);
  if (page == 0) {
    std::memcpy(out.data(), page0_.data(), page0_.size());
    return;
  }
  file_->read(static_cast<std::uint64_t>(page) * static_cast<std::uint64_t>(pageSize_),
              out.first(static_cast<std::size_t>(pageSize_)));
  if (encodingKey_ != 0) {
    std::uint32_t k = encodingKey_ ^ page;
    std::array<std::uint8_t, 4> key = {static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(k >> 8),
                                       static_cast<std::uint8_t>(k >> 16), static_cast<std::uint8_t>(k >> 24)};
    rc4(key, out.first(static_cast<std::size_t>(pageSize_)));
  }
}

std::span<const std::byte> Pager::fetch(std::uint32_t page) {
  const std::size_t size = static_cast<std::size_t>(pageSize_);
  ++clock_;
  std::size_t victim = 0;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    Slot& s = slots_[i];
    if (s.valid && s.page == page) {
      s.lastUse = clock_;
      return {cache_.data() + i * size, size};
    }
    if (s.lastUse < slots_[victim].lastUse) victim = i;  // never-used slots have 0
  }
  Slot& s = slots_[victim];
  s.valid = false;
  std::span<std::byte> out(cache_.data() + victim * size, size);
  read(page, out);
  s.page = page;
  s.valid = true;
  s.lastUse = clock_;
  return out;
}

}  // namespace jet
