// Queuing a job for the worker, with the one check every command gets before it may leave.
#pragma once

#include <string>

#include "writing/work_job.h"

class ExchangeHost;
class ExchangeState;

enum class EnqueueResult {
  kQueued,
  kQueuedNoWorker,  // queued, but no worker runs to send it
  kRefused,         // not queued; the reason is in the log pane
};

// Any thread. Queues a copy of `job`. A write whose command holds a CR, LF or zero byte
// before its final "\r\n" is refused with a log line instead: the device would take the rest of
// the value as a second command.
EnqueueResult EnqueueJob(ExchangeState& state, ExchangeHost& host, const WorkJob& job);

// The log line of a refused write.
std::string RefusedWriteLine(const WorkJob& job);
