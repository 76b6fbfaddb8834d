#include "form_logic/form_controller.h"

#include "catalogue/show_reply_parser.h"
#include "form/apply_values.h"
#include "form/form_rules.h"
#include "form/rule_posts.h"
#include "form/sensor_list.h"
#include "form_logic/domain_hint.h"
#include "texts/byte_text.h"
#include "texts/language.h"
#include "writing/config_file.h"

namespace {
// `text` with its "%1" replaced by `one` and its "%2" by `two`.
std::string FilledIn(std::string text, const std::string& one, const std::string& two = {}) {
  if (const size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, one);
  if (const size_t at = text.find("%2"); at != std::string::npos) text.replace(at, 2, two);
  return text;
}

// Why the backup failed, in the user's language; the system's reason as the system gives it.
std::string BackupFaultText(const BackupStep& step) {
  struct Text {
    const char* key;
    const char* fallback;
  };
  const Text text = step.fault == BackupFault::kNoFolder
                        ? Text{"NoFolder", "no folder is set for them (XDG_STATE_HOME, HOME)"}
                    : step.fault == BackupFault::kFolder
                        ? Text{"FolderFailed", "the folder %1 cannot be created: %2"}
                        : Text{"FileFailed", "%1 cannot be written: %2"};
  std::string pattern = LanguageText("Backup", text.key, "");
  if (pattern.empty()) pattern = text.fallback;
  return FilledIn(pattern, step.where, step.cause);
}
}  // namespace

FormController::FormController(Form& form, ParamTable& params, ListParamTable& lists,
                               DeviceFacts& facts, TabTable& tabs, Hooks hooks)
    : form_(form),
      params_(params),
      lists_(lists),
      facts_(facts),
      tabs_(tabs),
      hooks_(std::move(hooks)) {
  // Every rule goes through here, so that the form knows when the rules a fill set off have run.
  hooks_.postRule = [this, post = std::move(hooks_.postRule)](int rule, int argument) {
    ++pendingRules_;
    if (post) post(rule, argument);
  };
}

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
  if (pendingRules_ > 0) --pendingRules_;
  if (pendingRules_ == 0 && appliedDue_) RulesSettled();
}

void FormController::RulesSettled() {
  pendingRules_ = 0;
  if (!appliedDue_) return;
  appliedDue_ = false;
  applied_.Take(form_, params_, lists_, facts_.fiveDioModel);
  if (hooks_.valuesSettled) hooks_.valuesSettled();
}

void FormController::ShowValues() {
  // Until the rules have run, the form does not show what it will show.
  applied_.Clear();
  appliedDue_ = true;
  ApplyValuesToForm(form_, params_, lists_, tabs_, facts_, hooks_.postRule, &sensorDefaults_,
                    &shownBytes_);
}

void FormController::WriteAccepted(const WorkJob& job) {
  applied_.Accepted(form_, params_, job);
}

bool FormController::LoadText(const std::string& text, std::string* reason) {
  // Nothing of a text that is not a whole configuration reaches the form: its empty or cut
  // values would be written to the device.
  const ConfigVerdict verdict = JudgeConfigText(text);
  if (!verdict.accepted()) {
    if (reason) *reason = ConfigRefusalText(verdict);
    return false;
  }
  ParseShowReply(text.data(), text.size(), params_, lists_, facts_.fiveDioModel);
  ShowValues();
  return true;
}

ComposedWrites FormController::Compose() {
  return ComposeWrites(form_, params_, lists_, tabs_, &applied_, &shownBytes_);
}

ProfileResult FormController::Profile(const ConfigValues* base) {
  return ProfileText(form_, params_, lists_, tabs_, facts_.fiveDioModel, &applied_, &shownBytes_,
                     base);
}

ComposedWrites FormController::ComposeFor(const ParamTable& params, const ListParamTable& lists) {
  return ComposeWrites(form_, params, lists, tabs_, &applied_, &shownBytes_);
}

void FormController::RefreshChangeMarks() {
  ShowChangeMarks(form_, MarksFromWrites(Compose(), params_), changeMarks_);
}

size_t FormController::WriteChanges() {
  const ComposedWrites composed = Compose();
  for (const Refusal& refusal : composed.refused) hooks_.log(RefusalLine(refusal, params_));
  if (!composed.refused.empty()) {
    // A batch without one of its values is not what the form shows: nothing goes until every
    // value can be sent.
    std::string text = LanguageText("Save", "NothingSent", "\r\n");
    hooks_.log(text.size() > 2 ? text : "Nothing was written: change the values named above\r\n");
    return 0;
  }
  if (composed.writes.empty()) {
    std::string text = LanguageText("Save", "NothingChanged", "\r\n");
    hooks_.log(text.size() > 2 ? text
                               : "Nothing to write: the form shows what the device holds\r\n");
    return 0;
  }
  if (hooks_.beforeWrites) {
    const BackupStep step = hooks_.beforeWrites(composed.writes.size());
    if (!step.proceed) {
      const std::string text = BackupStoppedText(step);
      hooks_.log(text + "\r\n");
      if (hooks_.messageBox) hooks_.messageBox(text);
      return 0;
    }
    if (step.made) {
      std::string text = LanguageText("Backup", "Saved", "");
      if (text.empty()) text = "The device's configuration was backed up to %1";
      hooks_.log(FilledIn(text, step.path) + "\r\n");
    }
  }
  size_t queued = 0;
  for (const WorkJob& write : composed.writes) queued += hooks_.queue(write) ? 1 : 0;
  return queued;
}

