#include "crafted.h"

#include <algorithm>
#include <stdexcept>

#include "anatomy.h"
#include "bytes.h"
#include "file_bytes.h"
#include "long_value_format.h"
#include "page_format.h"
#include "row_format.h"
#include "table_definition_format.h"
#include "usage_map_format.h"

namespace jettest {
namespace {

const jet::row::PageLayout& pageLayout(jet::Format format) {
  return format == jet::Format::Jet3 ? jet::row::kJet3Page : jet::row::kJet4Page;
}

const jet::tdef::Layout& definitionLayout(jet::Format format) {
  return format == jet::Format::Jet3 ? jet::tdef::kJet3 : jet::tdef::kJet4;
}

void appendU16(std::vector<std::byte>& bytes, std::uint16_t value) {
  bytes.push_back(static_cast<std::byte>(value));
  bytes.push_back(static_cast<std::byte>(value >> 8));
}

// A data page of `owner` holding `rows`, stacked from the page's end.
std::vector<std::byte> dataPage(jet::Format format, std::size_t pageSize, std::uint32_t owner,
                                const std::vector<std::vector<std::byte>>& rows,
                                const std::vector<std::uint16_t>& flags) {
  const jet::row::PageLayout& L = pageLayout(format);
  std::vector<std::byte> page(pageSize);
  page[0] = static_cast<std::byte>(jet::page::kData);
  page[1] = std::byte{0x01};
  putU32(page, jet::row::kOwnerOffset, owner);
  putU16(page, static_cast<std::size_t>(L.rowCount), static_cast<std::uint16_t>(rows.size()));
  std::size_t end = pageSize;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const std::size_t start = end - rows[r].size();
    if (start < static_cast<std::size_t>(L.rowTable) + 2 * rows.size()) throw std::runtime_error("too many rows for a page");
    std::copy(rows[r].begin(), rows[r].end(), page.begin() + static_cast<std::ptrdiff_t>(start));
    putU16(page, static_cast<std::size_t>(L.rowTable) + 2 * r, static_cast<std::uint16_t>(start | flags[r]));
    end = start;
  }
  putU16(page, jet::row::kFreeSpaceOffset,
         static_cast<std::uint16_t>(end - static_cast<std::size_t>(L.rowTable) - 2 * rows.size()));
  return page;
}

// The bytes of a table definition, its pages joined.
std::vector<std::byte> definitionBytes(const std::vector<std::byte>& file, std::size_t pageSize, std::uint32_t first) {
  std::vector<std::byte> bytes;
  for (std::uint32_t p = first; p != 0;) {
    const auto page = file.begin() + static_cast<std::ptrdiff_t>(p * pageSize);
    bytes.insert(bytes.end(), page + (bytes.empty() ? 0 : jet::tdef::kContinuationStart),
                 page + static_cast<std::ptrdiff_t>(pageSize));
    p = jet::getU32(&*page + jet::tdef::kNextPageOffset);
  }
  return bytes;
}

// Writes a definition's bytes over its first page and into pages added at
// the end of the file.
void storeDefinition(std::vector<std::byte>& file, std::size_t pageSize, std::uint32_t first,
                     std::vector<std::byte> bytes) {
  putU32(bytes, 8, static_cast<std::uint32_t>(bytes.size()));  // the definition's length
  std::vector<std::byte> rest(bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), pageSize)), bytes.end());
  bytes.resize(pageSize);
  std::uint32_t previous = first;
  std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(first * pageSize));
  putU32(file, first * pageSize + jet::tdef::kNextPageOffset, 0);
  for (std::size_t at = 0; at < rest.size(); at += pageSize - jet::tdef::kContinuationStart) {
    const auto number = static_cast<std::uint32_t>(file.size() / pageSize);
    std::vector<std::byte> page(pageSize);
    page[0] = static_cast<std::byte>(jet::page::kTableDefinition);
    page[1] = std::byte{0x01};
    const std::size_t n = std::min(rest.size() - at, pageSize - jet::tdef::kContinuationStart);
    std::copy_n(rest.begin() + static_cast<std::ptrdiff_t>(at), n, page.begin() + jet::tdef::kContinuationStart);
    file.insert(file.end(), page.begin(), page.end());
    putU32(file, previous * pageSize + jet::tdef::kNextPageOffset, number);
    previous = number;
  }
}

}  // namespace

