#include "job/settings_fields.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <span>

#include "job/error.h"

namespace quorvel {
namespace {

struct Field {
  FieldInfo info;
  std::function<void(GallerySettings&, const std::string&)> set;
};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

long long ParseInteger(const std::string& text, const std::string& field) {
  long long value = 0;
  const char* begin = text.data() + (text.starts_with('+') ? 1 : 0);
  const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
    throw Error(field + ": \"" + text + "\" is not a whole number");
  }
  return std::clamp<long long>(value, INT32_MIN, INT32_MAX);
}

bool ParseBoolean(const std::string& text, const std::string& field) {
  const std::string t = Lower(text);
  if (t == "true" || t == "1" || t == "yes" || t == "on") return true;
  if (t == "false" || t == "0" || t == "no" || t == "off") return false;
  throw Error(field + ": \"" + text + "\" is not true or false");
}

ColorValue ParseColor(const std::string& text, const std::string& field) {
  if (Lower(text) == "default") return kDefaultColor;
  unsigned value = 0;
  if (text.size() == 7 && text[0] == '#') {
    const auto [end, ec] = std::from_chars(text.data() + 1, text.data() + 7, value, 16);
    if (ec == std::errc() && end == text.data() + 7) {
      // #RRGGBB to 0x00BBGGRR
      return static_cast<ColorValue>(((value & 0xFF) << 16) | (value & 0xFF00) | (value >> 16));
    }
  }
  throw Error(field + ": \"" + text + "\" is not a colour (#RRGGBB or default)");
}

int ParseIndex(const std::string& text, std::span<const std::string_view> items,
               const std::string& field) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (text == items[i]) return static_cast<int>(i);
  }
  const long long index = ParseInteger(text, field);
  if (index < 0 || index >= static_cast<long long>(items.size())) {
    throw Error(field + ": no item " + text);
  }
  return static_cast<int>(index);
}

Lines ParseLines(const std::string& text) {
  Lines lines;
  if (text.empty()) return lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      lines.push_back(line);
      line.clear();
      ++i;
    } else if (text[i] == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += text[i];
    }
  }
  lines.push_back(line);
  return lines;
}

// Builders of one table row each; `get` picks the field out of the settings.
template <typename Get>
Field IntField(std::string path, Get get) {
  return {{path, FieldKind::Integer}, [get, path](GallerySettings& s, const std::string& t) {
            get(s) = static_cast<std::int32_t>(ParseInteger(t, path));
          }};
}
template <typename Get>
Field BoolField(std::string path, Get get) {
  return {{path, FieldKind::Boolean},
          [get, path](GallerySettings& s, const std::string& t) { get(s) = ParseBoolean(t, path); }};
}
template <typename Get>
Field StringField(std::string path, Get get) {
  return {{path, FieldKind::String}, [get](GallerySettings& s, const std::string& t) { get(s) = t; }};
}
template <typename Get>
Field ColorField(std::string path, Get get) {
  return {{path, FieldKind::Color},
          [get, path](GallerySettings& s, const std::string& t) { get(s) = ParseColor(t, path); }};
}
template <typename Get>
Field IndexField(std::string path, std::span<const std::string_view> items, Get get) {
  return {{path, FieldKind::Index}, [get, path, items](GallerySettings& s, const std::string& t) {
            get(s) = ParseIndex(t, items, path);
          }};
}
template <typename Get>
Field LinesField(std::string path, Get get) {
  return {{path, FieldKind::Lines},
          [get](GallerySettings& s, const std::string& t) { get(s) = ParseLines(t); }};
}

void AddTextBlock(std::vector<Field>& f, const std::string& group,
                  std::function<TextBlockSettings&(GallerySettings&)> block) {
  f.push_back(BoolField(group + ".Print", [block](GallerySettings& s) -> bool& { return block(s).Print; }));
  f.push_back(BoolField(group + ".Italic", [block](GallerySettings& s) -> bool& { return block(s).Italic; }));
  f.push_back(BoolField(group + ".Bold", [block](GallerySettings& s) -> bool& { return block(s).Bold; }));
  f.push_back(IndexField(group + ".Font", kFontItems, [block](GallerySettings& s) -> auto& { return block(s).Font; }));
  f.push_back(IndexField(group + ".Size", kSizeItems, [block](GallerySettings& s) -> auto& { return block(s).Size; }));
  f.push_back(ColorField(group + ".Color", [block](GallerySettings& s) -> auto& { return block(s).Color; }));
}

