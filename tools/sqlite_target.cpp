#include "sqlite_target.h"

#include <sqlite3.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

#include "jet/value.h"
#include "value_text.h"

namespace tabrix::cli {
namespace {

std::string message(sqlite3* db) { return db ? sqlite3_errmsg(db) : "out of memory"; }

void syncPath(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags);
  if (fd < 0) throw TargetError("cannot open " + path + ": " + std::strerror(errno));
  const int synced = ::fsync(fd);
  const int error = errno;
  ::close(fd);
  if (synced != 0) throw TargetError("cannot write " + path + " to disk: " + std::strerror(error));
}

class InsertWriter final : public RowWriter {
 public:
  InsertWriter(sqlite3* db, const TablePlan& table) : db_(db), table_(table), buffers_(table.columns.size()) {
    std::string columns, parameters;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
      columns += (i ? ", " : "") + table.columns[i];
      parameters += i ? ", ?" : "?";
    }
    const std::string sql = "INSERT INTO " + table.name + " (" + columns + ") VALUES (" + parameters + ")";
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &insert_, nullptr) != SQLITE_OK) throw TargetError(message(db_));
  }
  ~InsertWriter() override { sqlite3_finalize(insert_); }

  void write(jet::RowCursor& rows) override {
    ++row_;
    for (std::size_t i = 0; i < buffers_.size(); ++i) {
      try {
        bindSqliteValue(insert_, static_cast<int>(i + 1), rows.value(i), buffers_[i]);
      } catch (const TargetError& e) {
        throw TargetError(e.what(), row_, table_.source.columns[i].name);
      }
    }
    const int stepped = sqlite3_step(insert_);
    sqlite3_reset(insert_);
    if (stepped != SQLITE_DONE) throw TargetError(message(db_), row_);
  }

  void finish() override {}

 private:
  sqlite3* db_;
  const TablePlan& table_;
  sqlite3_stmt* insert_ = nullptr;
  std::vector<std::string> buffers_;  // per column, reused from row to row
  std::uint64_t row_ = 0;
};

// SQLite turns a decimal's text into a double, which keeps 15 significant
// digits; a value with more would be rounded, so it is refused instead.
void bindDecimal(sqlite3_stmt* statement, int parameter, std::string& buffer, std::size_t length) {
  std::size_t first = 0, last = 0, digits = 0;
  for (std::size_t i = 0; i < length; ++i) {
    if (buffer[i] < '0' || buffer[i] > '9') continue;
    ++digits;
    if (buffer[i] != '0') {
      if (first == 0) first = digits;
      last = digits;
    }
  }
  const std::size_t significant = first == 0 ? 0 : last - first + 1;
  if (significant > 15)
    throw TargetError("SQLite keeps a number to 15 significant digits, and " + buffer.substr(0, length) + " has " +
                      std::to_string(significant));
  sqlite3_bind_text(statement, parameter, buffer.data(), static_cast<int>(length), SQLITE_STATIC);
}

}  // namespace

void bindSqliteValue(sqlite3_stmt* statement, int parameter, const jet::Value& v, std::string& buffer) {
  if (v.null) {
    sqlite3_bind_null(statement, parameter);
    return;
  }
  auto bindBuffer = [&](std::size_t length) {
    sqlite3_bind_text(statement, parameter, buffer.data(), static_cast<int>(length), SQLITE_STATIC);
  };
  buffer.resize(std::max<std::size_t>(buffer.size(), 64));
  using jet::ColumnType;
  switch (v.type) {
    case ColumnType::Boolean: sqlite3_bind_int(statement, parameter, v.boolean ? 1 : 0); return;
    case ColumnType::Byte:
    case ColumnType::Integer:
    case ColumnType::Long: sqlite3_bind_int64(statement, parameter, v.integer); return;
    case ColumnType::Single: {
      // The double that reads as the float's shortest text: 0.1, not 0.100000001490116.
      char* end = writeSingle(buffer.data(), static_cast<float>(v.real));
      double shown = 0;
      std::from_chars(buffer.data(), end, shown);
      sqlite3_bind_double(statement, parameter, shown);
      return;
    }
    case ColumnType::Double: sqlite3_bind_double(statement, parameter, v.real); return;
    case ColumnType::Currency:
      bindDecimal(statement, parameter, buffer,
                  static_cast<std::size_t>(writeCurrency(buffer.data(), v.integer) - buffer.data()));
      return;
    case ColumnType::Numeric: {
      char digits[jet::Decimal::kMaxChars];
      const std::size_t n = v.decimal.toChars(digits);
      buffer.assign(digits, n);
      bindDecimal(statement, parameter, buffer, n);
      return;
    }
    case ColumnType::DateTime: {
      const jet::DateTime t = jet::toDateTime(v.real);
      if (!t.valid) throw TargetError("the date value " + std::to_string(v.real) + " lies outside any calendar");
      bindBuffer(static_cast<std::size_t>(writeDateTime(buffer.data(), t) - buffer.data()));
      return;
    }
    case ColumnType::Guid: bindBuffer(static_cast<std::size_t>(writeGuid(buffer.data(), v.guid) - buffer.data())); return;
    case ColumnType::Text:
    case ColumnType::Memo: {
      buffer.resize(std::max(buffer.size(), 3 * v.text.size()));
      char* p = buffer.data();
      p = jet::toUtf8(v.text, p);
      bindBuffer(static_cast<std::size_t>(p - buffer.data()));
      return;
    }
    case ColumnType::Binary:
    case ColumnType::OLE:
      if (v.bytes.empty())
        sqlite3_bind_zeroblob(statement, parameter, 0);  // empty, not null
      else
        sqlite3_bind_blob64(statement, parameter, v.bytes.data(), v.bytes.size(), SQLITE_STATIC);
      return;
  }
}

