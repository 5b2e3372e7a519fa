#include "value_text.h"

#include <charconv>

namespace tabrix::cli {
namespace {

char* twoDigits(char* p, int value) {
  *p++ = static_cast<char>('0' + value / 10);
  *p++ = static_cast<char>('0' + value % 10);
  return p;
}

}  // namespace

char* writeCurrency(char* p, std::int64_t v) {
  std::uint64_t magnitude = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  if (v < 0) *p++ = '-';
  p = std::to_chars(p, p + 24, magnitude / 10000).ptr;
  unsigned fraction = static_cast<unsigned>(magnitude % 10000);
  if (fraction != 0) {
    char digits[4] = {static_cast<char>('0' + fraction / 1000), static_cast<char>('0' + fraction / 100 % 10),
                      static_cast<char>('0' + fraction / 10 % 10), static_cast<char>('0' + fraction % 10)};
    int kept = 4;
    while (digits[kept - 1] == '0') --kept;
    *p++ = '.';
    for (int i = 0; i < kept; ++i) *p++ = digits[i];
  }
  return p;
}

char* writeDateTime(char* p, const jet::DateTime& t) {
  if (t.year < 10000) {
    p = twoDigits(p, t.year / 100);
    p = twoDigits(p, t.year % 100);
  } else {
    p = std::to_chars(p, p + 8, t.year).ptr;
  }
  *p++ = '-';
  p = twoDigits(p, t.month);
  *p++ = '-';
  p = twoDigits(p, t.day);
  *p++ = ' ';
  p = twoDigits(p, t.hour);
  *p++ = ':';
  p = twoDigits(p, t.minute);
  *p++ = ':';
  return twoDigits(p, t.second);
}

std::array<std::uint8_t, 16> guidInReadingOrder(const jet::Guid& g) {
  static constexpr int kOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  std::array<std::uint8_t, 16> ordered{};
  for (int i = 0; i < 16; ++i) ordered[static_cast<std::size_t>(i)] = g[static_cast<std::size_t>(kOrder[i])];
  return ordered;
}

char* writeGuid(char* p, const jet::Guid& g) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const auto ordered = guidInReadingOrder(g);
  *p++ = '{';
  for (std::size_t i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) *p++ = '-';
    *p++ = kHex[ordered[i] >> 4];
    *p++ = kHex[ordered[i] & 15];
  }
  *p++ = '}';
  return p;
}

char* writeSingle(char* p, float value) { return std::to_chars(p, p + 32, value).ptr; }

}  // namespace tabrix::cli
