// The real program (main window, real skin offscreen, worker, receive path, serial port) against
// the real simulated device on a pty. What the device received is checked byte for byte.
#include <gtest/gtest.h>

#include <QFile>

#include "event_loop.h"
#include "exchange/enqueue_job.h"
#include "sim_faults.h"
#include "sim_process.h"
#include "temp_dir.h"
#include "test_program.h"
#include "writing/config_file.h"

namespace {

// The English log texts the checks look for.
const char kSend[] = "send:";
const char kSaved[] = "Parameter saved";

class DeviceFlowTest : public testing::Test {
 protected:
  void StartDevice(const std::vector<std::string>& args) {
    std::string error;
    ASSERT_TRUE(sim_.Start(args, &error)) << error;
  }

  void MakeWindow() {
    std::string error;
    window_ = MakeTestWindow(dir_.Path(), 0, &error);
    ASSERT_TRUE(window_) << error;
    window_->hooks().showApplied = [this] { ++showsApplied_; };
    window_->hooks().confirm = [](const std::string&) { return true; };  // the user says yes
    ASSERT_TRUE(window_->StartWorker(options_));
    PumpFor(20);  // windowinit builds the catalogue
  }

  // Opens the simulated device's port through the connection panel.
  void Open() {
    window_->device().ports().Preselect(sim_.PtyPath());
    Click("Open");
    ASSERT_TRUE(window_->session().IsOpen()) << Log();
  }

  // The device is starting when the port opens: the "s" stream takes it into its menu.
  void OpenAndLogIn(std::vector<std::string> deviceArgs = {}) {
    deviceArgs.insert(deviceArgs.end(), {"--boot-ms", "1500"});
    ASSERT_NO_FATAL_FAILURE(StartDevice(deviceArgs));
    ASSERT_NO_FATAL_FAILURE(MakeWindow());
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(PumpUntil([&] { return window_->session().LoggedIn(); })) << Log();
    ASSERT_TRUE(PumpUntil([&] { return Enabled("Load"); }));
  }

  void Click(const char* name) {
    Control* control = window_->form().Find(name);
    ASSERT_NE(control, nullptr) << name;
    window_->Notify({"click", control, 0, 0});
  }
  bool Enabled(const char* name) { return window_->form().Find(name)->IsEnabled(); }
  std::string Log() { return window_->form().Find("richedit")->Text(); }
  size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
  // What the device received after the login's "s" stream.
  std::string Commands() {
    std::string received = sim_.Recording();
    size_t first = received.find_first_not_of('s');
    return first == std::string::npos ? std::string() : received.substr(first);
  }
  bool WaitForLog(const std::string& text, size_t times = 1, int timeoutMs = 15000) {
    return PumpUntil([&] { return Count(Log(), text) >= times; }, timeoutMs);
  }
  void QueueWrite(const std::string& name, const std::string& command, const std::string& value) {
    WorkJob job;
    job.kind = JobKind::kWrite;
    job.command = command + "=" + value + "\r\n";
    job.name = name;
    job.value = value;
    window_->session().Queue(job);
  }

  // Tests of time-outs shorten them (a tenth of the real 5 s is still far beyond the device's
  // answers).
  WorkerOptions options_;
  TempDir dir_;
  SimProcess sim_;
  std::unique_ptr<CZR350FrameWnd> window_;
  int showsApplied_ = 0;
};

}  // namespace

TEST_F(DeviceFlowTest, OpeningDuringTheBootLogsInThroughTheSStream) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  EXPECT_FALSE(Enabled("Login"));
  EXPECT_FALSE(Enabled("SerialPort"));
  EXPECT_EQ(window_->form().Find("DeviceState")->Text(), "Configuration mode");
  const std::string received = sim_.Recording();
  ASSERT_FALSE(received.empty());
  EXPECT_EQ(received.find_first_not_of('s'), std::string::npos) << "only the s stream was sent";
}

