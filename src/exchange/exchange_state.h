// The state the worker and the UI thread share: the job queue, the bytes collected from the
// device, the awaited reply kind, the reply hand-over and the quit request.
//
// The device session owns one ExchangeState. Everything but the queue sits behind one mutex: the
// receive path (UI thread) appends and matches under it, the worker arms a job and takes the
// finished reply under it. A reply judged complete is copied out at that moment, so the worker
// judges exactly the text that completed it, whatever arrives afterwards.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "exchange/job_queue.h"
#include "exchange/reply_matcher.h"
#include "writing/work_job.h"

// The newest bytes the collection keeps.
inline constexpr size_t kReceiveBufferSize = 16000;

// The part of the state behind the mutex.
struct ReplyCollection {
  // The newest received bytes (at most kReceiveBufferSize), zero bytes replaced by blanks.
  std::string received;
  // Nothing, the setting menu, the answer to "+++", or the running job's kind.
  JobKind awaitedKind = JobKind::kAwaitNothing;
  // The running job's command, for finding its echo.
  std::string command;
  // Set when the awaited reply ended (the "reply event"), with the text that ended it.
  bool replyReady = false;
  ReplyStatus replyStatus = ReplyStatus::kNeedMore;
  std::string replyText;
  // A job's command went out and its reply is awaited (from the job's start until its wait ends).
  bool jobRunning = false;
  // The device printed its boot prompt while a job ran: the job ends at once.
  bool deviceRestarted = false;
  // The one waiting for the running job gave up on it (a command being stopped): its wait ends
  // without a verdict.
  bool jobAbandoned = false;

  // Appends a chunk, blanks its zero bytes and keeps only the newest kReceiveBufferSize bytes.
  void Append(const char* data, size_t count);
  // Marks the awaited reply as ended with `status` and copies the collection out for the worker.
  void SetReplyReady(ReplyStatus status);
};

// kAborted: the port was closed or opened anew while the job waited (the job belongs to an
// opening that is gone), or the job was given up on; it reports nothing. kRestarted: the device
// booted again meanwhile.
enum class ReplyWait { kReply, kTimeout, kQuit, kAborted, kRestarted };

class ExchangeState {
 public:
  JobQueue queue;

  // Runs `f(collection)` under the mutex, then wakes a worker waiting for its reply.
  template <class F>
  decltype(auto) Update(F&& f) {
    struct Notify {
      std::condition_variable& cv;
      ~Notify() { cv.notify_all(); }
    } notify{changed_};
    std::lock_guard<std::mutex> lock(mutex_);
    return f(collection_);
  }
  // Runs `f(collection)` under the mutex, for reading.
  template <class F>
  decltype(auto) Inspect(F&& f) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return f(static_cast<const ReplyCollection&>(collection_));
  }

  // Worker, at a job's start: awaits the job's kind, forgets the previous reply and empties the
  // collection, all at once. False (and nothing changes) when the job was queued for an earlier
  // opening of the port.
  bool BeginJob(const WorkJob& job);
  // Any thread. The opening the state serves now; jobs are stamped with it when queued.
  uint64_t Epoch() const;
  // UI thread, when the port is closed or opened: drops every queued job, ends the wait of a
  // running one without a verdict, forgets the collection and the awaited kind. Returns the new
  // epoch.
  uint64_t NewEpoch();
  // Any thread. Ends the wait of the running job at once without a verdict, so that the worker
  // takes the next one (a command stopped by a signal sends "at+quit" without waiting out a
  // reply). A late reply is no longer matched. Whether a job was running.
  bool AbandonRunningJob();
  // Any thread. Queues the job for the current opening.
  bool Push(WorkJob job);
  // Worker. Waits until the reply is ready, the time-out passed or quit was requested. On
  // kReply, `status` and `text` receive the reply.
  ReplyWait WaitForReply(std::chrono::milliseconds timeout, ReplyStatus* status, std::string* text);

  // Worker. Sleeps for `pause` unless quit is requested first; whether it was.
  bool WaitForQuit(std::chrono::milliseconds pause);
  // Any thread. Ends every wait of the worker, now and later.
  void RequestQuit();
  bool QuitRequested() const;

  // Conveniences for the UI thread.
  JobKind AwaitedKind() const;
  void SetAwaitedKind(JobKind kind);
  // Empties the collection (login by "+++", a new boot prompt).
  void ClearReceived();
  std::string Received() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  ReplyCollection collection_;
  bool quit_ = false;
  uint64_t epoch_ = 1;
  // The epoch of the job whose reply is awaited.
  uint64_t jobEpoch_ = 0;
};
