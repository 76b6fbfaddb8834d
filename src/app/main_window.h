// CZR350FrameWnd: the main window. It builds the form from the skin and wires its four panels
// together: the device panel (port, connection, buttons, device state), the parameters panel
// (pages, rules, files), the log and status line, and the language settings. Every message of
// the window passes through HandleMessage; every notification of the form and every event of
// the session is routed to the panel it concerns. The device itself is its DeviceSession's.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/device_panel.h"
#include "app/language_settings.h"
#include "app/log_and_status.h"
#include "app/messages.h"
#include "app/parameters_panel.h"
#include "form/pages.h"
#include "session/device_session.h"
#include "texts/form.h"
#include "texts/settings.h"

class SkinWindow;

// What the program and its tests plug into the window.
struct WindowHooks {
  // Ending the message loop (the close button, the language switch) and restarting the program.
  std::function<void()> quit;
  // Starts the program anew; false when the new instance could not be started.
  std::function<bool()> restart;
  // After a show reply was parsed and shown on the form.
  std::function<void()> showApplied;
  // On the UI thread when a job has ended, after its log lines.
  std::function<void(JobKind kind, JobOutcome outcome)> jobFinished;
  // Replaces the message boxes.
  std::function<void(const std::string& text)> messageBox;
  // Answers a yes/no question asked before an action that cannot be undone; true goes ahead.
  // Without it the user is asked, and a headless program answers no.
  std::function<bool(const std::string& text)> confirm;
  // Answers what to do with a loaded file that changes the device (replaces the dialog).
  std::function<FileWritesChoice(const std::vector<std::string>& lines)> chooseFileWrites;
  // Answers "New profile…" (replaces the model dialog): a profile model's name, or nullopt.
  std::function<std::optional<std::string>()> chooseProfileModel;
  // Every line that reaches the log pane.
  std::function<void(const std::string& text)> log;
  // No one to click message boxes away: they go to stderr.
  bool headless = false;
};

class CZR350FrameWnd : public NotifySink, public SessionListener {
 public:
  // How long closing may wait for a logged-in device to take "at+quit".
  static constexpr int kClosingQuitBoundMs = 300;

  CZR350FrameWnd(ProgramPaths paths, int languageValue);
  ~CZR350FrameWnd() override;
  CZR350FrameWnd(const CZR350FrameWnd&) = delete;
  CZR350FrameWnd& operator=(const CZR350FrameWnd&) = delete;

  // Builds the form from "skin.xml" and its panels. False (and `*error` says why) when the skin
  // cannot be loaded.
  bool Create(std::string* error);
  // Starts the session's worker; false (and a log line) when it cannot run.
  bool StartWorker(WorkerOptions options = {});

  // The one routing function of every message of the window.
  MessageResult HandleMessage(MessageId msg, WParam wParam, LParam lParam);
  void PostMessage(MessageId msg, WParam wParam = 0, LParam lParam = 0);
  void PostQuit();

  // NotifySink
  void Notify(const Notification& notification) override;
  void OnMaximizedChanged(bool maximized) override;
  void OnResized() override;
  void OnWindowClosed() override;

  // SessionListener
  void OnSessionLog(const std::string& text) override;
  void OnSessionLogOfKind(const std::string& text, LogKind kind) override;
  void OnJobStarted(const WorkJob& job) override;
  void OnBatchProgress(const BatchProgress& batch) override;
  void OnBatchEnded(const BatchSummary& summary) override;
  void OnSessionEvent(SessionEvent event) override;
  void OnShowParsed(const std::string& reply, const ShowReplyResult& result) override;
  void OnLoadReadBack() override;
  void OnNetMode(const std::string& mode) override;
  void OnJobFinished(const WorkJob& job, JobOutcome outcome) override;
  void OnConnectionLost(const std::string& path, int error) override;
  void OnMessageBox(const std::string& text) override;

  // The parts, once Create has built them.
  Form& form();
  SkinWindow* window() { return window_.get(); }
  DeviceSession& session() { return session_; }
  WindowHooks& hooks() { return hooks_; }
  DevicePanel& device() { return *device_; }
  ParametersPanel& parameters() { return *parameters_; }
  LogAndStatus& logStatus() { return *logStatus_; }
  LanguageSettings& language() { return *language_; }
  const ProgramPaths& paths() const { return paths_; }
  int languageValue() const { return languageValue_; }

 private:
  // The dispatcher: notifications and clicks to their actions.
  void OnClick(const std::string& name);
  void QueueCommand(JobKind kind, const std::string& command);
  // The dialogs, or the hooks that answer them, or stderr when no one can.
  void ShowMessageBox(const std::string& text);
  bool Confirm(const std::string& text);
  FileWritesChoice ChooseFileWrites(const std::vector<std::string>& lines);
  bool NoOneToAsk() const;
  void Log(const std::string& text, LogKind kind = LogKind::kProgram);
  // The connection state on the device panel, the status line and the title.
  void ShowConnectionState(bool loggedIn);
  // The desktop title and the caption's document line: the device, the port, the profile file
  // and whether the form holds unsaved edits.
  void ShowTitle();
  // The close button or the desktop closing the window: asks first when edits would be lost.
  void Close();

  const ProgramPaths paths_;
  const int languageValue_;
  WindowHooks hooks_;
  CDialogBuilderCallbackEx builderCallback_;
  std::unique_ptr<SkinWindow> window_;
  // The window's own posted messages.
  UiTaskQueue messages_;
  DeviceSession session_;
  std::unique_ptr<LogAndStatus> logStatus_;
  std::unique_ptr<DevicePanel> device_;
  std::unique_ptr<ParametersPanel> parameters_;
  std::unique_ptr<LanguageSettings> language_;
  Control* closeButton_ = nullptr;
  Control* maxButton_ = nullptr;
  Control* restoreButton_ = nullptr;
  Control* minButton_ = nullptr;
};
