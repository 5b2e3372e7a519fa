#include "data/data_type.h"

namespace tabrix {

ValueKind valueKind(DataType type) {
  switch (type) {
    case DataType::Boolean:
      return ValueKind::Boolean;
    case DataType::SmallInt:
    case DataType::Integer:
    case DataType::Error:
    case DataType::TinyInt:
    case DataType::UnsignedTinyInt:
    case DataType::UnsignedSmallInt:
    case DataType::UnsignedInt:
    case DataType::BigInt:
    case DataType::UnsignedBigInt:
      return ValueKind::Integer;
    case DataType::Single:
    case DataType::Double:
      return ValueKind::Real;
    case DataType::Currency:
      return ValueKind::Currency;
    case DataType::Date:
    case DataType::FileTime:
    case DataType::DBDate:
    case DataType::DBTime:
    case DataType::DBTimeStamp:
    case DataType::DBFileTime:
      return ValueKind::DateTime;
    case DataType::GUID:
      return ValueKind::Guid;
    case DataType::Binary:
    case DataType::VarBinary:
    case DataType::LongVarBinary:
      return ValueKind::Bytes;
    default:
      return ValueKind::Text;
  }
}

bool isLargeObject(DataType type) {
  return type == DataType::LongVarChar || type == DataType::LongVarWChar || type == DataType::LongVarBinary;
}

bool isTextType(DataType type) {
  switch (type) {
    case DataType::BSTR:
    case DataType::Char:
    case DataType::WChar:
    case DataType::VarChar:
    case DataType::VarWChar:
    case DataType::LongVarChar:
    case DataType::LongVarWChar:
      return true;
    default:
      return false;
  }
}

bool isDecimalType(DataType type) {
  return type == DataType::Decimal || type == DataType::Numeric || type == DataType::VarNumeric;
}

bool isUnsignedType(DataType type) {
  return type == DataType::UnsignedTinyInt || type == DataType::UnsignedSmallInt || type == DataType::UnsignedInt ||
         type == DataType::UnsignedBigInt;
}

int integerWidth(DataType type) {
  switch (type) {
    case DataType::TinyInt:
    case DataType::UnsignedTinyInt:
      return 1;
    case DataType::SmallInt:
    case DataType::UnsignedSmallInt:
      return 2;
    case DataType::Integer:
    case DataType::UnsignedInt:
    case DataType::Error:
      return 4;
    default:
      return 8;
  }
}

}  // namespace tabrix
