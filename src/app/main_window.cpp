#include "app/main_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>
#include <fstream>

#include "app/button_sets.h"
#include "texts/language.h"
#include "app/title_texts.h"
#include "catalogue/show_reply_parser.h"
#include "exchange/receive_path.h"
#include "form/tab_strip.h"
#include "ui/skin_window.h"

CZR350FrameWnd::CZR350FrameWnd(ProgramPaths programPaths, int language)
    : languageValue(language),
      paths(std::move(programPaths)),
      pump_([this](MessageId msg, WParam w, LParam l) { return HandleMessage(msg, w, l); }) {
  onQuit = [] { QCoreApplication::exit(0); };
  sTimer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&sTimer_, &QTimer::timeout, [this] { OnTimer(kSTimerId); });
  if (!QCoreApplication::instance()) headless = true;
  titleTimer_.setSingleShot(true);
  QObject::connect(&titleTimer_, &QTimer::timeout, [this] { OnTimer(kTitleTimerId); });
}

CZR350FrameWnd::~CZR350FrameWnd() {
  // The worker goes first: whatever job runs is abandoned, its hand-overs skipped.
  if (worker_) worker_->Stop();
  // Blocked senders on other threads return at once from here on.
  pump_.Shutdown();
  if (serialPort.IsOpen()) serialPort.ClosePort();
  sTimer_.stop();
  titleTimer_.stop();
}

bool CZR350FrameWnd::Create(std::string* error) {
  window_ = std::make_unique<SkinWindow>(paths.skinDir, &builderCallback_, this);
  if (!window_->Load("skin.xml")) {
    if (error) *error = window_->LoadError();
    return false;
  }
  window_->SetWindowTitle(kProductName);
  Init();
  return true;
}

Form& CZR350FrameWnd::form() {
  return *window_;
}

void CZR350FrameWnd::Init() {
  Form& f = form();
  closeButton_ = f.Find("closebtn");
  maxButton_ = f.Find("maxbtn");
  restoreButton_ = f.Find("restorebtn");
  minButton_ = f.Find("minbtn");
  logControl_ = f.Find("richedit");
  logPane_ = logControl_ ? logControl_->AsRichEdit() : nullptr;
  if (logPane_) logPane_->SetTextLimit(kLogTextLimit);

  RefreshPortList();
  if (ComboControl* ports = f.FindCombo("SerialPort")) ports->SelectItem(0);
  if (ComboControl* language = f.FindCombo("Language")) language->SelectItem(languageValue != 0);

  tabs.Reset();
  PostMessage(WM_SET_BUTTONS, 0, 1);
  titleTimer_.start(100);
  UpdateTabStrip(f, tabs, TabStripMode::Rebuild);
}

void CZR350FrameWnd::PostMessage(MessageId msg, WParam wParam, LParam lParam) {
  pump_.Post(msg, wParam, lParam);
}

MessageResult CZR350FrameWnd::SendMessage(MessageId msg, WParam wParam, LParam lParam,
                                          bool* delivered) {
  return pump_.Send(msg, wParam, lParam, delivered);
}

void CZR350FrameWnd::PostQuit() {
  PostMessage(WM_QUIT_PROGRAM);
}