TEST_F(DeviceFlowTest, LoginButtonLogsInWithTheEscapeSequence) {
  // The device finished booting long ago and runs in data mode.
  ASSERT_NO_FATAL_FAILURE(StartDevice({"--boot-ms", "100", "--no-reboot-on-open"}));
  ASSERT_TRUE(PumpUntil([&] { return sim_.Status().find("mode=data") != std::string::npos; }));
  ASSERT_NO_FATAL_FAILURE(MakeWindow());
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_TRUE(PumpUntil([&] { return Enabled("Login"); }));
  Click("Login");
  ASSERT_TRUE(PumpUntil([&] { return window_->session().LoggedIn(); })) << Log();
  EXPECT_NE(Log().find("send:+++"), std::string::npos);
  EXPECT_EQ(Commands(), "+++");
}

TEST_F(DeviceFlowTest, QuitLogsOutAtOnceAndAgainOnItsOk) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  Click("quit");
  PumpFor(0);
  EXPECT_FALSE(Enabled("Load")) << "the buttons go before the device answers";
  ASSERT_TRUE(PumpUntil([&] { return !window_->session().LoggedIn(); }));
  ASSERT_TRUE(WaitForLog("OK"));
  PumpFor(100);
  EXPECT_FALSE(window_->session().LoggedIn());
  EXPECT_TRUE(Enabled("Login"));
  EXPECT_EQ(Commands(), "at+quit\r\n");
}

TEST_F(DeviceFlowTest, TheDevicesIdleTimeOutLogsOut) {
  ASSERT_NO_FATAL_FAILURE(StartDevice({"--boot-ms", "1500", "--idle-timeout", "1"}));
  ASSERT_NO_FATAL_FAILURE(MakeWindow());
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_TRUE(PumpUntil([&] { return window_->session().LoggedIn(); }));
  // Nothing is awaited then, so the announcement reaches no log line; the state changes.
  ASSERT_TRUE(PumpUntil([&] { return !window_->session().LoggedIn(); }, 10000));
  EXPECT_TRUE(Enabled("Login"));
  EXPECT_FALSE(Enabled("Load"));
}

TEST_F(DeviceFlowTest, LoadFillsEveryCatalogueValueFromTheDevice) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  Click("Load");
  ASSERT_TRUE(PumpUntil([&] { return showsApplied_ == 1; }, 30000)) << Log();
  size_t empty = 0;
  for (const auto& [name, row] : window_->session().Params()) {
    if (row.value.empty()) ADD_FAILURE() << "no value for \"" << name << "\"";
    empty += row.value.empty();
  }
  EXPECT_EQ(window_->session().Params().size(), 214u);
  EXPECT_EQ(window_->session().Params()["Access Point Name"].value, "CMNET");
  EXPECT_EQ(Commands(), "AT+SHOW\r\n");
  ASSERT_TRUE(PumpUntil([&] { return Enabled("Load"); })) << "buttons back once the queue empties";
}

TEST_F(DeviceFlowTest, QueuedWritesRunOneAfterAnotherEachWithOneVerdict) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  window_->session().Params()["Server's Port"].value = "8000";
  QueueWrite("Access Point Name", "AT+APN", "internet");
  QueueWrite("Server's Port", "AT+PORT", "99999");   // out of the device's range: ERROR
  QueueWrite("Listen on port", "AT+LPORT", "6000");  // not sent: the refusal ends the batch
  ASSERT_TRUE(WaitForLog("Write finished")) << Log();
  EXPECT_EQ(Commands(), "AT+APN=internet\r\nAT+PORT=99999\r\n");
  // Queued again, it is a batch of its own.
  QueueWrite("Listen on port", "AT+LPORT", "6000");
  ASSERT_TRUE(WaitForLog("Parameter saved", 2)) << Log();
  ASSERT_TRUE(WaitForLog("ERROR")) << Log();
  EXPECT_EQ(Commands(), "AT+APN=internet\r\nAT+PORT=99999\r\nAT+LPORT=6000\r\n");

  // Each command's send line comes before its reply and its verdict, and before the next send.
  const std::string log = Log();
  const size_t send1 = log.find("send:AT+APN=internet");
  const size_t verdict1 = log.find(kSaved, send1);
  const size_t send2 = log.find("send:AT+PORT=99999");
  const size_t verdict2 = log.find("refused the parameter", send2);
  const size_t send3 = log.find("send:AT+LPORT=6000");
  const size_t verdict3 = log.find(kSaved, send3);
  ASSERT_NE(verdict3, std::string::npos) << log;
  EXPECT_LT(send1, verdict1);
  EXPECT_LT(verdict1, send2);
  EXPECT_LT(send2, verdict2);
  EXPECT_LT(verdict2, send3);
  EXPECT_EQ(Count(log, kSend), 3u);

  EXPECT_EQ(window_->session().Params()["Access Point Name"].value, "internet");
  EXPECT_EQ(window_->session().Params()["Server's Port"].value, "8000")
      << "a refused write keeps the value";
  EXPECT_EQ(window_->session().Params()["Listen on port"].value, "6000");
}

