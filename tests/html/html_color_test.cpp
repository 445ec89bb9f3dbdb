// Colour values in HTML: the digit order RRGGBB of a 0x00BBGGRR value and the attribute that
// Default leaves out.
#include "html/html_color.h"

#include <gtest/gtest.h>

namespace quorvel::html {
namespace {

struct ColorCase {
  ColorValue value;
  const char* digits;
};

class ColorToHtmlTest : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColorToHtmlTest, WritesRedGreenBlue) {
  EXPECT_EQ(ColorToHtml(GetParam().value), GetParam().digits) << std::hex << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    NamedColors, ColorToHtmlTest,
    ::testing::Values(ColorCase{0x000000, "000000"}, ColorCase{0x000080, "800000"},
                      ColorCase{0x008000, "008000"}, ColorCase{0x008080, "808000"},
                      ColorCase{0x800000, "000080"}, ColorCase{0x800080, "800080"},
                      ColorCase{0x808000, "008080"}, ColorCase{0x808080, "808080"},
                      ColorCase{0xC0C0C0, "C0C0C0"}, ColorCase{0x0000FF, "FF0000"},
                      ColorCase{0x00FF00, "00FF00"}, ColorCase{0x00FFFF, "FFFF00"},
                      ColorCase{0xFF0000, "0000FF"}, ColorCase{0xFF00FF, "FF00FF"},
                      ColorCase{0xFFFF00, "00FFFF"}, ColorCase{0xFFFFFF, "FFFFFF"}));

INSTANTIATE_TEST_SUITE_P(
    OtherValues, ColorToHtmlTest,
    ::testing::Values(ColorCase{0x123456, "563412"}, ColorCase{0x000001, "010000"},
                      ColorCase{0x0A0B0C, "0C0B0A"}, ColorCase{0xABCDEF, "EFCDAB"},
                      // A state file can hold a top byte: only the colour bits are written.
                      ColorCase{0x01123456, "563412"}, ColorCase{0x7FFFFFFF, "FFFFFF"},
                      ColorCase{-2, "FEFFFF"},
                      ColorCase{static_cast<ColorValue>(0x80000000u), "000000"}));

TEST(ColorAttributeTest, DefaultWritesNothing) {
  EXPECT_EQ(ColorAttribute("bgcolor", kDefaultColor), "");
  EXPECT_EQ(ColorAttribute("color", -1), "");
}

TEST(ColorAttributeTest, BlackIsAColourNotDefault) {
  EXPECT_EQ(ColorAttribute("bgcolor", 0), " bgcolor=\"#000000\"");
}

TEST(ColorAttributeTest, NameHashDigitsAndQuote) {
  EXPECT_EQ(ColorAttribute("text", 0x0000FF), " text=\"#FF0000\"");
  EXPECT_EQ(ColorAttribute("bordercolorlight", 0x123456), " bordercolorlight=\"#563412\"");
}

}  // namespace
}  // namespace quorvel::html
