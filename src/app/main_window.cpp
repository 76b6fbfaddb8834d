#include "app/main_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>
#include <fstream>

#include "app/button_sets.h"
#include "app/confirmations.h"
#include "app/file_writes_dialog.h"
#include "app/log_pane.h"
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
  titleTimer_.setSingleShot(true);
  QObject::connect(&titleTimer_, &QTimer::timeout, [this] {
    titleTimer_.stop();
    RefreshTitleAndHelp();
  });
  changeMarkTimer_.setSingleShot(true);
  QObject::connect(&changeMarkTimer_, &QTimer::timeout, [this] {
    if (formLogic_) formLogic_->RefreshChangeMarks();
  });
}

CZR350FrameWnd::~CZR350FrameWnd() {
  // Messages still queued are dropped.
  messages_.Shutdown();
  titleTimer_.stop();
  changeMarkTimer_.stop();
}

bool CZR350FrameWnd::Create(std::string* error) {
  window_ = std::make_unique<SkinWindow>(paths_.skinDir, &builderCallback_, this);
  if (!window_->Load("skin.xml")) {
    if (error) *error = window_->LoadError();
    return false;
  }
  window_->SetWindowTitle(kProgramName);
  FormController::Hooks hooks;
  hooks.postRule = [this](int rule, int argument) {
    PostMessage(WM_FORM_RULE, static_cast<WParam>(rule), argument);
  };
  hooks.messageBox = [this](const std::string& text) { ShowMessageBox(text); };
  hooks.log = [this](const std::string& text) { AppendLog(text); };
  hooks.chooseFileWrites = [this](const std::vector<std::string>& lines) {
    if (hooks_.chooseFileWrites) return hooks_.chooseFileWrites(lines);
    if (hooks_.headless || QGuiApplication::platformName() == "offscreen") {
      std::fprintf(stderr, "%s: a file would write %zu values (no one to answer: form only)\n",
                   kProgramName, lines.size());
      return FileWritesChoice::kFormOnly;
    }
    return AskFileWrites(window_.get(), lines);
  };
  hooks.queue = [this](const WorkJob& job) {
    return session_.Queue(job) != EnqueueResult::kRefused;
  };
  hooks.beforeWrites = [this](size_t writes) { return session_.Backup().BeforeWrites(writes); };
  formLogic_ = std::make_unique<FormController>(*window_, session_.Params(), session_.ListParams(),
                                                session_.Facts(), tabs_, std::move(hooks));
  PortPanel::Hooks portHooks;
  portHooks.log = [this](const std::string& text) { AppendLog(text); };
  portHooks.openPath = [this] { return session_.IsOpen() ? session_.PortPath() : std::string(); };
  portPanel_ = std::make_unique<PortPanel>(*window_, paths_.configPath, std::move(portHooks));
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
  InitLogAndStatus();

  portPanel_->Start();
  if (ComboControl* language = f.FindCombo("Language")) language->SelectItem(languageValue_ != 0);

  ArrangeTabOrder(f);
  InstallShortcuts(*window_, f);
  focusParking_ = std::make_unique<FocusParking>(f, "richedit");

  tabs_.Reset();
  PostMessage(WM_SET_BUTTONS, 0, kSetPort);
  titleTimer_.start(100);
  UpdateTabStrip(f, tabs_, TabStripMode::Rebuild);
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
      SaveToFile();
      return 0;
    case WM_LOAD_FROM_FILE:
      LoadFromFile();
      return 0;
    case WM_FORM_RULE:
      if (formLogic_) formLogic_->RunRule(static_cast<int>(wParam), static_cast<int>(lParam));
      ScheduleChangeMarks();
      return 0;
    case WM_SET_BUTTONS:
      SetButtons(wParam, lParam);
      return 1;
    case WM_SWITCH_LANGUAGE:
      SwitchLanguage();
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
  if (TabLayoutControl* pages = form().FindTabLayout("switch"))
    FitTabStrip(form(), tabs_, pages->CurrentPage());
}

void CZR350FrameWnd::OnWindowClosed() {
  PostQuit();
}

void CZR350FrameWnd::SetControlEnabled(const std::string& name, bool enabled) {
  if (Control* control = form().Find(name)) control->SetEnabled(enabled);
}

void CZR350FrameWnd::SetButtons(WParam wParam, LParam lParam) {
  const ButtonSet* set = FindButtonSet(lParam);
  if (!set) return;
  const bool en = wParam == 1;
  if (focusParking_) focusParking_->BeforeDisabling(en ? set->opposeEnable : set->followEnable);
  for (const char* name : set->followEnable) SetControlEnabled(name, en);
  for (const char* name : set->opposeEnable) SetControlEnabled(name, !en);
  if (focusParking_) focusParking_->AfterEnabling();
  if (set->updatesDeviceState)
    SetDeviceState(en);
  else
    ShowConnectionState(session_.LoggedIn());
}

