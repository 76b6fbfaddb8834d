#include "exchange/job_kinds.h"

namespace {

using enum ReplyEnding;
using enum MatchAction;
using enum Completion;

constexpr int kShort = kShortReplyTimeoutMs;
constexpr int kLong = kLongReplyTimeoutMs;
// A factory reset answered OK is still writing its flash for a moment.
constexpr int kFactorySettleMs = 200;

// The show requests answered "ERROR" end at once with "ShowRefused" instead of waiting out 24 s
// and reading as a time-out; so do the quit and the net mode query, whose "ERROR" is in the log.
// The answer to "+++" releases no job: a job that was running when Login was pressed lost its
// own reply and must not be judged by the login's.
// clang-format off
constexpr JobKindInfo kKinds[] = {
  // kind               name          time-out ending        complete             device error     completion      success key       error key         settle
  {kAwaitSettingMenu,  "login",       0,       kSettingMenu, kMenuLogin,          kNothing,        kNoCompletion,       nullptr,          nullptr,          0},
  {kJobShow,           "show",        kLong,   kShow,        kComplete,           kComplete,       kShowReceived,  nullptr,          "ShowRefused",    0},
  {kJobWrite,          "write",       kShort,  kOkOrError,   kComplete,           kComplete,       kStoreWrite,    "SaveSuccess",    "SaveError",      0},
  {kAwaitEscapeAnswer, "escape",      0,       kEscape,      kEscapeLogin,        kEscapeRefused,  kNoCompletion,       nullptr,          nullptr,          0},
  {kJobFactoryReset,   "factory",     kShort,  kOkOrError,   kCompleteThenShow,   kComplete,       kNoCompletion,       "FactorySuccess", "FactoryError",   kFactorySettleMs},
  {kJobSaveToFile,     "save-file",   kLong,   kShow,        kComplete,           kComplete,       kWriteFile,     nullptr,          "ShowRefused",    0},
  {kJobLoadFromFile,   "load-file",   kLong,   kShow,        kComplete,           kComplete,       kLoadReadBack,  nullptr,          "ShowRefused",    0},
  {kJobQuitSetting,    "quit",        kShort,  kOkOrError,   kCompleteThenLogOut, kComplete,       kLogOut,        nullptr,          nullptr,          0},
  {kJobFindNetMode,    "net-mode",    kShort,  kOkOrError,   kComplete,           kComplete,       kNetMode,       nullptr,          nullptr,          0},
  {kJobVersion,        "version",     kShort,  kOkOrError,   kComplete,           kComplete,       kNoCompletion,       nullptr,          nullptr,          0},
  {kJobSimStatus,      "sim",         kShort,  kOkOrError,   kComplete,           kComplete,       kQueryAnswer,   nullptr,          nullptr,          0},
  {kJobSignal,         "signal",      kShort,  kOkOrError,   kComplete,           kCompleteThenRetry, kQueryAnswer, nullptr,          nullptr,          0},
  {kJobSignalRetry,    "signal",      kShort,  kOkOrError,   kComplete,           kComplete,       kQueryAnswer,   nullptr,          nullptr,          0},
  {kJobReadLogFile,    "log-file",    kLong,   kOkOrError,   kComplete,           kComplete,       kNoCompletion,       nullptr,          nullptr,          0},
  {kJobNamedCommand,   "command",     kShort,  kOkOrError,   kComplete,           kComplete,       kNoCompletion,       nullptr,          nullptr,          0},
};
// clang-format on

}  // namespace

const JobKindInfo* FindJobKind(int kind) {
  for (const JobKindInfo& info : kKinds) {
    if (info.kind == kind) return &info;
  }
  return nullptr;
}

int JobTimeoutMs(int kind, int timeoutFactor) {
  const JobKindInfo* info = FindJobKind(kind);
  const int base = info && info->timeoutMs > 0 ? info->timeoutMs : kShortReplyTimeoutMs;
  return base * (timeoutFactor < 1 ? 1 : timeoutFactor);
}
