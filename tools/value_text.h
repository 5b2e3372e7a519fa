#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "jet/value.h"

namespace tabrix::cli {

// The text forms of engine values that every writer of tabrix-cli shares.
// Each writes at `p`, which has room for the value (at most 40 characters),
// and returns the end of what it wrote.

// Currency from its ten-thousandths: exact, no trailing zeros after the
// point, no point when nothing follows it ("3.5", "-0.0005", "12").
char* writeCurrency(char* p, std::int64_t tenThousandths);

// yyyy-MM-dd HH:mm:ss, the year with at least four digits.
char* writeDateTime(char* p, const jet::DateTime& t);

// {01234567-89AB-CDEF-0123-456789ABCDEF}, as Access shows a GUID.
char* writeGuid(char* p, const jet::Guid& g);

// A GUID's bytes in the order its text reads: the file keeps the first three
// groups as little-endian numbers.
std::array<std::uint8_t, 16> guidInReadingOrder(const jet::Guid& g);

// The shortest text that reads back as this float (a Single), not the double
// it widens to.
char* writeSingle(char* p, float value);


}  // namespace tabrix::cli
