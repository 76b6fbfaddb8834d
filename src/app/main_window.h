// CZR350FrameWnd: the main window. It holds the form built from the skin, routes every message
// of the window through HandleMessage, and owns the log pane, the button sets, the login state
// display and the caption texts. The device itself is its DeviceSession's.
#pragma once

#include <QTimer>

#include <functional>
#include <memory>
#include <string>

#include "app/keyboard.h"
#include "app/messages.h"
#include "app/port_panel.h"
#include "catalogue/show_reply_parser.h"
#include "form/pages.h"
#include "form/tab_table.h"
#include "form_logic/form_controller.h"
#include "session/device_session.h"
#include "texts/form.h"
#include "texts/settings.h"

class LogPane;
class QLabel;
class SkinWindow;
class StatusLine;

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
  // Every line that reaches the log pane.
  std::function<void(const std::string& text)> log;
  // No one to click message boxes away: they go to stderr.
  bool headless = false;
};

class CZR350FrameWnd : public NotifySink, public SessionListener {
 public:
  static constexpr int kLogTextLimit = 300000;
  static constexpr int kTitleTimerId = 102;
  // How long closing may wait for a logged-in device to take "at+quit".
  static constexpr int kClosingQuitBoundMs = 300;

  CZR350FrameWnd(ProgramPaths paths, int languageValue);
  ~CZR350FrameWnd() override;
  CZR350FrameWnd(const CZR350FrameWnd&) = delete;
  CZR350FrameWnd& operator=(const CZR350FrameWnd&) = delete;

  // Builds the form from "skin.xml" and runs Init. False (and `*error` says why) when the skin
  // cannot be loaded.
  bool Create(std::string* error);
  // Starts the session's worker; false (and a log line) when it cannot run.
  bool StartWorker(WorkerOptions options = {});

  // The one routing function of every message of the window.
  MessageResult HandleMessage(MessageId msg, WParam wParam, LParam lParam);
  void PostMessage(MessageId msg, WParam wParam = 0, LParam lParam = 0);
  void PostQuit();

  // UI thread only.
  void AppendLog(const std::string& text, LogKind kind = LogKind::kProgram);
  void ClearLog();
  void SetButtons(WParam wParam, LParam lParam);
  // "Open": opens the chosen port when closed, closes it when open.
  void OnStartCom();
  // A device path from the command line: listed even when discovery does not find it.
  void PreselectPort(const std::string& path);
  // Lists the serial ports again in "SerialPort", keeping the choice when it is still there.
  void RefreshPortList();
  void SetDeviceState(bool loggedIn);
  void RefreshTitleAndHelp();
  void SetControlEnabled(const std::string& name, bool enabled);
  void SwitchLanguage();
  // "Open file" without its dialog: the file onto the form, then the device's differences
  // written (when logged in). False when the file cannot be used; the log says why.
  bool LoadFile(const std::string& path);

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

  Form& form();
  SkinWindow* window() { return window_.get(); }
  DeviceSession& session() { return session_; }
  WindowHooks& hooks() { return hooks_; }
  TabTable& tabs() { return tabs_; }
  FormController& formLogic() { return *formLogic_; }
  LogPane* logPane() { return log_.get(); }
  StatusLine* statusLine() { return statusLine_; }
  PortPanel& portPanel() { return *portPanel_; }
  const ProgramPaths& paths() const { return paths_; }
  int languageValue() const { return languageValue_; }
  bool loggedIn() const { return session_.LoggedIn(); }

 private:
  void Init();
  // The dispatcher's actions.
  void OnWindowInit();
  void OnClick(const std::string& name);
  void OnItemSelect(const std::string& name);
  void QueueCommand(JobKind kind, const std::string& command);
  // "RefreshPorts": lists the ports again and says what it found.
  void OnRefreshPorts();
  // A routing arrow: its image swaps "enable" and "disable".
  void ToggleChannel(const std::string& name);
  // "SaveToFile": asks for a file and queues the show request whose reply goes into it.
  void SaveToFile();
  // "LoadFromFile": asks for a file and loads it.
  void LoadFromFile();
  void ShowMessageBox(const std::string& text);
  bool Confirm(const std::string& text);
  // The log pane's tools and splitter, the status line and the batch result (log_and_status.cpp).
  void InitLogAndStatus();
  // The device-state area's look and the status line's state.
  void ShowConnectionState(bool loggedInNow);
  void ClearBatchResult();
  void ShowConnection(const std::string& path, const std::string& baud, const std::string& code);

  const ProgramPaths paths_;
  const int languageValue_;
  WindowHooks hooks_;
  CDialogBuilderCallbackEx builderCallback_;
  std::unique_ptr<SkinWindow> window_;
  // The window's own posted messages.
  UiTaskQueue messages_;
  DeviceSession session_;
  TabTable tabs_;
  std::unique_ptr<FormController> formLogic_;
  // The folder and file of the last configuration file saved or loaded.
  std::string configFilePath_;
  std::unique_ptr<PortPanel> portPanel_;
  Control* closeButton_ = nullptr;
  Control* maxButton_ = nullptr;
  Control* restoreButton_ = nullptr;
  Control* minButton_ = nullptr;
  std::unique_ptr<LogPane> log_;
  StatusLine* statusLine_ = nullptr;
  QLabel* batchResult_ = nullptr;
  QTimer titleTimer_;
  std::unique_ptr<FocusParking> focusParking_;
  // Marks what differs from the device once a burst of changes has settled.
  QTimer changeMarkTimer_;
  void ScheduleChangeMarks();
};
