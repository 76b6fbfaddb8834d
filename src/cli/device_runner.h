// One device of a headless command that works on several devices at once: its own session (port,
// worker thread, tables), driven step by step from the UI thread's event loop so that many
// runners advance side by side without nested event loops.
//
//   log in -> read -> [writes from `compose`] -> [verify by a second read] -> at+quit -> done
//
// A device that goes away, stays silent, refuses the read or times out fails alone; its runner
// ends and the others go on. Whichever way it ends, a device that was logged in is sent back to
// its data mode ("at+quit", unless the plan stays): after a refused or garbled read, a time-out,
// a file that cannot be written, an interruption, and after a restart once the login has taken
// the booting device in again. Only a device that went away gets nothing.
#pragma once

#include <QElapsedTimer>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/traffic_log.h"
#include "serial/line_settings.h"
#include "session/device_session.h"
#include "writing/save_composition.h"
#include "writing/write_backup.h"

// kRestart: the device booted again; the login takes it in, so that it can be sent back.
enum class RunPhase { kLogin, kRead, kWrite, kVerify, kRestart, kQuit, kDone };

// "login", "read", "write", "verify", "restart", "quit", "done".
const char* PhaseName(RunPhase phase);

struct PhaseTime {
  RunPhase phase;
  double ms;
};

// What became of one write.
enum class WriteVerdict {
  kPending,
  kWouldWrite,
  kAccepted,
  kRefused,
  kTimedOut,
  kNoVerdict,  // under way when the device failed or the command was interrupted
  kNotSent,
};
const char* VerdictName(WriteVerdict verdict);

// How the device was left at the end.
enum class LeaveNote {
  kNotLoggedIn,     // it never reached its setting mode: nothing to leave
  kQuitAccepted,    // "at+quit" answered OK: back in its data mode
  kQuitRefused,     // "at+quit" answered ERROR
  kQuitUnanswered,  // "at+quit" got no answer in time
  kStayed,          // --stay: left in its setting mode on purpose
  kGone,            // the device went away: nothing could be sent
  kLeftByItself,    // it restarted (or timed out its setting mode) and did not come back to it
};
// "not logged in", "accepted", "refused", "unanswered", "stay", "gone", "left by itself".
const char* LeaveName(LeaveNote note);
// The note for a report line ("sent back to its data mode"), or empty when there is nothing to
// say beyond the failure itself.
std::string LeaveText(LeaveNote note);

struct WriteRecord {
  WorkJob job;
  // The row's label as the device and a file show it ("Server1's Ip"); empty for a sensor item.
  std::string label;
  // What the device reported for it before the write (its first read).
  std::string before;
  WriteVerdict verdict = WriteVerdict::kPending;
  // The worker took it: without a verdict it may have reached the device.
  bool started = false;
  // After the second read: the value the device reports for it (set when it differs).
  bool verified = false;
  std::string reported;
};

struct DeviceReport {
  std::string port;
  std::string deviceType;  // "Device Type:" of the first read
  std::string version;     // the firmware line of the first read
  std::vector<PhaseTime> phases;
  std::vector<WriteRecord> writes;
  std::vector<Refusal> refused;  // values the form asks for that no command can carry
  std::string backup;            // the backup of the first read, taken before the writes
  bool verifyRan = false;
  size_t mismatches = 0;  // written values the second read does not report
  bool ok = false;
  std::string failure;  // why not, one line
  LeaveNote leave = LeaveNote::kNotLoggedIn;
  bool restarted = false;  // the device booted again during the run
  // The labels of the rows whose values this device's row of a --per-device table gave.
  std::vector<std::string> fromCsv;
};

