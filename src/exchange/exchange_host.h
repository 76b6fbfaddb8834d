// What the command exchange needs from the main window (CZR350FrameWnd implements it).
//
// Three groups, by the thread that may call them:
//  - any thread: the port, posted log lines and button sets, and the blocking hand-over to the
//    UI thread;
//  - the UI thread only: everything else. The worker reaches these only from inside a
//    RunOnUiThread hand-over, so the form, the tables, the login state and the timer are touched
//    by the UI thread alone.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "catalogue/param_table.h"
#include "exchange/work_job.h"

class Form;

// How a job ended, for those who wait for one (the headless commands).
enum class JobOutcome {
  kCompleted,  // the reply came and its completion did its work
  kFailed,     // the device answered "ERROR", or the completion failed (a file not written)
  kTimedOut,   // no complete reply in time
};

class ExchangeHost {
 public:
  virtual ~ExchangeHost() = default;

  // ---- Any thread ----

  // Writes the bytes to the open port (CSerialPort::WriteBytes); the count written.
  virtual size_t WriteToPort(const char* data, size_t count) = 0;
  // Queues a line for the log pane (PostLog, WM_LOG_TEXT). The text carries its own line end.
  virtual void PostLog(const std::string& text) = 0;
  // Queues WM_SET_BUTTONS (wParam 1 enables, set number lParam); handled later on the UI thread.
  virtual void PostSetButtons(int wParam, int lParam) = 0;
  // Runs `work` on the UI thread and waits until it has run; runs it directly when called on the
  // UI thread. Returns false without running it (or without waiting for it any longer) once
  // AbandonUiHandOvers() has been called. The worker's work owns its data, so it stays sound
  // even when abandoned from another thread while it runs.
  virtual bool RunOnUiThread(std::function<void()> work) = 0;
  // Releases every RunOnUiThread that waits now and makes later ones return false at once.
  // Called by ExchangeWorker::Stop, typically on the UI thread while the window goes away.
  virtual void AbandonUiHandOvers() = 0;
  // The worker, after a job ended (not when quit cut it short). Nothing by default.
  virtual void JobFinished(const WorkJob& /*job*/, JobOutcome /*outcome*/) {}

  // ---- UI thread only ----

  virtual bool PortIsOpen() const = 0;
  // The login state (loggedIn, as SetDeviceState stored it).
  virtual bool LoggedIn() const = 0;
  // Multiplies every job's time-out; at least 1.
  virtual int TimeoutFactor() const = 0;
  // WM_SET_BUTTONS handled now: SetButtons(wParam, lParam).
  virtual void SetButtons(int wParam, int lParam) = 0;
  // Timer 101, whose every tick calls SendSTick (receive_path.h).
  virtual void ArmSTimer(int periodMs) = 0;
  virtual void StopSTimer() = 0;
  // WM_SHOW_RECEIVED: ParseShowReply of `reply` into the tables, then ApplyValuesToForm.
  virtual void ShowReceived(const std::string& reply) = 0;
  // The window's parameter tables and model flag, for storing accepted writes and for the
  // read-back after a file load.
  virtual ParamTable& Params() = 0;
  virtual ListParamTable& ListParams() = 0;
  virtual bool& FiveDioModel() = 0;
  // The save composition (SaveParams), run after the read-back that follows a file load.
  virtual void SaveParams() = 0;
  // The form, or nullptr while it is not built.
  virtual Form* GetForm() = 0;
  // A modal message box with an OK button (caption "DTU").
  virtual void ShowMessageBox(const std::string& text) = 0;
};
