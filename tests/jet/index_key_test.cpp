// Key values of every type: keys sort as their values do (descending columns
// the other way), decode back to their values, and measure their own
// length. The fixtures show the bytes Access writes; these cases cover the
// values and types they lack (decimals, extremes, binary lengths).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "collation.h"
#include "index_key.h"
#include "jet/error.h"

namespace {

using jet::ColumnType;
using jet::Value;

Value number(ColumnType type, std::int64_t n) {
  Value v;
  v.type = type;
  v.null = false;
  v.integer = n;
  return v;
}

Value real(ColumnType type, double d) {
  Value v;
  v.type = type;
  v.null = false;
  v.real = d;
  return v;
}

Value decimal(bool negative, std::uint8_t scale, std::uint32_t low, std::uint32_t high = 0) {
  Value v;
  v.type = ColumnType::Numeric;
  v.null = false;
  v.decimal.negative = negative;
  v.decimal.scale = scale;
  v.decimal.magnitude = {low, 0, high};
  return v;
}

Value boolean(bool b) {
  Value v;
  v.type = ColumnType::Boolean;
  v.null = false;
  v.boolean = b;
  return v;
}

Value binary(const std::vector<std::byte>& bytes) {
  Value v;
  v.type = ColumnType::Binary;
  v.null = false;
  v.bytes = bytes;
  return v;
}

Value guid(std::uint8_t first, std::uint8_t last) {
  Value v;
  v.type = ColumnType::Guid;
  v.null = false;
  v.guid[0] = first;  // the least significant byte of the first field as stored
  v.guid[15] = last;
  return v;
}

std::vector<std::byte> keyOf(const jet::KeyColumn& column, const Value& v) {
  std::vector<std::byte> key;
  jet::appendKeyValue(column, v, key);
  return key;
}

bool sameValue(const Value& a, const Value& b) {
  if (a.null || b.null) return a.null == b.null;
  switch (a.type) {
    case ColumnType::Boolean: return a.boolean == b.boolean;
    case ColumnType::Single:
    case ColumnType::Double:
    case ColumnType::DateTime: return std::memcmp(&a.real, &b.real, sizeof a.real) == 0;
    case ColumnType::Guid: return a.guid == b.guid;
    case ColumnType::Binary: return std::equal(a.bytes.begin(), a.bytes.end(), b.bytes.begin(), b.bytes.end());
    case ColumnType::Numeric:
      return a.decimal.negative == b.decimal.negative && a.decimal.scale == b.decimal.scale &&
             a.decimal.magnitude == b.decimal.magnitude;
    default: return a.integer == b.integer;
  }
}

struct TypeCase {
  const char* name;
  ColumnType type;
  int scale;
  std::vector<Value> ascendingValues;  // in the order their keys must take
};

std::vector<TypeCase> typeCases(const std::vector<std::byte>& shortBytes, const std::vector<std::byte>& longBytes,
                                const std::vector<std::byte>& longerBytes) {
  const double inf = std::numeric_limits<double>::infinity();
  return {
      {"Byte", ColumnType::Byte, 0, {number(ColumnType::Byte, 0), number(ColumnType::Byte, 1), number(ColumnType::Byte, 255)}},
      {"Integer", ColumnType::Integer, 0,
       {number(ColumnType::Integer, -32768), number(ColumnType::Integer, -1), number(ColumnType::Integer, 0),
        number(ColumnType::Integer, 32767)}},
      {"Long", ColumnType::Long, 0,
       {number(ColumnType::Long, INT32_MIN), number(ColumnType::Long, -256), number(ColumnType::Long, 0),
        number(ColumnType::Long, 255), number(ColumnType::Long, INT32_MAX)}},
      {"Currency", ColumnType::Currency, 0,
       {number(ColumnType::Currency, INT64_MIN), number(ColumnType::Currency, -10000), number(ColumnType::Currency, 0),
        number(ColumnType::Currency, 35000), number(ColumnType::Currency, INT64_MAX)}},
      {"Single", ColumnType::Single, 0,
       {real(ColumnType::Single, -inf), real(ColumnType::Single, -2.5), real(ColumnType::Single, -0.25),
        real(ColumnType::Single, 0), real(ColumnType::Single, 0.25), real(ColumnType::Single, static_cast<double>(3e38f)),
        real(ColumnType::Single, inf)}},
      {"Double", ColumnType::Double, 0,
       {real(ColumnType::Double, -inf), real(ColumnType::Double, -1e300), real(ColumnType::Double, -1),
        real(ColumnType::Double, 0), real(ColumnType::Double, 1e-300), real(ColumnType::Double, 444.555),
        real(ColumnType::Double, inf)}},
      {"DateTime", ColumnType::DateTime, 0,
       {real(ColumnType::DateTime, -657434), real(ColumnType::DateTime, -1.25), real(ColumnType::DateTime, 0),
        real(ColumnType::DateTime, 27293.5), real(ColumnType::DateTime, 2958465.99999)}},
      {"Numeric", ColumnType::Numeric, 2,
       {decimal(true, 2, 5, 1), decimal(true, 2, 100), decimal(true, 2, 1), decimal(false, 2, 0), decimal(false, 2, 1),
        decimal(false, 2, 0xFFFFFFFF), decimal(false, 2, 0, 1)}},
      {"Boolean", ColumnType::Boolean, 0, {boolean(true), boolean(false)}},  // yes (-1) before no (0)
      {"Guid", ColumnType::Guid, 0, {guid(0, 9), guid(0, 10), guid(1, 0), guid(0xFF, 0)}},
      {"Binary", ColumnType::Binary, 0, {binary(shortBytes), binary(longBytes), binary(longerBytes)}},
  };
}

TEST(KeyValues, SortAsTheirValuesAndDecodeBackForEveryType) {
  // 3, 16 and 17 bytes: one segment, two whole ones, and one more byte.
  std::vector<std::byte> shortBytes{std::byte{1}, std::byte{2}, std::byte{3}};
  std::vector<std::byte> longBytes(16, std::byte{0x41});
  std::vector<std::byte> longerBytes(17, std::byte{0x41});
  for (const TypeCase& c : typeCases(shortBytes, longBytes, longerBytes))
    for (bool ascending : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (ascending ? " ascending" : " descending"));
      jet::KeyColumn column;
      column.name = "c";
      column.type = c.type;
      column.ascending = ascending;
      column.scale = c.scale;
      Value null;
      null.type = c.type;
      std::vector<Value> values = c.ascendingValues;
      // Nulls come first ascending and last descending, as their flags do.
      if (c.type != ColumnType::Boolean) values.insert(values.begin(), null);
      std::vector<std::vector<std::byte>> keys;
      for (const Value& v : values) {
        std::vector<std::byte> key = keyOf(column, v);
        // A key measures itself with anything after it, and decodes back.
        std::vector<std::byte> longer = key;
        longer.push_back(std::byte{0x7F});
        ASSERT_EQ(jet::keyValueLength(column, longer), key.size());
        Value back;
        std::vector<std::byte> bytes;
        ASSERT_TRUE(jet::decodeKeyValue(column, key, back, bytes));
        EXPECT_TRUE(sameValue(back, v)) << "value " << keys.size();
        keys.push_back(std::move(key));
      }
      // The order the keys take, as positions in `values`.
      std::vector<std::size_t> order(keys.size());
      for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
      std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
      std::vector<std::size_t> want(keys.size());
      for (std::size_t i = 0; i < want.size(); ++i) want[i] = ascending ? i : want.size() - 1 - i;
      // Jet's rule for descending decimals (kept from its first versions):
      // negative numbers first, smallest magnitude first; then the others,
      // largest first.
      if (c.type == ColumnType::Numeric && !ascending) want = {3, 2, 1, 7, 6, 5, 4, 0};
      EXPECT_EQ(order, want);
    }
}

