#include "text_order.h"

#include "utf8.h"

namespace jet::sql {
namespace {

// The letter without its accent for U+00C0 to U+017F ("." where there is
// none: × and ÷).
constexpr std::string_view kBaseLetters =
    "AAAAAAACEEEEIIIIDNOOOOO.OUUUUYTsaaaaaaaceeeeiiiidnooooo.ouuuuyty"
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiIiJjKkkLlLlLlL"
    "lLlNnNnNnnNnOoOoOoOoRrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";

// The letter a character sorts with first: accents set aside, lower case.
char32_t baseLetter(char32_t c) {
  c = foldCase(c);
  if (c >= 0xC0 && c < 0x180) {
    const char base = kBaseLetters[c - 0xC0];
    if (base != '.') return foldCase(static_cast<unsigned char>(base));
  }
  return c;
}

}  // namespace

char32_t foldCase(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
  if (c < 0xC0) return c;
  if (c <= 0xDE) return c == 0xD7 ? c : c + 32;
  if (c < 0x100) return c;
  if (c < 0x180) {
    if (c == 0x130) return 'i';
    if (c == 0x178) return 0xFF;
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddUpper) return (c & 1) ? c + 1 : c;
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c & 1) ? c : c + 1;
    return c;
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
  if (c == 0x386) return 0x3AC;
  if (c >= 0x388 && c <= 0x38A) return c + 37;
  if (c == 0x38C) return 0x3CC;
  if (c == 0x38E || c == 0x38F) return c + 63;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x4FF))
    return (c & 1) ? c : c + 1;
  if (c >= 0x4C1 && c <= 0x4CE) return (c & 1) ? c + 1 : c;
  return c;
}

char32_t upperCase(char32_t c) {
  if (c < 0x80) return c >= 'a' && c <= 'z' ? c - 32 : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c < 0x180) {
    // The letter whose lower case this is, if any.
    if (c > 0x100 && foldCase(c - 1) == c) return c - 1;
    return c;
  }
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;
  if (c == 0x3AC) return 0x386;
  if (c >= 0x3AD && c <= 0x3AF) return c - 37;
  if (c == 0x3CC) return 0x38C;
  if (c == 0x3CD || c == 0x3CE) return c - 63;
  if (c >= 0x430 && c <= 0x44F) return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  if (c >= 0x460 && c <= 0x4FF && foldCase(c - 1) == c) return c - 1;
  return c;
}

std::string foldText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      out += static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
      ++i;
      continue;
    }
    appendUtf8(out, foldCase(decodeUtf8(text, i)));
  }
  return out;
}

int compareText(std::string_view a, std::string_view b) {
  // First by letters without accents or case; the first accent that
  // differs breaks a tie.
  int accents = 0;
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const unsigned char x = static_cast<unsigned char>(a[i]);
    const unsigned char y = static_cast<unsigned char>(b[j]);
    if (x < 0x80 && y < 0x80) {
      const int fx = x >= 'A' && x <= 'Z' ? x + 32 : x;
      const int fy = y >= 'A' && y <= 'Z' ? y + 32 : y;
      if (fx != fy) return fx - fy;
      ++i;
      ++j;
      continue;
    }
    const char32_t cx = foldCase(decodeUtf8(a, i));
    const char32_t cy = foldCase(decodeUtf8(b, j));
    if (cx == cy) continue;
    const char32_t bx = baseLetter(cx);
    const char32_t by = baseLetter(cy);
    if (bx != by) return bx < by ? -1 : 1;
    if (accents == 0) accents = cx < cy ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return accents;
}

}  // namespace jet::sql
