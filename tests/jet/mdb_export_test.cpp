// Each fixture's user tables, exported by tabrix-cli, hold the values that
// mdb-export (mdbtools, an independent reader) reads from the same file.
// Our CSV is turned into the form mdb-export prints and compared cell by
// cell. Only formatting is bridged: floating point through mdb-export's own
// printf precision, currency and decimals padded to its fixed decimals,
// TRUE/FALSE, upper-case hex. Where mdb-export is wrong, the case says why
// and checks our value against the file instead.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "anatomy.h"
#include "bytes.h"
#include "csv.h"
#include "file_bytes.h"
#include "fixtures.h"
#include "jet/database.h"
#include "oracle.h"
#include "process.h"
#include "table_definition_format.h"

namespace {

using jettest::CsvField;
using jettest::CsvRow;

constexpr const char* kDateFormat = "%Y-%m-%d %H:%M:%S";
const std::string kNull = "\x01(null)";

// Tables whose rows overflowed to other pages. mdb-export lists an
// overflowed row where its data landed; the engine lists it at its home
// position, as Access does. Same rows, another order.
bool overflowedTable(const std::string& file, const std::string& table) {
  return file == "overflowTestV2000.mdb" && table == "Table1";
}

std::string padDecimals(const std::string& exact, int decimals) {
  std::string whole = exact, fraction;
  if (auto dot = exact.find('.'); dot != std::string::npos) {
    whole = exact.substr(0, dot);
    fraction = exact.substr(dot + 1);
  }
  while (static_cast<int>(fraction.size()) < decimals) fraction += '0';
  return decimals > 0 ? whole + "." + fraction : whole;
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string hexOf(const std::string& s) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

// Days from 1899-12-30 of a civil date: the test's own arithmetic, to check
// the engine's calendar where mdb-export has none.
long long daysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 693899;
}

// Jet 3 text passes through mdb-export's iconv from CP1252, which has no
// characters for the bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D and prints "?"
// for them; Windows reads them as the control characters U+0081 etc., and so
// does the engine.
std::string asIconvCp1252Would(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c == 0xC2 && i + 1 < utf8.size()) {
      unsigned char d = static_cast<unsigned char>(utf8[i + 1]);
      if (d == 0x81 || d == 0x8D || d == 0x8F || d == 0x90 || d == 0x9D) {
        out += '?';
        ++i;
        continue;
      }
    }
    out += static_cast<char>(c);
  }
  return out;
}

// One of our cells as mdb-export prints it.
std::string asMdbExportPrints(const CsvField& ours, const jet::Column& column, jet::Format format, double rawDate) {
  const bool null = !ours.quoted && ours.text.empty();
  if (null) return kNull;
  const std::string& t = ours.text;
  char buffer[64];
  switch (column.type) {
    case jet::ColumnType::Boolean: return upper(t);
    case jet::ColumnType::Currency: return padDecimals(t, 4);
    case jet::ColumnType::Numeric: return padDecimals(t, column.scale);
    case jet::ColumnType::Single:
      std::snprintf(buffer, sizeof buffer, "%.8g", static_cast<double>(std::strtof(t.c_str(), nullptr)));
      return buffer;
    case jet::ColumnType::Double:
      std::snprintf(buffer, sizeof buffer, "%.16g", std::strtod(t.c_str(), nullptr));
      return buffer;
    case jet::ColumnType::DateTime: {
      if (rawDate >= 0) return t;
      // mdb-export gives up on dates before 1899-12-30 (a negative day
      // count) and prints a zeroed date. Check ours against the stored
      // number: the whole part counts days back, the fraction is the time.
      int y, mo, d, h, mi, s;
      EXPECT_EQ(std::sscanf(t.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s), 6) << t;
      double day = static_cast<double>(daysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)));
      double time = (h * 3600 + mi * 60 + s) / 86400.0;
      double expected = day >= 0 ? day + time : day - time;
      EXPECT_NEAR(expected, rawDate, 0.5 / 86400 + 1e-9) << t;
      return "1900-01-00 00:00:00";
    }
    case jet::ColumnType::Text:
    case jet::ColumnType::Memo: return format == jet::Format::Jet3 ? asIconvCp1252Would(t) : t;
    case jet::ColumnType::Binary:
    case jet::ColumnType::OLE: return upper(t);
    // mdb-export groups a GUID's digits 8-4-4-16, without the last hyphen,
    // and its binary mode prints that text as hex.
    case jet::ColumnType::Guid: {
      std::string grouped = t;
      if (grouped.size() == 38 && grouped[24] == '-') grouped.erase(24, 1);
      return hexOf(grouped);
    }
    default: return t;
  }
}

std::string asMdbExportText(const CsvField& theirs) {
  return !theirs.quoted && theirs.text.empty() ? kNull : theirs.text;
}

