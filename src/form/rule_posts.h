// Which visibility rules a drop-down list's "itemselect" posts, in posting order.
#pragma once

#include <string_view>
#include <vector>

struct RulePost {
  int rule;
  int argument;
};

// The rules the list `name` posts when its selection changed to `selectedIndex`; empty for a
// list that governs no rows.
std::vector<RulePost> RulesForItemSelect(std::string_view name, int selectedIndex);
