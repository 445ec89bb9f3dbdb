// Saving and loading state files: the header, then the 79 stored settings in one fixed order
// shared by the writer and the reader.
#include "persist/state_file.h"

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "job/error.h"
#include "persist/bounded_file.h"
#include "persist/typed_value_file.h"
#include "platform/file_system.h"

namespace quorvel::persist {
namespace {

constexpr std::string_view kSignature = "QUORVELANDISCOPE";
constexpr char kVersion = 1;

// The one place that knows the stored order. `Settings` is const for writing and mutable
// for reading; `labels` name the texts in messages about them.
template <typename Block, typename Visitor>
void VisitTextBlock(Block& b, Visitor& v) {
  v.Bool(b.Print);
  v.Bool(b.Italic);
  v.Bool(b.Bold);
  v.Int(b.Font);
  v.Int(b.Size);
  v.Color(b.Color);
}

template <typename Page, typename Visitor>
void VisitPage(Page& p, Visitor& v, const std::string& label) {
  v.Str(p.Title, label + " title");
  v.Bool(p.UseBackgroundImage);
  v.Str(p.BackgroundImage, label + " background image");
  v.Color(p.BackgroundColor);
  v.Color(p.TextColor);
  v.Color(p.HyperlinkColor);
  v.Color(p.VisitedHyperlinkColor);
  v.Color(p.ActiveHyperlinkColor);
  v.Lines(p.TopHTML, label + " HTML on the top of the page");
  v.Lines(p.BottomHTML, label + " HTML on the bottom of the page");
}

template <typename Output, typename Visitor>
void VisitOutput(Output& o, Visitor& v) {
  v.Int(o.ThumbnailsInRow);
  v.Int(o.ThumbnailsInColumn);
  v.Bool(o.UpdateHTML);
  v.Bool(o.SplitHTML);
  v.Bool(o.NewHTMLForEachDirectory);
  v.Bool(o.SeparateHTML);
  v.Str(o.HTMLFileMask, "HTML file's mask");
  v.Str(o.HTMLFileName, "HTML file's name");
  v.Str(o.AllThumbnailsDirectory, "Thumbnails directory");
  v.Str(o.ThumbnailDirectoryName, "Thumbnail's directory name");
  v.Bool(o.ThumbnailsIntoImageDirectory);
  v.Bool(o.EliminateThumbnailDirectory);
  v.Str(o.HTMLDirectory, "Directory for HTML output");
  v.Bool(o.HTMLIntoImageDirectory);
}

template <typename Settings, typename Visitor>
void VisitStoredValues(Settings& s, Visitor& v) {
  VisitOutput(s.Output, v);
  auto& t = s.Thumbnail;
  v.Int(t.Quality);
  v.Bool(t.Grayscale);
  v.Str(t.ThumbnailNameMask, "Thumbnail image name mask");
  v.Int(t.ThumbnailWidth);
  v.Int(t.ThumbnailHeight);
  auto& table = s.Table;
  v.Int(table.Alignment);
  v.Int(table.BorderSize);
  v.Int(table.CellPadding);
  v.Int(table.CellSpacing);
  v.Color(table.BorderColor);
  v.Color(table.LightBorderColor);
  v.Color(table.DarkBorderColor);
  v.Bool(table.UseBackgroundImage);
  v.Str(table.BackgroundImage, "Table background image");
  v.Color(table.BackgroundColor);
  auto& cell = s.Cell;
  v.Int(cell.HorizontalAlignment);
  v.Int(cell.VerticalAlignment);
  v.Bool(cell.SpecifyWidth);
  v.Int(cell.CellWidth);
  v.Bool(cell.SpecifyHeight);
  v.Int(cell.CellHeight);
  v.Bool(cell.UseBackgroundImage);
  v.Str(cell.BackgroundImage, "Cell background image");
  v.Color(cell.BackgroundColor);
  VisitTextBlock(s.Text.ImageName, v);
  VisitTextBlock(s.Text.ImageSize, v);
  VisitPage(s.Page, v, "Index page");
  auto& nav = s.Navigator;
  v.Bool(nav.Print);
  v.Bool(nav.Italic);
  v.Bool(nav.Bold);
  v.Int(nav.Font);
  v.Int(nav.Size);
  v.Color(nav.Color);
  v.Int(nav.Alignment);
  v.Int(s.Picture.TargetFrame);
  v.Bool(s.Picture.CreatePicturePages);
  VisitPage(s.Picture.PicturePage, v, "Picture page");
}

class Encoder {
 public:
  template <typename T>
  void Int(const T& value) {
    PutInt(out_, static_cast<std::int32_t>(value));
  }
  void Bool(bool value) { PutBool(out_, value); }
  void Color(ColorValue value) { PutColor(out_, value); }
  void Str(const std::string& text, const std::string& label) {
    if (text.size() > static_cast<std::size_t>(kMaxStringBytes)) {
      throw Error(FormatMessage("Cannot save the state: %s is longer than 501 bytes", label));
    }
    PutStr(out_, text);
  }
  void Lines(const quorvel::Lines& lines, const std::string& label) {
    if (lines.size() > static_cast<std::size_t>(kMaxLines)) {
      throw Error(FormatMessage("Cannot save the state: %s has more than 4096 lines", label));
    }
    for (const std::string& line : lines) {
      if (line.size() > static_cast<std::size_t>(kMaxLineBytes)) {
        throw Error(
            FormatMessage("Cannot save the state: a line of %s is longer than 3073 bytes", label));
      }
    }
    PutLines(out_, lines);
  }
  TypedValueWriter& out() { return out_; }

