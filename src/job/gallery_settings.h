// The complete option set of one gallery job, in eight groups, with every default in one place.
// One plain value type: the window, the state file, the run and quorvel-batch all pass it around.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "job/ranged_int.h"

namespace quorvel {

// -1 is Default (no attribute written); any other value is a colour 0x00BBGGRR.
using ColorValue = std::int32_t;
inline constexpr ColorValue kDefaultColor = -1;

using Lines = std::vector<std::string>;

struct OutputSettings {
  RangedInt<1, 1000> ThumbnailsInRow{5};
  RangedInt<1, 1000> ThumbnailsInColumn{3};
  bool UpdateHTML = true;
  bool SplitHTML = false;
  bool NewHTMLForEachDirectory = false;
  bool SeparateHTML = false;
  std::string HTMLFileMask = "index%3n.html";
  std::string HTMLFileName = "index.html";
  std::string AllThumbnailsDirectory;
  std::string ThumbnailDirectoryName = "thumb";
  bool ThumbnailsIntoImageDirectory = false;
  bool EliminateThumbnailDirectory = true;
  std::string HTMLDirectory;
  bool HTMLIntoImageDirectory = false;
  std::vector<std::string> Directories;  // not stored in state files

  friend bool operator==(const OutputSettings&, const OutputSettings&) = default;
};

struct ThumbnailSettings {
  RangedInt<1, 100> Quality{60};
  bool Grayscale = false;
  std::string ThumbnailNameMask = "%f_thumb";
  RangedInt<15, 1000> ThumbnailWidth{70};
  RangedInt<15, 1000> ThumbnailHeight{70};

  friend bool operator==(const ThumbnailSettings&, const ThumbnailSettings&) = default;
};

struct TableSettings {
  RangedInt<0, 3> Alignment{0};
  RangedInt<0, 100> BorderSize{1};
  RangedInt<0, 100> CellPadding{1};
  RangedInt<0, 100> CellSpacing{2};
  ColorValue BorderColor = kDefaultColor;
  ColorValue LightBorderColor = kDefaultColor;
  ColorValue DarkBorderColor = kDefaultColor;
  bool UseBackgroundImage = false;
  std::string BackgroundImage;
  ColorValue BackgroundColor = kDefaultColor;

  friend bool operator==(const TableSettings&, const TableSettings&) = default;
};

struct CellSettings {
  RangedInt<0, 3> HorizontalAlignment{3};
  RangedInt<0, 3> VerticalAlignment{3};
  bool SpecifyWidth = true;
  std::int32_t CellWidth = 70;
  bool SpecifyHeight = true;
  std::int32_t CellHeight = 70;
  bool UseBackgroundImage = false;
  std::string BackgroundImage;
  ColorValue BackgroundColor = kDefaultColor;

  friend bool operator==(const CellSettings&, const CellSettings&) = default;
};

struct TextBlockSettings {
  bool Print = true;
  bool Italic = false;
  bool Bold = false;
  RangedInt<0, 13> Font{0};
  RangedInt<0, 21> Size{0};
  ColorValue Color = kDefaultColor;

  friend bool operator==(const TextBlockSettings&, const TextBlockSettings&) = default;
};

struct TextSettings {
  TextBlockSettings ImageName;
  TextBlockSettings ImageSize;

  friend bool operator==(const TextSettings&, const TextSettings&) = default;
};

struct PageSettings {
  std::string Title = "New Page";
  bool UseBackgroundImage = false;
  std::string BackgroundImage;
  ColorValue BackgroundColor = kDefaultColor;
  ColorValue TextColor = kDefaultColor;
  ColorValue HyperlinkColor = kDefaultColor;
  ColorValue VisitedHyperlinkColor = kDefaultColor;
  ColorValue ActiveHyperlinkColor = kDefaultColor;
  Lines TopHTML;
  Lines BottomHTML;

  friend bool operator==(const PageSettings&, const PageSettings&) = default;
};

// The navigator line is one styled text block with an alignment of its own.
struct NavigatorSettings : TextBlockSettings {
  RangedInt<0, 3> Alignment{0};

