#pragma once

#include <cstdint>

// The table definition (TDEF): one page or a chain of pages holding a
// table's columns and indexes. See jet/doc/table_definition.md.
namespace jet::tdef {

inline constexpr int kNextPageOffset = 4;      // 4 bytes: the next page of the chain, 0 at its end
inline constexpr int kContinuationStart = 8;   // a continuation page's content starts here

inline constexpr std::uint8_t kUserTable = 0x4E;    // 'N'
inline constexpr std::uint8_t kSystemTable = 0x53;  // 'S'

// Positions that differ between Jet 3 and Jet 4. Column entry fields are
// offsets inside one column entry; index fields inside one index entry.
struct Layout {
  int rowCount;
  int tableType;
  int maxColumns;
  int varColumnCount;
  int columnCount;
  int logicalIndexCount;
  int realIndexCount;
  int usageMap;        // a page-row pointer to the map of the table's data pages
  int freeSpaceMap;
  int realIndexCounts;  // start of one row-count entry per real index
  int realIndexCountSize;

  int columnEntrySize;
  int columnType;
  int columnNumber;     // the null-mask bit, deleted columns included
  int columnVarIndex;   // entry in a row's variable-length offset table
  int columnPrecision;  // Numeric
  int columnScale;      // Numeric
  int columnFlags;
  int columnFixedOffset;  // offset among the fixed-length data of a row
  int columnLength;

  int nameLengthSize;  // names are prefixed with their length in bytes

  int realIndexEntrySize;
  int realIndexColumnsStart;  // 10 slots of (column number, order)
  int realIndexUsageMap;
  int realIndexFirstPage;
  int realIndexFlags;

  int logicalIndexEntrySize;
  int logicalIndexNumber;
  int logicalIndexRealIndex;   // which real index holds the entries
  int logicalIndexRelatedIndex;
  int logicalIndexRelatedTable;
  int logicalIndexType;

  int columnSortOrder;         // Text and Memo: 2 bytes, the locale of the sort order
  int columnSortOrderVersion;  // Jet 4: 1 byte; -1 where the format has none
  int logicalIndexRelatedType;     // 1 when this table is the relationship's primary side
  int logicalIndexCascadeUpdates;  // 1: updates of the key cascade
  int logicalIndexCascadeDeletes;  // 1: deletes cascade; 2: they set the foreign key to null
  int realIndexUniqueCount;        // in a real index's row-count entry: 4 bytes
};

inline constexpr Layout kJet3 = {
    .rowCount = 12, .tableType = 20, .maxColumns = 21, .varColumnCount = 23, .columnCount = 25,
    .logicalIndexCount = 27, .realIndexCount = 31, .usageMap = 35, .freeSpaceMap = 39,
    .realIndexCounts = 43, .realIndexCountSize = 8,
    .columnEntrySize = 18, .columnType = 0, .columnNumber = 1, .columnVarIndex = 3, .columnPrecision = 11,
    .columnScale = 12, .columnFlags = 13, .columnFixedOffset = 14, .columnLength = 16,
    .nameLengthSize = 1,
    .realIndexEntrySize = 39, .realIndexColumnsStart = 0, .realIndexUsageMap = 30, .realIndexFirstPage = 34,
    .realIndexFlags = 38,
    .logicalIndexEntrySize = 20, .logicalIndexNumber = 0, .logicalIndexRealIndex = 4,
    .logicalIndexRelatedIndex = 9, .logicalIndexRelatedTable = 13, .logicalIndexType = 19,
    .columnSortOrder = 9, .columnSortOrderVersion = -1,
    .logicalIndexRelatedType = 8, .logicalIndexCascadeUpdates = 17, .logicalIndexCascadeDeletes = 18,
    .realIndexUniqueCount = 4,
};

inline constexpr Layout kJet4 = {
    .rowCount = 16, .tableType = 40, .maxColumns = 41, .varColumnCount = 43, .columnCount = 45,
    .logicalIndexCount = 47, .realIndexCount = 51, .usageMap = 55, .freeSpaceMap = 59,
    .realIndexCounts = 63, .realIndexCountSize = 12,
    .columnEntrySize = 25, .columnType = 0, .columnNumber = 5, .columnVarIndex = 7, .columnPrecision = 11,
    .columnScale = 12, .columnFlags = 15, .columnFixedOffset = 21, .columnLength = 23,
    .nameLengthSize = 2,
    .realIndexEntrySize = 52, .realIndexColumnsStart = 4, .realIndexUsageMap = 34, .realIndexFirstPage = 38,
    .realIndexFlags = 46,
    .logicalIndexEntrySize = 28, .logicalIndexNumber = 4, .logicalIndexRealIndex = 8,
    .logicalIndexRelatedIndex = 13, .logicalIndexRelatedTable = 17, .logicalIndexType = 23,
    .columnSortOrder = 11, .columnSortOrderVersion = 14,
    .logicalIndexRelatedType = 12, .logicalIndexCascadeUpdates = 21, .logicalIndexCascadeDeletes = 22,
    .realIndexUniqueCount = 4,
};

// Types Access uses in its own system tables that hold plain bytes: 0x0D of
// variable length, 0x11 of fixed length. Read as Binary.
inline constexpr std::uint8_t kUnknownBinary = 0x0D;
inline constexpr std::uint8_t kUnknownFixedBinary = 0x11;
// Types of the later formats (attachments and multiple values, big integers,
// extended dates); any other number is damage.
inline constexpr std::uint8_t kFirstAceType = 0x12;
inline constexpr std::uint8_t kLastAceType = 0x14;

// Column flags.
inline constexpr std::uint8_t kFixedLength = 0x01;
inline constexpr std::uint8_t kAutoLong = 0x04;
inline constexpr std::uint8_t kAutoGuid = 0x40;

// Real index: 10 column slots of (2-byte column number, 1-byte order).
inline constexpr int kIndexColumnSlots = 10;
inline constexpr int kIndexColumnSlotSize = 3;
inline constexpr std::uint16_t kUnusedIndexColumn = 0xFFFF;
inline constexpr std::uint8_t kAscending = 0x01;

// Real index flags.
inline constexpr std::uint8_t kUniqueIndex = 0x01;
inline constexpr std::uint8_t kIgnoreNullsIndex = 0x02;
inline constexpr std::uint8_t kRequiredIndex = 0x08;

// Logical index types.
inline constexpr std::uint8_t kPrimaryKeyIndex = 0x01;
inline constexpr std::uint8_t kForeignKeyIndex = 0x02;

// A relationship's index: the other side, and what cascades.
inline constexpr std::uint32_t kNoRelatedIndex = 0xFFFFFFFF;
inline constexpr std::uint8_t kPrimarySide = 0x01;
inline constexpr std::uint8_t kCascadeUpdates = 0x01;
inline constexpr std::uint8_t kCascadeDeletes = 0x01;
inline constexpr std::uint8_t kCascadeNull = 0x02;

}  // namespace jet::tdef
