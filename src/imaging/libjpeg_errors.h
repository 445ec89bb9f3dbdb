// libjpeg's error handling as the three libjpeg files of this folder use it: an error exit that
// keeps libjpeg's own message text and leaves through longjmp into the caller's setjmp frame,
// and warnings (a stream that ends early, for one) that are not failures but are counted, the
// first one's text kept for the image's report. Only files that include jpeglib.h include this;
// the jump never leaves them.
#pragma once

#include <cstdio>
// After cstdio, which it needs.
#include <jpeglib.h>

#include <csetjmp>
#include <string>

#include "job/error.h"

namespace quorvel::imaging {

// Why a guard of this folder (not libjpeg) left a decode through the jump.
enum class Refusal { None, TooManyScans, Stopped };

struct LibjpegErrors {
  jpeg_error_mgr pub;  // pub.num_warnings counts the warnings
  std::jmp_buf jump;
  char text[JMSG_LENGTH_MAX];  // libjpeg's message of the error, the Error's detail
  int first_warning_code;
  char first_warning[JMSG_LENGTH_MAX];
  Refusal refusal;
};

// Makes `errors` the error manager to assign to a libjpeg object's `err`.
jpeg_error_mgr* InstallLibjpegErrors(LibjpegErrors& errors);

// The failure after the error exit: "JPEG error #%d" with libjpeg's message as the detail.
Error LibjpegError(const LibjpegErrors& errors);

// The warnings as one message, empty when there were none: "Premature end of JPEG file (JPEG
// warning #123)", with ", and 4 more" inside the brackets when there were more.
std::string LibjpegWarnings(const LibjpegErrors& errors);

}  // namespace quorvel::imaging
