#include "export/frame_line.h"

#include <endian.h>

#include <array>
#include <cstdint>
#include <cstring>

#include "engine/frame_assembler.h"
#include "util/number_text.h"
#include "util/processor.h"

namespace corvanel {

namespace {

// "XX " of every byte value as the low three bytes of a word (little-endian order).
constexpr auto kPairAndBlank = [] {
  std::array<std::uint32_t, 256> table{};
  for (unsigned b = 0; b < 256; ++b) {
    table[b] = static_cast<std::uint8_t>(detail::kHexPairs[2 * b]) |
               static_cast<std::uint8_t>(detail::kHexPairs[2 * b + 1]) << 8 |
               std::uint32_t{' '} << 16;
  }
  return table;
}();

void Store(char* out, std::uint64_t bytes, std::size_t count) {
  bytes = htole64(bytes);
  std::memcpy(out, &bytes, count);
}

// Bytes from the start byte to the stop byte.
std::size_t PairCount(const Frame& frame) {
  return static_cast<std::size_t>(frame.FrameLength + 1);
}

// The end of a line of `count` pairs written from `begin`: no blank after the last pair.
char* LineEnd(char* begin, std::size_t count) {
  return begin + 3 * count - 1;
}

char* RenderEscapedFrameLine(const Frame& frame, char* out) {
  const std::int32_t stop = frame.FrameLength;
  const std::uint8_t* bytes = frame.FrameBuffer.data();
  auto put_pair = [&out](std::uint8_t value) {
    Store(out, kPairAndBlank[value], 4);
    out += 3;
  };
  put_pair(bytes[0]);
  for (std::int32_t i = 1; i < stop; ++i) {
    const std::uint8_t b = bytes[i];
    if (b >= 0xFD) {
      put_pair(0xFD);
      put_pair(static_cast<std::uint8_t>(b - 0xFD));
    } else {
      put_pair(b);
    }
  }
  put_pair(bytes[stop]);
  return out - 1;
}

// Every group reads whole: sixteen bytes from the start byte for each group begun.
static_assert((Frame::kCapacity + 15) / 16 * 16 <= Frame::kBufferSize);

}  // namespace

char* RenderPlainFrameLinePortable(const Frame& frame, char* out) {
  // Four pairs (twelve characters) at a time; the last group may run past the stop byte
  // into the frame buffer's tail and into the room reserved.
  const std::uint8_t* bytes = frame.FrameBuffer.data();
  const std::size_t count = PairCount(frame);
  char* const begin = out;
  for (std::size_t i = 0; i < count; i += 4, out += 12) {
    const std::uint64_t a = kPairAndBlank[bytes[i]];
    const std::uint64_t b = kPairAndBlank[bytes[i + 1]];
    const std::uint64_t c = kPairAndBlank[bytes[i + 2]];
    const std::uint64_t d = kPairAndBlank[bytes[i + 3]];
    Store(out, a | b << 24 | c << 48, 8);
    Store(out + 8, c >> 16 | d << 8, 4);
  }
  return LineEnd(begin, count);
}

#if defined(CORVANEL_X86_EXTENSIONS)

namespace {

// The 48 characters of sixteen "XX " groups, in three vectors. Each vector takes its
// digits from a window of sixteen of the 32 digits (kWindow: where it starts) by one byte
// shuffle; -1 leaves a zero, where the blank goes.
constexpr std::array<int, 3> kWindow = {0, 10, 16};

struct Spread {
  std::array<std::array<std::int8_t, 16>, 3> digits;
  std::array<std::array<std::int8_t, 16>, 3> blanks;
};

constexpr Spread BuildSpread() {
  Spread spread{};
  for (int part = 0; part < 3; ++part) {
    for (int j = 0; j < 16; ++j) {
      const int at = 16 * part + j;  // position in the 48 characters
      const int digit = at % 3;      // 0, 1: the digits; 2: the blank
      const int index = 2 * (at / 3) + digit - kWindow[part];
      if (digit != 2 && (index < 0 || index >= 16)) throw "a digit outside its window";
      spread.digits[part][j] = static_cast<std::int8_t>(digit == 2 ? -1 : index);
      spread.blanks[part][j] = digit == 2 ? ' ' : 0;
    }
  }
  return spread;
}

constexpr Spread kSpread = BuildSpread();

[[gnu::target("ssse3")]] inline __m128i Load(const std::array<std::int8_t, 16>& bytes) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data()));
}

// Writes characters 16 part to 16 part + 15 of the groups from their window of digits.
[[gnu::target("ssse3")]] inline void StorePart(char* out, __m128i window, int part) {
  const __m128i text = _mm_or_si128(_mm_shuffle_epi8(window, Load(kSpread.digits[part])),
                                    Load(kSpread.blanks[part]));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * part), text);
}

// Writes the "XX " groups of the sixteen bytes at `bytes` as 48 characters at `out`.
[[gnu::target("ssse3")]] inline void RenderGroup(const std::uint8_t* bytes, char* out) {
  const __m128i digits =
      _mm_setr_epi8('0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F');
  const __m128i nibble = _mm_set1_epi8(0x0F);
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
  const __m128i high = _mm_shuffle_epi8(digits, _mm_and_si128(_mm_srli_epi16(v, 4), nibble));
  const __m128i low = _mm_shuffle_epi8(digits, _mm_and_si128(v, nibble));
  const __m128i first = _mm_unpacklo_epi8(high, low);   // the digits of bytes 0 to 7
  const __m128i second = _mm_unpackhi_epi8(high, low);  // bytes 8 to 15
  static_assert(kWindow[1] == 10 && kWindow[2] == 16);
  StorePart(out, first, 0);
  StorePart(out, _mm_alignr_epi8(second, first, 10), 1);
  StorePart(out, second, 2);
}

}  // namespace

[[gnu::target("ssse3")]] char* RenderPlainFrameLineShuffled(const Frame& frame, char* out) {
  const std::uint8_t* bytes = frame.FrameBuffer.data();
  const std::size_t count = PairCount(frame);
  // The first two groups are written whatever the length, which most frames do not pass:
  // no branch on the length to mispredict.
  RenderGroup(bytes, out);
  RenderGroup(bytes + 16, out + 48);
  for (std::size_t i = 32; i < count; i += 16) RenderGroup(bytes + i, out + 3 * i);
  return LineEnd(out, count);
}

#else

char* RenderPlainFrameLineShuffled(const Frame& frame, char* out) {
  return RenderPlainFrameLinePortable(frame, out);
}

#endif

char* RenderFrameLine(const Frame& frame, bool keep_stuffing, char* out) {
  const std::uint8_t* bytes = frame.FrameBuffer.data();
  const std::int32_t stop = frame.FrameLength;
  if (keep_stuffing && FindSpecialByte(bytes + 1, bytes + stop) != bytes + stop) {
    return RenderEscapedFrameLine(frame, out);
  }
  return kHasByteShuffle ? RenderPlainFrameLineShuffled(frame, out)
                         : RenderPlainFrameLinePortable(frame, out);
}

}  // namespace corvanel
