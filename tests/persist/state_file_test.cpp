// State files: the default file byte for byte, the stored order, round trips of every field
// and the files that must be refused without touching the settings.
#include "persist/state_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "job/error.h"
#include "job/gallery_settings.h"
#include "job/settings_fields.h"
#include "persist/typed_value_file.h"
#include "support/temp_dir.h"

namespace quorvel::persist {
namespace {

std::string Hex(std::string_view bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[static_cast<unsigned char>(c) >> 4];
    out += digits[static_cast<unsigned char>(c) & 15];
  }
  return out;
}

// A byte literal with its zero bytes kept.
template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

struct Span {
  std::size_t begin, end;
};

// Where each of the 79 values lies in `bytes`, walked by the kinds of the settings table.
std::vector<Span> ValueSpans(std::string_view bytes) {
  TypedValueReader reader(bytes.substr(17));
  std::vector<Span> spans;
  for (const FieldInfo& field : SettingsFields()) {
    const std::size_t begin = reader.position() + 17;
    Lines lines;
    switch (field.kind) {
      case FieldKind::Integer:
      case FieldKind::Index:
      case FieldKind::Color:
        GetInt(reader);
        break;
      case FieldKind::Boolean:
        GetBool(reader);
        break;
      case FieldKind::String:
        GetStr(reader);
        break;
      case FieldKind::Lines:
        GetLines(reader, lines);
        break;
    }
    spans.push_back({begin, reader.position() + 17});
  }
  EXPECT_EQ(reader.remaining(), 0u);
  return spans;
}

// A value that differs from the field's default, whatever the default is.
std::vector<std::string> Candidates(FieldKind kind) {
  switch (kind) {
    case FieldKind::Integer:
      return {"17"};
    case FieldKind::Boolean:
      return {"true", "false"};
    case FieldKind::String:
      return {"x"};
    case FieldKind::Color:
      return {"#102030"};
    case FieldKind::Index:
      return {"2"};
    case FieldKind::Lines:
      return {"a\nb"};
  }
  return {};
}

TEST(StateFileTest, DefaultSettingsGiveThe313ByteFile) {
  const std::string bytes = EncodeState(GallerySettings());
  ASSERT_EQ(bytes.size(), 313u);
  EXPECT_EQ(bytes.substr(0, 17), std::string("QUORVELANDISCOPE\x01", 17));
  struct At {
    std::size_t offset;
    std::string hex;
  };
  const At expected[] = {
      {17, "05 00 00 00 03 00 00 00"},                             // thumbnails in row, column
      {25, "01 00 00 00"},                                         // update, split, new, separate
      {29, "0D 00 00 00 69 6E 64 65 78 25 33 6E 2E 68 74 6D 6C"},  // "index%3n.html"
      {46, "0A 00 00 00 69 6E 64 65 78 2E 68 74 6D 6C"},           // "index.html"
      {60, "00 00 00 00 05 00 00 00 74 68 75 6D 62 00 01"},        // "", "thumb", false, true
      {80, "3C 00 00 00 00 08 00 00 00"},                          // quality 60, colour, mask
      {97, "46 00 00 00 46 00 00 00"},                             // thumbnail 70 x 70
      {105, "00 00 00 00 01 00 00 00 01 00 00 00 02 00 00 00"},    // table alignment..spacing
      {121, "FF FF FF FF"},                                        // border colour Default
  };
  for (const At& at : expected) {
    const std::size_t length = (at.hex.size() + 1) / 3;
    EXPECT_EQ(Hex(std::string_view(bytes).substr(at.offset, length)), at.hex) << at.offset;
  }
  // The file ends with the picture page's two empty lists of lines.
  EXPECT_EQ(Hex(std::string_view(bytes).substr(305)), "FF FF FF FF FF FF FF FF");
}

TEST(StateFileTest, EachFieldIsStoredAtItsOwnPlaceInTableOrder) {
  ASSERT_EQ(SettingsFields().size(), 79u);
  const std::string base = EncodeState(GallerySettings());
  const std::vector<Span> spans = ValueSpans(base);
  for (std::size_t i = 0; i < spans.size(); ++i) {
    const FieldInfo& field = SettingsFields()[i];
    std::string changed;
    for (const std::string& text : Candidates(field.kind)) {
      GallerySettings s;
      SetFieldFromText(s, field.path, text);
      changed = EncodeState(s);
      if (changed != base) break;
    }
    ASSERT_NE(changed, base) << field.path;
    const std::size_t tail = base.size() - spans[i].end;
    EXPECT_EQ(changed.substr(0, spans[i].begin), base.substr(0, spans[i].begin)) << field.path;
    EXPECT_EQ(changed.substr(changed.size() - tail), base.substr(base.size() - tail)) << field.path;
  }
}

GallerySettings EveryFieldChanged() {
  GallerySettings s;
  for (const FieldInfo& field : SettingsFields()) {
    for (const std::string& text : Candidates(field.kind)) {
      GallerySettings before = s;
      SetFieldFromText(s, field.path, text);
      if (!(s == before)) break;
    }
  }
  s.Output.HTMLFileMask = std::string(501, 'm');
  s.Output.HTMLDirectory = "/srv/www/gallery/";
  s.Thumbnail.ThumbnailWidth = 1000;
  s.Thumbnail.ThumbnailHeight = 15;
  s.Cell.CellWidth = -40;
  s.Table.BorderColor = 0x00FFFFFF;
  s.Table.LightBorderColor = 0;
  s.Text.ImageName.Font = 13;
  s.Text.ImageSize.Size = 21;
  s.Picture.TargetFrame = 4;
  s.Page.TopHTML = {"<p>", "", "caf\xC3\xA9 \"quoted\"", ""};
  s.Page.BottomHTML = {""};
  s.Picture.PicturePage.TopHTML = {std::string(3073, 'L'), "", "end"};
  s.Picture.PicturePage.BottomHTML = {"\t<hr>\r"};
  return s;
}

TEST(StateFileTest, EveryChangedFieldSurvivesARoundTrip) {
  const GallerySettings changed = EveryFieldChanged();
  const std::string bytes = EncodeState(changed);
  const std::vector<Span> changed_spans = ValueSpans(bytes);
  const std::string base = EncodeState(GallerySettings());
  const std::vector<Span> base_spans = ValueSpans(base);
  for (std::size_t i = 0; i < 79; ++i) {
    EXPECT_NE(bytes.substr(changed_spans[i].begin, changed_spans[i].end - changed_spans[i].begin),
              base.substr(base_spans[i].begin, base_spans[i].end - base_spans[i].begin))
        << SettingsFields()[i].path << " is not changed by the test";
  }
  GallerySettings current;
  current.Output.Directories = {"/photos/a", "/photos/b"};
  const GallerySettings loaded = DecodeState(bytes, current, "job.qvl");
  GallerySettings expected = changed;
  expected.Output.Directories = current.Output.Directories;
  EXPECT_EQ(loaded, expected);
  EXPECT_EQ(EncodeState(loaded), bytes);
}

TEST(StateFileTest, SaveAndLoadThroughAFile) {
  testing::TempDir tmp;
  const std::string path = tmp.file("job.qvl");
  const GallerySettings changed = EveryFieldChanged();
  SaveState(changed, path);
  EXPECT_EQ(testing::ReadFile(path), EncodeState(changed));
  EXPECT_EQ(LoadState(path, GallerySettings()), changed);
}

TEST(StateFileTest, LoadedValuesAreClampedIntoTheirRanges) {
  std::string bytes = EncodeState(GallerySettings());
  const std::vector<Span> spans = ValueSpans(bytes);
  const auto put = [&](std::size_t field, std::string_view four) {
    bytes.replace(spans[field].begin, 4, four);
  };
  put(0, Bytes("\x00\x00\x00\x00"));   // thumbnails in a row 0
  put(14, Bytes("\x10\x27\x00\x00"));  // quality 10000
  put(19, "\xFF\xFF\xFF\xFF");         // table alignment -1
  put(32, "\x9C\xFF\xFF\xFF");         // cell width -100 has no range
  const GallerySettings loaded = DecodeState(bytes, GallerySettings(), "");
  EXPECT_EQ(loaded.Output.ThumbnailsInRow, 1);
  EXPECT_EQ(loaded.Thumbnail.Quality, 100);
  EXPECT_EQ(loaded.Table.Alignment, 0);
  EXPECT_EQ(loaded.Cell.CellWidth, -100);
}

TEST(StateFileTest, OtherBooleanBytesReadAsTrue) {
  std::string bytes = EncodeState(GallerySettings());
  bytes[26] = '\x02';  // split HTMLs
  EXPECT_TRUE(DecodeState(bytes, GallerySettings(), "").Output.SplitHTML);
}

// Loads `bytes` the way callers do and checks that a refusal leaves the settings as they were.
std::string RefusalMessage(const std::string& bytes) {
  testing::TempDir tmp;
  const std::string path = tmp.write("bad.qvl", bytes);
  GallerySettings settings = EveryFieldChanged();
  settings.Output.Directories = {"/photos"};
  const GallerySettings before = settings;
  std::string message = "(loaded)";
  try {
    settings = LoadState(path, settings);
  } catch (const Error& e) {
    message = e.what();
    const std::string::size_type at = message.find(path);
    if (at != std::string::npos) message.replace(at, path.size(), "PATH");
  }
  EXPECT_EQ(settings, before);
  return message;
}

TEST(StateFileTest, EveryTruncationIsRefused) {
  const std::string bytes = EncodeState(EveryFieldChanged());
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    const GallerySettings current;
    try {
      DecodeState(std::string_view(bytes).substr(0, size), current, "/a/b.qvl");
      ADD_FAILURE() << "a file of " << size << " bytes loaded";
    } catch (const Error& e) {
      ASSERT_STREQ(e.what(), "Read beyond end of file: /a/b.qvl") << size;
    }
  }
  EXPECT_EQ(RefusalMessage(bytes.substr(0, 200)), "Read beyond end of file: PATH");
}

