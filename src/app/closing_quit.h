// Leaving the configuration mode when the program closes, so that the device goes back to its
// work instead of waiting for its own idle time-out.
#pragma once

class DeviceSession;

// What is written to a logged-in device before the program ends.
inline constexpr char kClosingQuitCommand[] = "at+quit\r\n";

// When `session` is logged in, writes kClosingQuitCommand straight to the port, ahead of any
// queued job, and waits at most `boundMs` for the port to take it. A port that takes nothing in
// that time is closed, which ends the write: closing never hangs on a stuck adapter. True when
// the whole command was written; the device then counts as logged out.
bool SendQuitBeforeClosing(DeviceSession& session, int boundMs);
