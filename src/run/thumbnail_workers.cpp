#include "run/thumbnail_workers.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <map>

#include "job/error.h"
#include "platform/file_system.h"

namespace quorvel {
namespace {

// Jobs are ordered by the file they write first, the thumbnail.
std::string FirstTarget(const ThumbnailJob& job) {
  return job.request.outputs.empty() ? std::string() : job.request.outputs.front().target;
}

}  // namespace

ThumbnailResult MakeThumbnailJob(const ThumbnailJob& job, imaging::FastImage& holder) {
  if (!job.directory.empty()) platform::CreateDirectory(job.directory);
  const std::atomic<bool>* stop = job.request.limits.stop;
  ThumbnailResult result;
  try {
    result.warnings = imaging::MakePictureOutputs(holder, job.request);
  } catch (const Error& e) {
    // Whatever ended the image once a stop was asked for, the stop is what the run reports.
    result.stopped = stop != nullptr && stop->load();
    if (!result.stopped) result.failure = MessageWithDetail(e);
    return result;
  } catch (const std::exception& e) {
    // Nothing else is expected; if it happens it is this image's failure, not the run's.
    result.failure = job.request.source + ": " + e.what();
    return result;
  }
  result.made = true;
  return result;
}

ThumbnailWorkers::ThumbnailWorkers(std::vector<ThumbnailJob> jobs, int workers,
                                   std::atomic<bool>* stop)
    : jobs_(std::move(jobs)),
      earlier_same_target_(jobs_.size(), -1),
      states_(jobs_.size(), State::Pending),
      results_(jobs_.size()),
      stop_(stop) {
  std::map<std::string, int> last_with_target;
  for (std::size_t i = 0; i < jobs_.size(); ++i) {
    if (stop_ != nullptr) jobs_[i].request.limits.stop = stop_;
    auto [it, inserted] = last_with_target.try_emplace(FirstTarget(jobs_[i]), static_cast<int>(i));
    if (!inserted) {
      earlier_same_target_[i] = it->second;
      it->second = static_cast<int>(i);
    }
  }
  const int count = std::max(1, workers);
  // Enough work in hand for every worker, without running far ahead of a Stop; idle workers
  // are woken in batches of half of it, not for every job the page writer takes.
  lookahead_ = 4 * count + 4;
  threads_.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) threads_.emplace_back([this] { Work(); });
}

ThumbnailWorkers::~ThumbnailWorkers() { Cancel(); }

bool ThumbnailWorkers::MayStart(int index) const {
  if (index >= taken_ + lookahead_) return false;
  const int earlier = earlier_same_target_[static_cast<std::size_t>(index)];
  return earlier < 0 || states_[static_cast<std::size_t>(earlier)] == State::Done;
}

void ThumbnailWorkers::Work() {
  imaging::FastImage holder;
  std::unique_lock lock(mutex_);
  const int count = static_cast<int>(jobs_.size());
  for (;;) {
    ++idle_;
    work_.wait(lock, [&] { return cancelled_ || next_ >= count || MayStart(next_); });
    --idle_;
    if (cancelled_ || next_ >= count) return;
    const int index = next_++;
    const std::size_t i = static_cast<std::size_t>(index);
    states_[i] = State::Running;
    lock.unlock();
    ThumbnailResult result = MakeThumbnailJob(jobs_[i], holder);
    lock.lock();
    results_[i] = std::move(result);
    states_[i] = State::Done;
    if (awaited_ == index) done_.notify_one();
    if (next_ < count && earlier_same_target_[static_cast<std::size_t>(next_)] == index) {
      work_.notify_all();
    }
  }
}

ThumbnailResult ThumbnailWorkers::Wait(int index) {
  std::unique_lock lock(mutex_);
  const std::size_t i = static_cast<std::size_t>(index);
  if (index + 1 > taken_) {
    taken_ = index + 1;
    if (idle_ > 0 && taken_ + lookahead_ - next_ >= lookahead_ / 2) work_.notify_all();
  }
  awaited_ = index;
  done_.wait(lock, [&] { return states_[i] == State::Done || cancelled_; });
  awaited_ = -1;
  if (states_[i] != State::Done) throw Error("The thumbnail workers were stopped");
  return results_[i];
}

void ThumbnailWorkers::Cancel() {
  {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    // Only while a job is unfinished, so that the flag of a run that ended well stays unset.
    const bool unfinished =
        std::any_of(states_.begin(), states_.end(), [](State s) { return s != State::Done; });
    if (stop_ != nullptr && unfinished) stop_->store(true);
  }
  work_.notify_all();
  done_.notify_all();
  for (std::thread& t : threads_) {
    if (t.joinable()) t.join();
  }
}

}  // namespace quorvel
