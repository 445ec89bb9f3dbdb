#include "imaging/libjpeg_errors.h"

#include <string>

namespace quorvel::imaging {
namespace {

void ErrorExit(j_common_ptr cinfo) {
  LibjpegErrors* errors = reinterpret_cast<LibjpegErrors*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, errors->text);
  std::longjmp(errors->jump, 1);
}
void IgnoreMessage(j_common_ptr, int) {}
void NoOutput(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* InstallLibjpegErrors(LibjpegErrors& errors) {
  jpeg_error_mgr* manager = jpeg_std_error(&errors.pub);
  manager->error_exit = ErrorExit;
  manager->emit_message = IgnoreMessage;
  manager->output_message = NoOutput;
  errors.text[0] = '\0';
  return manager;
}

Error LibjpegError(const LibjpegErrors& errors) {
  return Error(FormatMessage("JPEG error #%d", std::to_string(errors.pub.msg_code)), errors.text);
}

}  // namespace quorvel::imaging
