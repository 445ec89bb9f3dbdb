// The navigator line of split index pages: the wrapper's nesting and the link items.
#include "html/navigator.h"

#include <gtest/gtest.h>

namespace quorvel::html {
namespace {

NavigatorSettings Navigator(int alignment, int font, int size, ColorValue color, bool italic,
                            bool bold) {
  NavigatorSettings n;
  n.Alignment = alignment;
  n.Font = font;
  n.Size = size;
  n.Color = color;
  n.Italic = italic;
  n.Bold = bold;
  return n;
}

struct WrapperCase {
  const char* what;
  NavigatorSettings settings;
  const char* prefix;
  const char* suffix;
};

class NavigatorWrapperTest : public ::testing::TestWithParam<WrapperCase> {};

TEST_P(NavigatorWrapperTest, NestsParagraphFontItalicBold) {
  const WrapperCase& c = GetParam();
  const NavigatorWrapper w = BuildNavigatorWrapper(c.settings);
  EXPECT_EQ(w.Prefix, c.prefix) << c.what;
  EXPECT_EQ(w.Suffix, c.suffix) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, NavigatorWrapperTest,
    ::testing::Values(
        WrapperCase{"defaults", NavigatorSettings{}, "<p>", "</p>"},
        WrapperCase{"center, Verdana, bold", Navigator(3, 8, 0, kDefaultColor, false, true),
                    "<p align=\"center\"><font face=\"Verdana\"><b>", "</b></font></p>"},
        WrapperCase{"italic and bold without font", Navigator(0, 0, 0, kDefaultColor, true, true),
                    "<p><i><b>", "</b></i></p>"},
        WrapperCase{"right, italic", Navigator(2, 0, 0, kDefaultColor, true, false),
                    "<p align=\"right\"><i>", "</i></p>"},
        WrapperCase{"colour alone opens a font", Navigator(0, 0, 0, 0x123456, false, false),
                    "<p><font color=\"#563412\">", "</font></p>"},
        WrapperCase{"everything", Navigator(1, 5, 8, 0x800000, true, true),
                    "<p align=\"left\"><font face=\"Times\" size=\"+1\" color=\"#000080\"><i><b>",
                    "</b></i></font></p>"}));

TEST(NavigatorPrintTest, TakesNoPartInTheWrapper) {
  NavigatorSettings n = Navigator(3, 1, 3, 0x0000FF, true, false);
  const NavigatorWrapper on = BuildNavigatorWrapper(n);
  n.Print = false;
  const NavigatorWrapper off = BuildNavigatorWrapper(n);
  EXPECT_EQ(off.Prefix, on.Prefix);
  EXPECT_EQ(off.Suffix, on.Suffix);
  EXPECT_EQ(on.Prefix, "<p align=\"center\"><font face=\"Arial\" size=\"3\" color=\"#FF0000\"><i>");
}

TEST(NavigatorLinkTest, ThreePagesInOneDirectory) {
  const std::string list = NavigatorLink("index000.html", "1") +
                           NavigatorLink("index001.html", "2") +
                           NavigatorLink("index002.html", "3");
  EXPECT_EQ(list,
            "[<a href=\"index000.html\">1</a>] [<a href=\"index001.html\">2</a>] "
            "[<a href=\"index002.html\">3</a>] ");
}

TEST(NavigatorLinkTest, RelativeTargetsKeepTheirSeparators) {
  EXPECT_EQ(NavigatorLink("..\\two\\index000.html", "two"),
            "[<a href=\"..\\two\\index000.html\">two</a>] ");
  EXPECT_EQ(NavigatorLink("../two/index000.html", "two"),
            "[<a href=\"../two/index000.html\">two</a>] ");
}

TEST(NavigatorLinkTest, DirectoryNamesAreDataNotMarkup) {
  EXPECT_EQ(NavigatorLink("../Tom & \"Jerry\" <1>/index.html", "Tom & \"Jerry\" <1>"),
            "[<a href=\"../Tom%20%26%20%22Jerry%22%20%3C1%3E/index.html\">"
            "Tom &amp; &quot;Jerry&quot; &lt;1&gt;</a>] ");
  EXPECT_EQ(NavigatorLink("100%/a#b?.html", "100%"),
            "[<a href=\"100%25/a%23b%3F.html\">100%</a>] ");
}

}  // namespace
}  // namespace quorvel::html
