// What a log line is, so that the log pane can tell the lines apart.
#pragma once

enum class LogKind {
  kProgram,   // the program's own messages (the port opened, a file saved, ...)
  kSent,      // a command sent to the device
  kReceived,  // bytes from the device, exactly as they came
  kVerdict,   // the device accepted a command
  kError,     // refused, timed out, not sent
};
