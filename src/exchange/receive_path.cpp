#include "exchange/receive_path.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/device_notices.h"
#include "exchange/exchange_host.h"
#include "exchange/exchange_state.h"
#include "exchange/job_kinds.h"
#include "exchange/reply_matcher.h"
#include "exchange/worker.h"
#include "texts/language.h"
#include "writing/work_job.h"

namespace {

constexpr std::string_view kSignalCommand = "At+CSQ\r\n";

MatchAction ActionFor(JobKind kind, ReplyStatus status) {
  if (status == ReplyStatus::kNeedMore) return MatchAction::kNothing;
  const JobKindInfo* info = FindJobKind(kind);
  if (!info) return MatchAction::kNothing;
  return status == ReplyStatus::kComplete ? info->onComplete : info->onDeviceError;
}

// What the UI thread does once the collection's lock is released, in this order.
struct Effects {
  bool log = false;
  bool stopTimer = false;
  bool loggedIn = false;
  bool timeoutQuit = false;
  bool bootPrompt = false;
  // Bytes came while the setting menu was awaited that are not the prompt: the device talks.
  bool deviceTalked = false;
  bool escapeRefused = false;
  std::vector<WorkJob> dropped;  // queued behind a job the device restarted under
};

WorkJob FollowUpJob(JobKind kind, std::string_view command, uint64_t epoch) {
  WorkJob job = MakeJob(kind, command);
  job.epoch = epoch;
  return job;
}

}  // namespace

void ReceiveData(ExchangeState& state, ExchangeHost& host, const char* data, size_t count) {
  if (count == 0 || data == nullptr) return;
  // The epoch changes on this thread only, so it holds for the whole chunk.
  const uint64_t epoch = state.Epoch();
  const Effects effects = state.Update([&](ReplyCollection& c) {
    Effects e;
    if (c.awaitedKind != JobKind::kAwaitNothing) {
      // Posted before the match can wake the worker, so the reply text always reaches the log
      // ahead of the verdict the worker posts for it.
      std::string text(data, count);
      std::replace(text.begin(), text.end(), '\0', ' ');
      host.PostLogOfKind(text, LogKind::kReceived);
    }
    c.Append(data, count);
    const JobKind kind = c.awaitedKind;
    const ReplyStatus status = MatchReply(c.received, kind, c.command);
    switch (ActionFor(kind, status)) {
      case MatchAction::kNothing:
        break;
      case MatchAction::kComplete:
        c.SetReplyReady(status);
        c.awaitedKind = JobKind::kAwaitNothing;
        break;
      case MatchAction::kDrop:
        c.awaitedKind = JobKind::kAwaitNothing;
        break;
      case MatchAction::kMenuLogin:
      case MatchAction::kEscapeLogin:
        e.stopTimer = true;
        e.loggedIn = true;
        c.awaitedKind = JobKind::kAwaitNothing;
        break;
      case MatchAction::kEscapeRefused:
        // Still out of its setting mode, as before the "+++".
        c.awaitedKind = JobKind::kAwaitNothing;
        e.escapeRefused = true;
        break;
      case MatchAction::kCompleteThenShow:
        // Queued before the worker is released, so that it finds the show waiting and does not
        // report an empty queue in between.
        state.queue.Push(FollowUpJob(JobKind::kShow, kFileShowCommand, epoch));
        c.SetReplyReady(status);
        c.awaitedKind = JobKind::kAwaitNothing;
        break;
      case MatchAction::kCompleteThenRetry:
        state.queue.Push(FollowUpJob(JobKind::kSignalRetry, kSignalCommand, epoch));
        c.SetReplyReady(status);
        c.awaitedKind = JobKind::kAwaitNothing;
        break;
    }
    // A value line holding these words (a stored text shown back, the echo of its write) is not
    // the device's notice.
    if (FindDeviceNotice(c.received, kTimeoutQuitText, c.command) != std::string::npos) {
      e.timeoutQuit = true;
    } else if (FindDeviceNotice(c.received, kBootPromptText, c.command) != std::string::npos) {
      // The device is booting: whatever was awaited is gone; answer its prompt.
      e.bootPrompt = true;
      c.awaitedKind = JobKind::kAwaitSettingMenu;
      c.received.clear();
      c.command.clear();
      // It restarted under a running job or a logged-in session: the job ends now, the jobs
      // queued behind it would only break into the login, and the device is out of its setting
      // mode until the menu comes again. Posted here, ahead of whatever the released worker
      // posts.
      const bool restarted = c.jobRunning || host.LoggedIn();
      if (c.jobRunning) c.deviceRestarted = true;
      e.dropped = state.queue.DropAll();
      if (restarted) {
        host.DeviceRestarted();
        host.PostLog(LanguageText("Faults", "Restarted", "\r\n"));
        if (host.LoggedIn()) host.PostExchangeEvent(ExchangeEvent::kLeftSettingMode);
      }
    } else if (kind == JobKind::kAwaitSettingMenu && c.awaitedKind == JobKind::kAwaitSettingMenu) {
      e.deviceTalked = true;
    }
    return e;
  });

  if (effects.stopTimer) host.StopSTimer();
  if (effects.loggedIn) host.PostExchangeEvent(ExchangeEvent::kLoggedIn);
  if (effects.escapeRefused) host.EscapeRefused();
  if (!effects.dropped.empty()) host.JobsDropped(effects.dropped);
  if (effects.timeoutQuit) {
    host.PostExchangeEvent(ExchangeEvent::kLeftSettingMode);
  } else if (effects.bootPrompt) {
    host.AnswerBootPrompt();
  } else if (effects.deviceTalked) {
    host.DeviceTalked();
  }
}

void LoginByEscape(ExchangeState& state, ExchangeHost& host) {
  state.Update([](ReplyCollection& c) {
    c.received.clear();
    c.command.clear();
    // Awaited before "+++" leaves, so that the answer is matched however fast it comes.
    c.awaitedKind = JobKind::kAwaitEscapeAnswer;
  });
  host.StopSTimer();
  host.WriteToPort("+++", 3);
  host.PostLogOfKind(SendLogLine("+++") + "\r\n", LogKind::kSent);
}

void AwaitSettingMenu(ExchangeState& state) {
  state.SetAwaitedKind(JobKind::kAwaitSettingMenu);
}

void SendSTick(ExchangeHost& host) {
  host.WriteToPort("s", 1);
}