void AddPage(std::vector<Field>& f, const std::string& group,
             std::function<PageSettings&(GallerySettings&)> page) {
  f.push_back(StringField(group + ".Title", [page](GallerySettings& s) -> auto& { return page(s).Title; }));
  f.push_back(BoolField(group + ".UseBackgroundImage", [page](GallerySettings& s) -> auto& { return page(s).UseBackgroundImage; }));
  f.push_back(StringField(group + ".BackgroundImage", [page](GallerySettings& s) -> auto& { return page(s).BackgroundImage; }));
  f.push_back(ColorField(group + ".BackgroundColor", [page](GallerySettings& s) -> auto& { return page(s).BackgroundColor; }));
  f.push_back(ColorField(group + ".TextColor", [page](GallerySettings& s) -> auto& { return page(s).TextColor; }));
  f.push_back(ColorField(group + ".HyperlinkColor", [page](GallerySettings& s) -> auto& { return page(s).HyperlinkColor; }));
  f.push_back(ColorField(group + ".VisitedHyperlinkColor", [page](GallerySettings& s) -> auto& { return page(s).VisitedHyperlinkColor; }));
  f.push_back(ColorField(group + ".ActiveHyperlinkColor", [page](GallerySettings& s) -> auto& { return page(s).ActiveHyperlinkColor; }));
  f.push_back(LinesField(group + ".TopHTML", [page](GallerySettings& s) -> auto& { return page(s).TopHTML; }));
  f.push_back(LinesField(group + ".BottomHTML", [page](GallerySettings& s) -> auto& { return page(s).BottomHTML; }));
}

#define QV_FIELD(group, name) [](GallerySettings& s) -> auto& { return s.group.name; }