struct RunPlan {
  LineSettings settings;
  // After the first read: the writes to send (the tables hold the device's values). Null for a
  // plain read.
  std::function<ComposedWrites(DeviceSession& session)> compose;
  // Composes and reports, sends nothing.
  bool dryRun = false;
  // A second read checks that every accepted write holds.
  bool verify = true;
  // Ends with "at+quit" (the device back in its data mode).
  bool quit = true;
  // Where the first read is kept before the first write (write_backup.h); a backup that cannot
  // be written fails the device before anything is written to it.
  BackupSettings backup;
  // Called with the reply of the first read (a read into a file); a non-empty return fails the
  // device with that reason.
  std::function<std::string(const std::string& reply)> onRead;
  // Prepares the fresh session's tables before the port opens.
  std::function<void(DeviceSession& session)> prepare;
  // After the first read, before `compose`: may set the session's tables up anew from the reply
  // (the form they come from is built while the devices are read). A non-empty return fails the
  // device with that reason.
  std::function<std::string(DeviceSession& session, const std::string& reply)> beforeCompose;
  // `-v`: the traffic with the device goes here (passwords masked unless `showSecrets`).
  std::ostream* traffic = nullptr;
  bool showSecrets = false;
  // The labels of the values a --per-device table gives the device at `port`, for its report.
  std::function<std::vector<std::string>(const std::string& port)> fromCsv;
};

class DeviceRunner : public SessionListener {
 public:
  DeviceRunner(std::string port, const RunPlan& plan);
  ~DeviceRunner() override;
  DeviceRunner(const DeviceRunner&) = delete;
  DeviceRunner& operator=(const DeviceRunner&) = delete;

  // Opens the port and starts the login.
  void Start();
  // Advances when what the phase waits for has happened; call it often on the UI thread.
  void Step();
  // A signal: the queued jobs are dropped at once; the job under way is given a moment to end,
  // then "at+quit" is sent (unless the plan stays) and awaited briefly; then the port closes.
  void Interrupt();

  bool Done() const { return phase_ == RunPhase::kDone; }
  RunPhase Phase() const { return phase_; }
  size_t WritesFinished() const { return writesFinished_; }
  // The first read's command has gone to the worker: the reply comes without the UI thread.
  bool ReadUnderWay() const { return readUnderWay_; }
  const DeviceReport& Report() const { return report_; }
  const std::string& FirstReply() const { return firstReply_; }
  DeviceSession& session() { return *session_; }

  // SessionListener
  void OnSessionLog(const std::string& text) override;
  void OnSessionLogOfKind(const std::string& text, LogKind kind) override;
  void OnSessionEvent(SessionEvent event) override;
  void OnEscapeRefused() override;
  void OnShowParsed(const std::string& reply, const ShowReplyResult& result) override;
  void OnJobStarted(const WorkJob& job) override;
  void OnJobFinished(const WorkJob& job, JobOutcome outcome) override;
  void OnDeviceRestarted() override;
  void OnConnectionLost(const std::string& path, int error) override;
  void OnMessageBox(const std::string& text) override;

 private:
  void Enter(RunPhase phase);
  // Records why the device failed (the first reason stays) and leaves it.
  void Fail(const std::string& why);
  // Sends the device back to its data mode when it is in its setting mode, or finishes.
  void Leave();
  void Finish();
  bool QueueShow();
  // The first read ended: check it and go on to the writes (or the quit).
  void AfterRead();
  void AfterWrites();
  void AfterVerify();
  void StartQuit();
  void StepQuit(bool late);
  // How a show job that did not complete failed, for the failure line; empty when it completed.
  std::string ShowFailure(const char* what) const;
  std::string Where() const;
  // "; 3 writes not sent", or empty.
  std::string NotSentTail() const;

  std::string port_;
  RunPlan plan_;
  std::unique_ptr<DeviceSession> session_;
  std::unique_ptr<TrafficLog> traffic_;
  RunPhase phase_ = RunPhase::kLogin;
  QElapsedTimer phaseClock_;
  QElapsedTimer deadlineClock_;
  int deadlineMs_ = 0;
  bool lost_ = false;
  bool escapeRefused_ = false;
  // The show job of the current phase ended, and how.
  bool showEnded_ = false;
  JobOutcome showOutcome_ = JobOutcome::kFailed;
  bool showParsed_ = false;
  ShowReplyResult showResult_;
  std::string lastReply_;
  std::string firstReply_;
  size_t writesFinished_ = 0;
  bool readUnderWay_ = false;
  bool loggedInOnce_ = false;
  bool interrupted_ = false;
  bool quitStarted_ = false;
  bool quitEnded_ = false;
  JobOutcome quitOutcome_ = JobOutcome::kFailed;
  // Leaving: how long the job under way may still take before it is given up on.
  int graceMs_ = 0;
  DeviceReport report_;
};
