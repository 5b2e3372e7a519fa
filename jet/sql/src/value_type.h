#pragma once

#include "jet/schema.h"
#include "jet/value.h"

namespace jet::sql {

// The kind of a value in a statement: the column types of the file format
// plus Null (the literal) and Variant (known only when the statement runs).
enum class Kind : std::uint8_t {
  Null, Boolean, Byte, Integer, Long, Currency, Single, Double, DateTime,
  Text, Memo, Binary, OLE, Guid, Decimal, Variant,
};

struct ValueType {
  Kind kind = Kind::Variant;
  int size = 0;       // Text: characters; Binary: bytes
  int precision = 0;  // Decimal
  int scale = 0;      // Decimal
  bool operator==(const ValueType&) const = default;
};

// How values of a type travel through SQLite. Yes/No is -1 or 0; Currency
// an integer of ten-thousandths; a decimal of up to 18 digits an integer
// scaled by 10^scale (bigger ones a double, which keeps 15 to 17 digits);
// dates a double of days since 1899-12-30; GUIDs the text Access shows
// ("{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"); text UTF-8; binary a blob.
enum class Storage { Null, Integer, Scaled, Real, Text, Blob, Any };

Storage storageOf(const ValueType& type);
// The power of ten a Scaled value is multiplied by.
int storedScale(const ValueType& type);

ValueType typeOf(const Column& column);
// A column of the file format for a value of this type (Null and Variant
// become Text).
ColumnType columnTypeOf(Kind kind);

bool isNumeric(Kind kind);  // Boolean to Decimal, DateTime excluded
bool isText(Kind kind);     // Text and Memo
bool isBinary(Kind kind);   // Binary and OLE

// The type name an Access user knows: "Long", "Text", "Date/Time", ….
const char* typeName(Kind kind);

}  // namespace jet::sql
