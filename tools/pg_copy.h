#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "jet/database.h"

namespace tabrix::cli {

// PostgreSQL's binary COPY format: a header, per row a field count and each
// field as a 4-byte length (-1 for null) and its bytes in the type's binary
// form, a trailer. Values go in exactly: integers and floats bit for bit,
// currency and decimals as numeric digits, dates as microseconds from
// 2000-01-01 (to the second, as Access keeps them), GUIDs as uuid bytes,
// text as UTF-8, binary as it is.
namespace pgcopy {

void appendHeader(std::string& out);
void appendTrailer(std::string& out);

// Appends one value as a field of its column's type. Throws
// std::invalid_argument with the reason for a value PostgreSQL can't hold:
// a date no calendar holds, text with the character U+0000.
void appendField(std::string& out, const jet::Value& value);

// Appends a field count, then the fields of the cursor's current row.
// Throws what appendField throws, with the column's position in `column`.
void appendRow(std::string& out, jet::RowCursor& rows, std::size_t columns, std::size_t& column);

// The binary numeric of a plain decimal text ("-123.45", "0.0005") with
// this display scale.
void appendNumeric(std::string& out, std::string_view decimal, int scale);

}  // namespace pgcopy
}  // namespace tabrix::cli
