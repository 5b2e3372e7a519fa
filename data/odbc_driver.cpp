#include "data/odbc_driver.h"

#include <algorithm>
#include <vector>

#include "data/errors.h"
#include "data/odbc_result.h"

namespace tabrix {

namespace {

const QString kRowNotFound =
    QStringLiteral("Row cannot be located for updating. Some values may have been changed since it was last read");

QString readText(const odbc::Handle& statement, SQLUSMALLINT column) {
  std::vector<char> chunk(4096);
  QByteArray value;
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN result = statement.check(
        SQLGetData(statement.get(), column, SQL_C_CHAR, chunk.data(), static_cast<SQLLEN>(chunk.size()), &indicator));
    if (result == SQL_NO_DATA || indicator == SQL_NULL_DATA) break;
    const qsizetype room = static_cast<qsizetype>(chunk.size()) - 1;
    const bool more = result == SQL_SUCCESS_WITH_INFO && (indicator == SQL_NO_TOTAL || indicator > room);
    value.append(chunk.data(), more ? room : indicator);
    if (!more) break;
  }
  return QString::fromUtf8(value);
}

}  // namespace

OdbcDriver::OdbcDriver(const QString& connectionString) : m_connection(SQL_HANDLE_DBC, m_environment.get()) {
  QByteArray in = connectionString.toUtf8();
  std::vector<SQLCHAR> out(8192);
  SQLSMALLINT outLength = 0;
  m_connection.check(SQLDriverConnectA(m_connection.get(), nullptr, odbc::bytes(in), static_cast<SQLSMALLINT>(in.size()),
                                       out.data(), static_cast<SQLSMALLINT>(out.size()), &outLength,
                                       SQL_DRIVER_NOPROMPT));
  m_completedConnectionString = odbc::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
  m_quote = info(SQL_IDENTIFIER_QUOTE_CHAR).trimmed();
  m_dbms = info(SQL_DBMS_NAME);
  SQLUSMALLINT functions[SQL_API_ODBC3_ALL_FUNCTIONS_SIZE] = {};
  if (SQL_SUCCEEDED(SQLGetFunctions(m_connection.get(), SQL_API_ODBC3_ALL_FUNCTIONS, functions))) {
    m_hasColumns = SQL_FUNC_EXISTS(functions, SQL_API_SQLCOLUMNS);
    m_hasPrimaryKeys = SQL_FUNC_EXISTS(functions, SQL_API_SQLPRIMARYKEYS);
    m_hasStatistics = SQL_FUNC_EXISTS(functions, SQL_API_SQLSTATISTICS);
  }
  m_writable = info(SQL_DATA_SOURCE_READ_ONLY) == QLatin1String("N");
  SQLUSMALLINT activities = 1;
  if (SQL_SUCCEEDED(SQLGetInfo(m_connection.get(), SQL_MAX_CONCURRENT_ACTIVITIES, &activities, sizeof activities, nullptr)))
    m_severalStatements = activities != 1;
  SQLUSMALLINT capable = SQL_TC_NONE;
  if (SQL_SUCCEEDED(SQLGetInfo(m_connection.get(), SQL_TXN_CAPABLE, &capable, sizeof capable, nullptr)))
    m_transactions = capable != SQL_TC_NONE;
}

OdbcDriver::~OdbcDriver() {
  SQLDisconnect(m_connection.get());
}

QString OdbcDriver::info(SQLUSMALLINT type) const {
  SQLCHAR buffer[256] = {};
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetInfoA(m_connection.get(), type, buffer, sizeof buffer, &length))) return {};
  return odbc::fromUtf8(buffer, sizeof buffer);
}

QString OdbcDriver::quoted(const QString& identifier) const {
  // A driver that names no quote character gets Access's brackets.
  const QString open = m_quote.isEmpty() ? QStringLiteral("[") : m_quote;
  const QString close = m_quote.isEmpty() ? QStringLiteral("]") : m_quote;
  QString escaped = identifier;
  escaped.replace(close, close + close);
  return open + escaped + close;
}

std::vector<CatalogueRow> OdbcDriver::catalogue() {
  odbc::Handle statement(SQL_HANDLE_STMT, m_connection.get());
  statement.check(SQLTablesA(statement.get(), nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0));
  std::vector<CatalogueRow> rows;
  while (statement.check(SQLFetch(statement.get())) != SQL_NO_DATA) {
    CatalogueRow row;
    row.name = readText(statement, 3);
    row.type = readText(statement, 4);
    rows.push_back(std::move(row));
  }
  return rows;
}

