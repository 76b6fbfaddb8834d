#include "exchange/worker.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "catalogue/show_reply_parser.h"
#include "exchange/completions.h"
#include "exchange/exchange_host.h"
#include "exchange/exchange_state.h"
#include "exchange/job_kinds.h"
#include "texts/language.h"
#include "writing/config_file.h"

namespace {

// A show reply this short is a device error text, not a configuration: it is not parsed.
constexpr size_t kShowReplyMinimum = 3000;

constexpr const char* kWorkerSection = "WorkerJobThreadProc";

// Every crossing to the UI thread; skipped once quit is requested.
bool HandOver(ExchangeState& state, ExchangeHost& host, std::function<void()> work) {
  if (state.QuitRequested()) return false;
  return host.RunOnUiThread(std::move(work));
}

// What the completion's hand-overs work on. They own it, so that a hand-over abandoned from
// another thread while it runs on the UI thread never reaches into the worker's stack.
struct Finished {
  WorkJob job;
  ReplyStatus status = ReplyStatus::kNeedMore;
  std::string reply;
  // Cleared when the completion could not do its work (a file not written).
  std::atomic<bool> done{true};
};

// The completion of a job whose reply ended; false when quit cut it short.
bool Complete(ExchangeState& state, ExchangeHost& host, const JobKindInfo& info,
              const std::shared_ptr<Finished>& f) {
  // A hand-over that arrives after the port was closed or opened anew does nothing: its job
  // belonged to the earlier opening.
  auto current = [&state, f] { return state.Epoch() == f->job.epoch; };
  const bool accepted = f->status == ReplyStatus::kComplete;
  bool handed = true;
  // A SIM query answered "+CME ERROR: 10" says as much as one answered "+CPIN: READY".
  if (info.completion == Completion::kQueryAnswer) host.QueryAnswered(f->job, f->reply);
  switch (accepted ? info.completion : Completion::kNoCompletion) {
    case Completion::kNoCompletion:
    case Completion::kQueryAnswer:
      break;
    case Completion::kShowReceived:
      // A reply this short is a device error text, not a configuration: it is not parsed.
      if (f->reply.size() > kShowReplyMinimum) {
        handed = HandOver(state, host, [&host, f, current] {
          if (current()) host.ShowReceived(f->reply);
        });
      }
      break;
    case Completion::kStoreWrite:
      handed = HandOver(state, host, [&host, f, current] {
        if (current()) StoreAcceptedValue(host.Params(), host.ListParams(), f->job);
      });
      break;
    case Completion::kWriteFile:
      handed = HandOver(state, host, [&host, f, current] {
        if (!current()) return;
        if (!ReplyLoadsBack(f->reply)) {
          f->done = false;
          host.ShowMessageBox(LanguageText("Faults", "Garbled", ""));
          return;
        }
        std::string error;
        if (!WriteConfigFileTo(f->job.filePath, f->reply, &error)) {
          f->done = false;
          std::string text = LanguageText("SaveToFile", "OpenError", "");
          if (!error.empty()) text += (text.empty() ? "" : "\n") + error;
          host.ShowMessageBox(text);
          return;
        }
        // Where the device's configuration went.
        host.PostLogOfKind(LanguageText("SaveToFile", "Saved", "") + " " + f->job.filePath + "\r\n",
                           LogKind::kVerdict);
      });
      break;
    case Completion::kLoadReadBack:
      // The device's own reply, so that the save composition compares the form (which shows
      // the loaded file) with what the device holds now.
      handed = HandOver(state, host, [&host, f, current] {
        if (!current()) return;
        const ShowReplyResult result =
            ParseShowReply(f->reply.data(), f->reply.size(), host.Params(), host.ListParams(),
                           host.Facts().fiveDioModel);
        host.LoadReadBack(f->reply, result);
      });
      break;
    case Completion::kNetMode:
      if (std::optional<std::string> mode = ExtractNetMode(f->reply)) {
        handed = HandOver(state, host, [&host, current, value = *mode] {
          if (current()) host.NetModeReceived(value);
        });
      }
      break;
  }
  if (!handed) return false;
  const char* key = accepted ? info.successKey : info.errorKey;
  // A write or reset whose final line has not fully arrived gives no verdict text at all.
  if (key)
    host.PostJobLog(f->job, LanguageText(kWorkerSection, key, "\r\n"),
                    accepted ? LogKind::kVerdict : LogKind::kError);
  return true;
}

// A write of a batch was refused or went unanswered: the writes queued behind it are dropped
// here, before the next job is taken, so none of them reaches a device that is refusing, silent
// or in an unknown state. Jobs of other kinds queued behind them (a read, the quit) stay. False
// when quit cut the hand-over short.
bool EndBatchAfter(ExchangeState& state, ExchangeHost& host, const WorkJob& job) {
  if (!IsBatchWrite(job)) return true;
  std::vector<WorkJob> dropped = state.queue.RemoveIf(IsBatchWrite);
  if (dropped.empty()) return true;
  return HandOver(state, host, [&state, &host, epoch = job.epoch, dropped = std::move(dropped)] {
    if (state.Epoch() == epoch) host.JobsDropped(dropped);
  });
}

// Runs one job from its start to its completion; false when quit was requested meanwhile.
bool RunJob(ExchangeState& state, ExchangeHost& host, const WorkJob& job, uint64_t generation,
            const WorkerOptions& options) {
  const JobKindInfo* info = FindJobKind(job.kind);
  auto factor = std::make_shared<std::atomic<int>>(1);
  auto current = std::make_shared<std::atomic<bool>>(false);
  const bool started = HandOver(state, host, [&state, &host, job, generation, factor, current] {
    // A job of an earlier opening is dropped without a trace.
    if (state.Epoch() != job.epoch) return;
    // Taken from the queue just before the device restarted: it goes with the jobs queued
    // behind it, or it would break into the login of the booting device.
    if (!state.queue.IsCurrent(generation)) return host.JobsDropped({job});
    *current = true;
    host.JobStarting(job);
    host.OnExchangeEvent(ExchangeEvent::kBusy);
    host.StopSTimer();
    *factor = host.TimeoutFactor();
  });
  if (!started) return false;
  if (!*current || !state.BeginJob(job)) return true;

  const std::string_view bytes = CommandBytes(job);
  host.PostJobLog(job, SendLogLine(bytes), LogKind::kSent);
  const auto timeout = std::chrono::milliseconds(JobTimeoutMs(job.kind, factor->load())) /
                       (options.timeoutDivisor < 1 ? 1 : options.timeoutDivisor);
  host.WriteJobBytes(job, bytes.data(), bytes.size());

  auto finished = std::make_shared<Finished>();
  finished->job = job;
  switch (state.WaitForReply(timeout, &finished->status, &finished->reply)) {
    case ReplyWait::kQuit:
      return false;
    case ReplyWait::kAborted:
      return true;
    case ReplyWait::kTimeout:
      // The awaited kind stays: a late reply is still logged and matched until the next job.
      host.PostJobLog(job, LanguageText(kWorkerSection, "OutTime", "\r\n"), LogKind::kError);
      host.JobFinished(job, JobOutcome::kTimedOut);
      return EndBatchAfter(state, host, job);
    case ReplyWait::kRestarted:
      // The receive path logged why; the login takes the booting device over.
      host.JobFinished(job, JobOutcome::kRestarted);
      return true;
    case ReplyWait::kReply:
      break;
  }
  if (info && !Complete(state, host, *info, finished)) return false;
  const bool ok = finished->status == ReplyStatus::kComplete && finished->done;
  host.JobFinished(job, ok ? JobOutcome::kCompleted : JobOutcome::kFailed);
  if (!ok && !EndBatchAfter(state, host, job)) return false;
  // The next command waits for the device to settle, and at least the configured gap.
  int pauseMs = options.minimumGapMs;
  if (ok && info && info->settleMs > pauseMs) pauseMs = info->settleMs;
  if (pauseMs > 0 && state.WaitForQuit(std::chrono::milliseconds(pauseMs))) return false;
  return true;
}

}  // namespace

