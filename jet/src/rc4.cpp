#include "rc4.h"

#include <array>
#include <utility>

namespace jet {

void rc4(std::span<const std::uint8_t> key, std::span<std::byte> data) {
  std::array<std::uint8_t, 256> s;
  for (int i = 0; i < 256; ++i) s[i] = static_cast<std::uint8_t>(i);
  std::uint8_t j = 0;
  for (int i = 0; i < 256; ++i) {
    j = static_cast<std::uint8_t>(j + s[i] + key[i % key.size()]);
    std::swap(s[i], s[j]);
  }
  std::uint8_t i = 0;
  j = 0;
  for (std::byte& b : data) {
    i = static_cast<std::uint8_t>(i + 1);
    j = static_cast<std::uint8_t>(j + s[i]);
    std::swap(s[i], s[j]);
    b ^= static_cast<std::byte>(s[static_cast<std::uint8_t>(s[i] + s[j])]);
  }
}

}  // namespace jet
