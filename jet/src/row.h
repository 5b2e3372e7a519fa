#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "jet/database.h"
#include "table_definition.h"

namespace jet {

// Where a row lies on its data page.
struct RowLocation {
  std::uint16_t start = 0;
  std::uint16_t end = 0;  // one past the row's last byte
  bool deleted = false;
  bool overflow = false;
  bool inBounds = false;  // the bytes lie within the page's row area (a deleted row's need not)
};

// The data page helpers check the page's row table against the page size.
// `pageNumber` names the page in error texts.
int rowCountOf(std::span<const std::byte> page, Format format, std::uint32_t pageNumber);
RowLocation locateRow(std::span<const std::byte> page, Format format, int row, std::uint32_t pageNumber);
// Throws Error(Corrupt) unless the row lies within its page's row area.
void requireInBounds(const RowLocation& location, std::uint32_t pageNumber, int row);

// One row's bytes cracked into its column count, null mask and
// variable-length offsets, so that a column's value can be found without
// decoding the others. Holds pointers into the row; reset() it for each row.
class RowView {
 public:
  // Throws Error(Corrupt) when the row's own counts don't fit in it.
  void reset(Format format, std::span<const std::byte> row, std::uint16_t tableVarColumns, std::uint32_t pageNumber);

  // Not null: the column is in the row and its null-mask bit is set. For a
  // Boolean column this bit is the value.
  bool present(const ColumnStorage& column) const {
    return column.number < columnCount_ &&
           (std::to_integer<unsigned>(nullMask_[column.number / 8]) >> (column.number % 8) & 1u) != 0;
  }

  // The stored bytes of a present column's value; nothing when the row was
  // written before a variable-length column was added (a null). Throws
  // Error(Corrupt) when they fall outside the row.
  std::optional<std::span<const std::byte>> valueBytes(const ColumnStorage& column) const;

 private:
  [[noreturn]] void corrupt(const std::string& what) const;
  void readJet3Offsets();

  Format format_ = Format::Jet4;
  const std::byte* row_ = nullptr;
  std::size_t size_ = 0;
  std::uint32_t page_ = 0;
  std::uint16_t columnCount_ = 0;
  const std::byte* nullMask_ = nullptr;
  std::size_t countSize_ = 2;
  std::size_t varCount_ = 0;
  std::size_t dataEnd_ = 0;          // where the variable-length data must end
  const std::byte* varTable_ = nullptr;  // Jet 4: the last entry of the offset table
  std::uint16_t jet3Offsets_[257] = {};  // Jet 3: offsets made absolute with the jump table
};

}  // namespace jet
