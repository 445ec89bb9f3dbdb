#include "html/table_tags.h"

#include "html/html_color.h"
#include "html/page_frame.h"

namespace quorvel::html {
namespace {

std::string Attribute(const char* name, std::string_view value) {
  return std::string(" ") + name + "=\"" + std::string(value) + "\"";
}

}  // namespace

std::string BuildTableOpenTag(const TableSettings& t, const std::string& baseDirectory,
                              PathStyle style) {
  std::string tag;
  if (t.Alignment != 0) tag += "<div align=\"" + std::string(kAlignmentItems[t.Alignment]) + "\">";
  tag += "<table";
  tag += Attribute("border", std::to_string(t.BorderSize));
  tag += Attribute("cellpadding", std::to_string(t.CellPadding));
  tag += Attribute("cellspacing", std::to_string(t.CellSpacing));
  tag += ColorAttribute("bgcolor", t.BackgroundColor);
  tag += ColorAttribute("bordercolor", t.BorderColor);
  tag += ColorAttribute("bordercolorlight", t.LightBorderColor);
  tag += ColorAttribute("bordercolordark", t.DarkBorderColor);
  if (t.UseBackgroundImage) {
    tag += Attribute("background", BackgroundReference(t.BackgroundImage, baseDirectory, style));
  }
  return tag + ">";
}

std::string BuildCellOpenTag(const CellSettings& c, const std::string& baseDirectory,
                             PathStyle style) {
  std::string tag = "<td";
  if (c.HorizontalAlignment != 0) tag += Attribute("align", kAlignmentItems[c.HorizontalAlignment]);
  if (c.VerticalAlignment != 0)
    tag += Attribute("valign", kVerticalAlignmentItems[c.VerticalAlignment]);
  if (c.SpecifyWidth) tag += Attribute("width", std::to_string(c.CellWidth));
  if (c.SpecifyHeight) tag += Attribute("height", std::to_string(c.CellHeight));
  tag += ColorAttribute("bgcolor", c.BackgroundColor);
  if (c.UseBackgroundImage) {
    tag += Attribute("background", BackgroundReference(c.BackgroundImage, baseDirectory, style));
  }
  return tag + ">";
}

std::string TableCloseLine(const TableSettings& table) {
  return table.Alignment != 0 ? "</table></div>" : "</table>";
}

}  // namespace quorvel::html
