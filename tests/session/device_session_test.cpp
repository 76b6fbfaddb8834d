// The device session without any widget: a pseudo-terminal whose master side the test plays as
// the device, the session's real port, worker and login.
#include "session/device_session.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <string>
#include <vector>

#include "../serial/pty_pair.h"
#include "event_loop.h"
#include "texts/language.h"

namespace {

constexpr char kPrompt[] = "Press 's' key to enter setting menu (3)\r\n";

class RecordingListener : public SessionListener {
 public:
  void OnSessionLog(const std::string& text) override { log += text; }
  void OnSessionEvent(SessionEvent event) override { events.push_back(event); }
  void OnEscapeRefused() override { ++escapeRefusals; }
  void OnMessageBox(const std::string& text) override { boxes.push_back(text); }
  void OnJobFinished(const WorkJob& job, JobOutcome outcome) override {
    finished.push_back(std::to_string(static_cast<int>(job.kind)) + ":" +
                       std::to_string(static_cast<int>(outcome)));
  }
  void OnConnectionLost(const std::string& path, int) override { lost.push_back(path); }

  std::string log;
  std::vector<SessionEvent> events;
  std::vector<std::string> boxes;
  std::vector<std::string> finished;
  std::vector<std::string> lost;
  int escapeRefusals = 0;
};

class DeviceSessionTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { SetLanguageFile(DTU_TEST_DATA_DIR "/exchange/Language.ini"); }

  // Reads what the session wrote to the device so far.
  static std::string Drain(PtyPair& pty) {
    return pty.Receive(1 << 20, std::chrono::milliseconds(1));
  }
  // Adds what the session writes to `received` until it holds `text`; false on the deadline.
  static bool ReceiveUntil(PtyPair& pty, std::string& received, const std::string& text,
                           int timeoutMs) {
    return PumpUntil(
        [&] {
          received += Drain(pty);
          return received.find(text) != std::string::npos;
        },
        timeoutMs);
  }

  void Open(PtyPair& pty, LoginStart login = LoginStart::kBootStream) {
    ASSERT_TRUE(pty.ok());
    const OpenResult result = session.Open(pty.slavePath(), LineSettings{.baud = 115200}, login);
    ASSERT_TRUE(result.ok()) << static_cast<int>(result.failure);
  }
  // The device enters its setting mode by its menu.
  void LogIn(PtyPair& pty) {
    ASSERT_TRUE(pty.Send("\r\n[setting menu]\r\nAT+LIST show all commands\r\n"));
    ASSERT_TRUE(PumpUntil([&] { return session.LoggedIn(); }));
  }

  RecordingListener listener;
  DeviceSession session{listener};
};

TEST_F(DeviceSessionTest, APromptRepeatedFasterThanTheStreamIsAnsweredAtOnce) {
  PtyPair pty;
  ASSERT_NO_FATAL_FAILURE(Open(pty));
  // A device that repeats its boot prompt every 200 ms, faster than the stream's period.
  QTimer prompts;
  prompts.callOnTimeout([&] { pty.Send(kPrompt); });
  pty.Send(kPrompt);
  prompts.start(200);
  std::string received;
  ASSERT_TRUE(ReceiveUntil(pty, received, "s", 3000)) << "no \"s\" while the prompt kept coming";
  prompts.stop();
  // The device took the "s" and prints its menu for 600 ms, a line every 50 ms: no "s" may
  // land in it, since it would stand in front of the next command.
  received.clear();
  QTimer menu;
  int lines = 0;
  menu.callOnTimeout([&] {
    pty.Send(++lines < 12 ? "AT+SOMETHING  a menu line\r\n" : "AT+LIST show all commands\r\n");
    if (lines >= 12) menu.stop();
  });
  menu.start(50);
  ASSERT_TRUE(PumpUntil([&] {
    received += Drain(pty);
    return session.LoggedIn();
  }));
  PumpFor(700);
  received += Drain(pty);
  EXPECT_EQ(received, "") << "an \"s\" reached the device after it took the first";
  EXPECT_EQ(session.State(), ConnectionState::kLoggedIn);
}

