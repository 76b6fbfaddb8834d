// Actions that cannot be undone, on the real window against the simulated device on a pty (or a
// bare pty): the factory reset's question, the language switch over an open port, and the
// "at+quit" sent when the window closes while logged in.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "event_loop.h"
#include "exchange/exchange_host.h"
#include "sim_process.h"
#include "temp_dir.h"
#include "test_program.h"

namespace {

class SafeActionsTest : public testing::Test {
 protected:
  void SetUp() override { dir_.Write("config.ini", "[Set]\r\nLanguage=0\r\n"); }

  void MakeWindow(bool worker = true) {
    std::string error;
    window_ = MakeTestWindow(dir_.Path(), 0, &error);
    ASSERT_TRUE(window_) << error;
    window_->hooks().quit = [this] { ++quits_; };
    window_->hooks().restart = [this] {
      ++restarts_;
      return restartWorks_;
    };
    window_->hooks().confirm = [this](const std::string& text) {
      questions_.push_back(text);
      return answer_;
    };
    window_->hooks().showApplied = [this] { ++shows_; };
    window_->hooks().messageBox = [this](const std::string& text) { boxes_.push_back(text); };
    if (worker) {
      ASSERT_TRUE(window_->StartWorker());
    }
    PumpFor(20);
  }
  // The device is booting as the port opens: the "s" stream takes it into its menu.
  void OpenAndLogIn() {
    std::string error;
    ASSERT_TRUE(sim_.Start({"--boot-ms", "1500"}, &error)) << error;
    ASSERT_NO_FATAL_FAILURE(MakeWindow());
    window_->device().ports().Preselect(sim_.PtyPath());
    Click("Open");
    ASSERT_TRUE(window_->session().IsOpen()) << Log();
    ASSERT_TRUE(PumpUntil([&] { return window_->session().LoggedIn(); })) << Log();
    ASSERT_TRUE(PumpUntil([&] { return window_->form().Find("Load")->IsEnabled(); }));
  }
  void Click(const char* name) {
    Control* control = window_->form().Find(name);
    ASSERT_NE(control, nullptr) << name;
    window_->Notify({"click", control, 0, 0});
  }
  std::string Log() { return window_->form().Find("richedit")->Text(); }
  // What the device received after the login's "s" stream.
  std::string Commands() {
    const std::string received = sim_.Recording();
    const size_t first = received.find_first_not_of('s');
    return first == std::string::npos ? std::string() : received.substr(first);
  }
  // Runs a version query to its end: whatever was queued before it has been sent by then.
  void Settle() {
    Click("GetVer");
    ASSERT_TRUE(PumpUntil([&] {
      return window_->session().QueuedJobs() == 0 && window_->form().Find("Load")->IsEnabled() &&
             Commands().find("At+VER\r\n") != std::string::npos;
    }));
  }

  TempDir dir_;
  SimProcess sim_;
  std::unique_ptr<CZR350FrameWnd> window_;
  std::vector<std::string> questions_;
  std::vector<std::string> boxes_;
  bool answer_ = false;
  int quits_ = 0;
  int restarts_ = 0;
  bool restartWorks_ = true;
  int shows_ = 0;
};

// A bare pseudo-terminal: the test plays the device, or a device that reads nothing.
class Pty {
 public:
  Pty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) path_ = ptsname(master_);
  }
  ~Pty() {
    if (master_ >= 0) close(master_);
  }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;
  const std::string& Path() const { return path_; }
  std::string Read() {
    std::string got;
    char buf[4096];
    ssize_t n;
    while ((n = read(master_, buf, sizeof buf)) > 0) got.append(buf, static_cast<size_t>(n));
    return got;
  }

 private:
  int master_ = -1;
  std::string path_;
};

}  // namespace

