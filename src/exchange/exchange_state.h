// The state the worker and the UI thread share: the job queue, the bytes collected from the
// device, the awaited reply kind, the reply hand-over and the quit request.
//
// The main window owns one ExchangeState. Everything but the queue sits behind one mutex: the
// receive path (UI thread) appends and matches under it, the worker arms a job and takes the
// finished reply under it. A reply judged complete is copied out at that moment, so the worker
// judges exactly the text that completed it, whatever arrives afterwards.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>

#include "exchange/job_queue.h"
#include "exchange/reply_matcher.h"

// The newest bytes the collection keeps.
inline constexpr size_t kReceiveBufferSize = 16000;

// The part of the state behind the mutex.
struct ReplyCollection {
  // The newest received bytes (at most kReceiveBufferSize), zero bytes replaced by blanks.
  std::string received;
  // -1 none, 0 the setting menu, 3 the answer to "+++", 1 to 15 the running job's kind.
  int awaitedKind = -1;
  // The running job's command, for finding its echo.
  std::string command;
  // Set when the awaited reply ended (the "reply event"), with the text that ended it.
  bool replyReady = false;
  ReplyStatus replyStatus = ReplyStatus::kNeedMore;
  std::string replyText;

  // Appends a chunk, blanks its zero bytes and keeps only the newest kReceiveBufferSize bytes.
  void Append(const char* data, size_t count);
  // Marks the awaited reply as ended with `status` and copies the collection out for the worker.
  void SetReplyReady(ReplyStatus status);
};

enum class ReplyWait { kReply, kTimeout, kQuit };

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
  // collection, all at once.
  void BeginJob(int kind, const std::string& command);
  // Worker. Waits until the reply is ready, the time-out passed or quit was requested. On
  // kReply, `status` and `text` receive the reply.
  ReplyWait WaitForReply(std::chrono::milliseconds timeout, ReplyStatus* status, std::string* text);

  // Any thread. Ends every wait of the worker, now and later.
  void RequestQuit();
  bool QuitRequested() const;

  // Conveniences for the UI thread.
  int AwaitedKind() const;
  void SetAwaitedKind(int kind);
  // Empties the collection (login by "+++", a new boot prompt).
  void ClearReceived();
  std::string Received() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  ReplyCollection collection_;
  bool quit_ = false;
};