std::vector<std::byte> overflowChain(std::vector<std::byte> file, const std::string& table, int pages,
                                     int rowsPerPage) {
  Anatomy anatomy(file);
  const jet::Format format = anatomy.format();
  const auto pageSize = static_cast<std::size_t>(anatomy.pageSize());
  const std::uint32_t owner = anatomy.definitionPage(table);
  const Anatomy::Span first = anatomy.row(table, 0);
  const std::vector<std::byte> data(file.begin() + static_cast<std::ptrdiff_t>(first.offset),
                                    file.begin() + static_cast<std::ptrdiff_t>(first.offset + first.length));
  const Anatomy::Span map = anatomy.pointedRow(anatomy.table(table).usageMap);
  if (static_cast<int>((map.length - jet::usage::kInlineBitmap) * 8) < pages)
    throw std::runtime_error("the table's page map is too small for the chain");

  const auto base = static_cast<std::uint32_t>(file.size() / pageSize);
  for (int k = 0; k < pages; ++k) {
    const bool last = k == pages - 1;
    std::vector<std::vector<std::byte>> rows;
    std::vector<std::uint16_t> flags;
    for (int r = 0; r < rowsPerPage; ++r) {
      if (last) {
        rows.push_back(data);
        flags.push_back(0);
        continue;
      }
      std::vector<std::byte> pointer(4);
      putU32(pointer, 0, (base + static_cast<std::uint32_t>(k) + 1) << 8 | static_cast<std::uint32_t>(r));
      rows.push_back(pointer);
      flags.push_back(jet::row::kOverflow);
    }
    auto page = dataPage(format, pageSize, owner, rows, flags);
    file.insert(file.end(), page.begin(), page.end());
  }

  std::fill_n(file.begin() + static_cast<std::ptrdiff_t>(map.offset), map.length, std::byte{0});
  file[map.offset] = static_cast<std::byte>(jet::usage::kInline);
  putU32(file, map.offset + jet::usage::kInlineFirstPage, base);
  for (int k = 0; k < pages; ++k)
    file[map.offset + jet::usage::kInlineBitmap + static_cast<std::size_t>(k / 8)] |= static_cast<std::byte>(1u << (k % 8));
  return file;
}

std::vector<std::byte> lyingLongValue(std::vector<std::byte> file, const std::string& table,
                                      const std::string& column, std::uint32_t length) {
  const Anatomy::Span value = Anatomy(file).value(table, column, 0);
  const std::uint32_t word = jet::getU32(&file[value.offset + jet::lval::kLengthOffset]);
  if ((word & jet::lval::kKindMask) != 0) throw std::runtime_error("the value is not a chain of parts");
  putU32(file, value.offset + jet::lval::kLengthOffset, length & jet::lval::kLengthMask);
  return file;
}

