#include "run/source_headers.h"

#include "job/error.h"
#include "run/thumbnail_workers.h"

namespace quorvel {

std::vector<SourceHeaderResult> ReadSourceHeaders(const std::vector<std::string>& paths,
                                                  int workers) {
  std::vector<SourceHeaderResult> results(paths.size());
  ForEachInParallel(paths.size(), workers, [&](std::size_t i) {
    try {
      results[i].header = imaging::ReadSourceHeader(paths[i]);
    } catch (const Error& e) {
      results[i].failure = MessageWithDetail(e);
    }
  });
  return results;
}

}  // namespace quorvel