TEST_F(DeviceFlowTest, AListItemWriteUpdatesOnlyThatItem) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  ListParamInfo& list = window_->session().ListParams()["CustomList"];
  list.items["GENSENSORINFO 0:"] = "0,1,3,0,2,0,2,1,old,0";
  list.items["GENSENSORINFO 1:"] = "1,2,3,0,2,0,2,1,kept,0";
  WorkJob job;
  job.kind = JobKind::kWrite;
  job.command = "AT+GENSENSORINFO=0,1,1,3,0,2,0,2,1,temp,0\r\n";
  job.name = "CustomList";
  job.value = "1,1,3,0,2,0,2,1,temp,0";
  job.group = "List";
  job.subkey = "GENSENSORINFO 0:";
  window_->session().Queue(job);
  ASSERT_TRUE(WaitForLog(kSaved)) << Log();
  EXPECT_EQ(list.items["GENSENSORINFO 0:"], "1,1,3,0,2,0,2,1,temp,0");
  EXPECT_EQ(list.items["GENSENSORINFO 1:"], "1,2,3,0,2,0,2,1,kept,0");
  EXPECT_EQ(list.items.size(), 2u);
}

TEST_F(DeviceFlowTest, SignalQueryAnsweredErrorIsRetriedExactlyOnce) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  ASSERT_TRUE(sim_.SendControl(sim_fault::Error("At+CSQ")));
  Click("CSQ");
  ASSERT_TRUE(WaitForLog("ERROR", 2)) << Log();
  PumpFor(300);
  EXPECT_EQ(Commands(), "At+CSQ\r\nAt+CSQ\r\n");
}

TEST_F(DeviceFlowTest, FactoryResetAnsweredOkIsFollowedByAShow) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  Click("RestoreFactory");
  ASSERT_TRUE(PumpUntil([&] { return showsApplied_ == 1; }, 30000)) << Log();
  EXPECT_NE(Log().find("Factory settings restored"), std::string::npos) << Log();
  EXPECT_EQ(Commands(), "AT+FACTORY\r\n\r\nAT+SHOW\r\n");
}

TEST_F(DeviceFlowTest, ASilentDeviceGivesOutTimeAfterTheJobsTimeOut) {
  options_.timeoutDivisor = 10;
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  ASSERT_TRUE(sim_.SendControl(sim_fault::Silent("At+VER")));
  ASSERT_EQ(window_->session().TimeoutFactor(), 1);
  Click("GetVer");
  PumpFor(400);
  EXPECT_EQ(Count(Log(), "time-out"), 0u) << "not before the job's 500 ms";
  ASSERT_TRUE(WaitForLog("time-out", 1, 5000)) << Log();
}

TEST_F(DeviceFlowTest, ClosingThePortSendsNoneOfTheQueuedJobs) {
  options_.timeoutDivisor = 10;
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  ASSERT_TRUE(sim_.SendControl(sim_fault::Silent("At+VER")));
  Click("GetVer");
  ASSERT_TRUE(PumpUntil([&] { return Commands() == "At+VER\r\n"; }));
  Click("CSQ");
  Click("CPIN");
  Click("READFILELOG");
  Click("Open");  // closes
  EXPECT_FALSE(window_->session().IsOpen());
  EXPECT_EQ(window_->session().QueuedJobs(), 0u);
  PumpFor(1000);  // twice the running job's time-out; nothing follows it, not even its time-out
  EXPECT_EQ(Commands(), "At+VER\r\n");
  EXPECT_EQ(Count(Log(), "time-out"), 0u) << Log();
  EXPECT_TRUE(Enabled("SerialPort"));
  EXPECT_FALSE(Enabled("Login"));
}

