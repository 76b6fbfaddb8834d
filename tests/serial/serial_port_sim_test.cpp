// CSerialPort against the project's simulated device on its pty.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <cstring>

#include "pty_pair.h"
#include "serial_port.h"
#include "sim_faults.h"
#include "sim_process.h"

namespace {

class SimulatedDeviceTest : public testing::Test {
 protected:
  void SetUp() override {
    // A long boot window: the test must catch the prompt on a loaded machine too. Started by
    // fork and exec, not QProcess: thread checkers lose track of the parent's locks after
    // QProcess's vfork-style start.
    std::string error;
    ASSERT_TRUE(sim.Start({"--boot-ms", "15000", "--latency-ms", "1"}, &error)) << error;
    path = sim.PtyPath();
  }
  void TearDown() override { port.ClosePort(); }

  bool Contains(const char* text) const { return received.find(text) != std::string::npos; }

  // Answers the boot prompt with one "s" and waits for the whole menu: a device takes any
  // further "s" as the start of the next command.
  bool LogIn() {
    if (!WaitFor([&] { return Contains("'s' key"); }, std::chrono::milliseconds(30000))) {
      return false;
    }
    port.WriteBytes("s", 1);
    return WaitFor([&] { return Contains("leave the setting menu\r\n"); },
                   std::chrono::milliseconds(30000));
  }

  SimProcess sim;
  std::string path;
  std::string received;
  std::vector<size_t> chunks;
  std::vector<int> gone;
  CSerialPort port;
};

TEST_F(SimulatedDeviceTest, LogsInAndReceivesTheWholeShowReply) {
  int error = 0;
  ASSERT_TRUE(port.OpenPort(
      path, {115200, 'N', 8, 1},
      [&](const char* data, size_t count) {
        received.append(data, count);
        chunks.push_back(count);
      },
      [&](int cause) { gone.push_back(cause); }, &error))
      << std::strerror(error);
  ASSERT_TRUE(port.StartMonitor());
  ASSERT_TRUE(LogIn()) << received;

  received.clear();
  chunks.clear();
  const std::string show = "AT+SHOW\r\n";
  ASSERT_EQ(port.WriteBytes(show.data(), show.size()), show.size());
  ASSERT_TRUE(WaitFor([&] {
    size_t apn = received.find("Access Point Name:");
    return apn != std::string::npos && received.find("OK", apn) != std::string::npos;
  })) << received;
  EXPECT_GT(received.size(), 3000u);
  for (size_t size : chunks) EXPECT_LE(size, CSerialPort::kMaxChunk);
  EXPECT_TRUE(gone.empty());
}

TEST_F(SimulatedDeviceTest, DeviceUnpluggedDuringTheShowReplyIsReportedOnceAndClosed) {
  int error = 0;
  ASSERT_TRUE(port.OpenPort(
      path, {115200, 'N', 8, 1},
      [&](const char* data, size_t count) { received.append(data, count); },
      [&](int cause) {
        gone.push_back(cause);
        port.ClosePort();
      },
      &error))
      << std::strerror(error);
  ASSERT_TRUE(port.StartMonitor());
  ASSERT_TRUE(LogIn()) << received;

  // Acknowledged, so the device has taken the fault before the command comes.
  ASSERT_TRUE(sim.SendControl(sim_fault::UnplugAfterBytes(1000)));
  received.clear();
  ASSERT_EQ(port.WriteBytes("AT+SHOW\r\n", 9), 9u);
  ASSERT_TRUE(WaitFor([&] { return !gone.empty(); })) << received;
  EXPECT_LE(received.size(), 1000u);
  QCoreApplication::processEvents();
  EXPECT_EQ(gone.size(), 1u);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.WriteBytes("AT\r\n", 4), 0u);
}

}  // namespace
