#include "engine/crc.h"

#include <array>

namespace corvanel {

namespace {

constexpr std::array<std::uint16_t, 256> BuildTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    std::uint16_t c = static_cast<std::uint16_t>(i << 8);
    for (int bit = 0; bit < 8; ++bit) {
      c = static_cast<std::uint16_t>((c & 0x8000) ? (c << 1) ^ 0x1021 : c << 1);
    }
    table[i] = c;
  }
  return table;
}

constexpr std::array<std::uint16_t, 256> kTable = BuildTable();

}  // namespace

std::uint16_t ComputeCRC(const std::uint8_t* bytes, std::size_t count) {
  std::uint16_t c = 0xFFFF;
  for (std::size_t i = 0; i < count; ++i) {
    c = static_cast<std::uint16_t>((c << 8) ^ kTable[(c >> 8) ^ bytes[i]]);
  }
  return static_cast<std::uint16_t>(c ^ 0xFFFF);
}

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