std::string SendLogLine(std::string_view command) {
  return LanguageText("ComSend", "send", "") + ":" + std::string(command);
}

std::string VerdictLine(JobKind kind, ReplyStatus status) {
  const JobKindInfo* info = FindJobKind(kind);
  if (!info) return {};
  const char* key = status == ReplyStatus::kComplete ? info->successKey : info->errorKey;
  return key ? LanguageText(kWorkerSection, key, "\r\n") : std::string();
}

void WorkerJobThreadProc(ExchangeState& state, ExchangeHost& host, WorkerOptions options) {
  state.queue.SetWorkerRunning(true);
  bool idleReported = false;
  for (;;) {
    WorkJob job;
    uint64_t generation = 0;
    if (!state.queue.TryTake(&job, &generation)) {
      // Once per idle period, when the queue has run dry while the device is logged in on an
      // open port. A later login is an event of its own.
      if (!idleReported) {
        idleReported = true;
        const bool reported = HandOver(state, host, [&] {
          if (host.LoggedIn() && host.PortIsOpen()) host.OnExchangeEvent(ExchangeEvent::kIdle);
        });
        if (!reported) break;
      }
      if (!state.queue.WaitAndTake(&job, &generation)) break;
    }
    idleReported = false;
    if (!RunJob(state, host, job, generation, options)) break;
  }
  state.queue.SetWorkerRunning(false);
}

ExchangeWorker::ExchangeWorker(ExchangeState& state, ExchangeHost& host, WorkerOptions options)
    : state_(state), host_(host), options_(options) {}

ExchangeWorker::~ExchangeWorker() {
  Stop();
}

void ExchangeWorker::Start() {
  if (thread_.joinable()) return;
  // Announced before the thread runs, so that a job queued right after Start() counts as taken.
  state_.queue.SetWorkerRunning(true);
  thread_ = std::thread([this] { WorkerJobThreadProc(state_, host_, options_); });
}

void ExchangeWorker::Stop() {
  if (!thread_.joinable()) return;
  state_.RequestQuit();
  host_.AbandonUiHandOvers();
  thread_.join();
}
