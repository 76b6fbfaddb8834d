// What the command exchange needs from the one who owns it: the device session (DeviceSession
// implements it) or a test's stand-in.
//
// Two groups, by the thread that may call them:
//  - any thread: the port, posted log lines and events, and the blocking hand-over to the UI
//    thread;
//  - the UI thread only: everything else. The worker reaches these only from inside a
//    RunOnUiThread hand-over, so the form, the tables, the login state and the timer are touched
//    by the UI thread alone.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/device_facts.h"
#include "catalogue/param_table.h"
#include "catalogue/show_reply_parser.h"
#include "exchange/exchange_event.h"
#include "exchange/log_kind.h"
#include "writing/work_job.h"

// How a job ended, for those who wait for one (the headless commands).
enum class JobOutcome {
  kCompleted,  // the reply came and its completion did its work
  kFailed,     // the device answered "ERROR", or the completion failed (a file not written)
  kTimedOut,   // no complete reply in time
  kRestarted,  // the device booted again while the job waited for its reply
};

class ExchangeHost {
 public:
  virtual ~ExchangeHost() = default;

  // ---- Any thread ----

  // Writes the bytes to the open port (CSerialPort::WriteBytes); the count written.
  virtual size_t WriteToPort(const char* data, size_t count) = 0;
  // Queues a line for the log. The text carries its own line end.
  virtual void PostLog(const std::string& text) = 0;
  // The same, saying what the line is (device bytes, a sent command, ...).
  virtual void PostLogOfKind(const std::string& text, LogKind /*kind*/) { PostLog(text); }
  // Queues the event behind the lines posted before it; OnExchangeEvent handles it later on the
  // UI thread.
  virtual void PostExchangeEvent(ExchangeEvent event) = 0;
  // Runs `work` on the UI thread and waits until it has run; runs it directly when called on the
  // UI thread. Returns false without running it (or without waiting for it any longer) once
  // AbandonUiHandOvers() has been called. The worker's work owns its data, so it stays sound
  // even when abandoned from another thread while it runs.
  virtual bool RunOnUiThread(std::function<void()> work) = 0;
  // Releases every RunOnUiThread that waits now and makes later ones return false at once.
  // Called by ExchangeWorker::Stop, typically on the UI thread while the session goes away.
  virtual void AbandonUiHandOvers() = 0;
  // The worker, after a job ended (not when quit or a new opening cut it short). Nothing by
  // default.
  virtual void JobFinished(const WorkJob& /*job*/, JobOutcome /*outcome*/) {}
  // The worker's own lines about a job (the sent command, the verdict, a time-out). A host that
  // serves several openings drops the lines of a job queued for an earlier one.
  virtual void PostJobLog(const WorkJob& /*job*/, const std::string& text, LogKind kind) {
    PostLogOfKind(text, kind);
  }
  // UI thread. Jobs that were queued (or taken by the worker but not started) when the device
  // restarted under them, or the writes of a batch queued behind one that was refused or
  // unanswered: none of them is sent.
  virtual void JobsDropped(const std::vector<WorkJob>& /*jobs*/) {}
  // Any thread. The device booted again under a running job or a logged-in session; posted
  // ahead of the log line and the logout that follow it. Nothing by default.
  virtual void DeviceRestarted() {}
  // On the UI thread, when the worker takes a job and before its command is sent.
  virtual void JobStarting(const WorkJob& /*job*/) {}
  // The reply to a signal or SIM query, "ERROR" answers included, on the worker
  // thread before the job's verdict: the host may add a line that says what it means.
  virtual void QueryAnswered(const WorkJob& /*job*/, const std::string& /*reply*/) {}
  // Writes a job's command; a host that serves several openings refuses the bytes of a job
  // queued for an earlier one (0 written).
  virtual size_t WriteJobBytes(const WorkJob& /*job*/, const char* data, size_t count) {
    return WriteToPort(data, count);
  }

  // ---- UI thread only ----

  virtual bool PortIsOpen() const = 0;
  // Whether the device is logged in, as the host's state has it.
  virtual bool LoggedIn() const = 0;
  // Multiplies every job's time-out; at least 1.
  virtual int TimeoutFactor() const = 0;
  // The event handled now (from inside a hand-over, or a posted one arriving).
  virtual void OnExchangeEvent(ExchangeEvent event) = 0;
  // The "s" stream of the login (timer 101): stopped by the setting menu, the Login button and
  // every job start.
  virtual void StopSTimer() = 0;
  // The booting device printed its prompt: answer it with an "s" at once and keep the stream
  // running (without restarting it) until the setting menu comes.
  virtual void AnswerBootPrompt() = 0;
  // Bytes other than the prompt came while the setting menu is awaited: the device is talking
  // (printing its menu after an "s"), and an "s" now would land in front of its next command.
  virtual void DeviceTalked() {}
  // The device answered "+++" with ERROR: it is still out of its setting mode.
  virtual void EscapeRefused() {}
  // A show reply: ParseShowReply of `reply` into the tables, then onto the form.
  virtual void ShowReceived(const std::string& reply) = 0;
  // The parameter tables and what the reads taught about the device, for storing accepted writes
  // and for the read-back after a file load.
  virtual ParamTable& Params() = 0;
  virtual ListParamTable& ListParams() = 0;
  virtual DeviceFacts& Facts() = 0;
  // The tables hold the device's values read back after a file load (`reply` as the device sent
  // it, `result` what its parse found): compose the writes of what the loaded file changes and
  // queue them (SaveParams).
  virtual void LoadReadBack(const std::string& reply, const ShowReplyResult& result) = 0;
  // The device's answer to "AT+FINDNETMODE" (already cut to its field's length).
  virtual void NetModeReceived(const std::string& mode) = 0;
  // A modal message box with an OK button (caption "DTU").
  virtual void ShowMessageBox(const std::string& text) = 0;
};
