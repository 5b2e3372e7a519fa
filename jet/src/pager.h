#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "header.h"

namespace jet {

class File;

// The file as a sequence of pages: checks every page number against the
// file's size, decodes pages of an encoded database, and keeps a few recently
// read pages for the random reads of long values and definitions. Page 0 is
// served unmasked.
class Pager {
 public:
  Pager(std::unique_ptr<File> file, const Header& header, std::string name);
  ~Pager();

  int pageSize() const { return pageSize_; }
  std::uint32_t pageCount() const { return pageCount_; }
  const std::string& name() const { return name_; }

  // Throws Error(Corrupt) naming the page when it lies outside the file.
  void checkPage(std::uint32_t page) const;

  // Reads page `page` into `out` (pageSize() bytes), decoded. Throws Error.
  void read(std::uint32_t page, std::span<std::byte> out) const;

  // The page, decoded, from the cache. The span stays valid until the next
  // call of fetch(). Throws Error.
  std::span<const std::byte> fetch(std::uint32_t page);

 private:
  struct Slot {
    std::uint32_t page = 0;
    std::uint64_t lastUse = 0;
    bool valid = false;
  };

  std::unique_ptr<File> file_;
  std::string name_;
  int pageSize_;
  std::uint32_t pageCount_;
  std::uint32_t encodingKey_;
  std::vector<std::byte> page0_;  // unmasked
  std::vector<Slot> slots_;
  std::vector<std::byte> cache_;
  std::uint64_t clock_ = 0;
};

}  // namespace jet
