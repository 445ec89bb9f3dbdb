// Setting fields by name, clamped, editor numbers and the directory fields.
#include <gtest/gtest.h>

#include "job/directory_field.h"
#include "job/error.h"
#include "job/gallery_settings.h"
#include "job/settings_fields.h"

namespace quorvel {
namespace {

// Every field set from text is tried by the state-file tests; here what only names and text do.
TEST(SettingsFieldsTest, NamesTextsAndRefusals) {
  GallerySettings s;
  SetFieldFromText(s, "PicturePage.Title", "One");  // a tail of the path names one field
  SetFieldFromText(s, "TableSettings.BorderColor", "#FF8000");
  SetFieldFromText(s, "CellSettings.HorizontalAlignment", "left");
  SetFieldFromText(s, "PageSettings.TopHTML", "<p>a\\n\\nb");
  SetFieldFromText(s, "Quality", "5000");  // clamped to its range
  EXPECT_EQ(std::tie(s.Picture.PicturePage.Title, s.Page.Title), std::tie("One", "New Page"));
  EXPECT_EQ(s.Table.BorderColor, 0x0080FF);
  EXPECT_EQ(s.Cell.HorizontalAlignment, 1);
  EXPECT_EQ(s.Page.TopHTML, (Lines{"<p>a", "", "b"}));
  EXPECT_EQ(s.Thumbnail.Quality, 100);
  EXPECT_EQ(ParseEditorInteger(" -3 ", 15), -3);
  EXPECT_EQ(ParseEditorInteger("7x", 15), 15);
  const GallerySettings before = s;
  // clang-format off
  const std::pair<const char*, const char*> refused[] = {
      {"Title", "x"}, {"Bold", "true"}, {"NoSuchField", "1"}, {"Quality", "high"},
      {"SplitHTML", "maybe"}, {"TableSettings.BorderColor", "red"},
      {"TableSettings.Alignment", "middle"}, {"TableSettings.Alignment", "4"}};
  // clang-format on
  for (const auto& [name, value] : refused) {
    EXPECT_THROW(SetFieldFromText(s, name, value), Error) << name << "=" << value;
  }
  EXPECT_EQ(s, before);
}

// The questions, the creation and its refusal are tried through the window's directory edits.
TEST(DirectoryFieldTest, AddsTheSeparatorOfItsStyleToWhatItCreates) {
  std::vector<std::string> created;
  const DirectoryOps missing{[](const std::string&) { return false; },
                             [&](const std::string& p) { return created.push_back(p), 0; }};
  const Question yes = [](const std::string&) { return true; };
  EXPECT_EQ(NormalizeDirectoryField("C:/pics", PathStyle::Windows, missing, yes), "C:/pics\\");
  EXPECT_EQ(NormalizeDirectoryField("/tmp/pics", PathStyle::Posix, missing, yes), "/tmp/pics/");
  EXPECT_EQ(NormalizeDirectoryField("", PathStyle::Posix, missing, yes), "");
  EXPECT_EQ(created, (std::vector<std::string>{"C:/pics\\", "/tmp/pics/"}));
}

}  // namespace
}  // namespace quorvel
