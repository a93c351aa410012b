#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "engine/frame.h"
#include "engine/frame_assembler.h"
#include "test_support.h"

namespace corvanel {
namespace {

using testing::Assemble;
using testing::Hex;

struct Counts {
  std::int64_t good, too_short, too_long, crc, unclosed, unopened, stuffing, outside;
  bool operator==(const Counts&) const = default;
};

Counts CountsOf(const RunStats& s) {
  return {s.GoodFrames,     s.TooShortFrames, s.TooLongFrames,  s.CrcFailures,
          s.UnclosedFrames, s.UnopenedFrames, s.StuffingErrors, s.OutsideBytes};
}

std::ostream& operator<<(std::ostream& out, const Counts& c) {
  return out << "good " << c.good << ", short " << c.too_short << ", long " << c.too_long
             << ", crc " << c.crc << ", unclosed " << c.unclosed << ", unopened " << c.unopened
             << ", stuffing " << c.stuffing << ", outside " << c.outside;
}

struct AssemblyCase {
  const char* bytes;
  Counts expected;  // good, short, long, crc, unclosed, unopened, stuffing, outside
};

TEST(FrameAssembler, StepOrderDecidesEveryIrregularity) {
  const AssemblyCase cases[] = {
      {"FE 00 00 00 00 7B 3F FF", {1, 0, 0, 0, 0, 0, 0, 0}},
      {"FE 00 04 00 00 A7 FD 02 FF", {1, 0, 0, 0, 0, 0, 0, 0}},  // stuffed low CRC byte
      {"FE 00 07 00 00 FD 01 AF FF", {1, 0, 0, 0, 0, 0, 0, 0}},  // stuffed high CRC byte
      {"FE 00 00 00 00 7B 3E FF", {0, 0, 0, 1, 0, 0, 0, 0}},
      {"FE 00 00 00 00 3F 7B FF", {0, 0, 0, 1, 0, 0, 0, 0}},  // CRC high byte first
      {"FE 01 02 03 04 05 FF", {0, 1, 0, 0, 0, 0, 0, 0}},
      {"FE FF", {0, 1, 0, 0, 0, 0, 0, 0}},
      {"FE 00 00 FE 00 00 00 00 7B 3F FF", {1, 0, 0, 0, 1, 0, 0, 0}},
      {"FF", {0, 0, 0, 0, 0, 1, 0, 1}},
      {"41 FD 05", {0, 0, 0, 0, 0, 0, 1, 3}},
      {"FE 00 FD FF", {0, 1, 0, 0, 0, 0, 1, 0}},
      // The escape is not held: the stop byte judges seven bytes, then the error counts.
      {"FE 00 00 00 00 7B 3F FD FF", {1, 0, 0, 0, 0, 0, 1, 0}},
      // An escaped start byte still starts a frame, then counts a stuffing error.
      {"FE 00 FD FE 00 00 00 00 7B 3F FF", {1, 0, 0, 0, 1, 0, 1, 0}},
      {"FE 00 00 00 00 7B 3F FF FF", {1, 0, 0, 0, 0, 1, 0, 1}},
      {"FE 00 00", {0, 0, 0, 0, 1, 0, 0, 0}},  // open at the end of the log
      // A stop byte outside a frame keeps a pending escape: FD FF 01 translates 01.
      {"FD FF 01", {0, 0, 0, 0, 0, 1, 0, 3}},
      {"FD FD 07", {0, 0, 0, 0, 0, 0, 1, 3}},  // only the last escape translates
  };
  for (const AssemblyCase& c : cases) {
    EXPECT_EQ(CountsOf(Assemble(Hex(c.bytes))), c.expected) << c.bytes;
  }
}

TEST(FrameAssembler, TooLongFrameHoldsTheCapacity) {
  std::vector<std::uint8_t> bytes{0xFE};
  bytes.insert(bytes.end(), 300, 0x41);
  RunStats stats;
  Frame frame;
  FrameAssembler assembler(frame, stats, nullptr, nullptr);
  assembler.AssembleBlock(bytes.data(), bytes.size());
  EXPECT_EQ(frame.FrameLength, 263);
  assembler.AssembleByte(0xFF);
  EXPECT_EQ(stats.TooLongFrames, 1);
}

TEST(FrameAssembler, DestuffsIntoTheFrameBuffer) {
  RunStats stats;
  Frame frame;
  FrameAssembler assembler(frame, stats, nullptr, nullptr);
  const auto bytes = Hex("FE 00 00 00 00 FD FD 00 FD 01 FD 02");
  assembler.AssembleBlock(bytes.data(), bytes.size());
  EXPECT_EQ(frame.FrameLength, 8);
  EXPECT_EQ(frame.FrameBuffer[5], 0xFD);  // the second escape translates 00, no error
  EXPECT_EQ(frame.FrameBuffer[6], 0xFE);
  EXPECT_EQ(frame.FrameBuffer[7], 0xFF);
  EXPECT_EQ(stats.StuffingErrors, 0);
}

// A frame stream with every kind of fault, for split and bulk-path comparisons.
std::vector<std::uint8_t> MixedStream(unsigned seed, std::size_t size) {
  std::mt19937 random(seed);
  const char* pieces[] = {"FE 00 00 00 00 7B 3F FF",
                          "FE 00 04 00 00 A7 FD 02 FF",
                          "FE 00 07 00 00 FD 01 AF FF",
                          "FE 00 00 00 00 7B 3E FF",
                          "FF",
                          "FD",
                          "41 42",
                          "FE 01 02",
                          "FD 05",
                          "FE 00 FD FE"};
  std::vector<std::uint8_t> stream;
  while (stream.size() < size) {
    const auto piece = Hex(pieces[random() % std::size(pieces)]);
    stream.insert(stream.end(), piece.begin(), piece.end());
    if (random() % 5 == 0)
      stream.insert(stream.end(), random() % 40, static_cast<std::uint8_t>(random() % 0xFD));
  }
  return stream;
}

TEST(FrameAssembler, BlockBoundariesAreInvisible) {
  const auto stream = MixedStream(1, 600);
  const Counts whole = CountsOf(Assemble(stream));
  for (std::size_t split = 0; split <= stream.size(); ++split) {
    RunStats stats;
    Frame frame;
    FrameAssembler assembler(frame, stats, nullptr, nullptr);
    assembler.AssembleBlock(stream.data(), split);
    assembler.AssembleBlock(stream.data() + split, stream.size() - split);
    if (assembler.InFrame()) ++stats.UnclosedFrames;
    ASSERT_EQ(CountsOf(stats), whole) << "split at " << split;
  }
}

TEST(FrameAssembler, BulkPathEqualsByteByByte) {
  const auto stream = MixedStream(2, 200000);
  RunStats stats;
  Frame frame;
  FrameAssembler assembler(frame, stats, nullptr, nullptr);
  for (std::uint8_t b : stream) assembler.AssembleByte(b);
  if (assembler.InFrame()) ++stats.UnclosedFrames;
  const RunStats bulk = Assemble(stream);
  EXPECT_EQ(CountsOf(bulk), CountsOf(stats));
  EXPECT_EQ(bulk.AddressCounts, stats.AddressCounts);
  EXPECT_GT(stats.GoodFrames, 1000);
}

TEST(FrameAssembler, SpecialByteSearchEqualsScalarSearch) {
  std::mt19937 random(3);
  std::vector<std::uint8_t> bytes(4096);
  for (int round = 0; round < 2000; ++round) {
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random() % 0xFD);
    const int specials = random() % 3;
    for (int i = 0; i < specials; ++i) bytes[random() % bytes.size()] = 0xFD + random() % 3;
    const std::size_t begin = random() % 64;
    const std::size_t end = begin + random() % (bytes.size() - begin);
    ASSERT_EQ(FindSpecialByte(bytes.data() + begin, bytes.data() + end),
              FindSpecialByteScalar(bytes.data() + begin, bytes.data() + end));
  }
}

}  // namespace
}  // namespace corvanel
