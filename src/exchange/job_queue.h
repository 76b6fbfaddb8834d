// The first-in first-out queue of jobs between the threads that queue commands (the UI thread,
// and the worker itself through a file load's save) and the worker that runs them.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "writing/work_job.h"

class JobQueue {
 public:
  // Any thread. Appends a copy of the job and wakes the worker. Returns whether a worker is
  // there to run it (the job is queued either way).
  bool Push(const WorkJob& job);
  // Any thread. Copies the front job out and removes it; false when the queue is empty.
  // `generation` receives the queue's generation at the take (see IsCurrent).
  bool TryTake(WorkJob* job, uint64_t* generation = nullptr);
  // Worker. Waits until a job is queued or Quit() was called; false on quit.
  bool WaitAndTake(WorkJob* job, uint64_t* generation = nullptr);
  // Any thread. Drops every queued job (the port was closed); returns how many.
  size_t Clear();
  // Any thread. Drops every queued job and returns them (the device restarted under them).
  std::vector<WorkJob> DropAll();
  // Whether no Clear() or DropAll() came since a job was taken in `generation`: a job the
  // worker holds but has not started yet belongs to what was dropped otherwise.
  bool IsCurrent(uint64_t generation) const;
  // Any thread. Drops the queued jobs `drop` says yes to, keeping the order of the others, and
  // returns them (a cancelled batch of writes: the one the worker runs is not in the queue).
  std::vector<WorkJob> RemoveIf(const std::function<bool(const WorkJob&)>& drop);
  size_t Size() const;

  // Wakes a waiting worker for good: WaitAndTake returns false from now on.
  void Quit();
  // The worker announces itself while it runs.
  void SetWorkerRunning(bool running);
  bool WorkerRunning() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<WorkJob> jobs_;
  uint64_t generation_ = 0;
  bool quit_ = false;
  bool workerRunning_ = false;
};
