#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "index_page.h"

namespace jet {

class Pager;

// Walks the entries of one index in key order: descends from the root to a
// leaf, then follows the leaves' links. Holds one page at a time (and the
// last entry of the page before, to check the order across pages). The
// entries are raw: key bytes and the row they stand for. Borrows the pager.
class IndexReader {
 public:
  IndexReader(Pager& pager, IndexContext context, std::uint32_t rootPage);

  // Before the first entry.
  void rewind();

  // Before the first entry whose key is at or after `key`; with `after`,
  // past every entry whose key starts with `key` too (a key of the first
  // columns only stands for all the keys it starts).
  void seek(std::span<const std::byte> key, bool after);

  // Onto the next entry; false past the last. Throws Error(Corrupt).
  bool next();

  // The current entry; valid after next() returned true, until it is called
  // again.
  std::span<const std::byte> key() const { return current_.key; }
  std::uint32_t row() const { return current_.row; }  // page << 8 | row

  const IndexContext& context() const { return context_; }
  std::uint32_t page() const { return page_.number(); }  // the page of the current entry

 private:
  void start();
  bool reaches(const IndexPage::Entry& entry) const;

  Pager& pager_;
  IndexContext context_;
  std::uint32_t root_;
  IndexPage page_;
  std::size_t nextEntry_ = 0;
  bool positioned_ = false;
  IndexPage::Entry current_;
  std::vector<std::byte> target_;  // what seek() asked for, until an entry reaches it
  bool after_ = false;
  bool seeking_ = false;
  std::uint32_t leavesWalked_ = 0;
  std::vector<std::byte> lastKey_;  // the last entry of the leaf before, to check the order across leaves
  std::uint32_t lastRow_ = 0;
  bool haveLast_ = false;
};

}  // namespace jet
