#include "sample_change.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "bytes.h"
#include "change.h"
#include "header.h"
#include "lock.h"
#include "open.h"
#include "page_format.h"
#include "row_format.h"
#include "transaction.h"

namespace jettest {

void changePages(jet::MemoryFileSystem& files, const std::function<void(jet::Transaction&)>& work,
                 std::size_t spillAfter) {
  auto file = files.open(kMemoryPath, jet::OpenMode::Write);
  const jet::Header header = jet::readHeader(*file, kMemoryPath);
  jet::Pager pager(std::move(file), header, kMemoryPath);
  jet::Lock::Options options;
  options.wait = std::chrono::milliseconds(0);
  jet::Lock lock(&files, pager.file(), kMemoryPath, options);
  lock.beginChange();
  jet::Transaction transaction(pager, lock, files, kMemoryPath, header.format, spillAfter);
  work(transaction);
  transaction.commit();
  lock.endChange();
}

void addFixture(jet::MemoryFileSystem& files, const std::vector<std::byte>& bytes) { files.add(kMemoryPath, bytes); }

std::unique_ptr<jet::Database> openForChanges(jet::MemoryFileSystem& files, jet::OpenOptions options) {
  options.write = true;
  options.lockWait = std::chrono::milliseconds(0);
  return jet::openDatabase(files, kMemoryPath, options);
}

// The unused bytes of a data page: between its row offsets and its rows.
std::span<std::byte> freeArea(std::span<std::byte> page, jet::Format format) {
  const jet::row::PageLayout& L = format == jet::Format::Jet3 ? jet::row::kJet3Page : jet::row::kJet4Page;
  const std::size_t rows = jet::getU16(page.data() + L.rowCount);
  const std::size_t start = static_cast<std::size_t>(L.rowTable) + 2 * rows;
  std::size_t end = page.size();
  for (std::size_t r = 0; r < rows && start < page.size(); ++r)
    end = std::min<std::size_t>(end, jet::getU16(page.data() + L.rowTable + 2 * r) & jet::row::kOffsetMask);
  return start < end ? page.subspan(start, end - start) : std::span<std::byte>();
}

void rewritePages(jet::Transaction& transaction, int count, int added) {
  int rewritten = 0;
  for (std::uint32_t page = 3; page < transaction.pageCount() && rewritten < count; ++page) {
    const jet::PageRef ref = transaction.read(page);
    if (jet::getU8(ref.bytes().data()) != jet::page::kData) continue;
    jet::MutablePage changed = transaction.write(page);
    const std::span<std::byte> unused = freeArea(changed.bytes(), transaction.format());
    if (unused.size() < 16) continue;
    for (std::byte& b : unused) b ^= std::byte{0x5A};
    ++rewritten;
  }
  if (rewritten < count) throw std::runtime_error("the file has too few data pages to rewrite");
  for (int i = 0; i < added; ++i) {
    jet::MutablePage page = transaction.allocate();
    for (std::size_t b = 0; b < page.bytes().size(); ++b) page.bytes()[b] = static_cast<std::byte>(page.number() + b);
  }
}

void rewritePages(jet::Database& db, int count, int added) {
  db.write([&](jet::Change& change) { rewritePages(jet::transactionOf(change), count, added); });
}

void CrashOutcomes::add(const std::vector<std::byte>& file) {
  if (file == original_)
    ++olds_;
  else if (file == changed_)
    ++news_;
  else
    ADD_FAILURE() << "the file holds neither the old nor the new content";
}

}  // namespace jettest
