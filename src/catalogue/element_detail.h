// Readable text for frame content: one message element, an address word, a byte.
#pragma once

#include <cstdint>
#include <string>

#include "engine/frame.h"

namespace corvanel {

// One line for the element whose code byte stands at frame.ElementPos: its code, name
// and bytes labelled, in binary, as characters or in hexadecimal; the real time clock as
// date and time. last_index is the index of the element's last byte as the walk sees it
// (kUnknownElementEnd - 1 for a code not catalogued); nothing past the message field is
// shown. The text begins with a blank and has no line end.
std::string MECDetail(const Frame& frame, std::uint8_t code, std::int32_t last_index);
void AppendMECDetail(std::string& out, const Frame& frame, std::uint8_t code,
                     std::int32_t last_index);

// The eight binary digits of value, most significant bit first.
std::string ByteToBinary(std::uint8_t value);

// "Site address S, Encoder address E" for the upper 10 and lower 6 bits of address,
// with the two numbers in parentheses when parenthesised.
std::string DecodeADD(std::uint16_t address, bool parenthesised);
void AppendADD(std::string& out, std::uint16_t address, bool parenthesised);

}  // namespace corvanel
