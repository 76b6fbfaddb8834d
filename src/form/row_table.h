// The rows the visibility rules show and hide, with the catalogue rows each one governs.
//
// A row is a layout or group box of the skin. When a rule shows or hides it, the catalogue rows
// listed for it become active or inactive with it, so that a save writes only what the user can
// see. Some rows do more: a group box that holds rows of its own switches those off when it is
// hidden, and when it is shown it posts the rule that works them out again.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct RowEntry {
  std::string row;
  // Active exactly when the row was last shown.
  std::vector<std::string> params;
  // Made active when the row is shown (in addition to `params`).
  std::vector<std::string> activeWhenShown;
  // Made inactive when the row is hidden: the rows inside it that its own rule decides.
  std::vector<std::string> inactiveWhenHidden;
  // The rule posted (argument 0) when the row is shown; -1 for none.
  int ruleWhenShown = -1;
};

// The entry of `row` (byte-exact), or nullptr for a row the table does not know.
const RowEntry* FindRowEntry(std::string_view row);

// Every entry, ordered by row name.
const std::vector<RowEntry>& RowEntries();
