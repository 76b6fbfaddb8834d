// Applying LineSettings to an open terminal device and checking that the driver took them.
#pragma once

#include <string>

#include "line_settings.h"

struct LineApplyResult {
  bool ok = true;
  std::string failedCall;  // the call that failed, e.g. "tcsetattr()"
  std::string errorText;   // why, in words
};

// Puts the device into raw mode (no echo, no line editing, no translation, no flow control,
// modem lines ignored) with the given baud rate, parity, data and stop bits, then reads the
// settings back: tcsetattr reports success when any one change applied, so a rate or a parity
// the driver does not offer shows up only in the read-back.
LineApplyResult ApplyLineSettings(int fd, const LineSettings& settings);

// Whether a baud rate has its own termios speed constant (50 to 4000000).
bool IsStandardBaud(int baud);
