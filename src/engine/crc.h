// The UECP frame check sequence: CRC-16/GENIBUS (polynomial 0x1021, initial value
// 0xFFFF, no reflection, final value inverted).
#pragma once

#include <endian.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "util/processor.h"

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

// kStartBefore[k]: the register value that k zero bytes turn into the initial value
// 0xFFFF. Starting from it, a message can be taken in whole blocks of eight bytes with k
// zero bytes put in front of it, and no loop for the last few bytes.
constexpr std::array<std::uint16_t, 8> BuildStartValues() {
  // A zero byte maps the register c to (c << 8) ^ kCrcTables[0][c >> 8]. The low byte of
  // the result is the low byte of the table entry, which tells the high byte of c back.
  std::array<std::uint8_t, 256> high_of_low{};
  for (unsigned h = 0; h < 256; ++h)
    high_of_low[kCrcTables[0][h] & 0xFF] = static_cast<std::uint8_t>(h);
  std::array<std::uint16_t, 8> values{};
  std::uint16_t c = 0xFFFF;
  for (std::size_t k = 0; k < values.size(); ++k) {
    values[k] = c;
    const std::uint8_t h = high_of_low[c & 0xFF];
    c = static_cast<std::uint16_t>(h << 8 | ((c >> 8) ^ (kCrcTables[0][h] >> 8)));
  }
  return values;
}

inline constexpr std::array<std::uint16_t, 8> kStartBefore = BuildStartValues();

// The low bytes of the table entries are all different, so the inversion above is exact.
constexpr bool TableLowBytesDiffer() {
  std::array<bool, 256> seen{};
  for (unsigned h = 0; h < 256; ++h) {
    if (seen[kCrcTables[0][h] & 0xFF]) return false;
    seen[kCrcTables[0][h] & 0xFF] = true;
  }
  return true;
}
static_assert(TableLowBytesDiffer());

// One slicing step over the eight bytes of w, the first byte in its lowest bits.
inline std::uint16_t CrcStep(std::uint16_t c, std::uint64_t w) {
  const auto& t = kCrcTables;
  auto byte = [w](int i) { return static_cast<std::uint8_t>(w >> (8 * i)); };
  return static_cast<std::uint16_t>(t[7][byte(0) ^ (c >> 8)] ^ t[6][byte(1) ^ (c & 0xFF)] ^
                                    t[5][byte(2)] ^ t[4][byte(3)] ^ t[3][byte(4)] ^ t[2][byte(5)] ^
                                    t[1][byte(6)] ^ t[0][byte(7)]);
}

inline std::uint64_t LoadLittleEndian64(const std::uint8_t* bytes) {
  std::uint64_t w;
  std::memcpy(&w, bytes, sizeof w);
  return le64toh(w);
}

}  // namespace detail

// The CRC of any sequence of bytes, table-driven; frames use ComputeFrameCRC below.
inline std::uint16_t ComputeCRC(const std::uint8_t* bytes, std::size_t count) {
  const auto& t = detail::kCrcTables;
  std::uint16_t c = 0xFFFF;
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) c = detail::CrcStep(c, detail::LoadLittleEndian64(bytes + i));
  for (; i < count; ++i) c = static_cast<std::uint16_t>((c << 8) ^ t[0][(c >> 8) ^ bytes[i]]);
  return static_cast<std::uint16_t>(c ^ 0xFFFF);
}

// The frame forms below may read this many bytes from the start of a frame's bytes,
// whatever their count (at least 1), so they must be readable; the frame buffer keeps
// room for that.
inline constexpr std::size_t kFrameCRCReadable = 64;

// The same CRC for the bytes of a frame, in whole blocks of eight: the first block is
// filled up in front with zero bytes, which the start value makes up for.
inline std::uint16_t ComputeFrameCRCTable(const std::uint8_t* bytes, std::size_t count) {
  const std::size_t padding = (8 - count % 8) % 8;
  std::uint16_t c = detail::kStartBefore[padding];
  c = detail::CrcStep(c, detail::LoadLittleEndian64(bytes) << (8 * padding));
  for (std::size_t at = 8 - padding; at < count; at += 8) {
    c = detail::CrcStep(c, detail::LoadLittleEndian64(bytes + at));
  }
  return static_cast<std::uint16_t>(c ^ 0xFFFF);
}

// The same blocks by carry-less multiplication: each block is multiplied by its weight
// on its own, so the steps do not wait for each other, and one reduction ends it. Only
// where the processor has the instruction (kHasCarrylessMultiply).
std::uint16_t ComputeFrameCRCCarryless(const std::uint8_t* bytes, std::size_t count);

// The CRC of the bytes of a frame, by the fastest form this processor has.
inline std::uint16_t ComputeFrameCRC(const std::uint8_t* bytes, std::size_t count) {
  return kHasCarrylessMultiply ? ComputeFrameCRCCarryless(bytes, count)
                               : ComputeFrameCRCTable(bytes, count);
}

// The byte-wise shift-and-XOR form without a table; the reference for ComputeCRC.
std::uint16_t ComputeCRCShiftXor(const std::uint8_t* bytes, std::size_t count);

}  // namespace corvanel