std::unique_ptr<odbc::Handle> OdbcDriver::run(const QString& sql, odbc::Parameters* parameters) {
  auto statement = std::make_unique<odbc::Handle>(SQL_HANDLE_STMT, m_connection.get());
  if (parameters) parameters->bind(*statement);
  QByteArray text = sql.toUtf8();
  statement->check(SQLExecDirectA(statement->get(), odbc::bytes(text), static_cast<SQLINTEGER>(text.size())));
  return statement;
}

OdbcDriver::TableMetadata OdbcDriver::tableMetadata(const QString& table) {
  TableMetadata metadata;
  QByteArray name = table.toUtf8();
  const auto length = static_cast<SQLSMALLINT>(name.size());
  // Drivers crash on catalogue calls they don't have (mdbtools'
  // SQLPrimaryKeys, and its SQLStatistics though it lists it): only those
  // the driver lists are made, and the key is looked for only where the
  // database says it can be written, the one place a key is needed.
  if (m_hasColumns) {
    odbc::Handle statement(SQL_HANDLE_STMT, m_connection.get());
    if (SQL_SUCCEEDED(SQLColumnsA(statement.get(), nullptr, 0, nullptr, 0, odbc::bytes(name), length, nullptr, 0)))
      while (SQL_SUCCEEDED(SQLFetch(statement.get()))) metadata.columns.push_back(readText(statement, 4));
  }
  // The primary key, or else the first unique index.
  if (m_writable && m_hasPrimaryKeys) {
    odbc::Handle statement(SQL_HANDLE_STMT, m_connection.get());
    if (SQL_SUCCEEDED(SQLPrimaryKeysA(statement.get(), nullptr, 0, nullptr, 0, odbc::bytes(name), length))) {
      std::vector<std::pair<int, QString>> parts;
      while (SQL_SUCCEEDED(SQLFetch(statement.get())))
        parts.emplace_back(readText(statement, 5).toInt(), readText(statement, 4));
      std::sort(parts.begin(), parts.end());
      for (auto& part : parts) metadata.key.push_back(part.second);
    }
  }
  if (m_writable && metadata.key.empty() && m_hasStatistics) {
    odbc::Handle statement(SQL_HANDLE_STMT, m_connection.get());
    if (SQL_SUCCEEDED(SQLStatisticsA(statement.get(), nullptr, 0, nullptr, 0, odbc::bytes(name), length,
                                     SQL_INDEX_UNIQUE, SQL_QUICK))) {
      QString firstIndex;
      while (SQL_SUCCEEDED(SQLFetch(statement.get()))) {
        const QString index = readText(statement, 6);
        const QString column = readText(statement, 9);
        if (index.isEmpty() || column.isEmpty()) continue;  // the table's own statistics row
        if (firstIndex.isEmpty()) firstIndex = index;
        if (index != firstIndex) break;
        metadata.key.push_back(column);
      }
    }
  }
  return metadata;
}

void OdbcDriver::readResult(const odbc::Handle& statement, const QString& tableHint,
                            std::optional<TableMetadata> metadata, RowSink& sink) {
  std::vector<odbc::ResultColumn> columns = odbc::describe(statement);
  ResultInfo result;
  QString table;
  bool oneTable = true;
  for (const odbc::ResultColumn& column : columns) {
    if (column.baseTable.isEmpty()) continue;
    if (table.isEmpty())
      table = column.baseTable;
    else if (column.baseTable.compare(table, Qt::CaseInsensitive) != 0)
      oneTable = false;
  }
  if (table.isEmpty() && !tableHint.isEmpty()) {
    // A driver that doesn't name base tables: a table's own columns are its.
    table = tableHint;
    for (odbc::ResultColumn& column : columns) {
      column.baseTable = table;
      column.info.baseColumn = column.info.name;
    }
  }
  if (!table.isEmpty() && (!metadata || table.compare(tableHint, Qt::CaseInsensitive) != 0)) {
    // The table's columns and key while the result is open: only where the
    // driver allows more than one statement at a time.
    if (m_severalStatements)
      metadata = tableMetadata(table);
    else
      oneTable = false;
  }
  if (!oneTable || table.isEmpty()) {
    for (odbc::ResultColumn& column : columns) column.info.baseColumn.clear();
    table.clear();
  }
  if (!table.isEmpty() && !metadata->columns.empty()) {
    // Some drivers give a column's label as its base column: one that is no
    // column of the table is computed, or renamed, and not written.
    for (odbc::ResultColumn& column : columns) {
      const bool known = std::any_of(metadata->columns.begin(), metadata->columns.end(), [&](const QString& name) {
        return name.compare(column.info.baseColumn, Qt::CaseInsensitive) == 0;
      });
      if (!known) column.info.baseColumn.clear();
    }
  }
  for (odbc::ResultColumn& column : columns) result.columns.push_back(column.info);
  result.table = table;
  if (!table.isEmpty()) {
    for (const QString& key : metadata->key) {
      const auto it = std::find_if(result.columns.begin(), result.columns.end(), [&](const ColumnInfo& c) {
        return c.baseColumn.compare(key, Qt::CaseInsensitive) == 0;
      });
      if (it == result.columns.end()) {
        result.key.clear();
        break;
      }
      result.key.push_back(static_cast<int>(it - result.columns.begin()));
    }
  }
  sink.begin(result);
  odbc::fetchRows(statement, result.columns, sink);
}

