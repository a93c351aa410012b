#include <gtest/gtest.h>

#include <set>

#include "catalogue/mec_table.h"
#include "engine/frame.h"

namespace corvanel {
namespace {

TEST(Catalogue, EveryCodeIsFoundAtItsRow) {
  std::set<int> codes;
  for (std::size_t row = 0; row < MECTable.size(); ++row) {
    EXPECT_EQ(FindMECIndex(MECTable[row].Code), static_cast<std::int32_t>(row));
    EXPECT_TRUE(codes.insert(MECTable[row].Code).second) << "code listed twice";
    EXPECT_NE(MECTable[row].MELPos > 0, MECTable[row].FixedLength > 0) << "row " << row;
  }
  for (int code : {0x00, 0x99, 0xFE, 0xFF}) {
    EXPECT_EQ(FindMECIndex(static_cast<std::uint8_t>(code)), -1);
    EXPECT_EQ(DecodeMEC(static_cast<std::uint8_t>(code)), "");
  }
}

TEST(Catalogue, Labels) {
  EXPECT_EQ(DecodeMEC(0x0D), " - Real time clock");
  EXPECT_EQ(DecodeMEC(0x44), " - ODA \"Burst mode\" control");
  EXPECT_EQ(DecodeMEC(0x11), " - International paging with numeric message (15 digis)");
  EXPECT_EQ(DecodeMEC(0xDA), " - DVB-S: Data for Radio screen show (Rass)");
}

TEST(Catalogue, ElementLengthRule) {
  Frame frame;
  frame.FrameBuffer[8] = 5;                        // MEL byte of an RT element at index 5
  EXPECT_EQ(FindNextElement(frame, 5, 0x01), 10);  // PI, fixed length 5
  EXPECT_EQ(FindNextElement(frame, 5, 0x0A), 14);  // RT: 5 + 4 + 5
  EXPECT_EQ(FindNextElement(frame, 5, 0x99), kUnknownElementEnd);
  frame.FrameBuffer[8] = 0;
  EXPECT_EQ(FindNextElement(frame, 5, 0x0A), 9);  // MEL 0 ends right after the MEL byte
  frame.FrameBuffer[8] = 255;
  EXPECT_EQ(FindNextElement(frame, 5, 0x0A), 5 + 259);
  frame.FrameBuffer[6] = 3;  // MEL at position 2
  EXPECT_EQ(FindNextElement(frame, 5, 0x2D), 10);
}

}  // namespace
}  // namespace corvanel
