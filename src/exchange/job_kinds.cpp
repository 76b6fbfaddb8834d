#include "exchange/job_kinds.h"

namespace {

using enum ReplyEnding;
using enum MatchAction;
using enum Completion;

constexpr int kShort = kShortReplyTimeoutMs;
constexpr int kLong = kLongReplyTimeoutMs;
// A factory reset answered OK is still writing its flash for a moment.
constexpr int kFactorySettleMs = 200;

using K = JobKind;

// The show requests answered "ERROR" end at once with "ShowRefused" instead of waiting out 24 s
// and reading as a time-out; so do the quit and the net mode query, whose "ERROR" is in the log.
// The answer to "+++" releases no job: a job that was running when Login was pressed lost its
// own reply and must not be judged by the login's.
// clang-format off
constexpr JobKindInfo kKinds[] = {
  // kind                  name         time-out ending        complete           device error        completion     success key       error key       settle
  {K::kAwaitSettingMenu,  "login",     0,      kSettingMenu, kMenuLogin,        kNothing,           kNoCompletion, nullptr,          nullptr,        0},
  {K::kShow,              "show",      kLong,  kShow,        kComplete,         kComplete,          kShowReceived, nullptr,          "ShowRefused",  0},
  {K::kWrite,             "write",     kShort, kOkOrError,   kComplete,         kComplete,          kStoreWrite,   "SaveSuccess",    "SaveError",    0},
  {K::kAwaitEscapeAnswer, "escape",    0,      kEscape,      kEscapeLogin,      kEscapeRefused,     kNoCompletion, nullptr,          nullptr,        0},
  {K::kFactoryReset,      "factory",   kShort, kOkOrError,   kCompleteThenShow, kComplete,          kNoCompletion, "FactorySuccess", "FactoryError", kFactorySettleMs},
  {K::kSaveToFile,        "save-file", kLong,  kShow,        kComplete,         kComplete,          kWriteFile,    nullptr,          "ShowRefused",  0},
  {K::kLoadFromFile,      "load-file", kLong,  kShow,        kComplete,         kComplete,          kLoadReadBack, nullptr,          "ShowRefused",  0},
  {K::kQuitSetting,       "quit",      kShort, kOkOrError,   kComplete,         kComplete,          kNoCompletion, nullptr,          nullptr,        0},
  {K::kFindNetMode,       "net-mode",  kShort, kOkOrError,   kComplete,         kComplete,          kNetMode,      nullptr,          nullptr,        0},
  {K::kVersion,           "version",   kShort, kOkOrError,   kComplete,         kComplete,          kNoCompletion, nullptr,          nullptr,        0},
  {K::kSimStatus,         "sim",       kShort, kOkOrError,   kComplete,         kComplete,          kQueryAnswer,  nullptr,          nullptr,        0},
  {K::kSignal,            "signal",    kShort, kOkOrError,   kComplete,         kCompleteThenRetry, kQueryAnswer,  nullptr,          nullptr,        0},
  {K::kSignalRetry,       "signal",    kShort, kOkOrError,   kComplete,         kComplete,          kQueryAnswer,  nullptr,          nullptr,        0},
  {K::kReadLogFile,       "log-file",  kLong,  kOkOrError,   kComplete,         kComplete,          kNoCompletion, nullptr,          nullptr,        0},
  {K::kNamedCommand,      "command",   kShort, kOkOrError,   kComplete,         kComplete,          kNoCompletion, nullptr,          nullptr,        0},
};
// clang-format on

}  // namespace

const JobKindInfo* FindJobKind(JobKind kind) {
  for (const JobKindInfo& info : kKinds) {
    if (info.kind == kind) return &info;
  }
  return nullptr;
}

int JobTimeoutMs(JobKind kind, int timeoutFactor) {
  const JobKindInfo* info = FindJobKind(kind);
  const int base = info && info->timeoutMs > 0 ? info->timeoutMs : kShortReplyTimeoutMs;
  return base * (timeoutFactor < 1 ? 1 : timeoutFactor);
}
