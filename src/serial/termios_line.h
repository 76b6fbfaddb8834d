// Applying LineSettings to an open terminal device and checking that the driver took them.
#pragma once

#include <termios.h>

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

// The raw-mode settings for `settings`, starting from what the device had (`tio`). A rate
// without a speed constant leaves the speed to SetCustomBaud. False for settings no line has.
bool BuildLineTermios(const LineSettings& settings, termios* tio);

// What the driver did not take of `wanted`, judged from what it reports back: "" when it took
// everything, else "baud rate" or "parity, data or stop bits". A pseudo-terminal has no wire and
// always reports 8 data bits without parity, so its framing is not judged.
std::string RefusedLineSettings(const termios& wanted, const termios& actual, bool pseudoTerminal);