TEST(StateFileTest, FilesThatAreNotStateFilesAreRefused) {
  const std::string good = EncodeState(GallerySettings());
  const std::vector<Span> spans = ValueSpans(good);
  const auto with = [&](std::size_t offset, std::string_view four) {
    std::string bytes = good;
    bytes.replace(offset, four.size(), four);
    return bytes;
  };
  const std::size_t mask = spans[6].begin;        // "index%3n.html"
  const std::size_t top_lines = spans[58].begin;  // index page's top HTML
  std::string long_line = good.substr(0, top_lines) + std::string(4, '\0') +
                          Bytes("\x02\x0C\x00\x00") + std::string(3074, 'x') +
                          good.substr(top_lines + 4);
  struct Case {
    const char* name;
    std::string bytes;
    std::string message;
  };
  const Case cases[] = {
      {"signature", with(0, "quorvelandiscope"), "PATH is not a state file"},
      {"a JPEG", Bytes("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01"),
       "PATH is not a state file"},
      {"negative string length", with(mask, "\xFF\xFF\xFF\xFF"), "PATH is not a state file"},
      {"string length 502", with(mask, Bytes("\xF6\x01\x00\x00")), "PATH is not a state file"},
      {"string length past the end", with(mask, Bytes("\xF4\x01\x00\x00")),
       "Read beyond end of file: PATH"},
      {"line length 3074", long_line, "PATH is not a state file"},
      {"negative line length", with(top_lines, Bytes("\x00\x00\x00\x00\xFE\xFF\xFF\xFF")),
       "PATH is not a state file"},
      {"4096 lines past the end", with(top_lines, Bytes("\xFF\x0F\x00\x00")),
       "Read beyond end of file: PATH"},
      {"4097 lines", with(top_lines, Bytes("\x00\x10\x00\x00")), "PATH is not a state file"},
      {"two billion lines", with(top_lines, "\xFF\xFF\xFF\x7F"), "PATH is not a state file"},
  };
  for (const Case& c : cases) EXPECT_EQ(RefusalMessage(c.bytes), c.message) << c.name;
}

