#include <gtest/gtest.h>

#include "catalogue/element_detail.h"
#include "catalogue/mec_table.h"
#include "test_support.h"

namespace corvanel {
namespace {

// A frame whose message field is `message` (destuffed), with two CRC bytes after it.
Frame FrameWithMessage(const std::vector<std::uint8_t>& message) {
  Frame frame;
  frame.FrameBuffer[0] = 0xFE;
  frame.FrameBuffer[4] = static_cast<std::uint8_t>(message.size());
  std::copy(message.begin(), message.end(), frame.FrameBuffer.begin() + 5);
  frame.FrameLength = static_cast<std::int32_t>(message.size()) + 7;
  frame.FrameBuffer[frame.FrameLength - 2] = 0xC1;
  frame.FrameBuffer[frame.FrameLength - 1] = 0xC2;
  frame.ElementPos = 5;
  return frame;
}

// Detail of the first element of a message, with the walk's idea of its last byte.
std::string DetailOfFirst(const char* message) {
  const Frame frame = FrameWithMessage(testing::Hex(message));
  const std::uint8_t code = frame.FrameBuffer[5];
  return MECDetail(frame, code, FindNextElement(frame, 5, code) - 1);
}

TEST(ElementDetail, RendersEachKindOfByte) {
  const struct {
    const char* message;
    const char* detail;
  } cases[] = {
      {"0A 00 00 05 02 41 42 0D 44",
       " MEC 0A - RT: DSN (0); PSN (0); MEL (5); '00000010' \"AB.D\""},
      {"01 00 00 12 34", " MEC 01 - PI: DSN (0); PSN (0); 12 34 "},
      {"99 AB CD EF", " MEC 99: AB CD EF "},
      {"10 01 02 03 04 05 06 07 08",
       " MEC 10 - International paging with functions message: '00000001' 02 03 04 '00000101' "
       "06 07 08 "},
      {"2D 00", " MEC 2D - Manufacturer / Transmission operator specific command: MEL (0); "},
      {"0A 01 02 01 0F", " MEC 0A - RT: DSN (1); PSN (2); MEL (1); '00001111' "},
      // Bytes from 0x7F up are shown as they are.
      {"02 00 00 41 7F 80 FF 20 01 1F 42",
       " MEC 02 - PS: DSN (0); PSN (0); \"A\x7F\x80\xFF .."
       "B\""},
      // Runs past the field: shown up to the field's end, the text still closed.
      {"0A 00 00 09 00 41 42", " MEC 0A - RT: DSN (0); PSN (0); MEL (9); '00000000' \"AB\""},
  };
  for (const auto& c : cases) EXPECT_EQ(DetailOfFirst(c.message), c.detail) << c.message;
}

TEST(ElementDetail, RealTimeClockDateAndOffset) {
  const struct {
    std::uint8_t offset;
    const char* tail;
  } cases[] = {
      {0x02, " +01:00)"}, {0x23, " -01:30)"}, {0xFF, ")"},        {0x00, " +00:00)"},
      {0x20, " -00:00)"}, {0x3F, " -15:30)"}, {0x45, " +02:30)"}, {0xC0, " +00:00)"},
  };
  for (const auto& c : cases) {
    auto message = testing::Hex("0D 0E 05 1F 0C 22 38 32");
    message.push_back(c.offset);
    const Frame frame = FrameWithMessage(message);
    EXPECT_EQ(MECDetail(frame, 0x0D, 13),
              std::string(" MEC 0D - Real time clock: (14/05/31 12:34:56.50") + c.tail);
  }
}

TEST(ElementDetail, RealTimeClockAtTheEndOfALongFrameStaysInTheBuffer) {
  std::vector<std::uint8_t> message(255, 0x19);  // CT On/Off, two bytes each
  message[254] = 0x0D;
  Frame frame = FrameWithMessage(message);
  frame.ElementPos = 259;
  const std::string detail = MECDetail(frame, 0x0D, 267);
  EXPECT_EQ(detail.rfind(" MEC 0D - Real time clock: (193/194/", 0), 0u);  // the CRC bytes
}

TEST(ElementDetail, AddressAndBinary) {
  EXPECT_EQ(DecodeADD(0x0041, true), "Site address (1), Encoder address (1)");
  EXPECT_EQ(DecodeADD(0x0041, false), "Site address 1, Encoder address 1");
  EXPECT_EQ(DecodeADD(0xFFFF, false), "Site address 1023, Encoder address 63");
  EXPECT_EQ(DecodeADD(0x0000, false), "Site address 0, Encoder address 0");
  EXPECT_EQ(ByteToBinary(0x05), "00000101");
  EXPECT_EQ(ByteToBinary(0x80), "10000000");
}

}  // namespace
}  // namespace corvanel
