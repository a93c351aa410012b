#include "engine/crc.h"

namespace corvanel {

std::uint16_t ComputeCRCShiftXor(const std::uint8_t* bytes, std::size_t count) {
  std::uint16_t c = 0xFFFF;
  for (std::size_t i = 0; i < count; ++i) {
    c = static_cast<std::uint16_t>((c >> 8) | (c << 8));
    c ^= bytes[i];
    c ^= static_cast<std::uint16_t>((c & 0xFF) >> 4);
    c ^= static_cast<std::uint16_t>(c << 12);
    c ^= static_cast<std::uint16_t>((c & 0xFF) << 5);
  }
  return static_cast<std::uint16_t>(c ^ 0xFFFF);
}

}  // namespace corvanel
