// What a click on "Open" asks for, read from the connection panel's texts: the port list
// "SerialPort", the baud rate "BaudRate1" and the line code "Checkcode".
#pragma once

#include <string>

#include "line_settings.h"

struct ConnectionRequest {
  std::string path;       // the device path
  LineSettings settings;  // baud rate and line code
  int timeoutFactor = 1;  // for every job time-out of this opening
};

enum class ConnectionTextError { kNone, kNoPort, kBadBaudRate, kBadLineCode };

// Fills *out from the three texts, or names the first text that cannot be used (then *out is
// left untouched). The time-out factor is computed afresh from the baud rate.
ConnectionTextError ParseConnectionTexts(const std::string& portText, const std::string& baudText,
                                         const std::string& lineCode, ConnectionRequest* out);

// An English line for the log pane naming what was wrong, e.g.
// "Baud rate \"0\" is not a positive whole number." Empty for kNone.
std::string ConnectionTextErrorMessage(ConnectionTextError error, const std::string& portText,
                                       const std::string& baudText, const std::string& lineCode);