  friend bool operator==(const NavigatorSettings&, const NavigatorSettings&) = default;
};

struct PictureSettings {
  RangedInt<0, 4> TargetFrame{0};
  bool CreatePicturePages = false;
  PageSettings PicturePage;

  friend bool operator==(const PictureSettings&, const PictureSettings&) = default;
};

// The gallery for today's visitors, opt-in part by part: photo pages with display copies, 2x
// thumbnails, pages that fit a phone, photos of other formats. With every part off a run makes
// the classic gallery byte for byte. Kept in state files after the classic settings, and only
// when one of them differs from its default.
struct WebSettings {
  bool PhotoPages = false;  // each thumbnail opens a page with a display copy of its photo
  RangedInt<100, 10000> DisplaySize{1600};  // longest side of a display copy
  RangedInt<1, 100> DisplayQuality{85};
  bool PhotoDetails = false;           // the date taken, camera and exposure on photo pages
  RangedInt<0, 2> Originals{0};        // kOriginalsItems: how photo pages reach the original
  bool HighDensityThumbnails = false;  // a 2x thumbnail beside each, for sharp screens
  bool PhoneLayout = false;            // character set, viewport and a layout that fits a phone
  bool OtherFormats = false;           // HEIC, HEIF, AVIF, PNG and WebP photos as well as JPEG

  friend bool operator==(const WebSettings&, const WebSettings&) = default;
};

struct GallerySettings {
  OutputSettings Output;
  ThumbnailSettings Thumbnail;
  TableSettings Table;
  CellSettings Cell;
  TextSettings Text;
  PageSettings Page;
  NavigatorSettings Navigator;
  PictureSettings Picture;
  WebSettings Web;

  friend bool operator==(const GallerySettings&, const GallerySettings&) = default;
};

// The fixed item lists; an index setting is a position in one of them.
inline constexpr std::array<std::string_view, 4> kAlignmentItems = {"default", "left", "right",
                                                                    "center"};
inline constexpr std::array<std::string_view, 4> kVerticalAlignmentItems = {"default", "top",
                                                                            "bottom", "middle"};
inline constexpr std::array<std::string_view, 14> kFontItems = {
    "default font",
    "Arial",
    "Helvetica",
    "Georgia",
    "Times New Roman",
    "Times",
    "Courier New",
    "Courier",
    "Verdana",
    "Arial, Helvetica, sans-serif",
    "Times New Roman, Times, serif",
    "Courier New, Courier, mono",
    "Georgia, Times New Roman, Times, serif",
    "Verdana, Arial, Helvetica, sans-serif"};
inline constexpr std::array<std::string_view, 22> kSizeItems = {
    "none", "1",  "2",  "3",  "4",  "5",  "6",  "7",  "+1", "+2", "+3",
    "+4",   "+5", "+6", "+7", "-1", "-2", "-3", "-4", "-5", "-6", "-7"};
inline constexpr std::array<std::string_view, 5> kTargetFrameItems = {
    "Page Default (none)", "Same Frame", "Whole Page", "New Window", "Parent Frame"};
// What each target frame entry adds to the thumbnail link's opening tag.
inline constexpr std::array<std::string_view, 5> kTargetFrameAttributes = {
    "", " target=\"_self\"", " target=\"_top\"", " target=\"_blank\"", " target=\"_parent\""};

inline constexpr std::array<std::string_view, 3> kOriginalsItems = {
    "Not published", "Copied into the gallery", "Linked where they are"};

// The web-ready set as quorvel-batch's --web and the window's check box turn it on and off:
// photo pages, 2x thumbnails, the phone layout and other formats. The photo details (they tell
// when a photo was taken) and the originals stay as they are set.
void SetWebReady(WebSettings& web, bool on);
// Whether every part that SetWebReady turns on is on.
bool IsWebReady(const WebSettings& web);

// A number typed into a ranged editor: text that is not a number reads as `fallback` (the
// lower end of the range; 0 for the unranged cell sizes).
std::int32_t ParseEditorInteger(std::string_view text, std::int32_t fallback);

}  // namespace quorvel
