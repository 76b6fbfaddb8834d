// The worker against a scripted device: one job at a time, verdicts, stored values, follow-up
// jobs, time-outs, shutdown in the middle of a job, and the mends of the exchange.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "catalogue/show_reply_parser.h"
#include "exchange/enqueue_job.h"
#include "exchange/exchange_state.h"
#include "exchange/worker.h"
#include "fake_host.h"
#include "temp_dir.h"
#include "writing/config_file.h"
#include "writing/work_job.h"

namespace {

// A show reply of a device, longer than 3000 bytes, with the values `apn` and `user`.
// A whole reply (a real device's, so that it passes the rule a saved file must pass) with the
// access point name `apn`, followed by lines no parameter has and the final OK.
std::string ShowReply(const std::string& echo, const std::string& apn, const std::string& user) {
  std::ifstream in(std::string(DTU_TEST_DATA_DIR) + "/show/zr350v4_show.reply", std::ios::binary);
  std::string device{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  device = device.substr(device.find("\r\n") + 2);  // the device's own echo
  device = device.substr(0, device.rfind("OK\r\n"));
  const size_t value = device.find("Access Point Name:") + 18;
  device.replace(value, device.find("\r\n", value) - value, apn);
  std::string reply = echo + "\r\n" + device + "APN User Name:" + user + "\r\n";
  for (int i = 0; i < 20; ++i) reply += "\r\nNOTE " + std::to_string(i) + ":padding padding\r\n";
  return reply + "\r\nOK\r\n";
}

WorkJob Write(const std::string& name, const std::string& stem, const std::string& value) {
  WorkJob job = MakeJob(JobKind::kWrite, stem + "=" + value + "\r\n");
  job.name = name;
  job.value = value;
  return job;
}

class Worker : public testing::Test {
 protected:
  static void SetUpTestSuite() { UseTestLanguageFile(); }

  // Answers every command from the table (echo first, as the device does in setting mode); a
  // command missing from the table gets no answer at all.
  void Answer(std::map<std::string, std::vector<std::string>> replies) {
    host.SetDevice([replies = std::move(replies)](FakeHost& h, const std::string& written) {
      auto it = replies.find(written);
      if (it != replies.end()) h.DeliverLater(it->second);
    });
  }
  // Starts the worker and waits until it reported the empty queue (the host is logged in on an
  // open port), so that every test begins from an idle worker.
  void Start(WorkerOptions options = {}) {
    worker = std::make_unique<ExchangeWorker>(state, host, options);
    worker->Start();
    ASSERT_TRUE(WaitForEvent("event:idle")) << testing::PrintToString(host.Events());
  }
  bool WaitForEvent(const std::string& event, size_t count = 1) {
    return WaitUntil([&] { return host.Count(event) >= count; });
  }
  void TearDown() override {
    if (worker) worker->Stop();
  }
  // The events from the first one equal to `from` on.
  std::vector<std::string> EventsFrom(const std::string& from) {
    std::vector<std::string> all = host.Events();
    auto it = std::find(all.begin(), all.end(), from);
    return std::vector<std::string>(it, all.end());
  }

  ExchangeState state;
  FakeHost host{state};
  std::unique_ptr<ExchangeWorker> worker;
};

TEST_F(Worker, ThreeQueuedWritesRunStrictlyOneAfterAnother) {
  Answer({
      {"AT+APN=CMNET\r\n", {"AT+APN=CMNET\r\n", "OK\r\n"}},
      {"AT+LID=00A1\r\n", {"AT+LID=00A1\r\nOK\r\n"}},
      {"AT+TADDR=7\r\n", {"AT+TADDR=7\r\n", "OK", "\r\n"}},
  });
  Start();
  host.ClearEvents();
  EXPECT_EQ(EnqueueJob(state, host, Write("Access Point Name", "AT+APN", "CMNET")),
            EnqueueResult::kQueued);
  EnqueueJob(state, host, Write("LORA ID", "AT+LID", "00A1"));
  EnqueueJob(state, host, Write("LORA TAddr", "AT+TADDR", "7"));
  ASSERT_TRUE(WaitForEvent("log:SaveSuccess\r\n", 3));
  ASSERT_TRUE(WaitForEvent("event:idle"));

  const std::vector<std::string> expected = {
      "event:busy",
      "stop-s",
      "log:send:AT+APN=CMNET\r\n",
      "write:AT+APN=CMNET\r\n",
      "log:AT+APN=CMNET\r\n",
      "log:OK\r\n",
      "log:SaveSuccess\r\n",
      "event:busy",
      "stop-s",
      "log:send:AT+LID=00A1\r\n",
      "write:AT+LID=00A1\r\n",
      "log:AT+LID=00A1\r\nOK\r\n",
      "log:SaveSuccess\r\n",
      "event:busy",
      "stop-s",
      "log:send:AT+TADDR=7\r\n",
      "write:AT+TADDR=7\r\n",
      "log:AT+TADDR=7\r\n",
      "log:OK",
      "log:\r\n",
      "log:SaveSuccess\r\n",
      "event:idle",
  };
  EXPECT_EQ(host.Events(), expected);
  EXPECT_EQ(host.params["Access Point Name"].value, "CMNET");
  EXPECT_EQ(host.params["LORA ID"].value, "00A1");
  EXPECT_EQ(host.params["LORA TAddr"].value, "7");
}

TEST_F(Worker, WriteAnsweredErrorKeepsStoredValue) {
  host.params["Access Point Name"].value = "CMNET";
  Answer({{"AT+APN=BAD\r\n", {"AT+APN=BAD\r\nERROR\r\n"}}});
  Start();
  EnqueueJob(state, host, Write("Access Point Name", "AT+APN", "BAD"));
  ASSERT_TRUE(WaitForEvent("log:SaveError\r\n"));
  ASSERT_TRUE(WaitForEvent("event:idle", 2));
  EXPECT_EQ(host.params["Access Point Name"].value, "CMNET");
  EXPECT_EQ(host.Count("log:SaveSuccess\r\n"), 0u);
}

TEST_F(Worker, ListItemWriteUpdatesOnlyThatItem) {
  ListItems& items = host.lists["CustomList"].items;
  items["GENSENSORINFO 0:"] = "1,1,3,0,2,0,2,1,temp,0";
  items["GENSENSORINFO 1:"] = "0,1,3,0,2,0,2,1,hum,0";
  WorkJob job = MakeJob(JobKind::kWrite, "AT+GENSENSORINFO=1,1,1,3,0,2,0,2,1,hum,0\r\n");
  job.name = "CustomList";
  job.value = "1,1,3,0,2,0,2,1,hum,0";
  job.group = "List";
  job.subkey = "GENSENSORINFO 1:";
  Answer({{job.command, {job.command, "OK\r\n"}}});
  Start();
  EnqueueJob(state, host, job);
  ASSERT_TRUE(WaitForEvent("log:SaveSuccess\r\n"));
  EXPECT_EQ(items["GENSENSORINFO 0:"], "1,1,3,0,2,0,2,1,temp,0");
  EXPECT_EQ(items["GENSENSORINFO 1:"], "1,1,3,0,2,0,2,1,hum,0");
  EXPECT_EQ(host.params.count("CustomList"), 0u);
}

TEST_F(Worker, SignalQueryRefusedIsRetriedExactlyOnce) {
  Answer({{"At+CSQ\r\n", {"At+CSQ\r\nERROR\r\n"}}});
  Start();
  EnqueueJob(state, host, MakeJob(JobKind::kSignal, "At+CSQ\r\n"));
  // The queue runs dry once, after the retry: the retry was queued before the worker was
  // released from the first reply.
  ASSERT_TRUE(WaitForEvent("event:idle", 2));
  EXPECT_EQ(host.Count("write:At+CSQ\r\n"), 2u);
  EXPECT_EQ(host.Count("event:busy"), 2u);
  EXPECT_EQ(host.Count("log:OutTime\r\n"), 0u);
}

TEST_F(Worker, FactoryResetAcceptedIsFollowedByAShow) {
  const std::string show = ShowReply("AT+SHOW", "CMNET", "user");
  Answer({
      {"AT+FACTORY\r\n", {"AT+FACTORY\r\n", "OK\r\n"}},
      {"\r\nAT+SHOW\r\n", {show.substr(0, 1000), show.substr(1000)}},
  });
  Start();
  EnqueueJob(state, host, MakeJob(JobKind::kFactoryReset, "AT+FACTORY\r\n"));
  ASSERT_TRUE(WaitForEvent("show-received:" + std::to_string(show.size())));
  const std::vector<std::string> tail = EventsFrom("log:FactorySuccess\r\n");
  ASSERT_FALSE(tail.empty());
  EXPECT_EQ(std::count(tail.begin(), tail.end(), "write:\r\nAT+SHOW\r\n"), 1);
}

TEST_F(Worker, FactoryResetRefusedIsReportedAtOnce) {
  Answer({{"AT+FACTORY\r\n", {"AT+FACTORY\r\nERROR\r\n"}}});
  Start(WorkerOptions{.timeoutDivisor = 1});
  EnqueueJob(state, host, MakeJob(JobKind::kFactoryReset, "AT+FACTORY\r\n"));
  ASSERT_TRUE(WaitForEvent("log:FactoryError\r\n"));
  EXPECT_EQ(host.Count("log:OutTime\r\n"), 0u);
  EXPECT_EQ(host.Count("write:\r\nAT+SHOW\r\n"), 0u);
}

TEST_F(Worker, ShortShowReplyIsLoggedButNotParsed) {
  Answer({{"AT+SHOW\r\n", {"AT+SHOW\r\n\r\nAccess Point Name:x\r\nOK\r\n"}}});
  Start();
  EnqueueJob(state, host, MakeJob(JobKind::kShow, "AT+SHOW\r\n"));
  ASSERT_TRUE(WaitForEvent("event:idle", 2));
  EXPECT_TRUE(host.EventsStartingWith("show-received").empty());
}

TEST_F(Worker, SilentDeviceGivesOutTimeAndTheNextJobStillRuns) {
  host.timeoutFactor = 2;
  Answer({{"At+VER\r\n", {"At+VER\r\nZr350V4\r\nOK\r\n"}}});
  // 5000 ms x 2 shortened a hundredfold.
  Start(WorkerOptions{.timeoutDivisor = 100});
  EnqueueJob(state, host, Write("Access Point Name", "AT+APN", "CMNET"));
  EnqueueJob(state, host, MakeJob(JobKind::kVersion, "At+VER\r\n"));
  ASSERT_TRUE(WaitForEvent("log:OutTime\r\n"));
  ASSERT_TRUE(WaitForEvent("log:At+VER\r\nZr350V4\r\nOK\r\n"));
  EXPECT_EQ(host.params["Access Point Name"].value, "");
  EXPECT_EQ(host.Count("log:SaveSuccess\r\n") + host.Count("log:SaveError\r\n"), 0u);
}

TEST_F(Worker, AWriteNotAcceptedDropsTheRestOfItsBatchButNoOtherJob) {
  struct Case {
    const char* name;
    std::vector<std::string> apnReply;  // none: the device stays silent
    const char* verdict;
  };
  const Case cases[] = {
      {"refused", {"AT+APN=x\r\nERROR\r\n"}, "log:SaveError\r\n"},
      {"unanswered", {}, "log:OutTime\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExchangeState caseState;
    FakeHost caseHost{caseState};
    std::map<std::string, std::vector<std::string>> replies = {
        {"AT+PORT=1\r\n", {"AT+PORT=1\r\nOK\r\n"}},
        {"AT+LID=2\r\n", {"AT+LID=2\r\nOK\r\n"}},
        {"At+VER\r\n", {"At+VER\r\nZr350V4\r\nOK\r\n"}},
    };
    if (!c.apnReply.empty()) replies["AT+APN=x\r\n"] = c.apnReply;
    caseHost.SetDevice([&replies](FakeHost& h, const std::string& written) {
      auto it = replies.find(written);
      if (it != replies.end()) h.DeliverLater(it->second);
    });
    ExchangeWorker caseWorker(caseState, caseHost, WorkerOptions{.timeoutDivisor = 50});
    caseWorker.Start();
    ASSERT_TRUE(WaitUntil([&] { return caseHost.Count("event:idle") >= 1; }));
    EnqueueJob(caseState, caseHost, Write("Server's Port", "AT+PORT", "1"));
    EnqueueJob(caseState, caseHost, Write("Access Point Name", "AT+APN", "x"));
    EnqueueJob(caseState, caseHost, Write("LORA ID", "AT+LID", "2"));
    EnqueueJob(caseState, caseHost, MakeJob(JobKind::kVersion, "At+VER\r\n"));
    EnqueueJob(caseState, caseHost, Write("Server's Port", "AT+PORT", "1"));
    ASSERT_TRUE(WaitUntil([&] { return caseHost.Count("log:At+VER\r\nZr350V4\r\nOK\r\n") >= 1; }));
    ASSERT_TRUE(WaitUntil([&] { return caseHost.Count("event:idle") >= 2; }));
    caseWorker.Stop();
    EXPECT_EQ(caseHost.Count(c.verdict), 1u);
    // The writes behind the one that failed were dropped before the next job was taken; the
    // version query queued between them still ran.
    EXPECT_EQ(caseHost.EventsStartingWith("write:"),
              (std::vector<std::string>{"write:AT+PORT=1\r\n", "write:AT+APN=x\r\n",
                                        "write:At+VER\r\n"}));
    EXPECT_EQ(caseHost.EventsStartingWith("dropped:"),
              (std::vector<std::string>{"dropped:AT+LID=2\r\n", "dropped:AT+PORT=1\r\n"}));
  }
}

TEST_F(Worker, QuitDuringAReplyWaitReturnsPromptly) {
  host.timeoutFactor = 10;  // a show would wait 240 s
  Start();
  EnqueueJob(state, host, MakeJob(JobKind::kShow, "AT+SHOW\r\n"));
  ASSERT_TRUE(WaitUntil([&] { return host.Written() == "AT+SHOW\r\n"; }));
  const auto start = std::chrono::steady_clock::now();
  worker->Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
  EXPECT_EQ(host.Count("log:OutTime\r\n"), 0u);
  EXPECT_EQ(host.Count("event:idle"), 1u);  // only the one at start
}

TEST_F(Worker, QuitDuringABlockingHandOverReturnsPromptly) {
  const std::string show = ShowReply("AT+SHOW", "CMNET", "user");
  // The device answers, and from then on the UI thread never gets to the worker's hand-overs.
  host.SetDevice([&](FakeHost& h, const std::string&) {
    h.uiStalled = true;
    h.DeliverLater({show});
  });
  Start();
  EnqueueJob(state, host, MakeJob(JobKind::kShow, "AT+SHOW\r\n"));
  ASSERT_TRUE(WaitUntil([&] {
    return state.Inspect([](const ReplyCollection& c) { return c.awaitedKind; }) ==
               JobKind::kAwaitNothing &&
           !host.Written().empty();
  }));
  // Run the event loop a little so the worker is surely queued in its hand-over.
  WaitUntil([] { return false; }, std::chrono::milliseconds(200));
  const auto start = std::chrono::steady_clock::now();
  worker->Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
  EXPECT_TRUE(host.EventsStartingWith("show-received").empty());
}

TEST_F(Worker, QuitBeforeTheUiThreadTookTheJobStartSendsNothing) {
  Start();
  host.uiStalled = true;
  host.ClearEvents();
  EnqueueJob(state, host, MakeJob(JobKind::kVersion, "At+VER\r\n"));
  WaitUntil([] { return false; }, std::chrono::milliseconds(200));
  worker->Stop();
  EXPECT_EQ(host.Written(), "");
  EXPECT_TRUE(host.EventsStartingWith("event:").empty());
}

// ---- The mends ----

TEST_F(Worker, WriteOfAValueHoldingOkIsJudgedOnTheDevicesAnswer) {
  host.params["Access Point Name"].value = "CMNET";
  host.params["MQTT Topic"].value = "old";
  Answer({
      {"AT+APN=OKNET\r\n", {"AT+APN=OKNET\r\n", "ERROR\r\n"}},
      {"AT+MQTTTOPIC=ERROR\r\n", {"AT+MQTTTOPIC=ERROR\r\n", "OK\r\n"}},
  });
  Start();
  EnqueueJob(state, host, Write("Access Point Name", "AT+APN", "OKNET"));
  // A refused write ends its batch: the next write is a batch of its own.
  ASSERT_TRUE(WaitForEvent("log:SaveError\r\n"));
  EnqueueJob(state, host, Write("MQTT Topic", "AT+MQTTTOPIC", "ERROR"));
  ASSERT_TRUE(WaitUntil(
      [&] { return host.Count("log:SaveError\r\n") + host.Count("log:SaveSuccess\r\n") == 2; }));
  const std::vector<std::string> verdicts = host.EventsStartingWith("log:Save");
  EXPECT_EQ(verdicts, (std::vector<std::string>{"log:SaveError\r\n", "log:SaveSuccess\r\n"}));
  EXPECT_EQ(host.params["Access Point Name"].value, "CMNET");
  EXPECT_EQ(host.params["MQTT Topic"].value, "ERROR");
}

TEST_F(Worker, ShowReplyWithOkValuesIsNotCutShort) {
  const std::string show = ShowReply("AT+SHOW", "OK", "OK");
  const size_t cut = show.find("APN User Name:OK\r\n") + 18;
  Answer({{"AT+SHOW\r\n", {show.substr(0, cut), show.substr(cut)}}});
  Start();
  EnqueueJob(state, host, MakeJob(JobKind::kShow, "AT+SHOW\r\n"));
  ASSERT_TRUE(WaitUntil([&] { return !host.EventsStartingWith("show-received").empty(); }));
  EXPECT_EQ(host.EventsStartingWith("show-received"),
            std::vector<std::string>{"show-received:" + std::to_string(show.size())});
}

TEST_F(Worker, ValueWithALineBreakIsNeverSent) {
  Answer({{"AT+APN=CMNET\r\n", {"AT+APN=CMNET\r\nOK\r\n"}}});
  Start();
  EXPECT_EQ(EnqueueJob(state, host, Write("Access Point Name", "AT+APN", "x\r\nAT+FACTORY")),
            EnqueueResult::kRefused);
  EXPECT_EQ(EnqueueJob(state, host, Write("Access Point Name", "AT+APN", "x\ny")),
            EnqueueResult::kRefused);
  EnqueueJob(state, host, Write("Access Point Name", "AT+APN", "CMNET"));
  ASSERT_TRUE(WaitForEvent("log:SaveSuccess\r\n"));
  EXPECT_EQ(host.Written(), "AT+APN=CMNET\r\n");
  const std::vector<std::string> refusals = host.EventsStartingWith("log:Not sent");
  ASSERT_EQ(refusals.size(), 2u);
  EXPECT_EQ(refusals[0], "log:Not sent, the value holds a line break: Access Point Name\r\n");
}

TEST_F(Worker, SaveToFileWritesTheDevicesReplyWhileALoadedFileIsParsedElsewhere) {
  TempDir dir;
  const std::string deviceShow = ShowReply("AT+SHOW", "DEVICE", "dev");
  const std::string fileText = ShowReply("", "FILE", "file");
  // The device answers slowly: the second half of its reply comes only after the test loaded a
  // file on the UI thread.
  std::atomic<int> showRequests{0};
  host.SetDevice([&](FakeHost& h, const std::string& written) {
    if (written != "\r\nAT+SHOW\r\n") return;
    if (++showRequests == 1) {
      h.DeliverLater({"\r" + deviceShow.substr(0, 2000)});
    } else {
      h.DeliverLater({"\r" + deviceShow});
    }
  });
  Start();
  WorkJob save = MakeJob(JobKind::kSaveToFile, kFileShowCommand);
  save.filePath = dir.Path() + "DTU.cfg";
  EnqueueJob(state, host, save);
  ASSERT_TRUE(WaitUntil([&] { return state.Received().size() >= 2000; }));

  // Loading a file: its text is parsed from its own buffer, and the read-back is queued.
  ParseShowReply(fileText.data(), fileText.size(), host.params, host.lists,
                 host.facts.fiveDioModel);
  EXPECT_EQ(host.params["Access Point Name"].value, "FILE");
  EnqueueJob(state, host, MakeJob(JobKind::kLoadFromFile, kFileShowCommand));
  host.DeliverLater({deviceShow.substr(2000)});

  ASSERT_TRUE(WaitForEvent("load-read-back"));
  std::string saved;
  ASSERT_TRUE(ReadConfigFileFrom(save.filePath, &saved, nullptr));
  EXPECT_EQ(saved, "\r" + deviceShow);
  // The read-back parsed the device's reply, so the save compares the form with the device.
  EXPECT_EQ(host.params["Access Point Name"].value, "DEVICE");
  EXPECT_EQ(host.Count("write:\r\nAT+SHOW\r\n"), 2u);
}

TEST_F(Worker, SaveToFileThatCannotBeCreatedShowsTheMessage) {
  const std::string show = ShowReply("AT+SHOW", "CMNET", "u");
  Answer({{"\r\nAT+SHOW\r\n", {show}}});
  Start();
  WorkJob save = MakeJob(JobKind::kSaveToFile, kFileShowCommand);
  save.filePath = "/nonexistent-folder/DTU.cfg";
  EnqueueJob(state, host, save);
  ASSERT_TRUE(WaitUntil(
      [&] { return !host.EventsStartingWith("message:cannot create the file").empty(); }));
  // The message says why, with the system's reason.
  EXPECT_NE(host.EventsStartingWith("message:")[0].find("No such file or directory"),
            std::string::npos);
}

TEST_F(Worker, AQuitCountedOutByItsHostRunsWithoutAnIdleReportAfterIt) {
  Answer({{"at+quit\r\n", {"at+quit\r\nOK\r\n"}}});
  Start();
  // The host counts the device out when it queues the quit, as the session does.
  host.PostToUi([&] { host.loggedIn = false; });
  EnqueueJob(state, host, MakeJob(JobKind::kQuitSetting, "at+quit\r\n"));
  ASSERT_TRUE(WaitForEvent("event:busy"));
  ASSERT_TRUE(WaitForEvent("log:at+quit\r\nOK\r\n"));
  // Logged out now: the empty queue is not reported, and the OK is no logout of its own.
  WaitUntil([] { return false; }, std::chrono::milliseconds(100));
  EXPECT_EQ(host.Count("event:idle"), 1u);
  EXPECT_EQ(host.Count("post-event:left-setting-mode"), 0u);
  EXPECT_FALSE(host.loggedIn);
}

}  // namespace

namespace {

TEST_F(Worker, TheReplyReachesTheLogBeforeItsVerdict) {
  // A slow hand-over of the reply's log line must not let the verdict overtake it.
  host.beforeLog = [](const std::string& text) {
    if (text.find("ERROR") != std::string::npos) QThread::msleep(100);
  };
  Answer({{"AT+CMDPW=1\r\n", {"AT+CMDPW=1\r\nERROR\r\n"}}});
  Start();
  EnqueueJob(state, host, Write("Password", "AT+CMDPW", "1"));
  ASSERT_TRUE(WaitForEvent("log:SaveError\r\n"));
  const std::vector<std::string> logs = host.EventsStartingWith("log:");
  const auto reply = std::find(logs.begin(), logs.end(), "log:AT+CMDPW=1\r\nERROR\r\n");
  const auto verdict = std::find(logs.begin(), logs.end(), "log:SaveError\r\n");
  ASSERT_NE(reply, logs.end()) << testing::PrintToString(logs);
  EXPECT_LT(reply, verdict) << testing::PrintToString(logs);
}

TEST_F(Worker, AFactoryResetLeavesTheDeviceTimeBeforeTheNextCommand) {
  std::mutex mutex;
  std::vector<std::pair<std::string, std::chrono::steady_clock::time_point>> writes;
  host.SetDevice([&](FakeHost& h, const std::string& written) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      writes.emplace_back(written, std::chrono::steady_clock::now());
    }
    if (written == "AT+FACTORY\r\n") h.DeliverLater({"AT+FACTORY\r\nOK\r\n"});
  });
  Start();
  EnqueueJob(state, host, MakeJob(JobKind::kFactoryReset, "AT+FACTORY\r\n"));
  // The re-read the reset queues by itself.
  ASSERT_TRUE(WaitUntil([&] {
    std::lock_guard<std::mutex> lock(mutex);
    return writes.size() >= 2;
  }));
  std::lock_guard<std::mutex> lock(mutex);
  EXPECT_EQ(writes[1].first, "\r\nAT+SHOW\r\n");
  EXPECT_GE(writes[1].second - writes[0].second, std::chrono::milliseconds(200));
}

TEST_F(Worker, ADeviceErrorToAShowEndsTheJobAtOnce) {
  Answer({{"AT+SHOW\r\n", {"AT+SHOW\r\nERROR\r\n"}}});
  Start();
  EnqueueJob(state, host, MakeJob(JobKind::kShow, "AT+SHOW\r\n"));
  ASSERT_TRUE(WaitForEvent("log:ShowRefused\r\n"));
  EXPECT_EQ(host.Count("log:OutTime\r\n"), 0u);
  EXPECT_TRUE(host.EventsStartingWith("show-received").empty());
}

}  // namespace

