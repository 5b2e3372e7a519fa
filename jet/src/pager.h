#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "file.h"
#include "header.h"

namespace jet {

// A page held in memory: decoded bytes, shared by the pager and every
// handle to it.
struct Frame {
  std::uint32_t page = 0;
  std::vector<std::byte> bytes;
  std::uint64_t lastUse = 0;
};

// A page pinned for reading: the bytes stay in memory, and valid, while the
// handle lives (changes made to the page meanwhile show through it). Held
// handles keep their pages from being evicted; hold few, and briefly.
class PageRef {
 public:
  std::uint32_t number() const { return frame_->page; }
  std::span<const std::byte> bytes() const { return frame_->bytes; }

 private:
  friend class Pager;
  explicit PageRef(std::shared_ptr<Frame> frame) : frame_(std::move(frame)) {}
  std::shared_ptr<Frame> frame_;
};

// A page pinned for changing, handed out by a Transaction: the page is
// recorded as changed, and its bytes stay valid while the handle lives.
class MutablePage {
 public:
  std::uint32_t number() const { return frame_->page; }
  std::span<std::byte> bytes() const { return frame_->bytes; }

 private:
  friend class Pager;
  explicit MutablePage(std::shared_ptr<Frame> frame) : frame_(std::move(frame)) {}
  std::shared_ptr<Frame> frame_;
};

// The file as a sequence of pages: checks every page number against the
// file's size, decodes pages of an encoded database (and encodes them again
// on the way back), keeps a few recently read pages for the random reads of
// long values and definitions, and holds the pages a change has changed
// until they are stored. Page 0 is served unmasked. Readers see the changed
// pages, so a change reads what it has written.
class Pager {
 public:
  Pager(std::unique_ptr<File> file, const Header& header, std::string name);
  ~Pager();

  int pageSize() const { return pageSize_; }
  // The pages of the file, and those a change has added.
  std::uint32_t pageCount() const { return pageCount_; }
  const std::string& name() const { return name_; }
  File& file() { return *file_; }

  // Throws Error(Corrupt) naming the page when it lies outside the file.
  void checkPage(std::uint32_t page) const;

  // Reads page `page` into `out` (pageSize() bytes), decoded. Throws Error.
  void read(std::uint32_t page, std::span<std::byte> out) const;

  // The page, decoded, from the cache. The span stays valid until the next
  // call of fetch() or pin(). Throws Error.
  std::span<const std::byte> fetch(std::uint32_t page);

  // The page, decoded, pinned while the handle lives. Throws Error.
  PageRef pin(std::uint32_t page);

  // Whether another program changed the file since this pager looked (or
  // can't be sure it didn't): its cached pages may be stale.
  bool changedOnDisk() const;
  // Forgets every cached page and takes the file as it is now: its page 0,
  // its size. Not during a change. Throws Error.
  void reload(const Header& header);
  // Records the file as this pager left it, after a change of its own.
  void settle();

  // For a Transaction. The changed pages are held until stored or dropped.
  MutablePage change(std::uint32_t page);
  // A new page past the end of the file, zeroed.
  MutablePage append();
  std::vector<std::uint32_t> changedPages() const;
  std::size_t changedCount() const { return changed_.size(); }
  // The changed pages no handle holds, which can be stored early.
  std::vector<std::uint32_t> unheldChangedPages() const;
  // The bytes of a page as the file stores them (masked, encoded).
  void readStored(std::uint32_t page, std::span<std::byte> out) const;
  // Writes changed pages to the file, encoded, and stops holding them (no
  // sync). Pages in `pages` that are not changed are passed over.
  void store(std::span<const std::uint32_t> pages);
  // Drops every held change; the page count returns to `pageCount`.
  void dropChanges(std::uint32_t pageCount);

 private:
  std::shared_ptr<Frame> cached(std::uint32_t page);
  void decode(std::uint32_t page, std::span<std::byte> bytes) const;
  void readFromFile(std::uint32_t page, std::span<std::byte> out) const;

  std::unique_ptr<File> file_;
  std::string name_;
  Format format_;
  int pageSize_;
  std::uint32_t pageCount_;
  std::uint32_t encodingKey_;
  std::vector<std::byte> page0_;  // unmasked
  FileStamp stamp_;
  std::vector<std::shared_ptr<Frame>> cache_;  // recently read pages
  std::map<std::uint32_t, std::shared_ptr<Frame>> changed_;
  std::uint64_t clock_ = 0;
};

}  // namespace jet
