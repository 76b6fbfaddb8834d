// The configuration file a headless command applies, put on the window's own form (the skin
// built offscreen) exactly as "Open file" puts it there: the values applied, the visibility
// rules run to the end. The form then says, for any device, what has to be written.
//
// One form serves every device: it shows the file, and the file is the same for all of them.
// UI thread only.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <utility>

#include "catalogue/device_facts.h"
#include "catalogue/param_table.h"
#include "form/pages.h"
#include "form/tab_table.h"
#include "form_logic/form_controller.h"
#include "form_logic/form_document.h"
#include "texts/form.h"

class SkinWindow;

class TemplateForm : public NotifySink {
 public:
  explicit TemplateForm(std::string skinDir);
  ~TemplateForm() override;
  TemplateForm(const TemplateForm&) = delete;
  TemplateForm& operator=(const TemplateForm&) = delete;

  // Builds the skin and its catalogue; false with the reason when the skin cannot be loaded.
  bool Build(std::string* error);
  // The file's text onto the form, the rules run until none is left. False with the reason when
  // the text is not a whole configuration.
  bool Load(const std::string& text, std::string* reason);

  // The catalogue after the load: the file's values, and the active flags the rules set.
  const ParamTable& Params() const { return params_; }
  const ListParamTable& Lists() const { return lists_; }
  const DeviceFacts& Facts() const { return facts_; }
  // The writes that bring a device holding `params` and `lists` to what the form shows.
  ComposedWrites ComposeFor(const ParamTable& params, const ListParamTable& lists);
  // The offscreen form itself (tests change fields on it as a user would).
  Form& form() { return controller_->form(); }
  // What the form holds as a configuration text (FormController::Profile); the parameters the
  // form has no row for keep the values of the text last loaded.
  ProfileResult Profile();

  // NotifySink
  void Notify(const Notification& notification) override;

 private:
  void RunPostedRules();

  std::string skinDir_;
  CDialogBuilderCallbackEx pages_;
  std::unique_ptr<SkinWindow> window_;
  ParamTable params_;
  ListParamTable lists_;
  DeviceFacts facts_;
  TabTable tabs_;
  std::unique_ptr<FormController> controller_;
  std::unique_ptr<FormDocument> document_;
  std::deque<std::pair<int, int>> rules_;
  bool initialised_ = false;
};
