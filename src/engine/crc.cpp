#include "engine/crc.h"

#include <array>

namespace corvanel {

namespace {

using Table = std::array<std::uint16_t, 256>;

// kTables[k][b]: the CRC contribution of byte b followed by k more bytes, so that eight
// bytes are taken in one step (slicing by eight).
constexpr std::array<Table, 8> BuildTables() {
  std::array<Table, 8> tables{};
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

constexpr std::array<Table, 8> kTables = BuildTables();

}  // namespace

std::uint16_t ComputeCRC(const std::uint8_t* bytes, std::size_t count) {
  std::uint16_t c = 0xFFFF;
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const std::uint8_t* d = bytes + i;
    c = static_cast<std::uint16_t>(kTables[7][d[0] ^ (c >> 8)] ^ kTables[6][d[1] ^ (c & 0xFF)] ^
                                   kTables[5][d[2]] ^ kTables[4][d[3]] ^ kTables[3][d[4]] ^
                                   kTables[2][d[5]] ^ kTables[1][d[6]] ^ kTables[0][d[7]]);
  }
  for (; i < count; ++i) {
    c = static_cast<std::uint16_t>((c << 8) ^ kTables[0][(c >> 8) ^ bytes[i]]);
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
