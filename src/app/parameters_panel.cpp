#include "app/parameters_panel.h"

#include <QCoreApplication>

#include "app/dispatcher.h"
#include "form/tab_strip.h"
#include "session/device_session.h"
#include "texts/language.h"
#include "ui/skin_window.h"

namespace {

constexpr const char* kServerAddressFields[] = {
    "Server's Ip",  "Secondary Server's Ip", "Server2's Ip",
    "Server3's Ip", "Server4's Ip",          "Server5's Ip",
};

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace

std::string ToggledChannelImage(const std::string& image) {
  if (image.find("disable") != std::string::npos) return ReplaceAll(image, "disable", "enable");
  return ReplaceAll(image, "enable", "disable");
}

ParametersPanel::ParametersPanel(SkinWindow& window, DeviceSession& session, int languageValue,
                                 Hooks hooks)
    : window_(window), session_(session), languageValue_(languageValue), hooks_(std::move(hooks)) {
  FormController::Hooks logicHooks;
  logicHooks.postRule = [this](int rule, int argument) {
    if (hooks_.postRule) hooks_.postRule(rule, argument);
  };
  logicHooks.messageBox = [this](const std::string& text) {
    if (hooks_.messageBox) hooks_.messageBox(text);
  };
  logicHooks.log = [this](const std::string& text) { Log(text); };
  logicHooks.chooseFileWrites = [this](const std::vector<std::string>& lines) {
    return hooks_.chooseFileWrites ? hooks_.chooseFileWrites(lines) : FileWritesChoice::kCancel;
  };
  logicHooks.queue = [this](const WorkJob& job) {
    return session_.Queue(job) != EnqueueResult::kRefused;
  };
  logicHooks.valuesSettled = [this] {
    // What the form shows now is what it was given: the document's kept state.
    if (document_) document_->Settled();
    DocumentChanged();
  };
  logicHooks.beforeWrites = [this](size_t writes) {
    return session_.Backup().BeforeWrites(writes);
  };
  logic_ = std::make_unique<FormController>(window_, session_.Params(), session_.ListParams(),
                                            session_.Facts(), tabs_, std::move(logicHooks));
  document_ = std::make_unique<FormDocument>(*logic_);
  changeMarkTimer_.setSingleShot(true);
  QObject::connect(&changeMarkTimer_, &QTimer::timeout, [this] {
    logic_->RefreshChangeMarks();
    DocumentChanged();
  });
}

ParametersPanel::~ParametersPanel() {
  changeMarkTimer_.stop();
}

void ParametersPanel::Log(const std::string& text) {
  if (hooks_.log) hooks_.log(text);
}

void ParametersPanel::OnWindowInit() {
  logic_->BuildCatalogue();
}

void ParametersPanel::OnItemSelect(const std::string& name) {
  logic_->OnItemSelect(name);
}

void ParametersPanel::OnOptionSelected(const std::string& name) {
  SelectPageForOption(window_, tabs_, name);
}

void ParametersPanel::OnFocusLost(const std::string& name) {
  for (const char* field : kServerAddressFields) {
    if (name != field) continue;
    Control* control = window_.Find(name);
    if (control && control->Text().find(' ') != std::string::npos && hooks_.messageBox)
      hooks_.messageBox(LanguageText("Notify", "IpNotice", ""));
    return;
  }
}

void ParametersPanel::ScrollTabs(bool toTheLeft) {
  UpdateTabStrip(window_, tabs_, toTheLeft ? TabStripMode::ScrollLeft : TabStripMode::ScrollRight);
}

void ParametersPanel::ToggleChannel(const std::string& name) {
  if (Control* arrow = window_.Find(name)) arrow->SetBkImage(ToggledChannelImage(arrow->BkImage()));
}

void ParametersPanel::FitTabs() {
  if (TabLayoutControl* pages = window_.FindTabLayout("switch"))
    FitTabStrip(window_, tabs_, pages->CurrentPage());
}

void ParametersPanel::WriteChanges() {
  logic_->WriteChanges();
}

void ParametersPanel::RunRule(int rule, int argument) {
  logic_->RunRule(rule, argument);
  ScheduleChangeMarks();
}

void ParametersPanel::ScheduleChangeMarks() {
  if (QCoreApplication::instance()) changeMarkTimer_.start(100);
}

void ParametersPanel::ShowValues(const std::string& reply) {
  logic_->ShowValues();
  document_->Given(reply, "", false);
  ScheduleChangeMarks();
  DocumentChanged();
}

void ParametersPanel::WritesEnded(bool clean) {
  if (clean) document_->Kept();
  DocumentChanged();
}

void ParametersPanel::DocumentChanged() {
  if (hooks_.documentChanged) hooks_.documentChanged();
}

void ParametersPanel::FinishFileLoad() {
  // The tables now hold the device's values; the form still shows the file.
  logic_->FinishFileLoad();
}

void ParametersPanel::WriteAccepted(const WorkJob& job) {
  logic_->WriteAccepted(job);
}

void ParametersPanel::ShowNetMode(const std::string& mode) {
  if (Control* control = window_.Find("FINDNETMODE")) control->SetText(mode);
}
