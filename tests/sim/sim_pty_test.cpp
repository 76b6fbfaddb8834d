// The dtu-sim program on a real pseudo-terminal, opened the way a serial tool opens a port:
// boot on open, both logins, a complete show reply, writes, the idle time-out, faults, the
// recording of what the device received, and clean exits.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <string>

#include "sim_process.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kDeadlineMs = 20000;  // generous: the machine may be loaded

// The program's side of the port: the slave opened with plain termios.
class Port {
 public:
  explicit Port(const std::string& path, speed_t speed = B115200) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) return;
    termios tio{};
    tcgetattr(fd_, &tio);
    cfmakeraw(&tio);
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    tcsetattr(fd_, TCSANOW, &tio);
  }
  ~Port() {
    if (fd_ >= 0) close(fd_);
  }
  bool IsOpen() const { return fd_ >= 0; }

  void Write(const std::string& bytes) {
    ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // Reads until the bytes received since the last Take contain `text`; false at the deadline.
  bool WaitFor(const std::string& text, int timeoutMs = kDeadlineMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (received_.find(text) == std::string::npos) {
      if (!ReadSome(deadline)) return false;
    }
    return true;
  }

  // Reads until the port is hung up (POLLHUP, or EIO / end of file on read).
  bool WaitForHangup(int timeoutMs = kDeadlineMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 100) > 0) {
        if (p.revents & POLLHUP) return true;
        char buffer[4096];
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno == EIO)) return true;
        if (n > 0) received_.append(buffer, static_cast<size_t>(n));
      }
    }
    return false;
  }

  std::string Take() {
    std::string out;
    out.swap(received_);
    return out;
  }
  const std::string& received() const { return received_; }

  // The login a device accepts: one "s" in answer to a boot prompt, then the whole menu. A
  // strict device takes any further "s" as the start of the next command.
  bool LoginWithS() {
    if (!WaitFor("'s' key")) return false;
    Write("s");
    // The menu's last line; what follows it is the answer to the next command.
    const bool complete = WaitFor("leave the setting menu\r\n");
    Take();
    return complete;
  }

  // The forgiving login of the lenient device: an "s" every 300 ms until the menu shows, so
  // that an "s" or two may follow the menu.
  bool LoginWithSStream() {
    const auto deadline = Clock::now() + std::chrono::milliseconds(kDeadlineMs);
    while (Clock::now() < deadline) {
      Write("s");
      if (WaitFor("AT+LIST", 300)) {
        const bool complete = WaitFor("leave the setting menu\r\n");
        Take();
        return complete;
      }
    }
    return false;
  }

 private:
  bool ReadSome(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
    char buffer[4096];
    const ssize_t n = read(fd_, buffer, sizeof buffer);
    if (n <= 0) return n < 0 && errno == EAGAIN;
    received_.append(buffer, static_cast<size_t>(n));
    return true;
  }

  int fd_ = -1;
  std::string received_;
};

TEST(SimOnPty, OpeningThePortShowsABootPromptAndAnSLogsIn) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({}));
  // The simulator booted when it started; opening the port boots it again.
  Port port(sim.PtyPath());
  ASSERT_TRUE(port.IsOpen());
  ASSERT_TRUE(port.LoginWithS());
  EXPECT_NE(sim.Status().find("mode=setting"), std::string::npos);
  port.Write("At+CSQ\r\n");
  EXPECT_TRUE(port.WaitFor("+CSQ: 24,99\r\n\r\nOK\r\n"));
}

TEST(SimOnPty, LenientDeviceForgivesTheSStreamRunningOn) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({"--lenient"}));
  Port port(sim.PtyPath());
  ASSERT_TRUE(port.LoginWithSStream());
  port.Write("sss");
  port.Write("At+CSQ\r\n");
  EXPECT_TRUE(port.WaitFor("+CSQ: 24,99\r\n\r\nOK\r\n"));
}

TEST(SimOnPty, StrictDeviceRefusesACommandAfterAStrayS) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({}));
  Port port(sim.PtyPath());
  ASSERT_TRUE(port.LoginWithS());
  port.Write("sAT+SHOW\r\n");
  ASSERT_TRUE(port.WaitFor("ERROR\r\n"));
  EXPECT_EQ(port.Take(), "sAT+SHOW\r\n\r\nERROR\r\n");
}