TEST(KeyValues, RefuseValuesTheColumnCantHold) {
  struct Case {
    ColumnType column;
    int scale;
    Value value;
    const char* text;
  };
  const Case cases[] = {
      {ColumnType::Byte, 0, number(ColumnType::Long, 256), "a key of column c is out of the column's range"},
      {ColumnType::Integer, 0, number(ColumnType::Long, 40000), "a key of column c is out of the column's range"},
      {ColumnType::Long, 0, real(ColumnType::Double, 1), "a key of column c must be a whole number"},
      {ColumnType::Single, 0, real(ColumnType::Double, 0.1), "a key of column c has more precision than the column keeps"},
      {ColumnType::DateTime, 0, real(ColumnType::Double, 1), "a key of column c must be a date"},
      {ColumnType::Numeric, 1, decimal(false, 2, 125), "a key of column c has more decimal places than the column keeps"},
      {ColumnType::Numeric, 28, decimal(false, 0, 0xFFFFFFFF, 0xFFFFFFFF), "a key of column c is out of the column's range"},
      {ColumnType::OLE, 0, binary({}), "a key of column c can't be made: an index can't hold OLE objects"},
      {ColumnType::Text, 0, number(ColumnType::Long, 1), "a key of column c must be text"},
  };
  for (const Case& c : cases) {
    jet::KeyColumn column;
    column.name = "c";
    column.type = c.column;
    column.scale = c.scale;
    std::vector<std::byte> key;
    try {
      jet::appendKeyValue(column, c.value, key);
      ADD_FAILURE() << c.text;
    } catch (const jet::Error& e) {
      EXPECT_EQ(e.kind(), jet::ErrorKind::Unsupported);
      EXPECT_STREQ(e.what(), c.text);
    }
  }
}

