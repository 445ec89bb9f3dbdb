// Defaults, clamping and setting fields by name.
#include <cerrno>
#include <gtest/gtest.h>

#include "job/directory_field.h"
#include "job/error.h"
#include "job/gallery_settings.h"
#include "job/settings_fields.h"

namespace quorvel {
namespace {

TEST(GallerySettingsTest, FreshDefaults) {
  const GallerySettings s;
  EXPECT_EQ(s.Output.HTMLFileName, "index.html");
  EXPECT_EQ(s.Output.HTMLFileMask, "index%3n.html");
  EXPECT_EQ(s.Output.ThumbnailDirectoryName, "thumb");
  EXPECT_EQ(s.Thumbnail.ThumbnailNameMask, "%f_thumb");
  EXPECT_EQ(s.Thumbnail.Quality, 60);
  EXPECT_EQ(s.Cell.HorizontalAlignment, 3);
  EXPECT_EQ(s.Cell.VerticalAlignment, 3);
  EXPECT_EQ(s.Table.Alignment, 0);
  EXPECT_EQ(s.Navigator.Alignment, 0);
  EXPECT_EQ(s.Picture.PicturePage.Title, "New Page");
  EXPECT_EQ(kAlignmentItems[3], "center");
  EXPECT_EQ(kVerticalAlignmentItems[3], "middle");
  EXPECT_EQ(kSizeItems[8], "+1");
  EXPECT_EQ(kSizeItems[21], "-7");
  EXPECT_EQ(kFontItems[13], "Verdana, Arial, Helvetica, sans-serif");
}

TEST(GallerySettingsTest, EveryRangedFieldClamps) {
  struct Case {
    const char* field;
    int low, high;
  };
  const Case cases[] = {
      {"ThumbnailsInRow", 1, 1000},   {"ThumbnailsInColumn", 1, 1000},
      {"Quality", 1, 100},            {"ThumbnailWidth", 15, 1000},
      {"ThumbnailHeight", 15, 1000},  {"BorderSize", 0, 100},
      {"CellPadding", 0, 100},        {"CellSpacing", 0, 100},
  };
  for (const Case& c : cases) {
    GallerySettings below, above;
    SetFieldFromText(below, c.field, std::to_string(c.low - 1));
    SetFieldFromText(above, c.field, "5000");
    GallerySettings low_ref, high_ref;
    SetFieldFromText(low_ref, c.field, std::to_string(c.low));
    SetFieldFromText(high_ref, c.field, std::to_string(c.high));
    EXPECT_EQ(below, low_ref) << c.field;
    EXPECT_EQ(above, high_ref) << c.field;
  }
  GallerySettings s;
  s.Output.ThumbnailsInRow = 0;
  EXPECT_EQ(s.Output.ThumbnailsInRow, 1);
  s.Output.ThumbnailsInRow = 5000;
  EXPECT_EQ(s.Output.ThumbnailsInRow, 1000);
  s.Cell.CellWidth = -40;
  EXPECT_EQ(s.Cell.CellWidth, -40);
  s.Text.ImageName.Size = 99;
  EXPECT_EQ(s.Text.ImageName.Size, 21);
}

TEST(GallerySettingsTest, EditorTextThatIsNotANumberReadsAsTheFallback) {
  EXPECT_EQ(ParseEditorInteger("12", 1), 12);
  EXPECT_EQ(ParseEditorInteger(" -3 ", 0), -3);
  EXPECT_EQ(ParseEditorInteger("abc", 15), 15);
  EXPECT_EQ(ParseEditorInteger("", 0), 0);
  EXPECT_EQ(ParseEditorInteger("7x", 1), 1);
}

TEST(SettingsFieldsTest, SetsByNameAndByGroupPath) {
  GallerySettings s;
  SetFieldFromText(s, "ThumbnailsInRow", "4");
  SetFieldFromText(s, "PageSettings.Title", "Trip");
  SetFieldFromText(s, "PictureSettings.PicturePage.Title", "One");
  SetFieldFromText(s, "TextSettings.ImageName.Bold", "true");
  SetFieldFromText(s, "TableSettings.BorderColor", "#FF8000");
  SetFieldFromText(s, "CellSettings.HorizontalAlignment", "left");
  SetFieldFromText(s, "NavigatorSettings.Font", "8");
  SetFieldFromText(s, "PageSettings.TopHTML", "<p>a\\n\\nb");
  SetFieldFromText(s, "TableSettings.BackgroundColor", "default");
  EXPECT_EQ(s.Output.ThumbnailsInRow, 4);
  EXPECT_EQ(s.Page.Title, "Trip");
  EXPECT_EQ(s.Picture.PicturePage.Title, "One");
  EXPECT_TRUE(s.Text.ImageName.Bold);
  EXPECT_EQ(s.Table.BorderColor, 0x0080FF);
  EXPECT_EQ(s.Cell.HorizontalAlignment, 1);
  EXPECT_EQ(s.Navigator.Font, 8);
  EXPECT_EQ(s.Page.TopHTML, (Lines{"<p>a", "", "b"}));
  EXPECT_EQ(s.Table.BackgroundColor, kDefaultColor);
  EXPECT_EQ(SettingsFields().size(), 79u);
}

TEST(SettingsFieldsTest, RefusesUnknownAmbiguousAndMalformed) {
  GallerySettings s;
  const GallerySettings before = s;
  for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
           {"Title", "x"},            // page or picture page
           {"Bold", "true"},          // three blocks
           {"NoSuchField", "1"},
           {"Quality", "high"},
           {"SplitHTML", "maybe"},
           {"TableSettings.BorderColor", "red"},
           {"TableSettings.Alignment", "middle"},
           {"TableSettings.Alignment", "4"}}) {
    EXPECT_THROW(SetFieldFromText(s, name, value), Error) << name << "=" << value;
  }
  EXPECT_EQ(s, before);
}

