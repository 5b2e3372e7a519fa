#include "data/odbc_result.h"

#include <QStringDecoder>
#include <cstring>

#include "data/date_time.h"
#include "data/errors.h"
#include "data/value_parse.h"

namespace tabrix::odbc {

namespace {

QString stringAttribute(const Handle& statement, SQLUSMALLINT column, SQLUSMALLINT field) {
  SQLCHAR buffer[1024] = {};
  SQLSMALLINT length = 0;
  const SQLRETURN result = SQLColAttributeA(statement.get(), column, field, buffer, sizeof buffer, &length, nullptr);
  if (!SQL_SUCCEEDED(result)) return {};
  return fromUtf8(buffer, sizeof buffer);
}

SQLLEN numberAttribute(const Handle& statement, SQLUSMALLINT column, SQLUSMALLINT field) {
  SQLLEN value = 0;
  const SQLRETURN result = SQLColAttributeA(statement.get(), column, field, nullptr, 0, nullptr, &value);
  return SQL_SUCCEEDED(result) ? value : 0;
}

// A currency value the driver gave as text, in ten-thousandths. Text that
// is no number, or a value currency can't hold, is an error, never a wrong
// value.
std::int64_t currencyOf(const std::vector<char>& text, const ColumnInfo& column) {
  const QString number = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  try {
    return currencyFromNumberText(number);
  } catch (const ValueError&) {
    throw ProviderError(QStringLiteral("The driver gave \"%1\" for the currency column %2, which no currency value "
                                       "can hold")
                            .arg(number, column.name));
  }
}

}  // namespace

DataType dataTypeOf(SQLSMALLINT sqlType, bool isUnsigned, bool money) {
  switch (sqlType) {
    case SQL_CHAR:
      return DataType::Char;
    case SQL_VARCHAR:
      return DataType::VarChar;
    case SQL_LONGVARCHAR:
      return DataType::LongVarChar;
    case SQL_WCHAR:
      return DataType::WChar;
    case SQL_WVARCHAR:
      return DataType::VarWChar;
    case SQL_WLONGVARCHAR:
      return DataType::LongVarWChar;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
      return money ? DataType::Currency : DataType::Numeric;
    case SQL_SMALLINT:
      return isUnsigned ? DataType::UnsignedSmallInt : DataType::SmallInt;
    case SQL_INTEGER:
      return isUnsigned ? DataType::UnsignedInt : DataType::Integer;
    case SQL_REAL:
      return DataType::Single;
    case SQL_FLOAT:
    case SQL_DOUBLE:
      return DataType::Double;
    case SQL_BIT:
      return DataType::Boolean;
    case SQL_TINYINT:
      return isUnsigned ? DataType::UnsignedTinyInt : DataType::TinyInt;
    case SQL_BIGINT:
      return isUnsigned ? DataType::UnsignedBigInt : DataType::BigInt;
    case SQL_BINARY:
      return DataType::Binary;
    case SQL_VARBINARY:
      return DataType::VarBinary;
    case SQL_LONGVARBINARY:
      return DataType::LongVarBinary;
    case SQL_TYPE_DATE:
    case SQL_DATE:
      return DataType::DBDate;
    case SQL_TYPE_TIME:
    case SQL_TIME:
      return DataType::DBTime;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
      return DataType::DBTimeStamp;
    case SQL_GUID:
      return DataType::GUID;
    default:
      return DataType::Variant;
  }
}

std::vector<ResultColumn> describe(const Handle& statement) {
  SQLSMALLINT count = 0;
  statement.check(SQLNumResultCols(statement.get(), &count));
  std::vector<ResultColumn> columns;
  for (SQLUSMALLINT i = 1; i <= count; ++i) {
    SQLCHAR name[1024] = {};
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT sqlType = 0;
    SQLULEN size = 0;
    SQLSMALLINT digits = 0;
    SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;
    statement.check(
        SQLDescribeColA(statement.get(), i, name, sizeof name, &nameLength, &sqlType, &size, &digits, &nullable));
    ResultColumn column;
    column.sqlType = sqlType;
    ColumnInfo& info = column.info;
    info.name = fromUtf8(name, sizeof name);
    const bool isUnsigned = numberAttribute(statement, i, SQL_DESC_UNSIGNED) == SQL_TRUE &&
                            sqlType != SQL_DECIMAL && sqlType != SQL_NUMERIC;
    const bool money = numberAttribute(statement, i, SQL_DESC_FIXED_PREC_SCALE) == SQL_TRUE;
    info.type = dataTypeOf(sqlType, isUnsigned, money);
    info.size = static_cast<int>(std::min<SQLULEN>(size, 0x7fffffff));
    if (info.type == DataType::Currency) {
      info.precision = 19;
      info.scale = 4;
    } else if (info.type == DataType::Numeric) {
      info.precision = info.size;
      info.scale = digits;
    }
    info.nullable = nullable != SQL_NO_NULLS;
    info.autoIncrement = numberAttribute(statement, i, SQL_DESC_AUTO_UNIQUE_VALUE) == SQL_TRUE;
    column.baseTable = stringAttribute(statement, i, SQL_DESC_BASE_TABLE_NAME);
    info.baseColumn = stringAttribute(statement, i, SQL_DESC_BASE_COLUMN_NAME);
    if (column.baseTable.isEmpty() || numberAttribute(statement, i, SQL_DESC_UPDATABLE) == SQL_ATTR_READONLY)
      info.baseColumn.clear();
    columns.push_back(std::move(column));
  }
  return columns;
}

void fetchRows(const Handle& statement, const std::vector<ColumnInfo>& columns, RowSink& sink, std::size_t limit) {
  const SQLHSTMT h = statement.get();
  std::vector<char> chunk(64 * 1024);
  std::vector<char> value;
  std::vector<char16_t> text;
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);