TEST(KeyValues, ConvertExactlyBetweenRelatedTypes) {
  jet::KeyColumn integer{"c", ColumnType::Integer, true, 0, nullptr};
  EXPECT_EQ(keyOf(integer, number(ColumnType::Long, -5)), keyOf(integer, number(ColumnType::Integer, -5)));
  jet::KeyColumn single{"c", ColumnType::Single, true, 0, nullptr};
  EXPECT_EQ(keyOf(single, real(ColumnType::Double, 0.25)), keyOf(single, real(ColumnType::Single, 0.25)));
  // A decimal goes to the column's scale: 1.5 at scale 1 is 1.50 at scale 2.
  jet::KeyColumn numeric{"c", ColumnType::Numeric, true, 2, nullptr};
  EXPECT_EQ(keyOf(numeric, decimal(false, 1, 15)), keyOf(numeric, decimal(false, 2, 150)));
  EXPECT_EQ(keyOf(numeric, decimal(false, 4, 12500)), keyOf(numeric, decimal(false, 2, 125)));
}

TEST(KeyValues, LengthsOfMalformedKeysAreZero) {
  jet::KeyColumn longColumn{"c", ColumnType::Long, true, 0, nullptr};
  jet::KeyColumn binaryColumn{"c", ColumnType::Binary, false, 0, nullptr};
  const auto bytes = [](std::initializer_list<int> list) {
    std::vector<std::byte> out;
    for (int b : list) out.push_back(static_cast<std::byte>(b));
    return out;
  };
  EXPECT_EQ(jet::keyValueLength(longColumn, {}), 0u);
  EXPECT_EQ(jet::keyValueLength(longColumn, bytes({0x7F, 0x80, 0})), 0u);  // cut short
  EXPECT_EQ(jet::keyValueLength(longColumn, bytes({0x80, 0x80, 0, 0, 1})), 0u);  // a descending flag
  EXPECT_EQ(jet::keyValueLength(longColumn, bytes({0x00, 0x7F})), 1u);  // null
  // A last segment claiming more than 8 bytes (descending: flipped).
  EXPECT_EQ(jet::keyValueLength(binaryColumn, bytes({0x80, 1, 2, 3, 4, 5, 6, 7, 8, 0xF0})), 0u);
  EXPECT_EQ(jet::keyValueLength(binaryColumn, bytes({0x80, 1, 2, 3, 4, 5, 6, 7, 8, 0xF7})), 10u);
}

TEST(KeyValues, SplitWhereATextsCodesHoldItsTerminator) {
  // The high surrogate U+D8FE codes as 0xB1 0x00: a text holding it seems to
  // end early, and only what follows settles where it ends.
  for (bool ascending : {true, false}) {
    const std::vector<jet::KeyColumn> columns = {
        {"t", ColumnType::Text, ascending, 0, jet::Collation::find(jet::Format::Jet4, {1033, 0})},
        {"n", ColumnType::Long, true, 0, nullptr}};
    Value text;
    text.type = ColumnType::Text;
    text.null = false;
    text.text = u"a\xD8FE\xDC00" u"b";
    std::vector<std::byte> key;
    jet::appendKeyValue(columns[0], text, key);
    const std::size_t textLength = key.size();
    jet::appendKeyValue(columns[1], number(ColumnType::Long, 7), key);
    EXPECT_EQ(jet::splitKey(columns, key), (std::vector<std::size_t>{0, textLength, key.size()}));
    EXPECT_TRUE(jet::splitKey(columns, std::span(key).first(textLength - 1)).empty());
  }
}

}  // namespace