namespace {

TEST_F(Worker, ADeviceThatRebootsDuringAShowEndsTheJobAtOnceAndDropsTheQueue) {
  Answer({{"AT+SHOW\r\n",
           {"AT+SHOW\r\n\r\nAccess Point Name:CMNET\r\n", "\r\nDTU starting\r\nPress 's' ",
            "key to enter setting menu (3)\r\n"}},
          {"At+VER\r\n", {"At+VER\r\n+VER:1\r\nOK\r\n"}}});
  Start();
  EnqueueJob(state, host, MakeJob(JobKind::kShow, "AT+SHOW\r\n"));
  EnqueueJob(state, host, MakeJob(JobKind::kWrite, "AT+APN=x\r\n"));
  ASSERT_TRUE(WaitForEvent("log:Restarted\r\n")) << testing::PrintToString(host.Events());
  EXPECT_EQ(host.Count("answer-prompt"), 1u);
  // The worker is free at once (the show's own time-out is 24 s): the next job runs now.
  state.Push(MakeJob(JobKind::kVersion, "At+VER\r\n"));
  ASSERT_TRUE(
      WaitUntil([&] { return host.Count("write:At+VER\r\n") == 1; }, std::chrono::seconds(10)));
  EXPECT_EQ(host.Count("write:AT+APN=x\r\n"), 0u) << "the queued write was dropped";
  EXPECT_EQ(host.Count("log:OutTime\r\n"), 0u);
  EXPECT_TRUE(host.EventsStartingWith("show-received").empty());
}

}  // namespace

