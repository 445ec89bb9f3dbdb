// The frame every page is wrapped in: generator comment, head with title, body tag with
// colours and background, the user's custom HTML at the top and bottom.
#pragma once

#include <string>
#include <vector>

#include "job/gallery_settings.h"
#include "job/path_style.h"

namespace quorvel::html {

inline constexpr char kProductWebAddress[] = "https://quorvelandiscope.example.org/";

struct PageFrame {
  std::vector<std::string> Header;
  std::vector<std::string> Footer;
};

PageFrame BuildPageFrame(const PageSettings& page, const std::string& baseDirectory,
                         PathStyle style);

// The link to a background image from pages in `baseDirectory`, percent-encoded.
std::string BackgroundReference(const std::string& imagePath, const std::string& baseDirectory,
                                PathStyle style);

// "<body" with the colour and background attributes, ">".
std::string BodyTag(const PageSettings& page, const std::string& baseDirectory, PathStyle style);

// The generator comment line.
std::string GeneratorComment();

}  // namespace quorvel::html