 private:
  TypedValueWriter out_;
};

// Adds up the largest size each value can take.
class SizeBound {
 public:
  template <typename T>
  void Int(const T&) {
    bytes_ += 4;
  }
  void Bool(bool) { bytes_ += 1; }
  void Color(ColorValue) { bytes_ += 4; }
  void Str(const std::string&, const std::string&) { bytes_ += 4 + kMaxStringBytes; }
  void Lines(const quorvel::Lines&, const std::string&) {
    bytes_ += 4 + std::uint64_t{kMaxLines} * (4 + kMaxLineBytes);
  }
  std::uint64_t bytes() const { return bytes_; }

 private:
  std::uint64_t bytes_ = 0;
};

class Decoder {
 public:
  explicit Decoder(TypedValueReader& in) : in_(in) {}

  // Assigning through the field's own type clamps ranged values into their range.
  template <typename T>
  void Int(T& field) {
    field = GetInt(in_);
  }
  void Bool(bool& field) { field = GetBool(in_); }
  void Color(ColorValue& field) { field = GetColor(in_); }
  void Str(std::string& field, const std::string&) { field = GetStr(in_); }
  void Lines(quorvel::Lines& field, const std::string&) {
    quorvel::Lines lines;
    GetLines(in_, lines);
    field = std::move(lines);
  }

 private:
  TypedValueReader& in_;
};

std::string NotAStateFile(const std::string& path) {
  return FormatMessage("%s is not a state file", path.empty() ? std::string("The file") : path);
}

// The signature must be there; the version byte is read past unexamined, so files of later
// versions that kept the layout still load.
void CheckHeader(std::string_view bytes, const std::string& path) {
  const std::size_t present = std::min(bytes.size(), kSignature.size());
  if (bytes.substr(0, present) != kSignature.substr(0, present)) throw Error(NotAStateFile(path));
  if (bytes.size() <= kSignature.size()) throw Error(WithPath(kReadBeyondEndOfFile, path));
}

}  // namespace

std::uint64_t MaxStateFileBytes() {
  const GallerySettings any;
  SizeBound bound;
  VisitStoredValues(any, bound);
  return kSignature.size() + 1 + bound.bytes();
}

std::string EncodeState(const GallerySettings& settings) {
  Encoder encoder;
  encoder.out().Append(kSignature);
  encoder.out().Append(std::string_view(&kVersion, 1));
  VisitStoredValues(settings, encoder);
  return encoder.out().Release();
}

GallerySettings DecodeState(std::string_view bytes, const GallerySettings& current,
                            const std::string& path_for_messages) {
  CheckHeader(bytes, path_for_messages);
  TypedValueReader reader(bytes.substr(kSignature.size() + 1));
  // Everything is read into a copy: the caller's settings change only for a complete file.
  GallerySettings loaded = current;
  Decoder decoder(reader);
  try {
    VisitStoredValues(loaded, decoder);
  } catch (const FormatError&) {
    throw Error(NotAStateFile(path_for_messages));
  } catch (const Error& e) {
    throw Error(WithPath(e.what(), path_for_messages));
  }
  loaded.Output.Directories = current.Output.Directories;
  return loaded;
}

void SaveState(const GallerySettings& settings, const std::string& path) {
  const std::string bytes = EncodeState(settings);
  if (const int error = platform::WriteFileAtomically(path, bytes); error != 0) {
    throw Error(WithPath(IoErrorText(error), path));
  }
}

GallerySettings LoadState(const std::string& path, const GallerySettings& current) {
  std::string bytes;
  const int error = ReadBoundedFile(path, MaxStateFileBytes(), bytes);
  // A directory, a pipe, a device or a file larger than any state file is refused unread.
  if (error == EISDIR || error == EINVAL || error == EFBIG) throw Error(NotAStateFile(path));
  if (error != 0) throw Error(WithPath(IoErrorText(error), path));
  return DecodeState(bytes, current, path);
}

}  // namespace quorvel::persist
