// Thumbnails made on worker threads ahead of the page writer, which takes the results strictly
// in image order. Each worker keeps its own image holder, so its buffers are allocated once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "imaging/fast_image.h"
#include "imaging/picture_outputs.h"

namespace quorvel {

struct ThumbnailJob {
  imaging::PictureRequest request;  // the thumbnail and whatever else is made of the photo
  std::string directory;            // created first when not empty (thumbnails beside the images)
};

struct ThumbnailResult {
  std::string failure;   // the message, empty on success
  bool made = false;     // false when an existing thumbnail was kept (or on failure)
  bool stopped = false;  // the request's stop flag ended the decode: neither made nor failed
  std::vector<std::string> warnings;  // MakeThumbnail's, for the run's summary
};

// Makes one job's thumbnail. A failure's message carries libjpeg's own words in brackets after
// the system's text.
ThumbnailResult MakeThumbnailJob(const ThumbnailJob& job, imaging::FastImage& holder);

class ThumbnailWorkers {
 public:
  // Starts `workers` threads over the jobs, taken in list order. A job whose target an earlier
  // job also writes waits for that one, so no two threads ever write the same file. `stop`,
  // when given, becomes every job's stop flag (PictureRequest::limits.stop).
  ThumbnailWorkers(std::vector<ThumbnailJob> jobs, int workers, std::atomic<bool>* stop = nullptr);
  // Cancels and joins.
  ~ThumbnailWorkers();
  ThumbnailWorkers(const ThumbnailWorkers&) = delete;
  ThumbnailWorkers& operator=(const ThumbnailWorkers&) = delete;

  // Blocks until job `index` is done and returns MakeThumbnailJob's result for it. Marks the
  // jobs before it as taken, which lets the workers run further ahead.
  ThumbnailResult Wait(int index);
  // Jobs not yet started are dropped; running ones are stopped through the stop flag, when
  // there is one, within moments, else they finish. Returns once every worker stopped.
  // Nothing is written after it returns.
  void Cancel();

 private:
  enum class State { Pending, Running, Done };

  void Work();
  bool MayStart(int index) const;

  std::vector<ThumbnailJob> jobs_;
  std::vector<int> earlier_same_target_;  // index of the previous job with that target, or -1
  std::vector<State> states_;
  std::vector<ThumbnailResult> results_;
  int next_ = 0;
  int taken_ = 0;      // jobs the page writer has waited for
  int lookahead_ = 1;  // how far beyond that the workers may go
  int idle_ = 0;       // workers waiting for a job they may start
  int awaited_ = -1;   // the job the page writer waits for
  bool cancelled_ = false;
  std::atomic<bool>* stop_ = nullptr;
  std::mutex mutex_;
  std::condition_variable work_;  // workers wait here
  std::condition_variable done_;  // the page writer waits here
  std::vector<std::thread> threads_;
};

}  // namespace quorvel
