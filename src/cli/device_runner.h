// One device of a headless command that works on several devices at once: its own session (port,
// worker thread, tables), driven step by step from the UI thread's event loop so that many
// runners advance side by side without nested event loops.
//
//   log in -> read -> [writes from `compose`] -> [verify by a second read] -> at+quit -> done
//
// A device that goes away, stays silent, refuses the read or times out fails alone; its runner
// ends and the others go on.
#pragma once

#include <QElapsedTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "serial/line_settings.h"
#include "session/device_session.h"
#include "writing/save_composition.h"
#include "writing/write_backup.h"

enum class RunPhase { kLogin, kRead, kWrite, kVerify, kQuit, kDone };

// "login", "read", "write", "verify", "quit", "done".
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

struct WriteRecord {
  WorkJob job;
  WriteVerdict verdict = WriteVerdict::kPending;
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
  // Ctrl+C: nothing more is sent; the port closes at once.
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
  void OnButtonSet(int set, bool enable) override;
  void OnEscapeRefused() override;
  void OnShowParsed(const std::string& reply, const ShowReplyResult& result) override;
  void OnJobStarted(const WorkJob& job) override;
  void OnJobFinished(const WorkJob& job, JobOutcome outcome) override;
  void OnConnectionLost(const std::string& path, int error) override;
  void OnMessageBox(const std::string& text) override;

 private:
  void Enter(RunPhase phase);
  void Fail(const std::string& why);
  void Finish();
  bool QueueShow();
  // The first read ended: check it and go on to the writes (or the quit).
  void AfterRead();
  void AfterVerify();
  void StartQuit();
  std::string Where() const;

  std::string port_;
  RunPlan plan_;
  std::unique_ptr<DeviceSession> session_;
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
  bool quitEnded_ = false;
  DeviceReport report_;
};
