// Captions under thumbnails: the name and size blocks, their styles and the shared font element.
#include "html/caption.h"

#include <gtest/gtest.h>

namespace quorvel::html {
namespace {

// Entries of the font and size lists used below.
constexpr int kArial = 1;
constexpr int kGeorgia = 3;
constexpr int kCourier = 7;
constexpr int kVerdana = 8;
constexpr int kSize1 = 1;
constexpr int kSize2 = 2;
constexpr int kSizeMinus1 = 15;

constexpr ColorValue kRed = 0x0000FF;
constexpr ColorValue kBlue = 0xFF0000;
constexpr ColorValue kGreen = 0x008000;

TextBlockSettings Block(bool print, bool italic = false, bool bold = false, int font = 0,
                        int size = 0, ColorValue color = kDefaultColor) {
  TextBlockSettings b;
  b.Print = print;
  b.Italic = italic;
  b.Bold = bold;
  b.Font = font;
  b.Size = size;
  b.Color = color;
  return b;
}

struct CaptionCase {
  const char* what;
  TextBlockSettings name;
  TextBlockSettings size;
  const char* caption;
};

class CaptionTest : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(CaptionTest, Text) {
  const CaptionCase& c = GetParam();
  TextSettings text;
  text.ImageName = c.name;
  text.ImageSize = c.size;
  EXPECT_EQ(BuildCaption(text, "photo.jpg", 12345), c.caption) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Plain, CaptionTest,
    ::testing::Values(
        CaptionCase{"both, no styling", Block(true), Block(true), "<br>photo.jpg<br>12345 bytes"},
        CaptionCase{"only the size", Block(false), Block(true), "<br><br>12345 bytes"},
        CaptionCase{"only the name", Block(true), Block(false), "<br>photo.jpg"},
        CaptionCase{"neither", Block(false), Block(false), ""},
        CaptionCase{"neither, styled", Block(false, true, true, kArial),
                    Block(false, true, true, kVerdana), ""}));

INSTANTIATE_TEST_SUITE_P(
    BoldAndItalic, CaptionTest,
    ::testing::Values(
        CaptionCase{"name italic", Block(true, true), Block(true),
                    "<br><i>photo.jpg</i><br>12345 bytes"},
        CaptionCase{"both bold", Block(true, false, true), Block(true, false, true),
                    "<br><b>photo.jpg<br>12345 bytes</b>"},
        CaptionCase{"both italic", Block(true, true), Block(true, true),
                    "<br><i>photo.jpg<br>12345 bytes</i>"},
        CaptionCase{"name bold, size italic", Block(true, false, true), Block(true, true),
                    "<br><b>photo.jpg</b><br><i>12345 bytes</i>"},
        CaptionCase{"size bold and italic, closed italic first", Block(true),
                    Block(true, true, true), "<br>photo.jpg<br><i><b>12345 bytes</i></b>"},
        CaptionCase{"italic shared, bold only on the size", Block(true, true),
                    Block(true, true, true), "<br><i>photo.jpg<br><b>12345 bytes</i></b>"},
        CaptionCase{"bold name not printed leaves the size alone", Block(false, false, true),
                    Block(true), "<br><br>12345 bytes"},
        CaptionCase{"bold italic name not printed, size bold", Block(false, true, true),
                    Block(true, false, true), "<br><br><b>12345 bytes</b>"},
        CaptionCase{"name bold and italic, size not printed", Block(true, true, true), Block(false),
                    "<br><i><b>photo.jpg</b></i>"}));

INSTANTIATE_TEST_SUITE_P(
    Fonts, CaptionTest,
    ::testing::Values(
        CaptionCase{"size font nested, carrying only what differs",
                    Block(true, false, false, kArial, kSize2),
                    Block(true, false, false, kArial, kSize1),
                    "<br><font face=\"Arial\" size=\"2\">photo.jpg<br><font size=\"1\">12345 "
                    "bytes</font></font>"},
        CaptionCase{"same font shared by both", Block(true, false, false, kArial),
                    Block(true, false, false, kArial),
                    "<br><font face=\"Arial\">photo.jpg<br>12345 bytes</font>"},
        CaptionCase{"all three differ: the name's font is closed first",
                    Block(true, false, false, kArial, kSize2, kRed),
                    Block(true, false, false, kVerdana, kSizeMinus1, kBlue),
                    "<br><font face=\"Arial\" size=\"2\" color=\"#FF0000\">photo.jpg</font><br>"
                    "<font face=\"Verdana\" size=\"-1\" color=\"#0000FF\">12345 bytes</font>"},
        CaptionCase{"two of three differ: nested", Block(true, false, false, kArial, kSize2, kRed),
                    Block(true, false, false, kVerdana, kSize2, kBlue),
                    "<br><font face=\"Arial\" size=\"2\" color=\"#FF0000\">photo.jpg<br>"
                    "<font face=\"Verdana\" color=\"#0000FF\">12345 bytes</font></font>"},
        CaptionCase{"size font without a name font", Block(true),
                    Block(true, false, false, kCourier, 0, kGreen),
                    "<br>photo.jpg<br><font face=\"Courier\" color=\"#008000\">12345 "
                    "bytes</font>"},
        CaptionCase{"name font not printed: the size compares with the defaults",
                    Block(false, false, false, kArial), Block(true, false, false, kArial),
                    "<br><br><font face=\"Arial\">12345 bytes</font>"},
        CaptionCase{"size differs only by unset entries: no element of its own",
                    Block(true, false, false, kArial, kSize2, kRed),
                    Block(true, false, false, kArial, 0, kRed),
                    "<br><font face=\"Arial\" size=\"2\" color=\"#FF0000\">photo.jpg<br>12345 "
                    "bytes</font>"},
        CaptionCase{"unset face of the size block is left out",
                    Block(true, false, false, kArial, kSize2), Block(true, false, false, 0, kSize1),
                    "<br><font face=\"Arial\" size=\"2\">photo.jpg<br><font size=\"1\">12345 "
                    "bytes</font></font>"},
        CaptionCase{"name styled in a font, size not printed",
                    Block(true, true, true, kGeorgia, 0, kRed), Block(false),
                    "<br><font face=\"Georgia\" color=\"#FF0000\"><i><b>photo.jpg</b></i></font>"},
        CaptionCase{"styles and fonts together", Block(true, true, true, kArial, kSize2),
                    Block(true, false, true, kArial, kSize1, kBlue),
                    "<br><font face=\"Arial\" size=\"2\"><i><b>photo.jpg</i><br>"
                    "<font size=\"1\" color=\"#0000FF\">12345 bytes</b></font></font>"}));

TEST(CaptionDataTest, SizeIsTheWholeNumberOfBytes) {
  TextSettings text;
  text.ImageName.Print = false;
  EXPECT_EQ(BuildCaption(text, "a.jpg", 0), "<br><br>0 bytes");
  EXPECT_EQ(BuildCaption(text, "a.jpg", 4294967296u), "<br><br>4294967296 bytes");
}

TEST(CaptionDataTest, FileNameIsDataNotMarkup) {
  TextSettings text;
  text.ImageSize.Print = false;
  EXPECT_EQ(BuildCaption(text, "<b>\"Tom\" & Jerry</b>.jpg", 1),
            "<br>&lt;b&gt;&quot;Tom&quot; &amp; Jerry&lt;/b&gt;.jpg");
  EXPECT_EQ(BuildCaption(text, "Grüße #1?.JPG", 1), "<br>Grüße #1?.JPG");
}

TEST(FontOpenTagTest, NothingSetGivesNoElement) { EXPECT_EQ(FontOpenTag(0, 0, kDefaultColor), ""); }

TEST(FontOpenTagTest, AttributesInOrder) {
  EXPECT_EQ(FontOpenTag(13, 21, 0xFFFFFF),
            "<font face=\"Verdana, Arial, Helvetica, sans-serif\" size=\"-7\" color=\"#FFFFFF\">");
  EXPECT_EQ(FontOpenTag(0, 8, kDefaultColor), "<font size=\"+1\">");
  EXPECT_EQ(FontOpenTag(0, 0, 0), "<font color=\"#000000\">");
}

}  // namespace
}  // namespace quorvel::html