TEST(SimOnPty, StrictEscapeCountsOnlyAloneInItsBurst) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({"--boot-ms", "200", "--fault", "error +++"}));
  Port port(sim.PtyPath());
  ASSERT_TRUE(port.WaitFor("Entering data mode"));
  port.Take();
  // Refused by the fault, then taken once the fault is cleared.
  port.Write("+++");
  ASSERT_TRUE(port.WaitFor("\r\nERROR\r\n"));
  EXPECT_NE(sim.Status().find("mode=data"), std::string::npos);
  ASSERT_TRUE(sim.SendControl("fault clear +++"));
  // Glued to another byte it is data: the status shows the device still in data mode.
  port.Write("s+++");
  const auto glued = Clock::now();
  while (sim.Recording().find("s+++") == std::string::npos &&
         Clock::now() - glued < std::chrono::milliseconds(kDeadlineMs)) {
    usleep(1000);
  }
  EXPECT_NE(sim.Status().find("mode=data"), std::string::npos);
  port.Write("+++");
  ASSERT_TRUE(port.WaitFor("enter setting!"));
  EXPECT_EQ(port.Take(), "\r\nERROR\r\n\r\nenter setting!\r\n");
  // Already in setting mode, "+++" is not confirmed again: it is the start of a line.
  port.Write("+++");
  port.Write("At+CSQ\r\n");
  ASSERT_TRUE(port.WaitFor("ERROR\r\n"));
  EXPECT_EQ(port.Take(), "+++At+CSQ\r\n\r\nERROR\r\n");
}

TEST(SimOnPty, EscapeLogsInOnceTheBootIsOver) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({"--boot-ms", "200"}));
  Port port(sim.PtyPath());
  ASSERT_TRUE(port.WaitFor("Entering data mode"));
  port.Write("+++");
  EXPECT_TRUE(port.WaitFor("enter setting!"));
}

TEST(SimOnPty, ShowReplyIsCompleteWithTheFiveDioMarker) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({"--model", "zr350v4"}));
  Port port(sim.PtyPath());
  ASSERT_TRUE(port.LoginWithS());
  port.Write("AT+SHOW\r\n");
  ASSERT_TRUE(port.WaitFor("\r\nOK\r\n"));
  const std::string reply = port.Take();
  EXPECT_EQ(reply.rfind("AT+SHOW\r\n", 0), 0u);
  EXPECT_GT(reply.size(), 3000u);
  EXPECT_NE(reply.find("Zr350V4"), std::string::npos);
  EXPECT_LT(reply.find("Zr350V4"), reply.find("Access Point Name:"));
  EXPECT_NE(reply.find("\r\nDIO4 workmode:"), std::string::npos);
  EXPECT_NE(reply.find("\r\nGENSENSORINFO 15:"), std::string::npos);
  EXPECT_EQ(reply.find("OK"), reply.size() - 4);
}

TEST(SimOnPty, AcceptedWriteIsShownRefusedWriteIsNot) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({}));
  Port port(sim.PtyPath());
  ASSERT_TRUE(port.LoginWithS());
  port.Write("AT+APN=apn.test\r\n");
  ASSERT_TRUE(port.WaitFor("\r\n"));
  ASSERT_TRUE(port.WaitFor("OK\r\n"));
  EXPECT_EQ(port.Take(), "AT+APN=apn.test\r\n\r\nOK\r\n");
  port.Write("AT+PORT=99999\r\n");
  ASSERT_TRUE(port.WaitFor("ERROR\r\n"));
  EXPECT_EQ(port.Take(), "AT+PORT=99999\r\n\r\nERROR\r\n");
  port.Write("AT+SHOW\r\n");
  ASSERT_TRUE(port.WaitFor("\r\nOK\r\n"));
  const std::string show = port.Take();
  EXPECT_NE(show.find("Access Point Name:apn.test\r\n"), std::string::npos);
  EXPECT_NE(show.find("\r\nServer's Port:8000\r\n"), std::string::npos);
}

