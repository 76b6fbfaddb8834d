#include "app/closing_quit.h"

#include <chrono>
#include <future>

#include "session/device_session.h"

bool SendQuitBeforeClosing(DeviceSession& session, int boundMs) {
  if (!session.IsOpen() || !session.LoggedIn()) return false;
  constexpr size_t kLength = sizeof kClosingQuitCommand - 1;
  // The writer waits up to a second for room in a full output buffer; the user does not.
  std::future<size_t> written = std::async(
      std::launch::async, [&session] { return session.WriteToPort(kClosingQuitCommand, kLength); });
  if (written.wait_for(std::chrono::milliseconds(boundMs)) != std::future_status::ready)
    session.Close();  // wakes the writer
  if (written.get() != kLength) return false;
  // The device has been told: it counts as logged out, and a second close sends nothing.
  session.SetButtons(0, kSetLogin);
  return true;
}
