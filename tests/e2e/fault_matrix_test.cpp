// A device that misbehaves in every way a real one does, in every phase of a session, against
// the real window offscreen and against the headless "dtu-config read", both talking to the
// strict simulated device. For each fault: no crash, no hang (the UI thread keeps answering;
// its longest stall is printed), one clear message, buttons and session state that agree
// afterwards, no configuration file unless the read was complete, and the next opening works.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "event_loop.h"
#include "exchange/enqueue_job.h"
#include "program_run.h"
#include "sim_faults.h"
#include "sim_process.h"
#include "temp_dir.h"
#include "test_program.h"
#include "writing/config_file.h"

namespace {

enum class Fault { kSilent, kError, kGarbage, kNul, kByteChunks, kUnplug, kReboot, kFlood };
enum class Phase { kBeforeLogin, kLogin, kShowReply, kWriteBatch, kFileSave };

// How the faulty exchange ends, as the user sees it.
enum class Ending {
  kCompleted,           // the job went through despite the fault
  kCompletedOrOutTime,  // noise may hit the reply's last line: either it completes or times out
  kOutTime,             // one time-out line
  kRefused,             // the device's ERROR, said once
  kOpenFailed,          // the port is gone before it opens
  kConnectionLost,      // the port closes with the disconnection message
  kRestarted,           // "The device restarted", then the login takes the device over again
  kLoggedIn,            // a reboot before the session was logged in: the login simply goes on
};

struct FaultCase {
  const char* name;
  Fault fault;
  Phase phase;
  Ending ending;
};

// The English texts the checks look for.
const char kOutTime[] = "No reply from the device (time-out)";
const char kShowRefused[] = "The device refused AT+SHOW (ERROR)";
const char kOpenError[] = "Failed to open the serial port";
const char kDisconnected[] = "The serial device was disconnected";
const char kRestarted[] = "The device restarted";
const char kSaved[] = "Parameter saved";
const char kPrevious[] = "the previous file\r\n";

// The writes of a batch; the fourth is the one a silent device leaves unanswered.
const char* const kBatch[][3] = {
    {"Access Point Name", "AT+APN", "internet"},  {"Listen on port", "AT+LPORT", "6001"},
    {"Server's Port", "AT+PORT", "8001"},         {"LORA ID", "AT+LID", "7"},
    {"Modem's ID number", "AT+IDNT", "20000002"}, {"Listen on port", "AT+LPORT", "6002"},
};

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The UI thread's longest stall while it runs: a timer that should tick every 10 ms.
class StallProbe {
 public:
  StallProbe() {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 gap = clock_.restart();
      if (gap > longestMs_) longestMs_ = gap;
    });
    clock_.start();
    timer_.start(10);
  }
  qint64 LongestMs() const { return longestMs_; }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 longestMs_ = 0;
};

// A stall this long is a hang, whatever the load (ThreadSanitizer slows everything down about
// tenfold); the printed figure is the one to watch.
#if defined(__SANITIZE_THREAD__)
constexpr qint64 kHangMs = 60000;
#else
constexpr qint64 kHangMs = 5000;
#endif

class WindowFaults : public testing::TestWithParam<FaultCase> {
 protected:
  void StartDevice() {
    std::string error;
    ASSERT_TRUE(sim_.Start({"--boot-ms", "1500", "--model", "zr350v4"}, &error)) << error;
  }

  void MakeWindow(int timeoutDivisor) {
    std::string error;
    window_ = MakeTestWindow(dir_.Path(), 0, &error);
    ASSERT_TRUE(window_) << error;
    window_->hooks().showApplied = [this] { ++showsApplied_; };
    window_->hooks().jobFinished = [this](JobKind, JobOutcome outcome) {
      restartedJobs_ += outcome == JobOutcome::kRestarted;
    };
    WorkerOptions options;
    options.timeoutDivisor = timeoutDivisor;
    ASSERT_TRUE(window_->StartWorker(options));
    PumpFor(20);  // windowinit builds the catalogue
  }

