#include <algorithm>

#include "jet/value.h"

namespace jet {

std::size_t Decimal::toChars(char (&out)[kMaxChars]) const {
  // Repeated division of the 96-bit magnitude by 10 yields its digits, the
  // least significant first (at most 29 of them).
  std::array<std::uint32_t, 3> m = magnitude;
  char digits[32];
  std::size_t count = 0;
  while (m[0] != 0 || m[1] != 0 || m[2] != 0) {
    std::uint64_t remainder = 0;
    for (int i = 2; i >= 0; --i) {
      std::uint64_t part = (remainder << 32) | m[static_cast<std::size_t>(i)];
      m[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(part / 10);
      remainder = part % 10;
    }
    digits[count++] = static_cast<char>('0' + remainder);
  }
  // Fraction digits without the trailing zeros; a scale beyond the digits
  // means leading zeros after the point.
  const std::size_t s = std::min<std::size_t>(scale, 28);
  std::size_t firstKept = 0;  // lowest digit position kept in the fraction
  while (firstKept < s && firstKept < count && digits[firstKept] == '0') ++firstKept;
  if (firstKept >= count) firstKept = s;  // the fraction is all zeros
  std::size_t n = 0;
  if (negative && count > 0) out[n++] = '-';
  if (count <= s) {
    out[n++] = '0';
  } else {
    for (std::size_t i = count; i > s; --i) out[n++] = digits[i - 1];
  }
  if (firstKept < s) {
    out[n++] = '.';
    for (std::size_t i = s; i > firstKept; --i) out[n++] = i - 1 < count ? digits[i - 1] : '0';
  }
  return n;
}

std::string Decimal::toString() const {
  char text[kMaxChars];
  return std::string(text, toChars(text));
}

}  // namespace jet