TEST(SimOnPty, IdleSettingModeAnnouncesItsTimeout) {
  SimProcess sim;
  // Long enough that the menu is surely read before the time-out text comes.
  ASSERT_TRUE(sim.Start({"--idle-timeout", "2"}));
  Port port(sim.PtyPath());
  ASSERT_TRUE(port.LoginWithS());
  EXPECT_TRUE(port.WaitFor("Seting Timeout and quit"));
  EXPECT_NE(sim.Status().find("mode=data"), std::string::npos);
}

TEST(SimOnPty, ControlFaultsAnswerErrorAndUnplugHangsThePortUp) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({}));
  Port port(sim.PtyPath());
  ASSERT_TRUE(port.LoginWithS());
  ASSERT_TRUE(sim.SendControl("fault error At+CSQ"));
  EXPECT_FALSE(sim.SendControl("fault explode"));
  port.Write("At+CSQ\r\n");
  ASSERT_TRUE(port.WaitFor("ERROR\r\n"));
  EXPECT_EQ(port.Take(), "At+CSQ\r\n\r\nERROR\r\n");

  ASSERT_TRUE(sim.SendControl("fault unplug-after-bytes 500"));
  port.Write("AT+SHOW\r\n");
  EXPECT_TRUE(port.WaitForHangup());
  EXPECT_LE(port.received().size(), 500u);
  EXPECT_EQ(port.received().find("\r\nOK\r\n"), std::string::npos);
  EXPECT_FALSE(sim.WaitForLine("UNPLUGGED").empty());

  // Plugged in again, the device is on a new pty and boots.
  ASSERT_TRUE(sim.SendControl("replug"));
  Port again(sim.PtyPath());
  EXPECT_TRUE(again.WaitFor("'s' key"));
}

TEST(SimOnPty, ChunkFaultStillDeliversTheWholeReply) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({"--fault", "chunk 7 2"}));
  Port port(sim.PtyPath());
  ASSERT_TRUE(port.LoginWithS());
  port.Write("At+VER\r\n");
  ASSERT_TRUE(port.WaitFor("OK\r\n"));
  EXPECT_EQ(port.Take(), "At+VER\r\n\r\n+VER:Zr350V1.8.6\r\n\r\nOK\r\n");
}

TEST(SimOnPty, FloodSendsLineNoiseAheadOfTheNextAnswer) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({}));
  Port port(sim.PtyPath());
  ASSERT_TRUE(port.LoginWithS());
  port.Take();
  EXPECT_FALSE(sim.SendControl("flood 0"));
  EXPECT_FALSE(sim.SendControl("flood lots"));
  ASSERT_TRUE(sim.SendControl("flood 3000"));
  port.Write("At+VER\r\n");
  ASSERT_TRUE(port.WaitFor("+VER:Zr350V1.8.6\r\n\r\nOK\r\n"));
  const std::string received = port.Take();
  const size_t echo = received.rfind("At+VER\r\n");
  ASSERT_NE(echo, std::string::npos);
  EXPECT_GE(echo, 3000u) << "the noise comes first";
  std::set<char> values(received.begin(), received.begin() + 3000);
  EXPECT_GT(values.size(), 200u) << "every byte value, NUL included";
}

TEST(SimOnPty, RecordingHoldsExactlyWhatTheDeviceReceived) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({"--boot-ms", "10000"}));
  Port port(sim.PtyPath());
  ASSERT_TRUE(port.WaitFor("'s' key"));
  port.Write("s");
  ASSERT_TRUE(port.WaitFor("AT+LIST"));
  const std::string sent = std::string("\r\nAT+SHOW\r\n") +
                           "AT+EXCCLK=\"2024/03/05,08:07:06\",5\r\n" + std::string("bin\0\xFF", 5) +
                           "\r\n";
  port.Write(sent);
  ASSERT_TRUE(port.WaitFor("ERROR\r\n"));
  EXPECT_EQ(sim.Recording(), "s" + sent);
}

TEST(SimOnPty, RebootsOnSigusr1) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({}));
  Port port(sim.PtyPath());
  ASSERT_TRUE(port.LoginWithS());
  ASSERT_EQ(kill(sim.pid(), SIGUSR1), 0);
  EXPECT_TRUE(port.WaitFor("'s' key"));
}

