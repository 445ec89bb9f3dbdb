// What an index page needs on a phone: standards mode, a declared character set, a viewport as
// wide as the screen and a short style sheet, so that thumbnails and captions read without
// zooming and the table never needs a horizontal scroll.
#pragma once

#include <string>

#include "html/page_frame.h"

namespace quorvel::html {

// The two head lines every web page carries: the character set (pages are ASCII, so UTF-8 is
// always true) and a viewport as wide as the device.
inline constexpr char kCharsetLine[] = "<meta charset=\"utf-8\">";
inline constexpr char kViewportLine[] =
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">";

// Adds "<!DOCTYPE html>" as the frame's first line and, before "</head>", the two lines above
// and the phone style sheet. The style sets no colour, font or alignment on the page's own
// elements, so the attributes the user chose keep working.
void AddPhoneLayout(PageFrame& frame);

}  // namespace quorvel::html
