#include "index_key.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>

#include "collation.h"
#include "index_format.h"
#include "jet/error.h"
#include "table_definition.h"

namespace jet {
namespace {

[[noreturn]] void refuse(const KeyColumn& column, const std::string& what) {
  throw Error(ErrorKind::Unsupported, "a key of column " + column.name + " " + what);
}

void put(std::vector<std::byte>& out, std::uint8_t b) { out.push_back(static_cast<std::byte>(b)); }

std::uint8_t byteAt(std::span<const std::byte> bytes, std::size_t i) { return std::to_integer<std::uint8_t>(bytes[i]); }

void flipFrom(std::vector<std::byte>& out, std::size_t from) {
  for (std::size_t i = from; i < out.size(); ++i) out[i] = ~out[i];
}

void putBigEndian(std::vector<std::byte>& out, std::uint64_t bits, int size) {
  for (int i = size - 1; i >= 0; --i) put(out, static_cast<std::uint8_t>(bits >> (8 * i)));
}

// The value's bytes as the column holds them, read after undoing a
// descending column's flip.
std::uint64_t readBigEndian(std::span<const std::byte> bytes, bool flipped) {
  std::uint64_t bits = 0;
  for (std::byte b : bytes) bits = bits << 8 | std::to_integer<std::uint8_t>(flipped ? ~b : b);
  return bits;
}

bool isInteger(ColumnType t) { return t == ColumnType::Byte || t == ColumnType::Integer || t == ColumnType::Long; }
bool isReal(ColumnType t) { return t == ColumnType::Single || t == ColumnType::Double; }
bool isText(ColumnType t) { return t == ColumnType::Text || t == ColumnType::Memo; }

// The bytes of a value of fixed size in a key: as in a row, but a yes/no
// takes a byte, and a GUID goes in segments.
int valueSize(ColumnType type) {
  if (type == ColumnType::Boolean) return 1;
  if (type == ColumnType::Guid) return 0;
  return fixedSizeOf(type);
}

std::int64_t integerIn(const KeyColumn& column, const Value& value, std::int64_t low, std::int64_t high) {
  if (!isInteger(value.type)) refuse(column, "must be a whole number");
  if (value.integer < low || value.integer > high) refuse(column, "is out of the column's range");
  return value.integer;
}

// Numbers sort as unsigned big-endian bytes once the sign bit is flipped.
void appendSigned(std::vector<std::byte>& out, std::int64_t n, int size) {
  const std::size_t start = out.size();
  putBigEndian(out, static_cast<std::uint64_t>(n), size);
  out[start] ^= std::byte{0x80};
}

// Floating point: a positive number flips its sign bit, a negative one all
// its bits, so that the bytes sort as the numbers do.
void appendReal(std::vector<std::byte>& out, std::uint64_t bits, int size, bool ascending) {
  const std::size_t start = out.size();
  putBigEndian(out, bits, size);
  const bool negative = (std::to_integer<std::uint8_t>(out[start]) & 0x80) != 0;
  if (!negative) out[start] ^= std::byte{0x80};
  if (negative == ascending) flipFrom(out, start);
}

// The decimal as an unscaled magnitude at the column's scale.
std::array<std::uint32_t, 3> magnitudeAt(const KeyColumn& column, const Decimal& d) {
  std::array<std::uint32_t, 3> m = d.magnitude;  // least significant word first
  auto scaleBy10 = [&]() {
    std::uint64_t carry = 0;
    for (std::uint32_t& word : m) {
      std::uint64_t n = static_cast<std::uint64_t>(word) * 10 + carry;
      word = static_cast<std::uint32_t>(n);
      carry = n >> 32;
    }
    if (carry) refuse(column, "is out of the column's range");
  };
  auto divideBy10 = [&]() {
    std::uint64_t rest = 0;
    for (int i = 2; i >= 0; --i) {
      std::uint64_t n = rest << 32 | m[static_cast<std::size_t>(i)];
      m[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(n / 10);
      rest = n % 10;
    }
    if (rest) refuse(column, "has more decimal places than the column keeps");
  };
  for (int s = d.scale; s < column.scale; ++s) scaleBy10();
  for (int s = d.scale; s > column.scale; --s) divideBy10();
  return m;
}

void appendDecimal(const KeyColumn& column, const Decimal& d, std::vector<std::byte>& out) {
  const std::array<std::uint32_t, 3> m = magnitudeAt(column, d);
  const std::size_t start = out.size();
  put(out, 0);
  putBigEndian(out, 0, 4);  // the magnitude's top word, never used
  for (int i = 2; i >= 0; --i) putBigEndian(out, m[static_cast<std::size_t>(i)], 4);
  if (d.negative == column.ascending) flipFrom(out, start);
  out[start] = std::byte{d.negative ? index::kNegativeDecimal : index::kPositiveDecimal};
}

void appendSegments(std::span<const std::byte> data, bool ascending, std::vector<std::byte>& out) {
  std::size_t pos = 0;
  while (data.size() - pos > static_cast<std::size_t>(index::kSegmentData)) {
    const std::size_t start = out.size();
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(pos),
               data.begin() + static_cast<std::ptrdiff_t>(pos + index::kSegmentData));
    if (!ascending) flipFrom(out, start);
    put(out, index::kMoreSegments);
    pos += index::kSegmentData;
  }
  if (pos == data.size()) return;
  const std::size_t start = out.size();
  out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(pos), data.end());
  out.resize(start + index::kSegmentData);
  put(out, static_cast<std::uint8_t>(data.size() - pos));
  if (!ascending) flipFrom(out, start);
}

// A GUID is kept in the file with its first three fields little-endian;
// its key takes them big-endian, in the order the GUID is written.
Guid swapGuidFields(const Guid& g) {
  Guid s = g;
  std::swap(s[0], s[3]);
  std::swap(s[1], s[2]);
  std::swap(s[4], s[5]);
  std::swap(s[6], s[7]);
  return s;
}

// The length of the segments that start `bytes`; 0 for none (an empty
// value), -1 when they are malformed.
long segmentsLength(std::span<const std::byte> bytes, bool ascending) {
  const std::size_t segment = index::kSegmentData + 1;
  if (bytes.size() < segment) return 0;
  for (std::size_t pos = 0; pos + segment <= bytes.size(); pos += segment) {
    const std::uint8_t mark = byteAt(bytes, pos + index::kSegmentData);
    if (mark == index::kMoreSegments) continue;
    const std::uint8_t used = ascending ? mark : static_cast<std::uint8_t>(~mark);
    if (used == 0 || used > index::kSegmentData) return -1;
    return static_cast<long>(pos + segment);
  }
  return -1;
}

void decodeSegments(std::span<const std::byte> part, bool ascending, std::vector<std::byte>& data) {
  data.clear();
  const std::size_t segment = index::kSegmentData + 1;
  for (std::size_t pos = 0; pos + segment <= part.size(); pos += segment) {
    const std::uint8_t mark = byteAt(part, pos + index::kSegmentData);
    std::size_t used = index::kSegmentData;
    if (mark != index::kMoreSegments) used = ascending ? mark : static_cast<std::uint8_t>(~mark);
    for (std::size_t i = 0; i < used; ++i) data.push_back(ascending ? part[pos + i] : ~part[pos + i]);
  }
}

}  // namespace

