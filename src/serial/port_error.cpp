#include "port_error.h"

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

std::mutex reporterMutex;
std::function<void(const std::string&)> reporter;

std::string GroupOf(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return {};
  group entry{};
  group* found = nullptr;
  char buffer[1024];
  if (getgrgid_r(info.st_gid, &entry, buffer, sizeof buffer, &found) != 0 || !found) return {};
  return found->gr_name;
}

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
    case EPERM: {
      std::string group = GroupOf(portPath);
      if (group.empty()) group = "dialout";
      return "Permission denied on " + portPath + ": the user is not in the group \"" + group +
             "\" (sudo usermod -aG " + group + " $USER, then log in again).";
    }
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
