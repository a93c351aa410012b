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

// One character through the decoder; returns the byte a completed pair yields, or -1.
// Works on a local copy of the state so that stores of decoded bytes cannot alias it.
inline int Step(TextDecoder::State& state, std::uint8_t ch) {
  const std::uint8_t cls = kClasses[ch];
  if (cls < 16) {
    state.AfterCloser = false;
    if (state.DigitCount == 0) {
      state.PairValue = static_cast<std::uint8_t>(cls << 4);
      state.DigitCount = 1;
      return -1;
    }
    state.PairValue = static_cast<std::uint8_t>(state.PairValue + cls);
    state.DigitCount = 0;
    if (state.SeekingStart) {
      if (state.PairValue != 0xFE) return -1;  // dropped while seeking a start byte
      state.SeekingStart = false;
    }
    return state.PairValue;
  }
  state.DigitCount = 0;
  switch (cls) {
    case kOpener:
      state.SeekingStart = true;
      state.AfterCloser = false;
      break;
    case kLineEnd:
      if (!state.AfterCloser) state.SeekingStart = true;
      break;
    case kCloser:
      state.SeekingStart = false;
      state.AfterCloser = true;
      break;
    default:
      break;
  }
  return -1;
}

bool TextDecoder::IsHexDigit(std::uint8_t ch) {
  return kClasses[ch] < 16;
}

std::optional<std::uint8_t> TextDecoder::DecodeHexChar(std::uint8_t ch) {
  const int value = Step(state_, ch);
  if (value < 0) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

std::size_t TextDecoder::DecodeBlock(const std::uint8_t* text, std::size_t count,
                                     std::uint8_t* out) {
  State state = state_;
  std::size_t produced = 0;
  std::size_t i = 0;
  while (i < count) {
    // Most text is pairs followed by a separator such as a blank ("FE 00 41 "): runs of
    // such pairs, with no digit pending, are taken three characters at a time.
    if (state.DigitCount == 0) {
      const std::size_t run_start = i;
      bool seeking = state.SeekingStart;
      while (count - i >= 3) {
        const std::uint8_t high = kClasses[text[i]];
        const std::uint8_t low = kClasses[text[i + 1]];
        if ((high | low) >= 16 || kClasses[text[i + 2]] != kOther) break;
        const auto value = static_cast<std::uint8_t>(high << 4 | low);
        const bool start = value == 0xFE;
        out[produced] = value;
        produced += !seeking || start;  // dropped while seeking a start byte
        seeking = seeking && !start;
        i += 3;
      }
      if (i != run_start) {
        state.SeekingStart = seeking;
        state.AfterCloser = false;
        if (i == count) break;
      }
    }
    const int value = Step(state, text[i++]);
    if (value >= 0) out[produced++] = static_cast<std::uint8_t>(value);
  }
  state_ = state;
  return produced;
}

}  // namespace corvanel
