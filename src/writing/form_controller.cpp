#include "writing/form_controller.h"

#include "catalogue/show_reply_parser.h"
#include "form/apply_values.h"
#include "form/form_rules.h"
#include "form/rule_posts.h"
#include "texts/language.h"
#include "writing/config_file.h"
#include "writing/sensor_list.h"

FormController::FormController(Form& form, ParamTable& params, ListParamTable& lists,
                               DeviceFacts& facts, TabTable& tabs, Hooks hooks)
    : form_(form),
      params_(params),
      lists_(lists),
      facts_(facts),
      tabs_(tabs),
      hooks_(std::move(hooks)) {}

void FormController::BuildCatalogue() {
  NumberSensorList(form_);
  BuildParamTable(params_, lists_, form_);
  FormRuleContext context{form_,           params_,           tabs_,       facts_,
                          hooks_.postRule, hooks_.messageBox, &shownBytes_};
  MatchActiveFlagsToRows(context);
}

void FormController::OnItemSelect(const std::string& name) {
  ComboControl* combo = form_.FindCombo(name);
  for (const RulePost& post : RulesForItemSelect(name, combo ? combo->CurSel() : -1))
    hooks_.postRule(post.rule, post.argument);
}

void FormController::RunRule(int rule, int argument) {
  FormRuleContext context{form_,           params_,           tabs_,       facts_,
                          hooks_.postRule, hooks_.messageBox, &shownBytes_};
  ApplyFormRule(context, rule, argument);
}

void FormController::ShowValues() {
  ApplyValuesToForm(form_, params_, lists_, tabs_, facts_, hooks_.postRule, &sensorDefaults_,
                    &shownBytes_);
}

bool FormController::LoadText(const std::string& text, std::string* reason, std::string* warning) {
  if (!CheckConfigText(text, reason)) return false;
  // The device always ends its reply with an "OK" line: a text without one was cut short.
  if (!ConfigTextIsComplete(text) && warning) {
    *warning = LanguageText("onLoadFrommFile", "Incomplete", "");
    if (warning->empty()) *warning = "The file ends before the device's final OK: it is incomplete";
  }
  ParseShowReply(text.data(), text.size(), params_, lists_, facts_.fiveDioModel);
  ShowValues();
  return true;
}

ComposedWrites FormController::Compose() {
  return ComposeWrites(form_, params_, lists_, tabs_, &shownBytes_);
}

void FormController::RefreshChangeMarks() {
  ShowChangeMarks(form_, MarksFromWrites(Compose(), params_), changeMarks_);
}

size_t FormController::WriteChanges() {
  const ComposedWrites composed = Compose();
  for (const Refusal& refusal : composed.refused) hooks_.log(RefusalLine(refusal));
  if (composed.writes.empty()) {
    if (composed.refused.empty()) {
      std::string text = LanguageText("Save", "NothingChanged", "\r\n");
      hooks_.log(text.size() > 2 ? text
                                 : "Nothing to write: the form shows what the device holds\r\n");
    }
    return 0;
  }
  size_t queued = 0;
  for (const WorkJob& write : composed.writes) queued += hooks_.queue(write) ? 1 : 0;
  return queued;
}

std::string RefusalLine(const Refusal& refusal) {
  std::string what = refusal.name;
  if (!refusal.subkey.empty()) what += " " + refusal.subkey;
  if (!refusal.field.empty()) what += " (" + refusal.field + ")";
  const char* key =
      refusal.reason == RefusalReason::LineBreak ? "RefusedLineBreak" : "RefusedComma";
  std::string text = LanguageText("Save", key, "");
  if (text.empty()) {
    text = refusal.reason == RefusalReason::LineBreak ? "Not written, the value holds a line break"
                                                      : "Not written, a sensor field holds a comma";
  }
  return text + ": " + what + "\r\n";
}
