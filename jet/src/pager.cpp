#include "pager.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "jet/error.h"
#include "page_format.h"
#include "rc4.h"

namespace jet {
namespace {

// Enough for a long value's pages and a definition's, small enough that the
// engine's memory stays flat.
constexpr std::size_t kCachedPages = 16;

// Changed pages go to the file in runs of up to this many, one write each.
constexpr std::size_t kPagesPerWrite = 64;

// The number of a cache frame that holds no page.
constexpr std::uint32_t kNoPage = 0xFFFFFFFF;

std::uint32_t largestPageCount(Format format, int pageSize) {
  const std::uint64_t bytes = format == Format::Jet3 ? page::kLargestFileJet3 : page::kLargestFileJet4;
  return static_cast<std::uint32_t>(bytes / static_cast<std::uint64_t>(pageSize));
}

}  // namespace

Pager::Pager(std::unique_ptr<File> file, const Header& header, std::string name)
    : file_(std::move(file)), name_(std::move(name)) {
  reload(header);
}

Pager::~Pager() = default;

void Pager::reload(const Header& header) {
  if (!changed_.empty()) throw std::logic_error("a pager can't reload while it holds changes");
  format_ = header.format;
  pageSize_ = header.pageSize;
  encodingKey_ = header.encodingKey;
  cache_.clear();
  stamp_ = file_->stamp();
  const std::uint64_t pages = stamp_.size / static_cast<std::uint64_t>(pageSize_);
  pageCount_ = pages > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(pages);
  page0_.resize(static_cast<std::size_t>(pageSize_));
  file_->read(0, page0_);
  toggleHeaderMask(page0_, format_);
}

bool Pager::changedOnDisk() const {
  const FileStamp now = file_->stamp();
  return !(now == stamp_) || !stamp_.settled;
}

void Pager::settle() { stamp_ = file_->stamp(); }

void Pager::checkPage(std::uint32_t page) const {
  if (page >= pageCount_)
    throw Error(ErrorKind::Corrupt, "page " + std::to_string(page) + " lies outside the file (it has " +
                                        std::to_string(pageCount_) + " pages)");
}

void Pager::decode(std::uint32_t page, std::span<std::byte> bytes) const {
  if (page == 0) {
    toggleHeaderMask(bytes, format_);
  } else if (encodingKey_ != 0) {
    const std::uint32_t k = encodingKey_ ^ page;
    const std::array<std::uint8_t, 4> key = {static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(k >> 8),
                                             static_cast<std::uint8_t>(k >> 16), static_cast<std::uint8_t>(k >> 24)};
    rc4(key, bytes);
  }
}

void Pager::readStored(std::uint32_t page, std::span<std::byte> out) const {
  file_->read(static_cast<std::uint64_t>(page) * static_cast<std::uint64_t>(pageSize_),
              out.first(static_cast<std::size_t>(pageSize_)));
}

void Pager::readFromFile(std::uint32_t page, std::span<std::byte> out) const {
  if (page == 0) {
    std::memcpy(out.data(), page0_.data(), page0_.size());
    return;
  }
  readStored(page, out);
  decode(page, out.first(static_cast<std::size_t>(pageSize_)));
}

void Pager::read(std::uint32_t page, std::span<std::byte> out) const {
  checkPage(page);
  if (auto found = changed_.find(page); found != changed_.end()) {
    std::memcpy(out.data(), found->second->bytes.data(), found->second->bytes.size());
    return;
  }
  readFromFile(page, out);
}

std::shared_ptr<Frame> Pager::cached(std::uint32_t page) {
  checkPage(page);
  ++clock_;
  if (auto found = changed_.find(page); found != changed_.end()) return found->second;
  std::shared_ptr<Frame>* victim = nullptr;
  for (auto& frame : cache_) {
    if (frame->page == page) {
      frame->lastUse = clock_;
      return frame;
    }
    // A frame only the cache holds can be reused; a pinned one stays.
    if (frame.use_count() == 1 && (!victim || frame->lastUse < (*victim)->lastUse)) victim = &frame;
  }
  if (cache_.size() < kCachedPages || !victim) {
    cache_.push_back(std::make_shared<Frame>());
    victim = &cache_.back();
  }
  std::shared_ptr<Frame> frame = *victim;
  frame->page = kNoPage;  // until its bytes are read
  frame->bytes.resize(static_cast<std::size_t>(pageSize_));
  readFromFile(page, frame->bytes);
  frame->page = page;
  frame->lastUse = clock_;
  // Frames added while every other was pinned go once they are free.
  if (cache_.size() > kCachedPages)
    std::erase_if(cache_, [&](const std::shared_ptr<Frame>& f) { return f != frame && f.use_count() == 1; });
  return frame;
}

std::span<const std::byte> Pager::fetch(std::uint32_t page) { return cached(page)->bytes; }

PageRef Pager::pin(std::uint32_t page) { return PageRef(cached(page)); }

MutablePage Pager::change(std::uint32_t page) {
  std::shared_ptr<Frame> frame = cached(page);
  if (!changed_.contains(page)) {
    // The frame moves from the cache to the changes: handles already held
    // see the changes made through it.
    std::erase(cache_, frame);
    changed_.emplace(page, frame);
  }
  return MutablePage(std::move(frame));
}

MutablePage Pager::append() {
  if (pageCount_ >= largestPageCount(format_, pageSize_))
    throw Error(ErrorKind::Unsupported, name_ + " can't grow any further: it has reached the largest size an Access " +
                                            "database can have.");
  auto frame = std::make_shared<Frame>();
  frame->page = pageCount_++;
  frame->bytes.assign(static_cast<std::size_t>(pageSize_), std::byte{0});
  changed_.emplace(frame->page, frame);
  return MutablePage(std::move(frame));
}

std::vector<std::uint32_t> Pager::changedPages() const {
  std::vector<std::uint32_t> pages;
  pages.reserve(changed_.size());
  for (const auto& entry : changed_) pages.push_back(entry.first);
  return pages;
}

std::vector<std::uint32_t> Pager::unheldChangedPages() const {
  std::vector<std::uint32_t> pages;
  for (const auto& [page, frame] : changed_)
    if (frame.use_count() == 1) pages.push_back(page);
  return pages;
}

void Pager::store(std::span<const std::uint32_t> pages) {
  const auto size = static_cast<std::size_t>(pageSize_);
  std::vector<std::byte> run;
  std::uint32_t runStart = 0;
  auto flush = [&] {
    if (run.empty()) return;
    file_->write(static_cast<std::uint64_t>(runStart) * size, run);
    run.clear();
  };
  for (std::uint32_t page : pages) {
    auto found = changed_.find(page);
    if (found == changed_.end()) continue;
    if (!run.empty() && (page != runStart + run.size() / size || run.size() == kPagesPerWrite * size)) flush();
    if (run.empty()) runStart = page;
    const std::vector<std::byte>& bytes = found->second->bytes;
    run.insert(run.end(), bytes.begin(), bytes.end());
    decode(page, std::span(run).last(size));  // the same transform encodes
  }
  flush();
  // Stored, the pages are plain cached pages again.
  for (std::uint32_t page : pages) {
    auto found = changed_.find(page);
    if (found == changed_.end()) continue;
    if (page == 0) page0_ = found->second->bytes;
    if (cache_.size() < kCachedPages) cache_.push_back(found->second);
    changed_.erase(found);
  }
}

void Pager::dropChanges(std::uint32_t pageCount) {
  changed_.clear();
  // Pages stored before a change was abandoned may linger in the cache, and
  // in page 0's copy: the next look at the file reloads them.
  cache_.clear();
  pageCount_ = pageCount;
  stamp_.settled = false;
}

}  // namespace jet