std::vector<Field> MakeFields() {
  std::vector<Field> f;
  const std::string o = "OutputSettings.";
  f.push_back(IntField(o + "ThumbnailsInRow", QV_FIELD(Output, ThumbnailsInRow)));
  f.push_back(IntField(o + "ThumbnailsInColumn", QV_FIELD(Output, ThumbnailsInColumn)));
  f.push_back(BoolField(o + "UpdateHTML", QV_FIELD(Output, UpdateHTML)));
  f.push_back(BoolField(o + "SplitHTML", QV_FIELD(Output, SplitHTML)));
  f.push_back(BoolField(o + "NewHTMLForEachDirectory", QV_FIELD(Output, NewHTMLForEachDirectory)));
  f.push_back(BoolField(o + "SeparateHTML", QV_FIELD(Output, SeparateHTML)));
  f.push_back(StringField(o + "HTMLFileMask", QV_FIELD(Output, HTMLFileMask)));
  f.push_back(StringField(o + "HTMLFileName", QV_FIELD(Output, HTMLFileName)));
  f.push_back(StringField(o + "AllThumbnailsDirectory", QV_FIELD(Output, AllThumbnailsDirectory)));
  f.push_back(StringField(o + "ThumbnailDirectoryName", QV_FIELD(Output, ThumbnailDirectoryName)));
  f.push_back(BoolField(o + "ThumbnailsIntoImageDirectory", QV_FIELD(Output, ThumbnailsIntoImageDirectory)));
  f.push_back(BoolField(o + "EliminateThumbnailDirectory", QV_FIELD(Output, EliminateThumbnailDirectory)));
  f.push_back(StringField(o + "HTMLDirectory", QV_FIELD(Output, HTMLDirectory)));
  f.push_back(BoolField(o + "HTMLIntoImageDirectory", QV_FIELD(Output, HTMLIntoImageDirectory)));
  const std::string t = "ThumbnailSettings.";
  f.push_back(IntField(t + "Quality", QV_FIELD(Thumbnail, Quality)));
  f.push_back(BoolField(t + "Grayscale", QV_FIELD(Thumbnail, Grayscale)));
  f.push_back(StringField(t + "ThumbnailNameMask", QV_FIELD(Thumbnail, ThumbnailNameMask)));
  f.push_back(IntField(t + "ThumbnailWidth", QV_FIELD(Thumbnail, ThumbnailWidth)));
  f.push_back(IntField(t + "ThumbnailHeight", QV_FIELD(Thumbnail, ThumbnailHeight)));
  const std::string b = "TableSettings.";
  f.push_back(IndexField(b + "Alignment", kAlignmentItems, QV_FIELD(Table, Alignment)));
  f.push_back(IntField(b + "BorderSize", QV_FIELD(Table, BorderSize)));
  f.push_back(IntField(b + "CellPadding", QV_FIELD(Table, CellPadding)));
  f.push_back(IntField(b + "CellSpacing", QV_FIELD(Table, CellSpacing)));
  f.push_back(ColorField(b + "BorderColor", QV_FIELD(Table, BorderColor)));
  f.push_back(ColorField(b + "LightBorderColor", QV_FIELD(Table, LightBorderColor)));
  f.push_back(ColorField(b + "DarkBorderColor", QV_FIELD(Table, DarkBorderColor)));
  f.push_back(BoolField(b + "UseBackgroundImage", QV_FIELD(Table, UseBackgroundImage)));
  f.push_back(StringField(b + "BackgroundImage", QV_FIELD(Table, BackgroundImage)));
  f.push_back(ColorField(b + "BackgroundColor", QV_FIELD(Table, BackgroundColor)));
  const std::string c = "CellSettings.";
  f.push_back(IndexField(c + "HorizontalAlignment", kAlignmentItems, QV_FIELD(Cell, HorizontalAlignment)));
  f.push_back(IndexField(c + "VerticalAlignment", kVerticalAlignmentItems, QV_FIELD(Cell, VerticalAlignment)));
  f.push_back(BoolField(c + "SpecifyWidth", QV_FIELD(Cell, SpecifyWidth)));
  f.push_back(IntField(c + "CellWidth", QV_FIELD(Cell, CellWidth)));
  f.push_back(BoolField(c + "SpecifyHeight", QV_FIELD(Cell, SpecifyHeight)));
  f.push_back(IntField(c + "CellHeight", QV_FIELD(Cell, CellHeight)));
  f.push_back(BoolField(c + "UseBackgroundImage", QV_FIELD(Cell, UseBackgroundImage)));
  f.push_back(StringField(c + "BackgroundImage", QV_FIELD(Cell, BackgroundImage)));
  f.push_back(ColorField(c + "BackgroundColor", QV_FIELD(Cell, BackgroundColor)));
  AddTextBlock(f, "TextSettings.ImageName", [](GallerySettings& s) -> auto& { return s.Text.ImageName; });
  AddTextBlock(f, "TextSettings.ImageSize", [](GallerySettings& s) -> auto& { return s.Text.ImageSize; });
  AddPage(f, "PageSettings", [](GallerySettings& s) -> auto& { return s.Page; });
  const std::string n = "NavigatorSettings.";
  f.push_back(BoolField(n + "Print", QV_FIELD(Navigator, Print)));
  f.push_back(BoolField(n + "Italic", QV_FIELD(Navigator, Italic)));
  f.push_back(BoolField(n + "Bold", QV_FIELD(Navigator, Bold)));
  f.push_back(IndexField(n + "Font", kFontItems, QV_FIELD(Navigator, Font)));
  f.push_back(IndexField(n + "Size", kSizeItems, QV_FIELD(Navigator, Size)));
  f.push_back(ColorField(n + "Color", QV_FIELD(Navigator, Color)));
  f.push_back(IndexField(n + "Alignment", kAlignmentItems, QV_FIELD(Navigator, Alignment)));
  f.push_back(IndexField("PictureSettings.TargetFrame", kTargetFrameItems, QV_FIELD(Picture, TargetFrame)));
  f.push_back(BoolField("PictureSettings.CreatePicturePages", QV_FIELD(Picture, CreatePicturePages)));
  AddPage(f, "PictureSettings.PicturePage", [](GallerySettings& s) -> auto& { return s.Picture.PicturePage; });
  return f;
}

#undef QV_FIELD

const std::vector<Field>& AllFields() {
  static const std::vector<Field> fields = MakeFields();
  return fields;
}

// Whether `name` is `path` or a tail of it that starts at a component boundary.
bool NamesField(const std::string& path, const std::string& name) {
  if (path == name) return true;
  return path.size() > name.size() && path.ends_with(name) &&
         path[path.size() - name.size() - 1] == '.';
}

}  // namespace

const std::vector<FieldInfo>& SettingsFields() {
  static const std::vector<FieldInfo> infos = [] {
    std::vector<FieldInfo> list;
    for (const Field& field : AllFields()) list.push_back(field.info);
    return list;
  }();
  return infos;
}

void SetFieldFromText(GallerySettings& settings, const std::string& name, const std::string& text) {
  const Field* match = nullptr;
  std::vector<std::string> candidates;
  for (const Field& field : AllFields()) {
    if (field.info.path == name) {
      match = &field;
      candidates = {field.info.path};
      break;
    }
    if (NamesField(field.info.path, name)) {
      match = &field;
      candidates.push_back(field.info.path);
    }
  }
  if (candidates.empty()) throw Error("Unknown setting " + name);
  if (candidates.size() > 1) {
    std::string list;
    for (const std::string& c : candidates) list += (list.empty() ? "" : ", ") + c;
    throw Error("Setting " + name + " is ambiguous: use one of " + list);
  }
  match->set(settings, text);
}

}  // namespace quorvel
