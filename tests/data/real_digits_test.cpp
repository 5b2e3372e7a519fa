#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "data/real_digits.h"

namespace tabrix {
namespace {

std::string digitsOf(const RealDigits& d) { return std::string(d.digits, d.count) + "e" + std::to_string(d.exponent); }

// printf's "%.14e" of the number, without trailing zeros, in the same form.
std::string exactDigits(double magnitude) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14).ptr;
  char* e = std::find(buffer, end, 'e');
  std::string digits = std::string(1, buffer[0]) + std::string(buffer + 2, e);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  return digits + "e" + std::to_string(std::atoi(e + 1));
}

TEST(RealDigitsTest, FifteenDigitsRoundLikePrintf) {
  const struct Case {
    double value;
    const char* digits;
  } cases[] = {
      {1, "1e0"},
      {0.1, "1e-1"},
      {690.4257605024213, "690425760502421e2"},
      {2.0 / 3, "666666666666667e-1"},
      // Exactly halfway: to the even digit.
      {123456789012345.5, "123456789012346e14"},
      {123456789012344.5, "123456789012344e14"},
      {999999999999999.5, "1e15"},
      // Rounding that carries into the next power of ten.
      {0.9999999999999999, "1e0"},
      {9.9999999999999999e-6, "1e-5"},
      {99999.99999999999, "1e5"},
      // Either side of the powers of ten and of the fast way's reach.
      {std::nextafter(1e-8, 0.0), "1e-8"},
      {1e-8, "1e-8"},
      {std::nextafter(1e15, 0.0), "1e15"},
      {1e15, "1e15"},
      {1e23, "1e23"},
      {4.9406564584124654e-324, "494065645841247e-324"},
      {1.7976931348623157e308, "179769313486232e308"},
  };
  for (const Case& c : cases) EXPECT_EQ(digitsOf(fifteenDigits(c.value)), c.digits) << c.value;
}

// Most numbers take the fast way; it must agree with the exact conversion
// everywhere, most of all next to the halfway points between two 15-digit
// numbers.
TEST(RealDigitsTest, FifteenDigitsAgreeWithTheExactConversion) {
  const std::uint64_t seed = 1520;
  SCOPED_TRACE(testing::Message() << "seed " << seed);
  std::mt19937_64 random(seed);
  std::uniform_int_distribution<std::int64_t> fifteen(100'000'000'000'000, 999'999'999'999'999);
  std::uniform_int_distribution<int> power(-23, 1);
  std::uniform_int_distribution<int> steps(-3, 3);
  for (int i = 0; i < 300'000; ++i) {
    double value = (static_cast<double>(fifteen(random)) + 0.5) * std::pow(10.0, power(random));
    for (int step = steps(random); step != 0; step += step < 0 ? 1 : -1)
      value = std::nextafter(value, step < 0 ? 0.0 : 1e300);
    if (i % 3 == 0) {
      const std::uint64_t bits = random() >> 2 | 0x3C00'0000'0000'0000;  // 1e-8 to 1e19 and a little more
      std::memcpy(&value, &bits, sizeof value);
    }
    const std::string expected = exactDigits(value);
    if (digitsOf(fifteenDigits(value)) != expected) {
      ADD_FAILURE() << std::hexfloat << value << ": " << digitsOf(fifteenDigits(value)) << " instead of " << expected;
      return;
    }
  }
}

TEST(RealDigitsTest, SinglesShowTheirShortestDigits) {
  EXPECT_EQ(digitsOf(shortestDigits(444.555f)), "444555e2");
  EXPECT_EQ(digitsOf(shortestDigits(0.1f)), "1e-1");
  EXPECT_EQ(digitsOf(shortestDigits(16777216.0f)), "16777216e7");
  EXPECT_EQ(digitsOf(shortestDigits(1.4e-45f)), "1e-45");
}

}  // namespace
}  // namespace tabrix