void OdbcDriver::readTable(const QString& name, RowSink& sink) {
  // The table's columns and key first: some drivers run one statement at a time.
  TableMetadata metadata = tableMetadata(name);
  auto statement = run(QStringLiteral("SELECT * FROM ") + quoted(name));
  readResult(*statement, name, std::move(metadata), sink);
}

bool OdbcDriver::readQuery(const QString& sql, RowSink& sink) {
  auto statement = run(sql);
  for (;;) {
    SQLSMALLINT count = 0;
    statement->check(SQLNumResultCols(statement->get(), &count));
    if (count > 0) break;
    if (!SQL_SUCCEEDED(statement->check(SQLMoreResults(statement->get())))) return false;
  }
  readResult(*statement, QString(), std::nullopt, sink);
  return true;
}

void OdbcDriver::execute(const QString& sql) { run(sql); }

QString OdbcDriver::whereClause(const std::vector<ColumnValue>& where, odbc::Parameters& parameters) const {
  QStringList conditions;
  for (const ColumnValue& value : where) {
    if (isNull(value.value)) {
      conditions << quoted(value.column) + QStringLiteral(" IS NULL");
    } else {
      conditions << quoted(value.column) + QStringLiteral(" = ?");
      parameters.add(value);
    }
  }
  return conditions.join(QStringLiteral(" AND "));
}

void OdbcDriver::changeOneRow(const QString& sql, odbc::Parameters& parameters) {
  const auto setAutocommit = [&](bool on) {
    m_connection.check(SQLSetConnectAttr(m_connection.get(), SQL_ATTR_AUTOCOMMIT,
                                         reinterpret_cast<SQLPOINTER>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF),
                                         SQL_IS_UINTEGER));
  };
  if (m_transactions) setAutocommit(false);
  SQLLEN changed = 0;
  try {
    auto statement = run(sql, &parameters);
    statement->check(SQLRowCount(statement->get(), &changed));
  } catch (...) {
    if (m_transactions) {
      SQLEndTran(SQL_HANDLE_DBC, m_connection.get(), SQL_ROLLBACK);
      setAutocommit(true);
    }
    throw;
  }
  if (m_transactions) {
    m_connection.check(SQLEndTran(SQL_HANDLE_DBC, m_connection.get(), changed == 1 ? SQL_COMMIT : SQL_ROLLBACK));
    setAutocommit(true);
  }
  if (changed == 0) throw ProviderError(kRowNotFound);
  if (changed > 1) {
    throw ProviderError(m_transactions
                            ? QStringLiteral("Key column information is insufficient or incorrect. Too many rows were "
                                             "affected by update; nothing was changed")
                            : QStringLiteral("Key column information is insufficient or incorrect. %1 rows were "
                                             "affected by update")
                                  .arg(changed));
  }
}

// No bookmarks: the row is found by its original values, the key among them.
void OdbcDriver::updateRow(const QString& table, std::optional<Bookmark>, const std::vector<ColumnValue>& original,
                           const std::vector<ColumnValue>& values) {
  odbc::Parameters parameters;
  QStringList assignments;
  for (const ColumnValue& value : values) {
    assignments << quoted(value.column) + QStringLiteral(" = ?");
    parameters.add(value);
  }
  QString sql = QStringLiteral("UPDATE %1 SET %2").arg(quoted(table), assignments.join(QStringLiteral(", ")));
  const QString condition = whereClause(original, parameters);
  if (!condition.isEmpty()) sql += QStringLiteral(" WHERE ") + condition;
  changeOneRow(sql, parameters);
}

void OdbcDriver::deleteRow(const QString& table, std::optional<Bookmark>, const std::vector<ColumnValue>& original) {
  odbc::Parameters parameters;
  QString sql = QStringLiteral("DELETE FROM %1").arg(quoted(table));
  const QString condition = whereClause(original, parameters);
  if (!condition.isEmpty()) sql += QStringLiteral(" WHERE ") + condition;
  changeOneRow(sql, parameters);
}

