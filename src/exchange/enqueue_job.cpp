#include "exchange/enqueue_job.h"

#include "exchange/exchange_host.h"
#include "exchange/exchange_state.h"
#include "texts/language.h"

std::string RefusedWriteLine(const WorkJob& job) {
  std::string text = LanguageText("WorkerJobThreadProc", "LineBreakRefused", "");
  if (text.empty()) text = "Not sent, the value holds a line break";
  std::string what = job.name;
  if (what.empty()) {
    what = job.command;
    if (what.ends_with("\r\n")) what.resize(what.size() - 2);
  }
  // Shown escaped: the raw line break is exactly what must not reach the log as a line end.
  std::string shown;
  for (char ch : what) {
    if (ch == '\r') {
      shown += "\\r";
    } else if (ch == '\n') {
      shown += "\\n";
    } else if (ch == '\0') {
      shown += "\\0";
    } else {
      shown += ch;
    }
  }
  return text + ": " + shown + "\r\n";
}

EnqueueResult EnqueueJob(ExchangeState& state, ExchangeHost& host, const WorkJob& job) {
  if (job.kind == JobKind::kWrite && HasInnerLineBreak(job.command)) {
    host.PostLogOfKind(RefusedWriteLine(job), LogKind::kError);
    return EnqueueResult::kRefused;
  }
  return state.Push(job) ? EnqueueResult::kQueued : EnqueueResult::kQueuedNoWorker;
}