std::vector<KeyColumn> keyColumns(const TableInfo& info, Format format, std::size_t position) {
  std::vector<KeyColumn> columns;
  for (const IndexColumn& ic : info.def.indexes.at(position).columns) {
    const Column& c = info.def.columns.at(static_cast<std::size_t>(ic.column));
    KeyColumn k;
    k.name = c.name;
    k.type = c.type;
    k.ascending = ic.ascending;
    k.scale = c.scale;
    if (isText(c.type)) k.collation = Collation::find(format, info.storage.at(static_cast<std::size_t>(ic.column)).sortOrder);
    columns.push_back(std::move(k));
  }
  return columns;
}

void appendKeyValue(const KeyColumn& column, const Value& value, std::vector<std::byte>& out) {
  if (value.null) {
    put(out, column.ascending ? index::kAscendingNull : index::kDescendingNull);
    return;
  }
  put(out, column.ascending ? index::kAscendingValue : index::kDescendingValue);
  const std::size_t start = out.size();
  switch (column.type) {
    case ColumnType::Boolean:
      if (value.type != ColumnType::Boolean) refuse(column, "must be yes or no");
      put(out, value.boolean ? index::kTrue : index::kFalse);
      break;
    case ColumnType::Byte: put(out, static_cast<std::uint8_t>(integerIn(column, value, 0, 255))); break;
    case ColumnType::Integer: appendSigned(out, integerIn(column, value, -32768, 32767), 2); break;
    case ColumnType::Long: appendSigned(out, integerIn(column, value, INT32_MIN, INT32_MAX), 4); break;
    case ColumnType::Currency:
      if (value.type != ColumnType::Currency) refuse(column, "must be an amount of currency");
      appendSigned(out, value.integer, 8);
      break;
    case ColumnType::Single: {
      if (!isReal(value.type)) refuse(column, "must be a number");
      const float f = static_cast<float>(value.real);
      if (static_cast<double>(f) != value.real && !std::isnan(value.real)) refuse(column, "has more precision than the column keeps");
      std::uint32_t bits;
      std::memcpy(&bits, &f, sizeof bits);
      appendReal(out, bits, 4, column.ascending);
      break;
    }
    case ColumnType::Double:
    case ColumnType::DateTime: {
      if (column.type == ColumnType::Double ? !isReal(value.type) : value.type != ColumnType::DateTime)
        refuse(column, column.type == ColumnType::Double ? "must be a number" : "must be a date");
      std::uint64_t bits;
      std::memcpy(&bits, &value.real, sizeof bits);
      appendReal(out, bits, 8, column.ascending);
      break;
    }
    case ColumnType::Numeric:
      if (value.type != ColumnType::Numeric) refuse(column, "must be a decimal number");
      appendDecimal(column, value.decimal, out);
      break;
    case ColumnType::Guid: {
      if (value.type != ColumnType::Guid) refuse(column, "must be a GUID");
      const Guid g = swapGuidFields(value.guid);
      appendSegments(std::span<const std::byte>(reinterpret_cast<const std::byte*>(g.data()), g.size()), column.ascending,
                     out);
      break;
    }
    case ColumnType::Binary:
      if (value.type != ColumnType::Binary) refuse(column, "must be binary data");
      appendSegments(value.bytes, column.ascending, out);
      break;
    case ColumnType::Text:
    case ColumnType::Memo:
      if (!isText(value.type)) refuse(column, "must be text");
      if (!column.collation) refuse(column, "is in a sort order this engine has no tables for");
      column.collation->appendKey(value.text, column.ascending, out);
      break;
    case ColumnType::OLE: refuse(column, "can't be made: an index can't hold OLE objects");
  }
  const bool flippedHere = column.type == ColumnType::Boolean || column.type == ColumnType::Byte ||
                           column.type == ColumnType::Integer || column.type == ColumnType::Long ||
                           column.type == ColumnType::Currency;
  if (flippedHere && !column.ascending) flipFrom(out, start);
}

