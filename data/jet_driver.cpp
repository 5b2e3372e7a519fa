#include "data/jet_driver.h"

#include <jet/database.h>
#include <jet/sql/session.h>

#include <algorithm>

#include "data/errors.h"

namespace tabrix {

namespace {

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Runs engine code, turning its errors into provider errors.
template <typename F>
auto engine(F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const jet::Error& e) {
    throw ProviderError(QString::fromUtf8(e.what()));
  } catch (const jet::sql::Error& e) {
    throw ProviderError(QString::fromUtf8(e.what()));
  }
}

ColumnInfo columnInfo(const jet::Column& column) {
  ColumnInfo info;
  info.name = fromUtf8(column.name);
  info.size = column.size;
  info.nullable = column.nullable;
  info.autoIncrement = column.autoNumber;
  switch (column.type) {
    case jet::ColumnType::Boolean:
      info.type = DataType::Boolean;
      info.nullable = false;
      break;
    case jet::ColumnType::Byte:
      info.type = DataType::UnsignedTinyInt;
      break;
    case jet::ColumnType::Integer:
      info.type = DataType::SmallInt;
      break;
    case jet::ColumnType::Long:
      info.type = DataType::Integer;
      break;
    case jet::ColumnType::Currency:
      info.type = DataType::Currency;
      info.precision = 19;
      info.scale = 4;
      break;
    case jet::ColumnType::Single:
      info.type = DataType::Single;
      break;
    case jet::ColumnType::Double:
      info.type = DataType::Double;
      break;
    case jet::ColumnType::DateTime:
      info.type = DataType::DBTimeStamp;
      break;
    case jet::ColumnType::Binary:
      info.type = column.fixedLength ? DataType::Binary : DataType::VarBinary;
      break;
    case jet::ColumnType::Text:
      info.type = column.fixedLength ? DataType::Char : DataType::VarChar;
      break;
    case jet::ColumnType::OLE:
      info.type = DataType::LongVarBinary;
      break;
    case jet::ColumnType::Memo:
      info.type = DataType::LongVarChar;
      break;
    case jet::ColumnType::Guid:
      info.type = DataType::GUID;
      break;
    case jet::ColumnType::Numeric:
      info.type = DataType::Numeric;
      info.precision = column.precision;
      info.scale = column.scale;
      break;
  }
  return info;
}

// The values of a cursor's current row, a table's or a statement's, into
// the sink.
void sendValues(jet::RowCursor& cursor, std::size_t columns, RowSink& sink) {
  char decimal[jet::Decimal::kMaxChars];
  char16_t wide[jet::Decimal::kMaxChars];
  for (std::size_t i = 0; i < columns; ++i) {
    const int c = static_cast<int>(i);
    const jet::Value& value = cursor.value(i);
    if (value.null) {
      sink.setNull(c);
      continue;
    }
    switch (value.type) {
      case jet::ColumnType::Boolean:
        sink.setBoolean(c, value.boolean);
        break;
      case jet::ColumnType::Byte:
      case jet::ColumnType::Integer:
      case jet::ColumnType::Long:
      case jet::ColumnType::Currency:
        sink.setInteger(c, value.integer);
        break;
      case jet::ColumnType::Single:
      case jet::ColumnType::Double:
      case jet::ColumnType::DateTime:
        sink.setReal(c, value.real);
        break;
      case jet::ColumnType::Binary:
      case jet::ColumnType::OLE:
        sink.setBytes(c, value.bytes);
        break;
      case jet::ColumnType::Text:
      case jet::ColumnType::Memo:
        sink.setText(c, value.text);
        break;
      case jet::ColumnType::Guid:
        sink.setGuid(c, value.guid);
        break;
      case jet::ColumnType::Numeric: {
        const std::size_t length = value.decimal.toChars(decimal);
        for (std::size_t k = 0; k < length; ++k) wide[k] = static_cast<char16_t>(decimal[k]);
        sink.setText(c, std::u16string_view(wide, length));
        break;
      }
    }
  }
}

// A statement's result as the query dataset needs it: each column's type,
// and where the rows of a query over one table are written back.
ResultInfo queryInfo(const jet::sql::Statement& statement) {
  ResultInfo info;
  const std::string& table = statement.writableTable();
  info.table = fromUtf8(table);
  const std::vector<jet::Column>& columns = statement.table().columns;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    ColumnInfo column = columnInfo(columns[i]);
    const jet::sql::Origin& origin = statement.origin(i);
    if (!table.empty() && origin.table == table) column.baseColumn = fromUtf8(origin.column);
    info.columns.push_back(std::move(column));
  }
  info.key = statement.key();
  return info;
}

