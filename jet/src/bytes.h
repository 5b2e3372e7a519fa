#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace jet {

// Little-endian readers over raw bytes. They do no bounds checking: callers
// check a whole structure's extent once, then read its fields.

inline std::uint8_t getU8(const std::byte* p) { return std::to_integer<std::uint8_t>(*p); }

inline std::uint16_t getU16(const std::byte* p) {
  return static_cast<std::uint16_t>(getU8(p) | (getU8(p + 1) << 8));
}

inline std::uint32_t getU24(const std::byte* p) {
  return static_cast<std::uint32_t>(getU8(p)) | static_cast<std::uint32_t>(getU8(p + 1)) << 8 |
         static_cast<std::uint32_t>(getU8(p + 2)) << 16;
}

inline std::uint32_t getU32(const std::byte* p) {
  return static_cast<std::uint32_t>(getU16(p)) | static_cast<std::uint32_t>(getU16(p + 2)) << 16;
}

inline std::uint64_t getU64(const std::byte* p) {
  return static_cast<std::uint64_t>(getU32(p)) | static_cast<std::uint64_t>(getU32(p + 4)) << 32;
}

inline std::int16_t getI16(const std::byte* p) { return static_cast<std::int16_t>(getU16(p)); }
inline std::int32_t getI32(const std::byte* p) { return static_cast<std::int32_t>(getU32(p)); }
inline std::int64_t getI64(const std::byte* p) { return static_cast<std::int64_t>(getU64(p)); }

inline float getF32(const std::byte* p) {
  std::uint32_t bits = getU32(p);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

inline double getF64(const std::byte* p) {
  std::uint64_t bits = getU64(p);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

inline std::span<const std::byte> asBytes(const void* data, std::size_t size) {
  return {static_cast<const std::byte*>(data), size};
}

}  // namespace jet
