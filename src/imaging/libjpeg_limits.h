// The bounds of DecodeLimits as a libjpeg decode keeps them: the scan limit and the stop flag
// through libjpeg's progress monitor, which it calls at least once per row of 8 x 8 blocks of
// every scan and once per call for rows; the memory a header announces, checked before
// jpeg_start_decompress takes it. Only files that include jpeglib.h include this.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/decode_limits.h"
#include "imaging/libjpeg_errors.h"

namespace quorvel::imaging {

// Plain data, so that it may live in a frame a longjmp leaves.
struct DecodeWatch {
  jpeg_progress_mgr pub;
  LibjpegErrors* errors;
  int max_scans;
  const std::atomic<bool>* stop;
};

// Makes `watch` the progress monitor of `cinfo`: past `limits.max_scans` scans, or once the stop
// flag is set, it leaves through `errors`' jump with the refusal noted there.
void WatchDecode(jpeg_decompress_struct& cinfo, DecodeWatch& watch, LibjpegErrors& errors,
                 const DecodeLimits& limits);

// The failure of a decode that left through the jump, named after `name`: "%s has more than
// the %d scans accepted", "Stopped while decoding %s", or LibjpegError.
Error DecodeFailure(const LibjpegErrors& errors, const std::string& name,
                    const DecodeLimits& limits);

// What decoding the picture whose header `cinfo` has read takes from libjpeg at full scale:
// every coefficient for a progressive or multi-scan file, and the rows it keeps.
std::uint64_t DecodeMemory(const jpeg_decompress_struct& cinfo);

// Throws Error naming `name` when DecodeMemory is more than `limits.memory_budget`.
void RefuseOverBudget(const std::string& name, const jpeg_decompress_struct& cinfo,
                      const DecodeLimits& limits);

}  // namespace quorvel::imaging
