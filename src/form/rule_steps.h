// The small steps the visibility rules are made of, shared by the rule families.
#pragma once

#include <string>

#include "form/form_rules.h"

namespace rules {

// What a drop-down list has selected; `found` is false when the form has no such list.
struct Selection {
  bool found = false;
  int index = -1;    // -1 when nothing is selected
  std::string text;  // empty when nothing is selected
};
Selection ReadSelection(Form& form, const std::string& name);

inline void Post(FormRuleContext& c, int rule) {
  if (c.postRule) c.postRule(rule, 0);
}
inline void Show(FormRuleContext& c, const std::string& row) {
  SetRowVisible(c, row, true);
}
inline void Hide(FormRuleContext& c, const std::string& row) {
  SetRowVisible(c, row, false);
}

// Whether the user can see `control` as far as the rules are concerned: its own flag, and no row
// of the row table that holds it is hidden. (A control keeps its own flag when its row is
// hidden; the rules ask whether the selection is on show.)
bool ShownOnForm(Form& form, Control& control);

// Whole-line number at the start of a value: blanks, an optional sign, digits; 0 without digits;
// clamped to the int range.
int LeadingInt(const std::string& value);

// The rule families, one function per rule; `argument` only where a rule takes one.
void WorkModeRule(FormRuleContext& c);
void DebugLevelRule(FormRuleContext& c);
void ServerCountRule(FormRuleContext& c);
void OptionRowRule(FormRuleContext& c, int rule);  // rules 4, 5, 6 and 14
void LoraModeRule(FormRuleContext& c);

void ActivationRule(FormRuleContext& c);
void DioLineRule(FormRuleContext& c, int line);
void IoSelectionRule(FormRuleContext& c);
void IoControlRule(FormRuleContext& c, int k);
void DataFormatRule(FormRuleContext& c, int line);
void IoModeRule(FormRuleContext& c, bool io2First);  // rule 18 (true) and rule 19 (false)

}  // namespace rules
