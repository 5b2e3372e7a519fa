#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace jettest {

// One CSV field and whether it was quoted: an unquoted empty field is a
// null, a quoted one an empty text.
struct CsvField {
  std::string text;
  bool quoted = false;
  bool operator==(const CsvField&) const = default;
};
using CsvRow = std::vector<CsvField>;

// Parses CSV with "-quoting and doubled quotes; fields may hold line breaks.
// Lines end with LF.
std::vector<CsvRow> parseCsv(std::string_view text);

}  // namespace jettest
