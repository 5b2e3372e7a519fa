#include "sql_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "csv.h"
#include "fixtures.h"
#include "process.h"

namespace sqltest {
namespace {

std::string hex(const unsigned char* bytes, std::size_t size) {
  static const char* kDigits = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < size; ++i) {
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 15];
  }
  return out;
}

std::string sqlName(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::string number(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.10g", value);
  std::string s = buffer;
  if (s == "-0") s = "0";
  return s;
}

std::string canonical(const jet::Value& v) {
  if (v.null) return "NULL";
  switch (v.type) {
    case jet::ColumnType::Boolean: return v.boolean ? "-1" : "0";
    case jet::ColumnType::Byte:
    case jet::ColumnType::Integer:
    case jet::ColumnType::Long: return std::to_string(v.integer);
    case jet::ColumnType::Currency: return number(static_cast<double>(v.integer) / 10000.0);
    case jet::ColumnType::Single:
    case jet::ColumnType::Double: return number(v.real);
    case jet::ColumnType::DateTime: {
      const jet::DateTime t = jet::toDateTime(v.real);
      char buffer[40];
      std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                    t.second);
      return buffer;
    }
    case jet::ColumnType::Text:
    case jet::ColumnType::Memo: return jet::toUtf8(v.text);
    case jet::ColumnType::Binary:
    case jet::ColumnType::OLE: return hex(reinterpret_cast<const unsigned char*>(v.bytes.data()), v.bytes.size());
    case jet::ColumnType::Guid: return hex(v.guid.data(), v.guid.size());
    case jet::ColumnType::Numeric: return number(std::stod(v.decimal.toString()));
  }
  return "?";
}

Opened open(const std::filesystem::path& file) {
  Opened o;
  o.database = jet::Database::open(file.string());
  o.session = std::make_unique<jet::sql::Session>(*o.database);
  return o;
}

