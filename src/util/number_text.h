// Small general helpers for writing numbers as text.
#pragma once

#include <cstdint>
#include <string>

namespace corvanel {

// Decimal text of value with '0' put in front until it is at least width long.
std::string IntToZeroPadded(std::int32_t value, std::int32_t width);

// Whether bit number (bit mod 32) of value is 1, bit 0 being the least significant.
bool IsBitSet(std::int32_t value, std::uint8_t bit);

// Appends a byte as exactly two upper-case hexadecimal digits.
void AppendHex2(std::string& out, std::uint8_t value);

// Appends a word as exactly four upper-case hexadecimal digits.
void AppendHex4(std::string& out, std::uint16_t value);

// Appends an integer in plain decimal, no grouping.
void AppendDecimal(std::string& out, std::int64_t value);

}  // namespace corvanel
