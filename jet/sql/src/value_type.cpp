#include "value_type.h"

namespace jet::sql {

Storage storageOf(const ValueType& type) {
  switch (type.kind) {
    case Kind::Null: return Storage::Null;
    case Kind::Boolean:
    case Kind::Byte:
    case Kind::Integer:
    case Kind::Long: return Storage::Integer;
    case Kind::Currency: return Storage::Scaled;
    case Kind::Decimal: return type.precision <= 18 ? Storage::Scaled : Storage::Real;
    case Kind::Single:
    case Kind::Double:
    case Kind::DateTime: return Storage::Real;
    case Kind::Text:
    case Kind::Memo:
    case Kind::Guid: return Storage::Text;
    case Kind::Binary:
    case Kind::OLE: return Storage::Blob;
    case Kind::Variant: return Storage::Any;
  }
  return Storage::Any;
}

int storedScale(const ValueType& type) {
  if (type.kind == Kind::Currency) return 4;
  if (type.kind == Kind::Decimal && type.precision <= 18) return type.scale;
  return 0;
}

ValueType typeOf(const Column& column) {
  ValueType type;
  switch (column.type) {
    case ColumnType::Boolean: type.kind = Kind::Boolean; break;
    case ColumnType::Byte: type.kind = Kind::Byte; break;
    case ColumnType::Integer: type.kind = Kind::Integer; break;
    case ColumnType::Long: type.kind = Kind::Long; break;
    case ColumnType::Currency: type.kind = Kind::Currency; break;
    case ColumnType::Single: type.kind = Kind::Single; break;
    case ColumnType::Double: type.kind = Kind::Double; break;
    case ColumnType::DateTime: type.kind = Kind::DateTime; break;
    case ColumnType::Binary: type.kind = Kind::Binary; break;
    case ColumnType::Text: type.kind = Kind::Text; break;
    case ColumnType::OLE: type.kind = Kind::OLE; break;
    case ColumnType::Memo: type.kind = Kind::Memo; break;
    case ColumnType::Guid: type.kind = Kind::Guid; break;
    case ColumnType::Numeric: type.kind = Kind::Decimal; break;
  }
  if (type.kind == Kind::Text || type.kind == Kind::Binary) type.size = column.size;
  if (type.kind == Kind::Decimal) {
    // A definition without a precision reads as the widest decimal.
    type.precision = column.precision > 0 ? column.precision : 28;
    type.scale = column.scale;
  }
  return type;
}

ColumnType columnTypeOf(Kind kind) {
  switch (kind) {
    case Kind::Boolean: return ColumnType::Boolean;
    case Kind::Byte: return ColumnType::Byte;
    case Kind::Integer: return ColumnType::Integer;
    case Kind::Long: return ColumnType::Long;
    case Kind::Currency: return ColumnType::Currency;
    case Kind::Single: return ColumnType::Single;
    case Kind::Double: return ColumnType::Double;
    case Kind::DateTime: return ColumnType::DateTime;
    case Kind::Memo: return ColumnType::Memo;
    case Kind::Binary: return ColumnType::Binary;
    case Kind::OLE: return ColumnType::OLE;
    case Kind::Guid: return ColumnType::Guid;
    case Kind::Decimal: return ColumnType::Numeric;
    case Kind::Null:
    case Kind::Text:
    case Kind::Variant: return ColumnType::Text;
  }
  return ColumnType::Text;
}

bool isNumeric(Kind kind) {
  switch (kind) {
    case Kind::Boolean:
    case Kind::Byte:
    case Kind::Integer:
    case Kind::Long:
    case Kind::Currency:
    case Kind::Single:
    case Kind::Double:
    case Kind::Decimal: return true;
    default: return false;
  }
}

bool isText(Kind kind) { return kind == Kind::Text || kind == Kind::Memo; }
bool isBinary(Kind kind) { return kind == Kind::Binary || kind == Kind::OLE; }

const char* typeName(Kind kind) {
  switch (kind) {
    case Kind::Null: return "Null";
    case Kind::Boolean: return "Yes/No";
    case Kind::Byte: return "Byte";
    case Kind::Integer: return "Integer";
    case Kind::Long: return "Long";
    case Kind::Currency: return "Currency";
    case Kind::Single: return "Single";
    case Kind::Double: return "Double";
    case Kind::DateTime: return "Date/Time";
    case Kind::Text: return "Text";
    case Kind::Memo: return "Memo";
    case Kind::Binary: return "Binary";
    case Kind::OLE: return "OLE Object";
    case Kind::Guid: return "Replication ID";
    case Kind::Decimal: return "Decimal";
    case Kind::Variant: return "Variant";
  }
  return "";
}

}  // namespace jet::sql
