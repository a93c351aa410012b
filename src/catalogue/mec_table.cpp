#include "catalogue/mec_table.h"

namespace corvanel {

namespace {

// Code -> row, built from the table so that a lookup costs one load.
constexpr std::array<std::int16_t, 256> BuildRowOfCode() {
  std::array<std::int16_t, 256> rows{};
  for (auto& row : rows) row = -1;
  for (std::size_t i = MECTable.size(); i-- > 0;) {  // backwards: the first row wins
    rows[MECTable[i].Code] = static_cast<std::int16_t>(i);
  }
  return rows;
}

constexpr std::array<std::int16_t, 256> kRowOfCode = BuildRowOfCode();

}  // namespace

std::int32_t FindMECIndex(std::uint8_t code) {
  return kRowOfCode[code];
}

std::string DecodeMEC(std::uint8_t code) {
  std::string label;
  AppendMECLabel(label, code);
  return label;
}

void AppendMECLabel(std::string& out, std::uint8_t code) {
  const std::int32_t row = FindMECIndex(code);
  if (row < 0) return;
  out += " - ";
  out += MECTable[row].Name;
}

}  // namespace corvanel
