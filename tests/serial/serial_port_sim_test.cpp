// CSerialPort against the project's simulated device on its pty.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTimer>
#include <chrono>

#include "pty_pair.h"
#include "serial_port.h"

namespace {

class SimulatedDeviceTest : public testing::Test {
 protected:
  void SetUp() override {
    const QString program = QStringLiteral(DTU_BIN_DIR "/dtu-sim");
    // A long boot window: the test's "s" stream must catch the prompt on a loaded machine too.
    sim.start(program, {"--boot-ms", "15000", "--latency-ms", "1"});
    ASSERT_TRUE(sim.waitForStarted(10000)) << program.toStdString();
    auto end = std::chrono::steady_clock::now() + PtyPair::kDeadline;
    while (!sim.canReadLine() && std::chrono::steady_clock::now() < end) sim.waitForReadyRead(100);
    std::string line = sim.readLine().trimmed().toStdString();
    ASSERT_EQ(line.rfind("PTY ", 0), 0u) << line;
    path = line.substr(4);
  }
  void TearDown() override {
    port.ClosePort();
    sim.write("quit\n");
    if (!sim.waitForFinished(10000)) sim.kill();
    sim.waitForFinished(10000);
  }

  bool Contains(const char* text) const { return received.find(text) != std::string::npos; }

  // Answers the boot prompt with "s" every 300 ms, as the main window does after opening.
  bool LogIn() {
    QTimer stream;
    QObject::connect(&stream, &QTimer::timeout, [this] { port.WriteBytes("s", 1); });
    stream.start(300);
    return WaitFor([&] { return Contains("AT+LIST"); }, std::chrono::milliseconds(30000));
  }

  QProcess sim;
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

  sim.write("fault unplug-after-bytes 1000\n");
  ASSERT_TRUE(sim.waitForBytesWritten(10000));
  // The control line and the command travel separately; send the command until the device
  // has taken the fault (it answers every AT+SHOW in full otherwise).
  received.clear();
  bool awaiting = false;
  ASSERT_TRUE(WaitFor([&] {
    if (!gone.empty()) return true;
    if (port.IsOpen() && (!awaiting || Contains("OK\r\n"))) {
      received.clear();
      awaiting = true;
      port.WriteBytes("AT+SHOW\r\n", 9);
    }
    return false;
  }));
  QCoreApplication::processEvents();
  EXPECT_EQ(gone.size(), 1u);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.WriteBytes("AT\r\n", 4), 0u);
}

}  // namespace
