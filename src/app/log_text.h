// How appended log text becomes the text the log pane shows: line ends as '\n', the program's
// own lines always on a line of their own, and an optional time stamp at each line start.
// Pure text; the pane (log_pane.h) draws it.
#pragma once

#include <string>
#include <string_view>

#include "exchange/log_kind.h"

// Where the shown text stands between two appends.
struct LogFlow {
  // The shown text is empty or ends in a line break.
  bool atLineStart = true;
  // The device's last chunk ended in a carriage return: a line feed opening its next chunk
  // belongs to the same line end (a CR LF often arrives split across two chunks).
  bool deviceCr = false;
};

// The shown text of one append. Device bytes (kReceived) are shown as they came, even in the
// middle of a line; any other kind starts on a new line when the shown text does not end in
// one. `stamp` (empty for none) goes in front of every line that the text begins.
std::string LogDisplayPiece(std::string_view text, LogKind kind, LogFlow& flow,
                            std::string_view stamp);

// "[hh:mm:ss.zzz] " of a time of day in milliseconds since midnight.
std::string LogStamp(long long msecsOfDay);
