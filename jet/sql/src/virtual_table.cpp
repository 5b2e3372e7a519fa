// The engine's tables as SQLite virtual tables.
//
// Scans stream: a cursor holds one RowCursor of the engine, decodes only
// the columns SQLite asks for, and hands values over with SQLITE_TRANSIENT
// (the engine's values are views valid until the next row).
//
// How the engine's index cursors will plug in (xBestIndex and xFilter):
// xBestIndex today offers one plan, the full scan, with idxNum 0 and an
// honest cost — the row count the table definition records, as both the
// estimated rows and the cost. With index cursors it walks each index of
// the table (TableDef::indexes): an EQ constraint on its leading columns,
// or a range (GT/GE/LT/LE) on the first of them, becomes a plan whose
// idxNum carries the index's position (bits 0-15) and which bounds are
// given (bit 16: equality prefix, bit 17: lower bound, bit 18: upper
// bound), whose argvIndex hands SQLite's values to xFilter in that order,
// and whose cost is log2(rows) for the seek plus the rows expected in the
// range (one row for a unique index matched whole, else rows / 10 per
// equality column). An ORDER BY that an index's column order satisfies
// sets orderByConsumed. A constraint on the rowid (a bookmark, (page << 8)
// | row) is a lookup of one row at cost 1. xFilter then opens an index
// cursor instead of db.rows(), seeks to the key built from argv, and stops
// past the upper bound; xNext and xColumn stay as they are, reading the
// row the index cursor points at.
//
// Writes (next round): xUpdate inserts, updates (by bookmark) and deletes
// rows into the statement's engine transaction, begun in xBegin; xSync
// carries out the work that can fail (the transaction's commit up to the
// synced journal), because SQLite ignores what xCommit returns; xRollback
// abandons it. Until then xUpdate refuses every change.

#include "virtual_table.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "jet/sql/error.h"
#include "messages.h"
#include "term.h"
#include "utf8.h"
#include "value_type.h"

