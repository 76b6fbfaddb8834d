// What the exchange saw happen to the device and the job queue, as it tells its host. The host
// keeps the connection state and decides what each of these means for it; the exchange only
// reports.
#pragma once

enum class ExchangeEvent {
  kLoggedIn,         // the setting menu came, or "+++" was answered: the device takes commands
  kLeftSettingMode,  // the device said it timed its setting mode out, or it restarted logged in
  kBusy,             // the worker took a job; its command is sent next
  kIdle,             // the queue ran dry while the device is logged in on an open port
};
