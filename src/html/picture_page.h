// The page of one picture: the full image inside its own page frame, written into the image's
// directory.
#pragma once

#include <string>

#include "html/page_frame.h"
#include "job/gallery_settings.h"
#include "job/path_style.h"

namespace quorvel::html {

// The frame of picture pages: as the index pages' frame, but the top HTML is not followed by
// an empty line and the bottom HTML not preceded by one. Empty when picture pages are off.
PageFrame BuildPicturePageFrame(const PictureSettings& pictures,
                                const std::string& currentDirectory, PathStyle style);

// The whole page, lines ended by CR LF.
std::string PicturePageText(const PageFrame& frame, const std::string& imageFileName,
                            PathStyle style);

// Builds the frame for `currentDirectory` and writes the page. Throws
// Error("Cannot create file %s (reason)").
void WritePicturePage(const std::string& pagePath, const PictureSettings& pictures,
                      const std::string& currentDirectory, const std::string& imageFileName,
                      PathStyle style);

}  // namespace quorvel::html