TEST_F(DeviceFlowTest, UnpluggingDuringAShowReplyClosesThePortAndKeepsTheProgramResponsive) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  ASSERT_TRUE(sim_.SendControl(sim_fault::UnplugAfterBytes(800)));
  Click("Load");
  ASSERT_TRUE(PumpUntil([&] { return !window_->session().IsOpen(); }, 5000)) << Log();
  EXPECT_NE(Log().find("was disconnected"), std::string::npos) << Log();
  EXPECT_EQ(showsApplied_, 0);
  ASSERT_TRUE(PumpUntil([&] { return Enabled("SerialPort"); }));
  EXPECT_TRUE(Enabled("Open"));
  EXPECT_FALSE(window_->session().LoggedIn());
  // Still answering: the log pane takes a line and the worker's next job waits in the queue.
  window_->logStatus().Append("still here\r\n");
  EXPECT_NE(Log().find("still here"), std::string::npos);
}

TEST_F(DeviceFlowTest, AWriteIsJudgedByTheDevicesReplyNotByTheLettersOfItsValue) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  window_->session().Params()["Access Point Name"].value = "CMNET";
  ASSERT_TRUE(sim_.SendControl(sim_fault::Error("AT+APN")));
  QueueWrite("Access Point Name", "AT+APN", "OKNET");  // the echo holds "OK"
  ASSERT_TRUE(WaitForLog("refused the parameter")) << Log();
  EXPECT_EQ(Count(Log(), kSaved), 0u);
  EXPECT_EQ(window_->session().Params()["Access Point Name"].value, "CMNET");
}

TEST_F(DeviceFlowTest, AValueWithALineBreakIsNeverSent) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  QueueWrite("Access Point Name", "AT+APN", "x\r\nAT+FACTORY");
  PumpFor(500);
  EXPECT_EQ(Commands(), "");
  EXPECT_EQ(Count(Log(), kSend), 0u);
}

TEST_F(DeviceFlowTest, TheAnswerToALoginDoesNotCountAsTheReplyOfAPendingWrite) {
  // A strict device ignores "+++" in its setting mode; a lenient one confirms it again, and that
  // answer must not be taken for the write's.
  options_.timeoutDivisor = 10;
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn({"--lenient"}));
  window_->session().Params()["Access Point Name"].value = "CMNET";
  ASSERT_TRUE(sim_.SendControl(sim_fault::Silent("AT+APN")));
  QueueWrite("Access Point Name", "AT+APN", "internet");
  ASSERT_TRUE(PumpUntil([&] { return Commands() == "AT+APN=internet\r\n"; }));
  Click("Login");  // the device confirms "+++" with "enter setting!"
  ASSERT_TRUE(WaitForLog("enter setting!")) << Log();
  ASSERT_TRUE(WaitForLog("time-out", 1, 5000)) << Log();
  EXPECT_EQ(Count(Log(), kSaved), 0u);
  EXPECT_EQ(window_->session().Params()["Access Point Name"].value, "CMNET");
}

namespace {

TEST_F(DeviceFlowTest, AReadFillsTheFormAndWriteSendsOnlyWhatWasEdited) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  Click("Load");
  ASSERT_TRUE(PumpUntil([&] { return showsApplied_ == 1; }, 30000)) << Log();
  ASSERT_TRUE(PumpUntil([&] { return Enabled("Save"); }));
  Control* apn = window_->form().Find("Access Point Name");
  ASSERT_NE(apn, nullptr);
  EXPECT_EQ(apn->Text(), window_->session().Params()["Access Point Name"].value);
  EXPECT_FALSE(apn->Text().empty());

  Click("Save");
  EXPECT_TRUE(WaitForLog("Nothing to write")) << Log();
  apn->SetText("internet");
  Click("Save");
  ASSERT_TRUE(WaitForLog(kSaved)) << Log();
  EXPECT_EQ(Commands(), "AT+SHOW\r\nAT+APN=internet\r\n");
  EXPECT_EQ(window_->session().Params()["Access Point Name"].value, "internet");
}

