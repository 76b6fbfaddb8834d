// Deciding, from what the device has sent so far, whether the awaited reply is complete.
//
// Pure functions over the collected text. The device echoes every command line in setting mode
// and ends each answer with a line that is exactly "OK" or "ERROR". Those words are looked for
// only as whole lines ("\r\n" behind them, a line start before them) and only behind the echo of
// the command sent, so a value that contains "OK" or "ERROR" (an APN "OKNET", a topic "ERROR",
// a show reply line "APN:OK") never decides a reply.
//
// A final "OK" whose "\r\n" has not arrived yet is not taken: until the line end is there, "OK"
// cannot be told from the start of a longer line ("OKNET"), and the device sends the line end in
// the same burst, so waiting costs at most one more chunk. A reply whose line end never comes
// ends by the job's time-out instead of being passed as a success.
#pragma once

#include <cstddef>
#include <string_view>

#include "writing/work_job.h"

enum class ReplyStatus {
  kNeedMore,     // nothing decided yet
  kComplete,     // the kind's completion text is there
  kDeviceError,  // the device answered "ERROR"
};

// Judges the collected text for the awaited kind (nothing awaited and the login kinds included);
// `command` is the command the running job sent (empty for the login kinds).
ReplyStatus MatchReply(std::string_view collected, JobKind awaitedKind, std::string_view command);

// Where the device's answer starts: right behind the first echo of the command's line (the
// command without its surrounding CR and LF), or at 0 when the echo is not in the text.
size_t ReplyStart(std::string_view collected, std::string_view command);

// Where the first echo of the command's line starts, or 0 when the echo is not in the text.
size_t EchoStart(std::string_view collected, std::string_view command);

// The position of the first line at or after `from` that is exactly `word` and ends with
// "\r\n"; npos when there is none. A line starts at the text's start or behind a CR or LF.
size_t FindReplyLine(std::string_view text, std::string_view word, size_t from);

std::string_view ToString(ReplyStatus status);
