#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace jet {

// The column types of the file format, with their numbers in the table
// definition.
enum class ColumnType : std::uint8_t {
  Boolean = 0x01,
  Byte = 0x02,
  Integer = 0x03,   // 16-bit
  Long = 0x04,      // 32-bit
  Currency = 0x05,  // 64-bit, scaled by 10000
  Single = 0x06,
  Double = 0x07,
  DateTime = 0x08,  // double: days since 1899-12-30, time as the fraction
  Binary = 0x09,
  Text = 0x0A,
  OLE = 0x0B,       // long binary
  Memo = 0x0C,      // long text
  Guid = 0x0F,
  Numeric = 0x10,   // decimal: sign, scale, 96-bit magnitude
};

// An exact decimal number: (negative ? -1 : 1) * magnitude / 10^scale.
struct Decimal {
  bool negative = false;
  std::uint8_t scale = 0;
  std::array<std::uint32_t, 3> magnitude{};  // least significant word first

  // Plain decimal text: "-" for a negative number, "." as the decimal point,
  // no trailing zeros after it and no point when nothing follows it.
  std::string toString() const;

  // The same text written into `out` without allocating; returns its length.
  static constexpr std::size_t kMaxChars = 64;
  std::size_t toChars(char (&out)[kMaxChars]) const;
};

using Guid = std::array<std::uint8_t, 16>;  // in the byte order of the file

// One value of the current row of a cursor. A view: the text and byte
// spans point into the cursor's buffers and stay valid until the cursor
// moves or is destroyed. Only the member that matches `type` is meaningful;
// a Boolean is never null.
struct Value {
  ColumnType type = ColumnType::Long;
  bool null = true;
  bool boolean = false;              // Boolean
  std::int64_t integer = 0;          // Byte, Integer, Long; Currency in 1/10000
  double real = 0;                   // Single, Double; DateTime as days
  std::u16string_view text;          // Text, Memo
  std::span<const std::byte> bytes;  // Binary, OLE
  Decimal decimal;                   // Numeric
  Guid guid{};                       // Guid
};

// UTF-16 to UTF-8, for names and for callers that print text. A half of a
// surrogate pair without its other half becomes U+FFFD.
std::string toUtf8(std::u16string_view text);

// The same, written to `out` without allocating: `out` must have room for 3
// bytes per code unit of `text`. Returns the end of what was written. A
// caller encoding a long text in runs ends each run before a high surrogate
// whose pair the run would cut.
char* toUtf8(std::u16string_view text, char* out);

// A DateTime value as calendar date and clock time, rounded to the nearest
// second. The stored double counts days from 1899-12-30; before that date
// the whole part counts back and the fraction still runs forward from
// midnight (-1.25 is 1899-12-29 06:00). `valid` is false for a value no
// calendar holds (not finite, or beyond the years 1 to 99999).
struct DateTime {
  bool valid = false;
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0;
};
DateTime toDateTime(double days);

}  // namespace jet
