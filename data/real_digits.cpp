#include "data/real_digits.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace tabrix {

namespace {

// Every power of ten a double holds exactly.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr double kFifteenDigitsLow = 1e14;
constexpr double kFifteenDigitsHigh = 1e15;

void dropTrailingZeros(RealDigits& d) {
  while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
}

// to_chars' scientific text: "d", "d.ddd", then "e" and a signed exponent.
RealDigits fromScientific(const char* text, const char* end) {
  RealDigits d;
  const char* p = text;
  for (; p != end && *p != 'e'; ++p)
    if (*p != '.') d.digits[d.count++] = *p;
  if (p != end) {
    ++p;
    if (p != end && *p == '+') ++p;
    std::from_chars(p, end, d.exponent);
  }
  dropTrailingZeros(d);
  return d;
}

RealDigits exactFifteenDigits(double magnitude) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
  return fromScientific(buffer, result.ptr);
}

// Fifteen digits held as an integer of [1e14, 1e15).
RealDigits fromInteger(std::uint64_t value, int exponent) {
  RealDigits d;
  d.count = 15;
  d.exponent = exponent;
  for (int i = 14; i > 0; i -= 2) {
    const auto pair = static_cast<unsigned>(value % 100);
    value /= 100;
    d.digits[i] = static_cast<char>('0' + pair % 10);
    d.digits[i - 1] = static_cast<char>('0' + pair / 10);
  }
  d.digits[0] = static_cast<char>('0' + value);
  dropTrailingZeros(d);
  return d;
}

RealDigits one(int exponent) {
  RealDigits d;
  d.digits[0] = '1';
  d.count = 1;
  d.exponent = exponent;
  return d;
}

}  // namespace

RealDigits fifteenDigits(double magnitude) {
  // Scaled by an exact power of ten into [1e14, 1e15], the product is off
  // the exact value by at most half its last place (1/32 there), so that
  // rounding it to an integer rounds the exact value the same way, except
  // where it falls exactly halfway: those few, and numbers out of the
  // powers' reach, take the exact conversion.
  if (magnitude >= 1e-8 && magnitude < kFifteenDigitsHigh) {
    // floor(log2 · log10 2): the decimal exponent, or one below it.
    int exponent = (std::ilogb(magnitude) * 78913) >> 18;
    for (int attempt = 0; attempt < 3 && exponent >= -8 && exponent <= 14; ++attempt) {
      const double scaled = magnitude * kPowersOfTen[14 - exponent];
      if (scaled < kFifteenDigitsLow) {
        --exponent;
        continue;
      }
      if (scaled > kFifteenDigitsHigh) {
        ++exponent;
        continue;
      }
      // Within half a last place of 1e15 either way: rounds up to it.
      if (scaled == kFifteenDigitsHigh) return one(exponent + 1);
      std::uint64_t whole = static_cast<std::uint64_t>(scaled);
      const double fraction = scaled - static_cast<double>(whole);
      if (fraction == 0.5) break;
      if (fraction > 0.5) ++whole;
      if (whole == 1'000'000'000'000'000) return one(exponent + 1);
      return fromInteger(whole, exponent);
    }
  }
  return exactFifteenDigits(magnitude);
}

RealDigits shortestDigits(float magnitude) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
  return fromScientific(buffer, result.ptr);
}

}  // namespace tabrix
