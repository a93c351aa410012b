// The UECP frame check sequence: CRC-16/GENIBUS (polynomial 0x1021, initial value
// 0xFFFF, no reflection, final value inverted).
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvanel {

// Table-driven form, used by the frame assembler.
std::uint16_t ComputeCRC(const std::uint8_t* bytes, std::size_t count);

// The byte-wise shift-and-XOR form without a table; the reference for ComputeCRC.
std::uint16_t ComputeCRCShiftXor(const std::uint8_t* bytes, std::size_t count);

}  // namespace corvanel