TEST_F(DeviceSessionTest, NothingOfAnEarlierOpeningReachesALaterOne) {
  ASSERT_TRUE(session.StartWorker(WorkerOptions{.timeoutDivisor = 10}));
  PtyPair first;
  ASSERT_NO_FATAL_FAILURE(Open(first));
  ASSERT_NO_FATAL_FAILURE(LogIn(first));
  // A query the device never answers, and one queued behind it.
  session.Queue(JobKind::kVersion, "At+VER\r\n");
  session.Queue(JobKind::kSimStatus, "At+CPIN?\r\n");
  std::string sent;
  ASSERT_TRUE(PumpUntil([&] {
    sent += Drain(first);
    return sent.find("At+VER") != std::string::npos;
  })) << sent
      << listener.log;
  session.Close();
  EXPECT_EQ(session.State(), ConnectionState::kClosed);
  EXPECT_EQ(session.QueuedJobs(), 0u);

  PtyPair second;
  ASSERT_NO_FATAL_FAILURE(Open(second));
  listener.log.clear();
  // Well past the shortened 500 ms time-out of the abandoned query.
  std::string received;
  PumpUntil(
      [&] {
        received += Drain(second);
        return false;
      },
      1500);
  EXPECT_EQ(listener.log.find("OutTime"), std::string::npos) << listener.log;
  EXPECT_EQ(received.find("At+"), std::string::npos) << received;
  EXPECT_TRUE(listener.finished.empty()) << testing::PrintToString(listener.finished);
}

TEST_F(DeviceSessionTest, ConnectionStateFollowsTheDevice) {
  ASSERT_TRUE(session.StartWorker());
  EXPECT_EQ(session.State(), ConnectionState::kClosed);
  PtyPair pty;
  ASSERT_NO_FATAL_FAILURE(Open(pty));
  EXPECT_EQ(session.State(), ConnectionState::kWaitingForDevice);
  ASSERT_NO_FATAL_FAILURE(LogIn(pty));
  // The device leaves its setting mode by itself after a while without commands.
  pty.Send("Seting Timeout and quit\r\n");
  ASSERT_TRUE(PumpUntil([&] { return session.State() == ConnectionState::kWaitingForDevice; }));
  // A device that refuses "+++" stays logged out, and says so once.
  session.LoginByEscape();
  ASSERT_TRUE(PumpUntil([&] { return Drain(pty).find("+++") != std::string::npos; }));
  pty.Send("ERROR\r\n");
  ASSERT_TRUE(PumpUntil([&] { return listener.escapeRefusals == 1; }));
  EXPECT_EQ(session.State(), ConnectionState::kWaitingForDevice);
  // Unplugged: the session closes by itself and says so.
  pty.CloseMaster();
  ASSERT_TRUE(PumpUntil([&] { return !listener.lost.empty(); }, 3000));
  EXPECT_EQ(session.State(), ConnectionState::kClosed);
}

TEST_F(DeviceSessionTest, TheListenerHearsEachChangeOfThePortAndTheLogin) {
  ASSERT_TRUE(session.StartWorker());
  PtyPair pty;
  ASSERT_NO_FATAL_FAILURE(Open(pty));
  ASSERT_NO_FATAL_FAILURE(LogIn(pty));
  pty.Send("Seting Timeout and quit\r\n");
  ASSERT_TRUE(PumpUntil([&] { return session.State() == ConnectionState::kWaitingForDevice; }));
  session.Close();
  ASSERT_TRUE(PumpUntil([&] { return listener.events.size() >= 4; }));
  const std::vector<SessionEvent> expected = {SessionEvent::kPortOpened, SessionEvent::kLoggedIn,
                                              SessionEvent::kLoggedOut, SessionEvent::kPortClosed};
  EXPECT_EQ(listener.events, expected);
}

