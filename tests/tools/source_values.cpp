#include "source_values.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>

#include "csv.h"
#include "jet/database.h"
#include "oracle.h"
#include "process.h"

namespace tooltest {

std::string canonical(jet::ColumnType type, std::string text) {
  using jet::ColumnType;
  switch (type) {
    case ColumnType::Boolean: return text == "t" || text == "1" || text == "true" ? "true" : "false";
    case ColumnType::Single: {
      char out[32];
      return std::string(out, std::to_chars(out, out + 32, std::strtof(text.c_str(), nullptr)).ptr);
    }
    case ColumnType::Double: {
      char out[32];
      return std::string(out, std::to_chars(out, out + 32, std::strtod(text.c_str(), nullptr)).ptr);
    }
    case ColumnType::Currency:
    case ColumnType::Numeric:
      if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
      }
      return text == "-0" ? "0" : text;
    case ColumnType::Guid: {
      std::string out;
      for (char c : text)
        if (c != '{' && c != '}') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return out;
    }
    case ColumnType::Binary:
    case ColumnType::OLE:
      if (text.starts_with("\\x")) text.erase(0, 2);
      for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return text;
    default: return text;
  }
}

ExportedTable exportTable(const std::string& file, const std::string& table, const std::string& password) {
  ExportedTable exported;
  jet::OpenOptions options;
  options.password = password;
  exported.def = jet::Database::open(file, options)->table(table);
  std::vector<std::string> argv{jettest::cliPath(), "export", file, table};
  if (!password.empty()) argv.insert(argv.begin() + 1, {"--password", password});
  auto result = jettest::runProcess(argv);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  auto csv = jettest::parseCsv(result.out);
  for (std::size_t r = 1; r < csv.size(); ++r) {
    std::vector<Cell> row;
    for (std::size_t c = 0; c < csv[r].size(); ++c) {
      const jettest::CsvField& f = csv[r][c];
      if (f.text.empty() && !f.quoted)
        row.push_back(std::nullopt);
      else
        row.push_back(canonical(exported.def.columns[c].type, f.text));
    }
    exported.rows.push_back(std::move(row));
  }
  return exported;
}

}  // namespace tooltest
