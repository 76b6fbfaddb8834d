// CSerialPort against real pseudo-terminals, with the hand-over running in a real event loop.
#include "serial_port.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <termios.h>

#include <QCoreApplication>
#include <atomic>
#include <cerrno>
#include <thread>
#include <vector>

#include "custom_baud.h"
#include "port_error.h"
#include "serial/port_permission.h"
#include "pty_pair.h"

namespace {

std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) % 256);
  return bytes;
}

struct Received {
  std::string bytes;
  std::vector<size_t> chunkSizes;
  std::vector<int> goneErrors;

  CSerialPort::DataHandler OnData() {
    return [this](const char* data, size_t count) {
      EXPECT_EQ(data[count], '\0') << "the receiver may treat a chunk as a C string";
      bytes.append(data, count);
      chunkSizes.push_back(count);
    };
  }
  CSerialPort::GoneHandler OnGone() {
    return [this](int error) { goneErrors.push_back(error); };
  }
};

class SerialPortTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(pty.ok()); }

  void OpenAndMonitor(const LineSettings& settings = {}) {
    int error = -1;
    ASSERT_TRUE(port.OpenPort(pty.slavePath(), settings, rx.OnData(), rx.OnGone(), &error))
        << std::strerror(error);
    ASSERT_TRUE(port.StartMonitor());
  }

  PtyPair pty;
  Received rx;
  CSerialPort port;
};

TEST_F(SerialPortTest, OpenedPortWritesAndReceivesInOrder) {
  OpenAndMonitor();
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(port.PortPath(), pty.slavePath());

  const std::string command = "AT+SHOW\r\n";
  EXPECT_EQ(port.WriteBytes(command.data(), command.size()), command.size());
  EXPECT_EQ(pty.Receive(command.size()), command);

  // Zero bytes and line ends pass unchanged: the line is raw.
  const std::string reply("\r\nAccess Point Name:cmnet\0\r\n\x11\x13OK\r\n", 34);
  ASSERT_TRUE(pty.Send(reply));
  ASSERT_TRUE(WaitFor([&] { return rx.bytes.size() >= reply.size(); }));
  EXPECT_EQ(rx.bytes, reply);
}

TEST_F(SerialPortTest, QueuedBytesBeyondOneChunkArriveInChunksOfAtMost4095) {
  OpenAndMonitor();
  const std::string burst = Pattern(20000);
  std::thread device([&] { pty.Send(burst); });
  bool all = WaitFor([&] { return rx.bytes.size() >= burst.size(); });
  device.join();
  ASSERT_TRUE(all) << rx.bytes.size() << " of " << burst.size();
  EXPECT_EQ(rx.bytes, burst);
  EXPECT_GE(rx.chunkSizes.size(), 5u);
  for (size_t size : rx.chunkSizes) {
    EXPECT_GT(size, 0u);
    EXPECT_LE(size, CSerialPort::kMaxChunk);
  }
}

struct Holder {
  const char* name;
  // Opens the port the way another program would; returns the descriptor or -1.
  int (*hold)(const std::string& path);
};

int HoldWithOurDriver(const std::string&) {
  return -2;
}
int HoldWithLock(const std::string& path) {
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
  if (fd >= 0) flock(fd, LOCK_EX | LOCK_NB);
  return fd;
}
int HoldWithExclusiveMode(const std::string& path) {
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
  if (fd >= 0) ioctl(fd, TIOCEXCL);
  return fd;
}

class HeldPortTest : public SerialPortTest, public testing::WithParamInterface<Holder> {};

