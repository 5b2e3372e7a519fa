#pragma once

#include <cstddef>
#include <string_view>

#include "jet/database.h"
#include "output.h"

namespace tabrix::cli {

// Writes a table as CSV in UTF-8: a header row of column names, then a line
// per row. A field is quoted when it holds a comma, a quote, CR or LF, its
// quotes doubled; null is an empty field and an empty text "". Integers in
// decimal; floating point in the shortest form that reads back to the same
// value; currency and decimal exactly, without trailing zeros after the
// point; yes/no as true/false; dates as yyyy-MM-dd HH:mm:ss; GUIDs in
// braces; binary and OLE as lower-case hex ("" when empty). Allocates
// nothing per row.
class CsvWriter {
 public:
  explicit CsvWriter(Output& out) : out_(out) {}

  void header(const jet::TableDef& table);
  void row(jet::RowCursor& rows, std::size_t columns);

 private:
  void value(const jet::Value& v);
  void text(std::u16string_view text);
  void name(std::string_view utf8);
  void currency(std::int64_t tenThousandths);
  void dateTime(double days);
  void guid(const jet::Guid& g);
  void hex(std::span<const std::byte> bytes);

  Output& out_;
};

}  // namespace tabrix::cli
