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

// x^e mod generator.
constexpr std::uint16_t PowerOfXModGenerator(unsigned e) {
  std::uint32_t r = 1;
  for (unsigned i = 0; i < e; ++i) {
    r <<= 1;
    if (r & 0x10000) r ^= kGenerator;
  }
  return static_cast<std::uint16_t>(r);
}

// Frames hold at most 262 bytes, so their CRC covers at most 33 blocks.
constexpr std::size_t kMostBlocks = 33;

// kBlockWeights[j] = x^(64 j) mod generator: what a block followed by j more blocks is
// worth, up to a multiple of the generator.
constexpr std::array<std::uint16_t, kMostBlocks> BuildBlockWeights() {
  std::array<std::uint16_t, kMostBlocks> weights{};
  for (unsigned j = 0; j < kMostBlocks; ++j) weights[j] = PowerOfXModGenerator(64 * j);
  return weights;
}
constexpr std::array<std::uint16_t, kMostBlocks> kBlockWeights = BuildBlockWeights();

[[gnu::target("pclmul")]] inline __m128i CarrylessProduct(std::uint64_t a, std::uint64_t b) {
  return _mm_clmulepi64_si128(_mm_cvtsi64_si128(static_cast<long long>(a)),
                              _mm_cvtsi64_si128(static_cast<long long>(b)), 0x00);
}

[[gnu::target("pclmul")]] inline std::uint64_t Low64(__m128i v) {
  return static_cast<std::uint64_t>(_mm_cvtsi128_si64(v));
}

[[gnu::target("pclmul")]] inline std::uint64_t High64(__m128i v) {
  return static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(v, v)));
}

inline std::uint64_t LoadBigEndian64(const std::uint8_t* bytes) {
  std::uint64_t w;
  std::memcpy(&w, bytes, sizeof w);
  return be64toh(w);
}

}  // namespace

[[gnu::target("pclmul")]] std::uint16_t ComputeFrameCRCCarryless(const std::uint8_t* bytes,
                                                                 std::size_t count) {
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
  // The sum has at most 79 bits and leaves the same remainder as the message. Taken as a
  // message of ten bytes, its top two and its low eight, by table lookups that do not
  // wait for each other, it gives the CRC register.
  const auto& t = detail::kCrcTables;
  const std::uint64_t high = High64(sum);
  const std::uint16_t c = detail::CrcStep(0, __builtin_bswap64(Low64(sum))) ^
                          t[9][(high >> 8) & 0xFF] ^ t[8][high & 0xFF];
  return static_cast<std::uint16_t>(c ^ 0xFFFF);
}

#else

std::uint16_t ComputeFrameCRCCarryless(const std::uint8_t* bytes, std::size_t count) {
  return ComputeFrameCRCTable(bytes, count);
}

#endif

}  // namespace corvanel
