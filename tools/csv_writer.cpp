#include "csv_writer.h"

#include <algorithm>
#include <charconv>

#include "value_text.h"

namespace tabrix::cli {
namespace {

bool needsQuotes(char16_t c) { return c == u',' || c == u'"' || c == u'\r' || c == u'\n'; }

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

void CsvWriter::header(const jet::TableDef& table) {
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    if (i) out_.put(',');
    name(table.columns[i].name);
  }
  out_.put('\n');
}

void CsvWriter::row(jet::RowCursor& rows, std::size_t columns) {
  for (std::size_t i = 0; i < columns; ++i) {
    if (i) out_.put(',');
    value(rows.value(i));
  }
  out_.put('\n');
}

void CsvWriter::name(std::string_view utf8) {
  bool quote = utf8.find_first_of(",\"\r\n") != std::string_view::npos;
  if (!quote) {
    out_.put(utf8);
    return;
  }
  out_.put('"');
  for (char c : utf8) {
    if (c == '"') out_.put('"');
    out_.put(c);
  }
  out_.put('"');
}

void CsvWriter::text(std::u16string_view s) {
  bool quote = s.empty();
  for (char16_t c : s)
    if (needsQuotes(c)) {
      quote = true;
      break;
    }
  if (quote) out_.put('"');
  // In runs that fit the buffer: at most 3 bytes per code unit, a doubled
  // quote taking 2. A pair the end of a run would cut goes to the next run.
  constexpr std::size_t kRun = 4096;
  while (!s.empty()) {
    std::size_t n = std::min(s.size(), kRun);
    if (n < s.size() && isHighSurrogate(s[n - 1])) --n;
    std::u16string_view run = s.substr(0, n);
    char* start = out_.reserve(3 * n);
    char* p = start;
    if (quote) {
      for (std::size_t q = run.find(u'"'); q != std::u16string_view::npos; q = run.find(u'"')) {
        p = jet::toUtf8(run.substr(0, q + 1), p);
        *p++ = '"';
        run.remove_prefix(q + 1);
      }
    }
    p = jet::toUtf8(run, p);
    out_.advance(static_cast<std::size_t>(p - start));
    s.remove_prefix(n);
  }
  if (quote) out_.put('"');
}

void CsvWriter::currency(std::int64_t v) {
  char* start = out_.reserve(32);
  out_.advance(static_cast<std::size_t>(writeCurrency(start, v) - start));
}

void CsvWriter::dateTime(double days) {
  jet::DateTime t = jet::toDateTime(days);
  char* start = out_.reserve(40);
  // A value no calendar holds is written as the stored number.
  char* p = t.valid ? writeDateTime(start, t) : std::to_chars(start, start + 32, days).ptr;
  out_.advance(static_cast<std::size_t>(p - start));
}

void CsvWriter::guid(const jet::Guid& g) {
  char* start = out_.reserve(38);
  out_.advance(static_cast<std::size_t>(writeGuid(start, g) - start));
}

void CsvWriter::hex(std::span<const std::byte> bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  constexpr std::size_t kRun = 8192;
  while (!bytes.empty()) {
    std::size_t n = std::min(bytes.size(), kRun);
    char* p = out_.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
      unsigned b = std::to_integer<unsigned>(bytes[i]);
      p[2 * i] = kHex[b >> 4];
      p[2 * i + 1] = kHex[b & 15];
    }
    out_.advance(2 * n);
    bytes = bytes.subspan(n);
  }
}

void CsvWriter::value(const jet::Value& v) {
  if (v.null) return;
  using jet::ColumnType;
  switch (v.type) {
    case ColumnType::Boolean: out_.put(v.boolean ? std::string_view("true") : std::string_view("false")); break;
    case ColumnType::Byte:
    case ColumnType::Integer:
    case ColumnType::Long: {
      char* p = out_.reserve(24);
      out_.advance(static_cast<std::size_t>(std::to_chars(p, p + 24, v.integer).ptr - p));
      break;
    }
    case ColumnType::Currency: currency(v.integer); break;
    case ColumnType::Single: {
      char* p = out_.reserve(32);
      out_.advance(static_cast<std::size_t>(writeSingle(p, static_cast<float>(v.real)) - p));
      break;
    }
    case ColumnType::Double: {
      char* p = out_.reserve(32);
      out_.advance(static_cast<std::size_t>(std::to_chars(p, p + 32, v.real).ptr - p));
      break;
    }
    case ColumnType::DateTime: dateTime(v.real); break;
    case ColumnType::Guid: guid(v.guid); break;
    case ColumnType::Numeric: {
      char digits[jet::Decimal::kMaxChars];
      out_.put(std::string_view(digits, v.decimal.toChars(digits)));
      break;
    }
    case ColumnType::Text:
    case ColumnType::Memo: text(v.text); break;
    case ColumnType::Binary:
    case ColumnType::OLE:
      if (v.bytes.empty())
        out_.put("\"\"");  // empty, not null
      else
        hex(v.bytes);
      break;
  }
}

}  // namespace tabrix::cli