SqliteTarget::SqliteTarget(const SqliteAddress& address) : path_(address.path) {
  std::error_code ec;
  if (std::filesystem::exists(path_, ec))
    throw TargetError(path_ + " already exists: convert makes a new SQLite file and won't overwrite one");
  std::string pattern = path_ + ".partial-XXXXXX";
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) throw TargetError("cannot create " + path_ + ": " + std::strerror(errno));
  ::close(fd);
  building_ = pattern;
  if (sqlite3_open_v2(building_.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    TargetError error("cannot open " + building_ + ": " + message(db_));
    close();
    ::unlink(building_.c_str());
    throw error;
  }
  // The file is private until it's complete: it is synced once at the end,
  // and a run that dies leaves only the temporary name.
  execute("PRAGMA journal_mode = MEMORY");
  execute("PRAGMA synchronous = OFF");
}

SqliteTarget::~SqliteTarget() { close(); }

void SqliteTarget::close() noexcept {
  sqlite3_close_v2(db_);
  db_ = nullptr;
}

void SqliteTarget::begin() {
  execute("BEGIN");
  changed_ = false;
}

void SqliteTarget::execute(const std::string& statement) {
  char* error = nullptr;
  if (sqlite3_exec(db_, statement.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    TargetError failure(error ? error : message(db_));
    sqlite3_free(error);
    throw failure;
  }
  changed_ = true;
}

std::unique_ptr<RowWriter> SqliteTarget::rows(const TablePlan& table) {
  changed_ = true;
  return std::make_unique<InsertWriter>(db_, table);
}

void SqliteTarget::checkForeignKeys(const SchemaPlan& plan) {
  sqlite3_stmt* check = nullptr;
  if (sqlite3_prepare_v2(db_, "PRAGMA foreign_key_check", -1, &check, nullptr) != SQLITE_OK)
    throw TargetError(message(db_));
  std::string violation;
  if (sqlite3_step(check) == SQLITE_ROW) {
    const std::string table = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
    const std::string parent = reinterpret_cast<const char*>(sqlite3_column_text(check, 2));
    violation = "row " + std::to_string(sqlite3_column_int64(check, 1)) + " of " + table + " refers to a row of " +
                parent + " that doesn't exist";
    for (const ForeignKeyPlan& fk : plan.relationships)
      if (fk.table == table && fk.referencedTable == parent) {
        violation = "relationship " + fk.relationship + ": " + violation;
        break;
      }
  }
  sqlite3_finalize(check);
  if (!violation.empty()) throw TargetError(violation);
}

void SqliteTarget::commit() {
  execute("COMMIT");
  committed_ = committed_ || changed_;
}

void SqliteTarget::rollback() noexcept { sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr); }

void SqliteTarget::publish() {
  close();
  syncPath(building_, O_RDONLY);
  // link() never replaces a file that appeared meanwhile.
  if (::link(building_.c_str(), path_.c_str()) != 0) {
    const int error = errno;
    ::unlink(building_.c_str());
    throw TargetError("cannot create " + path_ + ": " + std::strerror(error));
  }
  ::unlink(building_.c_str());
  const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
  syncPath(folder.empty() ? "." : folder.string(), O_RDONLY | O_DIRECTORY);
}

void SqliteTarget::abandon() noexcept {
  if (committed_) {
    try {
      publish();
      return;
    } catch (const TargetError&) {
      // The run has already failed with its own error.
    }
  }
  close();
  ::unlink(building_.c_str());
}

void SqliteTarget::complete() { publish(); }

}  // namespace tabrix::cli