std::string BackupStoppedText(const BackupStep& step) {
  if (step.refusal == BackupRefusal::kNothingRead) {
    const std::string text = LanguageText("Backup", "NothingRead", "");
    return text.empty() ? "Nothing was written: read the device first, so that its configuration "
                          "can be backed up"
                        : text;
  }
  std::string text = LanguageText("Backup", "Failed", "");
  if (text.empty())
    text = "Nothing was written: the device's configuration could not be backed up (%1)";
  return FilledIn(text, BackupFaultText(step));
}

std::vector<std::string> FormController::DescribeWrites(const ComposedWrites& composed) const {
  std::vector<std::string> lines;
  for (const WorkJob& write : composed.writes) {
    std::string before;
    std::string what = write.name;
    if (!write.subkey.empty()) {
      what += " " + write.subkey;
      if (auto list = lists_.find(write.name); list != lists_.end()) {
        if (auto item = list->second.items.find(write.subkey); item != list->second.items.end())
          before = item->second;
      }
    } else if (auto row = params_.find(write.name); row != params_.end()) {
      before = row->second.value;
    }
    // Bytes that are not UTF-8 (GB 18030) are shown as the form shows them.
    lines.push_back(what + ": \"" + ReadableText(before) + "\" -> \"" + ReadableText(write.value) +
                    "\"");
  }
  return lines;
}

size_t FormController::FinishFileLoad() {
  const ComposedWrites composed = Compose();
  if (composed.writes.empty()) return WriteChanges();
  const FileWritesChoice choice = hooks_.chooseFileWrites
                                      ? hooks_.chooseFileWrites(DescribeWrites(composed))
                                      : FileWritesChoice::kFormOnly;
  switch (choice) {
    case FileWritesChoice::kWrite:
      return WriteChanges();
    case FileWritesChoice::kFormOnly:
      hooks_.log(LanguageText("onLoadFrommFile", "FormOnly", "\r\n"));
      RefreshChangeMarks();
      return 0;
    case FileWritesChoice::kCancel:
      hooks_.log(LanguageText("onLoadFrommFile", "Cancelled", "\r\n"));
      ShowValues();
      return 0;
  }
  return 0;
}

std::string ConfigRefusalText(const ConfigVerdict& verdict) {
  const char* key = "";
  switch (verdict.problem) {
    case ConfigProblem::kNone:
      return {};
    case ConfigProblem::kEmpty:
      key = "Empty";
      break;
    case ConfigProblem::kNotAConfiguration:
      key = "Foreign";
      break;
    case ConfigProblem::kIncomplete:
      key = "Incomplete";
      break;
    case ConfigProblem::kZeroByte:
      key = "ZeroByte";
      break;
    case ConfigProblem::kMissingRow:
      key = "MissingRow";
      break;
    case ConfigProblem::kOverlongRow:
      key = "OverlongRow";
      break;
    case ConfigProblem::kOverlongItem:
      key = "OverlongItem";
      break;
    case ConfigProblem::kItemFields:
      key = "ItemFields";
      break;
  }
  std::string text = LanguageText("onLoadFrommFile", key, "");
  if (text.empty()) return DescribeConfigVerdict(verdict);
  const std::string details = ConfigProblemDetails(verdict);
  return details.empty() ? text : text + ": " + details;
}

std::string RefusalLine(const Refusal& refusal, const ParamTable& params) {
  std::string what = refusal.name;
  if (!refusal.subkey.empty()) what += " " + refusal.subkey;
  if (!refusal.field.empty()) what += " (" + refusal.field + ")";
  const char* key = "RefusedComma";
  switch (refusal.reason) {
    case RefusalReason::LineBreak:
      key = "RefusedLineBreak";
      break;
    case RefusalReason::TooLong:
      key = "RefusedTooLong";
      break;
    case RefusalReason::NotTaken:
      key = "RefusedNotTaken";
      break;
    case RefusalReason::CommaInItemField:
      break;
  }
  std::string text = LanguageText("Save", key, "");
  if (text.empty()) text = std::string("Not written, ") + RefusalReasonText(refusal.reason);
  text += ": " + what;
  if (refusal.reason == RefusalReason::NotTaken) {
    const std::string hint = DomainHintOfRow(params, refusal.name);
    if (!hint.empty()) text += " (" + hint + ")";
  }
  return text + "\r\n";
}
