#include "exchange/receive_path.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "exchange/exchange_host.h"
#include "exchange/exchange_state.h"
#include "exchange/reply_matcher.h"
#include "exchange/work_job.h"
#include "exchange/worker.h"

namespace {

constexpr std::string_view kTimeoutQuit = "Seting Timeout and quit";
constexpr std::string_view kBootPrompt = "'s' key";
constexpr std::string_view kSignalCommand = "At+CSQ\r\n";

// What a kind's matching outcome does.
enum class Action {
  kNothing,             // keep collecting (the job may still time out)
  kComplete,            // release the worker with the reply
  kDrop,                // stop matching without releasing the worker: it reports a time-out
  kMenuLogin,           // the setting menu came: stop the "s" stream, logged in
  kEscapeLogin,         // "+++" was answered: logged in
  kCompleteThenShow,    // the factory reset was accepted: read the new settings back
  kCompleteThenLogOut,  // "at+quit" was accepted: logged out
  kCompleteThenRetry,   // the signal query failed: ask once more
};

struct KindActions {
  int kind;
  Action onComplete;
  Action onDeviceError;
};

// A factory reset answered "ERROR" ends at once with its "FactoryError" verdict instead of
// reading as a time-out five seconds later. The answer to "+++" releases no job: a job that was
// running when Login was pressed lost its own reply and must not be judged by the login's.
constexpr KindActions kActions[] = {
    {kAwaitSettingMenu, Action::kMenuLogin, Action::kNothing},
    {kJobShow, Action::kComplete, Action::kNothing},
    {kJobWrite, Action::kComplete, Action::kComplete},
    {kAwaitEscapeAnswer, Action::kEscapeLogin, Action::kDrop},
    {kJobFactoryReset, Action::kCompleteThenShow, Action::kComplete},
    {kJobSaveToFile, Action::kComplete, Action::kDrop},
    {kJobLoadFromFile, Action::kComplete, Action::kDrop},
    {kJobQuitSetting, Action::kCompleteThenLogOut, Action::kNothing},
    {kJobFindNetMode, Action::kComplete, Action::kNothing},
    {kJobVersion, Action::kComplete, Action::kComplete},
    {kJobSimStatus, Action::kComplete, Action::kComplete},
    {kJobSignal, Action::kComplete, Action::kCompleteThenRetry},
    {kJobSignalRetry, Action::kComplete, Action::kComplete},
    {kJobReadLogFile, Action::kComplete, Action::kComplete},
    {kJobNamedCommand, Action::kComplete, Action::kComplete},
};

Action ActionFor(int kind, ReplyStatus status) {
  if (status == ReplyStatus::kNeedMore) return Action::kNothing;
  for (const KindActions& a : kActions) {
    if (a.kind == kind) return status == ReplyStatus::kComplete ? a.onComplete : a.onDeviceError;
  }
  return Action::kNothing;
}

// What the UI thread does once the collection's lock is released, in this order.
struct Effects {
  bool log = false;
  bool stopTimer = false;
  int postButtonsW = -1;  // -1: no button set from the matching
  int postButtonsL = 0;
  bool timeoutQuit = false;
  bool bootPrompt = false;
};

}  // namespace

void ReceiveData(ExchangeState& state, ExchangeHost& host, const char* data, size_t count) {
  if (count == 0 || data == nullptr) return;
  const Effects effects = state.Update([&](ReplyCollection& c) {
    Effects e;
    e.log = c.awaitedKind != kAwaitNothing;
    c.Append(data, count);
    const int kind = c.awaitedKind;
    const ReplyStatus status = MatchReply(c.received, kind, c.command);
    switch (ActionFor(kind, status)) {
      case Action::kNothing:
        break;
      case Action::kComplete:
        c.SetReplyReady(status);
        c.awaitedKind = kAwaitNothing;
        break;
      case Action::kDrop:
        c.awaitedKind = kAwaitNothing;
        break;
      case Action::kMenuLogin:
        e.stopTimer = true;
        e.postButtonsW = 1;
        e.postButtonsL = 0;
        c.awaitedKind = kAwaitNothing;
        break;
      case Action::kEscapeLogin:
        c.awaitedKind = kAwaitNothing;
        e.postButtonsW = 1;
        e.postButtonsL = 0;
        break;
      case Action::kCompleteThenShow:
        // Queued before the worker is released, so that it finds the show waiting and does not
        // report an empty queue in between.
        state.queue.Push(MakeJob(kJobShow, kFileShowCommand));
        c.SetReplyReady(status);
        c.awaitedKind = kAwaitNothing;
        break;
      case Action::kCompleteThenLogOut:
        c.SetReplyReady(status);
        e.postButtonsW = 0;
        e.postButtonsL = 0;
        c.awaitedKind = kAwaitNothing;
        break;
      case Action::kCompleteThenRetry:
        state.queue.Push(MakeJob(kJobSignalRetry, kSignalCommand));
        c.SetReplyReady(status);
        c.awaitedKind = kAwaitNothing;
        break;
    }
    if (c.received.find(kTimeoutQuit) != std::string::npos) {
      e.timeoutQuit = true;
    } else if (c.received.find(kBootPrompt) != std::string::npos) {
      // The device is booting: whatever was awaited is gone; answer its prompt.
      e.bootPrompt = true;
      c.awaitedKind = kAwaitSettingMenu;
      c.received.clear();
    }
    return e;
  });

  if (effects.log) {
    std::string text(data, count);
    std::replace(text.begin(), text.end(), '\0', ' ');
    host.PostLog(text);
  }
  if (effects.stopTimer) host.StopSTimer();
  if (effects.postButtonsW >= 0) host.PostSetButtons(effects.postButtonsW, effects.postButtonsL);
  if (effects.timeoutQuit) {
    host.PostSetButtons(0, 0);
  } else if (effects.bootPrompt) {
    host.ArmSTimer(kPromptStreamPeriodMs);
  }
}

void LoginByEscape(ExchangeState& state, ExchangeHost& host) {
  state.Update([](ReplyCollection& c) {
    c.received.clear();
    c.command.clear();
    // Awaited before "+++" leaves, so that the answer is matched however fast it comes.
    c.awaitedKind = kAwaitEscapeAnswer;
  });
  host.StopSTimer();
  host.WriteToPort("+++", 3);
  host.PostLog(SendLogLine("+++") + "\r\n");
}

void AwaitSettingMenu(ExchangeState& state) {
  state.SetAwaitedKind(kAwaitSettingMenu);
}

void SendSTick(ExchangeHost& host) {
  host.WriteToPort("s", 1);
}
