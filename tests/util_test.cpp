#include <gtest/gtest.h>

#include "util/number_text.h"
#include "util/regional.h"

namespace corvanel {
namespace {

TEST(NumberText, ZeroPaddingAndBits) {
  EXPECT_EQ(IntToZeroPadded(7, 2), "07");
  EXPECT_EQ(IntToZeroPadded(0, 2), "00");
  EXPECT_EQ(IntToZeroPadded(123, 2), "123");  // longer texts are not cut
  EXPECT_TRUE(IsBitSet(0x80, 7));
  EXPECT_FALSE(IsBitSet(0x80, 6));
  EXPECT_TRUE(IsBitSet(1, 32));  // bit number taken mod 32
}

struct FixedCase {
  float value;
  int decimals;
  const char* text;
};

void PrintTo(const FixedCase& c, std::ostream* out) {
  *out << c.text;
}

class FixedFormat : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FixedFormat, RoundsHalfUpOnTheExactValue) {
  const FixedCase& c = GetParam();
  EXPECT_EQ(RegionalSettings::Classic().FormatFixed(c.value, c.decimals), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FixedFormat,
    ::testing::Values(FixedCase{0.125f, 2, "0.13"},  // an exact tie rounds up
                      FixedCase{0.375f, 2, "0.38"}, FixedCase{25.0f, 3, "25.000"},
                      FixedCase{100.0f / 3.0f, 3, "33.333"}, FixedCase{5.0f / 3.0f, 2, "1.67"},
                      FixedCase{0.0f, 3, "0.000"}, FixedCase{0.0f, 2, "0.00"},
                      FixedCase{100.0f, 3, "100.000"}, FixedCase{99.9996f, 3, "100.000"},
                      // 0.145f is a little below 0.145, so it rounds down
                      FixedCase{0.145f, 2, "0.14"}, FixedCase{128.0f, 2, "128.00"}));

TEST(Regional, ClassicDateAndTime) {
  setenv("TZ", "UTC", 1);
  tzset();
  const RegionalSettings c = RegionalSettings::Classic();
  EXPECT_EQ(c.FormatDateTime(1798761599), "12/31/26 23:59:58");  // odd seconds drop to even
  EXPECT_EQ(c.FormatDateTime(1798675200), "12/31/26");           // midnight: date only
  EXPECT_EQ(c.FormatDateTime(1798675201), "12/31/26");           // 00:00:01 is stored as 00:00:00
  EXPECT_EQ(c.FormatDateTime(1798675202), "12/31/26 00:00:02");
}

TEST(Regional, GermanLocaleUsesCommaAndItsDateFormat) {
  const auto german = RegionalSettings::ForLocale("de_DE.UTF-8");
  if (!german) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(german->FormatFixed(25.0f, 3), "25,000");
  EXPECT_EQ(german->FormatFixed(5.0f / 3.0f, 2), "1,67");
  EXPECT_EQ(german->FormatDateTime(1798761599), "31.12.2026 23:59:58");
}

TEST(Regional, UnknownLocaleFallsBackToClassic) {
  EXPECT_EQ(RegionalSettings::ForLocale("xx_NOWHERE.UTF-8"), nullptr);
}

}  // namespace
}  // namespace corvanel