TEST(SimOnPty, LinkFollowsThePtyAndGoesAwayOnExit) {
  char dir[] = "/tmp/dtu-sim-link-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string link = std::string(dir) + "/ttyDTU";
  {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--link", link}));
    char target[256] = {};
    ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(sim.PtyPath(), target);
    Port port(link);
    EXPECT_TRUE(port.WaitFor("'s' key"));
    EXPECT_EQ(sim.Stop(SIGTERM), 0);
    struct stat st {};
    EXPECT_NE(lstat(link.c_str(), &st), 0);
  }
  rmdir(dir);
}

// Pty numbers are reused at once: after an unplug the link must not lead to whatever pty
// takes the freed number next, and after a replug it leads to the new one.
TEST(SimOnPty, LinkGoesWithAnUnplugAndComesBackWithTheReplug) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({}));
  struct stat st {};
  ASSERT_EQ(lstat(sim.LinkPath().c_str(), &st), 0);
  ASSERT_TRUE(sim.SendControl("unplug"));
  EXPECT_NE(lstat(sim.LinkPath().c_str(), &st), 0);
  ASSERT_TRUE(sim.SendControl("replug"));
  char target[256] = {};
  ASSERT_GT(readlink(sim.LinkPath().c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(sim.PtyPath(), target);
  Port port(sim.LinkPath());
  EXPECT_TRUE(port.WaitFor("'s' key"));
}

TEST(SimOnPty, EndsCleanlyOnStdinEofAndOnSigint) {
  SimProcess byEof;
  ASSERT_TRUE(byEof.Start({}));
  EXPECT_EQ(byEof.Stop(), 0);
  SimProcess bySigint;
  ASSERT_TRUE(bySigint.Start({"--no-stdin-control"}));
  EXPECT_EQ(bySigint.Stop(SIGINT), 0);
}

TEST(SimOnPty, RefusesBadOptionsAndUnreadableConfigurations) {
  SimProcess badModel;
  EXPECT_FALSE(badModel.Start({"--model", "nonesuch"}, nullptr, 5000));
  SimProcess badConfig;
  EXPECT_FALSE(badConfig.Start({"--config", "/nonexistent/dtu.cfg"}, nullptr, 5000));
}

TEST(SimOnPty, ConfigurationFileIsTheInitialState) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({"--model", "zr350v4", "--config",
                         std::string(DTU_TEST_DATA_DIR) + "/sim/mqtt-five-dio.cfg"}));
  Port port(sim.PtyPath());
  ASSERT_TRUE(port.LoginWithS());
  port.Write("AT+SHOW\r\n");
  ASSERT_TRUE(port.WaitFor("\r\nOK\r\n"));
  const std::string show = port.Take();
  for (const char* line : {"Access Point Name:apn.mqtt\r\n", "\r\nProtocol model:MQTT\r\n",
                           "\r\nMQTT Client Id:plant-7\r\n", "\r\nDIO4 workmode:6\r\n",
                           "\r\nGENSENSORINFO 0:1,1,3,0,2,0,2,1,temp,0\r\n"}) {
    EXPECT_NE(show.find(line), std::string::npos) << line;
  }
}

TEST(SimOnPty, ForeignConfigurationFileIsRefused) {
  char path[] = "/tmp/dtu-sim-foreign-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, "not a show reply\r\r\n", 20), 20);
  close(fd);
  SimProcess sim;
  EXPECT_FALSE(sim.Start({"--config", path}, nullptr, 5000));
  unlink(path);
}

TEST(SimOnPty, ReplyTakesAtLeastItsWireTime) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({}));
  Port port(sim.PtyPath(), B19200);
  ASSERT_TRUE(port.LoginWithS());
  const auto start = Clock::now();
  port.Write("AT+SHOW\r\n");
  ASSERT_TRUE(port.WaitFor("\r\nOK\r\n"));
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  const double wire = static_cast<double>(port.received().size()) * 10.0 / 19200.0;
  // Only a lower bound: a loaded machine may be late, but the device must never be early.
  EXPECT_GE(seconds, 0.9 * wire);
}

}  // namespace
