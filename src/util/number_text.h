// Small general helpers for writing numbers as text.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace corvanel {

// Decimal text of value with '0' put in front until it is at least width long.
std::string IntToZeroPadded(std::int32_t value, std::int32_t width);
void AppendZeroPadded(std::string& out, std::int32_t value, std::int32_t width);

// Whether bit number (bit mod 32) of value is 1, bit 0 being the least significant.
bool IsBitSet(std::int32_t value, std::uint8_t bit);

namespace detail {
// "000102...FEFF": the two digits of every byte, so that rendering a byte is one copy.
inline constexpr auto kHexPairs = [] {
  constexpr char digits[] = "0123456789ABCDEF";
  std::array<char, 512> pairs{};
  for (int i = 0; i < 256; ++i) {
    pairs[2 * i] = digits[i >> 4];
    pairs[2 * i + 1] = digits[i & 15];
  }
  return pairs;
}();
}  // namespace detail

// The two upper-case hexadecimal digits of a byte (not terminated).
inline const char* Hex2Digits(std::uint8_t value) {
  return &detail::kHexPairs[2 * value];
}

// Appends a byte as exactly two upper-case hexadecimal digits.
inline void AppendHex2(std::string& out, std::uint8_t value) {
  out.append(Hex2Digits(value), 2);
}

// Appends a word as exactly four upper-case hexadecimal digits.
void AppendHex4(std::string& out, std::uint16_t value);

// Appends an integer in plain decimal, no grouping.
void AppendDecimal(std::string& out, std::int64_t value);

}  // namespace corvanel