  void Click(const char* name) {
    Control* control = window_->form().Find(name);
    ASSERT_NE(control, nullptr) << name;
    window_->Notify({"click", control, 0, 0});
  }
  bool Enabled(const char* name) { return window_->form().Find(name)->IsEnabled(); }
  std::string Log() { return window_->form().Find("richedit")->Text(); }
  bool WaitForLog(const std::string& text, int timeoutMs = 30000) {
    return PumpUntil([&] { return Count(Log(), text) >= 1; }, timeoutMs);
  }
  bool RecordingHas(const std::string& text) {
    return sim_.Recording().find(text) != std::string::npos;
  }

  void Open() {
    window_->device().ports().Preselect(sim_.LinkPath());
    Click("Open");
  }
  void OpenAndLogIn() {
    Open();
    ASSERT_TRUE(window_->session().IsOpen()) << Log();
    ASSERT_TRUE(PumpUntil([&] { return window_->session().LoggedIn(); }, 15000)) << Log();
    ASSERT_TRUE(PumpUntil([&] { return Enabled("Load"); }));
  }

  void QueueBatch() {
    for (const auto& write : kBatch) {
      WorkJob job = MakeJob(JobKind::kWrite, std::string(write[1]) + "=" + write[2] + "\r\n");
      job.name = write[0];
      job.value = write[2];
      window_->session().Queue(job);
    }
  }
  void QueueFileSave() {
    WorkJob save = MakeJob(JobKind::kSaveToFile, kFileShowCommand);
    save.filePath = filePath_;
    window_->session().Queue(save);
  }

  // The fault, set once the session is logged in, for the show, write and file phases.
  void SetFault(Fault fault, Phase phase) {
    switch (fault) {
      case Fault::kSilent:
        ASSERT_TRUE(sim_.SendControl(sim_fault::Silent("AT+SHOW")));
        break;
      case Fault::kError:
        ASSERT_TRUE(sim_.SendControl(sim_fault::Error("AT+SHOW")));
        break;
      case Fault::kGarbage:
        ASSERT_TRUE(sim_.SendControl(sim_fault::kGarbageOn));
        break;
      case Fault::kNul:
        ASSERT_TRUE(sim_.SendControl(sim_fault::kNulOn));
        break;
      case Fault::kByteChunks:
        ASSERT_TRUE(sim_.SendControl(sim_fault::Chunks(1, 1)));
        break;
      case Fault::kUnplug:
        // Into the reply: a write's echo and OK are about 25 bytes, a show reply 6 KB.
        ASSERT_TRUE(sim_.SendControl(phase == Phase::kWriteBatch
                                         ? sim_fault::UnplugAfterBytes(60)
                                         : sim_fault::UnplugAfterBytes(800)));
        break;
      case Fault::kReboot:
        // Slowed down, so that the reboot lands in the middle of the reply.
        if (phase == Phase::kWriteBatch) {
          ASSERT_TRUE(sim_.SendControl(sim_fault::Silent("AT+LID")));
        } else {
          ASSERT_TRUE(sim_.SendControl(sim_fault::Chunks(64, 40)));
        }
        break;
      case Fault::kFlood:
        ASSERT_TRUE(sim_.SendControl("flood 20000"));
        break;
    }
  }

  // The job of the phase, and for a reboot the moment it lands in the middle of it.
  void RunPhase(const FaultCase& c) {
    switch (c.phase) {
      case Phase::kShowReply:
        Click("Load");
        break;
      case Phase::kWriteBatch:
        QueueBatch();
        break;
      case Phase::kFileSave:
        QueueFileSave();
        break;
      case Phase::kBeforeLogin:
      case Phase::kLogin:
        return;
    }
    if (c.fault != Fault::kReboot) return;
    if (c.phase == Phase::kWriteBatch) {
      ASSERT_TRUE(PumpUntil([&] { return RecordingHas("AT+LID=7\r\n"); })) << Log();
    } else {
      ASSERT_TRUE(WaitForLog("Access Point Name:")) << Log();
    }
    ASSERT_TRUE(sim_.SendControl("reboot"));
  }

