#include "cli/template_form.h"

#include <QCoreApplication>
#include <QEvent>

#include "form/tab_strip.h"
#include "serial/port_hand_over.h"
#include "ui/skin_window.h"

namespace {
// More rules than the deepest cascade a load sets off: a guard against rules that post each
// other for ever.
constexpr int kMaxRules = 100000;
}  // namespace

TemplateForm::TemplateForm(std::string skinDir) : skinDir_(std::move(skinDir)) {}

TemplateForm::~TemplateForm() = default;

bool TemplateForm::Build(std::string* error) {
  // Devices may be talking meanwhile: their hand-overs wait until the widgets are made.
  const std::unique_lock<std::mutex> posts = HoldHandOverPosts();
  window_ = std::make_unique<SkinWindow>(skinDir_, &pages_, this);
  window_->SkipStyleSheet();
  if (!window_->Load("skin.xml")) {
    *error = window_->LoadError();
    return false;
  }
  FormController::Hooks hooks;
  hooks.postRule = [this](int rule, int argument) { rules_.emplace_back(rule, argument); };
  hooks.messageBox = [](const std::string&) {};
  hooks.log = [](const std::string&) {};
  hooks.queue = [](const WorkJob&) { return false; };
  controller_ =
      std::make_unique<FormController>(*window_, params_, lists_, facts_, tabs_, std::move(hooks));
  document_ = std::make_unique<FormDocument>(*controller_);
  tabs_.Reset();
  UpdateTabStrip(*window_, tabs_, TabStripMode::Rebuild);
  // The skin posts "windowinit" to its window: delivered here, to the window alone (no event loop
  // may run while the hand-overs are held), so that the form can be built from a step of the
  // devices' loop while they talk.
  QCoreApplication::sendPostedEvents(window_.get(), QEvent::MetaCall);
  if (!initialised_) {
    *error = "the form of " + skinDir_ + " was not initialised";
    return false;
  }
  RunPostedRules();
  return true;
}

bool TemplateForm::Load(const std::string& text, std::string* reason) {
  const std::unique_lock<std::mutex> posts = HoldHandOverPosts();
  if (!controller_->LoadText(text, reason)) return false;
  document_->Given(text, "", true);
  RunPostedRules();
  return true;
}

ProfileResult TemplateForm::Profile() {
  return document_->Profile();
}

ComposedWrites TemplateForm::ComposeFor(const ParamTable& params, const ListParamTable& lists) {
  return controller_->ComposeFor(params, lists);
}

void TemplateForm::RunPostedRules() {
  for (int n = 0; n < kMaxRules && !rules_.empty(); ++n) {
    const auto [rule, argument] = rules_.front();
    rules_.pop_front();
    controller_->RunRule(rule, argument);
  }
  rules_.clear();
  controller_->RulesSettled();
  // The sensor list's old items go with the event loop, as they do in the window.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TemplateForm::Notify(const Notification& notification) {
  if (!controller_) return;
  if (notification.type == "windowinit") {
    controller_->BuildCatalogue();
    initialised_ = true;
  } else if (notification.type == "itemselect" && notification.sender != nullptr) {
    controller_->OnItemSelect(notification.sender->Name());
  }
}
