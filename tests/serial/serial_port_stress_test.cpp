// Opening and closing while data flows both ways, from several threads at once. Also meant for
// ThreadSanitizer.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <atomic>
#include <thread>

#include "pty_pair.h"
#include "serial_port.h"

namespace {

TEST(SerialPortStress, OpenCloseWhileDataFlowsNeverDeliversAfterClose) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  CSerialPort port;

  std::atomic<bool> stop{false};
  // The device: talks without pause and swallows whatever the port writes.
  std::thread device([&] {
    std::string line = "Access Point Name:cmnet\r\nOK\r\n";
    char sink[4096];
    while (!stop) {
      (void)!write(pty.master(), line.data(), line.size());
      while (read(pty.master(), sink, sizeof sink) > 0) {
      }
      pollfd fd{pty.master(), POLLIN | POLLOUT, 0};
      poll(&fd, 1, 5);
    }
  });
  // The worker: writes commands whether or not the port is open.
  std::thread worker([&] {
    while (!stop) {
      port.WriteBytes("AT+SHOW\r\n", 9);
      std::this_thread::yield();
    }
  });

  int afterClose = 0;
  long chunks = 0;
  for (int round = 0; round < 40; ++round) {
    int error = 0;
    long before = chunks;
    ASSERT_TRUE(port.OpenPort(
        pty.slavePath(), {115200, 'N', 8, 1},
        [&, round](const char*, size_t) {
          if (!port.IsOpen()) ++afterClose;
          ++chunks;
          // Every fourth opening is closed from inside the hand-over, as an unplug report does.
          if (round % 4 == 3) port.ClosePort();
        },
        [&](int) { ADD_FAILURE() << "the device did not go away"; }, &error))
        << std::strerror(error);
    ASSERT_TRUE(port.StartMonitor());
    ASSERT_TRUE(WaitFor([&] { return chunks > before + round % 3 || !port.IsOpen(); }));
    port.ClosePort();
    // Whatever the event loop still holds for the closed opening must be dropped.
    QCoreApplication::processEvents();
  }
  stop = true;
  worker.join();
  device.join();
  EXPECT_EQ(afterClose, 0);
  EXPECT_GE(chunks, 40);
}

}  // namespace
