// The status line, the log's kinds of lines and the batch summary with the real program against
// the simulated device on a pty. Set DTU_SCREENSHOT_DIR to keep the pictures of the window.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSplitter>

#include <cstdlib>

#include "app/log_pane.h"
#include "app/status_line.h"
#include "event_loop.h"
#include "sim_faults.h"
#include "sim_process.h"
#include "temp_dir.h"
#include "test_program.h"
#include "ui/skin_window.h"

namespace {

class LogStatusFlowTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* keep = std::getenv("DTU_SCREENSHOT_DIR");
    shots_ = keep ? std::string(keep) + "/" : dir_.Path();
  }

  void OpenAndLogIn(const char* baud, std::vector<std::string> deviceArgs = {}) {
    deviceArgs.insert(deviceArgs.end(), {"--boot-ms", "1500"});
    std::string error;
    ASSERT_TRUE(sim_.Start(deviceArgs, &error)) << error;
    window_ = MakeTestWindow(dir_.Path(), 0, &error);
    ASSERT_TRUE(window_) << error;
    ASSERT_TRUE(window_->StartWorker(options_));
    PumpFor(20);
    EXPECT_EQ(Status(), "No port open | Port closed | ");
    ComboControl* rates = window_->form().FindCombo("BaudRate1");
    for (int i = 0; i < rates->ItemCount(); ++i)
      if (rates->ItemText(i) == baud) rates->SelectItem(i);
    window_->device().ports().Preselect(sim_.PtyPath());
    window_->Notify({"click", window_->form().Find("Open"), 0, 0});
    ASSERT_TRUE(window_->session().IsOpen()) << Log();
    // The device boots for a second and a half: until its menu comes the port waits for it.
    ASSERT_TRUE(PumpUntil([&] {
      return Status().find("| Waiting for the device") != std::string::npos;
    })) << Status();
    auto* state = dynamic_cast<QWidget*>(window_->form().Find("DeviceState"));
    EXPECT_EQ(state->property("deviceState").toString(), "waiting");
    ASSERT_TRUE(PumpUntil([&] { return window_->session().LoggedIn(); }, 15000)) << Log();
    EXPECT_EQ(state->property("deviceState").toString(), "config");
    ASSERT_TRUE(PumpUntil([&] { return window_->form().Find("Load")->IsEnabled(); }));
  }

  std::string Log() { return window_->form().Find("richedit")->Text(); }
  static size_t CountOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
  std::string Status() { return window_->logStatus().statusLine()->Text(); }
  std::string Commands() {
    const std::string received = sim_.Recording();
    const size_t first = received.find_first_not_of('s');
    return first == std::string::npos ? std::string() : received.substr(first);
  }
  void QueueWrite(const std::string& name, const std::string& command, const std::string& value) {
    WorkJob job = MakeJob(JobKind::kWrite, command + "=" + value + "\r\n");
    job.name = name;
    job.value = value;
    window_->session().Queue(job);
  }
  // `logHeight` > 0 moves the splitter to give the log that much room first.
  void Shoot(const std::string& name, int width, int height, int logHeight = 0) {
    SkinWindow* window = window_->window();
    window->resize(width, height);
    if (auto* splitter = window->findChild<QSplitter*>("LogSplitter"); splitter && logHeight > 0) {
      window->SaveScreenshot(shots_ + name);  // lays the window out at its new size
      const int total = splitter->sizes()[0] + splitter->sizes()[1];
      splitter->setSizes({total - logHeight, logHeight});
    }
    EXPECT_TRUE(window->SaveScreenshot(shots_ + name)) << name;
  }

  WorkerOptions options_;
  TempDir dir_;
  std::string shots_;
  SimProcess sim_;
  std::unique_ptr<CZR350FrameWnd> window_;
};

}  // namespace

