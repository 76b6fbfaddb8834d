// The log pane with its tools and splitter, and the status line at the foot of the window: what
// the window says about the line, the device and the job in progress. UI thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "exchange/exchange_host.h"
#include "session/batch_progress.h"
#include "session/connection_state.h"
#include "texts/form.h"
#include "writing/work_job.h"

class LogPane;
class StatusLine;

class LogAndStatus {
 public:
  static constexpr int kLogTextLimit = 300000;

  struct Hooks {
    // Every line that reaches the log, before it is shown.
    std::function<void(const std::string& text)> observe;
    std::function<void(const std::string& text)> messageBox;
    // The status line's cancel button.
    std::function<void()> cancelBatch;
  };

  LogAndStatus(Form& form, Hooks hooks);
  ~LogAndStatus();
  LogAndStatus(const LogAndStatus&) = delete;
  LogAndStatus& operator=(const LogAndStatus&) = delete;

  // The log pane's tools, the splitter above it and the status line, into the built form.
  void Install();

  void Append(const std::string& text, LogKind kind = LogKind::kProgram);
  void Clear();
  // A piece of the traffic: logged, and counted by the status line while a job runs.
  void Traffic(const std::string& text, LogKind kind);

  void ShowState(ConnectionState state, bool portOpen);
  void ShowConnection(const std::string& path, const std::string& baud, const std::string& code);
  // The device type and software version of a show reply.
  void ShowDevice(const std::string& reply);
  void JobStarted(const WorkJob& job);
  void JobFinished(const WorkJob& job, JobOutcome outcome);
  void BatchProgressed(const BatchProgress& batch);
  // Logs the batch's summary; true when every write went through.
  bool BatchEnded(const BatchSummary& summary);

  LogPane* pane() { return pane_.get(); }
  StatusLine* statusLine() { return statusLine_; }

 private:
  Form& form_;
  Hooks hooks_;
  std::unique_ptr<LogPane> pane_;
  StatusLine* statusLine_ = nullptr;
};
