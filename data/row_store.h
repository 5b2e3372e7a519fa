#pragma once

#include <QByteArrayView>
#include <QStringView>
#include <cstdint>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <vector>

#include "data/arena.h"
#include "data/driver.h"

namespace tabrix {

// The rows of an open dataset in memory, filled by a driver in one pass.
//
// Column by column: fixed-width values in typed arrays of their own width,
// text in one UTF-16 arena per column and bytes in one byte arena per column,
// each with the end offset of every value, and a null bit per value. A row
// changed by a post, and every row added after loading, lives in a small
// overlay of Cells instead. Rows are numbered in loading order and never
// removed: the dataset deletes a row by dropping it from its own order.
// Where the driver gives bookmarks, each row's is kept beside its values.
//
// Views handed out (text(), bytes()) stay valid until the store changes.
class RowStore final : public RowSink {
 public:
  // RowSink: the driver's result.
  void begin(const ResultInfo& info) override;
  void setNull(int column) override;
  void setBoolean(int column, bool value) override;
  void setInteger(int column, std::int64_t value) override;
  void setReal(int column, double value) override;
  void setGuid(int column, const Guid& value) override;
  void setText(int column, std::u16string_view value) override;
  void setBytes(int column, std::span<const std::byte> value) override;
  void setBookmark(Bookmark bookmark) override;
  void endRow() override;

  const ResultInfo& info() const { return m_info; }
  int columnCount() const { return static_cast<int>(m_columns.size()); }
  std::uint32_t rowCount() const { return m_loaded + m_added; }

  ValueKind kind(int column) const { return m_columns[column].kind; }
  bool isNull(std::uint32_t row, int column) const;
  bool boolean(std::uint32_t row, int column) const;
  std::int64_t integer(std::uint32_t row, int column) const;  // Integer and Currency
  double real(std::uint32_t row, int column) const;           // Real and DateTime
  Guid guid(std::uint32_t row, int column) const;
  QStringView text(std::uint32_t row, int column) const;
  QByteArrayView bytes(std::uint32_t row, int column) const;
  Cell cell(std::uint32_t row, int column) const;
  // Nothing where the driver gave none.
  std::optional<Bookmark> bookmark(std::uint32_t row) const;

  // Replaces the values of a row (one Cell per column); its bookmark stays.
  void replaceRow(std::uint32_t row, std::vector<Cell> cells);
  // Adds a row after the others and gives its number.
  std::uint32_t addRow(std::vector<Cell> cells, std::optional<Bookmark> bookmark = std::nullopt);

  // Gives back memory reserved for loading and not filled; for after the
  // driver's last row.
  void shrinkToFit();

  // The memory the store holds, in bytes.
  std::size_t memoryUsed() const;

 private:
  struct Column {
    ValueKind kind = ValueKind::Text;
    bool isUnsigned = false;
    int width = 0;                     // bytes per fixed-width value; 0 for text and bytes
    std::uint32_t count = 0;           // values loaded so far
    Arena<std::uint64_t> nulls;  // bit per row
    Arena<std::byte> fixed;
    Arena<char16_t> text;
    Arena<std::byte> blob;
    Arena<std::uint32_t> ends;  // end of each value in text or blob
  };

  Column& loading(int column);
  void appendFixed(Column& column, const void* value);
  void appendEnd(Column& column, std::size_t end);
  const std::vector<Cell>* overlay(std::uint32_t row) const;
  // Whether the row's values are those loaded into the columns, not in the
  // overlay: the accessors read these inline, as a million rows are walked.
  bool inColumns(std::uint32_t row) const {
    return row < m_loaded && (row >= m_replaced.size() || !m_replaced[row]);
  }
  const Cell& overlayCell(std::uint32_t row, int column) const { return (*overlay(row))[column]; }
  const std::byte* fixedAt(const Column& column, std::uint32_t row) const {
    return column.fixed.data() + std::size_t(row) * column.width;
  }

  ResultInfo m_info;
  std::vector<Column> m_columns;
  std::uint32_t m_loaded = 0;
  std::uint32_t m_added = 0;
  std::vector<bool> m_replaced;  // per loaded row: its values live in the overlay
  std::unordered_map<std::uint32_t, std::vector<Cell>> m_overlay;
  Arena<Bookmark> m_bookmarks;  // per loaded row, where the result has them
  std::unordered_map<std::uint32_t, Bookmark> m_addedBookmarks;
};

inline bool RowStore::isNull(std::uint32_t row, int column) const {
  if (!inColumns(row)) return tabrix::isNull(overlayCell(row, column));
  return (m_columns[column].nulls[row / 64] >> (row % 64)) & 1u;
}

inline bool RowStore::boolean(std::uint32_t row, int column) const {
  if (!inColumns(row)) {
    const bool* value = std::get_if<bool>(&overlayCell(row, column));
    return value && *value;
  }
  return *fixedAt(m_columns[column], row) != std::byte{0};
}

inline std::int64_t RowStore::integer(std::uint32_t row, int column) const {
  if (!inColumns(row)) {
    const std::int64_t* value = std::get_if<std::int64_t>(&overlayCell(row, column));
    return value ? *value : 0;
  }
  const Column& c = m_columns[column];
  const std::byte* at = fixedAt(c, row);
  switch (c.width) {
    case 1: {
      std::uint8_t v;
      std::memcpy(&v, at, 1);
      return c.isUnsigned ? std::int64_t(v) : std::int64_t(static_cast<std::int8_t>(v));
    }
    case 2: {
      std::uint16_t v;
      std::memcpy(&v, at, 2);
      return c.isUnsigned ? std::int64_t(v) : std::int64_t(static_cast<std::int16_t>(v));
    }
    case 4: {
      std::uint32_t v;
      std::memcpy(&v, at, 4);
      return c.isUnsigned ? std::int64_t(v) : std::int64_t(static_cast<std::int32_t>(v));
    }
    default: {
      std::int64_t v;
      std::memcpy(&v, at, 8);
      return v;
    }
  }
}

inline double RowStore::real(std::uint32_t row, int column) const {
  if (!inColumns(row)) {
    const double* value = std::get_if<double>(&overlayCell(row, column));
    return value ? *value : 0;
  }
  const Column& c = m_columns[column];
  if (c.width == 4) {
    float v;
    std::memcpy(&v, fixedAt(c, row), 4);
    return v;
  }
  double v;
  std::memcpy(&v, fixedAt(c, row), 8);
  return v;
}

inline QStringView RowStore::text(std::uint32_t row, int column) const {
  if (!inColumns(row)) {
    const QString* value = std::get_if<QString>(&overlayCell(row, column));
    return value ? QStringView(*value) : QStringView();
  }
  const Column& c = m_columns[column];
  const std::uint32_t start = row == 0 ? 0 : c.ends[row - 1];
  return QStringView(c.text.data() + start, c.ends[row] - start);
}

}  // namespace tabrix
