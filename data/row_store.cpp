#include "data/row_store.h"

#include <cstring>
#include <limits>
#include <stdexcept>

#include "data/errors.h"

namespace tabrix {

namespace {

int fixedWidth(DataType type) {
  switch (valueKind(type)) {
    case ValueKind::Boolean:
      return 1;
    case ValueKind::Integer:
      return integerWidth(type);
    case ValueKind::Real:
      return type == DataType::Single ? 4 : 8;
    case ValueKind::Currency:
    case ValueKind::DateTime:
      return 8;
    case ValueKind::Guid:
      return 16;
    case ValueKind::Text:
    case ValueKind::Bytes:
      return 0;
  }
  return 0;
}

}  // namespace

void RowStore::begin(const ResultInfo& info) {
  m_info = info;
  m_columns.clear();
  m_columns.resize(info.columns.size());
  m_loaded = 0;
  m_added = 0;
  m_replaced.clear();
  m_overlay.clear();
  m_bookmarks = Arena<Bookmark>();
  m_addedBookmarks.clear();
  // The hint only reserves address space: a count that lies costs no
  // memory, and one that can't be had is no failure.
  const std::size_t hint = info.expectedRows;
  if (info.bookmarks && hint > 0) m_bookmarks.tryReserve(hint);
  for (std::size_t i = 0; i < info.columns.size(); ++i) {
    Column& column = m_columns[i];
    column.kind = valueKind(info.columns[i].type);
    column.isUnsigned = isUnsignedType(info.columns[i].type);
    column.width = fixedWidth(info.columns[i].type);
    if (hint > 0) {
      column.nulls.tryReserve(hint / 64 + 1);
      if (column.width > 0)
        column.fixed.tryReserve(hint * column.width);
      else
        column.ends.tryReserve(hint);
    }
  }
}

void RowStore::shrinkToFit() {
  m_bookmarks.shrinkToFit();
  for (Column& column : m_columns) {
    column.nulls.shrinkToFit();
    column.fixed.shrinkToFit();
    column.text.shrinkToFit();
    column.blob.shrinkToFit();
    column.ends.shrinkToFit();
  }
}

RowStore::Column& RowStore::loading(int column) {
  Column& c = m_columns.at(column);
  if (c.count != m_loaded) throw std::logic_error("a driver set one value of a row twice");
  if (c.nulls.size() * 64 <= c.count) c.nulls.push_back(0);
  return c;
}

void RowStore::appendFixed(Column& column, const void* value) {
  const auto* bytes = static_cast<const std::byte*>(value);
  switch (column.width) {
    case 1:
      column.fixed.appendFixed<1>(bytes);
      break;
    case 2:
      column.fixed.appendFixed<2>(bytes);
      break;
    case 4:
      column.fixed.appendFixed<4>(bytes);
      break;
    case 8:
      column.fixed.appendFixed<8>(bytes);
      break;
    default:
      column.fixed.appendFixed<16>(bytes);
      break;
  }
  ++column.count;
}

void RowStore::appendEnd(Column& column, std::size_t end) {
  if (end > std::numeric_limits<std::uint32_t>::max())
    throw ProviderError(QStringLiteral("The column holds more text or bytes than can be kept in memory"));
  column.ends.push_back(static_cast<std::uint32_t>(end));
  ++column.count;
}

void RowStore::setNull(int column) {
  Column& c = loading(column);
  c.nulls[c.count / 64] |= std::uint64_t(1) << (c.count % 64);
  if (c.width > 0) {
    static const std::byte zeros[16] = {};
    appendFixed(c, zeros);
  } else {
    appendEnd(c, c.kind == ValueKind::Text ? c.text.size() : c.blob.size());
  }
}

void RowStore::setBoolean(int column, bool value) {
  Column& c = loading(column);
  const std::uint8_t byte = value ? 1 : 0;
  appendFixed(c, &byte);
}

void RowStore::setInteger(int column, std::int64_t value) {
  Column& c = loading(column);
  // Little-endian: the low bytes hold a narrower integer's value.
  appendFixed(c, &value);
}

void RowStore::setReal(int column, double value) {
  Column& c = loading(column);
  if (c.width == 4) {
    const float narrow = static_cast<float>(value);
    appendFixed(c, &narrow);
  } else {
    appendFixed(c, &value);
  }
}

void RowStore::setGuid(int column, const Guid& value) {
  Column& c = loading(column);
  appendFixed(c, value.data());
}

void RowStore::setText(int column, std::u16string_view value) {
  Column& c = loading(column);
  c.text.append(value.data(), value.size());
  appendEnd(c, c.text.size());
}

void RowStore::setBytes(int column, std::span<const std::byte> value) {
  Column& c = loading(column);
  c.blob.append(value.data(), value.size());
  appendEnd(c, c.blob.size());
}

void RowStore::setBookmark(Bookmark bookmark) {
  if (!m_info.bookmarks) throw std::logic_error("a driver gave a bookmark its result did not announce");
  if (m_bookmarks.size() != m_loaded) throw std::logic_error("a driver gave one row two bookmarks");
  m_bookmarks.push_back(bookmark);
}

void RowStore::endRow() {
  if (m_info.bookmarks && m_bookmarks.size() != std::size_t(m_loaded) + 1)
    throw std::logic_error("a driver gave a row without its bookmark");
  for (int i = 0; i < columnCount(); ++i)
    if (m_columns[i].count == m_loaded) setNull(i);
  ++m_loaded;
}

const std::vector<Cell>* RowStore::overlay(std::uint32_t row) const {
  if (row < m_loaded && (row >= m_replaced.size() || !m_replaced[row])) return nullptr;
  auto it = m_overlay.find(row);
  if (it == m_overlay.end()) throw std::out_of_range("no such row in the store");
  return &it->second;
}

Guid RowStore::guid(std::uint32_t row, int column) const {
  if (const auto* cells = overlay(row)) {
    const Guid* value = std::get_if<Guid>(&(*cells)[column]);
    return value ? *value : Guid{};
  }
  Guid v;
  std::memcpy(v.data(), fixedAt(m_columns[column], row), 16);
  return v;
}

QByteArrayView RowStore::bytes(std::uint32_t row, int column) const {
  if (const auto* cells = overlay(row)) {
    const QByteArray* value = std::get_if<QByteArray>(&(*cells)[column]);
    return value ? QByteArrayView(*value) : QByteArrayView();
  }
  const Column& c = m_columns[column];
  const std::uint32_t start = row == 0 ? 0 : c.ends[row - 1];
  return QByteArrayView(c.blob.data() + start, c.ends[row] - start);
}

Cell RowStore::cell(std::uint32_t row, int column) const {
  if (const auto* cells = overlay(row)) return (*cells)[column];
  if (isNull(row, column)) return {};
  switch (m_columns[column].kind) {
    case ValueKind::Boolean:
      return boolean(row, column);
    case ValueKind::Integer:
    case ValueKind::Currency:
      return integer(row, column);
    case ValueKind::Real:
    case ValueKind::DateTime:
      return real(row, column);
    case ValueKind::Guid:
      return guid(row, column);
    case ValueKind::Text:
      return text(row, column).toString();
    case ValueKind::Bytes:
      return bytes(row, column).toByteArray();
  }
  return {};
}

std::optional<Bookmark> RowStore::bookmark(std::uint32_t row) const {
  if (row < m_loaded) return m_info.bookmarks ? std::optional<Bookmark>(m_bookmarks[row]) : std::nullopt;
  const auto it = m_addedBookmarks.find(row);
  if (it == m_addedBookmarks.end()) return std::nullopt;
  return it->second;
}

void RowStore::replaceRow(std::uint32_t row, std::vector<Cell> cells) {
  if (row >= rowCount()) throw std::out_of_range("no such row in the store");
  if (row < m_loaded) {
    if (m_replaced.size() < m_loaded) m_replaced.resize(m_loaded);
    m_replaced[row] = true;
  }
  m_overlay[row] = std::move(cells);
}

std::uint32_t RowStore::addRow(std::vector<Cell> cells, std::optional<Bookmark> bookmark) {
  const std::uint32_t row = rowCount();
  m_overlay[row] = std::move(cells);
  if (bookmark) m_addedBookmarks[row] = *bookmark;
  ++m_added;
  return row;
}

std::size_t RowStore::memoryUsed() const {
  std::size_t total = m_replaced.capacity() / 8 + m_bookmarks.capacity() * sizeof(Bookmark) +
                      m_addedBookmarks.size() * (sizeof(std::uint32_t) + sizeof(Bookmark));
  for (const Column& c : m_columns)
    total += c.nulls.capacity() * sizeof(std::uint64_t) + c.fixed.capacity() + c.text.capacity() * sizeof(char16_t) +
             c.blob.capacity() + c.ends.capacity() * sizeof(std::uint32_t);
  for (const auto& [row, cells] : m_overlay) total += sizeof(row) + cells.capacity() * sizeof(Cell);
  return total;
}

}  // namespace tabrix
