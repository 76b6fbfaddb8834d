// The signal and SIM buttons of the real window against the real simulated device: the raw
// answer stays in the log, the line saying what it means follows it.
#include <gtest/gtest.h>

#include "event_loop.h"
#include "sim_faults.h"
#include "sim_process.h"
#include "temp_dir.h"
#include "test_program.h"

namespace {

class QueryLinesTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("config.ini", "");
    std::string error;
    ASSERT_TRUE(sim_.Start({"--boot-ms", "1500"}, &error)) << error;
    window_ = MakeTestWindow(dir_.Path(), 0, &error);
    ASSERT_TRUE(window_) << error;
    window_->hooks().jobFinished = [this](JobKind, JobOutcome) { ++finished_; };
    ASSERT_TRUE(window_->StartWorker());
    window_->device().ports().Preselect(sim_.PtyPath());
    Click("Open");
    ASSERT_TRUE(window_->session().IsOpen()) << Log();
    ASSERT_TRUE(PumpUntil([&] { return window_->session().LoggedIn(); })) << Log();
    ASSERT_TRUE(PumpUntil([&] { return window_->form().Find("CSQ")->IsEnabled(); }));
  }
  void Click(const char* name) {
    Control* control = window_->form().Find(name);
    ASSERT_NE(control, nullptr) << name;
    window_->Notify({"click", control, 0, 0});
  }
  std::string Log() { return window_->form().Find("richedit")->Text(); }
  // Runs the query and waits for its job (and its posted lines) to end.
  void Query(const char* button) {
    const int before = finished_;
    Click(button);
    ASSERT_TRUE(PumpUntil([&] { return finished_ > before; })) << Log();
    PumpFor(50);
  }

  TempDir dir_;
  SimProcess sim_;
  std::unique_ptr<CZR350FrameWnd> window_;
  int finished_ = 0;
};

TEST_F(QueryLinesTest, SignalAndSimAnswersAreFollowedByTheirMeaning) {
  Query("CSQ");
  const std::string log = Log();
  const size_t raw = log.find("+CSQ: 24,99");
  ASSERT_NE(raw, std::string::npos) << log;
  const size_t meaning = log.find("Signal 24: about -65 dBm, good; bit error rate unknown");
  ASSERT_NE(meaning, std::string::npos) << log;
  EXPECT_LT(raw, meaning);

  Query("CPIN");
  const size_t sim = Log().find("SIM card: ready", meaning);
  EXPECT_NE(sim, std::string::npos) << Log();
  EXPECT_LT(Log().find("+CPIN: READY"), sim);
}

TEST_F(QueryLinesTest, AnErrorAnswerAddsNoMeaning) {
  ASSERT_TRUE(sim_.SendControl(sim_fault::Error("At+CSQ")));
  Query("CSQ");
  // The first "ERROR" is asked again once; both are answered "ERROR".
  ASSERT_TRUE(PumpUntil([&] { return finished_ >= 2; })) << Log();
  PumpFor(50);
  EXPECT_EQ(Log().find("Signal "), std::string::npos) << Log();
}

}  // namespace
