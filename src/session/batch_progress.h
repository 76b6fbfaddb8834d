// A batch of parameter writes: the named writes queued one after the other (a "Write", a file
// load's differences). It counts what became of each, so that the end of the batch can be summed
// up in one line and a batch in progress can show "n of m".
//
// Pure bookkeeping; the session feeds it on the UI thread.
#pragma once

#include <string>
#include <vector>

#include "exchange/exchange_host.h"

struct BatchSummary {
  int total = 0;
  int written = 0;
  int timedOut = 0;
  int notSent = 0;  // cancelled or dropped with the port before they were sent
  std::vector<std::string> refused;
  bool cancelled = false;
  int restarted = 0;  // the device booted instead of answering
};

class BatchProgress {
 public:
  // A named write was queued: it starts a batch or joins the running one.
  void Queued();
  // A write of the batch ended.
  void Finished(const std::string& name, JobOutcome outcome);
  // `count` queued writes were dropped before they were sent (cancelled, or the port closed).
  void Dropped(int count, bool byCancel);

  bool Active() const { return active_; }
  // Writes that have ended (answered, timed out or dropped), and how many the batch holds.
  int Done() const;
  int Total() const { return summary_.total; }
  // True once every write of the batch has ended; the batch is then over and Summary() holds it.
  bool Complete() const { return active_ && Done() >= summary_.total; }
  const BatchSummary& Summary() const { return summary_; }
  // Ends the batch once its summary was reported: the next write starts a new one.
  void Reset();

 private:
  bool active_ = false;
  BatchSummary summary_;
};
