// Which command buttons and port settings are usable in each connection state.
#pragma once

#include <vector>

struct ButtonSet {
  std::vector<const char*> followEnable;  // enabled when the set is enabled
  std::vector<const char*> opposeEnable;  // disabled when the set is enabled, and the reverse
  bool updatesDeviceState;                // the set also says whether the device is logged in
};

// The set of number `set` (0 to 3), or nullptr for any other number.
const ButtonSet* FindButtonSet(long set);
