#include "session/open_failure.h"

#include <cerrno>

#include "serial/port_error.h"
#include "serial/port_holder.h"

OpenFailure OpenFailureFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return OpenFailure::kNoSuchDevice;
    case EACCES:
    case EPERM:
      return OpenFailure::kPermission;
    case EBUSY:
      return OpenFailure::kBusy;
    case ENOTTY:
      return OpenFailure::kNotATerminal;
    case EINVAL:
      return OpenFailure::kLineSettingsRefused;
    default:
      return OpenFailure::kOther;
  }
}

std::string DescribeOpenFailure(const OpenResult& result, const std::string& path) {
  switch (result.failure) {
    case OpenFailure::kNone:
      return {};
    case OpenFailure::kNoPort:
      return "no serial port given";
    default:
      break;
  }
  // The driver's hints name the cause and the remedy (the dialout group, the program holding it).
  std::string hint = OpenErrorHint(result.error, path);
  if (!hint.empty() && hint.back() == '.') hint.pop_back();
  if (result.failure == OpenFailure::kBusy) {
    const std::vector<PortHolder> holders = FindPortHolders(path);
    if (!holders.empty()) hint += " (held by " + DescribeHolders(holders) + ")";
    if (ModemManagerRunning() && ModemManagerProbes(path))
      hint +=
          "; ModemManager is running and probes this adapter: install the udev rule "
          "70-dtu-config-no-modemmanager.rules (/usr/share/doc/dtu-config/examples) so that it "
          "leaves the port alone";
  }
  return "cannot open " + path + ": " + hint;
}