  // Opens and logs in, or plays the fault of the phases before the login.
  void BeginSession(const FaultCase& c) {
    if (c.phase == Phase::kBeforeLogin && c.fault == Fault::kUnplug) {
      ASSERT_TRUE(sim_.SendControl("unplug"));
      Open();
      return;
    }
    if (c.phase == Phase::kLogin && c.fault == Fault::kUnplug) {
      // Cut in the boot banner or its prompt.
      ASSERT_TRUE(sim_.SendControl(sim_fault::UnplugAfterBytes(60)));
      Open();
      return;
    }
    if (c.phase == Phase::kBeforeLogin || c.phase == Phase::kLogin) {
      Open();
      ASSERT_TRUE(window_->session().IsOpen()) << Log();
      // During the login: once the stream has answered the prompt.
      if (c.phase == Phase::kLogin) {
        ASSERT_TRUE(PumpUntil([&] { return RecordingHas("s"); }));
      }
      ASSERT_TRUE(sim_.SendControl("reboot"));
      return;
    }
    ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
    ASSERT_NO_FATAL_FAILURE(SetFault(c.fault, c.phase));
  }

  // Waits for the ending the case expects and checks its one message.
  void CheckEnding(const FaultCase& c) {
    const int jobsBefore = showsApplied_;
    switch (c.ending) {
      case Ending::kCompleted:
        if (c.phase == Phase::kShowReply) {
          ASSERT_TRUE(PumpUntil([&] { return showsApplied_ == jobsBefore + 1; }, 40000)) << Log();
        }
        break;
      case Ending::kCompletedOrOutTime:
        ASSERT_TRUE(
            PumpUntil([&] { return showsApplied_ == 1 || Count(Log(), kOutTime) == 1; }, 40000))
            << Log();
        EXPECT_EQ(showsApplied_ + static_cast<int>(Count(Log(), kOutTime)), 1) << Log();
        break;
      case Ending::kOutTime:
        ASSERT_TRUE(WaitForLog(kOutTime)) << Log();
        break;
      case Ending::kRefused:
        ASSERT_TRUE(WaitForLog(kShowRefused)) << Log();
        break;
      case Ending::kOpenFailed:
        ASSERT_TRUE(WaitForLog(kOpenError)) << Log();
        break;
      case Ending::kConnectionLost:
        ASSERT_TRUE(PumpUntil([&] { return !window_->session().IsOpen(); }, 15000)) << Log();
        ASSERT_TRUE(WaitForLog(kDisconnected)) << Log();
        break;
      case Ending::kRestarted:
        ASSERT_TRUE(WaitForLog(kRestarted, 15000)) << Log();
        [[fallthrough]];
      case Ending::kLoggedIn:
        // The login takes the booting device over.
        ASSERT_TRUE(PumpUntil([&] { return window_->session().LoggedIn(); }, 15000)) << Log();
        break;
    }
    // Let whatever is still on its way arrive before the state is judged.
    PumpFor(300);
    const std::string log = Log();
    const size_t messages = Count(log, kOutTime) + Count(log, kShowRefused) +
                            Count(log, kOpenError) + Count(log, kDisconnected) +
                            Count(log, kRestarted);
    switch (c.ending) {
      case Ending::kCompleted:
        EXPECT_EQ(messages, 0u) << log;
        break;
      case Ending::kCompletedOrOutTime:
      case Ending::kLoggedIn:
        // A reboot just as the login ended counts as a restart of a logged-in device.
        EXPECT_LE(messages, 1u) << log;
        break;
      default:
        EXPECT_EQ(messages, 1u) << log;
    }
    if (c.ending == Ending::kRestarted) {
      EXPECT_EQ(Count(log, kRestarted), 1u) << log;
      if (c.phase != Phase::kBeforeLogin && c.phase != Phase::kLogin) {
        EXPECT_EQ(restartedJobs_, 1) << "the job ended at once";
      }
      EXPECT_EQ(showsApplied_, 0);
    }
    if (c.phase == Phase::kWriteBatch && c.fault == Fault::kReboot) {
      // The writes queued behind the cut one never reach the booting device.
      const std::string received = sim_.Recording();
      EXPECT_EQ(received.find("AT+IDNT"), std::string::npos) << received;
      // and count as not sent: the batch is summed up instead of showing "n of m" for ever.
      EXPECT_FALSE(window_->session().Batch().Active())
          << window_->session().Batch().Done() << " of " << window_->session().Batch().Total();
    }
  }