MessageResult CZR350FrameWnd::HandleMessage(MessageId msg, WParam wParam, LParam lParam) {
  switch (msg) {
    case WM_SERIAL_DATA:
      ++receivedChunks;
      ReceiveData(exchange, *this, reinterpret_cast<const char*>(wParam),
                  static_cast<size_t>(lParam));
      return 0;
    case WM_SHOW_RECEIVED:
      OnShowReceived(reinterpret_cast<const char*>(wParam), static_cast<size_t>(lParam));
      return 0;
    case WM_LOG_TEXT:
      AppendLog(std::string(reinterpret_cast<const char*>(wParam), static_cast<size_t>(lParam)));
      return 0;
    case WM_SAVE_TO_FILE:
      SaveToFile();
      return 0;
    case WM_LOAD_FROM_FILE:
      // Loading needs the form filled from values and the save composition, which come later.
      AppendLog("Open file: loading a configuration file is not available in this version.\r\n");
      return 0;
    case WM_SET_BUTTONS:
      SetButtons(wParam, lParam);
      return 1;
    case WM_SWITCH_LANGUAGE:
      SwitchLanguage();
      return 0;
    case WM_SYSCOMMAND:
      RunSystemCommand(wParam);
      return 0;
    case WM_JOB_FINISHED:
      if (onJobFinished) onJobFinished(static_cast<int>(wParam), static_cast<JobOutcome>(lParam));
      return 0;
    case WM_QUIT_PROGRAM:
      if (onQuit) onQuit();
      return 0;
    default:
      return 0;
  }
}

void CZR350FrameWnd::RunSystemCommand(WParam command) {
  switch (command) {
    case SC_CLOSE:
      PostQuit();
      break;
    case SC_MINIMIZE:
      form().RunWindowCommand(WindowCommand::Minimize);
      break;
    case SC_MAXIMIZE:
      form().RunWindowCommand(WindowCommand::Maximize);
      break;
    case SC_RESTORE:
      form().RunWindowCommand(WindowCommand::Restore);
      break;
    default:
      break;
  }
}

void CZR350FrameWnd::OnMaximizedChanged(bool maximized) {
  if (maxButton_) maxButton_->SetVisible(!maximized);
  if (restoreButton_) restoreButton_->SetVisible(maximized);
}

void CZR350FrameWnd::OnWindowClosed() {
  PostQuit();
}

void CZR350FrameWnd::AppendLog(const std::string& text) {
  if (onLog) onLog(text);
  if (!logPane_) return;
  // A full pane is cleared rather than trimmed: the log starts again with this line.
  if (logPane_->TextLength() + static_cast<long>(text.size()) >= logPane_->TextLimit() - 1)
    logControl_->SetText("");
  logPane_->AppendText(text);
  logPane_->ScrollToEnd();
}

void CZR350FrameWnd::PostLog(const std::string& text) {
  if (text.empty()) return;
  pump_.Post(WM_LOG_TEXT, 0, 0, text);
}

void CZR350FrameWnd::SetControlEnabled(const std::string& name, bool enabled) {
  if (Control* control = form().Find(name)) control->SetEnabled(enabled);
}

void CZR350FrameWnd::SetButtons(WParam wParam, LParam lParam) {
  const ButtonSet* set = FindButtonSet(lParam);
  if (!set) return;
  const bool en = wParam == 1;
  for (const char* name : set->followEnable) SetControlEnabled(name, en);
  for (const char* name : set->opposeEnable) SetControlEnabled(name, !en);
  if (set->updatesDeviceState) SetDeviceState(en);
}

void CZR350FrameWnd::SetDeviceState(bool loggedInNow) {
  loggedIn = loggedInNow;
  Control* state = form().Find("DeviceState");
  if (!state) return;
  state->SetText(LanguageText("SetDeviceState", loggedInNow ? "szLoginOn" : "szLoginOff", ""));
  if (loggedInNow) {
    if (Control* help = form().Find("helpGroupBox")) help->SetVisible(false);
  }
}

void CZR350FrameWnd::RefreshTitleAndHelp() {
  Form& f = form();
  if (RichEditControl* help = f.FindRichEdit("HelpRichEdit")) {
    // The help file is looked up in the working directory, as it always has been.
    const std::string path = QDir::currentPath().toStdString() + "//Help.txt";
    std::ifstream in(path, std::ios::binary);
    if (in) {
      std::string text(9999, '\0');
      in.read(text.data(), static_cast<std::streamsize>(text.size()));
      text.resize(static_cast<size_t>(in.gcount()));
      help->AppendText(text);
    } else {
      help->AppendText(LanguageText("InitValue", "Text", "\r\n"));
    }
  }
  if (Control* ver = f.Find("Ver")) {
    const std::string custom = ReadIniString(paths.configPath, "CustomVer", "CustomVer", "", 260);
    ver->SetText(VersionLabelText(languageValue, custom));
  }
  if (Control* verDown = f.Find("VerDown")) verDown->SetText(VersionDateText(languageValue));
  if (Control* logo = f.Find("Logo_Container")) logo->SetVisible(false);
}