TEST_F(SafeActionsTest, FactoryResetAsksNamingTheDeviceAndSendsOnlyOnYes) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  // Declined: nothing reaches the device.
  answer_ = false;
  Click("RestoreFactory");
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_NE(questions_[0].find("Restore the factory settings of this device?"), std::string::npos);
  EXPECT_NE(questions_[0].find("Device: not read yet"), std::string::npos) << questions_[0];
  EXPECT_NE(questions_[0].find("Port: " + sim_.PtyPath()), std::string::npos) << questions_[0];
  ASSERT_NO_FATAL_FAILURE(Settle());
  EXPECT_EQ(Commands(), "At+VER\r\n");

  // Once read, the question names the device's type.
  Click("Load");
  ASSERT_TRUE(PumpUntil([&] { return shows_ == 1; }, 30000)) << Log();
  const std::string type = window_->session().Facts().deviceTypeText;
  ASSERT_FALSE(type.empty());
  ASSERT_TRUE(PumpUntil([&] { return window_->form().Find("RestoreFactory")->IsEnabled(); }));
  answer_ = true;
  Click("RestoreFactory");
  ASSERT_EQ(questions_.size(), 2u);
  EXPECT_NE(questions_[1].find("Device: " + type), std::string::npos) << questions_[1];
  ASSERT_TRUE(PumpUntil([&] { return Commands().ends_with("AT+FACTORY\r\n"); }, 15000))
      << Commands();
  EXPECT_EQ(Commands(), "At+VER\r\nAT+SHOW\r\nAT+FACTORY\r\n");
}

TEST_F(SafeActionsTest, TheLanguageSwitchAsksWhileAPortIsOpenAndKeepsTheConnectionOnNo) {
  Pty pty;
  ASSERT_FALSE(pty.Path().empty());
  ASSERT_NO_FATAL_FAILURE(MakeWindow(false));
  window_->device().ports().Preselect(pty.Path());
  Click("Open");
  ASSERT_TRUE(window_->session().IsOpen()) << Log();
  ComboControl* language = window_->form().FindCombo("Language");

  answer_ = false;
  language->SelectItem(1);
  ASSERT_TRUE(PumpUntil([&] { return questions_.size() == 1; }));
  EXPECT_NE(questions_[0].find("closes the serial connection"), std::string::npos);
  EXPECT_NE(questions_[0].find(pty.Path()), std::string::npos);
  ASSERT_TRUE(PumpUntil([&] { return language->CurSel() == 0; })) << "the list shows English";
  PumpFor(50);
  EXPECT_EQ(restarts_, 0);
  EXPECT_EQ(quits_, 0);
  EXPECT_TRUE(window_->session().IsOpen());
  EXPECT_EQ(ReadLanguageValue(dir_.Path() + "config.ini"), 0);
  EXPECT_EQ(questions_.size(), 1u) << "going back to the running language asks nothing";

  answer_ = true;
  language->SelectItem(1);
  ASSERT_TRUE(PumpUntil([&] { return quits_ == 1; }));
  EXPECT_EQ(restarts_, 1);
  EXPECT_EQ(ReadLanguageValue(dir_.Path() + "config.ini"), 1);
}

// The new instance cannot be started (the program file was replaced by an upgrade, say): this
// one must not quit and leave the user with nothing.
TEST_F(SafeActionsTest, ALanguageSwitchWhoseRestartFailsKeepsTheProgramRunning) {
  ASSERT_NO_FATAL_FAILURE(MakeWindow(false));
  restartWorks_ = false;
  ComboControl* language = window_->form().FindCombo("Language");
  language->SelectItem(1);
  ASSERT_TRUE(PumpUntil([&] { return !boxes_.empty(); }));
  EXPECT_NE(boxes_[0].find("could not start again"), std::string::npos) << boxes_[0];
  EXPECT_EQ(restarts_, 1);
  PumpFor(50);
  EXPECT_EQ(quits_, 0);
  EXPECT_EQ(language->CurSel(), 0) << "the list shows the running language";
  EXPECT_EQ(ReadLanguageValue(dir_.Path() + "config.ini"), 1) << "the choice is kept for later";
}