  // Buttons and session state agree, whatever the fault left behind.
  void CheckState() {
    ASSERT_TRUE(PumpUntil([&] {
      return !window_->session().IsOpen() || !window_->session().LoggedIn() || Enabled("Load");
    })) << "the buttons come back once the queue has run dry";
    const bool open = window_->session().IsOpen();
    const bool loggedIn = window_->session().LoggedIn();
    EXPECT_EQ(Enabled("SerialPort"), !open);
    EXPECT_EQ(Enabled("Load"), open && loggedIn);
    EXPECT_EQ(Enabled("Login"), open && !loggedIn);
    EXPECT_EQ(window_->session().State(), !open      ? ConnectionState::kClosed
                                          : loggedIn ? ConnectionState::kLoggedIn
                                                     : ConnectionState::kWaitingForDevice);
  }

  // Only a complete read leaves a file; a cut one leaves the previous file as it was.
  void CheckFile(const FaultCase& c) {
    if (c.phase != Phase::kFileSave) return;
    EXPECT_EQ(dir_.Read("device.cfg"), kPrevious);
  }

  // The device back in order (a new cable when it was unplugged): the next opening reads it.
  void CheckNextOpening() {
    ASSERT_TRUE(sim_.SendControl(sim_fault::kClear));
    if (window_->session().IsOpen()) Click("Open");
    ASSERT_FALSE(window_->session().IsOpen());
    if (sim_.Status().find("port=closed") != std::string::npos) {
      ASSERT_TRUE(sim_.SendControl("replug"));
    }
    const int shows = showsApplied_;
    ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
    Click("Load");
    ASSERT_TRUE(PumpUntil([&] { return showsApplied_ == shows + 1; }, 40000)) << Log();
    ASSERT_TRUE(PumpUntil([&] { return Enabled("Load"); }));
  }

  void RunCase(const FaultCase& c) {
    ASSERT_NO_FATAL_FAILURE(StartDevice());
    ASSERT_NO_FATAL_FAILURE(MakeWindow(c.fault == Fault::kSilent ? 10 : 1));
    filePath_ = dir_.Write("device.cfg", kPrevious);
    StallProbe probe;
    ASSERT_NO_FATAL_FAILURE(BeginSession(c));
    ASSERT_NO_FATAL_FAILURE(RunPhase(c));
    ASSERT_NO_FATAL_FAILURE(CheckEnding(c));
    const qint64 stall = probe.LongestMs();
    std::printf("[ stall    ] %s: the UI thread's longest stall %lld ms (aim: 100 ms)\n", c.name,
                static_cast<long long>(stall));
    EXPECT_LT(stall, kHangMs) << "the UI thread hung";
    ASSERT_NO_FATAL_FAILURE(CheckState());
    CheckFile(c);
    // For comparison: the same UI thread through a clean opening and read.
    StallProbe clean;
    ASSERT_NO_FATAL_FAILURE(CheckNextOpening());
    std::printf("[ stall    ] %s: then through a clean read %lld ms\n", c.name,
                static_cast<long long>(clean.LongestMs()));
  }

  TempDir dir_;
  SimProcess sim_;
  std::unique_ptr<CZR350FrameWnd> window_;
  std::string filePath_;
  int showsApplied_ = 0;
  int restartedJobs_ = 0;
};

