#include "port_error.h"

#include "serial/port_permission.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

std::mutex reporterMutex;
std::function<void(const std::string&)> reporter;

}  // namespace

void SetPortErrorReporter(std::function<void(const std::string& text)> sink) {
  std::lock_guard lock(reporterMutex);
  reporter = std::move(sink);
}

std::string FormatPortError(const std::string& failedCall, const std::string& reason,
                            const std::string& portPath) {
  return "WARNING:  " + failedCall + " Failed with the following error: \n" + reason +
         "\nPort: " + portPath + "\n";
}

void ShowPortError(const std::string& text) {
  std::function<void(const std::string&)> sink;
  {
    std::lock_guard lock(reporterMutex);
    sink = reporter;
  }
  if (sink) {
    sink(text);
  } else {
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
  }
}

std::string OpenErrorHint(int error, const std::string& portPath) {
  switch (error) {
    case EACCES:
    case EPERM:
      return DescribePortPermission(PortPermissionOf(portPath), portPath);
    case EBUSY:
      return portPath + " is in use by another program.";
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return "No device at " + portPath + " (is it plugged in?).";
    case ENOTTY:
      return portPath + " is not a serial port.";
    case EINVAL:
      return portPath + " does not support the chosen baud rate or line code.";
    default:
      return portPath + ": " + std::strerror(error) + ".";
  }
}
