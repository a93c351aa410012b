#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/crc.h"
#include "test_support.h"

namespace corvanel {
namespace {

struct CrcCase {
  std::vector<std::uint8_t> bytes;
  std::uint16_t crc;
};

std::vector<std::uint8_t> Ascii(const std::string& text) {
  return {text.begin(), text.end()};
}

TEST(Crc, CheckValues) {
  const std::vector<CrcCase> cases = {
      {testing::Hex("00 00 00 00"), 0x7B3F}, {testing::Hex("00 04 00 00"), 0xA7FF},
      {testing::Hex("00 07 00 00"), 0xFEAF}, {Ascii("abc"), 0xAEB5},
      {Ascii("123456789"), 0xD64E},
  };
  for (const CrcCase& c : cases) {
    EXPECT_EQ(ComputeCRC(c.bytes.data(), c.bytes.size()), c.crc);
    EXPECT_EQ(ComputeCRCShiftXor(c.bytes.data(), c.bytes.size()), c.crc);
    std::vector<std::uint8_t> readable = c.bytes;
    readable.resize(std::max(c.bytes.size(), kFrameCRCReadable), 0xA5);
    EXPECT_EQ(ComputeFrameCRCTable(readable.data(), c.bytes.size()), c.crc);
    EXPECT_EQ(ComputeFrameCRC(readable.data(), c.bytes.size()), c.crc);
    if (kHasCarrylessMultiply) {
      EXPECT_EQ(ComputeFrameCRCCarryless(readable.data(), c.bytes.size()), c.crc);
    }
  }
}

TEST(Crc, FastFormsEqualShiftXorFormOnRandomInput) {
  std::mt19937 random(20261211);
  std::vector<std::uint8_t> bytes(300);
  for (int round = 0; round < 20000; ++round) {
    const std::size_t count = 1 + random() % bytes.size();
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(random());
    ASSERT_EQ(ComputeCRC(bytes.data(), count), ComputeCRCShiftXor(bytes.data(), count));
    const std::size_t framed = std::min(count, bytes.size() - kFrameCRCReadable);
    const std::uint16_t expected = ComputeCRCShiftXor(bytes.data(), framed);
    ASSERT_EQ(ComputeFrameCRCTable(bytes.data(), framed), expected);
    if (kHasCarrylessMultiply) {
      ASSERT_EQ(ComputeFrameCRCCarryless(bytes.data(), framed), expected) << framed;
    }
  }
}

}  // namespace
}  // namespace corvanel
