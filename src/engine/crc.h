// The UECP frame check sequence: CRC-16/GENIBUS (polynomial 0x1021, initial value
// 0xFFFF, no reflection, final value inverted).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace corvanel {

namespace detail {

using CrcTable = std::array<std::uint16_t, 256>;

// kCrcTables[k][b]: the CRC contribution of byte b followed by k more bytes, so that
// eight bytes are taken in one step (slicing by eight).
constexpr std::array<CrcTable, 8> BuildCrcTables() {
  std::array<CrcTable, 8> tables{};
  for (unsigned i = 0; i < 256; ++i) {
    std::uint16_t c = static_cast<std::uint16_t>(i << 8);
    for (int bit = 0; bit < 8; ++bit) {
      c = static_cast<std::uint16_t>((c & 0x8000) ? (c << 1) ^ 0x1021 : c << 1);
    }
    tables[0][i] = c;
  }
  for (std::size_t k = 1; k < tables.size(); ++k) {
    for (unsigned i = 0; i < 256; ++i) {
      const std::uint16_t prev = tables[k - 1][i];
      tables[k][i] = static_cast<std::uint16_t>(tables[0][prev >> 8] ^ (prev << 8));
    }
  }
  return tables;
}

inline constexpr std::array<CrcTable, 8> kCrcTables = BuildCrcTables();

}  // namespace detail

// Table-driven form, used by the frame assembler for every frame, hence inline.
inline std::uint16_t ComputeCRC(const std::uint8_t* bytes, std::size_t count) {
  const auto& t = detail::kCrcTables;
  std::uint16_t c = 0xFFFF;
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const std::uint8_t* d = bytes + i;
    c = static_cast<std::uint16_t>(t[7][d[0] ^ (c >> 8)] ^ t[6][d[1] ^ (c & 0xFF)] ^ t[5][d[2]] ^
                                   t[4][d[3]] ^ t[3][d[4]] ^ t[2][d[5]] ^ t[1][d[6]] ^ t[0][d[7]]);
  }
  for (; i < count; ++i) c = static_cast<std::uint16_t>((c << 8) ^ t[0][(c >> 8) ^ bytes[i]]);
  return static_cast<std::uint16_t>(c ^ 0xFFFF);
}

// The byte-wise shift-and-XOR form without a table; the reference for ComputeCRC.
std::uint16_t ComputeCRCShiftXor(const std::uint8_t* bytes, std::size_t count);

}  // namespace corvanel
