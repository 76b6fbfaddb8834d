// CZR350FrameWnd: the main window object. It holds the state that the threads share, routes
// every message of the window through HandleMessage, and owns the log pane, the button sets,
// the login state display and the caption texts.
#pragma once

#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "texts/form.h"
#include "app/message_pump.h"
#include "app/messages.h"
#include "texts/settings.h"
#include "catalogue/param_table.h"
#include "exchange/exchange_host.h"
#include "exchange/exchange_state.h"
#include "exchange/worker.h"
#include "form/pages.h"
#include "form/tab_table.h"
#include "serial/serial_port.h"

class SkinWindow;

class CZR350FrameWnd : public NotifySink, public ExchangeHost {
 public:
  static constexpr int kLogTextLimit = 300000;
  static constexpr int kSTimerId = 101;
  static constexpr int kTitleTimerId = 102;

  CZR350FrameWnd(ProgramPaths paths, int languageValue);
  ~CZR350FrameWnd() override;
  CZR350FrameWnd(const CZR350FrameWnd&) = delete;
  CZR350FrameWnd& operator=(const CZR350FrameWnd&) = delete;

  // Builds the form from "skin.xml" and runs Init. False (and `*error` says why) when the skin
  // cannot be loaded.
  bool Create(std::string* error);

  // The one routing function of every message of the window.
  MessageResult HandleMessage(MessageId msg, WParam wParam, LParam lParam);
  void PostMessage(MessageId msg, WParam wParam = 0, LParam lParam = 0);
  MessageResult SendMessage(MessageId msg, WParam wParam = 0, LParam lParam = 0,
                            bool* delivered = nullptr);
  // Ends the message loop (the close button, the language switch).
  void PostQuit();

  // UI thread only.
  void AppendLog(const std::string& text);
  // Any thread: the text is copied and appended on the UI thread.
  void PostLog(const std::string& text) override;

  void SetButtons(WParam wParam, LParam lParam);
  // Queues a device command for the worker (the dispatcher's buttons, the headless commands).
  void QueueCommand(int kind, const std::string& command);
  // Starts the worker thread; false (and a log line) when it cannot run.
  bool StartWorker();
  // "Open": opens the chosen port when closed, closes it when open.
  void OnStartCom();
  // Lists the serial ports again in "SerialPort", keeping the choice when it is still there.
  void RefreshPortList();
  void SetDeviceState(bool loggedInNow);
  void RefreshTitleAndHelp();
  void SetControlEnabled(const std::string& name, bool enabled);
  void SwitchLanguage();

  // ExchangeHost
  size_t WriteToPort(const char* data, size_t count) override;
  void PostSetButtons(int wParam, int lParam) override;
  bool RunOnUiThread(std::function<void()> work) override;
  void AbandonUiHandOvers() override;
  void JobFinished(const WorkJob& job, JobOutcome outcome) override;
  bool PortIsOpen() const override;
  bool LoggedIn() const override { return loggedIn; }
  int TimeoutFactor() const override { return timeoutFactor; }
  void SetButtons(int wParam, int lParam) override;
  void ArmSTimer(int periodMs) override;
  void StopSTimer() override;
  void ShowReceived(const std::string& reply) override;
  ParamTable& Params() override { return params; }
  ListParamTable& ListParams() override { return listParams; }
  bool& FiveDioModel() override { return fiveDioModel; }
  void SaveParams() override;
  Form* GetForm() override { return window_ ? &form() : nullptr; }
  void ShowMessageBox(const std::string& text) override;

  // NotifySink
  void Notify(const Notification& notification) override;
  void OnMaximizedChanged(bool maximized) override;
  void OnWindowClosed() override;

  Form& form();
  SkinWindow* window() { return window_.get(); }
  MessagePump& pump() { return pump_; }

  // Hooks for the program and its tests: what ending the loop and restarting mean.
  std::function<void()> onQuit;
  std::function<void()> onRestart;
  // Called after a show reply was parsed into the tables (headless reads wait for it).
  std::function<void()> onShowApplied;
  // Called on the UI thread when a job has ended, after its log lines.
  std::function<void(int kind, JobOutcome outcome)> onJobFinished;
  // Replaces the message boxes (headless commands report their texts themselves).
  std::function<void(const std::string& text)> onMessageBox;
  // Called with every line that reaches the log pane (headless progress).
  std::function<void(const std::string& text)> onLog;
  // No one to click message boxes away: they go to stderr.
  bool headless = false;

  // Shared state.
  TabTable tabs;
  bool loggedIn = false;
  int languageValue = 0;
  int timeoutFactor = 1;
  bool fiveDioModel = false;
  std::string deviceTypeText;
  std::string loraVersionText;
  std::string configFilePath;
  // Chunks received from the port since the program started (a device that talks at all).
  unsigned long receivedChunks = 0;
  // A device path given on the command line; listed even when discovery does not find it.
  std::string preselectedPort;
  CSerialPort serialPort;
  ParamTable params;
  ListParamTable listParams;
  ExchangeState exchange;
  const ProgramPaths paths;

 private:
  void Init();
  // The dispatcher's actions.
  void OnWindowInit();
  void OnClick(const std::string& name);
  void OnItemSelect(const std::string& name);
  // Closes the port as the "Open" button does, with `logLine` in the log pane.
  void CloseConnection(const std::string& logLine);
  void OnDeviceGone(int error);
  void OnShowReceived(const char* reply, size_t count);
  // "SaveToFile": asks for a file and queues the show request whose reply goes into it.
  void SaveToFile();

  void OnTimer(int id);
  void RunSystemCommand(WParam command);

  CDialogBuilderCallbackEx builderCallback_;
  std::unique_ptr<SkinWindow> window_;
  MessagePump pump_;
  Control* closeButton_ = nullptr;
  Control* maxButton_ = nullptr;
  Control* restoreButton_ = nullptr;
  Control* minButton_ = nullptr;
  Control* logControl_ = nullptr;
  RichEditControl* logPane_ = nullptr;
  std::unique_ptr<ExchangeWorker> worker_;
  QTimer sTimer_;
  QTimer titleTimer_;
};
