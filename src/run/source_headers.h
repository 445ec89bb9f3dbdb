// The headers of a run's images, read while the run is planned: an image whose header cannot be
// read is left out with its failure before any page or navigator is laid out.
#pragma once

#include <string>
#include <vector>

#include "imaging/jpeg_header.h"

namespace quorvel {

struct SourceHeaderResult {
  imaging::SourceHeader header;
  std::string failure;  // the message, with libjpeg's words in brackets; empty when read
};

// One result per path, in order; `workers` threads share the reading.
std::vector<SourceHeaderResult> ReadSourceHeaders(const std::vector<std::string>& paths,
                                                  int workers);

}  // namespace quorvel
