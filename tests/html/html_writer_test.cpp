// The HTML writer as golden transcripts of "> COMMAND ARGUMENT" steps (tests/data/html/). The
// pages of some cases also go through an HTML checker (tidy; see kAccepted).
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <regex>
#include <sstream>

#include "html/caption.h"
#include "html/color_box_model.h"
#include "html/escaping.h"
#include "html/folder_label.h"
#include "html/html_color.h"
#include "html/navigator.h"
#include "html/page_frame.h"
#include "html/phone_layout.h"
#include "html/photo_page.h"
#include "html/picture_page.h"
#include "html/table_tags.h"
#include "html/thumbnail_image.h"
#include "job/error.h"
#include "job/settings_fields.h"
#include "platform/file_system.h"
#include "support/golden.h"
#include "support/temp_dir.h"

namespace quorvel::html {
namespace {

// What tidy may find in a page, by its case's heading: in classic pages what they write on
// purpose; in the phone layout's the user's HTML 3.2 attributes and fonts; in photo pages nothing.
const std::pair<const char*, const char*> kAccepted[] = {
    {"== every option",
     "missing <!DOCTYPE> declaration|<img> lacks \"alt\" attribute|"
     "<body> attribute \".*\" not allowed for HTML5"},
    {"== phone layout, checked", ".*\" not allowed for HTML5|<font> element removed from HTML5"},
    {"== checked", "$.^"}};

// Runs a page through tidy and checks that it finds only `accepted`.
void ExpectOnlyAcceptedWarnings(const std::string& page, const std::regex& accepted) {
  testing::TempDir tmp;
  FILE* tidy = popen(("tidy -q -e " + tmp.write("page.html", page) + " 2>&1").c_str(), "r");
  ASSERT_NE(tidy, nullptr);
  bool warned = false;
  for (char line[512]; std::fgets(line, sizeof line, tidy); warned = true) {
    const char* found = std::strstr(line, "Warning: ");
    const std::string warning = found != nullptr ? found + 9 : line;
    EXPECT_TRUE(std::regex_match(warning.substr(0, warning.size() - 1), accepted)) << line;
  }
  EXPECT_EQ(pclose(tidy), warned ? 1 << 8 : 0) << "tidy's status: warnings only";
}

// The parts of `text` between the `separator`s.
std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

// The settings, page directory and photo of "Field=value | dir=DIR | file=NAME", over the
// defaults; a directory is in Windows style unless it starts with "/". A photo page shows
// c.photo: its display copy src (1600x1067 unless size=WxH says otherwise); prev, next, index
// and original are links; details=A;B;C.
struct Case {
  GallerySettings s;
  std::string dir = "/web/";
  PhotoPage photo{"photo.jpg", "photo.jpg", 1600, 1067, "", "", "../index.html", {}, ""};
  PathStyle style() const { return dir.starts_with('/') ? PathStyle::Posix : PathStyle::Windows; }
};

Case Parse(const std::string& changes) {
  Case c;
  PhotoPage& p = c.photo;
  std::map<std::string, std::string*> texts = {{"dir", &c.dir},
                                               {"file", &p.FileName},
                                               {"src", &p.DisplayHref},
                                               {"prev", &p.PreviousHref},
                                               {"next", &p.NextHref},
                                               {"index", &p.IndexHref},
                                               {"original", &p.OriginalHref}};
  for (std::size_t start = 0; start < changes.size(); start += 3) {
    const std::size_t end = std::min(changes.find(" | ", start), changes.size());
    const std::string change = changes.substr(start, end - start);
    const std::string field = change.substr(0, change.find('=')),
                      value = change.substr(field.size() + 1);
    if (texts.contains(field)) {
      *texts[field] = value;
    } else if (field == "size") {
      p.Width = std::stoi(value.substr(0, value.find('x')));
      p.Height = std::stoi(value.substr(value.find('x') + 1));
    } else if (field == "details") {
      p.Details = Split(value, ';');
    } else {
      SetFieldFromText(c.s, field, value);
    }
    start = end;
  }
  return c;
}

std::string Joined(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// A web page's lines end in CR LF and its bytes are ASCII; the transcript shows it without CRs.
std::string WebPageLines(const std::string& page) {
  EXPECT_TRUE(std::all_of(page.begin(), page.end(), [](char c) { return (c & 0x80) == 0; }));
  std::string lines = page;
  std::erase(lines, '\r');
  EXPECT_EQ(std::regex_replace(lines, std::regex("\n"), "\r\n"), page) << "a line without CR";
  return lines;
}

// An index page in the phone layout, its table holding one row of two web cells: the first opens
// the folder "2024/trip" and has a 2x thumbnail, the second has none.
std::string PhoneIndexPage(const Case& c) {
  PageFrame frame = BuildPageFrame(c.s.Page, c.dir, c.style());
  AddPhoneLayout(frame);
  const auto cell = [&](const std::string& name, const std::string& x2, int w, int h, int size) {
    return BuildCellOpenTag(c.s.Cell, c.dir, c.style()) +
           (x2.empty() ? "" : FolderLabel("2024/trip")) + "<a href=\"photos/" + name + ".html\">" +
           ThumbnailImageTag({"thumbs/" + name + "_thumb.jpg", x2, w, h, name + ".jpg"},
                             c.style()) +
           "</a>" + BuildCaption(c.s.Text, name + ".jpg", size) + "</td>";
  };
  return Joined(frame.Header) + BuildTableOpenTag(c.s.Table, c.dir, c.style()) + "\n<tr>\n" +
         cell("a", "thumbs/a_thumb@2x.jpg", 70, 47, 1234) + cell("b", "", 47, 70, 5678) +
         "\n</tr>\n" + TableCloseLine(c.s.Table) + "\n\n" + Joined(frame.Footer);
}

// "write picture|photo missing|full": a page written where its directory is missing or on a
// full disk is refused, naming it; the page written before is kept and nothing else is left.
std::string WriteRefused(const std::string& how) {
  testing::TempDir tmp;
  const std::string page = tmp.write("page.html", "previous");
  const std::string path = how.ends_with("missing") ? tmp.file("missing/page.html") : page;
  platform::SetWriteFaultHookForTesting(
      how.ends_with("full") ? +[](const std::string&) { return ENOSPC; } : nullptr);
  std::string result;
  try {
    if (how.starts_with("picture"))
      WritePicturePage(path, PictureSettings{}, "/", "photo.jpg", PathStyle::Posix);
    else
      WritePhotoPage(path, Parse("").photo, {}, PathStyle::Posix);
  } catch (const Error& e) {
    result = testing::WithTmp(e.what(), tmp.path());
  }
  platform::SetWriteFaultHookForTesting(nullptr);
  const bool kept =
      testing::ReadFile(page) == "previous" && platform::ListDirectory(tmp.path()).size() == 1;
  return result + (kept ? "; the page before kept, nothing else left" : "; not as it was");
}

// The colour box model without drawing; after each step, the selected entry, the value, the
// custom colour another box sees and how many changes the box announced.
struct ColorBoxes {
  SharedCustomColor custom;
  ColorBoxModel box{custom}, other{custom};
  int changes = 0;
  std::string State() const {
    const ColorValue v = box.Value();
    return "entry " + std::to_string(box.SelectedEntry()) + " " +
           box.EntryText(box.SelectedEntry()) + ", value " +
           (v == kDefaultColor ? "Default" : "#" + ColorToHtml(v)) + ", custom #" +
           ColorToHtml(other.EntryColor(17)) + ", changes " + std::to_string(changes);
  }
};

// "posix TEXT" or "windows TEXT": the path style and the text.
std::pair<PathStyle, std::string> Styled(const std::string& text) {
  EXPECT_TRUE(text.starts_with("posix ") || text.starts_with("windows ")) << text;
  return {text[0] == 'w' ? PathStyle::Windows : PathStyle::Posix, text.substr(text.find(' ') + 1)};
}

ColorValue Color(const std::string& text) {
  return static_cast<ColorValue>(static_cast<std::uint32_t>(std::stoll(text, nullptr, 0)));
}

using Arg = const std::string&;
using Commands = std::map<std::string, std::function<std::string(Arg)>>;

Commands WriterCommands(ColorBoxes& b) {
  const std::string table =
      "<table><tr><td><a href=\"a.jpg\"><img src=\"t/a.jpg\"></a></td></tr></table>\n";
  return {
      {"frame",
       [table](Arg a) {
         const Case c = Parse(a);
         const PageFrame frame = BuildPageFrame(c.s.Page, c.dir, c.style());
         return Joined(frame.Header) + table + Joined(frame.Footer);
       }},
      {"tags",
       [](Arg a) {
         const Case c = Parse(a);
         return Joined({BuildTableOpenTag(c.s.Table, c.dir, c.style()), TableCloseLine(c.s.Table),
                        BuildCellOpenTag(c.s.Cell, c.dir, c.style())});
       }},
      {"caption",
       [](Arg a) { return BuildCaption(Parse(a).s.Text, Parse(a).photo.FileName, 12345); }},
      {"navigator",
       [](Arg a) {
         const NavigatorWrapper w = BuildNavigatorWrapper(Parse(a).s.Navigator);
         return w.Prefix + NavigatorLink("index000.html", "1", PathStyle::Posix) +
                NavigatorLink("index001.html", "2", PathStyle::Posix) + w.Suffix;
       }},
      {"picture",
       [](Arg a) {
         const Case c = Parse(a);
         return WebPageLines(PicturePageText(BuildPicturePageFrame(c.s.Picture, c.dir, c.style()),
                                             c.photo.FileName, c.style()));
       }},
      {"phone", [](Arg a) { return PhoneIndexPage(Parse(a)); }},
      {"thumbnail",
       [](Arg a) {
         const auto [style, fields] = Styled(a);
         const std::vector<std::string> f = Split(fields, '|');
         const std::size_t x = f.at(2).find('x');
         return ThumbnailImageTag({f.at(0), f.at(1), std::stoi(f.at(2).substr(0, x)),
                                   std::stoi(f.at(2).substr(x + 1)), f.at(3)},
                                  style);
       }},
      {"folder", [](Arg a) { return FolderLabel(a); }},
      {"photo",
       [](Arg a) {
         const Case c = Parse(a);
         return WebPageLines(PhotoPageText(c.photo, c.s.Page, c.style()));
       }},
      {"write", [](Arg a) { return WriteRefused(a); }},
      {"ColorToHtml", [](Arg a) { return ColorToHtml(Color(a)); }},
      {"ColorAttribute", [](Arg a) { return "[" + ColorAttribute("color", Color(a)) + "]"; }},
      {"EncodeUrlPath", [](Arg a) { return EncodeUrlPath(Styled(a).second, Styled(a).first); }},
      {"EscapeHtmlText", [](Arg a) { return testing::Visible(EscapeHtmlText(a)); }},
      {"FontOpenTag",
       [](Arg a) {
         const std::vector<std::string> f = Split(a, ' ');
         return FontOpenTag(std::stoi(f.at(0)), std::stoi(f.at(1)), Color(f.at(2)));
       }},
      {"NavigatorLink",
       [](Arg a) {
         const auto [style, link] = Styled(a);
         return NavigatorLink(link.substr(0, link.find('|')), link.substr(link.find('|') + 1),
                              style);
       }},
      {"CaptionOfSize",
       [](Arg a) { return BuildCaption(Parse("ImageName.Print=0").s.Text, "a", std::stoull(a)); }},
      {"Entries",
       [&b](Arg a) {
         std::istringstream in(a);
         std::string out;
         for (int i; in >> i;)
           out += b.box.EntryText(i) + " #" + ColorToHtml(b.box.EntryColor(i)) + ", ";
         return out;
       }},
      {"Assign", [&b](Arg a) { return b.box.Assign(Color(a)), b.State(); }},
      {"OtherAssign", [&b](Arg a) { return b.other.Assign(Color(a)), b.State(); }},
      {"SetCustom", [&b](Arg a) { return b.custom.value = Color(a), b.State(); }},
      {"PickEntry", [&b](Arg a) { return b.box.PickEntry(std::stoi(a)), b.State(); }},
      {"PickCustom", [&b](Arg a) { return b.box.PickCustom(Color(a)), b.State(); }},
      {"SetColorNames", [&b](Arg a) { return b.box.SetColorNames(Split(a, '|')), b.State(); }},
  };
}

class HtmlWriterTest : public ::testing::TestWithParam<const char*> {};

TEST_P(HtmlWriterTest, StepsGiveTheGoldenTranscript) {
  ColorBoxes boxes;
  boxes.box.on_change = [&] { ++boxes.changes; };
  const Commands commands = WriterCommands(boxes);
  const auto step = [&](const testing::TranscriptStep& s) {
    const std::string result = commands.at(s.command)(s.rest);
    for (const auto& [prefix, accepted] : kAccepted) {
      if (s.heading.starts_with(prefix)) ExpectOnlyAcceptedWarnings(result, std::regex(accepted));
    }
    return result.empty() ? "\n" : result;  // an empty result shows as an empty line
  };
  EXPECT_EQ(testing::ReplayGolden(std::string("html/") + GetParam() + ".txt", step), "");
}

INSTANTIATE_TEST_SUITE_P(Files, HtmlWriterTest,
                         ::testing::Values("page_frames", "table_and_cell_tags", "captions",
                                           "navigators", "picture_pages", "functions",
                                           "web_pages"));

}  // namespace
}  // namespace quorvel::html
