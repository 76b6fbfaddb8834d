// Why a port could not be opened, as a value: the window turns it into its log line, the headless
// commands into their stderr line.
#pragma once

#include <string>

enum class OpenFailure {
  kNone,
  kNoPort,               // no port was named
  kNoSuchDevice,         // the device file does not exist (unplugged, mistyped)
  kPermission,           // the user may not open it (not in the dialout group)
  kBusy,                 // another program or another opening holds it
  kNotATerminal,         // the file is no serial device
  kLineSettingsRefused,  // the driver refused the baud rate or the line code
  kOther,
};

struct OpenResult {
  OpenFailure failure = OpenFailure::kNone;
  int error = 0;  // the errno behind it, 0 when there is none
  bool ok() const { return failure == OpenFailure::kNone; }
};

// The failure an errno of an opening stands for.
OpenFailure OpenFailureFromErrno(int error);

// One English line naming the cause and what to do, with the device path, for headless output:
// "cannot open /dev/ttyUSB0: Permission denied on /dev/ttyUSB0: the user is not in the group ...".
std::string DescribeOpenFailure(const OpenResult& result, const std::string& path);
