#include "app/main_window.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>

#include "app/button_sets.h"
#include "app/confirmations.h"
#include "app/file_writes_dialog.h"
#include "app/keyboard.h"
#include "app/profile_model_dialog.h"
#include "app/status_line.h"
#include "app/title_texts.h"
#include "exchange/worker.h"
#include "form/tab_strip.h"
#include "texts/language.h"
#include "ui/skin_window.h"

CZR350FrameWnd::CZR350FrameWnd(ProgramPaths programPaths, int language)
    : paths_(std::move(programPaths)), languageValue_(language), session_(*this) {
  hooks_.quit = [] { QCoreApplication::exit(0); };
  if (!QCoreApplication::instance()) hooks_.headless = true;
}

CZR350FrameWnd::~CZR350FrameWnd() {
  // Messages still queued are dropped.
  messages_.Shutdown();
}

bool CZR350FrameWnd::Create(std::string* error) {
  window_ = std::make_unique<SkinWindow>(paths_.skinDir, &builderCallback_, this);
  if (!window_->Load("skin.xml")) {
    if (error) *error = window_->LoadError();
    return false;
  }
  window_->SetWindowTitle(kProgramName);
  Form& f = *window_;

  LogAndStatus::Hooks logHooks;
  logHooks.observe = [this](const std::string& text) {
    if (hooks_.log) hooks_.log(text);
  };
  logHooks.messageBox = [this](const std::string& text) { ShowMessageBox(text); };
  logHooks.cancelBatch = [this] { session_.CancelBatch(); };
  logStatus_ = std::make_unique<LogAndStatus>(f, std::move(logHooks));

  DevicePanel::Hooks deviceHooks;
  deviceHooks.log = [this](const std::string& text, LogKind kind) { Log(text, kind); };
  deviceHooks.stateChanged = [this](bool loggedIn) { ShowConnectionState(loggedIn); };
  deviceHooks.connected = [this](const std::string& path, const std::string& baud,
                                 const std::string& code) {
    logStatus_->ShowConnection(path, baud, code);
  };
  device_ = std::make_unique<DevicePanel>(f, session_, paths_.configPath, std::move(deviceHooks));

  ParametersPanel::Hooks parameterHooks;
  parameterHooks.postRule = [this](int rule, int argument) {
    PostMessage(WM_FORM_RULE, static_cast<WParam>(rule), argument);
  };
  parameterHooks.log = [this](const std::string& text) { Log(text); };
  parameterHooks.messageBox = [this](const std::string& text) { ShowMessageBox(text); };
  parameterHooks.chooseFileWrites = [this](const std::vector<std::string>& lines) {
    return ChooseFileWrites(lines);
  };
  parameterHooks.confirm = [this](const std::string& text) { return Confirm(text); };
  parameterHooks.chooseProfileModel = [this]() -> std::optional<std::string> {
    if (hooks_.chooseProfileModel) return hooks_.chooseProfileModel();
    if (NoOneToAsk()) return std::nullopt;
    return AskProfileModel(window_.get());
  };
  parameterHooks.documentChanged = [this] { ShowTitle(); };
  parameterHooks.headless = [this] { return hooks_.headless; };
  parameters_ = std::make_unique<ParametersPanel>(*window_, session_, languageValue_,
                                                  std::move(parameterHooks));

  LanguageSettings::Hooks languageHooks;
  languageHooks.confirm = [this](const std::string& text) { return Confirm(text); };
  languageHooks.unsavedEdits = [this] { return parameters_->HasUnsavedEdits(); };
  languageHooks.messageBox = [this](const std::string& text) { ShowMessageBox(text); };
  languageHooks.restart = [this] { return !hooks_.restart || hooks_.restart(); };
  languageHooks.closeForRestart = [this] {
    form().HideWindow();
    PostQuit();
  };
  language_ = std::make_unique<LanguageSettings>(f, session_, paths_, languageValue_,
                                                 std::move(languageHooks));

  closeButton_ = f.Find("closebtn");
  maxButton_ = f.Find("maxbtn");
  restoreButton_ = f.Find("restorebtn");
  minButton_ = f.Find("minbtn");
  logStatus_->Install();
  device_->Install();
  ShowConnectionState(false);
  language_->Install();
  ArrangeTabOrder(f);
  InstallShortcuts(*window_, f);
  parameters_->tabs().Reset();
  PostMessage(WM_SET_BUTTONS, 0, kSetPort);
  UpdateTabStrip(f, parameters_->tabs(), TabStripMode::Rebuild);
  return true;
}

