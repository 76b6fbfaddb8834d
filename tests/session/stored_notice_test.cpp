// A device whose stored texts hold the words of its own boot prompt and idle notice, against the
// session's real port, worker, receive path and "s" stream, on the strict simulated device: the
// texts are written and read back like any other, and not one stray "s" reaches the device.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <string>

#include "event_loop.h"
#include "exchange/enqueue_job.h"
#include "session/device_session.h"
#include "sim_process.h"
#include "texts/language.h"

namespace {

class Listener : public SessionListener {
 public:
  void OnSessionLog(const std::string& text) override { log += text; }
  void OnSessionEvent(SessionEvent) override {}
  void OnMessageBox(const std::string&) override {}
  void OnShowParsed(const std::string&, const ShowReplyResult&) override { ++shows; }
  void OnJobFinished(const WorkJob&, JobOutcome outcome) override {
    ++finished;
    failed += outcome != JobOutcome::kCompleted;
  }

  std::string log;
  int shows = 0;
  int finished = 0;
  int failed = 0;
};

WorkJob Write(const std::string& name, const std::string& stem, const std::string& value) {
  WorkJob job = MakeJob(JobKind::kWrite, stem + "=" + value + "\r\n");
  job.name = name;
  job.value = value;
  return job;
}

TEST(StoredNotices, ValuesHoldingThePromptAndTheIdleNoticeAreWrittenAndReadLikeAnyOther) {
  SetLanguageFile(DTU_SKIN_ROOT "/ConifgENRes/Language.ini");
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Start({"--boot-ms", "1500", "--model", "zr350v4"}, &error)) << error;

  Listener listener;
  DeviceSession session(listener);
  BuildParamTable(session.Params(), session.ListParams(), std::nullopt);
  ASSERT_TRUE(session.StartWorker());
  ASSERT_TRUE(
      session.Open(sim.PtyPath(), LineSettings{.baud = 115200}, LoginStart::kBootStream).ok());
  ASSERT_TRUE(PumpUntil([&] { return session.LoggedIn(); }, 15000)) << listener.log;
  const int streamed = session.SStreamSent();

  const std::string prompt = "Press 's' key to enter setting menu (3)";
  const std::string notice = "Seting Timeout and quit";
  session.Queue(Write("RegisterInfo", "AT+CONNRGST", prompt));
  session.Queue(Write("HeartbeatPacket", "AT+LINKRGST", notice));
  QElapsedTimer clock;
  clock.start();
  session.Queue(MakeJob(JobKind::kShow, "AT+SHOW\r\n"));
  ASSERT_TRUE(PumpUntil([&] { return listener.finished == 3; }, 40000)) << listener.log;
  // Far below the show's 24 s time-out: the reply completed by its own final line.
  EXPECT_LT(clock.elapsed(), 12000);
  EXPECT_EQ(listener.failed, 0) << listener.log;
  EXPECT_EQ(listener.shows, 1);
  EXPECT_EQ(session.Params()["RegisterInfo"].value, prompt);
  EXPECT_EQ(session.Params()["HeartbeatPacket"].value, notice);
  EXPECT_TRUE(session.LoggedIn()) << "the idle notice in a value logs nothing out";
  EXPECT_EQ(session.SStreamSent(), streamed) << "no prompt answered";

  const std::string received = sim.Recording();
  const size_t commands = received.find_first_not_of('s');
  ASSERT_NE(commands, std::string::npos);
  EXPECT_EQ(received.substr(commands),
            "AT+CONNRGST=" + prompt + "\r\nAT+LINKRGST=" + notice + "\r\nAT+SHOW\r\n");
  session.Close();
}

}  // namespace
