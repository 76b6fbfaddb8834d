// Every job kind and login wait in one table: how long its reply may take, how the reply ends,
// what the receive path does when it is complete or answered "ERROR", what the worker does with
// it afterwards and which verdict it logs. The worker, the receive path and the matcher all read
// this table; nothing else lists the kinds.
#pragma once

#include "writing/work_job.h"

inline constexpr int kShortReplyTimeoutMs = 5000;
inline constexpr int kLongReplyTimeoutMs = 24000;

// How the awaited reply ends (reply_matcher.h decides it from the collected text).
enum class ReplyEnding {
  kNone,         // nothing ends it
  kSettingMenu,  // the setting menu is printed: "AT+LIST" anywhere
  kEscape,       // the answer to "+++": "enter setting!" anywhere, or an "ERROR" line
  kShow,         // "Access Point Name:" then an "OK" line; an "ERROR" line without the marker
  kOkOrError,    // the first "OK" or "ERROR" line behind the command's echo
};

// What the receive path does once the reply ended one way or the other.
enum class MatchAction {
  kNothing,            // keep collecting (the job may still time out)
  kComplete,           // release the worker with the reply
  kDrop,               // stop matching without releasing the worker: it reports a time-out
  kMenuLogin,          // the setting menu came: stop the "s" stream, report the login
  kEscapeLogin,        // "+++" was answered: report the login
  kEscapeRefused,      // "+++" was answered "ERROR": report the refusal
  kCompleteThenShow,   // the factory reset was accepted: read the new settings back
  kCompleteThenRetry,  // the signal query failed: ask once more
};

// What the worker does with a complete reply (an "ERROR" answer runs only the verdict).
enum class Completion {
  kNoCompletion,  // the reply is in the log; nothing else
  kShowReceived,  // parse into the tables and show on the form
  kStoreWrite,    // an accepted write becomes the parameter's stored value
  kWriteFile,     // the reply becomes a configuration file
  kLoadReadBack,  // the device's values, to compare a loaded file with
  kNetMode,       // the net mode goes into "FINDNETMODE"
  kQueryAnswer,   // the host reads the answer to a signal or SIM query (also when "ERROR")
};

struct JobKindInfo {
  JobKind kind;
  const char* name;  // for logs and reports: "show", "write", ...
  int timeoutMs;     // before the port's factor; 0 for the login's awaited kinds (no time-out)
  ReplyEnding ending;
  MatchAction onComplete;
  MatchAction onDeviceError;
  Completion completion;
  // Verdict texts of section "WorkerJobThreadProc", logged when the reply ended; nullptr: none.
  const char* successKey;
  const char* errorKey;
  // The device may still be busy after this reply (a factory reset writes its flash): the next
  // command waits at least this long.
  int settleMs;
};

// The row of `kind`, or nullptr for a value that names no kind.
const JobKindInfo* FindJobKind(JobKind kind);

// How long the worker waits for the reply of a job of `kind`, in milliseconds: the kind's time-out
// times the port's time-out factor.
int JobTimeoutMs(JobKind kind, int timeoutFactor);