TEST_F(SafeActionsTest, ALanguageSwitchThatCannotWriteItsSettingSaysSoAndDoesNotRestart) {
  // The settings file's folder is a file: no one, not even root, can write there.
  dir_.Write("blocked", "a file");
  QFile::link(DTU_SKIN_ROOT, QString::fromStdString(dir_.Path() + "skin"));
  ProgramPaths paths = MakeProgramPaths(dir_.Path(), 0);
  paths.configPath = dir_.Path() + "blocked/config.ini";
  SetLanguageFile(paths.languagePath);
  CZR350FrameWnd window(paths, 0);
  window.hooks().headless = true;
  int quits = 0;
  int restarts = 0;
  std::vector<std::string> boxes;
  window.hooks().quit = [&] { ++quits; };
  window.hooks().restart = [&] {
    ++restarts;
    return true;
  };
  window.hooks().messageBox = [&](const std::string& text) { boxes.push_back(text); };
  std::string error;
  ASSERT_TRUE(window.Create(&error)) << error;
  ComboControl* language = window.form().FindCombo("Language");
  language->SelectItem(1);
  ASSERT_TRUE(PumpUntil([&] { return !boxes.empty(); }));
  EXPECT_NE(boxes[0].find("The language was not switched"), std::string::npos) << boxes[0];
  EXPECT_NE(boxes[0].find(paths.configPath), std::string::npos);
  ASSERT_TRUE(PumpUntil([&] { return language->CurSel() == 0; }));
  PumpFor(50);
  EXPECT_EQ(restarts, 0);
  EXPECT_EQ(quits, 0);
}

TEST_F(SafeActionsTest, ClosingWhileLoggedInSendsQuitFirst) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  Click("closebtn");
  ASSERT_TRUE(PumpUntil([&] { return quits_ == 1; }));
  ASSERT_TRUE(PumpUntil([&] { return Commands() == "at+quit\r\n"; })) << Commands();
  EXPECT_NE(Log().find("send:at+quit"), std::string::npos);
  // Told once: a second close (the window manager's) sends nothing more.
  window_->OnWindowClosed();
  ASSERT_TRUE(PumpUntil([&] { return quits_ == 2; }));
  ASSERT_TRUE(PumpUntil([&] { return sim_.Status().find("mode=data") != std::string::npos; }))
      << "the device went back to its work";
  EXPECT_EQ(Commands(), "at+quit\r\n");
}

TEST_F(SafeActionsTest, ClosingWhileLoggedOutSendsNothing) {
  std::string error;
  ASSERT_TRUE(sim_.Start({"--boot-ms", "100", "--no-reboot-on-open"}, &error)) << error;
  ASSERT_NO_FATAL_FAILURE(MakeWindow());
  window_->device().ports().Preselect(sim_.PtyPath());
  Click("Open");
  ASSERT_TRUE(window_->session().IsOpen());
  Click("closebtn");
  ASSERT_TRUE(PumpUntil([&] { return quits_ == 1; }));
  Click("Open");  // closes: everything written has reached the device
  ASSERT_TRUE(PumpUntil([&] { return sim_.Status().find("slave=free") != std::string::npos; }));
  EXPECT_EQ(Commands(), "");
}

TEST_F(SafeActionsTest, ClosingNeverWaitsLongerThanItsBoundForAPortThatTakesNothing) {
  Pty pty;  // nobody reads the other end
  ASSERT_NO_FATAL_FAILURE(MakeWindow(false));
  window_->device().ports().Preselect(pty.Path());
  Click("Open");
  ASSERT_TRUE(window_->session().IsOpen());
  // The device said it is in its setting mode.
  window_->session().OnExchangeEvent(ExchangeEvent::kLoggedIn);
  ASSERT_TRUE(window_->session().LoggedIn());
  // Fill the line until the port takes no more.
  const std::string block(4096, 'x');
  while (window_->session().WriteToPort(block.data(), block.size()) == block.size()) {
  }
  QElapsedTimer timer;
  timer.start();
  window_->HandleMessage(WM_QUIT_PROGRAM, 0, 0);
  const qint64 took = timer.elapsed();
  EXPECT_EQ(quits_, 1);
  // The port's own writer would wait a whole second.
  EXPECT_LT(took, 800) << "ms";
  EXPECT_GE(took, CZR350FrameWnd::kClosingQuitBoundMs - 50) << "ms";
  EXPECT_FALSE(window_->session().IsOpen()) << "the stuck port is closed";
  EXPECT_EQ(Log().find("send:at+quit"), std::string::npos) << "nothing was sent";
}
