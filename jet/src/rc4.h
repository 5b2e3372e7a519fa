#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace jet {

// RC4, the stream cipher Jet uses to mask its header and, in an encoded
// database, every page. Applying it twice with the same key restores the
// bytes, so one function both encodes and decodes.
void rc4(std::span<const std::uint8_t> key, std::span<std::byte> data);

}  // namespace jet