// A test name from a case name: letters and digits only.
std::string CaseName(const testing::TestParamInfo<FaultCase>& info) {
  std::string name;
  for (const char* p = info.param.name; *p; ++p) {
    if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
  }
  return name;
}

const FaultCase kWindowCases[] = {
    {"silent", Fault::kSilent, Phase::kShowReply, Ending::kOutTime},
    {"error", Fault::kError, Phase::kShowReply, Ending::kRefused},
    {"garbage", Fault::kGarbage, Phase::kShowReply, Ending::kCompletedOrOutTime},
    {"nul bytes", Fault::kNul, Phase::kShowReply, Ending::kCompletedOrOutTime},
    {"one-byte chunks", Fault::kByteChunks, Phase::kShowReply, Ending::kCompleted},
    {"flood", Fault::kFlood, Phase::kShowReply, Ending::kCompleted},
    {"unplug before login", Fault::kUnplug, Phase::kBeforeLogin, Ending::kOpenFailed},
    {"unplug during login", Fault::kUnplug, Phase::kLogin, Ending::kConnectionLost},
    {"unplug during show", Fault::kUnplug, Phase::kShowReply, Ending::kConnectionLost},
    {"unplug during writes", Fault::kUnplug, Phase::kWriteBatch, Ending::kConnectionLost},
    {"unplug during file save", Fault::kUnplug, Phase::kFileSave, Ending::kConnectionLost},
    {"reboot before login", Fault::kReboot, Phase::kBeforeLogin, Ending::kLoggedIn},
    {"reboot during login", Fault::kReboot, Phase::kLogin, Ending::kLoggedIn},
    {"reboot during show", Fault::kReboot, Phase::kShowReply, Ending::kRestarted},
    {"reboot during writes", Fault::kReboot, Phase::kWriteBatch, Ending::kRestarted},
    {"reboot during file save", Fault::kReboot, Phase::kFileSave, Ending::kRestarted},
};

}  // namespace

TEST_P(WindowFaults, EndsCleanlyAndTheNextOpeningWorks) {
  RunCase(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Matrix, WindowFaults, testing::ValuesIn(kWindowCases), CaseName);

namespace {

// The headless read: started against a device that misbehaves as the case says once the read
// has been asked for (or from the start, for the login's faults).
struct ReadCase {
  const char* name;
  Fault fault;
  Phase phase;
  // Whether the read must succeed; noise may also make it fail cleanly (then `mayFail`).
  bool succeeds;
  bool mayFail;
  // What its one error line says, when it fails.
  const char* message;
};

const ReadCase kReadCases[] = {
    {"error", Fault::kError, Phase::kShowReply, false, true, "refused AT+SHOW"},
    {"garbage", Fault::kGarbage, Phase::kShowReply, true, true, ""},
    {"nul bytes", Fault::kNul, Phase::kShowReply, true, true, ""},
    {"one-byte chunks", Fault::kByteChunks, Phase::kShowReply, true, false, ""},
    // Noise between the echo and the answer spoils the reply: no file rather than a bad one.
    {"flood", Fault::kFlood, Phase::kShowReply, true, true, ""},
    {"unplug during login", Fault::kUnplug, Phase::kLogin, false, true,
     "went away during the login"},
    {"unplug during show", Fault::kUnplug, Phase::kShowReply, false, true,
     "went away during the read"},
    {"reboot during show", Fault::kReboot, Phase::kShowReply, false, true,
     "restarted during the read"},
};

std::string ReadCaseName(const testing::TestParamInfo<ReadCase>& info) {
  std::string name;
  for (const char* p = info.param.name; *p; ++p) {
    if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
  }
  return name;
}

// The error lines of a run, without Qt's own environment warnings.
std::vector<std::string> ErrorLines(const std::string& err) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < err.size()) {
    size_t end = err.find('\n', at);
    if (end == std::string::npos) end = err.size();
    std::string line = err.substr(at, end - at);
    if (!line.empty() && line.rfind("QStandardPaths", 0) != 0) lines.push_back(line);
    at = end + 1;
  }
  return lines;
}

