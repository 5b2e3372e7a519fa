#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "jet/database.h"

namespace jet {

class Pager;

// Which index a page belongs to, for the checks and the error texts.
struct IndexContext {
  Format format = Format::Jet4;
  std::string table;
  std::string index;
  std::uint32_t definitionPage = 0;  // every page of the index names it as its owner

  // Throws Error(Corrupt) with the bare detail: "index page <page> of
  // table <table> (index <index>) <what>".
  [[noreturn]] void corrupt(std::uint32_t page, const std::string& what) const;
};

// Orders entries as Access does: by key bytes (a key that is the start of
// another coming first), then by the row they stand for.
int compareEntries(std::span<const std::byte> keyA, std::uint32_t rowA, std::span<const std::byte> keyB,
                   std::uint32_t rowB);

// How a key compares with `target` over the target's length: a key that
// starts with the target compares equal.
int compareKeyStart(std::span<const std::byte> key, std::span<const std::byte> target);

// One index page, read and checked, its entries whole again (the page keeps
// the start the entries share only once). Holds its own copy of the page;
// load() replaces it.
class IndexPage {
 public:
  struct Entry {
    std::span<const std::byte> key;
    std::uint32_t row = 0;    // page << 8 | row, as a bookmark
    std::uint32_t child = 0;  // intermediate pages: the page below
  };

  // Reads `page` and checks its kind, its owner, its links and its entries
  // (their extent, their prefix and their order). Throws Error(Corrupt).
  void load(Pager& pager, const IndexContext& context, std::uint32_t page);

  std::uint32_t number() const { return number_; }
  bool leaf() const { return leaf_; }
  std::uint32_t previous() const { return previous_; }
  std::uint32_t next() const { return next_; }
  std::uint32_t tail() const { return tail_; }  // 0 for none
  std::size_t size() const { return entries_.size(); }
  Entry entry(std::size_t i) const;

 private:
  struct Extent {
    std::size_t offset = 0;  // in entryBytes_
    std::size_t keyLength = 0;
    std::uint32_t row = 0;
    std::uint32_t child = 0;
  };

  std::vector<std::byte> page_;
  std::vector<std::byte> entryBytes_;  // every entry whole, one after the other
  std::vector<Extent> entries_;
  std::uint32_t number_ = 0;
  bool leaf_ = true;
  std::uint32_t previous_ = 0;
  std::uint32_t next_ = 0;
  std::uint32_t tail_ = 0;
};

}  // namespace jet