namespace {

// The worker takes the next job as soon as one is answered; a restart that the UI thread sees
// before that job's start must drop it with the jobs queued behind it, or it is sent into the
// booting device and its start stops the "s" stream that the login needs.
TEST_F(Worker, AJobTakenJustBeforeTheDeviceRestartsIsNotSent) {
  host.SetDevice([](FakeHost& h, const std::string& written) {
    if (written != "At+VER\r\n") return;
    h.DeliverLater({"At+VER\r\n+VER:1\r\nOK\r\n"});
    // The UI thread is busy for a moment after the answer: the released worker takes the next
    // job and asks for its start, which now waits behind the boot prompt.
    h.PostToUi([] { QThread::msleep(150); });
    h.DeliverLater({"\r\nDTU starting\r\nPress 's' key to enter setting menu (3)\r\n"});
  });
  Start();
  EnqueueJob(state, host, MakeJob(JobKind::kVersion, "At+VER\r\n"));
  EnqueueJob(state, host, Write("Access Point Name", "AT+APN", "held"));
  EnqueueJob(state, host, Write("APN User Name", "AT+USER", "queued"));
  ASSERT_TRUE(WaitForEvent("dropped:AT+USER=queued\r\n")) << testing::PrintToString(host.Events());
  ASSERT_TRUE(WaitForEvent("dropped:AT+APN=held\r\n")) << testing::PrintToString(host.Events());
  EXPECT_EQ(host.Count("answer-prompt"), 1u);
  EXPECT_EQ(host.Count("stop-s"), 1u) << "only the version job's start stopped the stream";
  // The worker goes on with what is queued after the restart.
  state.Push(MakeJob(JobKind::kVersion, "At+VER\r\n"));
  ASSERT_TRUE(WaitUntil([&] { return host.Count("write:At+VER\r\n") == 2; }));
  EXPECT_EQ(host.Written().find("AT+APN"), std::string::npos) << host.Written();
  EXPECT_EQ(host.Written().find("AT+USER"), std::string::npos) << host.Written();
}

TEST_F(Worker, AReplySpoiledByLineNoiseIsNotSavedAndThePreviousFileStays) {
  // A 0x1A byte ends a configuration file's text: saved, this reply would load as a stub.
  std::string show = ShowReply("AT+SHOW", "CMNET", "u");
  show.insert(show.find("NOTE 3:"), "\x1a\x01noise\r\n");
  Answer({{"\r\nAT+SHOW\r\n", {show}}});
  Start();
  TempDir dir;
  WorkJob save = MakeJob(JobKind::kSaveToFile, kFileShowCommand);
  save.filePath = dir.Write("DTU.cfg", "previous");
  EnqueueJob(state, host, save);
  ASSERT_TRUE(WaitForEvent("message:Garbled")) << testing::PrintToString(host.Events());
  EXPECT_EQ(dir.Read("DTU.cfg"), "previous");
}

}  // namespace
