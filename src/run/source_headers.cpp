#include "run/source_headers.h"

#include <exception>

#include "imaging/picture_reader.h"
#include "job/error.h"
#include "job/image_formats.h"
#include "run/parallel_for.h"

namespace quorvel {

std::vector<SourceHeaderResult> ReadSourceHeaders(const std::vector<std::string>& paths,
                                                  int workers) {
  std::vector<SourceHeaderResult> results(paths.size());
  ForEachInParallel(paths.size(), workers, [&](std::size_t i) {
    try {
      const ImageFormat format = FormatOfName(paths[i]);
      results[i].header = imaging::IsDecodedWhole(format)
                              ? imaging::ReadPictureSourceHeader(paths[i], format)
                              : imaging::ReadSourceHeader(paths[i]);
    } catch (const Error& e) {
      results[i].failure = MessageWithDetail(e);
    } catch (const std::exception& e) {
      // Nothing else is expected; if it happens it is this image's failure, not the run's.
      results[i].failure = paths[i] + ": " + e.what();
    }
  });
  return results;
}

}  // namespace quorvel
