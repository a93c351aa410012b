#include "engine/crc.h"

#include "util/processor.h"

namespace corvanel {

std::uint16_t ComputeCRCShiftXor(const std::uint8_t* bytes, std::size_t count) {
  std::uint16_t c = 0xFFFF;
  for (std::size_t i = 0; i < count; ++i) {
    c = static_cast<std::uint16_t>((c >> 8) | (c << 8));
    c ^= bytes[i];
    c ^= static_cast<std::uint16_t>((c & 0xFF) >> 4);
    c ^= static_cast<std::uint16_t>(c << 12);
    c ^= static_cast<std::uint16_t>((c & 0xFF) << 5);
  }
  return static_cast<std::uint16_t>(c ^ 0xFFFF);
}

#if defined(CORVANEL_X86_EXTENSIONS)

namespace {

// Polynomials over GF(2) as bit patterns, bit i the coefficient of x^i. The generator is
// x^16 + 0x1021; the first byte of a message is its highest part.
constexpr std::uint32_t kGenerator = 0x11021;

// x^e mod generator, for e of either sign: the generator's constant term is 1, so x has
// an inverse and a step down divides by x exactly.
constexpr std::uint16_t PowerOfXModGenerator(int e) {
  std::uint32_t r = 1;
  for (int i = 0; i < e; ++i) {
    r <<= 1;
    if (r & 0x10000) r ^= kGenerator;
  }
  for (int i = 0; i > e; --i) {
    if (r & 1) r ^= kGenerator;
    r >>= 1;
  }
  return static_cast<std::uint16_t>(r);
}

// a * b mod generator.
constexpr std::uint16_t MultiplyModGenerator(std::uint16_t a, std::uint16_t b) {
  std::uint32_t r = 0;
  for (int bit = 15; bit >= 0; --bit) {
    r <<= 1;
    if (r & 0x10000) r ^= kGenerator;
    if (b >> bit & 1) r ^= a;
  }
  return static_cast<std::uint16_t>(r);
}

// Frames hold at most 262 bytes, so their CRC covers at most 33 blocks.
constexpr std::size_t kMostBlocks = 33;

// The CRC register after a message M with a start value of zero is M x^16 mod generator,
// so every weight below carries the factor x^16.
//
// kBlockWeights[j] = x^(64 j + 16) mod generator: what a block followed by j more blocks
// is worth in the register, up to a multiple of the generator.
constexpr std::array<std::uint16_t, kMostBlocks> BuildBlockWeights() {
  std::array<std::uint16_t, kMostBlocks> weights{};
  for (unsigned j = 0; j < kMostBlocks; ++j) {
    weights[j] = PowerOfXModGenerator(static_cast<int>(64 * j + 16));
  }
  return weights;
}
constexpr std::array<std::uint16_t, kMostBlocks> kBlockWeights = BuildBlockWeights();

// Most frames are short enough to be taken in one window of eight blocks, with no loop
// whose length depends on the frame: the bytes past the message are masked to zero and
// every block is weighted by a table row for the message's length.
constexpr std::size_t kWindowBlocks = kFrameCRCReadable / 8;

struct alignas(16) WindowRow {
  std::array<std::uint64_t, kWindowBlocks> weights;  // block i of the window
  std::uint16_t register_term;                       // what the start value leaves
};

// For n bytes, block i (bytes 8i to 8i + 7, the first the highest) stands at
// x^(8n - 64i - 64) in the message, and at x^16 more in the register. Past the message's
// end the exponent is negative; the block's low bytes are zero there, so the inverse
// powers of x give the same remainder. The start value 0xFFFF leaves 0xFFFF x^(8n) mod
// generator in the register; the final inversion is folded into the same term.
constexpr std::array<WindowRow, kFrameCRCReadable + 1> BuildWindowRows() {
  std::array<WindowRow, kFrameCRCReadable + 1> rows{};
  for (int n = 0; n <= static_cast<int>(kFrameCRCReadable); ++n) {
    for (int i = 0; i < static_cast<int>(kWindowBlocks); ++i) {
      rows[n].weights[i] = PowerOfXModGenerator(8 * n - 64 * i - 48);
    }
    rows[n].register_term = static_cast<std::uint16_t>(
        MultiplyModGenerator(0xFFFF, PowerOfXModGenerator(8 * n)) ^ 0xFFFF);
  }
  return rows;
}
constexpr std::array<WindowRow, kFrameCRCReadable + 1> kWindowRows = BuildWindowRows();

// kKeepFirst + kFrameCRCReadable - n: a mask that keeps the first n bytes of a window.
constexpr std::array<std::uint8_t, 2 * kFrameCRCReadable> BuildKeepFirst() {
  std::array<std::uint8_t, 2 * kFrameCRCReadable> mask{};
  for (std::size_t i = 0; i < kFrameCRCReadable; ++i) mask[i] = 0xFF;
  return mask;
}
alignas(64) constexpr std::array<std::uint8_t, 2 * kFrameCRCReadable> kKeepFirst = BuildKeepFirst();

[[gnu::target("pclmul")]] inline __m128i CarrylessProduct(std::uint64_t a, std::uint64_t b) {
  return _mm_clmulepi64_si128(_mm_cvtsi64_si128(static_cast<long long>(a)),
                              _mm_cvtsi64_si128(static_cast<long long>(b)), 0x00);
}

inline std::uint64_t LoadBigEndian64(const std::uint8_t* bytes) {
  std::uint64_t w;
  std::memcpy(&w, bytes, sizeof w);
  return be64toh(w);
}

// x^80 = q * generator + r with q of degree 64: the low 64 bits of q.
constexpr std::uint64_t BuildBarrettQuotient() {
  std::uint32_t remainder = 0;
  std::uint64_t quotient = 0;
  for (int bit = 80; bit >= 0; --bit) {  // long division, one bit of x^80 at a time
    remainder = remainder << 1 | (bit == 80 ? 1u : 0u);
    const bool subtracted = (remainder & 0x10000) != 0;
    if (subtracted) remainder ^= kGenerator;
    if (bit < 64) quotient = quotient << 1 | (subtracted ? 1u : 0u);
  }
  return quotient;
}
constexpr std::uint64_t kBarrettQuotient = BuildBarrettQuotient();

// A sum of weighted blocks has at most 79 bits; this is its remainder by the generator,
// by Barrett reduction: the sum's quotient is its top 63 bits times x^80 / generator,
// divided by x^64, and two carry-less products take the place of the division.
[[gnu::target("pclmul")]] inline std::uint16_t RemainderOfSum(__m128i sum) {
  const __m128i top = _mm_srli_si128(sum, 2);  // sum / x^16
  const __m128i quotient = _mm_xor_si128(
      top,
      _mm_srli_si128(_mm_clmulepi64_si128(
                         top, _mm_cvtsi64_si128(static_cast<long long>(kBarrettQuotient)), 0x00),
                     8));
  const __m128i multiple =
      _mm_clmulepi64_si128(quotient, _mm_cvtsi32_si128(static_cast<int>(kGenerator)), 0x00);
  return static_cast<std::uint16_t>(_mm_cvtsi128_si32(_mm_xor_si128(sum, multiple)));
}

[[gnu::target("pclmul,ssse3")]] std::uint16_t FrameCRCOfWindow(const std::uint8_t* bytes,
                                                               std::size_t count) {
  // Swaps the bytes of each 64-bit lane, so that the first byte of a block is its highest.
  const __m128i big_endian = _mm_set_epi8(8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7);
  const std::uint8_t* keep = kKeepFirst.data() + kFrameCRCReadable - count;
  const WindowRow& row = kWindowRows[count];
  __m128i sum = _mm_setzero_si128();
  for (std::size_t pair = 0; pair < kWindowBlocks / 2; ++pair) {
    const __m128i blocks = _mm_shuffle_epi8(
        _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * pair)),
                      _mm_loadu_si128(reinterpret_cast<const __m128i*>(keep + 16 * pair))),
        big_endian);
    const __m128i weights =
        _mm_load_si128(reinterpret_cast<const __m128i*>(row.weights.data() + 2 * pair));
    sum = _mm_xor_si128(sum, _mm_xor_si128(_mm_clmulepi64_si128(blocks, weights, 0x00),
                                           _mm_clmulepi64_si128(blocks, weights, 0x11)));
  }
  return static_cast<std::uint16_t>(RemainderOfSum(sum) ^ row.register_term);
}

}  // namespace

