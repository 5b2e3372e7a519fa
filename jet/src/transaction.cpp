#include "transaction.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "jet/error.h"
#include "journal.h"
#include "lock.h"
#include "page_allocator.h"

namespace jet {

Transaction::Transaction(Pager& pager, Lock& lock, FileSystem& files, std::string database, Format format,
                         std::size_t spillAfter)
    : pager_(pager),
      lock_(lock),
      files_(files),
      database_(std::move(database)),
      format_(format),
      spillAfter_(spillAfter),
      originalPages_(pager.pageCount()),
      originalSize_(pager.file().size()) {
  if (!pager_.file().writable()) throw Error(ErrorKind::ReadOnly, database_ + " can't be changed: it can only be read.");
  // Pages added past a piece of a page would overwrite bytes no journal
  // keeps: such a file is cut short, and not changed.
  if (originalSize_ % static_cast<std::uint64_t>(pager_.pageSize()) != 0)
    throw Error(ErrorKind::Corrupt, "it ends inside page " + std::to_string(originalPages_) + " (its size is " +
                                        std::to_string(originalSize_) + " bytes)");
}

Transaction::~Transaction() {
  if (!done_) abandon();
}

PageAllocator& Transaction::allocator() {
  if (!allocator_) allocator_ = std::make_unique<PageAllocator>(*this);
  return *allocator_;
}

PageRef Transaction::read(std::uint32_t page) {
  if (done_) throw std::logic_error("a transaction is used after it ended");
  return pager_.pin(page);
}

MutablePage Transaction::write(std::uint32_t page) {
  if (done_) throw std::logic_error("a transaction is used after it ended");
  MutablePage changed = pager_.change(page);
  spillIfLarge();
  return changed;
}

MutablePage Transaction::allocate() {
  const std::uint32_t page = allocator().take();
  if (page == pager_.pageCount()) {
    MutablePage added = pager_.append();
    spillIfLarge();
    return added;
  }
  MutablePage reused = write(page);
  std::ranges::fill(reused.bytes(), std::byte{0});
  return reused;
}

void Transaction::free(std::uint32_t page) {
  // Zeroed, a page a stale map still lists is no page of any table.
  std::ranges::fill(write(page).bytes(), std::byte{0});
  allocator().giveBack(page);
}

void Transaction::journal(std::span<const std::uint32_t> pages) {
  if (!journal_) journal_ = std::make_unique<Journal>(files_, database_, pager_.pageSize(), originalSize_);
  // Pages added by this change have no originals: cutting the file back to
  // its old size undoes them.
  std::vector<std::byte> stored(static_cast<std::size_t>(pager_.pageSize()));
  for (std::uint32_t page : pages) {
    if (page >= originalPages_ || journal_->holds(page)) continue;
    pager_.readStored(page, stored);
    journal_->add(page, stored);
  }
}

void Transaction::spillIfLarge() {
  if (pager_.changedCount() <= spillAfter_) return;
  std::vector<std::uint32_t> pages = pager_.unheldChangedPages();
  // Page 0's copy in the pager changes only with a whole change.
  std::erase(pages, 0u);
  store(pages);
}

void Transaction::store(std::span<const std::uint32_t> pages) {
  journal(pages);
  journal_->sync();
  if (!storing_) {
    lock_.beginStore();
    storing_ = true;
  }
  touched_ = true;
  pager_.store(pages);
}

void Transaction::commit() {
  if (done_) throw std::logic_error("a transaction is committed after it ended");
  try {
    const std::vector<std::uint32_t> pages = pager_.changedPages();
    if (!pages.empty()) store(pages);
    if (touched_) pager_.file().sync();
    pager_.settle();
    // The moment the change is final: a journal without its header undoes
    // nothing. Removing it is tidying; one left behind is removed at the
    // next open.
    if (journal_) journal_->wipe();
  } catch (...) {
    abandon();
    throw;
  }
  done_ = true;
  if (journal_) {
    try {
      journal_->remove();
    } catch (const Error&) {
      // The change is final all the same.
    }
    journal_.reset();
  }
  if (storing_) lock_.endStore();
}

void Transaction::abandon() noexcept {
  done_ = true;
  try {
    if (journal_) {
      if (touched_) journal_->rollBack(pager_.file());
      journal_->remove();
    }
  } catch (const Error&) {
    // The journal stays behind: the next look at the file rolls the change
    // back.
  }
  journal_.reset();
  pager_.dropChanges(originalPages_);
  if (storing_) lock_.endStore();
  storing_ = false;
}

}  // namespace jet
