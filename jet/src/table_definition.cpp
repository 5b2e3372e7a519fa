#include "table_definition.h"

#include <algorithm>
#include <unordered_set>

#include "bytes.h"
#include "jet/error.h"
#include "page_format.h"
#include "pager.h"
#include "table_definition_format.h"
#include "text_codec.h"

namespace jet {
namespace {

// Reads fields of a definition and turns every read past its end into a
// precise error.
class DefinitionReader {
 public:
  DefinitionReader(const std::vector<std::byte>& bytes, std::string table)
      : bytes_(bytes), table_(std::move(table)) {}

  const std::byte* at(std::size_t offset, std::size_t length) const {
    if (offset > bytes_.size() || length > bytes_.size() - offset)
      throw Error(ErrorKind::Corrupt, "the definition of table " + table_ + " is cut short");
    return bytes_.data() + offset;
  }
  std::uint8_t u8(std::size_t offset) const { return getU8(at(offset, 1)); }
  std::uint16_t u16(std::size_t offset) const { return getU16(at(offset, 2)); }
  std::uint32_t u32(std::size_t offset) const { return getU32(at(offset, 4)); }

  [[noreturn]] void fail(const std::string& what) const {
    throw Error(ErrorKind::Corrupt, "the definition of table " + table_ + " " + what);
  }

