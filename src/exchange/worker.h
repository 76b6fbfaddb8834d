// The worker thread: takes one job at a time, sends its command, waits for the reply or the
// job's time-out, judges the reply and runs the job's completion.
//
// It sleeps only while it waits for a job or for a reply, so jobs follow each other as fast as
// the device answers. Every crossing to the UI thread goes through ExchangeHost::RunOnUiThread
// and is waited for, so a completion has run before the next job is taken. Once quit is
// requested every wait ends at once and the remaining hand-overs are skipped.
#pragma once

#include <string>
#include <thread>

#include "exchange/reply_matcher.h"
#include "writing/work_job.h"

class ExchangeHost;
class ExchangeState;

struct WorkerOptions {
  // Every reply wait is divided by this. Tests shorten the waits with it; the program keeps 1.
  int timeoutDivisor = 1;
  // The least time between a reply and the next command. The device takes the next command as
  // soon as its answer is out, so 0 (which is what makes a batch of writes fast); a slower
  // device can be given a gap here.
  int minimumGapMs = 0;
};

// The thread body; returns when quit is requested.
void WorkerJobThreadProc(ExchangeState& state, ExchangeHost& host, WorkerOptions options = {});

// The log line of a sent command: the "send" text, ":" and the command with its own line end.
std::string SendLogLine(std::string_view command);
// The verdict logged for a finished job of `kind` (empty when the kind logs none).
std::string VerdictLine(JobKind kind, ReplyStatus status);

// Owns the worker thread.
class ExchangeWorker {
 public:
  ExchangeWorker(ExchangeState& state, ExchangeHost& host, WorkerOptions options = {});
  ~ExchangeWorker();
  ExchangeWorker(const ExchangeWorker&) = delete;
  ExchangeWorker& operator=(const ExchangeWorker&) = delete;

  // Starts the thread; does nothing when it runs already.
  void Start();
  // Requests quit, abandons the host's hand-overs and joins the thread. Returns promptly whatever
  // the job in progress is doing (a port write gives up within the port's own write time-out).
  void Stop();
  bool Running() const { return thread_.joinable(); }

 private:
  ExchangeState& state_;
  ExchangeHost& host_;
  WorkerOptions options_;
  std::thread thread_;
};
