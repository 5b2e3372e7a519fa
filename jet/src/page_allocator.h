#pragma once

#include <cstdint>

namespace jet {

class Transaction;

// Where a change finds pages, and where it gives them back: the database's
// map of free pages (usage_maps.md). A page is taken from the map when one
// is free inside the file, else added at the end of the file, which moves
// the map's window along when the window doesn't reach it. Borrows the
// transaction.
class PageAllocator {
 public:
  explicit PageAllocator(Transaction& transaction) : transaction_(transaction) {}

  // A page no one uses, now marked used: a free page of the file, or the
  // number of the page past its end, which the caller adds. Throws Error.
  std::uint32_t take();
  // Marks the page free where the map reaches it. Throws Error.
  void giveBack(std::uint32_t page);

 private:
  Transaction& transaction_;
};

}  // namespace jet
