// The port, baud rate and line code of the last connection, kept in config.ini (section "Port")
// so that the next start offers them again.
#pragma once

#include <string>

struct RememberedConnection {
  std::string port;      // the device path, e.g. "/dev/ttyUSB0" or a by-id link
  std::string baudRate;  // as the list "BaudRate1" shows it, e.g. "115200"
  std::string lineCode;  // as the list "Checkcode" shows it, e.g. "8N1"
};

// What `configPath` holds; empty fields where it holds nothing.
RememberedConnection ReadRememberedConnection(const std::string& configPath);

// Stores `connection` in one atomic replacement of the file, keeping its other sections. False
// (and `*error` says why, when given) when the file cannot be written; the previous file then
// stays as it was.
bool WriteRememberedConnection(const std::string& configPath,
                               const RememberedConnection& connection, std::string* error);
