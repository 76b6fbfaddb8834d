// The connection panel of the real window on a real pseudo-terminal.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "event_loop.h"
#include "temp_dir.h"
#include "test_program.h"

namespace {

class ConnectionTest : public testing::Test {
 protected:
  void SetUp() override {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    ptyPath_ = ptsname(master_);
    std::string error;
    window_ = MakeTestWindow(dir_.Path(), 0, &error);
    ASSERT_TRUE(window_) << error;
    window_->device().ports().Preselect(ptyPath_);
    PumpFor(20);
  }
  void TearDown() override {
    window_.reset();
    if (master_ >= 0) close(master_);
  }

  void Choose(const char* combo, const std::string& text) {
    ComboControl* c = window_->form().FindCombo(combo);
    for (int i = 0; i < c->ItemCount(); ++i) {
      if (c->ItemText(i) == text) {
        c->SelectItem(i);
        return;
      }
    }
    FAIL() << text << " is not offered by " << combo;
  }
  void ClickOpen() { window_->Notify({"click", window_->form().Find("Open"), 0, 0}); }
  std::string Log() { return window_->form().Find("richedit")->Text(); }
  std::string ReadMaster() {
    std::string got;
    char buf[256];
    ssize_t n;
    while ((n = read(master_, buf, sizeof buf)) > 0) got.append(buf, static_cast<size_t>(n));
    return got;
  }

  TempDir dir_;
  int master_ = -1;
  std::string ptyPath_;
  std::unique_ptr<CZR350FrameWnd> window_;
};

}  // namespace

TEST_F(ConnectionTest, AGivenPortIsListedAndPreselected) {
  Control* ports = window_->form().Find("SerialPort");
  EXPECT_NE(ports->Text().find(ptyPath_), std::string::npos) << ports->Text();
}

TEST_F(ConnectionTest, OpeningStartsTheSStreamAndLocksThePortSettings) {
  Choose("BaudRate1", "115200");
  ClickOpen();
  ASSERT_TRUE(window_->session().IsOpen()) << Log();
  EXPECT_EQ(window_->form().Find("Open")->Text(), "Close");
  EXPECT_NE(Log().find("Serial port opened"), std::string::npos);
  ASSERT_TRUE(PumpUntil([&] { return window_->form().Find("Login")->IsEnabled(); }));
  EXPECT_FALSE(window_->form().Find("BaudRate1")->IsEnabled());
  // The booting device is answered with "s" every 300 ms.
  std::string received;
  ASSERT_TRUE(PumpUntil([&] {
    received += ReadMaster();
    return received.size() >= 3;
  }));
  EXPECT_EQ(received.find_first_not_of('s'), std::string::npos);

  ClickOpen();  // closes
  EXPECT_FALSE(window_->session().IsOpen());
  EXPECT_EQ(window_->form().Find("Open")->Text(), "Open");
  EXPECT_NE(Log().find("Serial port closed"), std::string::npos);
  ASSERT_TRUE(PumpUntil([&] { return window_->form().Find("BaudRate1")->IsEnabled(); }));
  EXPECT_FALSE(window_->form().Find("Login")->IsEnabled());
  PumpFor(400);
  ReadMaster();
  PumpFor(400);
  EXPECT_EQ(ReadMaster(), "") << "the s stream stops with the port";
}

TEST_F(ConnectionTest, TimeOutFactorFollowsTheBaudRateAtEveryOpening) {
  struct Step {
    const char* baud;
    int factor;
  };
  for (const Step& step :
       {Step{"4800", 2}, Step{"4800", 2}, Step{"115200", 1}, Step{"2400", 4}, Step{"9600", 1}}) {
    Choose("BaudRate1", step.baud);
    ClickOpen();
    ASSERT_TRUE(window_->session().IsOpen()) << Log();
    EXPECT_EQ(window_->session().TimeoutFactor(), step.factor) << step.baud;
    ClickOpen();
    ASSERT_FALSE(window_->session().IsOpen());
  }
}

TEST_F(ConnectionTest, APortThatCannotBeOpenedLeavesAReasonInTheLog) {
  CSerialPort holder;  // another opener holds the port
  int error = 0;
  ASSERT_TRUE(holder.OpenPort(ptyPath_, LineSettings{}, nullptr, nullptr, &error));
  ClickOpen();
  EXPECT_FALSE(window_->session().IsOpen());
  EXPECT_NE(Log().find("Failed to open the serial port"), std::string::npos);
  EXPECT_NE(Log().find("in use by another program"), std::string::npos) << Log();
  EXPECT_EQ(window_->form().Find("Open")->Text(), "Open");
}

TEST_F(ConnectionTest, ABaudRateThatIsNoNumberIsRefusedBeforeOpening) {
  ComboControl* rates = window_->form().FindCombo("BaudRate1");
  rates->AddItem("fast");
  rates->SelectItem(rates->ItemCount() - 1);
  ClickOpen();
  EXPECT_FALSE(window_->session().IsOpen());
  EXPECT_NE(Log().find("Unsupported baud rate \"fast\""), std::string::npos) << Log();
}
