#include "util/number_text.h"

#include <charconv>

namespace corvanel {

std::string IntToZeroPadded(std::int32_t value, std::int32_t width) {
  std::string text;
  AppendZeroPadded(text, value, width);
  return text;
}

void AppendZeroPadded(std::string& out, std::int32_t value, std::int32_t width) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  const auto length = static_cast<std::int32_t>(result.ptr - digits);
  if (length < width) out.append(static_cast<std::size_t>(width - length), '0');
  out.append(digits, static_cast<std::size_t>(result.ptr - digits));
}

bool IsBitSet(std::int32_t value, std::uint8_t bit) {
  return ((static_cast<std::uint32_t>(value) >> (bit % 32)) & 1u) != 0;
}

void AppendHex4(std::string& out, std::uint16_t value) {
  AppendHex2(out, static_cast<std::uint8_t>(value >> 8));
  AppendHex2(out, static_cast<std::uint8_t>(value & 0xFF));
}

void AppendDecimal(std::string& out, std::int64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, static_cast<std::size_t>(result.ptr - digits));
}

}  // namespace corvanel