class ReadFaults : public testing::TestWithParam<ReadCase> {
 protected:
  ProgramRun Read(const std::function<void()>& tick = {}) {
    return RunProgram({DTU_BIN_DIR "/dtu-config", "read", "--port", sim_.LinkPath(), "-o", file_},
                      90000, tick);
  }

  TempDir dir_;
  SimProcess sim_;
  std::string file_;
};

TEST_P(ReadFaults, EndsWithOneMessageWritesOnlyACompleteFileAndTheNextReadWorks) {
  const ReadCase& c = GetParam();
  std::string error;
  // Answers come a moment late, so that a fault set once the device has the command holds for
  // its whole reply.
  ASSERT_TRUE(
      sim_.Start({"--boot-ms", "1500", "--model", "zr350v4", "--latency-ms", "200"}, &error))
      << error;
  file_ = dir_.Write("device.cfg", kPrevious);
  if (c.phase == Phase::kLogin) {
    ASSERT_TRUE(sim_.SendControl(sim_fault::UnplugAfterBytes(60)));
  }
  if (c.fault == Fault::kReboot) {
    ASSERT_TRUE(sim_.SendControl(sim_fault::Chunks(64, 40)));
  }
  if (c.fault == Fault::kError) {
    ASSERT_TRUE(sim_.SendControl(sim_fault::Error("AT+SHOW")));
  }

  // The show's faults start once the device has the command.
  bool asked = false;
  std::chrono::steady_clock::time_point askedAt;
  bool rebooted = false;
  const ProgramRun run = Read([&] {
    if (c.phase != Phase::kShowReply) return;
    if (!asked && sim_.Recording().find("AT+SHOW") != std::string::npos) {
      asked = true;
      askedAt = std::chrono::steady_clock::now();
      switch (c.fault) {
        case Fault::kGarbage:
          sim_.SendControl(sim_fault::kGarbageOn);
          break;
        case Fault::kNul:
          sim_.SendControl(sim_fault::kNulOn);
          break;
        case Fault::kByteChunks:
          sim_.SendControl(sim_fault::Chunks(1, 1));
          break;
        case Fault::kFlood:
          sim_.SendControl("flood 20000");
          break;
        case Fault::kUnplug:
          sim_.SendControl(sim_fault::UnplugAfterBytes(800));
          break;
        default:
          break;
      }
    }
    // The slowed reply takes seconds; a third of a second in, the device boots again.
    if (asked && !rebooted && c.fault == Fault::kReboot &&
        std::chrono::steady_clock::now() - askedAt > std::chrono::milliseconds(300)) {
      rebooted = true;
      sim_.SendControl("reboot");
    }
  });
  ASSERT_NE(run.status, -1) << "the read hung";
  const std::vector<std::string> lines = ErrorLines(run.err);
  if (run.status == 0) {
    EXPECT_TRUE(c.succeeds) << run.err;
    EXPECT_TRUE(lines.empty()) << run.err;
    std::string text;
    ASSERT_TRUE(ReadConfigFileFrom(file_, &text, &error)) << error;
    EXPECT_TRUE(CheckConfigText(text, &error)) << error;
  } else {
    EXPECT_TRUE(!c.succeeds || c.mayFail) << run.err;
    ASSERT_EQ(lines.size(), 1u) << run.err;
    if (*c.message) {
      EXPECT_NE(lines[0].find(c.message), std::string::npos) << lines[0];
    }
    EXPECT_EQ(dir_.Read("device.cfg"), kPrevious) << "a failed read leaves the file alone";
  }

  // The next read, with the device in order again, works.
  ASSERT_TRUE(sim_.SendControl(sim_fault::kClear));
  if (sim_.Status().find("port=closed") != std::string::npos) {
    ASSERT_TRUE(sim_.SendControl("replug"));
  }
  const ProgramRun next = Read();
  EXPECT_EQ(next.status, 0) << next.err;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Matrix, ReadFaults, testing::ValuesIn(kReadCases), ReadCaseName);
