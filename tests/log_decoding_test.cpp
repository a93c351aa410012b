#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/log_decoding.h"
#include "test_support.h"
#include "util/number_text.h"

namespace corvanel {
namespace {

using testing::AnalyzeContent;

struct TextLogCase {
  const char* name;
  std::string lines;  // CR LF line ends
  const char* good_frames;
  const char* unclosed;
  const char* outside;
};

void PrintTo(const TextLogCase& c, std::ostream* out) {
  *out << c.name;
}

class TextLog : public ::testing::TestWithParam<TextLogCase> {};

TEST_P(TextLog, DecodesPairsAndSeeksStartBytes) {
  const TextLogCase& c = GetParam();
  const auto host = AnalyzeContent(c.lines, LogTypeSelection::Text);
  EXPECT_EQ(host.Item("2.1  Total frames analysed: "), c.good_frames);
  EXPECT_EQ(host.Item("1.4  Un-closed frames (0xFF missing): "), c.unclosed);
  EXPECT_EQ(host.Item("2.8  Bytes outside UECP frames (incl. 1.5): "), c.outside);
  const std::string kind_and_size =
      "text file. File size: " + std::to_string(c.lines.size()) + " bytes.";
  EXPECT_EQ(host.Item("Opening as ").rfind(kind_and_size, 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextLog,
    ::testing::Values(
        TextLogCase{"plain", "FE 00 00 00 00 7B 3F FF\r\n", "1", "0", "0"},
        TextLogCase{"time stamp dropped while seeking", "12:00:01 FE 00 00 00 00 7B 3F FF\r\n", "1",
                    "0", "0"},
        TextLogCase{"lower case is not read", "fe 00 00 00 00 7b 3f ff\r\n", "0", "0", "0"},
        TextLogCase{"0x prefixes and commas", "0xFE,0x00,0x00,0x00,0x00,0x7B,0x3F,0xFF\r\n", "1",
                    "0", "0"},
        TextLogCase{"line end restarts seeking", "FE 00 00 00\r\n00 7B 3F FF\r\n", "0", "1", "0"},
        TextLogCase{"trailing comma continues the frame", "FE,00,00,00,\r\n00,7B,3F,FF\r\n", "1",
                    "0", "0"},
        TextLogCase{"pairs after a closing bracket count",
                    "[FE 00 00 00 00 7B 3F FF]\r\n12:00 [FE 00 00 00 00 7B 3F FF]\r\n", "2", "0",
                    "2"},
        TextLogCase{"seeking stays off until the line ends", "FE 00 00 00 00 7B 3F FF 41 42\r\n",
                    "1", "0", "2"},
        TextLogCase{"runs of digits are cut into pairs", "FEFE00000000 7B3F FF\r\n", "1", "1", "0"},
        TextLogCase{"CAFE starts a frame", "CAFE 00 00 00 00 7B 3F FF\r\n", "1", "0", "0"},
        TextLogCase{"1FE leaves the E alone", "1FE 00 00 00 00 7B 3F FF\r\n", "0", "0", "0"}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      }
      return name;
    });

struct DetectCase {
  const char* name;
  std::size_t size;
  std::size_t non_text;
  LogTypeSelection selection;
  const char* kind;
};

std::string Filler(std::size_t size, std::size_t non_text) {
  std::string content(size, 'A');
  for (std::size_t i = 0; i < non_text; ++i) content[i] = '\t';
  return content;
}

TEST(Autodetect, TwoPercentOfTheFirstBlockDecides) {
  const DetectCase cases[] = {
      {"100 bytes, 1 non-text", 100, 1, LogTypeSelection::Autodetect, "text"},
      {"100 bytes, exactly 2 %", 100, 2, LogTypeSelection::Autodetect, "binary"},
      {"full block, 40 non-text", 2048, 40, LogTypeSelection::Autodetect, "text"},
      {"full block, 41 non-text", 2048, 41, LogTypeSelection::Autodetect, "binary"},
      {"forced text", 100, 50, LogTypeSelection::Text, "text"},
      {"forced binary", 100, 0, LogTypeSelection::Binary, "binary"},
      {"empty log stays binary even when forced to text", 0, 0, LogTypeSelection::Text, "binary"},
  };
  for (const DetectCase& c : cases) {
    const auto host = AnalyzeContent(Filler(c.size, c.non_text), c.selection);
    EXPECT_EQ(host.Item("Opening as ").substr(0, host.Item("Opening as ").find(' ')), c.kind)
        << c.name;
  }
}

TEST(Autodetect, OnlyTheFirst2048BytesAreLookedAt) {
  // Plain text first, then raw frames: read as text to the end, so no frame is found.
  std::string content = Filler(2048, 0);
  for (int i = 0; i < 100; ++i) content += std::string("\xFE\x00\x00\x00\x00\x7B\x3F\xFF", 8);
  const auto host = AnalyzeContent(content);
  EXPECT_EQ(host.Item("2.1  Total frames analysed: "), "0");
  EXPECT_NE(host.Item("Opening as ").find("text file"), std::string::npos);
}

TEST(Autodetect, TabSeparatedTextIsTakenForBinary) {
  const auto host = AnalyzeContent("FE\t00\t00\t00\t00\t7B\t3F\tFF\r\n");
  EXPECT_NE(host.Item("Opening as ").find("binary file"), std::string::npos);
  EXPECT_EQ(host.Item("2.1  Total frames analysed: "), "0");
}

// Random characters, and lines of time stamps and pairs with some characters changed, so
// that runs of pairs of every length end in every way.
std::vector<std::string> DecoderTexts() {
  std::mt19937 random(7);
  const std::string alphabet = "0123456789ABCDEFabcx \t:.,;()[]<>\"\r\nFEFEFE";
  std::string noise(100000, ' ');
  for (char& ch : noise) ch = alphabet[random() % alphabet.size()];
  std::string lines;
  while (lines.size() < 200000) {
    std::string line = "00:07:24.800  TX: FE";
    for (int pairs = random() % 80; pairs > 0; --pairs) {
      line += ' ';
      AppendHex2(line, static_cast<std::uint8_t>(random()));
    }
    line += " FF\r\n";
    if (random() % 3 == 0) line[random() % line.size()] = alphabet[random() % alphabet.size()];
    lines += line;
  }
  return {noise, lines};
}

TEST(TextDecoder, BlockDecodingEqualsCharacterDecoding) {
  for (const std::string& text : DecoderTexts()) {
    TextDecoder by_char, by_block;
    std::vector<std::uint8_t> expected, decoded(text.size());
    for (char ch : text) {
      if (auto b = by_char.DecodeHexChar(static_cast<std::uint8_t>(ch))) expected.push_back(*b);
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    std::size_t produced = 0;
    for (std::size_t at = 0; at < text.size(); at += 777) {  // state carries across blocks
      const std::size_t count = std::min<std::size_t>(777, text.size() - at);
      produced += by_block.DecodeBlock(bytes + at, count, decoded.data() + produced);
    }
    decoded.resize(produced);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(decoded, expected);
  }
}

}  // namespace
}  // namespace corvanel