void compareTable(const jet::Database& db, const std::filesystem::path& file, const std::string& password,
                  const std::string& table) {
  const jet::TableDef def = db.table(table);

  // The stored dates, for the dates mdb-export can't print.
  std::vector<std::vector<double>> dates;
  auto rows = db.rows(table);
  while (rows->next()) {
    std::vector<double> row(def.columns.size(), 0.0);
    for (std::size_t i = 0; i < def.columns.size(); ++i)
      if (def.columns[i].type == jet::ColumnType::DateTime && !rows->value(i).null) row[i] = rows->value(i).real;
    dates.push_back(std::move(row));
  }

  std::vector<std::string> cli = {jettest::cliPath()};
  if (!password.empty()) cli.insert(cli.end(), {"--password", password});
  cli.insert(cli.end(), {"export", file.string(), table});
  const jettest::ProcessResult ours = jettest::runProcess(cli);
  ASSERT_EQ(ours.exitCode, 0) << ours.err;
  const jettest::ProcessResult theirs =
      jettest::runProcess({"mdb-export", "-D", kDateFormat, "-T", kDateFormat, "-b", "hex", "-B", file.string(), table});
  ASSERT_EQ(theirs.exitCode, 0) << theirs.err;

  std::vector<CsvRow> a = jettest::parseCsv(ours.out);
  std::vector<CsvRow> b = jettest::parseCsv(theirs.out);
  ASSERT_FALSE(a.empty());
  ASSERT_EQ(a.size(), b.size()) << "row counts differ";
  ASSERT_EQ(a.size() - 1, dates.size());
  ASSERT_EQ(a[0].size(), def.columns.size());
  for (std::size_t j = 0; j < def.columns.size(); ++j) EXPECT_EQ(a[0][j].text, b[0].at(j).text) << "column name";

  std::vector<std::vector<std::string>> expected, actual;
  for (std::size_t i = 1; i < a.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    EXPECT_EQ(a[i].size(), def.columns.size());
    EXPECT_EQ(b[i].size(), def.columns.size());
    std::vector<std::string> e, r;
    for (std::size_t j = 0; j < def.columns.size() && j < a[i].size() && j < b[i].size(); ++j) {
      e.push_back(asMdbExportPrints(a[i][j], def.columns[j], db.format(), dates[i - 1][j]));
      r.push_back(asMdbExportText(b[i][j]));
    }
    expected.push_back(std::move(e));
    actual.push_back(std::move(r));
  }
  if (overflowedTable(file.filename().string(), table)) {
    EXPECT_NE(expected, actual) << "the order of overflowed rows no longer differs; drop the exception";
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
  }
  for (std::size_t i = 0; i < expected.size(); ++i)
    for (std::size_t j = 0; j < expected[i].size(); ++j)
      EXPECT_EQ(expected[i][j], actual[i][j]) << "row " << i + 1 << ", column " << def.columns[j].name;
}

// No fixture has a decimal column with a scale other than 0. The test gives
// V2000_numeric.mdb's decimal columns scales of their own, in the byte of
// each column's entry, and reads them through both readers.
TEST(MdbExport, DecimalColumnsWithAScale) {
  if (!jettest::onPath("mdb-export")) GTEST_SKIP() << "mdb-export (mdbtools) is not installed";
  REQUIRE_FIXTURE(fixtures::mdb("V2000_numeric.mdb"));
  auto bytes = jettest::readBytes(fixtures::mdb("V2000_numeric.mdb"));
  const jet::tdef::Layout& L = jet::tdef::kJet4;
  const std::size_t definition = jettest::Anatomy(bytes).definitionPage("test") * std::size_t{4096};
  const std::size_t columns = jet::getU16(&bytes[definition + L.columnCount]);
  std::size_t entry = definition + L.realIndexCounts +
                      jet::getU32(&bytes[definition + L.realIndexCount]) * static_cast<std::size_t>(L.realIndexCountSize);
  const int scales[] = {2, 4, 0, 1, 3, 28};
  std::size_t decimals = 0;
  for (std::size_t c = 0; c < columns; ++c, entry += static_cast<std::size_t>(L.columnEntrySize))
    if (std::to_integer<int>(bytes[entry + L.columnType]) == static_cast<int>(jet::ColumnType::Numeric))
      bytes[entry + L.columnScale] = static_cast<std::byte>(scales[decimals++]);
  ASSERT_EQ(decimals, std::size(scales));

  fixtures::TempDir dir;
  const auto file = dir.path() / "scaled.mdb";
  jettest::writeBytes(file, bytes);
  auto db = jet::Database::open(file.string());
  const jet::TableDef def = db->table("test");
  for (std::size_t c = 1; c < def.columns.size(); ++c) EXPECT_EQ(def.columns[c].scale, scales[c - 1]);
  const jettest::ProcessResult ours = jettest::runProcess({jettest::cliPath(), "export", file.string(), "test"});
  EXPECT_EQ(ours.out, "col1,col2,col3,col4,col5,col6,col7\n"
                      "some data,0.01,0,0,0.4,-0.001,0.0000000000000000000000000001\n");
  compareTable(*db, file, "", "test");
}

class MdbExportTest : public ::testing::TestWithParam<std::filesystem::path> {};

TEST_P(MdbExportTest, EveryUserTableHoldsTheValuesMdbExportReads) {
  if (!jettest::onPath("mdb-export")) GTEST_SKIP() << "mdb-export (mdbtools) is not installed";
  const std::filesystem::path& file = GetParam();
  REQUIRE_FIXTURE(file);
  jet::OpenOptions options;
  options.password = jettest::passwordFor(file);
  auto db = jet::Database::open(file.string(), options);
  // mdb-export reads Jet 3 text in the code page named here.
  if (db->format() == jet::Format::Jet3) ::setenv("MDB_JET3_CHARSET", ("CP" + std::to_string(db->codePage())).c_str(), 1);
  for (const jet::CatalogueEntry& entry : db->catalogue()) {
    if (entry.kind != jet::ObjectKind::Table) continue;
    SCOPED_TRACE(file.filename().string() + ": " + entry.name);
    compareTable(*db, file, options.password, entry.name);
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, MdbExportTest, ::testing::ValuesIn(jettest::allFixtureFilesOrPlaceholder()),
                         jettest::fixtureTestName);

}  // namespace
