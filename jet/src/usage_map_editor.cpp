#include "usage_map_editor.h"

#include <algorithm>
#include <bit>

#include "bytes.h"
#include "jet/error.h"
#include "page_format.h"
#include "row.h"
#include "row_format.h"
#include "transaction.h"
#include "usage_map_format.h"

namespace jet {
namespace {

bool bit(std::span<const std::byte> bitmap, std::size_t index) {
  return (std::to_integer<unsigned>(bitmap[index / 8]) >> (index % 8) & 1u) != 0;
}

void setBit(std::span<std::byte> bitmap, std::size_t index, bool on) {
  const auto mask = static_cast<std::byte>(1u << (index % 8));
  bitmap[index / 8] = on ? bitmap[index / 8] | mask : bitmap[index / 8] & ~mask;
}

// The first set bit from `from` on, below `end`.
std::optional<std::size_t> nextBit(std::span<const std::byte> bitmap, std::size_t from, std::size_t end) {
  end = std::min(end, bitmap.size() * 8);
  while (from < end) {
    const unsigned byte = std::to_integer<unsigned>(bitmap[from / 8]) >> (from % 8);
    if (byte == 0) {
      from = (from / 8 + 1) * 8;
      continue;
    }
    from += static_cast<std::size_t>(std::countr_zero(byte));
    return from < end ? std::optional(from) : std::nullopt;
  }
  return std::nullopt;
}

void putU32(std::span<std::byte> bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::byte>(value >> (8 * i));
}

}  // namespace

UsageMapEditor::UsageMapEditor(Transaction& transaction, std::uint32_t pointer, std::string owner)
    : transaction_(transaction),
      page_(row::pointerPage(pointer)),
      row_(static_cast<int>(row::pointerRow(pointer))),
      owner_(std::move(owner)) {
  const Row r = row();
  const std::uint8_t type = getU8(r.bytes.data());
  if (type == usage::kInline ? r.bytes.size() < usage::kInlineBitmap
                             : type != usage::kReference || r.bytes.size() < usage::kReferenceList + 4)
    corrupt("is of unknown kind " + std::to_string(type) + " or cut short");
}

void UsageMapEditor::corrupt(const std::string& what) const {
  throw Error(ErrorKind::Corrupt, "the page map of " + owner_ + " " + what);
}

UsageMapEditor::Row UsageMapEditor::row() {
  Row r{transaction_.read(page_), {}};
  const std::span<const std::byte> page = r.page.bytes();
  if (getU8(page.data()) != page::kData) corrupt("lies on page " + std::to_string(page_) + ", which is no data page");
  const RowLocation loc = locateRow(page, transaction_.format(), row_, page_);
  if (loc.deleted) corrupt("has been deleted");
  requireInBounds(loc, page_, row_);
  r.bytes = page.subspan(loc.start, static_cast<std::size_t>(loc.end - loc.start));
  return r;
}

UsageMapEditor::MutableRow UsageMapEditor::changeRow() {
  const Row r = row();  // checked
  MutableRow m{transaction_.write(page_), {}};
  m.bytes = m.page.bytes().subspan(static_cast<std::size_t>(r.bytes.data() - r.page.bytes().data()), r.bytes.size());
  return m;
}

bool UsageMapEditor::isInline() { return getU8(row().bytes.data()) == usage::kInline; }

std::uint32_t UsageMapEditor::windowFirst() { return getU32(row().bytes.data() + usage::kInlineFirstPage); }

std::uint32_t UsageMapEditor::windowSize() {
  return static_cast<std::uint32_t>((row().bytes.size() - usage::kInlineBitmap) * 8);
}

std::size_t UsageMapEditor::references(const Row& r) const {
  return (r.bytes.size() - usage::kReferenceList) / 4;
}

std::uint32_t UsageMapEditor::bitsPerBitmapPage() const {
  return static_cast<std::uint32_t>((transaction_.pageSize() - usage::kBitmapPageStart) * 8);
}

PageRef UsageMapEditor::bitmap(std::uint32_t number) {
  PageRef page = transaction_.read(number);
  if (getU8(page.bytes().data()) != page::kUsageMap)
    corrupt("refers to page " + std::to_string(number) + ", which is not a page map");
  return page;
}

bool UsageMapEditor::reaches(std::uint32_t page) {
  const Row r = row();
  if (getU8(r.bytes.data()) == usage::kInline) {
    const std::uint32_t first = getU32(r.bytes.data() + usage::kInlineFirstPage);
    return page >= first && page - first < (r.bytes.size() - usage::kInlineBitmap) * 8;
  }
  const std::size_t k = page / bitsPerBitmapPage();
  return k < references(r) && getU32(r.bytes.data() + usage::kReferenceList + 4 * k) != 0;
}

bool UsageMapEditor::contains(std::uint32_t page) {
  if (!reaches(page)) return false;
  const Row r = row();
  if (getU8(r.bytes.data()) == usage::kInline)
    return bit(r.bytes.subspan(usage::kInlineBitmap), page - getU32(r.bytes.data() + usage::kInlineFirstPage));
  const std::uint32_t bits = bitsPerBitmapPage();
  const PageRef map = bitmap(getU32(r.bytes.data() + usage::kReferenceList + 4 * (page / bits)));
  return bit(map.bytes().subspan(usage::kBitmapPageStart), page % bits);
}

std::optional<std::uint32_t> UsageMapEditor::find(std::uint32_t from, std::uint32_t end) {
  const Row r = row();
  if (getU8(r.bytes.data()) == usage::kInline) {
    const std::uint32_t first = getU32(r.bytes.data() + usage::kInlineFirstPage);
    if (end <= first) return std::nullopt;
    const std::size_t start = from > first ? from - first : 0;
    if (auto found = nextBit(r.bytes.subspan(usage::kInlineBitmap), start, end - first))
      return first + static_cast<std::uint32_t>(*found);
    return std::nullopt;
  }
  const std::uint32_t bits = bitsPerBitmapPage();
  for (std::size_t k = from / bits; k < references(r) && k * bits < end; ++k) {
    const std::uint32_t number = getU32(r.bytes.data() + usage::kReferenceList + 4 * k);
    if (number == 0) continue;
    const auto base = static_cast<std::uint32_t>(k * bits);
    const PageRef map = bitmap(number);
    if (auto found = nextBit(map.bytes().subspan(usage::kBitmapPageStart), from > base ? from - base : 0, end - base))
      return base + static_cast<std::uint32_t>(*found);
  }
  return std::nullopt;
}

void UsageMapEditor::set(std::uint32_t page, bool marked) {
  MutableRow r = changeRow();
  if (getU8(r.bytes.data()) == usage::kInline) {
    setBit(r.bytes.subspan(usage::kInlineBitmap), page - getU32(r.bytes.data() + usage::kInlineFirstPage), marked);
    return;
  }
  const std::uint32_t bits = bitsPerBitmapPage();
  const std::uint32_t number = getU32(r.bytes.data() + usage::kReferenceList + 4 * (page / bits));
  bitmap(number);  // checked
  MutablePage map = transaction_.write(number);
  setBit(map.bytes().subspan(usage::kBitmapPageStart), page % bits, marked);
}

std::vector<std::uint32_t> UsageMapEditor::marked() {
  std::vector<std::uint32_t> pages;
  for (std::optional<std::uint32_t> p = find(0, UINT32_MAX); p; p = find(*p + 1, UINT32_MAX)) pages.push_back(*p);
  return pages;
}

void UsageMapEditor::add(std::uint32_t page) {
  if (reaches(page)) {
    set(page, true);
    return;
  }
  if (isInline()) {
    const std::vector<std::uint32_t> pages = marked();
    const std::uint32_t low = std::min(page, pages.empty() ? page : pages.front()) / 8 * 8;
    const std::uint32_t high = std::max(page, pages.empty() ? page : pages.back());
    if (high - low < windowSize()) {
      moveWindow(low, [](std::uint32_t) { return false; });
      set(page, true);
      return;
    }
    promote();
    if (reaches(page)) {
      set(page, true);
      return;
    }
  }
  // A reference map without the bitmap page for the page.
  const std::uint32_t bits = bitsPerBitmapPage();
  const std::size_t k = page / bits;
  if (k >= references(row())) corrupt("has no room for page " + std::to_string(page));
  MutablePage map = transaction_.allocate();
  map.bytes()[0] = static_cast<std::byte>(page::kUsageMap);
  map.bytes()[1] = std::byte{0x01};
  putU32(changeRow().bytes, usage::kReferenceList + 4 * k, map.number());
  setBit(map.bytes().subspan(usage::kBitmapPageStart), page % bits, true);
}

void UsageMapEditor::remove(std::uint32_t page) {
  if (reaches(page)) set(page, false);
}

void UsageMapEditor::moveWindow(std::uint32_t first, const std::function<bool(std::uint32_t)>& markNew) {
  MutableRow r = changeRow();
  const std::span<std::byte> bitmap = r.bytes.subspan(usage::kInlineBitmap);
  const std::vector<std::byte> old(bitmap.begin(), bitmap.end());
  const std::uint32_t oldFirst = getU32(r.bytes.data() + usage::kInlineFirstPage);
  const std::size_t size = bitmap.size() * 8;
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint64_t page = std::uint64_t{first} + i;
    const bool wasReached = page >= oldFirst && page - oldFirst < size;
    setBit(bitmap, i, wasReached ? bit(old, page - oldFirst) : markNew(static_cast<std::uint32_t>(page)));
  }
  putU32(r.bytes, usage::kInlineFirstPage, first);
}

void UsageMapEditor::promote() {
  const std::vector<std::uint32_t> pages = marked();
  {
    MutableRow r = changeRow();
    std::ranges::fill(r.bytes, std::byte{0});
    r.bytes[0] = static_cast<std::byte>(usage::kReference);
  }
  for (std::uint32_t page : pages) add(page);
}

}  // namespace jet
