// The receive path on the UI thread: collecting, logging, matching per awaited kind, the login
// texts and the follow-up jobs. No worker runs here; the tests play its part on the state.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "exchange/exchange_state.h"
#include "exchange/receive_path.h"
#include "fake_host.h"
#include "writing/work_job.h"

namespace {

class ReceivePath : public testing::Test {
 protected:
  static void SetUpTestSuite() { UseTestLanguageFile(); }

  void Receive(const std::string& chunk) { ReceiveData(state, host, chunk.data(), chunk.size()); }
  bool ReplyReady() const {
    return state.Inspect([](const ReplyCollection& c) { return c.replyReady; });
  }
  ReplyStatus Status() const {
    return state.Inspect([](const ReplyCollection& c) { return c.replyStatus; });
  }
  std::vector<WorkJob> QueuedJobs() {
    std::vector<WorkJob> jobs;
    WorkJob job;
    while (state.queue.TryTake(&job)) jobs.push_back(job);
    return jobs;
  }

  ExchangeState state;
  FakeHost host{state};
};

TEST_F(ReceivePath, CollectsTheNewestBytesWithoutLoggingWhileNothingIsAwaited) {
  const std::string chunk(1000, 'a');
  for (int i = 0; i < 20; ++i) Receive(chunk);
  Receive("tail");
  EXPECT_EQ(state.Received().size(), kReceiveBufferSize);
  EXPECT_TRUE(state.Received().ends_with("atail"));
  EXPECT_TRUE(host.EventsStartingWith("log:").empty());
}

TEST_F(ReceivePath, LogsEachChunkWhileAReplyIsAwaitedWithZeroBytesAsBlanks) {
  BeginTestJob(state, JobKind::kVersion, "At+VER\r\n");
  Receive(std::string("At+VER\r\nZr\0", 11) + "350\r\n");
  Receive("OK\r\n");
  EXPECT_EQ(host.EventsStartingWith("log:"),
            (std::vector<std::string>{"log:At+VER\r\nZr 350\r\n", "log:OK\r\n"}));
  EXPECT_EQ(state.Received(), "At+VER\r\nZr 350\r\nOK\r\n");
  EXPECT_TRUE(ReplyReady());
  EXPECT_EQ(state.AwaitedKind(), JobKind::kAwaitNothing);
  // Nothing awaited any more: a late chunk is collected but not logged.
  Receive("late");
  EXPECT_EQ(host.EventsStartingWith("log:").size(), 2u);
}

TEST_F(ReceivePath, OkSplitAcrossChunksCompletesTheWrite) {
  BeginTestJob(state, JobKind::kWrite, "AT+LID=1\r\n");
  Receive("AT+LID=1\r\nO");
  EXPECT_FALSE(ReplyReady());
  Receive("K");
  EXPECT_FALSE(ReplyReady());
  Receive("\r\n");
  EXPECT_TRUE(ReplyReady());
  EXPECT_EQ(Status(), ReplyStatus::kComplete);
}

TEST_F(ReceivePath, ShowReplyCompletesOnlyWithMarkerAndFinalOk) {
  BeginTestJob(state, JobKind::kShow, "AT+SHOW\r\n");
  Receive("AT+SHOW\r\nOK\r\n");  // an early OK line before the parameter section
  Receive("\r\nAccess Point Name:CMNET\r\nAPN User Name:OK\r\n");
  EXPECT_FALSE(ReplyReady());
  Receive("LORA ID:1\r\nO");
  EXPECT_FALSE(ReplyReady());
  Receive("K\r\n");
  EXPECT_TRUE(ReplyReady());
}

TEST_F(ReceivePath, SettingMenuLogsInAndStopsTheStream) {
  AwaitSettingMenu(state);
  Receive("Press 's' key to enter setting\r\n");
  host.ClearEvents();
  Receive("ss\r\nAT+LI");
  EXPECT_EQ(state.AwaitedKind(), JobKind::kAwaitSettingMenu);
  Receive("ST show all commands\r\n");
  EXPECT_EQ(state.AwaitedKind(), JobKind::kAwaitNothing);
  EXPECT_EQ(host.Count("stop-s"), 1u);
  EXPECT_EQ(host.Count("post-event:logged-in"), 1u);
  EXPECT_FALSE(ReplyReady());
}

TEST_F(ReceivePath, BootPromptRestartsTheCollectionAndIsAnsweredAtOnce) {
  BeginTestJob(state, JobKind::kWrite, "AT+LID=1\r\n");
  Receive("AT+LID=1\r\n");
  Receive("\r\nPress 's' key within 3 seconds\r\n");
  EXPECT_EQ(state.AwaitedKind(), JobKind::kAwaitSettingMenu);
  EXPECT_EQ(state.Received(), "");
  EXPECT_EQ(host.Count("answer-prompt"), 1u);
  // The running write lost its matching: its OK no longer completes it.
  Receive("OK\r\n");
  EXPECT_FALSE(ReplyReady());
  EXPECT_EQ(state.AwaitedKind(), JobKind::kAwaitSettingMenu);
}

TEST_F(ReceivePath, TimeoutQuitLogsOutOnEveryChunkUntilTheNextClear) {
  Receive("Seting Timeout and quit\r\n");
  Receive("x");
  EXPECT_EQ(host.Count("post-event:left-setting-mode"), 2u);
  state.ClearReceived();
  Receive("y");
  EXPECT_EQ(host.Count("post-event:left-setting-mode"), 2u);
}

TEST_F(ReceivePath, EscapeLoginSendsPlusesAndEntersSetting) {
  state.SetAwaitedKind(JobKind::kAwaitSettingMenu);
  Receive("junk");
  LoginByEscape(state, host);
  EXPECT_EQ(host.Written(), "+++");
  EXPECT_EQ(host.Count("stop-s"), 1u);
  EXPECT_EQ(host.Count("log:send:+++\r\n"), 1u);
  EXPECT_EQ(state.Received(), "");
  EXPECT_EQ(state.AwaitedKind(), JobKind::kAwaitEscapeAnswer);
  Receive("+++\r\nenter ");
  EXPECT_EQ(host.Count("post-event:logged-in"), 0u);
  Receive("setting!\r\n");
  EXPECT_EQ(host.Count("post-event:logged-in"), 1u);
  EXPECT_EQ(state.AwaitedKind(), JobKind::kAwaitNothing);
}

TEST_F(ReceivePath, EscapeRefusedEndsTheWaitLoggedOut) {
  LoginByEscape(state, host);
  Receive("ERROR\r\n");
  EXPECT_EQ(state.AwaitedKind(), JobKind::kAwaitNothing);
  EXPECT_TRUE(host.EventsStartingWith("post-event:").empty());
}

TEST_F(ReceivePath, FollowUpJobs) {
  struct Case {
    const char* what;
    JobKind kind;
    std::string command;
    std::string reply;
    std::vector<std::string> queued;  // commands of the follow-up jobs
    JobKind queuedKind;
  };
  const Case cases[] = {
      {"factory reset accepted",
       JobKind::kFactoryReset,
       "AT+FACTORY\r\n",
       "AT+FACTORY\r\nOK\r\n",
       {"\r\nAT+SHOW\r\n"},
       JobKind::kShow},
      {"factory reset refused",
       JobKind::kFactoryReset,
       "AT+FACTORY\r\n",
       "AT+FACTORY\r\nERROR\r\n",
       {},
       JobKind::kAwaitNothing},
      {"signal refused",
       JobKind::kSignal,
       "At+CSQ\r\n",
       "At+CSQ\r\nERROR\r\n",
       {"At+CSQ\r\n"},
       JobKind::kSignalRetry},
      {"signal retry refused",
       JobKind::kSignalRetry,
       "At+CSQ\r\n",
       "At+CSQ\r\nERROR\r\n",
       {},
       JobKind::kAwaitNothing},
      {"signal answered",
       JobKind::kSignal,
       "At+CSQ\r\n",
       "At+CSQ\r\n+CSQ: 20,0\r\n\r\nOK\r\n",
       {},
       JobKind::kAwaitNothing},
  };
  for (const Case& c : cases) {
    BeginTestJob(state, c.kind, c.command);
    Receive(c.reply);
    EXPECT_TRUE(ReplyReady()) << c.what;
    EXPECT_EQ(state.AwaitedKind(), JobKind::kAwaitNothing) << c.what;
    const std::vector<WorkJob> jobs = QueuedJobs();
    ASSERT_EQ(jobs.size(), c.queued.size()) << c.what;
    for (size_t i = 0; i < jobs.size(); ++i) {
      EXPECT_EQ(jobs[i].command, c.queued[i]) << c.what;
      EXPECT_EQ(jobs[i].kind, c.queuedKind) << c.what;
    }
  }
}

TEST_F(ReceivePath, DeviceErrorsEndTheWaitAtOnce) {
  struct Case {
    const char* what;
    JobKind kind;
    std::string command;
    std::string reply;
    bool ready;
    JobKind awaitedAfter;
  };
  const Case cases[] = {
      // A refused show is not waited out for 24 s as a time-out.
      {"file save refused", JobKind::kSaveToFile, "\r\nAT+SHOW\r\n", "AT+SHOW\r\nERROR\r\n", true,
       JobKind::kAwaitNothing},
      {"file load refused", JobKind::kLoadFromFile, "\r\nAT+SHOW\r\n", "AT+SHOW\r\nERROR\r\n", true,
       JobKind::kAwaitNothing},
      {"show refused", JobKind::kShow, "AT+SHOW\r\n", "AT+SHOW\r\nERROR\r\n", true,
       JobKind::kAwaitNothing},
      {"quit refused stays logged in", JobKind::kQuitSetting, "at+quit\r\n", "at+quit\r\nERROR\r\n",
       true, JobKind::kAwaitNothing},
      {"quit accepted", JobKind::kQuitSetting, "at+quit\r\n", "at+quit\r\nOK\r\n", true,
       JobKind::kAwaitNothing},
  };
  for (const Case& c : cases) {
    BeginTestJob(state, c.kind, c.command);
    Receive(c.reply);
    EXPECT_EQ(ReplyReady(), c.ready) << c.what;
    EXPECT_EQ(state.AwaitedKind(), c.awaitedAfter) << c.what;
  }
  // Not even the accepted quit: its host counted the device out when it queued the quit.
  EXPECT_EQ(host.Count("post-event:left-setting-mode"), 0u);
}

}  // namespace

