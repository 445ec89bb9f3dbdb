// The stored settings of a gallery job in their one fixed order, with their names. The state
// file writes and reads them in this order, and quorvel-batch's --set finds them by these names;
// both walk this one table, so neither can drift from the other.
#pragma once

#include <string>

#include "job/gallery_settings.h"

namespace quorvel {

// Calls one member of `v` per stored setting, in the stored order, with the setting's full
// name ("TextSettings.ImageName.Bold") and a reference to it (const when `Settings` is):
//   v.Int(name, field)            a whole number (ranged fields clamp on assignment)
//   v.Index(name, field, items)   a position in a fixed item list
//   v.Bool(name, field)
//   v.Color(name, field)
//   v.Str(name, field, label)     `label` names the text in messages ("HTML file's mask")
//   v.Lines(name, field, label)
template <typename Settings, typename Visitor>
void VisitStoredSettings(Settings& s, Visitor& v);

// The web group, in its stored order, after the classic settings.
template <typename Settings, typename Visitor>
void VisitWebSettings(Settings& s, Visitor& v);

// Every setting that has a name: the stored classic ones, then the web group.
template <typename Settings, typename Visitor>
void VisitAllSettings(Settings& s, Visitor& v) {
  VisitStoredSettings(s, v);
  VisitWebSettings(s, v);
}

namespace settings_table_detail {

template <typename Block, typename Visitor>
void VisitTextBlock(const std::string& group, Block& b, Visitor& v) {
  v.Bool(group + ".Print", b.Print);
  v.Bool(group + ".Italic", b.Italic);
  v.Bool(group + ".Bold", b.Bold);
  v.Index(group + ".Font", b.Font, kFontItems);
  v.Index(group + ".Size", b.Size, kSizeItems);
  v.Color(group + ".Color", b.Color);
}

template <typename Page, typename Visitor>
void VisitPage(const std::string& group, Page& p, const std::string& label, Visitor& v) {
  v.Str(group + ".Title", p.Title, label + " title");
  v.Bool(group + ".UseBackgroundImage", p.UseBackgroundImage);
  v.Str(group + ".BackgroundImage", p.BackgroundImage, label + " background image");
  v.Color(group + ".BackgroundColor", p.BackgroundColor);
  v.Color(group + ".TextColor", p.TextColor);
  v.Color(group + ".HyperlinkColor", p.HyperlinkColor);
  v.Color(group + ".VisitedHyperlinkColor", p.VisitedHyperlinkColor);
  v.Color(group + ".ActiveHyperlinkColor", p.ActiveHyperlinkColor);
  v.Lines(group + ".TopHTML", p.TopHTML, label + " HTML on the top of the page");
  v.Lines(group + ".BottomHTML", p.BottomHTML, label + " HTML on the bottom of the page");
}

template <typename Output, typename Visitor>
void VisitOutput(Output& o, Visitor& v) {
  const std::string g = "OutputSettings.";
  v.Int(g + "ThumbnailsInRow", o.ThumbnailsInRow);
  v.Int(g + "ThumbnailsInColumn", o.ThumbnailsInColumn);
  v.Bool(g + "UpdateHTML", o.UpdateHTML);
  v.Bool(g + "SplitHTML", o.SplitHTML);
  v.Bool(g + "NewHTMLForEachDirectory", o.NewHTMLForEachDirectory);
  v.Bool(g + "SeparateHTML", o.SeparateHTML);
  v.Str(g + "HTMLFileMask", o.HTMLFileMask, "HTML file's mask");
  v.Str(g + "HTMLFileName", o.HTMLFileName, "HTML file's name");
  v.Str(g + "AllThumbnailsDirectory", o.AllThumbnailsDirectory, "Thumbnails directory");
  v.Str(g + "ThumbnailDirectoryName", o.ThumbnailDirectoryName, "Thumbnail's directory name");
  v.Bool(g + "ThumbnailsIntoImageDirectory", o.ThumbnailsIntoImageDirectory);
  v.Bool(g + "EliminateThumbnailDirectory", o.EliminateThumbnailDirectory);
  v.Str(g + "HTMLDirectory", o.HTMLDirectory, "Directory for HTML output");
  v.Bool(g + "HTMLIntoImageDirectory", o.HTMLIntoImageDirectory);
}

template <typename Thumbnail, typename Visitor>
void VisitThumbnail(Thumbnail& t, Visitor& v) {
  const std::string g = "ThumbnailSettings.";
  v.Int(g + "Quality", t.Quality);
  v.Bool(g + "Grayscale", t.Grayscale);
  v.Str(g + "ThumbnailNameMask", t.ThumbnailNameMask, "Thumbnail image name mask");
  v.Int(g + "ThumbnailWidth", t.ThumbnailWidth);
  v.Int(g + "ThumbnailHeight", t.ThumbnailHeight);
}

template <typename Table, typename Visitor>
void VisitTable(Table& t, Visitor& v) {
  const std::string g = "TableSettings.";
  v.Index(g + "Alignment", t.Alignment, kAlignmentItems);
  v.Int(g + "BorderSize", t.BorderSize);
  v.Int(g + "CellPadding", t.CellPadding);
  v.Int(g + "CellSpacing", t.CellSpacing);
  v.Color(g + "BorderColor", t.BorderColor);
  v.Color(g + "LightBorderColor", t.LightBorderColor);
  v.Color(g + "DarkBorderColor", t.DarkBorderColor);
  v.Bool(g + "UseBackgroundImage", t.UseBackgroundImage);
  v.Str(g + "BackgroundImage", t.BackgroundImage, "Table background image");
  v.Color(g + "BackgroundColor", t.BackgroundColor);
}

template <typename Cell, typename Visitor>
void VisitCell(Cell& c, Visitor& v) {
  const std::string g = "CellSettings.";
  v.Index(g + "HorizontalAlignment", c.HorizontalAlignment, kAlignmentItems);
  v.Index(g + "VerticalAlignment", c.VerticalAlignment, kVerticalAlignmentItems);
  v.Bool(g + "SpecifyWidth", c.SpecifyWidth);
  v.Int(g + "CellWidth", c.CellWidth);
  v.Bool(g + "SpecifyHeight", c.SpecifyHeight);
  v.Int(g + "CellHeight", c.CellHeight);
  v.Bool(g + "UseBackgroundImage", c.UseBackgroundImage);
  v.Str(g + "BackgroundImage", c.BackgroundImage, "Cell background image");
  v.Color(g + "BackgroundColor", c.BackgroundColor);
}

}  // namespace settings_table_detail

template <typename Settings, typename Visitor>
void VisitStoredSettings(Settings& s, Visitor& v) {
  namespace d = settings_table_detail;
  d::VisitOutput(s.Output, v);
  d::VisitThumbnail(s.Thumbnail, v);
  d::VisitTable(s.Table, v);
  d::VisitCell(s.Cell, v);
  d::VisitTextBlock("TextSettings.ImageName", s.Text.ImageName, v);
  d::VisitTextBlock("TextSettings.ImageSize", s.Text.ImageSize, v);
  d::VisitPage("PageSettings", s.Page, "Index page", v);
  d::VisitTextBlock("NavigatorSettings", s.Navigator, v);
  v.Index("NavigatorSettings.Alignment", s.Navigator.Alignment, kAlignmentItems);
  v.Index("PictureSettings.TargetFrame", s.Picture.TargetFrame, kTargetFrameItems);
  v.Bool("PictureSettings.CreatePicturePages", s.Picture.CreatePicturePages);
  d::VisitPage("PictureSettings.PicturePage", s.Picture.PicturePage, "Picture page", v);
}

template <typename Settings, typename Visitor>
void VisitWebSettings(Settings& s, Visitor& v) {
  const std::string g = "WebSettings.";
  auto& w = s.Web;
  v.Bool(g + "PhotoPages", w.PhotoPages);
  v.Int(g + "DisplaySize", w.DisplaySize);
  v.Int(g + "DisplayQuality", w.DisplayQuality);
  v.Bool(g + "PhotoDetails", w.PhotoDetails);
  v.Index(g + "Originals", w.Originals, kOriginalsItems);
  v.Bool(g + "HighDensityThumbnails", w.HighDensityThumbnails);
  v.Bool(g + "PhoneLayout", w.PhoneLayout);
  v.Bool(g + "OtherFormats", w.OtherFormats);
}

}  // namespace quorvel
