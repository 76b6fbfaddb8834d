// The rule engine: the row operation, the height operation and the dispatch of rule numbers.
#include "form/form_rules.h"

#include <climits>
#include <map>

#include "form/row_table.h"
#include "form/rule_steps.h"

namespace {

void SetActive(ParamTable& params, const std::string& name, bool active) {
  // Only existing rows: the lookup must never add rows to the catalogue.
  auto it = params.find(name);
  if (it != params.end()) it->second.active = active;
}

}  // namespace

void SetRowVisible(FormRuleContext& context, const std::string& row, bool visible) {
  Control* control = context.form.Find(row);
  if (!control) return;
  control->SetVisible(visible);
  const RowEntry* entry = FindRowEntry(row);
  if (!entry) return;
  for (const std::string& name : entry->params) SetActive(context.params, name, visible);
  if (visible) {
    for (const std::string& name : entry->activeWhenShown) SetActive(context.params, name, true);
    if (entry->ruleWhenShown >= 0 && context.postRule) context.postRule(entry->ruleWhenShown, 0);
  } else {
    for (const std::string& name : entry->inactiveWhenHidden)
      SetActive(context.params, name, false);
  }
}

void MatchActiveFlagsToRows(FormRuleContext& context) {
  std::map<std::string, bool, std::less<>> active;
  for (const RowEntry& entry : RowEntries()) {
    Control* row = context.form.Find(entry.row);
    if (!row) continue;
    const bool shown = row->IsVisible();
    for (const auto* names : {&entry.params, &entry.inactiveWhenHidden}) {
      for (const std::string& name : *names) {
        auto [it, added] = active.emplace(name, shown);
        if (!added) it->second = it->second && shown;
      }
    }
  }
  for (const auto& [name, flag] : active) SetActive(context.params, name, flag);
}

void SetGroupHeight(Form& form, const std::string& name, int pixels) {
  if (Control* control = form.Find(name)) control->SetAttribute("height", std::to_string(pixels));
}

void ApplyFormRule(FormRuleContext& context, int rule, int argument) {
  using namespace rules;
  switch (rule) {
    case kRuleWorkMode:
      return WorkModeRule(context);
    case kRuleActivation:
      return ActivationRule(context);
    case kRuleDebugLevel:
      return DebugLevelRule(context);
    case kRuleServerCount:
      return ServerCountRule(context);
    case kRuleLcpEcho:
    case kRuleExtendedFunction:
    case kRuleManagePlatform:
    case kRuleSmsConfiguration:
      return OptionRowRule(context, rule);
    case kRuleDioLine1:
      return DioLineRule(context, 1);
    case kRuleDioLine2:
      return DioLineRule(context, 2);
    case kRuleDioLine3:
      return DioLineRule(context, 3);
    case kRuleDioLine4:
      return DioLineRule(context, 4);
    case kRuleDioLine5:
      return DioLineRule(context, 5);
    case kRuleIoSelection:
      return IoSelectionRule(context);
    case kRuleIo1Control:
      return IoControlRule(context, 1);
    case kRuleIo2Control:
      return IoControlRule(context, 2);
    case kRuleIo3Control:
      return IoControlRule(context, 3);
    case kRuleDataFormatUnused:
    case kRuleDataFormat:
      return DataFormatRule(context, argument);
    case kRuleLoraMode:
      return LoraModeRule(context);
    case kRuleIo2Mode:
      return IoModeRule(context, true);
    case kRuleIo1Mode:
      return IoModeRule(context, false);
    default:
      return;  // not a rule
  }
}

namespace rules {

Selection ReadSelection(Form& form, const std::string& name) {
  Selection selection;
  ComboControl* combo = form.FindCombo(name);
  if (!combo) return selection;
  selection.found = true;
  selection.index = combo->CurSel();
  if (selection.index >= 0) selection.text = combo->ItemText(selection.index);
  return selection;
}

bool ShownOnForm(Form& form, Control& control) {
  if (!control.IsVisible()) return false;
  const std::string name = control.Name();
  for (const RowEntry& entry : RowEntries()) {
    Control* row = form.Find(entry.row);
    if (row && row != &control && !row->IsVisible() && row->FindChild(name) == &control)
      return false;
  }
  return true;
}

int LeadingInt(const std::string& value) {
  size_t i = value.find_first_not_of(" \t\r\n\v\f");
  if (i == std::string::npos) return 0;
  bool negative = false;
  if (value[i] == '+' || value[i] == '-') negative = value[i++] == '-';
  long long number = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    number = number * 10 + (value[i] - '0');
    if (number > static_cast<long long>(INT_MAX) + 1) break;  // clamped below
  }
  if (negative) number = -number;
  if (number > INT_MAX) return INT_MAX;
  if (number < INT_MIN) return INT_MIN;
  return static_cast<int>(number);
}

}  // namespace rules
