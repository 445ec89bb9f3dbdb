// libjpeg's error handling as the three libjpeg files of this folder use it: an error exit that
// keeps libjpeg's own message text and leaves through longjmp into the caller's setjmp frame,
// and warnings (a stream that ends early, for one) that are not failures. Only files that
// include jpeglib.h include this; the jump never leaves them.
#pragma once

#include <cstdio>
// After cstdio, which it needs.
#include <jpeglib.h>

#include <csetjmp>

#include "job/error.h"

namespace quorvel::imaging {

struct LibjpegErrors {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char text[JMSG_LENGTH_MAX];  // libjpeg's message of the error, the Error's detail
};

// Makes `errors` the error manager to assign to a libjpeg object's `err`.
jpeg_error_mgr* InstallLibjpegErrors(LibjpegErrors& errors);

// The failure after the error exit: "JPEG error #%d" with libjpeg's message as the detail.
Error LibjpegError(const LibjpegErrors& errors);

}  // namespace quorvel::imaging