 private:
  const std::vector<std::byte>& bytes_;
  std::string table_;
};

bool knownType(std::uint8_t type) {
  return (type >= static_cast<std::uint8_t>(ColumnType::Boolean) && type <= static_cast<std::uint8_t>(ColumnType::Memo)) ||
         type == static_cast<std::uint8_t>(ColumnType::Guid) || type == static_cast<std::uint8_t>(ColumnType::Numeric);
}

// Joins the pages of a definition: the first whole, the others from their
// content start on.
std::vector<std::byte> readChain(Pager& pager, std::uint32_t first, const std::string& table) {
  std::vector<std::byte> bytes;
  std::vector<std::byte> page(static_cast<std::size_t>(pager.pageSize()));
  std::unordered_set<std::uint32_t> seen;
  for (std::uint32_t p = first; p != 0;) {
    if (!seen.insert(p).second)
      throw Error(ErrorKind::Corrupt, "the definition of table " + table + " loops at page " + std::to_string(p));
    pager.read(p, page);
    if (getU8(page.data()) != page::kTableDefinition)
      throw Error(ErrorKind::Corrupt, "page " + std::to_string(p) + " should hold the definition of table " + table +
                                          " but is of another kind");
    auto from = page.begin() + (bytes.empty() ? 0 : tdef::kContinuationStart);
    bytes.insert(bytes.end(), from, page.end());
    p = getU32(page.data() + tdef::kNextPageOffset);
  }
  return bytes;
}

std::u16string readName(const DefinitionReader& r, std::size_t& pos, int lengthSize, const TextCodec& codec) {
  std::size_t length = lengthSize == 1 ? r.u8(pos) : r.u16(pos);
  pos += static_cast<std::size_t>(lengthSize);
  std::u16string name = codec.decode(std::span(r.at(pos, length), length));
  pos += length;
  return name;
}

}  // namespace

int fixedSizeOf(ColumnType type) {
  switch (type) {
    case ColumnType::Byte: return 1;
    case ColumnType::Integer: return 2;
    case ColumnType::Long: return 4;
    case ColumnType::Currency: return 8;
    case ColumnType::Single: return 4;
    case ColumnType::Double: return 8;
    case ColumnType::DateTime: return 8;
    case ColumnType::Guid: return 16;
    case ColumnType::Numeric: return 17;
    default: return 0;
  }
}

TableInfo readTableDefinition(Pager& pager, const TextCodec& codec, Format format, std::uint32_t page,
                              std::u16string_view name) {
  const std::string table = toUtf8(name);
  const std::vector<std::byte> bytes = readChain(pager, page, table);
  const DefinitionReader r(bytes, table);
  const tdef::Layout& L = format == Format::Jet3 ? tdef::kJet3 : tdef::kJet4;

  TableInfo info;
  info.def.name = table;
  info.definitionPage = page;
  info.def.rowCount = r.u32(static_cast<std::size_t>(L.rowCount));
  info.systemTable = r.u8(static_cast<std::size_t>(L.tableType)) == tdef::kSystemTable;
  info.varColumnCount = r.u16(static_cast<std::size_t>(L.varColumnCount));
  const std::size_t columnCount = r.u16(static_cast<std::size_t>(L.columnCount));
  const std::size_t logicalIndexCount = r.u32(static_cast<std::size_t>(L.logicalIndexCount));
  const std::size_t realIndexCount = r.u32(static_cast<std::size_t>(L.realIndexCount));
  info.usageMap = r.u32(static_cast<std::size_t>(L.usageMap));
  // Counts beyond what the definition's bytes could hold are corruption;
  // checking them first keeps the loops below from running wild.
  if (realIndexCount > bytes.size() / static_cast<std::size_t>(L.realIndexCountSize) ||
      logicalIndexCount > bytes.size() / static_cast<std::size_t>(L.logicalIndexEntrySize) ||
      columnCount > bytes.size() / static_cast<std::size_t>(L.columnEntrySize))
    r.fail("has impossible column or index counts");

  // Column entries, then their names in the same order.
  std::size_t pos = static_cast<std::size_t>(L.realIndexCounts) + realIndexCount * static_cast<std::size_t>(L.realIndexCountSize);
  struct Entry {
    Column column;
    ColumnStorage storage;
  };
  std::vector<Entry> entries(columnCount);
  for (Entry& e : entries) {
    const std::byte* c = r.at(pos, static_cast<std::size_t>(L.columnEntrySize));
    std::uint8_t type = getU8(c + L.columnType);
    if (type == tdef::kUnknownBinary || type == tdef::kUnknownFixedBinary)
      type = static_cast<std::uint8_t>(ColumnType::Binary);
    if (type >= tdef::kFirstAceType && type <= tdef::kLastAceType)
      throw Error(ErrorKind::Unsupported, "Table " + table + " has a column of type " + std::to_string(type) +
                                              ", which this engine can't read.");
    if (!knownType(type)) r.fail("gives a column the unknown type " + std::to_string(type));
    std::uint8_t flags = getU8(c + L.columnFlags);
    e.storage.type = static_cast<ColumnType>(type);
    e.storage.number = getU16(c + L.columnNumber);
    e.storage.varIndex = getU16(c + L.columnVarIndex);
    e.storage.fixedOffset = getU16(c + L.columnFixedOffset);
    e.storage.length = getU16(c + L.columnLength);
    e.storage.fixed = (flags & tdef::kFixedLength) != 0;
    int typeSize = fixedSizeOf(e.storage.type);
    if (e.storage.fixed && typeSize != 0) e.storage.length = static_cast<std::uint16_t>(typeSize);

    e.column.type = e.storage.type;
    e.column.number = e.storage.number;
    e.column.size = getU16(c + L.columnLength);
    if (e.column.type == ColumnType::Text && format == Format::Jet4) e.column.size /= 2;
    if (e.column.type == ColumnType::Text || e.column.type == ColumnType::Memo) {
      e.storage.sortOrder.locale = getU16(c + L.columnSortOrder);
      if (L.columnSortOrderVersion >= 0) e.storage.sortOrder.version = getU8(c + L.columnSortOrderVersion);
    }
    if (e.column.type == ColumnType::Numeric) {
      e.column.precision = getU8(c + L.columnPrecision);
      e.column.scale = getU8(c + L.columnScale);
      if (e.column.scale > 28 || e.column.precision > 28) r.fail("gives a decimal column an impossible precision");
    }
    // The flags mean autonumber only on the types that can have one; Jet 3
    // sets 0x40 on other columns for reasons of its own.
    e.column.autoNumber = (e.column.type == ColumnType::Long && (flags & tdef::kAutoLong) != 0) ||
                          (e.column.type == ColumnType::Guid && (flags & tdef::kAutoGuid) != 0);
    e.column.fixedLength = e.storage.fixed;
    e.column.nullable = e.column.type != ColumnType::Boolean;
    pos += static_cast<std::size_t>(L.columnEntrySize);
  }
  for (Entry& e : entries) e.column.name = toUtf8(readName(r, pos, L.nameLengthSize, codec));

  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.storage.number < b.storage.number; });
  for (std::size_t i = 1; i < entries.size(); ++i)
    if (entries[i].storage.number == entries[i - 1].storage.number) r.fail("gives two columns the same number");
  for (Entry& e : entries) {
    info.def.columns.push_back(std::move(e.column));
    info.storage.push_back(e.storage);
  }
  // Columns are in number order now: a binary search finds an index's
  // column, which keeps a definition of thousands of indexes quick to read.
  auto positionOf = [&](std::uint16_t number) -> int {
    auto found = std::ranges::lower_bound(info.storage, number, {}, &ColumnStorage::number);
    if (found == info.storage.end() || found->number != number) r.fail("indexes a column that doesn't exist");
    return static_cast<int>(found - info.storage.begin());
  };

  // Real indexes hold the entries; logical indexes name them and say what
  // they are. Several logical indexes may share one real index.
  struct RealIndex {
    std::vector<IndexColumn> columns;
    std::uint8_t flags = 0;
    IndexStorage storage;
  };
  std::vector<RealIndex> real(realIndexCount);
  for (std::size_t i = 0; i < real.size(); ++i)
    real[i].storage.uniqueEntryCount =
        r.u32(static_cast<std::size_t>(L.realIndexCounts + L.realIndexUniqueCount) + i * static_cast<std::size_t>(L.realIndexCountSize));
  for (RealIndex& ri : real) {
    const std::byte* e = r.at(pos, static_cast<std::size_t>(L.realIndexEntrySize));
    for (int slot = 0; slot < tdef::kIndexColumnSlots; ++slot) {
      const std::byte* s = e + L.realIndexColumnsStart + slot * tdef::kIndexColumnSlotSize;
      std::uint16_t number = getU16(s);
      if (number == tdef::kUnusedIndexColumn) continue;
      ri.columns.push_back({positionOf(number), (getU8(s + 2) & tdef::kAscending) != 0});
    }
    ri.storage.usageMap = getU32(e + L.realIndexUsageMap);
    ri.storage.firstPage = getU32(e + L.realIndexFirstPage);
    ri.flags = getU8(e + L.realIndexFlags);
    ri.storage.flags = ri.flags;
    pos += static_cast<std::size_t>(L.realIndexEntrySize);
  }
  struct Logical {
    Index index;
    std::uint32_t number = 0;
    IndexStorage storage;
  };
  std::vector<Logical> logical(logicalIndexCount);
  for (Logical& li : logical) {
    const std::byte* e = r.at(pos, static_cast<std::size_t>(L.logicalIndexEntrySize));
    li.number = getU32(e + L.logicalIndexNumber);
    std::uint32_t realNumber = getU32(e + L.logicalIndexRealIndex);
    if (realNumber >= real.size()) r.fail("refers to an index that doesn't exist");
    const RealIndex& ri = real[realNumber];
    std::uint8_t type = getU8(e + L.logicalIndexType);
    li.index.columns = ri.columns;
    li.index.primaryKey = type == tdef::kPrimaryKeyIndex;
    li.index.foreignKey = type == tdef::kForeignKeyIndex;
    li.index.unique = li.index.primaryKey || (ri.flags & tdef::kUniqueIndex) != 0;
    li.index.ignoreNulls = (ri.flags & tdef::kIgnoreNullsIndex) != 0;
    li.index.required = (ri.flags & tdef::kRequiredIndex) != 0;
    li.storage = ri.storage;
    li.storage.number = li.number;
    li.storage.realIndex = realNumber;
    const std::uint32_t relatedIndex = getU32(e + L.logicalIndexRelatedIndex);
    if (li.index.foreignKey && relatedIndex != tdef::kNoRelatedIndex) {
      IndexReference& ref = li.storage.reference.emplace();
      ref.relatedIndex = relatedIndex;
      ref.relatedTable = getU32(e + L.logicalIndexRelatedTable);
      ref.primarySide = getU8(e + L.logicalIndexRelatedType) == tdef::kPrimarySide;
      ref.cascadeUpdates = (getU8(e + L.logicalIndexCascadeUpdates) & tdef::kCascadeUpdates) != 0;
      ref.cascadeDeletes = (getU8(e + L.logicalIndexCascadeDeletes) & tdef::kCascadeDeletes) != 0;
      ref.cascadeNull = (getU8(e + L.logicalIndexCascadeDeletes) & tdef::kCascadeNull) != 0;
    }
    pos += static_cast<std::size_t>(L.logicalIndexEntrySize);
  }
  for (Logical& li : logical) li.index.name = toUtf8(readName(r, pos, L.nameLengthSize, codec));
  std::stable_sort(logical.begin(), logical.end(), [](const Logical& a, const Logical& b) { return a.number < b.number; });
  for (Logical& li : logical) {
    info.def.indexes.push_back(std::move(li.index));
    info.indexStorage.push_back(li.storage);
  }
  return info;
}

}  // namespace jet
