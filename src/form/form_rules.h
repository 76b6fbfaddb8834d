// The visibility rules: which rows of the form apply to the current selections.
//
// A rule reads a few controls and shows or hides rows, resizes group boxes, sets the `shown`
// flags of tabs and relabels a few controls; it never disables anything. Showing or hiding a row
// also switches the `active` flags of the catalogue rows inside it, so that a save writes only
// what is shown. Whatever a rule triggers (further rules, the rules of group boxes it shows) is
// posted through `postRule` and runs after it, in posting order. The rules keep no state: what
// they decide lives in the form, the tab table and the catalogue. UI thread only.
#pragma once

#include <functional>
#include <string>

#include "catalogue/device_facts.h"
#include "catalogue/param_table.h"
#include "form/form_rule.h"
#include "form/shown_bytes.h"
#include "form/tab_table.h"
#include "texts/form.h"

struct FormRuleContext {
  Form& form;
  ParamTable& params;
  TabTable& tabs;
  const DeviceFacts& facts;
  // Queues a rule; the caller runs queued rules later, one at a time, in the order posted.
  std::function<void(int rule, int argument)> postRule;
  // The one message of the rules (a server count the device cannot take); a box with the
  // caption "DTU" and an OK button on screen, something a test can answer.
  std::function<void(const std::string& text)> showMessageBox;
  // The bytes behind fields that show a decoding: a rule that puts a device value back on an
  // edit goes through it as ApplyValuesToForm does. May be null.
  ShownBytes* shownBytes = nullptr;
};

// Runs rule `rule` (see FormRule) with its argument; a number outside 0..kLastFormRule does
// nothing.
void ApplyFormRule(FormRuleContext& context, int rule, int argument);

// Shows or hides the row named `row`. For a row of the row table the catalogue rows it holds
// follow it (active when shown) and its extra action runs: group boxes post the rules of their
// inner rows when shown and switch those rows off when hidden. A row the form lacks: nothing
// happens at all.
void SetRowVisible(FormRuleContext& context, const std::string& row, bool visible);

// Sets the `active` flag of every catalogue row the row table governs from the rows as the form
// shows them now: active exactly when every row that lists it is shown. For the start, when the
// skin has hidden rows but the catalogue has just made every row active. Posts nothing.
void MatchActiveFlagsToRows(FormRuleContext& context);

// Fixes the height of the control `name` (pixels) through its "height" attribute; a missing
// control is passed over.
void SetGroupHeight(Form& form, const std::string& name, int pixels);

// Hides the I/O tab exactly when three of "I/O1 control" .. "I/O5 control" name a line (a text
// other than "None"), and shows it otherwise. Nothing happens unless all five lists exist.
void UpdateIoTab(FormRuleContext& context);
