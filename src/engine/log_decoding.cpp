#include "engine/log_decoding.h"

#include <array>

namespace corvanel {

namespace {

// Character classes of the text decoder. Values 0 to 15 are hexadecimal digits.
enum : std::uint8_t { kOpener = 16, kLineEnd = 17, kCloser = 18, kOther = 19 };

constexpr std::array<std::uint8_t, 256> BuildClasses() {
  std::array<std::uint8_t, 256> classes{};
  for (auto& c : classes) c = kOther;
  for (int ch = '0'; ch <= '9'; ++ch) classes[ch] = static_cast<std::uint8_t>(ch - '0');
  for (int ch = 'A'; ch <= 'F'; ++ch) classes[ch] = static_cast<std::uint8_t>(ch - 'A' + 10);
  for (char ch : {'"', '(', '<', '['}) classes[static_cast<std::uint8_t>(ch)] = kOpener;
  for (char ch : {'\r', '\n'}) classes[static_cast<std::uint8_t>(ch)] = kLineEnd;
  for (char ch : {')', ',', ';', '>', ']'}) classes[static_cast<std::uint8_t>(ch)] = kCloser;
  return classes;
}

constexpr std::array<std::uint8_t, 256> kClasses = BuildClasses();

// Bytes that do not occur in text: controls other than LF and CR, and FE, FF.
constexpr bool IsNonText(std::uint8_t b) {
  return (b < 0x20 && b != 0x0A && b != 0x0D) || b >= 0xFE;
}

}  // namespace

void LogTypeDetector::DetectLogType(const std::uint8_t* block, std::size_t count,
                                    bool& log_is_binary) {
  if (selection_ == LogTypeSelection::Text) {
    log_is_binary = false;
  } else if (selection_ == LogTypeSelection::Binary) {
    log_is_binary = true;
  } else if (detect_pending_) {
    std::size_t non_text = 0;
    for (std::size_t i = 0; i < count; ++i) non_text += IsNonText(block[i]);
    if (50 * non_text < count) log_is_binary = false;
  }
  detect_pending_ = false;
}

int TextDecoder::Step(std::uint8_t ch) {
  const std::uint8_t cls = kClasses[ch];
  if (cls < 16) {
    after_closer_ = false;
    if (digit_count_ == 0) {
      pair_value_ = static_cast<std::uint8_t>(cls << 4);
      digit_count_ = 1;
      return -1;
    }
    pair_value_ = static_cast<std::uint8_t>(pair_value_ + cls);
    digit_count_ = 0;
    if (seeking_start_) {
      if (pair_value_ != 0xFE) return -1;  // dropped while seeking a start byte
      seeking_start_ = false;
    }
    return pair_value_;
  }
  digit_count_ = 0;
  switch (cls) {
    case kOpener:
      seeking_start_ = true;
      after_closer_ = false;
      break;
    case kLineEnd:
      if (!after_closer_) seeking_start_ = true;
      break;
    case kCloser:
      seeking_start_ = false;
      after_closer_ = true;
      break;
    default:
      break;
  }
  return -1;
}

std::size_t TextDecoder::DecodeBlock(const std::uint8_t* text, std::size_t count,
                                     std::uint8_t* out) {
  std::size_t produced = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const int value = Step(text[i]);
    if (value >= 0) out[produced++] = static_cast<std::uint8_t>(value);
  }
  return produced;
}

}  // namespace corvanel
