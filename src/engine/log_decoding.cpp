#include "engine/log_decoding.h"

#include <array>

#include "util/processor.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)

// All ones where low <= v <= low + span, as unsigned bytes.
inline __m128i InRange(__m128i v, char low, int span) {
  const __m128i offset = _mm_sub_epi8(v, _mm_set1_epi8(low));
  return _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(static_cast<char>(span))), offset);
}

#endif

#if defined(CORVANEL_X86_EXTENSIONS)

// Shuffle masks that gather the characters at 3 j + offset (j = 0 to 15) of 48 characters
// held in three vectors: kGather[offset][v] takes those in vector v; -1 gives zero.
constexpr auto kGather = [] {
  std::array<std::array<std::array<std::int8_t, 16>, 3>, 3> masks{};
  for (int offset = 0; offset < 3; ++offset) {
    for (int v = 0; v < 3; ++v) {
      for (int j = 0; j < 16; ++j) {
        const int at = 3 * j + offset - 16 * v;
        masks[offset][v][j] = static_cast<std::int8_t>(at >= 0 && at < 16 ? at : -1);
      }
    }
  }
  return masks;
}();

template <int kVectors>
[[gnu::target("ssse3")]] inline __m128i Gather(const __m128i (&text)[kVectors], int offset) {
  __m128i result = _mm_setzero_si128();
  for (int v = 0; v < kVectors; ++v) {
    const __m128i mask =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(kGather[offset][v].data()));
    result = _mm_or_si128(result, _mm_shuffle_epi8(text[v], mask));
  }
  return result;
}

// The values of sixteen characters that are all hexadecimal digits (0-9, A-F); `valid`
// gets all ones where a character is one.
inline __m128i DigitValues(__m128i ch, __m128i& valid) {
  const __m128i is_digit = InRange(ch, '0', 9);
  const __m128i is_letter = InRange(ch, 'A', 5);
  valid = _mm_or_si128(is_digit, is_letter);
  const __m128i digit = _mm_sub_epi8(ch, _mm_set1_epi8('0'));
  const __m128i letter = _mm_sub_epi8(ch, _mm_set1_epi8('A' - 10));
  return _mm_or_si128(_mm_and_si128(is_digit, digit), _mm_and_si128(is_letter, letter));
}

// Decodes kPairs pairs of digits each followed by a blank (3 kPairs characters) into
// kPairs bytes; returns false, writing nothing, when the characters are anything else.
// Reads 16 bytes for every 16 characters begun.
template <int kPairs>
[[gnu::target("ssse3")]] bool DecodePairs(const std::uint8_t* text, std::uint8_t* out) {
  constexpr int kVectors = (3 * kPairs + 15) / 16;
  __m128i chars[kVectors];
  for (int v = 0; v < kVectors; ++v) {
    chars[v] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 16 * v));
  }
  __m128i high_valid, low_valid;
  const __m128i high = DigitValues(Gather<kVectors>(chars, 0), high_valid);
  const __m128i low = DigitValues(Gather<kVectors>(chars, 1), low_valid);
  const __m128i blanks = _mm_cmpeq_epi8(Gather<kVectors>(chars, 2), _mm_set1_epi8(' '));
  const __m128i all = _mm_and_si128(_mm_and_si128(high_valid, low_valid), blanks);
  constexpr int kAll = (1 << kPairs) - 1;
  if ((_mm_movemask_epi8(all) & kAll) != kAll) return false;
  // Digit values are below 16, so shifting 16-bit lanes by 4 moves nothing across bytes.
  const __m128i bytes = _mm_or_si128(_mm_slli_epi16(high, 4), low);
  if constexpr (kPairs == 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
  } else {
    static_assert(kPairs == 8);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
  }
  return true;
}

#else

template <int kPairs>
bool DecodePairs(const std::uint8_t*, std::uint8_t*) {
  return false;
}

#endif

// Takes a run of kPairs pairs "XY " at text[i] in one go if there is one and the
// processor can; the last blank is looked at first, as lines often end before it.
template <int kPairs>
bool TakePairRun(const std::uint8_t* text, std::size_t& i, std::size_t count, std::uint8_t* out,
                 std::size_t& produced) {
  constexpr std::size_t kChars = 3 * kPairs;
  constexpr std::size_t kRead = (kChars + 15) / 16 * 16;
  if (count - i < kRead || text[i + kChars - 1] != ' ') return false;
  if (!kHasByteShuffle || !DecodePairs<kPairs>(text + i, out + produced)) return false;
  i += kChars;
  produced += kPairs;
  return true;
}

// While a start byte is sought, with no digit pending at text[i], only a pair FE or a
// closing delimiter changes what the decoder does after it; a closer ends the search, and
// every other character only pairs digits up or drops them. Passes over stretches with
// neither, sixteen characters at a time, up to the last character before them that is
// no digit, so that no digit is pending where it stops. Returns where it stopped.
std::size_t PassOverWhileSeeking(const std::uint8_t* text, std::size_t i, std::size_t count) {
#if defined(__SSE2__)
  auto equal = [](__m128i v, char ch) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(ch)); };
  while (count - i >= 17) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 1));
    const __m128i closer = _mm_or_si128(_mm_or_si128(_mm_or_si128(equal(v, ')'), equal(v, ',')),
                                                     _mm_or_si128(equal(v, ';'), equal(v, '>'))),
                                        equal(v, ']'));
    const __m128i start_pair = _mm_and_si128(equal(v, 'F'), equal(next, 'E'));
    const auto stops = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(closer, start_pair)));
    const unsigned before_stop = stops == 0 ? 0xFFFF : (1u << __builtin_ctz(stops)) - 1;
    const auto digits = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(InRange(v, '0', 9), InRange(v, 'A', 5))));
    const unsigned others = ~digits & before_stop;
    if (others == 0) return i;  // a digit right here: the pairs start from it
    i += 32 - static_cast<std::size_t>(__builtin_clz(others));
    if (stops != 0) return i;
  }
#endif
  return i;
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
    if (state.SeekingStart && state.DigitCount == 0) {
      i = PassOverWhileSeeking(text, i, count);
    }
    // Most text is pairs followed by a separator such as a blank ("FE 00 41 "): runs of
    // such pairs, with no digit pending, are taken three characters at a time.
    if (state.DigitCount == 0) {
      const std::size_t run_start = i;
      bool seeking = state.SeekingStart;
      while (count - i >= 3) {
        // Sixteen or eight pairs at a time while no start byte is sought.
        if (!seeking && (TakePairRun<16>(text, i, count, out, produced) ||
                         TakePairRun<8>(text, i, count, out, produced))) {
          continue;
        }
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
