// Log byte decoding: whether the log is raw bytes or hexadecimal text, and the text
// decoder that turns upper-case hexadecimal pairs among other text into log bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace corvanel {

// The log type selector's items, in the selector's order.
enum class LogTypeSelection : int { Autodetect = 0, Text = 1, Binary = 2 };

// Bytes of the first block that autodetection looks at.
inline constexpr std::size_t kDetectionBlockSize = 2048;

class LogTypeDetector {
 public:
  explicit LogTypeDetector(LogTypeSelection selection) : selection_(selection) {}

  // Chooses the log type before a block of `count` bytes (1 to 2048) is handled. With
  // autodetection only the first block decides: text when fewer than 2 % of its bytes
  // are non-text, otherwise log_is_binary keeps its value.
  void DetectLogType(const std::uint8_t* block, std::size_t count, bool& log_is_binary);

 private:
  LogTypeSelection selection_;
  bool detect_pending_ = true;
};

// Value of one of the characters 0-9 and A-F.
inline std::uint8_t HexDigitToInt(std::uint8_t ch) {
  return static_cast<std::uint8_t>(ch <= '9' ? ch - 48 : ch - 55);
}

class TextDecoder {
 public:
  // Takes one character of a text log; returns the byte that a completed pair gives.
  std::optional<std::uint8_t> DecodeHexChar(std::uint8_t ch);

  // Decodes `count` characters into `out` (room for `count` bytes); returns the number of
  // bytes yielded. Same result as DecodeHexChar on each character in turn.
  std::size_t DecodeBlock(const std::uint8_t* text, std::size_t count, std::uint8_t* out);

  // Takes the state that the pair FE leaves when it follows a character that is no
  // hexadecimal digit, whatever came before: no digit pending, not seeking, no closer.
  void ResumeAfterStartPair() { state_ = State{0, 0xFE, false, false}; }

  // Whether ch is one of the hexadecimal digits that the decoder reads (0-9, A-F).
  static bool IsHexDigit(std::uint8_t ch);

 public:
  struct State {
    int DigitCount = 0;  // digits of the current pair so far
    std::uint8_t PairValue = 0;
    bool SeekingStart = true;  // pairs other than FE are dropped
    bool AfterCloser = false;  // a closing delimiter came, and no digit or opener since
  };

 private:
  State state_;
};

}  // namespace corvanel
