#include "catalogue/element_detail.h"

#include <algorithm>

#include "catalogue/mec_table.h"
#include "util/number_text.h"

namespace corvanel {

namespace {

constexpr std::uint8_t kRealTimeClock = 0x0D;

void AppendBinary(std::string& out, std::uint8_t value) {
  for (int bit = 7; bit >= 0; --bit) {
    out += IsBitSet(value, static_cast<std::uint8_t>(bit)) ? '1' : '0';
  }
}

void AppendLabelled(std::string& out, const char* label, std::uint8_t value) {
  out += label;
  out += " (";
  AppendDecimal(out, value);
  out += "); ";
}

// "(YY/MM/DD hh:mm:ss.cc +hh:mm)" from the eight bytes after the code byte.
void AppendRealTimeClock(std::string& out, const Frame& frame) {
  const std::int32_t first = frame.ElementPos + 1;
  // Each field is preceded by its separator: (YY/MM/DD hh:mm:ss.cc
  constexpr char kSeparators[] = "(// ::.";
  for (int i = 0; i < 7; ++i) {
    out += kSeparators[i];
    AppendZeroPadded(out, frame.At(first + i), 2);
  }
  const std::uint8_t offset_byte = frame.At(first + 7);
  if (offset_byte != 0xFF) {
    const int offset = offset_byte & 0x3F;  // bits 0-4 half hours, bit 5 the sign
    const bool negative = offset >= 0x20;
    const int half_hours = negative ? offset - 32 : offset;
    out += negative ? " -" : " +";
    AppendZeroPadded(out, half_hours / 2, 2);
    out += ':';
    AppendZeroPadded(out, (half_hours % 2) * 30, 2);
  }
  out += ")";
}

// Whether no position from p on is labelled or shown in binary, so that all the bytes
// from there are shown as characters.
bool OnlyTextFollows(const TME& row, std::int32_t p) {
  return p > row.DSNPos && p > row.PSNPos && p > row.MELPos && p > row.BinaryPos &&
         row.BinaryStep == 0;
}

// Bytes `first` to `last` as characters, control characters as '.', in one append.
void AppendAsText(std::string& out, const Frame& frame, std::int32_t first, std::int32_t last) {
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(last - first + 1));
  for (std::int32_t k = first; k <= last; ++k) {
    const std::uint8_t b = frame.At(k);
    out[start + static_cast<std::size_t>(k - first)] = b < 32 ? '.' : static_cast<char>(b);
  }
}

void AppendCatalogued(std::string& out, const Frame& frame, const TME& row, std::int32_t last) {
  bool text_begun = false;
  std::int32_t last_binary = 0;
  for (std::int32_t k = frame.ElementPos + 1; k <= last; ++k) {
    const std::uint8_t b = frame.At(k);
    const std::int32_t p = k - frame.ElementPos + 1;
    if (p == row.DSNPos) {
      AppendLabelled(out, "DSN", b);
    } else if (p == row.PSNPos) {
      AppendLabelled(out, "PSN", b);
    } else if (p == row.MELPos) {
      AppendLabelled(out, "MEL", b);
    } else if (p == row.BinaryPos ||
               (row.BinaryStep > 0 && last_binary > 0 && p - last_binary == row.BinaryStep)) {
      out += '\'';
      AppendBinary(out, b);
      out += "' ";
      last_binary = p;
    } else {
      if (p == row.TextPos) {
        text_begun = true;
        out += '"';
        if (OnlyTextFollows(row, p)) {
          AppendAsText(out, frame, k, last);
          break;
        }
      }
      if (text_begun) {
        out += b < 32 ? '.' : static_cast<char>(b);
      } else {
        AppendHex2(out, b);
        out += ' ';
      }
    }
  }
  if (text_begun) out += '"';
}

}  // namespace

std::string MECDetail(const Frame& frame, std::uint8_t code, std::int32_t last_index) {
  std::string out;
  AppendMECDetail(out, frame, code, last_index);
  return out;
}

void AppendMECDetail(std::string& out, const Frame& frame, std::uint8_t code,
                     std::int32_t last_index) {
  out += " MEC ";
  AppendHex2(out, code);
  AppendMECLabel(out, code);
  out += ": ";
  const std::int32_t last = std::min(last_index, frame.FrameLength - 3);
  const std::int32_t row = FindMECIndex(code);
  if (code == kRealTimeClock) {
    AppendRealTimeClock(out, frame);
  } else if (row < 0) {
    for (std::int32_t k = frame.ElementPos + 1; k <= last; ++k) {
      AppendHex2(out, frame.At(k));
      out += ' ';
    }
  } else {
    AppendCatalogued(out, frame, MECTable[row], last);
  }
}

std::string ByteToBinary(std::uint8_t value) {
  std::string digits;
  for (int bit = 7; bit >= 0; --bit)
    digits += IsBitSet(value, static_cast<std::uint8_t>(bit)) ? '1' : '0';
  return digits;
}

std::string DecodeADD(std::uint16_t address, bool parenthesised) {
  std::string out;
  AppendADD(out, address, parenthesised);
  return out;
}

void AppendADD(std::string& out, std::uint16_t address, bool parenthesised) {
  const char* open = parenthesised ? "(" : "";
  const char* close = parenthesised ? ")" : "";
  out += "Site address ";
  out += open;
  AppendDecimal(out, address >> 6);
  out += close;
  out += ", Encoder address ";
  out += open;
  AppendDecimal(out, address & 0x3F);
  out += close;
}

}  // namespace corvanel
