#include "session/batch_progress.h"

void BatchProgress::Queued() {
  if (!active_) {
    summary_ = {};
    active_ = true;
  }
  ++summary_.total;
}

void BatchProgress::Finished(const std::string& name, JobOutcome outcome) {
  if (!active_) return;
  switch (outcome) {
    case JobOutcome::kCompleted:
      ++summary_.written;
      break;
    case JobOutcome::kFailed:
      summary_.refused.push_back(name);
      break;
    case JobOutcome::kTimedOut:
      ++summary_.timedOut;
      break;
    case JobOutcome::kRestarted:
      ++summary_.restarted;
      break;
  }
}

void BatchProgress::Dropped(int count, bool byCancel) {
  if (!active_ || count <= 0) return;
  summary_.notSent += count;
  if (byCancel) summary_.cancelled = true;
}

int BatchProgress::Done() const {
  return summary_.written + summary_.timedOut + summary_.restarted + summary_.notSent +
         static_cast<int>(summary_.refused.size());
}

void BatchProgress::Reset() {
  active_ = false;
  summary_ = {};
}
