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

// Shuffle masks that spread sixteen pairs of digits (two vectors of eight pairs each)
// over three vectors of "XX " groups; -1 leaves a zero, where the blank goes.
struct Spread {
  std::array<std::array<std::int8_t, 16>, 3> from_first;
  std::array<std::array<std::int8_t, 16>, 3> from_second;
  std::array<std::array<std::int8_t, 16>, 3> blanks;
};

constexpr Spread BuildSpread() {
  Spread spread{};
  for (int part = 0; part < 3; ++part) {
    for (int j = 0; j < 16; ++j) {
      const int at = 16 * part + j;  // position in the 48 characters
      const int pair = at / 3;
      const int digit = at % 3;  // 0, 1: the digits; 2: the blank
      spread.from_first[part][j] = -1;
      spread.from_second[part][j] = -1;
      spread.blanks[part][j] = digit == 2 ? ' ' : 0;
      if (digit == 2) continue;
      const int index = 2 * (pair % 8) + digit;
      if (pair < 8) {
        spread.from_first[part][j] = static_cast<std::int8_t>(index);
      } else {
        spread.from_second[part][j] = static_cast<std::int8_t>(index);
      }
    }
  }
  return spread;
}

constexpr Spread kSpread = BuildSpread();

[[gnu::target("ssse3")]] inline __m128i Load(const std::array<std::int8_t, 16>& bytes) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data()));
}

}  // namespace

[[gnu::target("ssse3")]] char* RenderPlainFrameLineShuffled(const Frame& frame, char* out) {
  const std::uint8_t* bytes = frame.FrameBuffer.data();
  const std::size_t count = PairCount(frame);
  char* const begin = out;
  const __m128i digits =
      _mm_setr_epi8('0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F');
  const __m128i nibble = _mm_set1_epi8(0x0F);
  for (std::size_t i = 0; i < count; i += 16, out += 48) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    const __m128i high = _mm_shuffle_epi8(digits, _mm_and_si128(_mm_srli_epi16(v, 4), nibble));
    const __m128i low = _mm_shuffle_epi8(digits, _mm_and_si128(v, nibble));
    const __m128i first = _mm_unpacklo_epi8(high, low);   // the pairs of bytes 0 to 7
    const __m128i second = _mm_unpackhi_epi8(high, low);  // bytes 8 to 15
    for (int part = 0; part < 3; ++part) {
      const __m128i text =
          _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(first, Load(kSpread.from_first[part])),
                                    _mm_shuffle_epi8(second, Load(kSpread.from_second[part]))),
                       Load(kSpread.blanks[part]));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * part), text);
    }
  }
  return LineEnd(begin, count);
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
