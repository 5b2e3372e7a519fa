#pragma once

namespace tabrix {

// The ADO data types (DataTypeEnum, with ADO's numbers): the vocabulary in
// which fields report what they hold.
enum class DataType {
  Empty = 0,
  SmallInt = 2,
  Integer = 3,
  Single = 4,
  Double = 5,
  Currency = 6,
  Date = 7,
  BSTR = 8,
  Error = 10,
  Boolean = 11,
  Variant = 12,
  Decimal = 14,
  TinyInt = 16,
  UnsignedTinyInt = 17,
  UnsignedSmallInt = 18,
  UnsignedInt = 19,
  BigInt = 20,
  UnsignedBigInt = 21,
  FileTime = 64,
  GUID = 72,
  Binary = 128,
  Char = 129,
  WChar = 130,
  Numeric = 131,
  DBDate = 133,
  DBTime = 134,
  DBTimeStamp = 135,
  DBFileTime = 137,
  PropVariant = 138,
  VarNumeric = 139,
  VarChar = 200,
  LongVarChar = 201,
  VarWChar = 202,
  LongVarWChar = 203,
  VarBinary = 204,
  LongVarBinary = 205,
};

// How a value of a type is held in memory and in a Cell.
enum class ValueKind {
  Boolean,   // bool
  Integer,   // std::int64_t (an unsigned 64-bit value keeps its bits)
  Real,      // double (a Single is widened)
  Currency,  // std::int64_t in ten-thousandths
  DateTime,  // double: days since 1899-12-30, the time as the fraction
  Guid,      // Guid
  Text,      // QString: text, and exact decimals as "-123.45"
  Bytes,     // QByteArray
};

ValueKind valueKind(DataType type);

// Long text or long binary: the memo editor's columns.
bool isLargeObject(DataType type);
// Text of any length: locate matches these by prefix.
bool isTextType(DataType type);
// Exact decimals held as text.
bool isDecimalType(DataType type);
bool isUnsignedType(DataType type);
// The bytes one value of a fixed-width integer type takes (1, 2, 4 or 8).
int integerWidth(DataType type);

}  // namespace tabrix
