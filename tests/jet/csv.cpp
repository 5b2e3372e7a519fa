#include "csv.h"

namespace jettest {

std::vector<CsvRow> parseCsv(std::string_view text) {
  std::vector<CsvRow> rows;
  CsvRow row;
  CsvField field;
  bool inQuotes = false;
  bool any = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    any = true;
    if (inQuotes) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          field.text += '"';
          ++i;
        } else {
          inQuotes = false;
        }
      } else {
        field.text += c;
      }
    } else if (c == '"') {
      inQuotes = true;
      field.quoted = true;
    } else if (c == ',') {
      row.push_back(std::move(field));
      field = {};
    } else if (c == '\n') {
      row.push_back(std::move(field));
      field = {};
      rows.push_back(std::move(row));
      row.clear();
      any = false;
    } else {
      field.text += c;
    }
  }
  if (any) {
    row.push_back(std::move(field));
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace jettest