Rows run(jet::sql::Session& session, const std::string& sql, const Arguments& arguments) {
  auto statement = session.prepare(sql);
  for (const auto& [name, value] : arguments) statement->bind(name, value);
  Rows rows;
  const std::size_t columns = statement->table().columns.size();
  while (statement->next()) {
    Row row;
    for (std::size_t i = 0; i < columns; ++i) row.push_back(canonical(statement->value(i)));
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<std::string> columnNames(jet::sql::Session& session, const std::string& sql) {
  auto statement = session.prepare(sql);
  std::vector<std::string> names;
  for (const jet::Column& c : statement->table().columns) names.push_back(c.name);
  return names;
}

std::string errorOf(jet::sql::Session& session, const std::string& sql) {
  try {
    auto statement = session.prepare(sql);
    if (statement->givesRows()) {
      while (statement->next()) {
      }
    } else {
      statement->execute();
    }
  } catch (const std::exception& e) {
    return e.what();
  }
  return {};
}

NativeCopy::NativeCopy(const std::filesystem::path& file) {
  if (sqlite3_open(":memory:", &db_) != SQLITE_OK) throw std::runtime_error("no in-memory SQLite");
  // round_even(x, n): rounding half to even, as Access's CCur and Round do
  // and SQLite's round() doesn't.
  sqlite3_create_function(
      db_, "round_even", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
      [](sqlite3_context* ctx, int, sqlite3_value** argv) {
        if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
        const double scale = std::pow(10.0, sqlite3_value_int(argv[1]));
        sqlite3_result_double(ctx, std::nearbyint(sqlite3_value_double(argv[0]) * scale) / scale);
      },
      nullptr, nullptr);
  auto database = jet::Database::open(file.string());
  for (const jet::CatalogueEntry& entry : database->catalogue()) {
    if (entry.kind != jet::ObjectKind::Table) continue;
    const jet::TableDef def = database->table(entry.name);
    // The column types only choose how mdb-export's text is stored.
    std::string create = "CREATE TABLE " + sqlName(entry.name) + " (";
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
      const jet::ColumnType t = def.columns[i].type;
      const char* affinity = "TEXT";
      if (t == jet::ColumnType::Boolean || t == jet::ColumnType::Byte || t == jet::ColumnType::Integer ||
          t == jet::ColumnType::Long)
        affinity = "INTEGER";
      if (t == jet::ColumnType::Currency || t == jet::ColumnType::Single || t == jet::ColumnType::Double ||
          t == jet::ColumnType::Numeric)
        affinity = "REAL";
      if (t == jet::ColumnType::Binary || t == jet::ColumnType::OLE) affinity = "BLOB";
      create += (i ? ", " : "") + sqlName(def.columns[i].name) + " " + affinity;
    }
    create += ")";
    if (sqlite3_exec(db_, create.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
      throw std::runtime_error(sqlite3_errmsg(db_));

    const auto exported = jettest::runProcess({"mdb-export", "-D", "%Y-%m-%d %H:%M:%S", "-T", "%Y-%m-%d %H:%M:%S",
                                               "-b", "hex", file.string(), entry.name});
    if (exported.exitCode != 0) throw std::runtime_error("mdb-export failed on " + entry.name + ": " + exported.err);
    const auto csv = jettest::parseCsv(exported.out);
    std::string insert = "INSERT INTO " + sqlName(entry.name) + " VALUES (";
    for (std::size_t i = 0; i < def.columns.size(); ++i) insert += i ? ", ?" : "?";
    insert += ")";
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db_, insert.c_str(), -1, &statement, nullptr);
    sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
    for (std::size_t r = 1; r < csv.size(); ++r) {
      sqlite3_reset(statement);
      for (std::size_t i = 0; i < def.columns.size() && i < csv[r].size(); ++i) {
        const jettest::CsvField& field = csv[r][i];
        const int at = static_cast<int>(i + 1);
        const jet::ColumnType t = def.columns[i].type;
        if (field.text.empty() && !field.quoted) {
          sqlite3_bind_null(statement, at);
        } else if (t == jet::ColumnType::Boolean) {
          sqlite3_bind_int(statement, at, field.text == "1" ? -1 : 0);
        } else if (t == jet::ColumnType::Single) {
          // mdb-export prints a Single to a few digits; the nearest Single
          // is the stored value, which Access computes with.
          sqlite3_bind_double(statement, at, static_cast<float>(std::stod(field.text)));
        } else if (t == jet::ColumnType::Binary || t == jet::ColumnType::OLE) {
          std::string bytes;
          for (std::size_t k = 0; k + 1 < field.text.size(); k += 2)
            bytes += static_cast<char>(std::stoi(field.text.substr(k, 2), nullptr, 16));
          sqlite3_bind_blob(statement, at, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        } else {
          sqlite3_bind_text(statement, at, field.text.c_str(), static_cast<int>(field.text.size()), SQLITE_TRANSIENT);
        }
      }
      sqlite3_step(statement);
    }
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_finalize(statement);
  }
}

NativeCopy::~NativeCopy() { sqlite3_close(db_); }

Rows NativeCopy::rows(const std::string& sql) const {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
    throw std::runtime_error(std::string("native SQL: ") + sqlite3_errmsg(db_));
  Rows rows;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    Row row;
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
      switch (sqlite3_column_type(statement, i)) {
        case SQLITE_NULL: row.push_back("NULL"); break;
        case SQLITE_INTEGER: row.push_back(std::to_string(sqlite3_column_int64(statement, i))); break;
        case SQLITE_FLOAT: row.push_back(number(sqlite3_column_double(statement, i))); break;
        case SQLITE_BLOB:
          row.push_back(hex(static_cast<const unsigned char*>(sqlite3_column_blob(statement, i)),
                            static_cast<std::size_t>(sqlite3_column_bytes(statement, i))));
          break;
        default: row.push_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, i))); break;
      }
    }
    rows.push_back(std::move(row));
  }
  sqlite3_finalize(statement);
  return rows;
}

void NwindTest::SetUp() {
  path = fixtures::mdb("nwind.mdb");
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "fixture " << path << " is absent";
  opened = open(path);
}

Rows sorted(Rows rows) {
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace sqltest
