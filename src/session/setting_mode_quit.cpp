// Sending the device back from its setting mode to its data mode: queued by the quit button and
// the headless commands, written straight to the port when the program closes.
#include <chrono>
#include <future>
#include <string_view>

#include "exchange/worker.h"
#include "session/device_session.h"

namespace {
// The device's command for leaving its setting mode; it answers "OK" and goes back to its work.
constexpr std::string_view kQuitCommand = "at+quit\r\n";
}  // namespace

EnqueueResult DeviceSession::QuitSettingMode() {
  // Counted out at once, behind whatever is posted now and ahead of the quit's own start: the
  // commands have no use any more, and a device that refuses the quit or says nothing is in no
  // state to take them either.
  PostForEpoch(epoch_.load(), [this] { LeaveSettingMode(); });
  return Queue(JobKind::kQuitSetting, kQuitCommand);
}

bool DeviceSession::QuitBeforeClosing(int boundMs) {
  if (!IsOpen() || !LoggedIn()) return false;
  // The writer waits up to a second for room in a full output buffer; the user does not.
  std::future<size_t> written = std::async(
      std::launch::async, [this] { return WriteToPort(kQuitCommand.data(), kQuitCommand.size()); });
  if (written.wait_for(std::chrono::milliseconds(boundMs)) != std::future_status::ready)
    Close();  // wakes the writer
  if (written.get() != kQuitCommand.size()) return false;
  // The device has been told: it counts as logged out, and a second close sends nothing.
  LeaveSettingMode();
  // Logged at once: the program ends before anything posted now would arrive.
  listener_.OnSessionLog(SendLogLine(kQuitCommand));
  return true;
}