std::size_t keyValueLength(const KeyColumn& column, std::span<const std::byte> key, std::size_t after) {
  if (key.empty()) return 0;
  const std::uint8_t flag = byteAt(key, 0);
  std::size_t length = 0;
  if (flag == (column.ascending ? index::kAscendingNull : index::kDescendingNull)) {
    length = 1;
  } else if (flag != (column.ascending ? index::kAscendingValue : index::kDescendingValue)) {
    return 0;
  } else if (isText(column.type)) {
    if (!column.collation) refuse(column, "is in a sort order this engine has no tables for");
    const std::size_t text = column.collation->keyLength(key.subspan(1), column.ascending, after > 0 ? after - 1 : 0);
    return text == 0 ? 0 : 1 + text;
  } else if (column.type == ColumnType::Guid || column.type == ColumnType::Binary) {
    const long n = segmentsLength(key.subspan(1), column.ascending);
    if (n < 0) return 0;
    length = 1 + static_cast<std::size_t>(n);
  } else {
    length = 1 + static_cast<std::size_t>(valueSize(column.type));
    if (length == 1 || length > key.size()) return 0;  // OLE has no key
  }
  return length > after ? length : 0;
}

std::vector<std::size_t> splitKey(const std::vector<KeyColumn>& columns, std::span<const std::byte> key) {
  std::vector<std::size_t> offsets(columns.size() + 1, 0);
  std::set<std::pair<std::size_t, std::size_t>> dead;  // (column, start) from which the rest can't be split
  // Depth first over the lengths each part can have, the shortest first.
  auto splitFrom = [&](auto& self, std::size_t i, std::size_t at) -> bool {
    if (i == columns.size()) return at == key.size();
    if (dead.count({i, at})) return false;
    for (std::size_t length = 0; (length = keyValueLength(columns[i], key.subspan(at), length)) != 0;) {
      offsets[i + 1] = at + length;
      if (self(self, i + 1, at + length)) return true;
    }
    dead.insert({i, at});
    return false;
  };
  if (!splitFrom(splitFrom, 0, 0)) return {};
  return offsets;
}

