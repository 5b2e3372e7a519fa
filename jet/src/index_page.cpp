#include "index_page.h"

#include <algorithm>
#include <bit>

#include "bytes.h"
#include "index_format.h"
#include "jet/error.h"
#include "pager.h"

namespace jet {
namespace {

std::uint32_t bigEndian32(const std::byte* p) {
  return static_cast<std::uint32_t>(getU8(p)) << 24 | static_cast<std::uint32_t>(getU8(p + 1)) << 16 |
         static_cast<std::uint32_t>(getU8(p + 2)) << 8 | getU8(p + 3);
}

}  // namespace

void IndexContext::corrupt(std::uint32_t page, const std::string& what) const {
  throw Error(ErrorKind::Corrupt, "index page " + std::to_string(page) + " of table " + table +
                                      " (index " + index + ") " + what);
}

int compareEntries(std::span<const std::byte> keyA, std::uint32_t rowA, std::span<const std::byte> keyB,
                   std::uint32_t rowB) {
  const std::size_t n = std::min(keyA.size(), keyB.size());
  for (std::size_t i = 0; i < n; ++i)
    if (keyA[i] != keyB[i]) return keyA[i] < keyB[i] ? -1 : 1;
  if (keyA.size() != keyB.size()) return keyA.size() < keyB.size() ? -1 : 1;
  if (rowA != rowB) return rowA < rowB ? -1 : 1;
  return 0;
}

int compareKeyStart(std::span<const std::byte> key, std::span<const std::byte> target) {
  const std::size_t n = std::min(key.size(), target.size());
  for (std::size_t i = 0; i < n; ++i)
    if (key[i] != target[i]) return key[i] < target[i] ? -1 : 1;
  return key.size() < target.size() ? -1 : 0;
}

void IndexPage::load(Pager& pager, const IndexContext& context, std::uint32_t page) {
  const index::PageLayout& L = context.format == Format::Jet3 ? index::kJet3 : index::kJet4;
  page_.resize(static_cast<std::size_t>(pager.pageSize()));
  pager.read(page, page_);
  number_ = page;
  const std::byte* p = page_.data();
  const std::uint8_t kind = getU8(p);
  if (kind != index::kIntermediatePage && kind != index::kLeafPage) context.corrupt(page, "is not an index page");
  if (getU32(p + index::kOwnerOffset) != context.definitionPage)
    context.corrupt(page, "belongs to another table (the one defined on page " +
                              std::to_string(getU32(p + index::kOwnerOffset)) + ")");
  leaf_ = kind == index::kLeafPage;
  previous_ = getU32(p + L.previousPage);
  next_ = getU32(p + L.nextPage);
  tail_ = leaf_ ? 0 : getU32(p + L.tailPage);
  for (std::uint32_t link : {previous_, next_, tail_})
    if (link >= pager.pageCount())
      context.corrupt(page, "points to page " + std::to_string(link) + ", which lies outside the file");
  const std::size_t prefix = L.prefixLengthSize == 1 ? getU8(p + L.prefixLength) : getU16(p + L.prefixLength);

  // A bit of the mask marks where an entry ends; the first entry begins the
  // area. Entries after the first leave out the prefix they share with it.
  const std::size_t area = page_.size() - static_cast<std::size_t>(L.entries);
  const std::byte* data = p + L.entries;
  const std::size_t minimum = 1 + index::kRowPointerSize + (leaf_ ? 0 : index::kChildPointerSize);
  entryBytes_.clear();
  entries_.clear();
  std::size_t start = 0;
  for (std::size_t byte = 0; byte < static_cast<std::size_t>(L.entryMaskSize); ++byte) {
    for (unsigned bits = getU8(p + L.entryMask + byte); bits != 0; bits &= bits - 1) {
      const std::size_t bit = byte * 8 + static_cast<std::size_t>(std::countr_zero(bits));
      if (bit > area) context.corrupt(page, "marks an entry that runs past the end of the page");
      if (bit == start) context.corrupt(page, "marks an empty entry");
      const std::size_t stored = bit - start;
      if (entries_.empty() && prefix > stored)
        context.corrupt(page, "claims its entries share " + std::to_string(prefix) + " bytes, more than its first entry has");
      const std::size_t shared = entries_.empty() ? 0 : prefix;
      const std::size_t length = shared + stored;
      if (length > area) context.corrupt(page, "holds an entry longer than a page");
      if (length < minimum) context.corrupt(page, "holds an entry too short to be one");
      const std::size_t offset = entryBytes_.size();
      entryBytes_.resize(offset + shared);
      std::copy_n(entryBytes_.begin(), shared, entryBytes_.begin() + static_cast<std::ptrdiff_t>(offset));
      entryBytes_.insert(entryBytes_.end(), data + start, data + bit);

      Extent x;
      x.offset = offset;
      x.keyLength = length - index::kRowPointerSize - (leaf_ ? 0 : index::kChildPointerSize);
      const std::byte* e = entryBytes_.data() + offset;
      x.row = bigEndian32(e + x.keyLength);
      if (!leaf_) x.child = bigEndian32(e + x.keyLength + index::kRowPointerSize);
      if ((x.row >> 8) >= pager.pageCount() || (x.row >> 8) == 0)
        context.corrupt(page, "points to a row on page " + std::to_string(x.row >> 8) + ", which lies outside the file");
      if (!leaf_ && (x.child == 0 || x.child >= pager.pageCount()))
        context.corrupt(page, "points to page " + std::to_string(x.child) + ", which lies outside the file");
      entries_.push_back(x);
      start = bit;
    }
  }
  if (prefix > 0 && entries_.empty()) context.corrupt(page, "claims a shared prefix but holds no entries");
  for (std::size_t i = 1; i < entries_.size(); ++i) {
    const Entry before = entry(i - 1), e = entry(i);
    if (compareEntries(before.key, before.row, e.key, e.row) >= 0) context.corrupt(page, "holds its entries out of order");
  }
}

IndexPage::Entry IndexPage::entry(std::size_t i) const {
  const Extent& x = entries_[i];
  return {{entryBytes_.data() + x.offset, x.keyLength}, x.row, x.child};
}

}  // namespace jet