std::vector<std::byte> manyIndexes(std::vector<std::byte> file, const std::string& table, int count) {
  Anatomy anatomy(file);
  const jet::Format format = anatomy.format();
  const jet::tdef::Layout& L = definitionLayout(format);
  const auto pageSize = static_cast<std::size_t>(anatomy.pageSize());
  const std::uint32_t first = anatomy.definitionPage(table);
  const jet::TableInfo info = anatomy.table(table);
  const std::vector<std::byte> old = definitionBytes(file, pageSize, first);
  auto at = [&](std::size_t offset) { return old.begin() + static_cast<std::ptrdiff_t>(offset); };
  auto u16 = [&](std::size_t offset) { return jet::getU16(&old[offset]); };
  auto u32 = [&](std::size_t offset) { return jet::getU32(&old[offset]); };

  // The definition's parts, in the order they are stored.
  const std::size_t columns = u16(static_cast<std::size_t>(L.columnCount));
  const std::size_t logical = u32(static_cast<std::size_t>(L.logicalIndexCount));
  const std::size_t real = u32(static_cast<std::size_t>(L.realIndexCount));
  const std::size_t countsEnd = static_cast<std::size_t>(L.realIndexCounts) + real * static_cast<std::size_t>(L.realIndexCountSize);
  const std::size_t columnsEnd = countsEnd + columns * static_cast<std::size_t>(L.columnEntrySize);
  auto skipNames = [&](std::size_t offset, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k)
      offset += static_cast<std::size_t>(L.nameLengthSize) +
                (L.nameLengthSize == 1 ? std::to_integer<std::size_t>(old[offset]) : u16(offset));
    return offset;
  };
  const std::size_t namesEnd = skipNames(columnsEnd, columns);
  const std::size_t realEnd = namesEnd + real * static_cast<std::size_t>(L.realIndexEntrySize);
  const std::size_t logicalEnd = realEnd + logical * static_cast<std::size_t>(L.logicalIndexEntrySize);
  const std::size_t logicalNamesEnd = skipNames(logicalEnd, logical);

  std::vector<std::uint16_t> numbers;
  for (const auto& c : info.storage) numbers.push_back(c.number);
  std::vector<std::byte> realEntries, logicalEntries, names;
  for (int i = 0; i < count; ++i) {
    std::vector<std::byte> entry(static_cast<std::size_t>(L.realIndexEntrySize));
    for (int slot = 0; slot < jet::tdef::kIndexColumnSlots; ++slot) {
      const std::size_t s = static_cast<std::size_t>(L.realIndexColumnsStart + slot * jet::tdef::kIndexColumnSlotSize);
      const bool used = static_cast<std::size_t>(slot) < std::min<std::size_t>(numbers.size(), jet::tdef::kIndexColumnSlots);
      putU16(entry, s, used ? numbers[(static_cast<std::size_t>(i) + static_cast<std::size_t>(slot)) % numbers.size()]
                            : jet::tdef::kUnusedIndexColumn);
      entry[s + 2] = static_cast<std::byte>(used ? jet::tdef::kAscending : 0);
    }
    realEntries.insert(realEntries.end(), entry.begin(), entry.end());

    std::vector<std::byte> link(static_cast<std::size_t>(L.logicalIndexEntrySize));
    putU32(link, static_cast<std::size_t>(L.logicalIndexNumber), static_cast<std::uint32_t>(logical) + static_cast<std::uint32_t>(i));
    putU32(link, static_cast<std::size_t>(L.logicalIndexRealIndex), static_cast<std::uint32_t>(real) + static_cast<std::uint32_t>(i));
    logicalEntries.insert(logicalEntries.end(), link.begin(), link.end());

    const std::string name = "x" + std::to_string(i);
    if (L.nameLengthSize == 1) {
      names.push_back(static_cast<std::byte>(name.size()));
      for (char ch : name) names.push_back(static_cast<std::byte>(ch));
    } else {
      appendU16(names, static_cast<std::uint16_t>(2 * name.size()));
      for (char ch : name) appendU16(names, static_cast<std::uint8_t>(ch));
    }
  }

  std::vector<std::byte> bytes(old.begin(), at(countsEnd));
  putU32(bytes, static_cast<std::size_t>(L.logicalIndexCount), static_cast<std::uint32_t>(logical + static_cast<std::size_t>(count)));
  putU32(bytes, static_cast<std::size_t>(L.realIndexCount), static_cast<std::uint32_t>(real + static_cast<std::size_t>(count)));
  bytes.resize(bytes.size() + static_cast<std::size_t>(count) * static_cast<std::size_t>(L.realIndexCountSize));
  bytes.insert(bytes.end(), at(countsEnd), at(realEnd));
  bytes.insert(bytes.end(), realEntries.begin(), realEntries.end());
  bytes.insert(bytes.end(), at(realEnd), at(logicalEnd));
  bytes.insert(bytes.end(), logicalEntries.begin(), logicalEntries.end());
  bytes.insert(bytes.end(), at(logicalEnd), at(logicalNamesEnd));
  bytes.insert(bytes.end(), names.begin(), names.end());
  bytes.insert(bytes.end(), at(logicalNamesEnd), old.end());
  storeDefinition(file, pageSize, first, std::move(bytes));
  return file;
}

}  // namespace jettest