void CZR350FrameWnd::OnTimer(int id) {
  if (id == kSTimerId) {
    SendSTick(*this);
  } else if (id == kTitleTimerId) {
    titleTimer_.stop();
    RefreshTitleAndHelp();
  }
}

void CZR350FrameWnd::SwitchLanguage() {
  ComboControl* language = form().FindCombo("Language");
  if (!language) return;
  const int index = language->CurSel();
  // Any value but 0 means Chinese, so choosing Chinese under a value of 2 changes nothing.
  if (index < 0 || index == languageValue || (index != 0 && languageValue != 0)) return;
  WriteIniString(paths.configPath, "Set", "Language", std::to_string(index));
  form().HideWindow();
  if (onRestart) onRestart();
  PostQuit();
}

bool CZR350FrameWnd::StartWorker() {
  worker_ = std::make_unique<ExchangeWorker>(exchange, *this);
  worker_->Start();
  if (worker_->Running()) return true;
  worker_.reset();
  AppendLog(LanguageText("WinMain", "WorkThread", "\r\n"));
  return false;
}

size_t CZR350FrameWnd::WriteToPort(const char* data, size_t count) {
  return serialPort.WriteBytes(data, count);
}

void CZR350FrameWnd::PostSetButtons(int wParam, int lParam) {
  PostMessage(WM_SET_BUTTONS, static_cast<WParam>(wParam), lParam);
}

bool CZR350FrameWnd::RunOnUiThread(std::function<void()> work) {
  return pump_.Invoke(std::move(work));
}

void CZR350FrameWnd::AbandonUiHandOvers() {
  pump_.Shutdown();
}

void CZR350FrameWnd::JobFinished(const WorkJob& job, JobOutcome outcome) {
  // Posted, so it arrives after the job's own log lines.
  PostMessage(WM_JOB_FINISHED, static_cast<WParam>(job.kind), static_cast<LParam>(outcome));
}

bool CZR350FrameWnd::PortIsOpen() const {
  return serialPort.IsOpen();
}

void CZR350FrameWnd::SetButtons(int wParam, int lParam) {
  HandleMessage(WM_SET_BUTTONS, static_cast<WParam>(wParam), lParam);
}

void CZR350FrameWnd::ArmSTimer(int periodMs) {
  sTimer_.start(periodMs);
}

void CZR350FrameWnd::StopSTimer() {
  sTimer_.stop();
}

void CZR350FrameWnd::ShowReceived(const std::string& reply) {
  HandleMessage(WM_SHOW_RECEIVED, reinterpret_cast<WParam>(reply.data()),
                static_cast<LParam>(reply.size()));
}

void CZR350FrameWnd::OnShowReceived(const char* reply, size_t count) {
  ParseShowReply(reply, count, params, listParams, fiveDioModel);
  if (onShowApplied) onShowApplied();
}

void CZR350FrameWnd::SaveParams() {
  // Writing the form back to the device is not built yet: say so instead of doing nothing.
  AppendLog("Save: writing the form to the device is not available in this version.\r\n");
}

void CZR350FrameWnd::ShowMessageBox(const std::string& text) {
  if (onMessageBox) return onMessageBox(text);
  if (headless || QGuiApplication::platformName() == "offscreen") {
    std::fprintf(stderr, "DTU: %s\n", text.c_str());
    return;
  }
  QMessageBox::information(nullptr, "DTU", QString::fromStdString(text));
}
