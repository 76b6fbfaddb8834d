// What a device session tells its owner (the main window, or a headless command). Everything
// here runs on the UI thread, in the order it happened on the line.
#pragma once

#include <string>
#include <vector>

#include "catalogue/show_reply_parser.h"
#include "exchange/exchange_host.h"
#include "exchange/log_kind.h"
#include "session/batch_progress.h"
#include "session/session_event.h"
#include "writing/work_job.h"

class SessionListener {
 public:
  virtual ~SessionListener() = default;

  // A line for the log: a sent command, a received chunk, a verdict. Carries its own line end.
  virtual void OnSessionLog(const std::string& text) = 0;
  // The same line with what it is; a listener that tells the kinds apart overrides this one.
  virtual void OnSessionLogOfKind(const std::string& text, LogKind /*kind*/) { OnSessionLog(text); }
  // The port opened or closed, the device logged in or out, a job started or the queue ran dry.
  // The session's state has already changed.
  virtual void OnSessionEvent(SessionEvent event) = 0;
  // The device answered "+++" with ERROR.
  virtual void OnEscapeRefused() {}
  // A show reply was parsed into the session's tables.
  virtual void OnShowParsed(const std::string& /*reply*/, const ShowReplyResult& /*result*/) {}
  // The tables hold the device's values read back after a file load.
  virtual void OnLoadReadBack() {}
  // The device's net mode.
  virtual void OnNetMode(const std::string& /*mode*/) {}
  // The worker took a job; its command is sent next.
  virtual void OnJobStarted(const WorkJob& /*job*/) {}
  // A batch of writes started, or one more of it ended or was queued.
  virtual void OnBatchProgress(const BatchProgress& /*batch*/) {}
  // Every write of the batch ended (written, refused, timed out or not sent).
  virtual void OnBatchEnded(const BatchSummary& /*summary*/) {}
  // The device booted again under a job or while logged in (before the logout this causes).
  virtual void OnDeviceRestarted() {}
  // Queued jobs that will never be sent: the device restarted under them, a write of their
  // batch was refused or unanswered, or the owner dropped them. Before the batch's summary.
  virtual void OnJobsDropped(const std::vector<WorkJob>& /*jobs*/) {}
  // A job ended (after its log lines).
  virtual void OnJobFinished(const WorkJob& /*job*/, JobOutcome /*outcome*/) {}
  // The device went away while the port was open; the session is closed already.
  virtual void OnConnectionLost(const std::string& /*path*/, int /*error*/) {}
  // A message for a modal box (a configuration file that cannot be written).
  virtual void OnMessageBox(const std::string& text) = 0;
};