// The quit counts the device out when it is queued, once, whatever the device answers; the
// queue running dry after it brings nothing back.
TEST_F(DeviceSessionTest, TheQuitCountsTheDeviceOutOnceWhateverItAnswers) {
  ASSERT_TRUE(session.StartWorker());
  for (const std::string answer : {"OK", "ERROR"}) {
    PtyPair pty;
    ASSERT_NO_FATAL_FAILURE(Open(pty));
    ASSERT_NO_FATAL_FAILURE(LogIn(pty));
    Drain(pty);
    listener.events.clear();
    listener.finished.clear();
    session.QuitSettingMode();
    std::string received;
    ASSERT_TRUE(ReceiveUntil(pty, received, "at+quit\r\n", 5000)) << answer;
    EXPECT_EQ(session.State(), ConnectionState::kWaitingForDevice) << answer;
    pty.Send("at+quit\r\n" + answer + "\r\n");
    ASSERT_TRUE(PumpUntil([&] { return listener.finished.size() == 1; })) << answer;
    // A log line posted after the job's end has passed whatever the worker posted before it.
    session.PostLog("mark\r\n");
    ASSERT_TRUE(PumpUntil([&] { return listener.log.ends_with("mark\r\n"); })) << answer;
    const std::vector<SessionEvent> expected = {SessionEvent::kLoggedOut, SessionEvent::kBusy};
    EXPECT_EQ(listener.events, expected) << answer;
    EXPECT_EQ(session.State(), ConnectionState::kWaitingForDevice) << answer;
    session.Close();
  }
}

TEST_F(DeviceSessionTest, ARunningDeviceIsAskedWithTheEscapeRightAway) {
  PtyPair pty;
  ASSERT_NO_FATAL_FAILURE(Open(pty, LoginStart::kProbe));
  std::string received;
  ASSERT_TRUE(ReceiveUntil(pty, received, "+++", 2000));
  EXPECT_EQ(received, "+++") << "the escape comes alone, with no \"s\" before it";
  pty.Send("+++\r\nenter setting!\r\n");
  ASSERT_TRUE(PumpUntil([&] { return session.LoggedIn(); }));
}

// A busy machine may answer the boot prompt after the device has left it for its data mode,
// where "s" is only data: the headless login then asks with "+++" once the device is quiet.
TEST_F(DeviceSessionTest, AProbingLoginThatMissedTheBootPromptAsksWithTheEscape) {
  PtyPair pty;
  ASSERT_NO_FATAL_FAILURE(Open(pty, LoginStart::kProbe));
  pty.Send("\r\nPress 's' key to enter setting menu (1)\r\n");
  std::string received;
  ASSERT_TRUE(ReceiveUntil(pty, received, "s", 2000));
  pty.Send("Entering data mode\r\n");  // the "s" came too late; then the device says nothing
  ASSERT_TRUE(ReceiveUntil(pty, received, "+++", 8000)) << received;
  EXPECT_EQ(received.find("+++"), received.size() - 3) << "the stream stopped before the escape";
  EXPECT_EQ(received.find_first_not_of('s'), received.size() - 3) << received;
  pty.Send("+++\r\nenter setting!\r\n");
  ASSERT_TRUE(PumpUntil([&] { return session.LoggedIn(); }));
}

TEST_F(DeviceSessionTest, FailedOpeningsSayWhy) {
  struct Case {
    std::string path;
    OpenFailure failure;
  };
  for (const Case& c : {Case{"", OpenFailure::kNoPort},
                        Case{"/dev/no-such-serial-port", OpenFailure::kNoSuchDevice},
                        Case{"/etc/hostname", OpenFailure::kNotATerminal}}) {
    const OpenResult result = session.Open(c.path, LineSettings{}, LoginStart::kProbe);
    EXPECT_EQ(result.failure, c.failure) << c.path;
    EXPECT_EQ(session.State(), ConnectionState::kClosed);
    EXPECT_NE(DescribeOpenFailure(result, c.path), "");
  }
}

}  // namespace