TEST(StateFileTest, OtherVersionsAndBytesAfterTheValuesAreLoaded) {
  const std::string good = EncodeState(EveryFieldChanged());
  for (const char version : {'\x00', '\x02', '\xFF'}) {
    std::string bytes = good + "trailing bytes" + good;
    bytes[16] = version;
    EXPECT_EQ(DecodeState(bytes, GallerySettings(), ""), EveryFieldChanged());
  }
}

TEST(StateFileTest, AnyCountBelowZeroIsAnEmptyList) {
  const std::string good = EncodeState(GallerySettings());
  std::string bytes = good;
  bytes.replace(ValueSpans(good)[58].begin, 4, "\xFE\xFF\xFF\xFF");
  GallerySettings current;
  current.Page.TopHTML = {"old"};
  EXPECT_TRUE(DecodeState(bytes, current, "").Page.TopHTML.empty());
}

TEST(StateFileTest, FileErrorsCarryThePath) {
  testing::TempDir tmp;
  const std::string missing = tmp.file("missing.qvl");
  EXPECT_THROW(
      {
        try {
          LoadState(missing, GallerySettings());
        } catch (const Error& e) {
          EXPECT_EQ(std::string(e.what()), "File not found: " + missing);
          throw;
        }
      },
      Error);
  const std::string plain = tmp.write("plain", "x");
  try {
    SaveState(GallerySettings(), plain + "/job.qvl");
    ADD_FAILURE() << "saved below a regular file";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "File not found: " + plain + "/job.qvl");
  }
}

TEST(StateFileTest, AnOverlongTextRefusesTheSaveAndKeepsTheOldFile) {
  testing::TempDir tmp;
  const std::string path = tmp.write("job.qvl", "previous");
  struct Case {
    void (*change)(GallerySettings&);
    const char* message;
  };
  const Case cases[] = {
      {[](GallerySettings& s) { s.Page.Title = std::string(502, 't'); },
       "Cannot save the state: Index page title is longer than 501 bytes"},
      {[](GallerySettings& s) { s.Output.HTMLDirectory = std::string(600, 'd'); },
       "Cannot save the state: Directory for HTML output is longer than 501 bytes"},
      {[](GallerySettings& s) {
         s.Picture.PicturePage.BottomHTML = {"", std::string(3074, 'b')};
       },
       "Cannot save the state: a line of Picture page HTML on the bottom of the page is longer "
       "than 3073 bytes"},
  };
  for (const Case& c : cases) {
    GallerySettings s;
    c.change(s);
    try {
      SaveState(s, path);
      ADD_FAILURE() << c.message;
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_EQ(testing::ReadFile(path), "previous");
  }
}

}  // namespace
}  // namespace quorvel::persist
