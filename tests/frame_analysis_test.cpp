#include <gtest/gtest.h>

#include "test_support.h"

namespace corvanel {
namespace {

using testing::Assemble;
using testing::EncodeFrame;
using testing::Hex;

struct AnalysisCase {
  const char* name;
  std::vector<std::uint8_t> message;
  int mfl;  // -1: the message's length
  std::int64_t elements, bad_field, bad_element;
  std::vector<int> codes;  // codes counted once each
};

TEST(FrameAnalysis, WalksElementsAndChecksLengths) {
  std::vector<std::uint8_t> unknown_first(20, 0x00);
  unknown_first[0] = 0x99;
  const AnalysisCase cases[] = {
      {"empty message field", {}, -1, 0, 0, 0, {}},
      {"MFL says 5, 3 bytes present", Hex("01 00 00"), 5, 1, 1, 1, {0x01}},
      {"one PI element", Hex("01 00 00 12 34"), -1, 1, 0, 0, {0x01}},
      {"extra byte is walked as a catalogued code",
       Hex("01 00 00 12 34 02"),
       -1,
       2,
       0,
       1,
       {0x01, 0x02}},
      {"extra byte that is no code ends the walk",
       Hex("01 00 00 12 34 99"),
       -1,
       2,
       0,
       0,
       {0x01, 0x99}},
      {"MEL byte falls on a CRC byte", Hex("0A 00"), -1, 1, 0, 1, {0x0A}},
      {"unknown code stops the walk", unknown_first, -1, 1, 0, 0, {0x99}},
      {"RT ending exactly with the field",
       Hex("0A 00 00 02 00 41 01 00 00 12 34"),
       -1,
       2,
       0,
       0,
       {0x0A, 0x01}},
  };
  for (const AnalysisCase& c : cases) {
    const RunStats s = Assemble(EncodeFrame(0x0041, c.message, c.mfl));
    EXPECT_EQ(s.GoodFrames, 1) << c.name;
    EXPECT_EQ(s.TotalElements, c.elements) << c.name;
    EXPECT_EQ(s.MaxElementsPerFrame, c.elements) << c.name;
    EXPECT_EQ(s.BadFieldLengths, c.bad_field) << c.name;
    EXPECT_EQ(s.BadElementLengths, c.bad_element) << c.name;
    EXPECT_EQ(s.AddressCounts[0x0041], 1) << c.name;
    EXPECT_EQ(s.LongestFrame, static_cast<std::int64_t>(c.message.size()) + 8) << c.name;
    for (int code : c.codes) EXPECT_EQ(s.MecCounts[code], 1) << c.name << " code " << code;
  }
}

TEST(FrameAnalysis, CountsAcrossFrames) {
  std::vector<std::uint8_t> log;
  auto add = [&log](const std::vector<std::uint8_t>& bytes) {
    log.insert(log.end(), bytes.begin(), bytes.end());
  };
  add(EncodeFrame(0x0041, Hex("01 00 00 12 34 02 00 00 41 42 43 44 45 46 47 48")));
  add(EncodeFrame(0x0041,
                  std::vector<std::uint8_t>(255, 0x19)));  // 128 elements, the last overruns
  add(Hex("FE 00 00 00 00 7B 3E FF"));                     // CRC failure: not analysed
  const RunStats s = Assemble(log);
  EXPECT_EQ(s.GoodFrames, 2);
  EXPECT_EQ(s.AddressCounts[0x0041], 2);
  EXPECT_EQ(s.LongestFrame, 263);
  EXPECT_EQ(s.MaxElementsPerFrame, 128);
  EXPECT_EQ(s.TotalElements, 130);
  EXPECT_EQ(s.BadElementLengths, 1);
  EXPECT_EQ(s.MecCounts[0x19], 128);
  EXPECT_EQ(s.AddressCounts[0x0000], 0);
}

}  // namespace
}  // namespace corvanel
