// Values at their edges, from engine values through the whole conversion
// into each target and read back: dates before 1900 and in 9999 (and the
// engine's wider range), currency at its limits, decimals of 28 digits,
// empty against null text and binary, memos of megabytes, every type's
// extremes. The expected texts are written out by hand.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <charconv>
#include <cmath>
#include <limits>

#include "convert.h"
#include "fixtures.h"
#include "given_database.h"
#include "given_values.h"
#include "pg_client.h"
#include "postgres_server.h"
#include "postgres_target.h"
#include "schema_plan.h"
#include "sqlite_target.h"

namespace {

using jet::ColumnType;
using tooltest::Cell;

// One column's values and the canonical text each must read back as.
struct EdgeCase {
  std::string name;
  jet::Column column;
  std::vector<jet::Value> values;
  std::vector<Cell> expected;
  bool beyondSqlite = false;  // more than the 15 significant digits SQLite keeps of a number
};

class Edges {
 public:
  Edges() {
    add("yesno", column(ColumnType::Boolean), {boolean(true), boolean(false)}, {"true", "false"});
    add("byte", column(ColumnType::Byte), {integer(0), integer(255), null()}, {"0", "255", {}});
    add("int16", column(ColumnType::Integer), {integer(-32768), integer(32767)}, {"-32768", "32767"});
    add("int32", column(ColumnType::Long), {integer(INT32_MIN), integer(INT32_MAX)}, {"-2147483648", "2147483647"});
    add("single", column(ColumnType::Single),
        {real(0.1f), real(-3.4028235e38f), real(1.17549435e-38f)}, {"0.1", "-3.4028235e+38", "1.1754944e-38"});
    add("double", column(ColumnType::Double), {real(1e-300), real(1.7976931348623157e308), real(444.555)},
        {"1e-300", "1.7976931348623157e+308", "444.555"});
    add("money", column(ColumnType::Currency), {integer(-5), integer(0), integer(35000), integer(999999999999999)},
        {"-0.0005", "0", "3.5", "99999999999.9999"});
    add("money_limits", column(ColumnType::Currency), {integer(INT64_MIN), integer(INT64_MAX)},
        {"-922337203685477.5808", "922337203685477.5807"}, true);
    jet::Column wide = column(ColumnType::Numeric);
    wide.precision = 28;
    add("decimal28", wide, {decimal(false, 0, "9999999999999999999999999999"), decimal(true, 0, "9999999999999999999999999999"), decimal(false, 0, "0")},
        {"9999999999999999999999999999", "-9999999999999999999999999999", "0"}, true);
    jet::Column fraction = column(ColumnType::Numeric);
    fraction.precision = 28;
    fraction.scale = 28;
    add("fraction28", fraction, {decimal(false, 28, "9999999999999999999999999999"), decimal(true, 28, "1")},
        {"0.9999999999999999999999999999", "-0.0000000000000000000000000001"}, true);
    jet::Column fifteen = column(ColumnType::Numeric);
    fifteen.precision = 15;
    fifteen.scale = 5;
    add("decimal15", fifteen, {decimal(true, 5, "999999999999999"), decimal(false, 5, "1")},
        {"-9999999999.99999", "0.00001"});
    add("moment", column(ColumnType::DateTime),
        {real(0), real(-1.25), real(-53688.5), real(-657434), real(2958465 + 86399.0 / 86400), real(-693593),
         real(2958466), real(61)},
        {"1899-12-30 00:00:00", "1899-12-29 06:00:00", "1753-01-01 12:00:00", "0100-01-01 00:00:00",
         "9999-12-31 23:59:59", "0001-01-01 00:00:00", "10000-01-01 00:00:00", "1900-03-01 00:00:00"});
    jet::Column shortText = column(ColumnType::Text);
    shortText.size = 20;
    add("words", shortText, {text(u""), null(), text(u"zażółć \U0001F600"), text(u"tab\there\\ \"q\" 'a'\r\n")},
        {"", {}, "zażółć \U0001F600", "tab\there\\ \"q\" 'a'\r\n"});
    std::u16string big;
    std::string bigUtf8;
    for (int i = 0; i < 300000; ++i) {
      big += u"Łódź 0123\n";
      bigUtf8 += "Łódź 0123\n";
    }
    add("memo", column(ColumnType::Memo), {text(big), text(u"")}, {bigUtf8, ""});
    std::vector<std::byte> everyByte;
    std::string everyHex;
    for (int b = 0; b < 256; ++b) {
      everyByte.push_back(std::byte(b));
      static constexpr char kHex[] = "0123456789abcdef";
      everyHex += {kHex[b >> 4], kHex[b & 15]};
    }
    add("blob", column(ColumnType::OLE), {bytes(everyByte), bytes({}), null()}, {everyHex, "", {}});
    jet::Value g;
    g.null = false;
    g.guid = {0x67, 0x45, 0x23, 0x01, 0xAB, 0x89, 0xEF, 0xCD, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    add("guid", column(ColumnType::Guid), {g}, {"01234567-89ab-cdef-0123-456789abcdef"});
  }

  // A table per case: "n", the row's number, its primary key, then "v".
  void fill(tooltest::GivenDatabase& db, bool forSqlite) const {
    for (const EdgeCase& c : cases_) {
      if (forSqlite && c.beyondSqlite) continue;
      jet::TableDef def;
      def.name = c.name;
      def.columns.push_back(column(ColumnType::Long));
      def.columns[0].name = "n";
      def.columns.push_back(c.column);
      def.columns[1].name = "v";
      jet::Index pk;
      pk.name = "PrimaryKey";
      pk.primaryKey = pk.unique = true;
      pk.columns.push_back({0, true});
      def.indexes.push_back(pk);
      std::vector<std::vector<jet::Value>> rows;
      for (std::size_t i = 0; i < c.values.size(); ++i) {
        jet::Value value = c.values[i];
        value.type = c.column.type;
        rows.push_back({integer(static_cast<std::int64_t>(i)), value});
        rows.back()[0].type = ColumnType::Long;
      }
      db.add(def, rows);
    }
  }

  const std::vector<EdgeCase>& cases() const { return cases_; }

 private:
  static jet::Column column(ColumnType type) {
    jet::Column c;
    c.type = type;
    return c;
  }
  static jet::Value null() { return jet::Value{}; }
  static jet::Value boolean(bool b) { return jettest::booleanValue(b); }
  static jet::Value integer(std::int64_t i) { return jettest::integerValue(i); }
  static jet::Value real(double d) { return jettest::realValue(d); }
  static jet::Value decimal(bool negative, int scale, const std::string& digits) {
    jet::Value v;
    v.null = false;
    v.decimal.negative = negative;
    v.decimal.scale = static_cast<std::uint8_t>(scale);
    unsigned __int128 m = 0;
    for (char c : digits) m = m * 10 + static_cast<unsigned>(c - '0');
    v.decimal.magnitude = {static_cast<std::uint32_t>(m), static_cast<std::uint32_t>(m >> 32),
                           static_cast<std::uint32_t>(m >> 64)};
    return v;
  }
  jet::Value text(const std::u16string& s) { return store_.text(s); }
  jet::Value bytes(const std::vector<std::byte>& b) { return store_.bytes(b); }
  void add(std::string name, jet::Column c, std::vector<jet::Value> values, std::vector<Cell> expected,
           bool beyondSqlite = false) {
    cases_.push_back({std::move(name), std::move(c), std::move(values), std::move(expected), beyondSqlite});
  }

  jettest::ValueStore store_;
  std::vector<EdgeCase> cases_;
};

void expectCase(const EdgeCase& c, const std::vector<Cell>& read) {
  SCOPED_TRACE(c.name);
  ASSERT_EQ(read.size(), c.expected.size());
  for (std::size_t i = 0; i < read.size(); ++i) {
    Cell got = read[i] ? Cell(tooltest::canonical(c.column.type, *read[i])) : Cell();
    if (got && got->size() > 200)
      EXPECT_TRUE(got == c.expected[i]) << "row " << i << ": a long value differs (" << got->size() << " bytes)";
    else
      EXPECT_EQ(got, c.expected[i]) << "row " << i;
  }
}

TEST(ValueEdges, Postgres) {
  REQUIRE_POSTGRES();
  Edges edges;
  tooltest::GivenDatabase db;
  edges.fill(db, false);
  tabrix::cli::PlanOptions options;
  options.schema = "edges";
  const auto plan = tabrix::cli::planSchema(db, options);
  tabrix::cli::PostgresTarget target({tooltest::PostgresServer::uri(), "edges"});
  tabrix::cli::Progress quiet(-1);
  tabrix::cli::convert(db, plan, target, true, quiet);

  tooltest::PgClient pg(tooltest::PostgresServer::uri());
  for (const EdgeCase& c : edges.cases()) {
    std::vector<Cell> read;
    for (auto& row : pg.query("SELECT v FROM edges.\"" + c.name + "\" ORDER BY n")) read.push_back(row[0]);
    expectCase(c, read);
  }
}

TEST(ValueEdges, Sqlite) {
  Edges edges;
  tooltest::GivenDatabase db;
  edges.fill(db, true);
  fixtures::TempDir dir;
  const std::string file = (dir.path() / "edges.sqlite").string();
  tabrix::cli::PlanOptions options;
  options.dialect = tabrix::cli::Dialect::Sqlite;
  const auto plan = tabrix::cli::planSchema(db, options);
  tabrix::cli::SqliteTarget target({file});
  tabrix::cli::Progress quiet(-1);
  tabrix::cli::convert(db, plan, target, true, quiet);

  sqlite3* lite = nullptr;
  ASSERT_EQ(sqlite3_open_v2(file.c_str(), &lite, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  for (const EdgeCase& c : edges.cases()) {
    if (c.beyondSqlite) continue;
    sqlite3_stmt* select = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(lite, ("SELECT v FROM \"" + c.name + "\" ORDER BY n").c_str(), -1, &select, nullptr),
              SQLITE_OK);
    std::vector<Cell> read;
    while (sqlite3_step(select) == SQLITE_ROW) {
      switch (sqlite3_column_type(select, 0)) {
        case SQLITE_NULL: read.emplace_back(); break;
        case SQLITE_BLOB: {
          std::string hex;
          const auto* p = static_cast<const unsigned char*>(sqlite3_column_blob(select, 0));
          for (int i = 0; i < sqlite3_column_bytes(select, 0); ++i) {
            static constexpr char kHex[] = "0123456789abcdef";
            hex += {kHex[p[i] >> 4], kHex[p[i] & 15]};
          }
          read.emplace_back(hex);
          break;
        }
        case SQLITE_FLOAT: {
          // Read as the double it is: its text would have 15 digits. A
          // decimal reads as a plain number.
          char number[400];
          const bool exact = c.column.type == ColumnType::Currency || c.column.type == ColumnType::Numeric;
          const double d = sqlite3_column_double(select, 0);
          auto end = exact ? std::to_chars(number, number + sizeof number, d, std::chars_format::fixed).ptr
                           : std::to_chars(number, number + sizeof number, d).ptr;
          read.emplace_back(std::string(number, end));
          break;
        }
        default:
          read.emplace_back(std::string(reinterpret_cast<const char*>(sqlite3_column_text(select, 0)),
                                        static_cast<std::size_t>(sqlite3_column_bytes(select, 0))));
      }
    }
    sqlite3_finalize(select);
    expectCase(c, read);
  }
  sqlite3_close(lite);
}

// A database of one table of one column.
tooltest::GivenDatabase oneColumn(const char* table, const char* column, ColumnType type,
                                  std::vector<jet::Value> values) {
  jet::TableDef def;
  def.name = table;
  jet::Column c;
  c.name = column;
  c.type = type;
  def.columns.push_back(c);
  std::vector<std::vector<jet::Value>> rows;
  for (jet::Value& v : values) {
    v.type = type;
    rows.push_back({v});
  }
  tooltest::GivenDatabase db;
  db.add(def, rows);
  return db;
}

// A value the target can't hold stops the run with the table, row and
// column, and leaves nothing behind.
TEST(ValueEdges, AnImpossibleValueIsNamed) {
  const jet::Value good = jettest::realValue(0);
  const auto db = oneColumn("Dates", "When", ColumnType::DateTime,
                            {good, good, jettest::realValue(std::numeric_limits<double>::infinity())});

  fixtures::TempDir dir;
  const auto file = dir.path() / "dates.sqlite";
  tabrix::cli::PlanOptions options;
  options.dialect = tabrix::cli::Dialect::Sqlite;
  tabrix::cli::Progress quiet(-1);
  {
    tabrix::cli::SqliteTarget target({file.string()});
    try {
      tabrix::cli::convert(db, tabrix::cli::planSchema(db, options), target, true, quiet);
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "cannot copy table Dates, row 3, column When: the date value inf lies outside any calendar");
    }
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

  // SQLite would round a number of more than 15 significant digits.
  const auto rich = oneColumn("Money", "Amount", ColumnType::Currency, {jettest::integerValue(INT64_MAX)});
  {
    tabrix::cli::SqliteTarget target({file.string()});
    try {
      tabrix::cli::convert(rich, tabrix::cli::planSchema(rich, options), target, true, quiet);
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(),
                   "cannot copy table Money, row 1, column Amount: SQLite keeps a number to 15 significant digits, "
                   "and 922337203685477.5807 has 19");
    }
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

  if (tooltest::PostgresServer::uri().empty()) return;
  tabrix::cli::PostgresTarget target({tooltest::PostgresServer::uri(), "impossible"});
  options.dialect = tabrix::cli::Dialect::Postgres;
  options.schema = "impossible";
  try {
    tabrix::cli::convert(db, tabrix::cli::planSchema(db, options), target, true, quiet);
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "cannot copy table Dates, row 3, column When: the date value inf lies outside any calendar");
  }
  tooltest::PgClient pg(tooltest::PostgresServer::uri());
  EXPECT_TRUE(pg.query("SELECT 1 FROM pg_namespace WHERE nspname = 'impossible'").empty());

  // PostgreSQL's text has no character U+0000; SQLite's has.
  jettest::ValueStore store;
  const auto withNul =
      oneColumn("Notes", "Body", ColumnType::Memo, {store.text(std::u16string(u"before\0after", 12))});
  try {
    tabrix::cli::convert(withNul, tabrix::cli::planSchema(withNul, options), target, true, quiet);
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "cannot copy table Notes, row 1, column Body: PostgreSQL text can't hold the character U+0000");
  }
}

}  // namespace