  // A character or binary value, piece by piece into `value`; false for a null.
  const auto readLong = [&](SQLUSMALLINT column, SQLSMALLINT cType) {
    value.clear();
    const SQLLEN terminator = cType == SQL_C_CHAR ? 1 : 0;
    for (;;) {
      SQLLEN indicator = 0;
      const SQLRETURN result =
          statement.check(SQLGetData(h, column, cType, chunk.data(), static_cast<SQLLEN>(chunk.size()), &indicator));
      if (result == SQL_NO_DATA) return true;
      if (indicator == SQL_NULL_DATA) return false;
      const SQLLEN room = static_cast<SQLLEN>(chunk.size()) - terminator;
      const bool more = result == SQL_SUCCESS_WITH_INFO && (indicator == SQL_NO_TOTAL || indicator > room);
      const SQLLEN got = more ? room : indicator;
      value.insert(value.end(), chunk.data(), chunk.data() + got);
      if (!more) return true;
    }
  };

  std::size_t rows = 0;
  while (statement.check(SQLFetch(h)) != SQL_NO_DATA) {
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
      const SQLUSMALLINT column = static_cast<SQLUSMALLINT>(c + 1);
      const DataType type = columns[c].type;
      SQLLEN indicator = 0;
      switch (valueKind(type)) {
        case ValueKind::Boolean: {
          unsigned char bit = 0;
          statement.check(SQLGetData(h, column, SQL_C_BIT, &bit, sizeof bit, &indicator));
          indicator == SQL_NULL_DATA ? sink.setNull(c) : sink.setBoolean(c, bit != 0);
          break;
        }
        case ValueKind::Integer: {
          // 32-bit C types where they hold the value: some drivers (mdbtools')
          // convert to nothing wider.
          std::int64_t number = 0;
          if (integerWidth(type) <= 4) {
            std::int32_t narrow = 0;
            const SQLSMALLINT cType = type == DataType::UnsignedInt ? SQL_C_ULONG : SQL_C_SLONG;
            statement.check(SQLGetData(h, column, cType, &narrow, sizeof narrow, &indicator));
            number = type == DataType::UnsignedInt ? std::int64_t(static_cast<std::uint32_t>(narrow)) : narrow;
          } else {
            const SQLSMALLINT cType = type == DataType::UnsignedBigInt ? SQL_C_UBIGINT : SQL_C_SBIGINT;
            statement.check(SQLGetData(h, column, cType, &number, sizeof number, &indicator));
          }
          indicator == SQL_NULL_DATA ? sink.setNull(c) : sink.setInteger(c, number);
          break;
        }
        case ValueKind::Real: {
          double number = 0;
          statement.check(SQLGetData(h, column, SQL_C_DOUBLE, &number, sizeof number, &indicator));
          indicator == SQL_NULL_DATA ? sink.setNull(c) : sink.setReal(c, number);
          break;
        }
        case ValueKind::Currency:
          if (!readLong(column, SQL_C_CHAR))
            sink.setNull(c);
          else
            sink.setInteger(c, currencyOf(value, columns[c]));
          break;
        case ValueKind::DateTime: {
          if (type == DataType::DBDate) {
            SQL_DATE_STRUCT d{};
            statement.check(SQLGetData(h, column, SQL_C_TYPE_DATE, &d, sizeof d, &indicator));
            indicator == SQL_NULL_DATA ? sink.setNull(c) : sink.setReal(c, daysFrom(QDate(d.year, d.month, d.day)));
          } else if (type == DataType::DBTime) {
            SQL_TIME_STRUCT t{};
            statement.check(SQLGetData(h, column, SQL_C_TYPE_TIME, &t, sizeof t, &indicator));
            indicator == SQL_NULL_DATA ? sink.setNull(c)
                                       : sink.setReal(c, daysFrom(QDate(1899, 12, 30), QTime(t.hour, t.minute, t.second)));
          } else {
            SQL_TIMESTAMP_STRUCT t{};
            statement.check(SQLGetData(h, column, SQL_C_TYPE_TIMESTAMP, &t, sizeof t, &indicator));
            if (indicator == SQL_NULL_DATA)
              sink.setNull(c);
            else
              sink.setReal(c, daysFrom(QDate(t.year, t.month, t.day),
                                       QTime(t.hour, t.minute, t.second, static_cast<int>(t.fraction / 1000000))));
          }
          break;
        }
        case ValueKind::Guid: {
          SQLGUID g{};
          statement.check(SQLGetData(h, column, SQL_C_GUID, &g, sizeof g, &indicator));
          if (indicator == SQL_NULL_DATA) {
            sink.setNull(c);
          } else {
            Guid bytes;
            static_assert(sizeof(SQLGUID) == 16);
            std::memcpy(bytes.data(), &g, 16);  // SQLGUID is Windows' GUID layout
            sink.setGuid(c, bytes);
          }
          break;
        }
        case ValueKind::Text:
          if (!readLong(column, SQL_C_CHAR)) {
            sink.setNull(c);
          } else {
            text.resize(value.size() + 1);
            QChar* end = utf8.appendToBuffer(reinterpret_cast<QChar*>(text.data()), QByteArrayView(value.data(), value.size()));
            sink.setText(c, std::u16string_view(text.data(), end - reinterpret_cast<QChar*>(text.data())));
          }
          break;
        case ValueKind::Bytes:
          if (!readLong(column, SQL_C_BINARY))
            sink.setNull(c);
          else
            sink.setBytes(c, std::span<const std::byte>(reinterpret_cast<const std::byte*>(value.data()), value.size()));
          break;
      }
    }
    sink.endRow();
    if (limit > 0 && ++rows >= limit) break;
  }
}

}  // namespace tabrix::odbc
