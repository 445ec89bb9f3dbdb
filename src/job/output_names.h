// Where every output file of a run goes and what it is called: thumbnails, index pages,
// picture pages and thumbnail directories.
#pragma once

#include <string>
#include <string_view>

#include "job/gallery_settings.h"
#include "job/path_style.h"

namespace quorvel {

// The thumbnail mask expanded for an image file name ("%f" base name, "%%" percent, any other
// placeholder dropped), followed by the image's own extension.
std::string ThumbnailFileName(std::string_view mask, std::string_view fileName, PathStyle style);
// The same with `base` in place of "%f"; `fileName` (no directory) gives the extension.
std::string ThumbnailNameWithBase(std::string_view mask, std::string_view base,
                                  std::string_view fileName);

// Whether a mask holds the placeholder "%" + `code` ("%Dn" counts as "%n").
bool MaskHasPlaceholder(std::string_view mask, char code);

// The HTML file mask expanded for page `n` of the directory named `directoryName`.
std::string ExpandPageMask(std::string_view mask, int n, std::string_view directoryName);

// Whether index pages are named by HTMLFileMask rather than HTMLFileName.
bool PageNamesUseMask(const OutputSettings& output);

// Full path of index page `n` of the page sequence of `currentDirectory`.
std::string PageFileName(const OutputSettings& output, std::string_view currentDirectory, int n,
                         PathStyle style);

// The thumbnail directory of images in `currentDirectory`.
std::string ThumbnailDirectoryFor(const OutputSettings& output, std::string_view currentDirectory,
                                  PathStyle style);

// The directory of the photo pages and display copies of the images in `currentDirectory`:
// "photos" in the directory their index pages are written to.
std::string PhotosDirectoryFor(const OutputSettings& output, std::string_view currentDirectory,
                               PathStyle style);

// The 2x thumbnail beside a thumbnail: "a_thumb.jpg" gives "a_thumb@2x.jpg".
std::string DoubleThumbnailName(std::string_view thumbnailName);

// The picture page of an image: its directory, its base name, ".html".
std::string PicturePageName(std::string_view currentDirectory, std::string_view baseName,
                            PathStyle style);

}  // namespace quorvel
