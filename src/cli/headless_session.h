// A device session driven by a headless command: open, log in, run jobs and wait for them, with
// the event loop running while it waits. No form, no window.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "session/device_session.h"

class HeadlessSession : public SessionListener {
 public:
  // Log lines go to `progress` when it is given (stderr on a terminal).
  explicit HeadlessSession(std::ostream* progress);
  ~HeadlessSession() override;

  DeviceSession& session() { return session_; }

  // Opens the port and brings the device into its setting mode (its boot prompt answered, or
  // "+++" for a running device). False with one line in `*failure`.
  bool OpenAndLogIn(const std::string& path, const LineSettings& settings, std::string* failure);
  // Queues `job` and waits until it ends (or the port closes, or the time-out and a margin
  // passed). Returns whether it ended; `*outcome` then says how.
  bool RunJob(const WorkJob& job, JobOutcome* outcome);
  // The show reply last parsed, and what the parser found in it.
  const std::string& LastShowReply() const { return lastShowReply_; }
  const ShowReplyResult& LastShowResult() const { return lastShowResult_; }
  bool ShowParsed() const { return showParsed_; }
  const std::string& LastMessage() const { return lastMessage_; }
  // Called with every job that ended, after the session's own bookkeeping.
  std::function<void(const WorkJob&, JobOutcome)> onJobFinished;

  // SessionListener
  void OnSessionLog(const std::string& text) override;
  void OnButtonSet(int set, bool enable) override;
  void OnEscapeRefused() override;
  void OnShowParsed(const std::string& reply, const ShowReplyResult& result) override;
  void OnJobFinished(const WorkJob& job, JobOutcome outcome) override;
  void OnConnectionLost(const std::string& path, int error) override;
  void OnMessageBox(const std::string& text) override;

 private:
  std::ostream* progress_;
  DeviceSession session_;
  bool escapeRefused_ = false;
  bool lost_ = false;
  bool showParsed_ = false;
  std::string lastShowReply_;
  ShowReplyResult lastShowResult_;
  std::string lastMessage_;
  uint64_t finishedJobs_ = 0;
  JobOutcome lastOutcome_ = JobOutcome::kFailed;
  int lastKind_ = 0;
};
