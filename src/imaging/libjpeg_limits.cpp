#include "imaging/libjpeg_limits.h"

#include <algorithm>

#include "job/error.h"

namespace quorvel::imaging {
namespace {

void Monitor(j_common_ptr cinfo) {
  DecodeWatch* watch = reinterpret_cast<DecodeWatch*>(cinfo->progress);
  Refusal refusal = Refusal::None;
  if (watch->stop != nullptr && watch->stop->load(std::memory_order_relaxed)) {
    refusal = Refusal::Stopped;
  } else if (cinfo->is_decompressor &&
             reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > watch->max_scans) {
    refusal = Refusal::TooManyScans;
  }
  if (refusal == Refusal::None) return;
  watch->errors->refusal = refusal;
  std::longjmp(watch->errors->jump, 1);
}

}  // namespace

void WatchDecode(jpeg_decompress_struct& cinfo, DecodeWatch& watch, LibjpegErrors& errors,
                 const DecodeLimits& limits) {
  watch.pub.progress_monitor = Monitor;
  watch.errors = &errors;
  watch.max_scans = limits.max_scans;
  watch.stop = limits.stop;
  cinfo.progress = &watch.pub;
}

Error DecodeFailure(const LibjpegErrors& errors, const std::string& name,
                    const DecodeLimits& limits) {
  switch (errors.refusal) {
    case Refusal::TooManyScans:
      return Error(name + " has more than the " + std::to_string(limits.max_scans) +
                   " scans accepted");
    case Refusal::Stopped:
      return Error("Stopped while decoding " + name);
    case Refusal::None:
      break;
  }
  return LibjpegError(errors);
}

std::uint64_t DecodeMemory(const jpeg_decompress_struct& c) {
  std::uint64_t bytes = 0;
  int max_v = 1;
  // libjpeg buffers the whole picture's coefficients when it cannot decode in one pass.
  const bool buffered = c.progressive_mode || c.comps_in_scan < c.num_components;
  for (int i = 0; i < c.num_components; ++i) {
    const jpeg_component_info& comp = c.comp_info[i];
    max_v = std::max(max_v, comp.v_samp_factor);
    if (!buffered) continue;
    const auto round_up = [](std::uint64_t n, int m) { return (n + m - 1) / m * m; };
    bytes += round_up(comp.width_in_blocks, comp.h_samp_factor) *
             round_up(comp.height_in_blocks, comp.v_samp_factor) * sizeof(JBLOCK);
  }
  // A few row groups of every component, the colour and output rows, and our own batch of 16
  // rows in two forms: generous, so that the check stays on the safe side.
  const std::uint64_t width = c.image_width;
  return bytes + width * static_cast<std::uint64_t>(c.num_components) * max_v * DCTSIZE * 4 +
         width * 7 * 16;
}

void RefuseOverBudget(const std::string& name, const jpeg_decompress_struct& cinfo,
                      const DecodeLimits& limits) {
  const std::uint64_t needed = DecodeMemory(cinfo);
  if (needed <= limits.memory_budget) return;
  const std::string kind = cinfo.progressive_mode ? "progressive" : "multi-scan";
  throw OverBudgetError(name, needed, kind, cinfo.image_width, cinfo.image_height,
                        limits.memory_budget);
}

}  // namespace quorvel::imaging
