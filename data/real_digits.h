#pragma once

namespace tabrix {

// The significant decimal digits of a number, without a decimal point or
// trailing zeros ("12" for 0.0012), and the power of ten of the first one
// (-3 there).
struct RealDigits {
  char digits[17];
  int count = 0;
  int exponent = 0;
};

// A positive finite double rounded to 15 significant digits, to nearest
// with ties to even on its exact binary value: what printf's "%.14e" gives.
RealDigits fifteenDigits(double magnitude);

// A positive finite float's shortest digits that read back as that float.
RealDigits shortestDigits(float magnitude);

}  // namespace tabrix