TEST_F(LogStatusFlowTest, TheStatusLineFollowsAReadAt9600Baud) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn("9600", {"--model", "zr350v4"}));
  const std::string port = sim_.PtyPath() + " · 9600 · 8N1";
  EXPECT_EQ(Status().rfind(port + " | Configuration mode | ", 0), 0u) << Status();

  window_->Notify({"click", window_->form().Find("Load"), 0, 0});
  // Halfway through the reply the line shows the bytes so far against the expected size.
  ASSERT_TRUE(PumpUntil(
      [&] {
        const std::string s = Status();
        const size_t at = s.find("Reading ");
        return at != std::string::npos && s.find(" of about 5.4 KB · ") != std::string::npos &&
               std::stod(s.substr(at + 8)) >= 2.0;
      },
      15000))
      << Status();
  Shoot("status-line-reading.png", 1100, 680);
  Shoot("status-line-reading-1920.png", 1920, 1080);
  ASSERT_TRUE(PumpUntil([&] { return Status().find("Read: done in") != std::string::npos; }, 30000))
      << Status();
  const std::string done = Status();
  EXPECT_NE(done.find(" | ZR350-5IO · Zr350V4.2.0 | "), std::string::npos)
      << "the device type and version once read: " << done;
  EXPECT_NE(done.find(" KB"), std::string::npos) << done;
  // A read at 9600 baud takes seconds: the elapsed time says so.
  const size_t in = done.find("done in ") + 8;
  EXPECT_GE(std::stod(done.substr(in)), 3.0) << done;

  window_->Notify({"click", window_->form().Find("Open"), 0, 0});  // close
  ASSERT_TRUE(PumpUntil([&] { return Status().rfind("No port open | Port closed", 0) == 0; }))
      << Status();
}