TEST_F(DeviceFlowTest, TheWriteButtonsBatchEndsAtATimeOut) {
  options_.timeoutDivisor = 10;
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  Click("Load");
  ASSERT_TRUE(PumpUntil([&] { return showsApplied_ == 1; }, 30000)) << Log();
  ASSERT_TRUE(PumpUntil([&] { return Enabled("Save"); }));
  // Three edits; the device answers none of them, so whichever goes first times out.
  const char* const edits[][3] = {{"Access Point Name", "AT+APN", "internet"},
                                  {"Server's Ip", "AT+IPAD", "10.1.2.3"},
                                  {"Server's Port", "AT+PORT", "9100"}};
  for (const auto& edit : edits) {
    Control* control = window_->form().Find(edit[0]);
    ASSERT_NE(control, nullptr) << edit[0];
    control->SetText(edit[2]);
    ASSERT_TRUE(sim_.SendControl(sim_fault::Silent(edit[1])));
  }
  Click("Save");
  ASSERT_TRUE(WaitForLog("Write finished")) << Log();
  EXPECT_NE(Log().find("Write finished: 0 of 3 written; no answer 1; not sent 2"),
            std::string::npos)
      << Log();
  PumpFor(300);  // long enough for a dropped write to have been sent, had it not been dropped
  const std::string writes = Commands().substr(Commands().find("AT+SHOW\r\n") + 9);
  EXPECT_EQ(Count(writes, "="), 1u) << "nothing after the write that timed out: " << writes;
}

TEST_F(DeviceFlowTest, OpeningAFileWritesWhatItChangesOnTheDevice) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  // The device's own configuration, saved to a file as "Save file" does.
  WorkJob save = MakeJob(JobKind::kSaveToFile, kFileShowCommand);
  save.filePath = dir_.Path() + "device.cfg";
  window_->session().Queue(save);
  ASSERT_TRUE(
      PumpUntil([&] { return QFile::exists(QString::fromStdString(save.filePath)); }, 30000))
      << Log();
  std::string text;
  std::string error;
  ASSERT_TRUE(ReadConfigFileFrom(save.filePath, &text, &error)) << error;
  const std::string apnLine = "Access Point Name:" + std::string("CMNET");
  ASSERT_NE(text.find(apnLine), std::string::npos) << text.substr(0, 400);
  text.replace(text.find(apnLine), apnLine.size(), "Access Point Name:FROMFILE");
  ASSERT_TRUE(WriteConfigFileTo(save.filePath, text, &error)) << error;

  std::vector<std::string> asked;
  window_->hooks().chooseFileWrites = [&](const std::vector<std::string>& lines) {
    asked = lines;
    return FileWritesChoice::kWrite;
  };
  ASSERT_TRUE(window_->parameters().LoadFile(save.filePath)) << Log();
  EXPECT_EQ(window_->form().Find("Access Point Name")->Text(), "FROMFILE");
  ASSERT_TRUE(WaitForLog(kSaved)) << Log();
  PumpFor(300);
  EXPECT_EQ(Commands(), "\r\nAT+SHOW\r\n\r\nAT+SHOW\r\nAT+APN=FROMFILE\r\n");
  ASSERT_EQ(asked.size(), 1u) << "the question lists the one write";
  EXPECT_EQ(asked[0], "Access Point Name: \"CMNET\" -> \"FROMFILE\"");
}