[[gnu::target("pclmul,ssse3")]] std::uint16_t ComputeFrameCRCCarryless(const std::uint8_t* bytes,
                                                                       std::size_t count) {
  if (count <= kFrameCRCReadable) return FrameCRCOfWindow(bytes, count);
  const std::size_t blocks = (count + 7) / 8;
  if (blocks > kMostBlocks) return ComputeFrameCRCTable(bytes, count);
  const std::size_t padding = blocks * 8 - count;
  // The start value goes into the first two bytes of the zero-padded message, which is
  // then taken with a register of zero.
  const std::uint64_t first = (LoadBigEndian64(bytes) >> (8 * padding)) ^
                              std::uint64_t{detail::kStartBefore[padding]} << 48;
  __m128i sum = CarrylessProduct(first, kBlockWeights[blocks - 1]);
  const std::uint8_t* at = bytes + 8 - padding;
  for (std::size_t following = blocks - 1; following-- > 0; at += 8) {
    sum = _mm_xor_si128(sum, CarrylessProduct(LoadBigEndian64(at), kBlockWeights[following]));
  }
  return static_cast<std::uint16_t>(RemainderOfSum(sum) ^ 0xFFFF);
}

#else

std::uint16_t ComputeFrameCRCCarryless(const std::uint8_t* bytes, std::size_t count) {
  return ComputeFrameCRCTable(bytes, count);
}

#endif

}  // namespace corvanel