void CZR350FrameWnd::SetDeviceState(bool loggedInNow) {
  Control* state = form().Find("DeviceState");
  if (!state) return;
  state->SetText(LanguageText("SetDeviceState", loggedInNow ? "szLoginOn" : "szLoginOff", ""));
  ShowConnectionState(loggedInNow);
  if (loggedInNow) {
    if (Control* help = form().Find("helpGroupBox")) help->SetVisible(false);
  }
}

void CZR350FrameWnd::RefreshTitleAndHelp() {
  Form& f = form();
  if (RichEditControl* help = f.FindRichEdit("HelpRichEdit")) {
    // The working directory's Help.txt first, as it always has been; then the installed ones.
    const std::string path = FindHelpFile(paths_, QDir::currentPath().toStdString());
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
    const std::string custom = ReadIniString(paths_.configPath, "CustomVer", "CustomVer", "", 260);
    ver->SetText(VersionLabelText(languageValue_, custom));
  }
  if (Control* verDown = f.Find("VerDown")) verDown->SetText(VersionDateText(languageValue_));
  if (Control* logo = f.Find("Logo_Container")) logo->SetVisible(false);
}

void CZR350FrameWnd::SwitchLanguage() {
  ComboControl* language = form().FindCombo("Language");
  if (!language) return;
  const int index = language->CurSel();
  // Any value but 0 means Chinese, so choosing Chinese under a value of 2 changes nothing.
  if (index < 0 || index == languageValue_ || (index != 0 && languageValue_ != 0)) return;
  // The restart closes the connection; the list shows the running language again when the
  // switch does not happen.
  const int running = languageValue_ != 0 ? 1 : 0;
  if (session_.IsOpen() && !Confirm(LanguageSwitchQuestion(session_.PortPath()))) {
    language->SelectItem(running);
    return;
  }
  if (!WriteIniString(paths_.configPath, "Set", "Language", std::to_string(index))) {
    language->SelectItem(running);
    ShowMessageBox(LanguageText("Everyday", "SwitchWriteError", "") + ": " + paths_.configPath);
    return;
  }
  if (hooks_.restart && !hooks_.restart()) {
    // The choice is stored for the next start; this run goes on as it was.
    language->SelectItem(running);
    ShowMessageBox(LanguageText("Everyday", "RestartFailed", ""));
    return;
  }
  form().HideWindow();
  PostQuit();
}

bool CZR350FrameWnd::StartWorker(WorkerOptions options) {
  if (session_.StartWorker(options)) return true;
  AppendLog(LanguageText("WinMain", "WorkThread", "\r\n"));
  return false;
}

void CZR350FrameWnd::OnSessionLog(const std::string& text) {
  AppendLog(text);
}

void CZR350FrameWnd::OnSessionEvent(SessionEvent event) {
  const ButtonSetSwitch change = ButtonSetFor(event);
  SetButtons(change.enable ? 1 : 0, change.set);
  // The last batch's line belongs to the login it was written in.
  if (event == SessionEvent::kLoggedOut || event == SessionEvent::kPortClosed) ClearBatchResult();
}

void CZR350FrameWnd::OnShowParsed(const std::string& reply, const ShowReplyResult& /*result*/) {
  formLogic_->ShowValues();
  if (statusLine_) statusLine_->SetDevice(reply);
  ShowConnectionState(session_.LoggedIn());
  if (hooks_.showApplied) hooks_.showApplied();
}

void CZR350FrameWnd::OnLoadReadBack() {
  // The tables now hold the device's values; the form still shows the file.
  formLogic_->FinishFileLoad();
}

void CZR350FrameWnd::OnNetMode(const std::string& mode) {
  if (Control* control = form().Find("FINDNETMODE")) control->SetText(mode);
}

void CZR350FrameWnd::ScheduleChangeMarks() {
  if (QCoreApplication::instance()) changeMarkTimer_.start(100);
}

void CZR350FrameWnd::OnJobFinished(const WorkJob& job, JobOutcome outcome) {
  if (statusLine_) statusLine_->JobFinished(job, outcome);
  // A confirmed write is in the tables now: its mark goes.
  if (job.kind == JobKind::kWrite && outcome == JobOutcome::kCompleted)
    formLogic_->WriteAccepted(job);
  if (job.kind == JobKind::kWrite) ScheduleChangeMarks();
  if (hooks_.jobFinished) hooks_.jobFinished(job.kind, outcome);
}

void CZR350FrameWnd::OnMessageBox(const std::string& text) {
  ShowMessageBox(text);
}

bool CZR350FrameWnd::Confirm(const std::string& text) {
  if (hooks_.confirm) return hooks_.confirm(text);
  if (hooks_.headless || QGuiApplication::platformName() == "offscreen") {
    std::fprintf(stderr, "%s: %s (no one to answer: no)\n", kProgramName, text.c_str());
    return false;
  }
  return AskQuestion(window_.get(), text);
}

void CZR350FrameWnd::ShowMessageBox(const std::string& text) {
  if (hooks_.messageBox) return hooks_.messageBox(text);
  if (hooks_.headless || QGuiApplication::platformName() == "offscreen") {
    std::fprintf(stderr, "%s: %s\n", kProgramName, text.c_str());
    return;
  }
  QMessageBox::information(window_.get(), kProgramName, QString::fromStdString(text));
}
