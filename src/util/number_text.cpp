#include "util/number_text.h"

#include <charconv>

namespace corvanel {

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";
}

std::string IntToZeroPadded(std::int32_t value, std::int32_t width) {
  std::string text = std::to_string(value);
  if (static_cast<std::int64_t>(text.size()) < width) text.insert(0, width - text.size(), '0');
  return text;
}

bool IsBitSet(std::int32_t value, std::uint8_t bit) {
  return ((static_cast<std::uint32_t>(value) >> (bit % 32)) & 1u) != 0;
}

void AppendHex2(std::string& out, std::uint8_t value) {
  out.push_back(kHexDigits[value >> 4]);
  out.push_back(kHexDigits[value & 0x0F]);
}

void AppendHex4(std::string& out, std::uint16_t value) {
  AppendHex2(out, static_cast<std::uint8_t>(value >> 8));
  AppendHex2(out, static_cast<std::uint8_t>(value & 0xFF));
}

void AppendDecimal(std::string& out, std::int64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

}  // namespace corvanel
