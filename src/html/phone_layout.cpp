#include "html/phone_layout.h"

#include <algorithm>

namespace quorvel::html {
namespace {

// On a narrow screen the table becomes a grid of equal columns as many as fit (each row's own
// element steps aside), so a row of five or ten cells never makes the page wider than the
// screen. A cell's height grows with its caption; its content keeps the cell's vertical
// alignment (the caption's leading line break, which in the table ends the image's line, would
// there be an empty line). Long names may break anywhere.
constexpr const char* kPhoneStyle[] = {
    "<style>",
    "img{max-width:100%;height:auto}",
    ".folder{font-weight:bold;border-bottom:1px solid;margin:0 0 3px}",
    "@media (max-width:40em){",
    "table{display:block}",
    "tbody{display:grid;grid-template-columns:repeat(auto-fill,minmax(6.5em,1fr));gap:2px}",
    "tr{display:contents}",
    "td{display:flex;flex-direction:column;justify-content:center;width:auto;height:auto;"
    "overflow-wrap:anywhere}",
    "td>a+br{display:none}",
    "td[valign=top]{justify-content:flex-start}",
    "td[valign=bottom]{justify-content:flex-end}",
    "}",
    "</style>",
};

}  // namespace

void AddPhoneLayout(PageFrame& frame) {
  auto head_end = std::find(frame.Header.begin(), frame.Header.end(), "</head>");
  head_end = frame.Header.insert(head_end, std::begin(kPhoneStyle), std::end(kPhoneStyle));
  frame.Header.insert(head_end, {kCharsetLine, kViewportLine});
  frame.Header.insert(frame.Header.begin(), "<!DOCTYPE html>");
}

}  // namespace quorvel::html