Form& CZR350FrameWnd::form() {
  return *window_;
}

void CZR350FrameWnd::PostMessage(MessageId msg, WParam wParam, LParam lParam) {
  messages_.Post([this, msg, wParam, lParam] { HandleMessage(msg, wParam, lParam); });
}

void CZR350FrameWnd::PostQuit() {
  PostMessage(WM_QUIT_PROGRAM);
}

MessageResult CZR350FrameWnd::HandleMessage(MessageId msg, WParam wParam, LParam lParam) {
  switch (msg) {
    case WM_SAVE_TO_FILE:
      parameters_->SaveToFile();
      return 0;
    case WM_LOAD_FROM_FILE:
      parameters_->LoadFromFile();
      return 0;
    case WM_FORM_RULE:
      parameters_->RunRule(static_cast<int>(wParam), static_cast<int>(lParam));
      return 0;
    case WM_SET_BUTTONS:
      device_->SetButtons(wParam == 1, lParam);
      return 1;
    case WM_SWITCH_LANGUAGE:
      language_->SwitchLanguage();
      return 0;
    case WM_QUIT_PROGRAM:
      session_.QuitBeforeClosing(kClosingQuitBoundMs);
      if (hooks_.quit) hooks_.quit();
      return 0;
    default:
      return 0;
  }
}

void CZR350FrameWnd::OnMaximizedChanged(bool maximized) {
  if (maxButton_) maxButton_->SetVisible(!maximized);
  if (restoreButton_) restoreButton_->SetVisible(maximized);
}

void CZR350FrameWnd::OnResized() {
  if (parameters_) parameters_->FitTabs();
}

void CZR350FrameWnd::OnWindowClosed() {
  Close();
}

void CZR350FrameWnd::Close() {
  // Edits neither written nor saved are lost only when the user says so.
  if (parameters_ && parameters_->HasUnsavedEdits() &&
      !Confirm(LanguageText("Profile", "CloseQuestion", "")))
    return;
  PostQuit();
}

void CZR350FrameWnd::ShowConnectionState(bool loggedIn) {
  device_->ShowLook(loggedIn);
  ShowTitle();
  logStatus_->ShowState(session_.State(), session_.IsOpen());
}

void CZR350FrameWnd::ShowTitle() {
  if (!window_ || !parameters_) return;
  const bool unsaved = parameters_->HasUnsavedEdits();
  const std::string document = DocumentName(parameters_->DocumentPath());
  window_->SetWindowTitle(WindowTitleText(session_.Facts().deviceTypeText,
                                          session_.IsOpen() ? session_.PortPath() : "", document,
                                          unsaved));
  if (Control* caption = form().Find("ProfileName")) {
    caption->SetText(DocumentCaptionText(document, unsaved));
    caption->SetVisible(parameters_->ShowsProfile() || unsaved);
  }
}

bool CZR350FrameWnd::StartWorker(WorkerOptions options) {
  if (session_.StartWorker(options)) return true;
  Log(LanguageText("WinMain", "WorkThread", "\r\n"));
  return false;
}

void CZR350FrameWnd::Log(const std::string& text, LogKind kind) {
  if (logStatus_) {
    logStatus_->Append(text, kind);
  } else if (hooks_.log) {
    hooks_.log(text);
  }
}

