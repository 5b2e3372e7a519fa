#include "usage_map.h"

#include <bit>

#include "bytes.h"
#include "jet/error.h"
#include "page_format.h"
#include "pager.h"
#include "row.h"
#include "row_format.h"
#include "usage_map_format.h"

namespace jet {

UsageMap::UsageMap(Pager& pager, Format format, std::uint32_t pointer, std::string owner) : owner_(std::move(owner)) {
  const std::uint32_t pageNumber = row::pointerPage(pointer);
  auto page = pager.fetch(pageNumber);
  if (getU8(page.data()) != page::kData)
    throw Error(ErrorKind::Corrupt, "the page map of table " + owner_ + " points to page " + std::to_string(pageNumber) +
                                        ", which is not a data page");
  RowLocation loc = locateRow(page, format, static_cast<int>(row::pointerRow(pointer)), pageNumber);
  if (loc.deleted) throw Error(ErrorKind::Corrupt, "the page map of table " + owner_ + " has been deleted");
  requireInBounds(loc, pageNumber, static_cast<int>(row::pointerRow(pointer)));
  map_.assign(page.begin() + loc.start, page.begin() + loc.end);
  if (map_.empty()) throw Error(ErrorKind::Corrupt, "the page map of table " + owner_ + " is empty");
  type_ = getU8(map_.data());
  if (type_ == usage::kInline) {
    if (map_.size() < usage::kInlineBitmap)
      throw Error(ErrorKind::Corrupt, "the page map of table " + owner_ + " is cut short");
  } else if (type_ == usage::kReference) {
    bitsPerPage_ = static_cast<std::size_t>(pager.pageSize() - usage::kBitmapPageStart) * 8;
  } else {
    throw Error(ErrorKind::Corrupt, "the page map of table " + owner_ + " is of unknown kind " + std::to_string(type_));
  }
}

bool UsageMap::nextInBitmap(const std::byte* bitmap, std::size_t bits, std::uint32_t base, std::uint32_t& page) {
  while (bit_ < bits) {
    unsigned byte = std::to_integer<unsigned>(bitmap[bit_ / 8]) >> (bit_ % 8);
    if (byte == 0) {
      bit_ = (bit_ / 8 + 1) * 8;
      continue;
    }
    bit_ += static_cast<std::size_t>(std::countr_zero(byte));
    std::uint64_t number = static_cast<std::uint64_t>(base) + bit_;
    ++bit_;
    if (number > 0xFFFFFFFFu)
      throw Error(ErrorKind::Corrupt, "the page map of table " + owner_ + " marks a page beyond any file");
    page = static_cast<std::uint32_t>(number);
    return true;
  }
  return false;
}

bool UsageMap::next(Pager& pager, std::uint32_t& page) {
  if (type_ == usage::kInline)
    return nextInBitmap(map_.data() + usage::kInlineBitmap, (map_.size() - usage::kInlineBitmap) * 8,
                        getU32(map_.data() + usage::kInlineFirstPage), page);

  const std::size_t entries = (map_.size() - usage::kReferenceList) / 4;
  while (bitmapIndex_ < entries) {
    if (!bitmapLoaded_) {
      std::uint32_t mapPage = getU32(map_.data() + usage::kReferenceList + 4 * bitmapIndex_);
      if (mapPage == 0) {
        ++bitmapIndex_;
        continue;
      }
      bitmap_.resize(static_cast<std::size_t>(pager.pageSize()));
      pager.read(mapPage, bitmap_);
      if (getU8(bitmap_.data()) != page::kUsageMap)
        throw Error(ErrorKind::Corrupt, "the page map of table " + owner_ + " refers to page " +
                                            std::to_string(mapPage) + ", which is not a page map");
      bitmapLoaded_ = true;
      bit_ = 0;
    }
    std::uint64_t base = static_cast<std::uint64_t>(bitmapIndex_) * bitsPerPage_;
    if (base > 0xFFFFFFFFu) throw Error(ErrorKind::Corrupt, "the page map of table " + owner_ + " is too long");
    if (nextInBitmap(bitmap_.data() + usage::kBitmapPageStart, bitsPerPage_, static_cast<std::uint32_t>(base), page))
      return true;
    bitmapLoaded_ = false;
    ++bitmapIndex_;
  }
  return false;
}

}  // namespace jet
