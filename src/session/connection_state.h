// Where a device session stands with its port and its device.
#pragma once

#include <string_view>

enum class ConnectionState {
  kClosed,            // no port open
  kWaitingForDevice,  // the port is open; the device is not (or no longer) in its setting mode
  kLoggedIn,          // the device is in its setting mode and takes commands
  kClosing,           // the port is being closed
};

std::string_view ToString(ConnectionState state);