namespace {

TEST_F(ReceivePath, AValueHoldingTheDevicesNoticesNeverRestartsTheLoginOrLogsOut) {
  // The show reply of a device whose stored texts hold the words, one byte per chunk.
  const std::string reply =
      "AT+SHOW\r\n\r\nAccess Point Name:CMNET\r\n\r\nCustom Register Info:Press 's' key\r\n"
      "\r\nCustom Keep Online Info:Seting Timeout and quit\r\n"
      "GENSENSORINFO 0:0,1,3,0,2,0,2,1,'s' key,0\r\nOK\r\n";
  BeginTestJob(state, JobKind::kShow, "AT+SHOW\r\n");
  for (char byte : reply) Receive(std::string(1, byte));
  EXPECT_TRUE(ReplyReady());
  EXPECT_EQ(Status(), ReplyStatus::kComplete);
  EXPECT_EQ(host.Count("answer-prompt"), 0u);
  EXPECT_EQ(host.Count("post-event:left-setting-mode"), 0u);
  // So does the echo of the write that stores such a value.
  BeginTestJob(state, JobKind::kWrite, "AT+CONNRGST=Press 's' key\r\n");
  Receive("AT+CONNRGST=Press 's' ke");
  Receive("y\r\nOK\r\n");
  EXPECT_TRUE(ReplyReady());
  EXPECT_EQ(host.Count("answer-prompt"), 0u);
}

TEST_F(ReceivePath, ARealPromptSplitAcrossChunksInTheMiddleOfAReplyIsStillAnswered) {
  BeginTestJob(state, JobKind::kShow, "AT+SHOW\r\n");
  Receive("AT+SHOW\r\n\r\nCustom Register Info:'s' key\r\nAPN:x\r\nDTU starting\r\nPress 's");
  EXPECT_EQ(host.Count("answer-prompt"), 0u);
  Receive("' key to enter setting menu (3)\r\n");
  EXPECT_EQ(host.Count("answer-prompt"), 1u);
  EXPECT_EQ(state.AwaitedKind(), JobKind::kAwaitSettingMenu);
}

TEST_F(ReceivePath, ARebootUnderARunningJobEndsItAtOnceAndDropsTheJobsBehindIt) {
  BeginTestJob(state, JobKind::kWrite, "AT+APN=x\r\n");
  state.Push(MakeJob(JobKind::kWrite, "AT+LID=2\r\n"));
  Receive("AT+APN=x\r\n\r\nDTU starting\r\nPress 's' key (3)\r\n");
  ReplyStatus status = ReplyStatus::kNeedMore;
  std::string text;
  EXPECT_EQ(state.WaitForReply(std::chrono::milliseconds(0), &status, &text),
            ReplyWait::kRestarted);
  EXPECT_TRUE(QueuedJobs().empty());
  EXPECT_EQ(host.Count("log:Restarted\r\n"), 1u);
  EXPECT_EQ(host.Count("post-event:left-setting-mode"), 1u) << "logged out until the menu comes";
  EXPECT_EQ(host.Count("answer-prompt"), 1u);
  // The login takes over: the menu logs in again.
  Receive("s\r\nAT+LIST\r\n");
  EXPECT_EQ(host.Count("post-event:logged-in"), 1u);
}

TEST_F(ReceivePath, TheFirstPromptOfALoginIsNoRestart) {
  host.loggedIn = false;
  AwaitSettingMenu(state);
  Receive("\r\nDTU starting\r\nPress 's' key (3)\r\n");
  EXPECT_EQ(host.Count("answer-prompt"), 1u);
  EXPECT_EQ(host.Count("log:Restarted\r\n"), 0u);
  EXPECT_EQ(host.Count("post-event:left-setting-mode"), 0u);
}

}  // namespace

namespace {

TEST_F(ReceivePath, NoiseBeforeTheCommandsEchoIsNoPartOfTheReply) {
  BeginTestJob(state, JobKind::kSaveToFile, "\r\nAT+SHOW\r\n");
  Receive(std::string("\x01\xff~noise\0\r\nOK\r\n", 15));
  Receive("AT+SHOW\r\n\r\nAccess Point Name:CMNET\r\nOK\r\n");
  ASSERT_TRUE(ReplyReady());
  const std::string reply = state.Inspect([](const ReplyCollection& c) { return c.replyText; });
  EXPECT_EQ(reply, "\r\nAT+SHOW\r\n\r\nAccess Point Name:CMNET\r\nOK\r\n");
}

}  // namespace
