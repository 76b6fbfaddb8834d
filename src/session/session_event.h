// What changed for a session's port, device or job queue, as its listener hears it. Every one of
// them comes after the session's own state (ConnectionState) has changed.
#pragma once

enum class SessionEvent {
  kPortOpened,  // the port is open; the login into the setting mode begins
  kPortClosed,
  kLoggedIn,   // the device is in its setting mode and takes commands
  kLoggedOut,  // the device is out of its setting mode (told to leave, timed out or restarted)
  kBusy,       // a job runs
  kIdle,       // the queue ran dry while the device is logged in
};
