// Fuzzes the text decoder: decoding a text in blocks of any size gives the same bytes as
// decoding it character by character, at most one byte per two characters. Also runs the
// log type detection over the text's first block.
//
// Input: a byte that seeds the block sizes, then the text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/log_decoding.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  unsigned seed = data[0];
  const std::uint8_t* text = data + 1;
  const std::size_t count = size - 1;

  corvanel::TextDecoder by_char;
  std::vector<std::uint8_t> expected;
  for (std::size_t i = 0; i < count; ++i) {
    if (const auto byte = by_char.DecodeHexChar(text[i])) expected.push_back(*byte);
  }
  Require(expected.size() <= count / 2);

  corvanel::TextDecoder by_block;
  std::vector<std::uint8_t> decoded(count);
  std::size_t produced = 0;
  for (std::size_t at = 0; at < count;) {
    seed = seed * 1103515245u + 12345u;
    const std::size_t block = std::min<std::size_t>(count - at, 1 + (seed >> 16) % 64);
    produced += by_block.DecodeBlock(text + at, block, decoded.data() + produced);
    at += block;
  }
  decoded.resize(produced);
  Require(decoded == expected);

  const std::size_t first = std::min(count, corvanel::kDetectionBlockSize);
  for (int selection = 0; selection < 3; ++selection) {
    corvanel::LogTypeDetector detector(static_cast<corvanel::LogTypeSelection>(selection));
    bool binary = true;
    if (first == 0) continue;
    detector.DetectLogType(text, first, binary);
    if (selection == 1) Require(!binary);
    if (selection == 2) Require(binary);
    // Only the first block decides.
    const bool decided = binary;
    detector.DetectLogType(text, first, binary);
    Require(binary == decided);
  }
  return 0;
}