TEST_F(LogStatusFlowTest, ABatchEndsAtItsFirstRefusedOrUnansweredWriteWithOneSummary) {
  options_.timeoutDivisor = 10;
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn("115200"));
  ASSERT_TRUE(sim_.SendControl(sim_fault::Error("AT+APN")));
  ASSERT_TRUE(sim_.SendControl(sim_fault::Silent("AT+LPORT")));
  QueueWrite("Server's Port", "AT+PORT", "8000");
  QueueWrite("Access Point Name", "AT+APN", "internet");
  QueueWrite("Listen on port", "AT+LPORT", "6000");
  QueueWrite("Server's Ip", "AT+IPAD", "10.0.0.9");
  const std::string summary =
      "Write finished: 1 of 4 written; refused 1: Access Point Name; not sent 2";
  ASSERT_TRUE(PumpUntil([&] { return Log().find("Write finished") != std::string::npos; }, 20000))
      << Log();
  std::string log = Log();
  EXPECT_NE(log.find("\n" + summary + "\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("Write finished"), log.rfind("Write finished")) << "one line per batch";
  EXPECT_EQ(Commands(), "AT+PORT=8000\r\nAT+APN=internet\r\n") << "nothing after the refusal";

  auto* result = window_->window()->findChild<QLabel*>("BatchResult");
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(result->text().toStdString(), summary);
  EXPECT_TRUE(result->isVisibleTo(window_->window()));
  EXPECT_NE(Status().find(summary), std::string::npos) << Status();
  EXPECT_FALSE(window_->logStatus().statusLine()->cancelButton()->isVisibleTo(window_->window()));

  // A write the device leaves unanswered ends its batch the same way.
  QueueWrite("Listen on port", "AT+LPORT", "6000");
  QueueWrite("Server's Ip", "AT+IPAD", "10.0.0.9");
  ASSERT_TRUE(PumpUntil([&] { return CountOf(Log(), "Write finished") == 2; }, 20000)) << Log();
  log = Log();
  EXPECT_NE(log.find("\nWrite finished: 0 of 2 written; no answer 1; not sent 1\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(Commands(), "AT+PORT=8000\r\nAT+APN=internet\r\nAT+LPORT=6000\r\n")
      << "nothing after the time-out";
  EXPECT_EQ(result->text().toStdString(),
            "Write finished: 0 of 2 written; no answer 1; not sent 1");

  // The next write is a batch of its own.
  ASSERT_TRUE(sim_.SendControl(sim_fault::kClear));
  QueueWrite("Server's Port", "AT+PORT", "8001");
  ASSERT_TRUE(PumpUntil(
      [&] { return result->text().toStdString() == "Write finished: 1 of 1 written"; }, 10000))
      << result->text().toStdString();
  // The log given more room with its splitter, as a user reading it would.
  Shoot("log-kinds-of-lines.png", 1100, 680, 330);
  window_->logStatus().pane()->SetTimestamps(true);
  Shoot("log-kinds-of-lines-1920.png", 1920, 1080, 520);
}

// "Log out": the device area and the status line both say the device waits, and the last
// batch's line goes with the login it belonged to.
TEST_F(LogStatusFlowTest, LoggingOutLeavesTheDeviceAreaAndTheStatusLineAgreeing) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn("115200"));
  QueueWrite("Server's Port", "AT+PORT", "8001");
  auto* result = window_->window()->findChild<QLabel*>("BatchResult");
  ASSERT_NE(result, nullptr);
  ASSERT_TRUE(PumpUntil(
      [&] { return result->text().toStdString() == "Write finished: 1 of 1 written"; }, 10000));
  ASSERT_TRUE(PumpUntil([&] { return window_->form().Find("quit")->IsEnabled(); }));

  window_->Notify({"click", window_->form().Find("quit"), 0, 0});
  ASSERT_TRUE(PumpUntil([&] { return Commands().ends_with("at+quit\r\n"); }, 5000)) << Commands();
  PumpFor(100);
  auto* state = dynamic_cast<QWidget*>(window_->form().Find("DeviceState"));
  EXPECT_EQ(window_->form().Find("DeviceState")->Text(), "Not logged in");
  EXPECT_EQ(state->property("deviceState").toString(), "waiting");
  EXPECT_NE(Status().find("| Waiting for the device"), std::string::npos) << Status();
  EXPECT_FALSE(result->isVisibleTo(window_->window()));
  EXPECT_EQ(result->text().toStdString(), "");
}

TEST_F(LogStatusFlowTest, CancelDropsTheQueuedWritesAndTheOneInFlightFinishes) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn("115200", {"--latency-ms", "150"}));
  for (int i = 0; i < 12; ++i) QueueWrite("Server's Port", "AT+PORT", std::to_string(7000 + i));
  QPushButton* cancel = window_->logStatus().statusLine()->cancelButton();
  ASSERT_TRUE(cancel->isVisibleTo(window_->window()));
  ASSERT_TRUE(PumpUntil([&] { return Status().find("Writing 1 of 12") != std::string::npos; }))
      << Status();
  ASSERT_TRUE(PumpUntil([&] { return Commands().find("AT+PORT=7001") != std::string::npos; }))
      << Commands();
  cancel->click();
  ASSERT_TRUE(PumpUntil([&] { return Log().find("Write cancelled") != std::string::npos; }, 10000))
      << Log();
  PumpFor(600);  // long enough for a dropped write to have been sent, had it not been dropped
  const std::string sent = Commands();
  const size_t count = std::count(sent.begin(), sent.end(), '\n');
  ASSERT_GE(count, 2u) << sent;
  ASSERT_LE(count, 3u) << sent;
  std::string expected;
  for (size_t i = 0; i < count; ++i) expected += "AT+PORT=" + std::to_string(7000 + i) + "\r\n";
  EXPECT_EQ(sent, expected) << "nothing after the cancel but the write in flight";
  const std::string summary = "Write cancelled: " + std::to_string(count) +
                              " of 12 written; not sent " + std::to_string(12 - count);
  EXPECT_NE(Log().find(summary), std::string::npos) << Log();
  EXPECT_EQ(window_->session().QueuedJobs(), 0u);
  EXPECT_FALSE(cancel->isVisibleTo(window_->window()));
}
