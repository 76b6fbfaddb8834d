// Which command buttons and port settings are usable in each connection state: the sets of
// controls, and which set each of the session's events switches on or off.
#pragma once

#include <vector>

#include "session/session_event.h"

// The command-button sets, by the state change each stands for (WM_SET_BUTTONS carries the
// number: wParam 1 enables the set, anything else disables it).
enum ButtonSetId : int {
  kSetLogin = 0,   // logged in (on) or out (off): commands against "Login"
  kSetPort = 1,    // port closed (off): commands and "Login" against the port settings
  kSetJob = 2,     // a job runs (off), the queue ran dry while logged in (on)
  kSetOpened = 3,  // port opened (on): "Login" against the port settings
};

struct ButtonSet {
  std::vector<const char*> followEnable;  // enabled when the set is enabled
  std::vector<const char*> opposeEnable;  // disabled when the set is enabled, and the reverse
  bool updatesDeviceState;                // the set also says whether the device is logged in
};

// The set of number `set` (0 to 3), or nullptr for any other number.
const ButtonSet* FindButtonSet(long set);

// What one of the session's events does to the buttons.
struct ButtonSetSwitch {
  ButtonSetId set;
  bool enable;
};
ButtonSetSwitch ButtonSetFor(SessionEvent event);
