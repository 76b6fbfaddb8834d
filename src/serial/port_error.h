// Where the serial driver's fixed English error texts go, and the hints for a port that cannot
// be opened.
#pragma once

#include <functional>
#include <string>

// Installs the sink for the driver's error texts (the application shows them in a message box
// captioned "Application Error"). An empty function restores the default, which writes to stderr.
void SetPortErrorReporter(std::function<void(const std::string& text)> reporter);

// "WARNING:  <call> Failed with the following error: \n<reason>\nPort: <path>\n"
std::string FormatPortError(const std::string& failedCall, const std::string& reason,
                            const std::string& portPath);

// Hands a finished text to the installed sink.
void ShowPortError(const std::string& text);

// One line naming the likely cause of an OpenPort failure with the given errno, for the log pane
// after the "OpenError" line; e.g. for EACCES the group that owns the device and how to join it.
std::string OpenErrorHint(int error, const std::string& portPath);
