// The HTML writer's fragments as golden files. Each file under tests/data/html/ lists its
// cases: a "== name ==" line, a "-- " line of settings changes ("Field=value" joined by " | ";
// "dir=" is the page's directory, Windows style unless it starts with "/", "file=" the picture),
// then what the writer makes of them; the test writes every case's output anew and compares.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <sstream>

#include "html/caption.h"
#include "html/color_box_model.h"
#include "html/escaping.h"
#include "html/html_color.h"
#include "html/navigator.h"
#include "html/page_frame.h"
#include "html/picture_page.h"
#include "html/table_tags.h"
#include "job/error.h"
#include "job/settings_fields.h"
#include "platform/file_system.h"
#include "support/golden.h"
#include "support/temp_dir.h"

namespace quorvel::html {
namespace {

const char kTable[] =
    "<table><tr><td><a href=\"a.jpg\"><img src=\"t/a.jpg\"></a></td></tr></table>\n";

// What the pages write on purpose: no doctype, no alt text, the body attributes of HTML 3.2.
const std::set<std::string> kAcceptedWarnings = {
    "missing <!DOCTYPE> declaration",
    "<img> lacks \"alt\" attribute",
    "<body> attribute \"background\" not allowed for HTML5",
    "<body> attribute \"bgcolor\" not allowed for HTML5",
    "<body> attribute \"text\" not allowed for HTML5",
    "<body> attribute \"link\" not allowed for HTML5",
    "<body> attribute \"vlink\" not allowed for HTML5",
    "<body> attribute \"alink\" not allowed for HTML5"};

// Runs a page, its lines ended by CR LF, through an HTML checker (tidy).
void ExpectOnlyAcceptedWarnings(std::string page) {
  for (std::size_t at = 0; (at = page.find('\n', at)) != std::string::npos; at += 2) {
    page.insert(at, "\r");
  }
  testing::TempDir tmp;
  FILE* tidy = popen(("tidy -q -e " + tmp.write("page.html", page) + " 2>&1").c_str(), "r");
  ASSERT_NE(tidy, nullptr);
  for (char line[512]; std::fgets(line, sizeof line, tidy);) {
    const std::string text(line, std::strcspn(line, "\n"));
    const std::size_t at = text.find(" - Warning: ");
    EXPECT_TRUE(at != std::string::npos && kAcceptedWarnings.count(text.substr(at + 12))) << text;
  }
  EXPECT_EQ(pclose(tidy), 1 << 8) << "tidy's status: warnings only";
}

struct Case {
  GallerySettings s;
  std::string dir = "/web/";
  std::string file = "photo.jpg";
  PathStyle style() const { return dir.starts_with('/') ? PathStyle::Posix : PathStyle::Windows; }
};

Case Parse(const std::string& changes) {
  Case c;
  for (std::size_t start = 0; start < changes.size();) {
    const std::size_t end = std::min(changes.find(" | ", start), changes.size());
    const std::string change = changes.substr(start, end - start);
    const std::string field = change.substr(0, change.find('=')),
                      value = change.substr(field.size() + 1);
    if (field == "dir") {
      c.dir = value;
    } else if (field == "file") {
      c.file = value;
    } else {
      SetFieldFromText(c.s, field, value);
    }
    start = end + 3;
  }
  return c;
}

std::string Joined(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::string RenderCases(const std::string& golden, std::string (*render)(const Case&)) {
  std::istringstream in(testing::ReadFile(testing::GoldenPath(golden)));
  std::string out;
  for (std::string line, changes; std::getline(in, line);) {
    if (!line.starts_with("== ") || !std::getline(in, changes)) continue;
    const std::string output =
        render(Parse(changes.substr(std::min<std::size_t>(3, changes.size()))));
    out += line + "\n" + changes + "\n" + output + "\n";
    if (line.starts_with("== every option")) ExpectOnlyAcceptedWarnings(output);
  }
  return out;
}

struct Group {
  const char* golden;
  std::string (*render)(const Case&);
};

const Group kGroups[] = {
    {"html/page_frames.txt",
     [](const Case& c) {
       const PageFrame frame = BuildPageFrame(c.s.Page, c.dir, c.style());
       return Joined(frame.Header) + kTable + Joined(frame.Footer);
     }},
    {"html/table_and_cell_tags.txt",
     [](const Case& c) {
       return Joined({BuildTableOpenTag(c.s.Table, c.dir, c.style()), TableCloseLine(c.s.Table),
                      BuildCellOpenTag(c.s.Cell, c.dir, c.style())});
     }},
    {"html/captions.txt",
     [](const Case& c) { return BuildCaption(c.s.Text, c.file, 12345) + "\n"; }},
    {"html/navigators.txt",
     [](const Case& c) {
       const NavigatorWrapper w = BuildNavigatorWrapper(c.s.Navigator);
       return w.Prefix + NavigatorLink("index000.html", "1") + NavigatorLink("index001.html", "2") +
              w.Suffix + "\n";
     }},
    {"html/picture_pages.txt",
     [](const Case& c) {
       std::string page =
           PicturePageText(BuildPicturePageFrame(c.s.Picture, c.dir, c.style()), c.file);
       std::erase(page, '\r');
       return page;
     }},
};

class HtmlWriterTest : public ::testing::TestWithParam<Group> {};

TEST_P(HtmlWriterTest, EveryCaseGivesItsGoldenOutput) {
  EXPECT_EQ(testing::CompareWithGolden(RenderCases(GetParam().golden, GetParam().render),
                                       GetParam().golden),
            "");
}

INSTANTIATE_TEST_SUITE_P(Fragments, HtmlWriterTest, ::testing::ValuesIn(kGroups));

// Bytes outside printable ASCII as \xNN.
std::string Visible(std::string_view text) {
  std::string out;
  for (const unsigned char c : text) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    out += c >= 0x20 && c < 0x7F ? std::string(1, char(c)) : std::string(hex);
  }
  return out;
}

// The writer's single functions, one call and its result a line.
TEST(HtmlFunctionsTest, GiveTheirGoldenResults) {
  std::ostringstream out;
  for (const ColorValue v : {0x000000, 0x0000FF, 0x008000, 0xFF0000, 0x123456, 0x01123456,
                             0x7FFFFFFF, -2, INT_MIN, kDefaultColor}) {
    out << "ColorToHtml(0x" << std::hex << v << std::dec << ") = " << ColorToHtml(v)
        << ", ColorAttribute = [" << ColorAttribute("color", v) << "]\n";
  }
  for (const std::string_view name :
       {std::string_view("photo.jpg"), std::string_view("..\\thumb/a b#1?.jpg"),
        std::string_view("100%.jpg"), std::string_view("\"><script>&'.jpg"),
        std::string_view("Gr\xC3\xBC\xC3\x9F\x65 \xE9t\xE9.jpg"), std::string_view("a\0b\t\n", 5),
        std::string_view("[x]{y}|^`"), std::string_view("AZaz09-._~/\\!$'()*+,;=:@")}) {
    out << "EncodeUrlPath(" << Visible(name) << ") = " << EncodeUrlPath(name)
        << ", EscapeHtmlText = " << Visible(EscapeHtmlText(name)) << "\n";
  }
  for (const auto& [font, size, color] :
       {std::tuple{0, 0, kDefaultColor}, {13, 21, 0xFFFFFF}, {0, 8, kDefaultColor}, {0, 0, 0}}) {
    out << "FontOpenTag(" << font << ", " << size << ", " << color
        << ") = " << FontOpenTag(font, size, color) << "\n";
  }
  for (const auto& [href, label] : {std::pair{"..\\two\\index000.html", "two"},
                                    {"../Tom & \"Jerry\" <1>/i.html", "Tom & \"J\" <1>"},
                                    {"100%/a#b?.html", "100%"}}) {
    out << "NavigatorLink = " << NavigatorLink(href, label) << "\n";
  }
  TextSettings size_only;
  size_only.ImageName.Print = false;
  out << "BuildCaption(5 GB) = " << BuildCaption(size_only, "a.jpg", 5'000'000'000u) << "\n";
  EXPECT_EQ(testing::CompareWithGolden(out.str(), "html/functions.txt"), "");
}

// The colour drop-down without drawing, as a transcript: its entries, then after each step
// the selected entry, the value, the custom colour another box sees and the changes announced.
TEST(ColorBoxModelTest, StepsGiveTheGoldenTranscript) {
  SharedCustomColor custom;
  ColorBoxModel box(custom), other(custom);
  int changes = 0;
  box.on_change = [&] { ++changes; };
  std::ostringstream out;
  const auto entries = [&](std::initializer_list<int> which) {
    for (const int i : which) {
      out << "  " << i << " " << box.EntryText(i) << " #" << ColorToHtml(box.EntryColor(i)) << "\n";
    }
  };
  entries({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17});
  const std::pair<const char*, std::function<void()>> steps[] = {
      {"start", [] {}},
      {"Assign(black)", [&] { box.Assign(0x000000); }},
      {"Assign(red)", [&] { box.Assign(0x0000FF); }},
      {"Assign(red) again", [&] { box.Assign(0x0000FF); }},
      {"custom white, Assign(white)", [&] { custom.value = 0xFFFFFF, box.Assign(0xFFFFFF); }},
      {"Assign(#563412)", [&] { box.Assign(0x123456); }},
      {"other.Assign(#214365)", [&] { other.Assign(0x654321); }},
      {"Assign(Default)", [&] { box.Assign(kDefaultColor); }},
      {"Assign(Default) again", [&] { box.Assign(kDefaultColor); }},
      {"PickEntry(5)", [&] { box.PickEntry(5); }},
      {"PickEntry(Default)", [&] { box.PickEntry(ColorBoxModel::kDefaultEntry); }},
      {"Assign(green), PickEntry(Custom)", [&] { box.Assign(0x008000), box.PickEntry(17); }},
      {"PickCustom(lime)", [&] { box.PickCustom(0x00FF00); }},
      {"PickCustom(#EFCDAB)", [&] { box.PickCustom(0xABCDEF); }},
      {"SetColorNames(ignored, Schwarz, , Grün)",
       [&] {
         box.SetColorNames({"ignored", "Schwarz", "", "Gr\xC3\xBCn"}), entries({0, 1, 2, 3});
       }},
      {"SetColorNames(18 x)",
       [&] {
         box.SetColorNames(std::vector<std::string>(18, "x")), entries({0, 1, 16, 17});
       }},
  };
  for (const auto& [name, step] : steps) {
    step();
    out << name << ": entry " << box.SelectedEntry() << " " << box.EntryText(box.SelectedEntry())
        << ", value " << (box.Value() == kDefaultColor ? "Default" : "#" + ColorToHtml(box.Value()))
        << ", custom #" << ColorToHtml(other.EntryColor(17)) << ", changes " << changes << "\n";
  }
  EXPECT_EQ(testing::CompareWithGolden(out.str(), "html/color_box.txt"), "");
}

int DiskFull(const std::string&) { return ENOSPC; }

TEST(WritePicturePageTest, WritesThePageOrFailsKeepingThePreviousOne) {
  testing::TempDir tmp;
  PictureSettings pictures;
  pictures.CreatePicturePages = true;
  const std::string page = tmp.file("photo.html");
  WritePicturePage(page, pictures, tmp.path(), "photo.jpg", PathStyle::Posix);
  const std::string text = testing::ReadFile(page);
  EXPECT_EQ(text,
            PicturePageText(BuildPicturePageFrame(pictures, "/", PathStyle::Posix), "photo.jpg"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(text.begin(), text.end(), '\r'));
  for (const std::string& path : {tmp.file("missing/photo.html"), page}) {
    platform::SetWriteFaultHookForTesting(path == page ? &DiskFull : nullptr);
    try {
      WritePicturePage(path, pictures, tmp.path(), "photo.jpg", PathStyle::Posix);
      ADD_FAILURE() << path;
    } catch (const Error& e) {
      EXPECT_EQ(e.what(), "Cannot create file " + path);
    }
  }
  platform::SetWriteFaultHookForTesting(nullptr);
  EXPECT_EQ(testing::ReadFile(page), text);
  EXPECT_EQ(platform::ListDirectory(tmp.path()).size(), 1u) << "nothing else is left";
}

}  // namespace
}  // namespace quorvel::html
