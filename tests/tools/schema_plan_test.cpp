// The plan of a target's structure: defaults translated or left out with
// the reason, names the target can take, target addresses, and the whole
// DDL of a small database given in the test, in both dialects.

#include <gtest/gtest.h>

#include "default_value.h"
#include "given_database.h"
#include "schema_plan.h"
#include "schema_sql.h"
#include "sql_text.h"
#include "target_address.h"

namespace {

using jet::ColumnType;
using tabrix::cli::Dialect;

TEST(Defaults, TranslatedOrLeftOutWithTheReason) {
  struct Case {
    ColumnType type;
    const char* expression;
    const char* postgres;
    const char* sqlite;
    const char* skipped;
  };
  const Case cases[] = {
      {ColumnType::Long, "0", "0", "0", ""},
      {ColumnType::Currency, "=-12.5", "-12.5", "-12.5", ""},
      {ColumnType::Double, "+1e3", "1e3", "1e3", ""},
      {ColumnType::Integer, "1.5", "", "", "a fraction for a whole-number column"},
      {ColumnType::Boolean, "=No", "false", "0", ""},
      {ColumnType::Boolean, "True", "true", "1", ""},
      {ColumnType::Boolean, "-1", "true", "1", ""},
      {ColumnType::Long, "Yes", "-1", "-1", ""},
      {ColumnType::Text, "\"it's \"\"quoted\"\"\"", "'it''s \"quoted\"'", "'it''s \"quoted\"'", ""},
      {ColumnType::Memo, "'single'", "'single'", "'single'", ""},
      {ColumnType::Text, "42", "'42'", "'42'", ""},
      {ColumnType::Long, "\"7\"", "7", "7", ""},
      {ColumnType::Long, "\"seven\"", "", "", "a text for a column of another type"},
      {ColumnType::DateTime, "Now()", "CURRENT_TIMESTAMP", "(datetime('now','localtime'))", ""},
      {ColumnType::DateTime, "=date( )", "", "", "not a constant, Now(), Date() or GenGUID()"},
      {ColumnType::DateTime, "Date()", "CURRENT_DATE", "(datetime('now','localtime','start of day'))", ""},
      {ColumnType::Text, "Now()", "", "", "a date for a column of another type"},
      {ColumnType::Guid, "GenGUID()", "gen_random_uuid()", "", ""},
      {ColumnType::Text, "Null", "", "", ""},
      {ColumnType::DateTime, "#1/1/2000#", "", "", "not a constant, Now(), Date() or GenGUID()"},
      {ColumnType::Text, "Format(Now(),\"yyyy\")", "", "", "not a constant, Now(), Date() or GenGUID()"},
      {ColumnType::Double, "\"unclosed", "", "", "not a constant, Now(), Date() or GenGUID()"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expression);
    jet::Column column;
    column.type = c.type;
    column.defaultValue = c.expression;
    const auto pg = tabrix::cli::translateDefault(column, Dialect::Postgres);
    EXPECT_EQ(pg.sql, c.postgres);
    EXPECT_EQ(pg.skipped, c.skipped);
    const auto lite = tabrix::cli::translateDefault(column, Dialect::Sqlite);
    EXPECT_EQ(lite.sql, c.sqlite);
    if (c.type != ColumnType::Guid) {
      EXPECT_EQ(lite.skipped, c.skipped);
    }
  }
  jet::Column guid;
  guid.type = ColumnType::Guid;
  guid.defaultValue = "GenGUID()";
  EXPECT_EQ(tabrix::cli::translateDefault(guid, Dialect::Sqlite).skipped, "SQLite has no function that makes a GUID");
}

TEST(NameScope, NamesTheTargetCanTake) {
  tabrix::cli::NameScope postgres(63);
  const std::string longName(70, 'a');
  EXPECT_EQ(postgres.claim(longName), std::string(63, 'a'));
  EXPECT_EQ(postgres.claim(longName), std::string(61, 'a') + "_2");
  EXPECT_EQ(postgres.claim("Orders"), "Orders");
  EXPECT_EQ(postgres.claim("ORDERS"), "ORDERS_2");  // SQLite would take them for one name
  // Cut at a character's start, never inside one: 31 two-byte letters and "x".
  std::string umlauts;
  for (int i = 0; i < 32; ++i) umlauts += "ä";
  EXPECT_EQ(postgres.claim(umlauts), umlauts.substr(0, 62));
  tabrix::cli::NameScope sqlite;
  EXPECT_EQ(sqlite.claim(longName), longName);
}

TEST(TargetAddress, SqliteAndPostgres) {
  using tabrix::cli::parseTargetAddress;
  EXPECT_EQ(std::get<tabrix::cli::SqliteAddress>(parseTargetAddress("sqlite:out/n.db")).path, "out/n.db");
  struct Case {
    const char* text;
    const char* uri;
    const char* schema;
  };
  const Case cases[] = {
      {"postgresql://u@h/db", "postgresql://u@h/db", ""},
      {"postgres://h/db?schema=Umsätze", "postgres://h/db", "Umsätze"},
      {"postgresql:///db?host=/tmp/s&schema=a%20b&sslmode=disable", "postgresql:///db?host=/tmp/s&sslmode=disable",
       "a b"},
      {"postgresql://h/db?sslmode=disable&schema=x", "postgresql://h/db?sslmode=disable", "x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto address = std::get<tabrix::cli::PostgresAddress>(parseTargetAddress(c.text));
    EXPECT_EQ(address.uri, c.uri);
    EXPECT_EQ(address.schema, c.schema);
  }
  for (const char* bad : {"sqlite:", "mysql://h/db", "n.sqlite", "postgresql://h/db?schema=", "postgres://h?schema=%zz"})
    EXPECT_THROW(parseTargetAddress(bad), std::invalid_argument) << bad;
}

// Two tables, every kind of index and three relationships.
tooltest::GivenDatabase shop() {
  auto column = [](const char* name, ColumnType type, bool nullable = true) {
    jet::Column c;
    c.name = name;
    c.type = type;
    c.nullable = nullable;
    return c;
  };
  auto index = [](const char* name, std::vector<jet::IndexColumn> columns) {
    jet::Index i;
    i.name = name;
    i.columns = std::move(columns);
    return i;
  };
  tooltest::GivenDatabase db;
  jet::TableDef kunden;
  kunden.name = "Kunden";
  kunden.columns = {column("Nr", ColumnType::Long), column("Name", ColumnType::Text, false),
                    column("Land", ColumnType::Text), column("Seit", ColumnType::DateTime)};
  kunden.columns[0].autoNumber = true;
  kunden.columns[1].size = 40;
  kunden.columns[2].size = 2;
  kunden.columns[3].defaultValue = "=Date()";
  jet::Index pk = index("PrimaryKey", {{0, true}});
  pk.primaryKey = pk.unique = true;
  jet::Index byName = index("Name", {{1, true}, {3, false}});
  byName.unique = true;
  byName.ignoreNulls = true;  // unique: kept whole
  jet::Index byCountry = index("Land", {{2, true}});
  byCountry.ignoreNulls = true;
  byCountry.required = true;
  kunden.indexes = {pk, byName, byCountry};
  db.add(kunden, {});

  jet::TableDef posten;
  posten.name = "Order Lines";
  posten.columns = {column("Kunde", ColumnType::Long), column("Menge", ColumnType::Integer),
                    column("Preis", ColumnType::Currency), column("Bezahlt", ColumnType::Boolean, false),
                    column("Notiz", ColumnType::Memo)};
  posten.columns[1].defaultValue = "1";
  posten.columns[4].defaultValue = "Format(Now())";
  jet::Index foreign = index("KundenOrder Lines", {{0, true}});
  foreign.foreignKey = true;
  jet::Index covered = index("Preis", {{2, true}});
  jet::Index coveredForeign = index("Other", {{2, true}});
  coveredForeign.foreignKey = true;
  posten.indexes = {foreign, covered, coveredForeign};
  db.add(posten, {});

  jet::Relationship kundeOrder{"KundenOrder Lines", "Order Lines", "Kunden", {{"Kunde", "Nr"}}, true, true, false, true};
  db.relate(kundeOrder);
  db.relate({"Loose", "Order Lines", "Kunden", {{"Menge", "Nr"}}, false, false, false, false});
  db.relate({"ByCountry", "Order Lines", "Kunden", {{"Notiz", "Land"}}, true, false, false, false});
  db.relate({"Elsewhere", "Order Lines", "Lieferanten", {{"Kunde", "Nr"}}, true, false, false, false});
  return db;
}

std::string ddl(Dialect dialect, const std::string& schema = "") {
  const auto db = shop();
  tabrix::cli::PlanOptions options;
  options.dialect = dialect;
  options.schema = schema;
  char path[] = "/tmp/tabrix-ddl-XXXXXX";
  const int fd = ::mkstemp(path);
  {
    tabrix::cli::Output out(fd);
    tabrix::cli::printSchemaSql(tabrix::cli::planSchema(db, options), out);
    out.flush();
  }
  std::string text(static_cast<std::size_t>(::lseek(fd, 0, SEEK_END)), '\0');
  ::pread(fd, text.data(), text.size(), 0);
  ::close(fd);
  ::unlink(path);
  return text;
}

// In the order they were found: relationships while planning keys, then
// defaults while writing the tables.
const char* const kNotes =
    "-- no foreign key for relationship Loose (Order Lines to Kunden): the database doesn't enforce it\n"
    "-- no foreign key for relationship ByCountry (Order Lines to Kunden): its columns in Kunden are neither the "
    "primary key nor a unique index\n"
    "-- no foreign key for relationship Elsewhere (Order Lines to Lieferanten): table Lieferanten is not converted\n"
    "-- no default for Order Lines.Notiz (Format(Now())): not a constant, Now(), Date() or GenGUID()\n";

TEST(SchemaSql, Postgres) {
  EXPECT_EQ(ddl(Dialect::Postgres, "Shop"),
            std::string(kNotes) +
                "\n"
                "CREATE SCHEMA IF NOT EXISTS \"Shop\";\n"
                "\n"
                "CREATE TABLE \"Shop\".\"Kunden\" (\n"
                "  \"Nr\" integer GENERATED BY DEFAULT AS IDENTITY,\n"
                "  \"Name\" varchar(40) NOT NULL,\n"
                "  \"Land\" varchar(2) NOT NULL,\n"
                "  \"Seit\" timestamp DEFAULT CURRENT_DATE\n"
                ");\n"
                "ALTER TABLE \"Shop\".\"Kunden\" ADD CONSTRAINT \"Kunden_PrimaryKey\" PRIMARY KEY (\"Nr\");\n"
                "CREATE UNIQUE INDEX \"Kunden_Name\" ON \"Shop\".\"Kunden\" (\"Name\", \"Seit\" DESC);\n"
                "CREATE INDEX \"Kunden_Land\" ON \"Shop\".\"Kunden\" (\"Land\") WHERE \"Land\" IS NOT NULL;\n"
                "\n"
                "CREATE TABLE \"Shop\".\"Order Lines\" (\n"
                "  \"Kunde\" integer,\n"
                "  \"Menge\" smallint DEFAULT 1,\n"
                "  \"Preis\" numeric(19,4),\n"
                "  \"Bezahlt\" boolean NOT NULL DEFAULT false,\n"
                "  \"Notiz\" text\n"
                ");\n"
                "CREATE INDEX \"Order Lines_KundenOrder Lines\" ON \"Shop\".\"Order Lines\" (\"Kunde\");\n"
                "CREATE INDEX \"Order Lines_Preis\" ON \"Shop\".\"Order Lines\" (\"Preis\");\n"
                "\n"
                "ALTER TABLE \"Shop\".\"Order Lines\" ADD CONSTRAINT \"KundenOrder Lines\" FOREIGN KEY (\"Kunde\") "
                "REFERENCES \"Shop\".\"Kunden\" (\"Nr\") ON UPDATE CASCADE ON DELETE SET NULL;\n");
}

TEST(SchemaSql, Sqlite) {
  EXPECT_EQ(ddl(Dialect::Sqlite),
            std::string(kNotes) +
                "\n"
                "CREATE TABLE \"Kunden\" (\n"
                "  \"Nr\" integer PRIMARY KEY AUTOINCREMENT,\n"
                "  \"Name\" varchar(40) NOT NULL,\n"
                "  \"Land\" varchar(2) NOT NULL,\n"
                "  \"Seit\" datetime DEFAULT (datetime('now','localtime','start of day'))\n"
                ");\n"
                "CREATE UNIQUE INDEX \"Kunden_Name\" ON \"Kunden\" (\"Name\", \"Seit\" DESC);\n"
                "CREATE INDEX \"Kunden_Land\" ON \"Kunden\" (\"Land\") WHERE \"Land\" IS NOT NULL;\n"
                "\n"
                "CREATE TABLE \"Order Lines\" (\n"
                "  \"Kunde\" integer,\n"
                "  \"Menge\" smallint DEFAULT 1,\n"
                "  \"Preis\" numeric(19,4),\n"
                "  \"Bezahlt\" boolean NOT NULL DEFAULT 0,\n"
                "  \"Notiz\" text,\n"
                "  CONSTRAINT \"KundenOrder Lines\" FOREIGN KEY (\"Kunde\") REFERENCES \"Kunden\" (\"Nr\") ON UPDATE "
                "CASCADE ON DELETE SET NULL\n"
                ");\n"
                "CREATE INDEX \"Order Lines_KundenOrder Lines\" ON \"Order Lines\" (\"Kunde\");\n"
                "CREATE INDEX \"Order Lines_Preis\" ON \"Order Lines\" (\"Preis\");\n");
}

}  // namespace
