#include "html/picture_page.h"

#include "html/escaping.h"
#include "job/error.h"
#include "platform/file_system.h"

namespace quorvel::html {

PageFrame BuildPicturePageFrame(const PictureSettings& pictures,
                                const std::string& currentDirectory, PathStyle style) {
  if (!pictures.CreatePicturePages) return {};
  PageSettings page = pictures.PicturePage;
  const Lines top = std::move(page.TopHTML);
  const Lines bottom = std::move(page.BottomHTML);
  page.TopHTML.clear();
  page.BottomHTML.clear();
  PageFrame frame = BuildPageFrame(page, currentDirectory, style);
  frame.Header.insert(frame.Header.end(), top.begin(), top.end());
  frame.Footer.insert(frame.Footer.begin(), bottom.begin(), bottom.end());
  return frame;
}

std::string PicturePageText(const PageFrame& frame, const std::string& imageFileName,
                            PathStyle style) {
  std::string text;
  for (const std::string& line : frame.Header) text += line + "\r\n";
  text += "\r\n";
  text += "<img src=\"" + EncodeUrlPath(imageFileName, style) + "\">\r\n";
  for (const std::string& line : frame.Footer) text += line + "\r\n";
  return text;
}

void WritePicturePage(const std::string& pagePath, const PictureSettings& pictures,
                      const std::string& currentDirectory, const std::string& imageFileName,
                      PathStyle style) {
  const PageFrame frame = BuildPicturePageFrame(pictures, currentDirectory, style);
  const int error =
      platform::WriteFileAtomically(pagePath, PicturePageText(frame, imageFileName, style));
  if (error != 0) throw Error(FileErrorMessage("Cannot create file %s", pagePath, error));
}

}  // namespace quorvel::html
