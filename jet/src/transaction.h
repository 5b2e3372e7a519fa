#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "jet/database.h"
#include "pager.h"

namespace jet {

class FileSystem;
class Journal;
class Lock;
class PageAllocator;

// One atomic change to a database file, at the level of pages: the pages
// it reads see its own changes; the pages it changes, adds and frees reach
// the file together at commit(), or not at all.
//
// Commit journals the original bytes of every changed page in
// name-journal (synced, with its folder), stores the pages (the readers'
// lock held, so no one reads a half-stored change) and syncs the file;
// then it wipes the journal's header and syncs that, the moment the change
// becomes final, and removes the journal. A change that grows past `spillAfter` changed pages
// stores the pages it holds early, once their originals are journaled, so
// its memory stays flat; the journal then undoes them if the change is
// abandoned. A transaction destroyed without commit(), or whose commit
// fails, leaves the file as it was (if even the undoing fails, the journal
// stays behind and the next open undoes the change) and the pager holding
// no change.
//
// The caller holds the change lock (Lock::beginChange) for the whole of
// the transaction, and has recovered any journal left behind and reloaded
// the pager if another program changed the file. The transaction borrows
// the pager, the lock and the file system.
class Transaction {
 public:
  static constexpr std::size_t kSpillAfter = 2048;

  // `database` is the file's path, for the journal's name and error texts.
  // Throws Error(ReadOnly) when the file can't be written, Error(Corrupt)
  // when it ends inside a page.
  Transaction(Pager& pager, Lock& lock, FileSystem& files, std::string database, Format format,
              std::size_t spillAfter = kSpillAfter);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  Format format() const { return format_; }
  int pageSize() const { return pager_.pageSize(); }
  std::uint32_t pageCount() const { return pager_.pageCount(); }

  // The page as this change sees it. Throws Error.
  PageRef read(std::uint32_t page);
  // The page, to change: it is stored at commit. Throws Error.
  MutablePage write(std::uint32_t page);
  // A page for new content, zeroed: a free page of the database's free-page
  // map, or one added at the end of the file. Throws Error.
  MutablePage allocate();
  // Gives a page back: zeroed, and marked free where the free-page map
  // reaches it (a page it doesn't reach stays unused until the file is
  // compacted). The caller has taken it out of every map that listed it.
  void free(std::uint32_t page);

  // Makes the change durable. Throws Error; the file is then as it was.
  void commit();

 private:
  PageAllocator& allocator();
  void journal(std::span<const std::uint32_t> pages);
  // Journals the pages' originals, synced, then writes the pages into the
  // file, the readers kept out.
  void store(std::span<const std::uint32_t> pages);
  void spillIfLarge();
  void abandon() noexcept;

  Pager& pager_;
  Lock& lock_;
  FileSystem& files_;
  std::string database_;
  Format format_;
  std::size_t spillAfter_;
  std::uint32_t originalPages_;
  std::uint64_t originalSize_;
  std::unique_ptr<Journal> journal_;
  std::unique_ptr<PageAllocator> allocator_;
  bool touched_ = false;  // pages stored in the file
  bool storing_ = false;  // the readers' lock held exclusively
  bool done_ = false;
};

}  // namespace jet
