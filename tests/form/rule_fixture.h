// A built form with its catalogue, tab table and device facts, wired to the visibility rules the
// way the main window wires them: rules are queued and run one at a time, and a list's
// "itemselect" queues the rule the dispatcher posts for it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/param_table.h"
#include "form/form_rules.h"
#include "form/pages.h"
#include "form/row_table.h"
#include "form/rule_posts.h"
#include "texts/language.h"
#include "ui/control_base.h"
#include "ui/skin_window.h"

// The skin the rule tests run on: the shipped English skin, or the one DTU_RULE_SKIN names
// (a skin directory holding its Language.ini).
inline std::string RuleSkinDir() {
  if (const char* dir = std::getenv("DTU_RULE_SKIN")) return dir;
  return std::string(DTU_SKIN_ROOT) + "/ConifgENRes";
}
inline std::string RuleLanguageFile() {
  return RuleSkinDir() + "/Language.ini";
}
// The fixture skin: every list the rules read, "I/O4 control" and "I/O5 control" included.
inline std::string RuleFixtureSkinDir() {
  return std::string(DTU_TEST_DATA_DIR) + "/skins/rules";
}
// The fixture skins' lists carry the English texts.
inline std::string EnglishLanguageFile() {
  return std::string(DTU_SKIN_ROOT) + "/ConifgENRes/Language.ini";
}

class RuleFixture : public NotifySink {
 public:
  explicit RuleFixture(const std::string& skinDir = RuleSkinDir(),
                       const std::string& languageFile = RuleLanguageFile())
      : window(skinDir, &pages, this) {
    SetLanguageFile(languageFile);
    loaded = window.Load("skin.xml");
    // As the window starts: the catalogue, then its flags matched to the skin's hidden rows.
    BuildParamTable(params, lists, window);
    MatchActiveFlagsToRows(context);
  }

  void Notify(const Notification& n) override {
    if (n.type != "itemselect" || !n.sender) return;
    // The program's own table of what each list posts; the new index is in wParam.
    for (const RulePost& post : RulesForItemSelect(n.sender->Name(), static_cast<int>(n.wParam)))
      Post(post.rule, post.argument);
  }

  void Post(int rule, int argument) { queue.emplace_back(rule, argument); }

  // Runs one rule now; what it posts stays queued.
  void RunRule(int rule, int argument = 0) { ApplyFormRule(context, rule, argument); }

  // Runs queued rules until none is left (or `limit` have run); returns the rules run.
  std::vector<int> Drain(int limit = 1000) {
    std::vector<int> ran;
    while (!queue.empty() && static_cast<int>(ran.size()) < limit) {
      auto [rule, argument] = queue.front();
      queue.pop_front();
      ran.push_back(rule);
      ApplyFormRule(context, rule, argument);
    }
    return ran;
  }

  std::vector<int> Queued() const {
    std::vector<int> rules;
    for (const auto& [rule, argument] : queue) rules.push_back(rule);
    return rules;
  }
  std::vector<int> TakeQueued() {
    std::vector<int> rules = Queued();
    queue.clear();
    return rules;
  }

  // The control `name`; a test fails (through the exception) when the form lacks it.
  Control& C(const std::string& name) {
    Control* control = window.Find(name);
    if (!control) throw std::runtime_error("no control " + name);
    return *control;
  }
  bool Visible(const std::string& name) { return C(name).IsVisible(); }
  void SetVisible(const std::string& name, bool visible) { C(name).SetVisible(visible); }
  // The fixed height of a control, -1 when none is set.
  int Height(const std::string& name) {
    auto* base = dynamic_cast<ControlBase*>(&C(name));
    if (!base) return -2;
    QWidget* widget = base->Widget();
    return widget->minimumHeight() == widget->maximumHeight() ? widget->maximumHeight() : -1;
  }
  void ClearHeight(const std::string& name) { C(name).SetAttribute("height", "0"); }
  // Selects without posting anything (the list still notifies; the posts are dropped). A list
  // with fewer items gets placeholder items up to the index, so that the cases do not depend on
  // how many items a skin gives a list.
  void Select(const std::string& list, int index) {
    ComboControl& combo = Combo(list);
    while (combo.ItemCount() <= index)
      combo.AddItem("extra item " + std::to_string(combo.ItemCount()));
    combo.SelectItem(index);
    queue.clear();
  }
  // Selects the item with this text, adding it when the list has none.
  void SelectText(const std::string& list, const std::string& text) {
    ComboControl& combo = Combo(list);
    int index = 0;
    while (index < combo.ItemCount() && combo.ItemText(index) != text) ++index;
    if (index == combo.ItemCount()) combo.AddItem(text);
    Select(list, index);
  }
  // Selects as a user would: the list's "itemselect" posts its rule.
  void Choose(const std::string& list, int index) { Combo(list).SelectItem(index); }
  ComboControl& Combo(const std::string& list) {
    ComboControl* combo = C(list).AsCombo();
    if (!combo) throw std::runtime_error(list + " is not a list");
    return *combo;
  }
  int Selected(const std::string& list) { return Combo(list).CurSel(); }

  bool Active(const std::string& param) {
    auto it = params.find(param);
    if (it == params.end()) ADD_FAILURE() << "no catalogue row " << param;
    return it != params.end() && it->second.active;
  }
  void SetActive(const std::string& param, bool active) { params.at(param).active = active; }
  void SetAllActive(bool active) {
    for (auto& [name, row] : params) row.active = active;
  }

  CDialogBuilderCallbackEx pages;
  SkinWindow window;
  bool loaded = false;
  ParamTable params;
  ListParamTable lists;
  TabTable tabs;
  DeviceFacts facts;
  std::deque<std::pair<int, int>> queue;
  std::vector<std::string> messages;
  FormRuleContext context{window,
                          params,
                          tabs,
                          facts,
                          [this](int rule, int argument) { Post(rule, argument); },
                          [this](const std::string& text) { messages.push_back(text); }};
};

// The rows, by name, whose catalogue rows follow them, as the row table lists them.
inline const RowEntry& Entry(const std::string& row) {
  const RowEntry* entry = FindRowEntry(row);
  if (!entry) ADD_FAILURE() << "no row table entry " << row;
  static const RowEntry kNone;
  return entry ? *entry : kNone;
}
