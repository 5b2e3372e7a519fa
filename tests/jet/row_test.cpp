// Rows cracked into their columns, for layouts the fixtures don't hold:
// Jet 3 rows longer than 256 bytes, whose offsets need the jump table.

#include <gtest/gtest.h>

#include "jet/error.h"
#include "row.h"

namespace {

jet::ColumnStorage variable(std::uint16_t number, std::uint16_t varIndex) {
  jet::ColumnStorage c;
  c.type = jet::ColumnType::Text;
  c.number = number;
  c.varIndex = varIndex;
  return c;
}

// A Jet 3 row of variable-length values only, laid out as Access lays it
// out: the column count, the values, the end offset and the values'
// offsets (low bytes, last first), a dummy jump entry when the row's length
// reaches a 256-byte span the offsets don't, the jump table (the first
// column of each further span, highest span first), the count, the null
// mask.
std::vector<std::byte> jet3Row(const std::vector<std::string>& values, bool* dummy = nullptr) {
  std::vector<std::byte> row;
  row.push_back(static_cast<std::byte>(values.size()));
  std::vector<std::size_t> offsets;
  for (const std::string& v : values) {
    offsets.push_back(row.size());
    for (char c : v) row.push_back(static_cast<std::byte>(c));
  }
  offsets.push_back(row.size());  // the end of the data
  row.push_back(static_cast<std::byte>(offsets.back() & 0xFF));
  for (std::size_t i = values.size(); i > 0; --i) row.push_back(static_cast<std::byte>(offsets[i - 1] & 0xFF));
  std::vector<std::byte> jumps;  // highest span first
  for (std::size_t span = offsets.back() >> 8; span > 0; --span)
    for (std::size_t i = 0; i < offsets.size(); ++i)
      if (offsets[i] >> 8 >= span) {
        jumps.push_back(static_cast<std::byte>(i));
        break;
      }
  const std::size_t mask = (values.size() + 7) / 8;
  std::size_t length = row.size() + jumps.size() + 1 + mask;
  const bool needsDummy = (length - 1) / 256 > jumps.size();
  if (dummy) *dummy = needsDummy;
  if (needsDummy) row.push_back(std::byte{0xFF});
  row.insert(row.end(), jumps.begin(), jumps.end());
  row.push_back(static_cast<std::byte>(values.size()));
  for (std::size_t i = 0; i < mask; ++i) row.push_back(std::byte{0xFF});
  return row;
}

std::string text(std::span<const std::byte> bytes) { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }

TEST(Rows, Jet3JumpTable) {
  struct Case {
    std::vector<std::string> values;
    bool dummy;
  };
  const Case cases[] = {
      {{std::string(200, 'a'), std::string(200, 'b'), std::string(200, 'c')}, false},  // spans 0, 0, 1; end in 2
      {{std::string(170, 'a'), std::string(170, 'b'), std::string(170, 'c')}, true},   // the trailer reaches span 2
      {{"x", std::string(300, 'y'), "", std::string(40, 'z')}, false},
      {{"short", "row"}, false},
  };
  for (const Case& c : cases) {
    bool dummy = false;
    auto bytes = jet3Row(c.values, &dummy);
    SCOPED_TRACE(bytes.size());
    ASSERT_EQ(dummy, c.dummy) << "the case doesn't build the layout it means to";
    jet::RowView row;
    row.reset(jet::Format::Jet3, bytes, static_cast<std::uint16_t>(c.values.size()), 1);
    for (std::size_t i = 0; i < c.values.size(); ++i) {
      auto column = variable(static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(i));
      ASSERT_TRUE(row.present(column));
      auto value = row.valueBytes(column);
      ASSERT_TRUE(value.has_value());
      EXPECT_EQ(text(*value), c.values[i]) << "column " << i;
    }
  }
}

TEST(Rows, ColumnsAddedLaterAreNull) {
  auto bytes = jet3Row({"one", "two"});
  jet::RowView row;
  row.reset(jet::Format::Jet3, bytes, 3, 1);
  // A third variable-length column added to the table after the row.
  EXPECT_FALSE(row.present(variable(2, 2)));
  auto column = variable(1, 2);  // its bit is set, but the row has no offset for it
  EXPECT_FALSE(row.valueBytes(column).has_value());
}

TEST(Rows, CountsThatDontFitAreDamage) {
  jet::RowView row;
  std::vector<std::byte> tooShort = {std::byte{40}};  // 40 columns, no room for their mask
  EXPECT_THROW(row.reset(jet::Format::Jet3, tooShort, 1, 9), jet::Error);
  auto bytes = jet3Row({"abc"});
  bytes[bytes.size() - 2] = std::byte{200};  // 200 variable-length columns claimed
  EXPECT_THROW(row.reset(jet::Format::Jet3, bytes, 1, 9), jet::Error);
  std::vector<std::byte> jet4 = {std::byte{1}, std::byte{0}, std::byte{0xFF}, std::byte{0x7F}, std::byte{1}};
  EXPECT_THROW(row.reset(jet::Format::Jet4, jet4, 1, 9), jet::Error);
}

}  // namespace
