// The message element catalogue: the 67 known element codes with their names, length
// rules and the byte positions that the detail rendering labels.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/frame.h"

namespace corvanel {

// One catalogue row. Positions count the bytes of an element from 1 (the code byte);
// 0 means the element has no such byte.
struct TME {
  std::uint8_t Code;
  std::string_view Name;
  std::int32_t MELPos;       // position of the length byte; 0 for a fixed length
  std::int32_t FixedLength;  // whole element in bytes; 0 when the length byte gives it
  std::int32_t DSNPos;
  std::int32_t PSNPos;
  std::int32_t BinaryPos;   // first position shown as eight binary digits
  std::int32_t BinaryStep;  // distance to the next binary position after BinaryPos
  std::int32_t TextPos;     // position from which bytes are shown as characters
};

// clang-format off
inline constexpr std::array<TME, 67> MECTable{{
  {0x01, "PI",                                                    0,  5, 2, 3, 0, 0, 0},
  {0x02, "PS",                                                    0, 11, 2, 3, 0, 0, 4},
  {0x06, "PIN",                                                   0,  5, 2, 3, 0, 0, 0},
  {0x04, "DI/PTYI",                                               0,  4, 2, 3, 4, 0, 0},
  {0x03, "TA/TP",                                                 0,  4, 2, 3, 4, 0, 0},
  {0x05, "MS",                                                    0,  4, 2, 3, 4, 0, 0},
  {0x07, "PTY",                                                   0,  4, 2, 3, 0, 0, 0},
  {0x3E, "PTYN",                                                  0, 11, 2, 3, 0, 0, 4},
  {0x0A, "RT",                                                    4,  0, 2, 3, 5, 0, 6},
  {0x13, "AF",                                                    4,  0, 2, 3, 0, 0, 0},
  {0x14, "EON - AF",                                              4,  0, 2, 3, 0, 0, 0},
  {0x1A, "Slow Labeling codes",                                   0,  4, 2, 0, 3, 0, 0},
  {0x2E, "Linkage information",                                   0,  5, 2, 3, 0, 0, 0},
  {0x40, "ODA configuration and short message command",           0,  8, 0, 0, 5, 0, 0},
  {0x41, "ODA identification group usage sequence",               3,  0, 2, 0, 0, 0, 0},
  {0x42, "ODA free-format group",                                 0,  8, 0, 0, 3, 0, 0},
  {0x43, "ODA relative priority group sequence",                  2,  0, 0, 0, 0, 0, 0},
  {0x44, "ODA \"Burst mode\" control",                            0,  3, 0, 0, 3, 0, 0},
  {0x45, "ODA \"Spinning Wheel\" timing control",                 0,  5, 0, 0, 0, 0, 0},
  {0x46, "ODA data",                                              2,  0, 0, 0, 5, 0, 0},
  {0x47, "ODA data command access right",                         0,  5, 0, 0, 5, 0, 0},
  {0x26, "TDC",                                                   2,  0, 0, 0, 4, 0, 0},
  {0x2B, "EWS",                                                   0,  6, 0, 0, 2, 0, 0},
  {0x25, "IH",                                                    0,  7, 0, 0, 3, 0, 0},
  {0x30, "TMC",                                                   2,  0, 0, 0, 3, 0, 0},
  {0x24, "Free-format group",                                     0,  7, 0, 0, 3, 0, 0},
  {0x0C, "Paging call without message",                           0,  4, 0, 0, 2, 0, 0},
  {0x08, "Paging call with numeric message (10 digits)",          0,  9, 0, 0, 2, 0, 0},
  {0x20, "Paging call with numeric message (18 digits)",          0, 13, 0, 0, 2, 0, 0},
  {0x1B, "Paging call with alphanumeric message (80 characters)", 2,  0, 0, 0, 3, 0, 6},
  {0x11, "International paging with numeric message (15 digis)",  0, 13, 0, 0, 2, 0, 0},
  {0x10, "International paging with functions message",           0,  9, 0, 0, 2, 4, 0},
  {0x12, "Transmitter network group designation",                 0,  3, 2, 0, 0, 0, 0},
  {0x31, "EPP transmitter information",                           0,  7, 0, 0, 7, 0, 0},
  {0x32, "EPP call without additional message",                   0,  5, 0, 0, 2, 0, 0},
  {0x33, "EPP national and international call with alphanumeric message", 2, 0, 0, 0, 3, 0, 9},
  {0x34, "EPP national and international call with variable length numeric message", 2, 0, 0, 0, 3, 0, 0},
  {0x35, "EPP national and international call with variable length functions message", 2, 0, 0, 0, 3, 0, 0},
  {0x0D, "Real time clock",                                       0,  9, 0, 0, 0, 0, 0},
  {0x09, "Real time clock correction",                            0,  3, 0, 0, 0, 0, 0},
  {0x19, "CT On/Off",                                             0,  2, 0, 0, 0, 0, 0},
  {0x1E, "RDS On/Off",                                            0,  2, 0, 0, 0, 0, 0},
  {0x22, "RDS phase",                                             0,  3, 0, 0, 2, 0, 0},
  {0x0E, "RDS level",                                             0,  3, 0, 0, 2, 0, 0},
  {0x23, "Site address",                                          0,  4, 0, 0, 2, 0, 0},
  {0x27, "Encoder address",                                       0,  3, 0, 0, 2, 0, 0},
  {0x28, "Make PSN list",                                         3,  0, 2, 0, 0, 0, 0},
  {0x0B, "PSN enable/disable",                                    3,  0, 2, 0, 0, 0, 0},
  {0x3F, "EON element enable/disable",                            0,  4, 2, 3, 4, 0, 0},
  {0x2C, "Communication mode",                                    0,  2, 0, 0, 2, 0, 0},
  {0x2A, "TA control",                                            0,  3, 0, 0, 0, 0, 0},
  {0x15, "EON - TA control",                                      0,  3, 0, 0, 0, 0, 0},
  {0x1D, "Reference input select",                                0,  2, 0, 0, 0, 0, 0},
  {0x1C, "Data set select",                                       0,  2, 0, 0, 0, 0, 0},
  {0x16, "Group sequence",                                        3,  0, 2, 0, 0, 0, 0},
  {0x38, "Extended group sequence",                               3,  0, 2, 0, 0, 0, 0},
  {0x29, "Group variant code sequence",                           3,  0, 2, 0, 0, 0, 0},
  {0x3A, "Encoder access right",                                  0,  4, 0, 0, 0, 0, 0},
  {0x3B, "Communications Port Configuration - Mode",              0,  3, 0, 0, 0, 0, 0},
  {0x3C, "Communications Port Configuration - Speed",             0,  3, 0, 0, 0, 0, 0},
  {0x3D, "Communications Port Configuration - Timeout",           0,  3, 0, 0, 0, 0, 0},
  {0x18, "Message acknowledgement",                               0,  3, 0, 0, 0, 0, 0},
  {0x17, "Request message",                                       2,  0, 0, 0, 0, 0, 0},
  {0x2D, "Manufacturer / Transmission operator specific command", 2,  0, 0, 0, 0, 0, 3},
  {0xAA, "DAB: Dynamic Label message (DL)",                       2,  0, 0, 0, 3, 0, 0},
  {0x48, "DAB: Dynamic Label command",                            2,  0, 0, 0, 3, 0, 0},
  {0xDA, "DVB-S: Data for Radio screen show (Rass)",              2,  0, 0, 0, 0, 0, 0},
}};
// clang-format on

// Returned by FindNextElement when the element's length cannot be told.
inline constexpr std::int32_t kUnknownElementEnd = 9999;

// Row index of code in MECTable, or -1 when the code is not catalogued.
std::int32_t FindMECIndex(std::uint8_t code);

namespace detail {

// The length rule of every code, taken from MECTable: the element walk reads it once
// per element, so it is one load away. Both kinds of rule are the same sum, so the walk
// does not branch on the kind: a fixed length adds the code byte masked to nothing.
struct LengthRule {
  std::uint8_t step = 0;           // the fixed length, or the position of the length byte
  std::uint8_t length_offset = 0;  // offset of the length byte from the code byte, or 0
  std::uint8_t length_mask = 0;    // 0xFF where the length byte counts, 0 for a fixed length
  bool catalogued = false;
};

constexpr std::array<LengthRule, 256> BuildLengthRules() {
  std::array<LengthRule, 256> rules{};
  for (std::size_t i = MECTable.size(); i-- > 0;) {  // backwards: the first row wins
    const TME& row = MECTable[i];
    LengthRule& rule = rules[row.Code];
    rule.catalogued = true;
    if (row.FixedLength > 0) {
      rule.step = static_cast<std::uint8_t>(row.FixedLength);
      rule.length_offset = 0;
      rule.length_mask = 0;
    } else {
      rule.step = static_cast<std::uint8_t>(row.MELPos);
      rule.length_offset = static_cast<std::uint8_t>(row.MELPos - 1);
      rule.length_mask = 0xFF;
    }
  }
  return rules;
}

inline constexpr std::array<LengthRule, 256> kLengthRules = BuildLengthRules();

}  // namespace detail

// " - " and the catalogue name of code, or "" when the code is not catalogued.
std::string DecodeMEC(std::uint8_t code);
void AppendMECLabel(std::string& out, std::uint8_t code);

// Index of the byte after the element whose code byte `code` stands at `index` of the
// frame: the next element's code byte. kUnknownElementEnd for a code not catalogued.
inline std::int32_t FindNextElement(const Frame& frame, std::int32_t index, std::uint8_t code) {
  const detail::LengthRule rule = detail::kLengthRules[code];
  if (!rule.catalogued) return kUnknownElementEnd;
  return index + rule.step + (frame.At(index + rule.length_offset) & rule.length_mask);
}

}  // namespace corvanel
