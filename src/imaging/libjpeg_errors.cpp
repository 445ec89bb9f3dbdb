#include "imaging/libjpeg_errors.h"

#include <string>

namespace quorvel::imaging {
namespace {

void ErrorExit(j_common_ptr cinfo) {
  LibjpegErrors* errors = reinterpret_cast<LibjpegErrors*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, errors->text);
  std::longjmp(errors->jump, 1);
}

// Level -1 is a warning; the others are trace messages, which are not kept.
void EmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  LibjpegErrors* errors = reinterpret_cast<LibjpegErrors*>(cinfo->err);
  if (errors->pub.num_warnings++ == 0) {
    errors->first_warning_code = errors->pub.msg_code;
    (*cinfo->err->format_message)(cinfo, errors->first_warning);
  }
}

void NoOutput(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* InstallLibjpegErrors(LibjpegErrors& errors) {
  jpeg_error_mgr* manager = jpeg_std_error(&errors.pub);
  manager->error_exit = ErrorExit;
  manager->emit_message = EmitMessage;
  manager->output_message = NoOutput;
  errors.text[0] = '\0';
  errors.first_warning[0] = '\0';
  errors.refusal = Refusal::None;
  return manager;
}

Error LibjpegError(const LibjpegErrors& errors) {
  return Error(FormatMessage("JPEG error #%d", std::to_string(errors.pub.msg_code)), errors.text);
}

std::string LibjpegWarnings(const LibjpegErrors& errors) {
  const long count = errors.pub.num_warnings;
  if (count == 0) return {};
  std::string text = std::string(errors.first_warning) + " (JPEG warning #" +
                     std::to_string(errors.first_warning_code);
  if (count > 1) text += ", and " + std::to_string(count - 1) + " more";
  return text + ")";
}

}  // namespace quorvel::imaging
