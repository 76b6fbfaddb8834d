#include "exchange/worker.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

#include "texts/language.h"
#include "catalogue/show_reply_parser.h"
#include "exchange/completions.h"
#include "exchange/exchange_host.h"
#include "exchange/exchange_state.h"
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
bool Complete(ExchangeState& state, ExchangeHost& host, const std::shared_ptr<Finished>& f) {
  switch (f->job.kind) {
    case kJobShow:
      if (f->reply.size() <= kShowReplyMinimum) return true;
      return HandOver(state, host, [&host, f] { host.ShowReceived(f->reply); });
    case kJobWrite: {
      if (f->status == ReplyStatus::kComplete && !HandOver(state, host, [&host, f] {
            StoreAcceptedValue(host.Params(), host.ListParams(), f->job);
          })) {
        return false;
      }
      host.PostLog(VerdictLine(f->job.kind, f->status));
      return true;
    }
    case kJobFactoryReset:
      host.PostLog(VerdictLine(f->job.kind, f->status));
      return true;
    case kJobSaveToFile:
      return HandOver(state, host, [&host, f] {
        if (!WriteConfigFileTo(f->job.filePath, f->reply, nullptr)) {
          f->done = false;
          host.ShowMessageBox(LanguageText("SaveToFile", "OpenError", ""));
        }
      });
    case kJobLoadFromFile:
      // The device's own reply, so that the save composition compares the form (which shows
      // the loaded file) with what the device holds now.
      return HandOver(state, host, [&host, f] {
        ParseShowReply(f->reply.data(), f->reply.size(), host.Params(), host.ListParams(),
                       host.FiveDioModel());
        host.SaveParams();
      });
    case kJobQuitSetting:
      return HandOver(state, host, [&host] { host.SetButtons(0, 0); });
    case kJobFindNetMode:
      return HandOver(state, host, [&host, f] {
        if (Form* form = host.GetForm()) ReadNetMode(*form, f->reply);
      });
    default:
      return true;
  }
}

// Runs one job from its start to its completion; false when quit was requested meanwhile.
bool RunJob(ExchangeState& state, ExchangeHost& host, const WorkJob& job,
            const WorkerOptions& options) {
  auto factor = std::make_shared<std::atomic<int>>(1);
  const bool started = HandOver(state, host, [&host, factor] {
    host.SetButtons(0, 2);
    host.StopSTimer();
    *factor = host.TimeoutFactor();
  });
  if (!started) return false;

  state.BeginJob(job.kind, job.command);
  const std::string_view bytes = CommandBytes(job);
  host.PostLog(SendLogLine(bytes));
  const auto timeout = std::chrono::milliseconds(JobTimeoutMs(job.kind, factor->load())) /
                       (options.timeoutDivisor < 1 ? 1 : options.timeoutDivisor);
  host.WriteToPort(bytes.data(), bytes.size());

  auto finished = std::make_shared<Finished>();
  finished->job = job;
  switch (state.WaitForReply(timeout, &finished->status, &finished->reply)) {
    case ReplyWait::kQuit:
      return false;
    case ReplyWait::kTimeout:
      // The awaited kind stays: a late reply is still logged and matched until the next job.
      host.PostLog(LanguageText(kWorkerSection, "OutTime", "\r\n"));
      host.JobFinished(job, JobOutcome::kTimedOut);
      return true;
    case ReplyWait::kReply:
      break;
  }
  if (!Complete(state, host, finished)) return false;
  const bool ok = finished->status == ReplyStatus::kComplete && finished->done;
  host.JobFinished(job, ok ? JobOutcome::kCompleted : JobOutcome::kFailed);
  return true;
}

}  // namespace

std::string SendLogLine(std::string_view command) {
  return LanguageText("ComSend", "send", "") + ":" + std::string(command);
}

std::string VerdictLine(int kind, ReplyStatus status) {
  const bool ok = status == ReplyStatus::kComplete;
  const char* key = kind == kJobFactoryReset ? (ok ? "FactorySuccess" : "FactoryError")
                                             : (ok ? "SaveSuccess" : "SaveError");
  return LanguageText(kWorkerSection, key, "\r\n");
}

void WorkerJobThreadProc(ExchangeState& state, ExchangeHost& host, WorkerOptions options) {
  state.queue.SetWorkerRunning(true);
  bool idleReported = false;
  for (;;) {
    WorkJob job;
    if (!state.queue.TryTake(&job)) {
      // Once per idle period: the buttons come back when the queue has run dry while the device
      // is logged in on an open port. A later login enables them through its own button set.
      if (!idleReported) {
        idleReported = true;
        const bool reported = HandOver(state, host, [&] {
          if (host.LoggedIn() && host.PortIsOpen()) host.SetButtons(1, 2);
        });
        if (!reported) break;
      }
      if (!state.queue.WaitAndTake(&job)) break;
    }
    idleReported = false;
    if (!RunJob(state, host, job, options)) break;
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
