#include "connection_request.h"

#include "port_list.h"

ConnectionTextError ParseConnectionTexts(const std::string& portText, const std::string& baudText,
                                         const std::string& lineCode, ConnectionRequest* out) {
  ConnectionRequest request;
  request.path = PortPathFromDisplayText(portText);
  if (request.path.empty()) return ConnectionTextError::kNoPort;
  if (!ParseBaudRate(baudText, &request.settings.baud)) return ConnectionTextError::kBadBaudRate;
  if (!ParseLineCode(lineCode, &request.settings)) return ConnectionTextError::kBadLineCode;
  request.timeoutFactor = TimeoutFactorForBaud(request.settings.baud);
  *out = std::move(request);
  return ConnectionTextError::kNone;
}

std::string ConnectionTextErrorMessage(ConnectionTextError error, const std::string& portText,
                                       const std::string& baudText, const std::string& lineCode) {
  switch (error) {
    case ConnectionTextError::kNone:
      return {};
    case ConnectionTextError::kNoPort:
      return "No serial port chosen (\"" + portText + "\"): pick one or type its path.";
    case ConnectionTextError::kBadBaudRate:
      return "Baud rate \"" + baudText + "\" is not a positive whole number.";
    case ConnectionTextError::kBadLineCode:
      return "Line code \"" + lineCode +
             "\" is not data bits (5-8), parity (N, E, O, M, S) and stop bits (1, 2), "
             "as in 8N1.";
  }
  return {};
}