bool decodeKeyValue(const KeyColumn& column, std::span<const std::byte> part, Value& value,
                    std::vector<std::byte>& bytes) {
  value = Value{};
  value.type = column.type;
  if (part.empty()) return false;
  if (byteAt(part, 0) == (column.ascending ? index::kAscendingNull : index::kDescendingNull))
    return column.type != ColumnType::Boolean && part.size() == 1;
  value.null = false;
  const std::span<const std::byte> v = part.subspan(1);
  const bool flipped = !column.ascending;
  const std::size_t size = static_cast<std::size_t>(valueSize(column.type));
  if (size != 0 && v.size() != size) return false;
  switch (column.type) {
    case ColumnType::Boolean: {
      const std::uint64_t b = readBigEndian(v, flipped);
      if (b != index::kTrue && b != index::kFalse) return false;
      value.boolean = b == index::kTrue;
      return true;
    }
    case ColumnType::Byte: value.integer = static_cast<std::int64_t>(readBigEndian(v, flipped)); return true;
    case ColumnType::Integer:
    case ColumnType::Long:
    case ColumnType::Currency: {
      const int bits = static_cast<int>(8 * size);
      std::uint64_t n = readBigEndian(v, flipped) ^ (std::uint64_t{1} << (bits - 1));
      if (bits < 64 && (n >> (bits - 1)) & 1) n |= ~std::uint64_t{0} << bits;  // sign extension
      value.integer = static_cast<std::int64_t>(n);
      return true;
    }
    case ColumnType::Single:
    case ColumnType::Double:
    case ColumnType::DateTime: {
      const int bits = static_cast<int>(8 * size);
      const std::uint64_t top = std::uint64_t{1} << (bits - 1);
      std::uint64_t n = readBigEndian(v, flipped);
      n = (n & top) ? n ^ top : ~n & (bits == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1);
      if (bits == 32) {
        const auto narrow = static_cast<std::uint32_t>(n);
        float f;
        std::memcpy(&f, &narrow, sizeof f);
        value.real = f;
      } else {
        std::memcpy(&value.real, &n, sizeof n);
      }
      return true;
    }
    case ColumnType::Numeric: {
      const std::uint8_t sign = byteAt(v, 0);
      if (sign != index::kNegativeDecimal && sign != index::kPositiveDecimal) return false;
      value.decimal.negative = sign == index::kNegativeDecimal;
      const bool magnitudeFlipped = value.decimal.negative == column.ascending;
      if (readBigEndian(v.subspan(1, 4), magnitudeFlipped) != 0) return false;
      value.decimal.scale = static_cast<std::uint8_t>(column.scale);
      for (std::size_t i = 0; i < 3; ++i)
        value.decimal.magnitude[2 - i] = static_cast<std::uint32_t>(readBigEndian(v.subspan(5 + 4 * i, 4), magnitudeFlipped));
      return true;
    }
    case ColumnType::Guid: {
      decodeSegments(v, column.ascending, bytes);
      if (bytes.size() != value.guid.size()) return false;
      Guid g;
      std::memcpy(g.data(), bytes.data(), g.size());
      value.guid = swapGuidFields(g);
      return true;
    }
    case ColumnType::Binary:
      decodeSegments(v, column.ascending, bytes);
      value.bytes = bytes;
      return true;
    case ColumnType::Text:
    case ColumnType::Memo:
      throw Error(ErrorKind::Unsupported, "the key of text column " + column.name +
                                              " can't be turned back into text: it keeps only the sort order's codes");
    case ColumnType::OLE: return false;
  }
  return false;
}

}  // namespace jet
