#include "pg_copy.h"

#include <bit>
#include <chrono>
#include <stdexcept>
#include <array>

#include "jet/value.h"
#include "value_text.h"

namespace tabrix::cli::pgcopy {
namespace {

void put16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v >> 8));
  out.push_back(static_cast<char>(v));
}

void put32(std::string& out, std::uint32_t v) {
  put16(out, static_cast<std::uint16_t>(v >> 16));
  put16(out, static_cast<std::uint16_t>(v));
}

void put64(std::string& out, std::uint64_t v) {
  put32(out, static_cast<std::uint32_t>(v >> 32));
  put32(out, static_cast<std::uint32_t>(v));
}

void length(std::string& out, std::size_t n) {
  if (n > 0x7FFFFFFF) throw std::invalid_argument("a value of more than 2 GB doesn't fit a field");
  put32(out, static_cast<std::uint32_t>(n));
}

// Microseconds from 2000-01-01 00:00:00, PostgreSQL's epoch.
std::int64_t timestamp(double days) {
  const jet::DateTime t = jet::toDateTime(days);
  if (!t.valid) throw std::invalid_argument("the date value " + std::to_string(days) + " lies outside any calendar");
  using namespace std::chrono;
  const sys_days date{year{t.year} / month{static_cast<unsigned>(t.month)} / day{static_cast<unsigned>(t.day)}};
  const std::int64_t dayNumber = (date - sys_days{year{2000} / January / 1}).count();
  return (dayNumber * 86400 + t.hour * 3600 + t.minute * 60 + t.second) * std::int64_t{1000000};
}

void text(std::string& out, std::u16string_view s) {
  if (s.find(u'\0') != std::u16string_view::npos)
    throw std::invalid_argument("PostgreSQL text can't hold the character U+0000");
  const std::size_t at = out.size();
  out.resize(at + 4 + 3 * s.size());
  char* start = out.data() + at + 4;
  char* p = start;
  p = jet::toUtf8(s, p);
  out.resize(at + 4 + static_cast<std::size_t>(p - start));
  const std::size_t n = static_cast<std::size_t>(p - start);
  for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<char>(n >> (24 - 8 * i));
}

}  // namespace

void appendHeader(std::string& out) {
  static constexpr char kSignature[] = "PGCOPY\n\377\r\n";
  out.append(kSignature, sizeof kSignature);  // with its closing zero byte
  put32(out, 0);  // flags
  put32(out, 0);  // no header extension
}

void appendTrailer(std::string& out) { put16(out, 0xFFFF); }

void appendNumeric(std::string& out, std::string_view decimal, int scale) {
  const bool negative = !decimal.empty() && decimal.front() == '-';
  if (negative) decimal.remove_prefix(1);
  const std::size_t point = decimal.find('.');
  std::string whole(decimal.substr(0, point));
  std::string fraction(point == std::string_view::npos ? std::string_view() : decimal.substr(point + 1));
  // Base-10000 digits: the whole part padded on the left, the fraction on
  // the right, to groups of four.
  whole.insert(0, (4 - whole.size() % 4) % 4, '0');
  fraction.append((4 - fraction.size() % 4) % 4, '0');
  const std::string all = whole + fraction;
  if (all.size() > 4 * 20) throw std::invalid_argument("a decimal of more digits than Access keeps");
  std::array<std::uint16_t, 20> digits{};
  for (std::size_t i = 0; i < all.size(); i += 4)
    for (std::size_t j = i; j < i + 4; ++j)
      digits[i / 4] = static_cast<std::uint16_t>(digits[i / 4] * 10 + (all[j] - '0'));
  int weight = static_cast<int>(whole.size() / 4) - 1;
  std::size_t first = 0;
  std::size_t end = all.size() / 4;
  while (first < end && digits[first] == 0) {
    ++first;
    --weight;
  }
  while (end > first && digits[end - 1] == 0) --end;
  if (first == end) weight = 0;
  length(out, 8 + 2 * (end - first));
  put16(out, static_cast<std::uint16_t>(end - first));
  put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(weight)));
  put16(out, negative && first != end ? 0x4000 : 0x0000);
  put16(out, static_cast<std::uint16_t>(scale));
  for (std::size_t i = first; i < end; ++i) put16(out, digits[i]);
}

void appendField(std::string& out, const jet::Value& v) {
  if (v.null) {
    put32(out, 0xFFFFFFFF);
    return;
  }
  using jet::ColumnType;
  switch (v.type) {
    case ColumnType::Boolean:
      length(out, 1);
      out.push_back(v.boolean ? 1 : 0);
      return;
    case ColumnType::Byte:
    case ColumnType::Integer:
      length(out, 2);
      put16(out, static_cast<std::uint16_t>(v.integer));
      return;
    case ColumnType::Long:
      length(out, 4);
      put32(out, static_cast<std::uint32_t>(v.integer));
      return;
    case ColumnType::Single:
      length(out, 4);
      put32(out, std::bit_cast<std::uint32_t>(static_cast<float>(v.real)));
      return;
    case ColumnType::Double:
      length(out, 8);
      put64(out, std::bit_cast<std::uint64_t>(v.real));
      return;
    case ColumnType::Currency: {
      char digits[32];
      appendNumeric(out, std::string_view(digits, static_cast<std::size_t>(writeCurrency(digits, v.integer) - digits)), 4);
      return;
    }
    case ColumnType::Numeric: {
      char digits[jet::Decimal::kMaxChars];
      appendNumeric(out, std::string_view(digits, v.decimal.toChars(digits)), v.decimal.scale);
      return;
    }
    case ColumnType::DateTime: {
      const std::int64_t micros = timestamp(v.real);
      length(out, 8);
      put64(out, static_cast<std::uint64_t>(micros));
      return;
    }
    case ColumnType::Guid: {
      length(out, 16);
      for (std::uint8_t b : guidInReadingOrder(v.guid)) out.push_back(static_cast<char>(b));
      return;
    }
    case ColumnType::Text:
    case ColumnType::Memo: text(out, v.text); return;
    case ColumnType::Binary:
    case ColumnType::OLE:
      length(out, v.bytes.size());
      out.append(reinterpret_cast<const char*>(v.bytes.data()), v.bytes.size());
      return;
  }
}

void appendRow(std::string& out, jet::RowCursor& rows, std::size_t columns, std::size_t& column) {
  put16(out, static_cast<std::uint16_t>(columns));
  for (column = 0; column < columns; ++column) appendField(out, rows.value(column));
}

}  // namespace tabrix::cli::pgcopy