[[noreturn]] void cannotWrite() {
  throw ProviderError(QStringLiteral("The built-in engine can't change the database yet"));
}

}  // namespace

JetDriver::JetDriver(const QString& file, const QString& password, const QString& user) : m_file(file.toStdString()) {
  jet::OpenOptions options;
  options.password = password.toStdString();
  if (!user.isEmpty()) options.user = user.toStdString();
  m_database = engine([&] { return jet::Database::open(file.toStdString(), options); });
}

std::size_t JetDriver::rowHint(std::uint32_t claimed) const {
  // A table holds no more rows than the file has pages, each listing at
  // most the rows a row pointer's one byte can number.
  constexpr std::size_t kRowsPerPage = 256;
  std::error_code error;
  const std::uintmax_t bytes = std::filesystem::file_size(m_file, error);
  if (error) return 0;
  return std::min<std::uintmax_t>(claimed, bytes / static_cast<std::uintmax_t>(m_database->pageSize()) * kRowsPerPage);
}

JetDriver::~JetDriver() = default;

std::vector<CatalogueRow> JetDriver::catalogue() {
  std::vector<CatalogueRow> rows;
  for (const jet::CatalogueEntry& entry : engine([&] { return m_database->catalogue(); })) {
    QString type;
    switch (entry.kind) {
      case jet::ObjectKind::SystemTable:
        type = QStringLiteral("SYSTEM TABLE");
        break;
      case jet::ObjectKind::Table:
        type = QStringLiteral("TABLE");
        break;
      case jet::ObjectKind::View:
        type = QStringLiteral("VIEW");
        break;
    }
    rows.push_back({type, fromUtf8(entry.name)});
  }
  return rows;
}

void JetDriver::readTable(const QString& name, RowSink& sink) {
  engine([&] {
    const std::string table = name.toStdString();
    std::unique_ptr<jet::RowCursor> cursor = m_database->rows(table);
    const jet::TableDef& def = cursor->table();

    ResultInfo info;
    for (const jet::Column& column : def.columns) info.columns.push_back(columnInfo(column));
    for (const jet::Index& index : def.indexes)
      if (index.primaryKey)
        for (const jet::IndexColumn& part : index.columns) info.key.push_back(part.column);
    info.expectedRows = rowHint(def.rowCount);
    info.bookmarks = true;
    sink.begin(info);

    const std::size_t columns = def.columns.size();
    while (cursor->next()) {
      sendValues(*cursor, columns, sink);
      sink.setBookmark(cursor->bookmark());
      sink.endRow();
    }
  });
}

jet::sql::Session& JetDriver::sql() {
  if (!m_sql) m_sql = engine([&] { return std::make_unique<jet::sql::Session>(*m_database); });
  return *m_sql;
}

bool JetDriver::readQuery(const QString& sql, RowSink& sink) {
  return engine([&] {
    const std::unique_ptr<jet::sql::Statement> statement = this->sql().prepare(sql.toStdString());
    if (!statement->givesRows()) {
      statement->execute();
      return false;
    }
    // The first row runs the statement: a failure leaves the sink untouched.
    const bool any = statement->next();
    sink.begin(queryInfo(*statement));
    if (!any) return true;
    const std::size_t columns = statement->table().columns.size();
    do {
      sendValues(*statement, columns, sink);
      sink.endRow();
    } while (statement->next());
    return true;
  });
}

void JetDriver::execute(const QString& sql) {
  engine([&] { this->sql().prepare(sql.toStdString())->execute(); });
}

void JetDriver::updateRow(const QString&, std::optional<Bookmark>, const std::vector<ColumnValue>&,
                          const std::vector<ColumnValue>&) {
  cannotWrite();
}

void JetDriver::deleteRow(const QString&, std::optional<Bookmark>, const std::vector<ColumnValue>&) { cannotWrite(); }

bool JetDriver::insertRow(const QString&, const std::vector<ColumnValue>&, const ResultInfo&, RowSink&) {
  cannotWrite();
}

}  // namespace tabrix
