// DeviceSession: one device on one serial port. It owns the port, the exchange (job queue,
// worker, receive path, login), the parameter tables and an explicit connection state, and it
// needs no widget: the window and every headless command drive it alike.
//
// Threads: construct, open, close, log in and read the state on the UI thread (a thread running
// a Qt event loop). Jobs may be queued from any thread. What the session reports reaches its
// listener on the UI thread.
//
// Each opening of the port is an epoch of its own: the jobs, replies, time-outs, hand-overs and
// log lines of an earlier opening never reach a later one.
#pragma once

#include <QTimer>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "catalogue/device_facts.h"
#include "catalogue/param_table.h"
#include "exchange/enqueue_job.h"
#include "exchange/exchange_host.h"
#include "exchange/exchange_state.h"
#include "exchange/worker.h"
#include "serial/line_settings.h"
#include "serial/serial_port.h"
#include "session/batch_progress.h"
#include "session/connection_state.h"
#include "session/open_failure.h"
#include "session/s_stream.h"
#include "session/session_listener.h"
#include "session/ui_task_queue.h"
#include "writing/write_backup.h"

// How the login starts when the port opens.
enum class LoginStart {
  // The "s" stream runs from the opening; a running device needs the Login button ("+++").
  kBootStream,
  // A running device is asked with "+++" right away and a booting one answered at its prompt:
  // whichever answers first decides (the headless commands).
  kProbe,
};

class DeviceSession : public ExchangeHost {
 public:
  explicit DeviceSession(SessionListener& listener);
  ~DeviceSession() override;
  DeviceSession(const DeviceSession&) = delete;
  DeviceSession& operator=(const DeviceSession&) = delete;

  // Starts the worker thread; false when it cannot run (queued jobs then wait forever).
  bool StartWorker(WorkerOptions options = {});
  bool WorkerRunning() const { return worker_ != nullptr; }

  // Opens `path` (closing a port left open) and starts the login. The cause of a failure comes
  // back as a value; nothing is logged.
  OpenResult Open(const std::string& path, const LineSettings& settings, LoginStart login);
  // Closes the port: queued jobs are dropped, a running one ends without a verdict.
  void Close();
  // The Login button: "+++" now.
  void LoginByEscape();
  // The quit button: the command that sends the device back to its data mode is queued, and the
  // device counts as logged out from here on (whatever its answer). For the window and the
  // headless commands alike.
  EnqueueResult QuitSettingMode();
  // Closing the program: when logged in, writes the same command straight to the port, ahead of
  // any queued job, and waits at most `boundMs` for the port to take it. A port that takes nothing
  // in that time is closed, which ends the write: closing never hangs on a stuck adapter. True
  // (and the sent line logged at once) when the whole command was written; the device then
  // counts as logged out.
  bool QuitBeforeClosing(int boundMs);

  // Queues a job for the current opening (any thread).
  EnqueueResult Queue(const WorkJob& job);
  EnqueueResult Queue(JobKind kind, std::string_view command);
  size_t QueuedJobs() const { return state_.queue.Size(); }
  // Drops the writes of the running batch that wait in the queue; the one being sent finishes.
  // UI thread. Returns how many were dropped.
  int CancelBatch();
  const BatchProgress& Batch() const { return batch_; }
  // Drops every queued job, whatever its kind (a command being stopped); the writes among them
  // count as not sent. UI thread. Returns how many were dropped.
  int DropQueuedJobs();
  // Gives up on the job whose reply the worker awaits: it ends without a verdict and the worker
  // takes the next job. Whether one was running.
  bool AbandonRunningJob();

  ConnectionState State() const { return connection_; }
  bool IsOpen() const { return serialPort_.IsOpen(); }
  const std::string& PortPath() const { return serialPort_.PortPath(); }
  uint64_t Epoch() const { return epoch_.load(); }
  // How many "s" the login's stream wrote since the port opened (for the tests).
  int SStreamSent() const { return sStream_.SentCount(); }

  // ExchangeHost: what the worker and the receive path need.
  size_t WriteToPort(const char* data, size_t count) override;
  size_t WriteJobBytes(const WorkJob& job, const char* data, size_t count) override;
  void PostLog(const std::string& text) override;
  void PostLogOfKind(const std::string& text, LogKind kind) override;
  void PostJobLog(const WorkJob& job, const std::string& text, LogKind kind) override;
  void JobStarting(const WorkJob& job) override;
  void QueryAnswered(const WorkJob& job, const std::string& reply) override;
  void PostExchangeEvent(ExchangeEvent event) override;
  bool RunOnUiThread(std::function<void()> work) override;
  void AbandonUiHandOvers() override;
  void JobFinished(const WorkJob& job, JobOutcome outcome) override;
  void JobsDropped(const std::vector<WorkJob>& jobs) override;
  void DeviceRestarted() override;
  bool PortIsOpen() const override { return IsOpen(); }
  bool LoggedIn() const override { return connection_ == ConnectionState::kLoggedIn; }
  int TimeoutFactor() const override { return timeoutFactor_; }
  void OnExchangeEvent(ExchangeEvent event) override;
  void StopSTimer() override;
  void AnswerBootPrompt() override;
  void DeviceTalked() override;
  void EscapeRefused() override;
  void ShowReceived(const std::string& reply) override;
  ParamTable& Params() override { return params_; }
  ListParamTable& ListParams() override { return listParams_; }
  DeviceFacts& Facts() override { return facts_; }
  void LoadReadBack(const std::string& reply, const ShowReplyResult& result) override;
  void NetModeReceived(const std::string& mode) override;
  void ShowMessageBox(const std::string& text) override;

  // The backup taken before the first write after each whole read (write_backup.h): the window's
  // Write and file load and the headless writes ask it before sending.
  BackupBeforeWrites& Backup() { return backup_; }

  // The exchange itself, for the tests of the exchange's own behaviour.
  ExchangeState& Exchange() { return state_; }

 private:
  void OnData(const char* data, size_t count);
  void OnDeviceGone(int error);
  void ProbeTick();
  // Posts `work` to run on the UI thread unless the opening changed meanwhile.
  void PostForEpoch(uint64_t epoch, std::function<void()> work);
  void BeginEpoch();
  // The one place that counts the device out of its setting mode.
  void LeaveSettingMode();
  // Tells the listener after what is posted now.
  void PostSessionEvent(SessionEvent event);
  // After a change of the batch: its progress, or its summary once every write ended.
  void ReportBatch();
  // A read whose every row was found is what the next backup keeps; a partial one is not.
  void NoteRead(const std::string& reply, const ShowReplyResult& result);

  SessionListener& listener_;
  ExchangeState state_;
  UiTaskQueue tasks_;
  CSerialPort serialPort_;
  SStream sStream_;
  QTimer probeTimer_;
  QElapsedTimer lastReceived_;
  std::unique_ptr<ExchangeWorker> worker_;
  ParamTable params_;
  ListParamTable listParams_;
  DeviceFacts facts_;
  BatchProgress batch_;
  BackupBeforeWrites backup_;
  ConnectionState connection_ = ConnectionState::kClosed;
  LoginStart login_ = LoginStart::kBootStream;
  int timeoutFactor_ = 1;
  // A mirror of the exchange's epoch that may be read while the exchange's lock is held.
  std::atomic<uint64_t> epoch_{0};
  // Held while a job's bytes are written and while the epoch changes: a job's command reaches
  // exactly the opening it was queued for.
  std::mutex writeMutex_;
};