void CZR350FrameWnd::OnSessionLog(const std::string& text) {
  Log(text);
}

void CZR350FrameWnd::OnSessionLogOfKind(const std::string& text, LogKind kind) {
  if (logStatus_) logStatus_->Traffic(text, kind);
}

void CZR350FrameWnd::OnJobStarted(const WorkJob& job) {
  logStatus_->JobStarted(job);
}

void CZR350FrameWnd::OnBatchProgress(const BatchProgress& batch) {
  logStatus_->BatchProgressed(batch);
  device_->ShowBatchProgress(batch);
}

void CZR350FrameWnd::OnBatchEnded(const BatchSummary& summary) {
  const bool clean = logStatus_->BatchEnded(summary);
  device_->ShowBatchEnded(BatchSummaryText(summary), clean);
  parameters_->WritesEnded(clean);
}

void CZR350FrameWnd::OnSessionEvent(SessionEvent event) {
  const ButtonSetSwitch change = ButtonSetFor(event);
  device_->SetButtons(change.enable, change.set);
  if (event == SessionEvent::kLoggedOut || event == SessionEvent::kPortClosed)
    device_->ClearBatchResult();
}

void CZR350FrameWnd::OnShowParsed(const std::string& reply, const ShowReplyResult& /*result*/) {
  parameters_->ShowValues(reply);
  logStatus_->ShowDevice(reply);
  ShowConnectionState(session_.LoggedIn());
  if (hooks_.showApplied) hooks_.showApplied();
}

void CZR350FrameWnd::OnLoadReadBack() {
  parameters_->FinishFileLoad();
}

void CZR350FrameWnd::OnNetMode(const std::string& mode) {
  parameters_->ShowNetMode(mode);
}

void CZR350FrameWnd::OnJobFinished(const WorkJob& job, JobOutcome outcome) {
  logStatus_->JobFinished(job, outcome);
  // A confirmed write is in the tables now: its mark goes.
  if (job.kind == JobKind::kWrite && outcome == JobOutcome::kCompleted)
    parameters_->WriteAccepted(job);
  if (job.kind == JobKind::kWrite) parameters_->ScheduleChangeMarks();
  if (hooks_.jobFinished) hooks_.jobFinished(job.kind, outcome);
}

void CZR350FrameWnd::OnConnectionLost(const std::string& path, int /*error*/) {
  device_->ConnectionLost(path);
}

void CZR350FrameWnd::OnMessageBox(const std::string& text) {
  ShowMessageBox(text);
}

bool CZR350FrameWnd::NoOneToAsk() const {
  return hooks_.headless || QGuiApplication::platformName() == "offscreen";
}

bool CZR350FrameWnd::Confirm(const std::string& text) {
  if (hooks_.confirm) return hooks_.confirm(text);
  if (NoOneToAsk()) {
    std::fprintf(stderr, "%s: %s (no one to answer: no)\n", kProgramName, text.c_str());
    return false;
  }
  return AskQuestion(window_.get(), text);
}

FileWritesChoice CZR350FrameWnd::ChooseFileWrites(const std::vector<std::string>& lines) {
  if (hooks_.chooseFileWrites) return hooks_.chooseFileWrites(lines);
  if (NoOneToAsk()) {
    std::fprintf(stderr, "%s: a file would write %zu values (no one to answer: form only)\n",
                 kProgramName, lines.size());
    return FileWritesChoice::kFormOnly;
  }
  return AskFileWrites(window_.get(), lines);
}

void CZR350FrameWnd::ShowMessageBox(const std::string& text) {
  if (hooks_.messageBox) return hooks_.messageBox(text);
  if (NoOneToAsk()) {
    std::fprintf(stderr, "%s: %s\n", kProgramName, text.c_str());
    return;
  }
  QMessageBox::information(window_.get(), kProgramName, QString::fromStdString(text));
}
