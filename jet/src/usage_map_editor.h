#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pager.h"

namespace jet {

class Transaction;

// Changes a usage map inside a change: the map of a table's pages, of the
// pages of a table with room for rows, or the database's map of free pages
// (see usage_maps.md). The map row lives where it is, its length fixed; an
// inline map covers a window of pages from its first page on, a reference
// map as many bitmap pages as its row has numbers for.
//
// The editor reads the map through the transaction on every call, so it
// always sees the change's own edits. It borrows the transaction.
class UsageMapEditor {
 public:
  // The map in the row `pointer` designates (a page-row pointer). `owner`
  // names the map's table in error texts. Throws Error(Corrupt).
  UsageMapEditor(Transaction& transaction, std::uint32_t pointer, std::string owner);

  bool isInline();
  // Whether the map has a bit for the page: inside an inline map's window,
  // or in a bitmap page a reference map has.
  bool reaches(std::uint32_t page);
  bool contains(std::uint32_t page);
  // The first marked page from `from` on, below `end`.
  std::optional<std::uint32_t> find(std::uint32_t from, std::uint32_t end);

  // Marks the page. An inline map whose window doesn't reach it moves the
  // window when its marks and the page fit in one; otherwise it becomes a
  // reference map, taking bitmap pages from the transaction. Throws
  // Error(Corrupt) when a reference map has no room for the page.
  void add(std::uint32_t page);
  // Unmarks the page; a page the map doesn't reach is unmarked already.
  void remove(std::uint32_t page);

  // Sets the bit of a page the map reaches.
  void set(std::uint32_t page, bool marked);
  // Moves an inline map's window to start at `first` (a multiple of 8):
  // marks inside both windows stay, pages only the new one reaches are
  // marked when `markNew` says so. Marks the new window can't hold are lost.
  void moveWindow(std::uint32_t first, const std::function<bool(std::uint32_t)>& markNew);
  // The pages an inline map's window covers: [first, first + size).
  std::uint32_t windowFirst();
  std::uint32_t windowSize();

 private:
  // The map row, and the page it lies in, held while the row is used.
  struct Row {
    PageRef page;
    std::span<const std::byte> bytes;
  };
  struct MutableRow {
    MutablePage page;
    std::span<std::byte> bytes;
  };
  Row row();
  MutableRow changeRow();
  std::size_t references(const Row& r) const;
  std::uint32_t bitsPerBitmapPage() const;
  // A reference map's bitmap page, checked.
  PageRef bitmap(std::uint32_t number);
  std::vector<std::uint32_t> marked();
  void promote();
  [[noreturn]] void corrupt(const std::string& what) const;

  Transaction& transaction_;
  std::uint32_t page_;
  int row_;
  std::string owner_;
};
}  // namespace jet