TEST_P(HeldPortTest, SecondOpenIsRefusedAndLeavesPortClosed) {
  CSerialPort first;
  int holder = GetParam().hold(pty.slavePath());
  if (holder == -2) {
    int error = 0;
    ASSERT_TRUE(first.OpenPort(pty.slavePath(), {}, nullptr, nullptr, &error));
  } else {
    ASSERT_GE(holder, 0);
  }

  int error = 0;
  EXPECT_FALSE(port.OpenPort(pty.slavePath(), {}, rx.OnData(), rx.OnGone(), &error));
  EXPECT_EQ(error, EBUSY);
  EXPECT_EQ(port.isOpen.load(), 0);
  EXPECT_FALSE(port.StartMonitor());
  EXPECT_EQ(port.WriteBytes("s", 1), 0u);

  // Once the other side lets go, the port opens normally.
  first.ClosePort();
  if (holder >= 0) {
    ioctl(holder, TIOCNXCL);
    close(holder);
  }
  EXPECT_TRUE(port.OpenPort(pty.slavePath(), {}, rx.OnData(), rx.OnGone(), &error))
      << std::strerror(error);
}

INSTANTIATE_TEST_SUITE_P(Holders, HeldPortTest,
                         testing::Values(Holder{"OurDriver", HoldWithOurDriver},
                                         Holder{"AdvisoryLock", HoldWithLock},
                                         Holder{"ExclusiveMode", HoldWithExclusiveMode}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(SerialPortTest, CloseAndReopenDeliversEachByteOnce) {
  std::string expected;
  for (int round = 0; round < 5; ++round) {
    OpenAndMonitor();
    const std::string message = "round " + std::to_string(round) + "\r\n";
    expected += message;
    ASSERT_TRUE(pty.Send(message));
    ASSERT_TRUE(WaitFor([&] { return rx.bytes.size() >= expected.size(); })) << rx.bytes;
    port.ClosePort();
    EXPECT_FALSE(port.IsOpen());
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(rx.bytes, expected);
}

TEST_F(SerialPortTest, BytesSentBeforeOpeningArePurged) {
  ASSERT_GE(pty.SlaveProbe(), 0);  // keeps the line open so the early bytes are queued
  ASSERT_TRUE(pty.Send("stale boot noise"));
  OpenAndMonitor();
  ASSERT_TRUE(pty.Send("fresh"));
  ASSERT_TRUE(WaitFor([&] { return rx.bytes.size() >= 5; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(rx.bytes, "fresh");
}

// A chunk whose hand-over is still queued in the event loop when the port closes is dropped.
TEST_F(SerialPortTest, ChunkQueuedAtCloseIsNeverHandled) {
  const int probe = pty.SlaveProbe();
  ASSERT_GE(probe, 0);
  bool closedEarly = false;
  std::atomic<bool> queuedCloseRan{false};
  std::string afterClose;
  int error = 0;
  ASSERT_TRUE(port.OpenPort(
      pty.slavePath(), {},
      [&](const char* data, size_t count) {
        if (closedEarly || !port.IsOpen()) afterClose.append(data, count);
        if (std::string(data, count) != "first") return;
        // Runs before the next chunk's hand-over, which is queued behind it.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [&] {
              // Wait, without running the event loop, until the monitoring thread has taken
              // "second" from the line, so that its hand-over is (all but certainly) queued,
              // then close under it.
              auto end = std::chrono::steady_clock::now() + PtyPair::kDeadline;
              int queued = -1;
              while (std::chrono::steady_clock::now() < end &&
                     !(ioctl(probe, FIONREAD, &queued) == 0 && queued == 0))
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
              std::this_thread::sleep_for(std::chrono::milliseconds(20));
              port.ClosePort();
              closedEarly = true;
              queuedCloseRan = true;
            },
            Qt::QueuedConnection);
        pty.Send("second");
      },
      nullptr, &error));
  ASSERT_TRUE(port.StartMonitor());
  ASSERT_TRUE(pty.Send("first"));
  ASSERT_TRUE(WaitFor([&] { return queuedCloseRan.load(); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(afterClose, "");
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(SerialPortTest, UnplugMidTransferIsReportedOnceAndClosesWithoutHanging) {
  int error = 0;
  std::string got;
  int goneCount = 0;
  int goneError = 0;
  ASSERT_TRUE(port.OpenPort(
      pty.slavePath(), {}, [&](const char* data, size_t count) { got.append(data, count); },
      [&](int cause) {
        ++goneCount;
        goneError = cause;
        port.ClosePort();  // what the main window does on this report
      },
      &error));
  ASSERT_TRUE(port.StartMonitor());

  std::atomic<bool> stop{false};
  std::thread device([&] {
    while (!stop) pty.Send(Pattern(512), std::chrono::milliseconds(50));
  });
  ASSERT_TRUE(WaitFor([&] { return got.size() >= 4096; }));
  stop = true;
  device.join();
  pty.CloseMaster();

  ASSERT_TRUE(WaitFor([&] { return goneCount > 0; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(goneCount, 1);
  EXPECT_EQ(goneError, EIO);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.WriteBytes("+++", 3), 0u);
}

TEST_F(SerialPortTest, WriterWaitingForAFullLineIsReleasedByClose) {
  OpenAndMonitor();
  // The device reads nothing, so the line's buffers fill up long before this is written.
  const std::string big = Pattern(1 << 20);
  std::atomic<size_t> written{0};
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    written = port.WriteBytes(big.data(), big.size());
    returned = true;
  });
  ASSERT_TRUE(WaitFor([&] {
    int pending = 0;
    return ioctl(pty.master(), FIONREAD, &pending) == 0 && pending > 0;
  }));
  port.ClosePort();
  worker.join();
  EXPECT_TRUE(returned);
  EXPECT_GT(written.load(), 0u);
  EXPECT_LT(written.load(), big.size());
}

TEST_F(SerialPortTest, WriteToVanishedDeviceReturnsShortCount) {
  OpenAndMonitor();
  pty.CloseMaster();
  // The port still counts as open until the gone report is handled; the write fails at once.
  EXPECT_EQ(port.WriteBytes("AT\r\n", 4), 0u);
  ASSERT_TRUE(WaitFor([&] { return !rx.goneErrors.empty(); }));
  port.ClosePort();
}

struct LineCase {
  LineSettings settings;
  tcflag_t stickyParityFlags;  // PARODD and CMSPAR: a pty keeps them, unlike PARENB and CSIZE
  bool twoStopBits;
};

class LineSettingsTest : public SerialPortTest, public testing::WithParamInterface<LineCase> {};

// A pty always reports 8 data bits without parity (it has no wire); the rest must be as chosen.
TEST_P(LineSettingsTest, OpenedLineHoldsTheChosenSettings) {
  const LineCase& c = GetParam();
  const int probe = pty.SlaveProbe();
  ASSERT_GE(probe, 0);
  OpenAndMonitor(c.settings);

  termios tio{};
  ASSERT_EQ(tcgetattr(probe, &tio), 0);
  EXPECT_EQ(tio.c_cflag & (PARODD | CMSPAR), c.stickyParityFlags);
  EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, c.twoStopBits);
  EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), CLOCAL | CREAD);
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);
  EXPECT_EQ(tio.c_iflag & (ICRNL | IXON), 0u);
  EXPECT_EQ(ReadCustomBaud(probe), c.settings.baud);
}

INSTANTIATE_TEST_SUITE_P(Lines, LineSettingsTest,
                         testing::Values(LineCase{{9600, 'N', 8, 1}, 0, false},
                                         LineCase{{115200, 'E', 7, 1}, 0, false},
                                         LineCase{{921600, 'O', 8, 2}, PARODD, true},
                                         LineCase{{4800, 'M', 8, 1}, PARODD | CMSPAR, false},
                                         LineCase{{230400, 'S', 6, 1}, CMSPAR, false},
                                         LineCase{{14400, 'N', 5, 2}, 0, true},
                                         LineCase{{250000, 'O', 8, 1}, PARODD, false}),
                         [](const auto& p) {
                           const LineSettings& s = p.param.settings;
                           return "Baud" + std::to_string(s.baud) + std::to_string(s.dataBits) +
                                  s.parity + std::to_string(s.stopBits);
                         });

TEST_F(SerialPortTest, RefusedLineSettingsAreReportedAndLeaveThePortFree) {
  std::vector<std::string> reports;
  SetPortErrorReporter([&](const std::string& text) { reports.push_back(text); });
  int error = 0;
  EXPECT_FALSE(port.OpenPort(pty.slavePath(), {9600, 'N', 9, 1}, nullptr, nullptr, &error));
  SetPortErrorReporter(nullptr);
  EXPECT_EQ(error, EINVAL);
  EXPECT_EQ(port.isOpen.load(), 0);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0],
            "WARNING:  tcsetattr() Failed with the following error: \n"
            "Invalid line settings baud=9600 parity=N data=9 stop=1\nPort: " +
                pty.slavePath() + "\n");
  // Neither the lock nor the exclusive mode is left behind.
  EXPECT_TRUE(port.OpenPort(pty.slavePath(), {}, nullptr, nullptr, &error));
}

TEST(SerialPortOpenErrors, UnopenableDevicesGiveErrnoAndStayClosed) {
  struct Case {
    const char* path;
    int error;
  } cases[] = {
      {"/dev/does-not-exist-ttyUSB9", ENOENT},
      {"/dev/null", ENOTTY},
      {"/", EISDIR},
  };
  for (const Case& c : cases) {
    CSerialPort port;
    int error = 0;
    EXPECT_FALSE(port.OpenPort(c.path, {}, nullptr, nullptr, &error)) << c.path;
    EXPECT_EQ(error, c.error) << c.path;
    EXPECT_EQ(port.isOpen.load(), 0) << c.path;
    EXPECT_FALSE(port.StartMonitor());
    port.ClosePort();  // harmless on a closed port
  }
}

TEST(SerialPortErrorText, ReportNamesCallErrnoTextAndPath) {
  CSerialPort port;
  port.OpenPort("/dev/does-not-exist-ttyUSB9", {}, nullptr, nullptr, nullptr);
  std::string shown;
  SetPortErrorReporter([&](const std::string& text) { shown = text; });
  errno = EACCES;
  port.ReportPortError("tcgetattr()");
  SetPortErrorReporter(nullptr);
  EXPECT_EQ(shown,
            "WARNING:  tcgetattr() Failed with the following error: \nPermission denied\n"
            "Port: /dev/does-not-exist-ttyUSB9\n");
}

TEST(SerialPortErrorText, PermissionHintNamesTheGroupToJoinButNeverRoot) {
  using Remedy = PortPermission::Remedy;
  struct Case {
    const char* group;
    mode_t mode;
    bool listed;
    bool inProcess;
    Remedy remedy;
    const char* named;  // in the hint
  };
  const Case cases[] = {
      {"dialout", 0660, false, false, Remedy::kJoinGroup, "usermod -aG dialout"},
      {"uucp", 0660, false, false, Remedy::kJoinGroup, "usermod -aG uucp"},
      {"dialout", 0660, true, false, Remedy::kLogInAgain, "log out and in again"},
      {"root", 0660, false, false, Remedy::kNoGroup, "udev rule"},
      {"dialout", 0600, false, false, Remedy::kNoGroup, "udev rule"},
      {"dialout", 0640, false, false, Remedy::kNoGroup, "chmod a+rw"},
      {"", 0660, false, false, Remedy::kNoGroup, "udev rule"},
  };
  for (const Case& c : cases) {
    const PortPermission permission = DecidePortPermission(c.group, c.mode, c.listed, c.inProcess);
    EXPECT_EQ(permission.remedy, c.remedy) << c.group << " " << c.mode;
    const std::string hint = DescribePortPermission(permission, "/dev/ttyUSB0");
    EXPECT_NE(hint.find(c.named), std::string::npos) << hint;
    EXPECT_EQ(hint.find("-aG root"), std::string::npos) << hint;
  }
  // A node that is not there says no group rather than guessing one.
  EXPECT_NE(OpenErrorHint(EACCES, "/dev/does-not-exist-ttyUSB9").find("no group"),
            std::string::npos);
  EXPECT_NE(OpenErrorHint(EBUSY, "/dev/ttyUSB0").find("in use"), std::string::npos);
}

}  // namespace
