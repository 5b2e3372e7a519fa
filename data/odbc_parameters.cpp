#include "data/odbc_parameters.h"

#include <cstring>

#include "data/date_time.h"

namespace tabrix::odbc {

namespace {

SQLSMALLINT sqlTypeOf(DataType type) {
  switch (type) {
    case DataType::Boolean:
      return SQL_BIT;
    case DataType::TinyInt:
    case DataType::UnsignedTinyInt:
      return SQL_TINYINT;
    case DataType::SmallInt:
    case DataType::UnsignedSmallInt:
      return SQL_SMALLINT;
    case DataType::Integer:
    case DataType::UnsignedInt:
    case DataType::Error:
      return SQL_INTEGER;
    case DataType::BigInt:
    case DataType::UnsignedBigInt:
      return SQL_BIGINT;
    case DataType::Single:
      return SQL_REAL;
    case DataType::Double:
      return SQL_DOUBLE;
    case DataType::Currency:
    case DataType::Decimal:
    case DataType::Numeric:
    case DataType::VarNumeric:
      return SQL_DECIMAL;
    case DataType::DBDate:
      return SQL_TYPE_DATE;
    case DataType::DBTime:
      return SQL_TYPE_TIME;
    case DataType::Date:
    case DataType::DBTimeStamp:
    case DataType::FileTime:
    case DataType::DBFileTime:
      return SQL_TYPE_TIMESTAMP;
    case DataType::GUID:
      return SQL_GUID;
    case DataType::Binary:
      return SQL_BINARY;
    case DataType::VarBinary:
      return SQL_VARBINARY;
    case DataType::LongVarBinary:
      return SQL_LONGVARBINARY;
    case DataType::LongVarChar:
    case DataType::LongVarWChar:
      return SQL_LONGVARCHAR;
    default:
      return SQL_VARCHAR;
  }
}

template <typename T>
void store(std::vector<char>& data, const T& value) {
  data.resize(sizeof value);
  std::memcpy(data.data(), &value, sizeof value);
}

}  // namespace

void Parameters::add(const ColumnValue& value) {
  Parameter& p = m_parameters.emplace_back();
  p.sqlType = sqlTypeOf(value.type);
  if (p.sqlType == SQL_DECIMAL) {
    p.size = value.type == DataType::Currency ? 19 : std::max(value.precision, 1);
    p.digits = static_cast<SQLSMALLINT>(value.type == DataType::Currency ? 4 : value.scale);
  }
  if (isNull(value.value)) {
    p.cType = SQL_C_CHAR;
    p.indicator = SQL_NULL_DATA;
    if (p.size == 0) p.size = 1;
    return;
  }
  switch (valueKind(value.type)) {
    case ValueKind::Boolean:
      p.cType = SQL_C_BIT;
      store(p.data, static_cast<unsigned char>(std::get<bool>(value.value) ? 1 : 0));
      break;
    case ValueKind::Integer:
      if (integerWidth(value.type) <= 4) {
        p.cType = value.type == DataType::UnsignedInt ? SQL_C_ULONG : SQL_C_SLONG;
        store(p.data, static_cast<std::int32_t>(std::get<std::int64_t>(value.value)));
      } else {
        p.cType = value.type == DataType::UnsignedBigInt ? SQL_C_UBIGINT : SQL_C_SBIGINT;
        store(p.data, std::get<std::int64_t>(value.value));
      }
      break;
    case ValueKind::Real:
      p.cType = SQL_C_DOUBLE;
      store(p.data, std::get<double>(value.value));
      break;
    case ValueKind::Currency: {
      const std::int64_t n = std::get<std::int64_t>(value.value);
      const std::uint64_t magnitude = n < 0 ? std::uint64_t(0) - static_cast<std::uint64_t>(n) : n;
      const QByteArray text = QByteArray(n < 0 ? "-" : "") + QByteArray::number(magnitude / 10000) + '.' +
                              QByteArray::number(magnitude % 10000).rightJustified(4, '0');
      p.cType = SQL_C_CHAR;
      p.data.assign(text.begin(), text.end());
      break;
    }
    case ValueKind::DateTime: {
      // As text in ODBC's canonical form, the fraction only when there is
      // one: drivers without a date type (SQLite keeps text) then compare a
      // value with the way it was written.
      const double days = std::get<double>(value.value);
      const QDate date = dateOf(days);
      const QTime time = timeOf(days);
      QString text;
      if (value.type == DataType::DBDate)
        text = date.toString(QStringLiteral("yyyy-MM-dd"));
      else if (value.type == DataType::DBTime)
        text = time.toString(QStringLiteral("HH:mm:ss"));
      else
        text = date.toString(QStringLiteral("yyyy-MM-dd")) + QChar(' ') +
               time.toString(time.msec() ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"));
      const QByteArray bytes = text.toLatin1();
      p.cType = SQL_C_CHAR;
      p.data.assign(bytes.begin(), bytes.end());
      if (p.sqlType == SQL_TYPE_TIMESTAMP) {
        p.size = 23;
        p.digits = 3;
      }
      break;
    }
    case ValueKind::Guid: {
      p.cType = SQL_C_GUID;
      const Guid& g = std::get<Guid>(value.value);
      p.data.assign(reinterpret_cast<const char*>(g.data()), reinterpret_cast<const char*>(g.data()) + 16);
      break;
    }
    case ValueKind::Text: {
      const QByteArray utf8 = std::get<QString>(value.value).toUtf8();
      p.cType = SQL_C_CHAR;
      p.data.assign(utf8.begin(), utf8.end());
      break;
    }
    case ValueKind::Bytes: {
      const QByteArray& bytes = std::get<QByteArray>(value.value);
      p.cType = SQL_C_BINARY;
      p.data.assign(bytes.begin(), bytes.end());
      break;
    }
  }
  p.indicator = static_cast<SQLLEN>(p.data.size());
  if (p.size == 0) p.size = std::max<SQLULEN>(p.data.size(), 1);
}

void Parameters::bind(const Handle& statement) {
  SQLUSMALLINT number = 1;
  for (Parameter& p : m_parameters) {
    // An empty value still needs a buffer to point at.
    if (p.data.empty()) p.data.push_back('\0');
    statement.check(SQLBindParameter(statement.get(), number++, SQL_PARAM_INPUT, p.cType, p.sqlType, p.size, p.digits,
                                     p.data.data(), static_cast<SQLLEN>(p.data.size()), &p.indicator));
  }
}

}  // namespace tabrix::odbc