namespace jet::sql {
namespace {

struct Table : sqlite3_vtab {
  Context* context = nullptr;
  std::string name;
  const TableDef* definition = nullptr;
  std::vector<ValueType> types;
};

struct Cursor : sqlite3_vtab_cursor {
  std::unique_ptr<RowCursor> rows;
  bool atEnd = true;
  sqlite3_int64 rowid = 0;
  std::string text;
};

Table& tableOf(sqlite3_vtab* vtab) { return *static_cast<Table*>(vtab); }
Cursor& cursorOf(sqlite3_vtab_cursor* cursor) { return *static_cast<Cursor*>(cursor); }

// Keeps an exception for the statement to throw; SQLite gets an error code.
int failed(sqlite3_vtab* vtab) {
  tableOf(vtab).context->keep(std::current_exception());
  sqlite3_free(vtab->zErrMsg);
  vtab->zErrMsg = sqlite3_mprintf("engine error");
  return SQLITE_ERROR;
}

int connect(sqlite3* db, void* aux, int argc, const char* const* argv, sqlite3_vtab** out, char** error) {
  auto& context = *static_cast<Context*>(aux);
  if (argc < 4) {
    *error = sqlite3_mprintf("a table name is needed");
    return SQLITE_ERROR;
  }
  auto table = std::make_unique<Table>();
  try {
    std::string name = argv[3];
    if (name.size() >= 2 && name.front() == '"') {
      std::string unquoted;
      for (std::size_t i = 1; i + 1 < name.size(); ++i) {
        unquoted += name[i];
        if (name[i] == '"') ++i;
      }
      name = unquoted;
    }
    table->context = &context;
    table->name = name;
    table->definition = &context.objects.table(name);
    std::string declaration = "CREATE TABLE x(";
    for (std::size_t i = 0; i < table->definition->columns.size(); ++i) {
      const Column& c = table->definition->columns[i];
      table->types.push_back(typeOf(c));
      declaration += (i ? ", " : "") + sqlName(c.name) + " " + declaredType(c);
    }
    declaration += ")";
    const int rc = sqlite3_declare_vtab(db, declaration.c_str());
    if (rc != SQLITE_OK) return rc;
  } catch (...) {
    context.keep(std::current_exception());
    *error = sqlite3_mprintf("engine error");
    return SQLITE_ERROR;
  }
  *out = table.release();
  return SQLITE_OK;
}

int disconnect(sqlite3_vtab* vtab) {
  delete &tableOf(vtab);
  return SQLITE_OK;
}

int bestIndex(sqlite3_vtab* vtab, sqlite3_index_info* info) {
  // A full scan: every row read once.
  const double rows = std::max<double>(1, tableOf(vtab).definition->rowCount);
  info->idxNum = 0;
  info->estimatedRows = static_cast<sqlite3_int64>(rows);
  info->estimatedCost = rows;
  return SQLITE_OK;
}

int open(sqlite3_vtab*, sqlite3_vtab_cursor** out) {
  *out = new Cursor();
  return SQLITE_OK;
}

int close(sqlite3_vtab_cursor* cursor) {
  delete &cursorOf(cursor);
  return SQLITE_OK;
}

int advance(Cursor& c) {
  try {
    c.atEnd = !c.rows->next();
    if (!c.atEnd) ++c.rowid;
    return SQLITE_OK;
  } catch (...) {
    c.atEnd = true;
    return failed(c.pVtab);
  }
}

int filter(sqlite3_vtab_cursor* cursor, int, const char*, int, sqlite3_value**) {
  Cursor& c = cursorOf(cursor);
  Table& t = tableOf(c.pVtab);
  try {
    c.rows = t.context->objects.database().rows(t.name);
  } catch (...) {
    c.atEnd = true;
    return failed(c.pVtab);
  }
  c.rowid = 0;
  return advance(c);
}

int next(sqlite3_vtab_cursor* cursor) { return advance(cursorOf(cursor)); }

int eof(sqlite3_vtab_cursor* cursor) { return cursorOf(cursor).atEnd; }

void resultGuid(sqlite3_context* ctx, const Guid& g) {
  const auto le32 = [&](int i) {
    return static_cast<unsigned>(g[i]) | static_cast<unsigned>(g[i + 1]) << 8 | static_cast<unsigned>(g[i + 2]) << 16 |
           static_cast<unsigned>(g[i + 3]) << 24;
  };
  const auto le16 = [&](int i) { return static_cast<unsigned>(g[i]) | static_cast<unsigned>(g[i + 1]) << 8; };
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", le32(0), le16(4), le16(6),
                g[8], g[9], g[10], g[11], g[12], g[13], g[14], g[15]);
  sqlite3_result_text(ctx, buffer, 38, SQLITE_TRANSIENT);
}

void resultDecimal(sqlite3_context* ctx, const Decimal& d, const ValueType& type) {
  char digits[Decimal::kMaxChars];
  const std::size_t length = d.toChars(digits);
  const std::string text(digits, length);
  if (storageOf(type) == Storage::Scaled) {
    const std::string body = text[0] == '-' ? text.substr(1) : text;
    if (auto scaled = scaledLiteral(body, storedScale(type))) {
      sqlite3_result_int64(ctx, text[0] == '-' ? -*scaled : *scaled);
      return;
    }
  }
  sqlite3_result_double(ctx, std::strtod(text.c_str(), nullptr));
}

int column(sqlite3_vtab_cursor* cursor, sqlite3_context* ctx, int i) {
  Cursor& c = cursorOf(cursor);
  Table& t = tableOf(c.pVtab);
  try {
    const Value& v = c.rows->value(static_cast<std::size_t>(i));
    if (v.null) {
      sqlite3_result_null(ctx);
      return SQLITE_OK;
    }
    switch (v.type) {
      case ColumnType::Boolean: sqlite3_result_int(ctx, v.boolean ? -1 : 0); break;
      case ColumnType::Byte:
      case ColumnType::Integer:
      case ColumnType::Long:
      case ColumnType::Currency: sqlite3_result_int64(ctx, v.integer); break;
      case ColumnType::Single:
      case ColumnType::Double:
      case ColumnType::DateTime: sqlite3_result_double(ctx, v.real); break;
      case ColumnType::Text:
      case ColumnType::Memo:
        c.text.clear();
        appendUtf8(c.text, v.text);
        sqlite3_result_text(ctx, c.text.data(), static_cast<int>(c.text.size()), SQLITE_TRANSIENT);
        break;
      case ColumnType::Binary:
      case ColumnType::OLE:
        sqlite3_result_blob(ctx, v.bytes.data(), static_cast<int>(v.bytes.size()), SQLITE_TRANSIENT);
        break;
      case ColumnType::Guid: resultGuid(ctx, v.guid); break;
      case ColumnType::Numeric: resultDecimal(ctx, v.decimal, t.types[static_cast<std::size_t>(i)]); break;
    }
    return SQLITE_OK;
  } catch (...) {
    return failed(c.pVtab);
  }
}

int rowid(sqlite3_vtab_cursor* cursor, sqlite3_int64* out) {
  // The row's place in the scan: stable within a statement. It becomes the
  // row's bookmark when the engine's cursors give one.
  *out = cursorOf(cursor).rowid;
  return SQLITE_OK;
}

int update(sqlite3_vtab* vtab, int, sqlite3_value**, sqlite3_int64*) {
  try {
    throw Error(ErrorKind::ReadOnly, "The built-in engine can't change the database yet");
  } catch (...) {
    return failed(vtab);
  }
}

const sqlite3_module kModule = {
    .iVersion = 1,
    .xCreate = connect,
    .xConnect = connect,
    .xBestIndex = bestIndex,
    .xDisconnect = disconnect,
    .xDestroy = disconnect,
    .xOpen = open,
    .xClose = close,
    .xFilter = filter,
    .xNext = next,
    .xEof = eof,
    .xColumn = column,
    .xRowid = rowid,
    .xUpdate = update,
    // The write path's transaction (see above) comes with the writer.
    .xBegin = nullptr,
    .xSync = nullptr,
    .xCommit = nullptr,
    .xRollback = nullptr,
    .xFindFunction = nullptr,
    .xRename = nullptr,
    .xSavepoint = nullptr,
    .xRelease = nullptr,
    .xRollbackTo = nullptr,
    .xShadowName = nullptr,
};

}  // namespace

std::string declaredType(const Column& column) {
  switch (storageOf(typeOf(column))) {
    case Storage::Integer:
    case Storage::Scaled: return "INTEGER";
    case Storage::Real: return "REAL";
    case Storage::Text: return "TEXT COLLATE JET";
    case Storage::Blob: return "BLOB";
    default: return "";
  }
}

void registerTableModule(sqlite3* db, Context& context) {
  sqlite3_create_module_v2(db, "jet", &kModule, &context, nullptr);
}

}  // namespace jet::sql