TEST(DirectoryFieldTest, AddsTheSeparatorAndAsksForMissingDirectories) {
  std::vector<std::string> asked, created;
  const DirectoryOps missing{[](const std::string&) { return false; },
                             [&](const std::string& p) { created.push_back(p); return 0; }};
  const Question yes = [&](const std::string& m) { asked.push_back(m); return true; };
  EXPECT_EQ(NormalizeDirectoryField("C:/pics", PathStyle::Windows, missing, yes), "C:/pics\\");
  EXPECT_EQ(asked.back(), "Directory \"C:/pics\\\" does not exist. Do you want create it?");
  EXPECT_EQ(NormalizeDirectoryField("/tmp/pics", PathStyle::Posix, missing, yes), "/tmp/pics/");
  EXPECT_EQ(created, (std::vector<std::string>{"C:/pics\\", "/tmp/pics/"}));
  const Question no = [&](const std::string& m) { asked.push_back(m); return false; };
  EXPECT_EQ(NormalizeDirectoryField("/tmp/x/", PathStyle::Posix, missing, no), "/tmp/x/");
  EXPECT_EQ(created.size(), 2u);
  EXPECT_EQ(NormalizeDirectoryField("", PathStyle::Posix, missing, yes), "");
  const DirectoryOps present{[](const std::string&) { return true; },
                             [](const std::string&) { return 0; }};
  const std::size_t questions = asked.size();
  EXPECT_EQ(NormalizeDirectoryField("/tmp", PathStyle::Posix, present, yes), "/tmp/");
  EXPECT_EQ(asked.size(), questions);
  const DirectoryOps refused{[](const std::string&) { return false; },
                             [](const std::string&) { return EACCES; }};
  try {
    NormalizeDirectoryField("/srv/web", PathStyle::Posix, refused, yes);
    ADD_FAILURE() << "a refused creation must be reported";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Cannot create directory /srv/web/ (Permission denied)");
  }
}

}  // namespace
}  // namespace quorvel