// A device set up by a Chinese Windows tool keeps its APN and a sensor's data name in GB 18030.
// The window shows them readable, writes nothing back for them, sends an edit as UTF-8 and a
// file's bytes exactly as the file holds them.
TEST_F(DeviceFlowTest, GbBytesAreShownReadableAndGoBackOnlyAsTheyCame) {
  const std::string gbApn = "\xd6\xd0\xb9\xfa\xd2\xc6\xb6\xaf";     // 中国移动
  const std::string gbItem = "1,1,3,0,2,0,2,1,\xce\xc2\xb6\xc8,0";  // data name 温度
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  QueueWrite("Access Point Name", "AT+APN", gbApn);
  WorkJob item;
  item.kind = JobKind::kWrite;
  item.command = "AT+GENSENSORINFO=0," + gbItem + "\r\n";
  item.name = "CustomList";
  item.value = gbItem;
  item.group = "List";
  item.subkey = "GENSENSORINFO 0:";
  window_->session().Queue(item);
  ASSERT_TRUE(WaitForLog(kSaved, 2)) << Log();

  Click("Load");
  ASSERT_TRUE(PumpUntil([&] { return showsApplied_ == 1; }, 30000)) << Log();
  ASSERT_TRUE(PumpUntil([&] { return Enabled("Save"); }));
  Control* apn = window_->form().Find("Access Point Name");
  EXPECT_EQ(apn->Text(), "中国移动");
  Control* first = window_->form().FindList("CustomList")->ItemAt(0);
  EXPECT_EQ(first->FindChild("SensorCfg_DataName")->Text(), "温度");
  Click("Save");
  ASSERT_TRUE(WaitForLog("Nothing to write")) << Log();

  // The device's own file, loaded by "Open file", changes nothing either.
  WorkJob save = MakeJob(JobKind::kSaveToFile, kFileShowCommand);
  save.filePath = dir_.Path() + "device.cfg";
  window_->session().Queue(save);
  ASSERT_TRUE(
      PumpUntil([&] { return QFile::exists(QString::fromStdString(save.filePath)); }, 30000));
  const size_t before = Commands().size();
  ASSERT_TRUE(window_->parameters().LoadFile(save.filePath)) << Log();
  ASSERT_TRUE(WaitForLog("Nothing to write", 2)) << Log();
  EXPECT_EQ(Commands().substr(before), "\r\nAT+SHOW\r\n");

  // An edit goes as what was typed.
  apn->SetText("互联网");
  Click("Save");
  ASSERT_TRUE(WaitForLog(kSaved, 3)) << Log();
  EXPECT_EQ(Commands().substr(before), "\r\nAT+SHOW\r\nAT+APN=互联网\r\n");

  // The file goes back byte for byte, once the user has seen the write in readable text.
  std::vector<std::string> asked;
  window_->hooks().chooseFileWrites = [&](const std::vector<std::string>& lines) {
    asked = lines;
    return FileWritesChoice::kWrite;
  };
  ASSERT_TRUE(window_->parameters().LoadFile(save.filePath)) << Log();
  EXPECT_EQ(apn->Text(), "中国移动");
  ASSERT_TRUE(WaitForLog(kSaved, 4)) << Log();
  PumpFor(300);
  EXPECT_EQ(Commands().substr(before),
            "\r\nAT+SHOW\r\nAT+APN=互联网\r\n\r\nAT+SHOW\r\nAT+APN=" + gbApn + "\r\n");
  EXPECT_EQ(asked, std::vector<std::string>{"Access Point Name: \"互联网\" -> \"中国移动\""});
}

}  // namespace

TEST_F(DeviceFlowTest, TheLoraPageShowsTheDevicesTypeAfterARead) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn({"--model", "zr350-l"}));
  Click("Load");
  ASSERT_TRUE(PumpUntil([&] { return showsApplied_ == 1; }, 30000)) << Log();
  Control* type = window_->form().Find("Device Type");
  ASSERT_NE(type, nullptr);
  EXPECT_EQ(type->Text(), "ZR350-L");
}

TEST_F(DeviceFlowTest, AWriteWithAValueThatCannotBeSentSendsNothingAtAll) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  Click("Load");
  ASSERT_TRUE(PumpUntil([&] { return showsApplied_ == 1; }, 30000)) << Log();
  ASSERT_TRUE(PumpUntil([&] { return Enabled("Save"); }));
  window_->form().Find("Access Point Name")->SetText(std::string(1024, 'a'));
  window_->form().Find("Center call number")->SetText("*99#");
  Click("Save");
  EXPECT_TRUE(WaitForLog("Nothing was written")) << Log();
  EXPECT_NE(Log().find("longer than the device's field: Access Point Name"), std::string::npos)
      << Log();
  PumpFor(300);
  EXPECT_EQ(Commands(), "AT+SHOW\r\n") << "the batch went without one of its values";
}