bool OdbcDriver::insertRow(const QString& table, const std::vector<ColumnValue>& values, const ResultInfo& info,
                           RowSink& readBack) {
  {
    odbc::Parameters parameters;
    QStringList columns;
    QStringList marks;
    for (const ColumnValue& value : values) {
      columns << quoted(value.column);
      marks << QStringLiteral("?");
      parameters.add(value);
    }
    const QString sql = values.empty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(table))
                                       : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                             .arg(quoted(table), columns.join(QStringLiteral(", ")),
                                                  marks.join(QStringLiteral(", ")));
    run(sql, &parameters);
  }

  // The row is in the database now: failing to read it back must not fail
  // the insert, or the row would be added again.
  try {
    return readInserted(table, values, info, readBack);
  } catch (const ProviderError&) {
    return false;
  }
}

bool OdbcDriver::readInserted(const QString& table, const std::vector<ColumnValue>& values, const ResultInfo& info,
                              RowSink& readBack) {
  // Which row was added: its autonumber where the database tells it, else
  // its key, else every value given.
  std::vector<ColumnValue> where;
  const auto given = [&](const QString& column) {
    return std::find_if(values.begin(), values.end(), [&](const ColumnValue& v) {
      return v.column.compare(column, Qt::CaseInsensitive) == 0 && !isNull(v.value);
    });
  };
  QString identityQuery;
  auto autoNumber = std::find_if(info.columns.begin(), info.columns.end(), [&](const ColumnInfo& c) {
    return c.autoIncrement && !c.baseColumn.isEmpty();
  });
  if (m_dbms.compare(QStringLiteral("SQLite"), Qt::CaseInsensitive) == 0) {
    identityQuery = QStringLiteral("SELECT last_insert_rowid()");
    // An INTEGER PRIMARY KEY is SQLite's row id, numbered like an autonumber.
    if (autoNumber == info.columns.end() && info.key.size() == 1 &&
        valueKind(info.columns[info.key[0]].type) == ValueKind::Integer)
      autoNumber = info.columns.begin() + info.key[0];
  } else if (m_dbms.compare(QStringLiteral("ACCESS"), Qt::CaseInsensitive) == 0) {
    identityQuery = QStringLiteral("SELECT @@IDENTITY");
  }
  if (autoNumber != info.columns.end() && given(autoNumber->baseColumn) == values.end() && !identityQuery.isEmpty()) {
    auto statement = run(identityQuery);
    if (!SQL_SUCCEEDED(statement->check(SQLFetch(statement->get())))) return false;
    SQLBIGINT id = 0;
    SQLLEN indicator = 0;
    statement->check(SQLGetData(statement->get(), 1, SQL_C_SBIGINT, &id, sizeof id, &indicator));
    if (indicator == SQL_NULL_DATA) return false;
    where.push_back({autoNumber->baseColumn, DataType::BigInt, 0, 0, 0, static_cast<std::int64_t>(id)});
  } else {
    bool wholeKey = !info.key.empty();
    for (int k : info.key) {
      const auto it = given(info.columns[k].baseColumn);
      if (it == values.end()) {
        wholeKey = false;
        break;
      }
      where.push_back(*it);
    }
    if (!wholeKey) {
      where.clear();
      for (const ColumnValue& value : values)
        if (!isNull(value.value) && !isLargeObject(value.type)) where.push_back(value);
    }
  }
  if (where.empty()) return false;

  odbc::Parameters parameters;
  QStringList select;
  for (const ColumnInfo& column : info.columns)
    select << (column.baseColumn.isEmpty() ? QStringLiteral("NULL") : quoted(column.baseColumn));
  const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                          .arg(select.join(QStringLiteral(", ")), quoted(table), whereClause(where, parameters));
  auto statement = run(sql, &parameters);
  ResultInfo oneRow = info;
  oneRow.expectedRows = 1;
  readBack.begin(oneRow);
  odbc::fetchRows(*statement, info.columns, readBack, 2);
  return true;
}

bool OdbcDriver::isRegistered(const QString& driverName) {
  odbc::Environment environment;
  SQLCHAR name[1024];
  SQLCHAR attributes[4096];
  SQLSMALLINT nameLength = 0;
  SQLSMALLINT attributesLength = 0;
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  for (;;) {
    const SQLRETURN result = SQLDriversA(environment.get(), direction, name, sizeof name, &nameLength, attributes,
                                         sizeof attributes, &attributesLength);
    if (!SQL_SUCCEEDED(result)) return false;
    if (odbc::fromUtf8(name, sizeof name) == driverName) return true;
    direction = SQL_FETCH_NEXT;
  }
}

}  // namespace tabrix
