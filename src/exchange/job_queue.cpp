#include "exchange/job_queue.h"

#include <iterator>

bool JobQueue::Push(const WorkJob& job) {
  bool running;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(job);
    running = workerRunning_;
  }
  queued_.notify_all();
  return running;
}

bool JobQueue::TryTake(WorkJob* job, uint64_t* generation) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (jobs_.empty()) return false;
  if (generation) *generation = generation_;
  *job = std::move(jobs_.front());
  jobs_.pop_front();
  return true;
}

bool JobQueue::WaitAndTake(WorkJob* job, uint64_t* generation) {
  std::unique_lock<std::mutex> lock(mutex_);
  queued_.wait(lock, [&] { return quit_ || !jobs_.empty(); });
  if (quit_) return false;
  if (generation) *generation = generation_;
  *job = std::move(jobs_.front());
  jobs_.pop_front();
  return true;
}

size_t JobQueue::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  const size_t dropped = jobs_.size();
  jobs_.clear();
  ++generation_;
  return dropped;
}

std::vector<WorkJob> JobQueue::DropAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<WorkJob> dropped(std::make_move_iterator(jobs_.begin()),
                               std::make_move_iterator(jobs_.end()));
  jobs_.clear();
  ++generation_;
  return dropped;
}

bool JobQueue::IsCurrent(uint64_t generation) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return generation == generation_;
}

std::vector<WorkJob> JobQueue::RemoveIf(const std::function<bool(const WorkJob&)>& drop) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<WorkJob> dropped;
  std::deque<WorkJob> kept;
  for (WorkJob& job : jobs_) {
    if (drop(job))
      dropped.push_back(std::move(job));
    else
      kept.push_back(std::move(job));
  }
  jobs_.swap(kept);
  return dropped;
}

size_t JobQueue::Size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return jobs_.size();
}

void JobQueue::Quit() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  queued_.notify_all();
}

void JobQueue::SetWorkerRunning(bool running) {
  std::lock_guard<std::mutex> lock(mutex_);
  workerRunning_ = running;
}

bool JobQueue::WorkerRunning() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return workerRunning_;
}
