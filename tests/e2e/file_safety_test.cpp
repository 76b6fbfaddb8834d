// Configuration files that must never cost a device its settings, through the real window's
// "Open file" and through "dtu-config apply", against the strict simulated device whose record
// of every received byte proves what was sent. A damaged file is refused before anything is
// sent; a file in one of the plain line-end forms is the same configuration; a file states only
// the sensor items it lists.
#include <gtest/gtest.h>

#include <QFile>

#include <functional>
#include <string>
#include <vector>

#include "event_loop.h"
#include "program_run.h"
#include "random_device.h"
#include "sim_process.h"
#include "temp_dir.h"
#include "test_program.h"
#include "writing/config_file.h"

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

using CommandRun = ProgramRun;

CommandRun RunDtuConfig(const QStringList& args) {
  std::vector<std::string> argv{DTU_BIN_DIR "/dtu-config"};
  for (const QString& arg : args) argv.push_back(arg.toStdString());
  return RunProgram(argv, 120000);
}

// What the device received after the login ("s" stream or "+++").
std::string Commands(const SimProcess& sim) {
  const std::string received = sim.Recording();
  const size_t first = received.find_first_not_of("s+");
  return first == std::string::npos ? std::string() : received.substr(first);
}

// The line "\r\n" LABEL ... in `text`, line end excluded, or npos.
size_t LineStart(const std::string& text, const std::string& label) {
  const size_t at = text.find("\r\n" + label);
  return at == std::string::npos ? at : at + 2;
}

std::string WithValue(std::string text, const std::string& label, const std::string& value) {
  const size_t start = LineStart(text, label);
  if (start == std::string::npos) return text;
  const size_t valueStart = start + label.size();
  return text.replace(valueStart, text.find("\r\n", valueStart) - valueStart, value);
}

std::string WithoutLine(std::string text, const std::string& label) {
  const size_t start = LineStart(text, label);
  if (start == std::string::npos) return text;
  return text.erase(start - 2, text.find("\r\n", start) - start + 2);
}

std::string WithoutItemsFrom(std::string text, int first) {
  for (int i = first; i < 64; ++i)
    text = WithoutLine(text, "GENSENSORINFO " + std::to_string(i) + ":");
  return text;
}

// The file's bytes with every line end in one form ("\n" or "\r\n").
std::string FileWithLineEnds(const std::string& reply, const std::string& lineEnd) {
  std::string bytes;
  for (size_t i = 0; i < reply.size(); ++i) {
    if (reply.compare(i, 2, "\r\n") == 0) {
      bytes += lineEnd;
      ++i;
    } else {
      bytes += reply[i];
    }
  }
  return bytes;
}

bool WriteRaw(const std::string& path, const std::string& bytes) {
  QFile file(Q(path));
  return file.open(QIODevice::WriteOnly) &&
         file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
             static_cast<qint64>(bytes.size());
}

class FileSafety : public testing::Test {
 protected:
  // The factory device's own configuration, read once by the real program.
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    SimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
    const CommandRun read =
        RunDtuConfig({"read", "--port", Q(sim.PtyPath()), "-o", Q(Path("own.cfg"))});
    ASSERT_EQ(read.status, 0) << read.err;
    ASSERT_TRUE(ReadConfigFileFrom(Path("own.cfg"), &own_, &error)) << error;
    ASSERT_NE(LineStart(own_, "GENSENSORINFO 15:"), std::string::npos) << "a 16-item device";
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static std::string Path(const std::string& name) { return dir_->Path() + name; }

  // A window logged in to a fresh device; "Open file" answers `choice`.
  void OpenWindowOnDevice(FileWritesChoice choice = FileWritesChoice::kWrite,
                          std::vector<std::string> deviceArgs = {}) {
    std::string error;
    deviceArgs.insert(deviceArgs.end(), {"--boot-ms", "1500"});
    ASSERT_TRUE(sim_.Start(deviceArgs, &error)) << error;
    window_ = MakeTestWindow(windowDir_.Path(), 0, &error);
    ASSERT_TRUE(window_) << error;
    window_->hooks().chooseFileWrites = [this, choice](const std::vector<std::string>& lines) {
      asked_ = lines;
      return choice;
    };
    window_->hooks().jobFinished = [this](JobKind kind, JobOutcome) {
      if (kind == JobKind::kLoadFromFile) ++readBacks_;
    };
    ASSERT_TRUE(window_->StartWorker());
    PumpFor(20);
    window_->device().ports().Preselect(sim_.PtyPath());
    window_->Notify({"click", window_->form().Find("Open"), 0, 0});
    ASSERT_TRUE(PumpUntil([&] { return window_->session().LoggedIn(); })) << Log();
    ASSERT_TRUE(PumpUntil([&] { return window_->form().Find("Load")->IsEnabled(); }));
  }
  std::string Log() { return window_ ? window_->form().Find("richedit")->Text() : std::string(); }
  // Opens the file in the window and waits until the device has nothing more to do.
  bool OpenInWindow(const std::string& path) {
    const int readBacks = readBacks_;
    const bool loaded = window_->parameters().LoadFile(path);
    if (!loaded) {
      PumpFor(300);
      return false;
    }
    EXPECT_TRUE(PumpUntil([&] { return readBacks_ > readBacks; }, 30000)) << Log();
    EXPECT_TRUE(PumpUntil(
        [&] {
          return window_->session().QueuedJobs() == 0 && !window_->session().Batch().Active();
        },
        30000));
    PumpFor(200);
    return loaded;
  }

  static TempDir* dir_;
  static std::string own_;
  TempDir windowDir_;
  SimProcess sim_;
  std::unique_ptr<CZR350FrameWnd> window_;
  std::vector<std::string> asked_;
  int readBacks_ = 0;
};

TempDir* FileSafety::dir_ = nullptr;
std::string FileSafety::own_;

struct Damaged {
  const char* name;
  std::function<std::string(const std::string&)> damage;
  const char* named;  // what the refusal names
};

const Damaged kDamaged[] = {
    {"row missing", [](const std::string& t) { return WithoutLine(t, "Server's Port:"); },
     "Server's Port"},
    {"zero byte after the APN",
     [](const std::string& t) {
       std::string out = t;
       out.insert(out.find("\r\n", out.find("Access Point Name:")), 1, '\0');
       return out;
     },
     "Access Point Name:"},
    {"value of 1024 bytes",
     [](const std::string& t) {
       return WithValue(t, "Access Point Name:", std::string(1024, 'a'));
     },
     "Access Point Name"},
    {"sensor item of 101 bytes",
     [](const std::string& t) {
       return WithValue(t, "GENSENSORINFO 0:", "1,1,3,0,1,0,0,1," + std::string(90, 'n') + ",0");
     },
     "GENSENSORINFO 0:"},
    {"comma in a data name",
     [](const std::string& t) { return WithValue(t, "GENSENSORINFO 1:", "1,1,3,0,1,0,0,1,a,b,0"); },
     "GENSENSORINFO 1:"},
    {"cut short", [](const std::string& t) { return t.substr(0, 2000); }, "incomplete"},
};

TEST_F(FileSafety, ADamagedFileIsRefusedByTheWindowAndByApplyAndNothingIsSent) {
  ASSERT_NO_FATAL_FAILURE(OpenWindowOnDevice());
  SimProcess applied;
  std::string error;
  ASSERT_TRUE(applied.Start({"--boot-ms", "1500"}, &error)) << error;
  for (const Damaged& c : kDamaged) {
    SCOPED_TRACE(c.name);
    const std::string path = Path(std::string(c.name) + ".cfg");
    ASSERT_TRUE(WriteConfigFileTo(path, c.damage(own_), &error)) << error;

    const std::string before = Commands(sim_);
    EXPECT_FALSE(OpenInWindow(path));
    EXPECT_EQ(Commands(sim_), before) << "the window sent something";
    const std::string log = Log();
    EXPECT_NE(log.find(c.named, log.rfind(path)), std::string::npos)
        << log.substr(log.size() - 400);

    const CommandRun apply = RunDtuConfig({"apply", Q(path), "--port", Q(applied.PtyPath())});
    EXPECT_EQ(apply.status, 1) << apply.err;
    EXPECT_NE(apply.err.find(c.named), std::string::npos) << apply.err;
    EXPECT_NE(apply.err.find("nothing was sent"), std::string::npos) << apply.err;
    EXPECT_EQ(Commands(applied), "") << "apply sent something";

    const CommandRun show = RunDtuConfig({"show", Q(path)});
    EXPECT_EQ(show.status, 1) << show.err;
    EXPECT_EQ(show.out, "");
  }
  EXPECT_TRUE(asked_.empty()) << "no question for a refused file";
}

struct Accepted {
  const char* name;
  // The file's bytes, from the device's own reply.
  std::function<std::string(const std::string&)> file;
  // The writes it must make, and nothing else.
  const char* writes;
};

const Accepted kAccepted[] = {
    {"plain LF line ends", [](const std::string& t) { return FileWithLineEnds(t, "\n"); }, ""},
    {"plain CR LF line ends", [](const std::string& t) { return FileWithLineEnds(t, "\r\n"); }, ""},
    {"no sensor lines",
     [](const std::string& t) {
       return EncodeConfigFile(WithoutItemsFrom(WithValue(t, "Access Point Name:", "FROMFILE"), 0));
     },
     "AT+APN=FROMFILE\r\n"},
    {"eight items of sixteen",
     [](const std::string& t) {
       return EncodeConfigFile(
           WithoutItemsFrom(WithValue(t, "GENSENSORINFO 2:", "1,1,3,4,1,0,0,1,sensor3,0"), 8));
     },
     "AT+GENSENSORINFO=2,1,1,3,4,1,0,0,1,sensor3,0\r\n"},
};

TEST_F(FileSafety, TheWindowWritesExactlyWhatAnAcceptedFileStates) {
  for (const Accepted& c : kAccepted) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(OpenWindowOnDevice());
    const std::string path = Path(std::string("window ") + c.name + ".cfg");
    ASSERT_TRUE(WriteRaw(path, c.file(own_)));
    EXPECT_TRUE(OpenInWindow(path)) << Log();
    EXPECT_EQ(Commands(sim_), std::string("\r\nAT+SHOW\r\n") + c.writes) << Log();
    EXPECT_EQ(asked_.empty(), std::string(c.writes).empty());
    window_.reset();
    sim_.Stop();
    asked_.clear();
  }
}

TEST_F(FileSafety, ApplyWritesExactlyWhatAnAcceptedFileStates) {
  for (const Accepted& c : kAccepted) {
    SCOPED_TRACE(c.name);
    SimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
    const std::string path = Path(std::string("apply ") + c.name + ".cfg");
    ASSERT_TRUE(WriteRaw(path, c.file(own_)));
    const CommandRun apply = RunDtuConfig({"apply", Q(path), "--port", Q(sim.PtyPath())});
    EXPECT_EQ(apply.status, 0) << apply.out << apply.err;
    const std::string writes = c.writes;
    EXPECT_EQ(Commands(sim), "\r\nAT+SHOW\r\n" + writes +
                                 (writes.empty() ? "" : "\r\nAT+SHOW\r\n") + "at+quit\r\n");
  }
}

TEST_F(FileSafety, CancellingTheQuestionWritesNothingAndShowsTheDevicesValuesAgain) {
  ASSERT_NO_FATAL_FAILURE(OpenWindowOnDevice(FileWritesChoice::kCancel));
  const std::string path = Path("cancelled.cfg");
  std::string error;
  ASSERT_TRUE(WriteConfigFileTo(path, WithValue(own_, "Access Point Name:", "FROMFILE"), &error));
  EXPECT_TRUE(OpenInWindow(path));
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_NE(asked_[0].find("Access Point Name"), std::string::npos) << asked_[0];
  EXPECT_NE(asked_[0].find("FROMFILE"), std::string::npos) << asked_[0];
  EXPECT_EQ(Commands(sim_), "\r\nAT+SHOW\r\n");
  EXPECT_EQ(window_->form().Find("Access Point Name")->Text(),
            window_->session().Params()["Access Point Name"].value);
  EXPECT_NE(window_->form().Find("Access Point Name")->Text(), "FROMFILE");
}

// Random configurations of both models, each on a simulated device started with it.
TEST_F(FileSafety, ADevicesOwnFileSendsNothingThroughTheWindowOrApply) {
  for (const char* modelName : {"zr350", "zr350v4"}) {
    std::mt19937 random(static_cast<unsigned>(modelName[5]) * 31u + 5u);
    for (int n = 0; n < 2; ++n) {
      SCOPED_TRACE(std::string(modelName) + " configuration " + std::to_string(n));
      const std::string own = Reply(RandomDevice(*FindDeviceModel(modelName), random));
      const std::string path = Path("random.cfg");
      std::string error;
      ASSERT_TRUE(WriteConfigFileTo(path, own, &error)) << error;
      const std::vector<std::string> device{"--model", modelName, "--config", path};

      ASSERT_NO_FATAL_FAILURE(OpenWindowOnDevice(FileWritesChoice::kWrite, device));
      EXPECT_TRUE(OpenInWindow(path)) << Log();
      EXPECT_EQ(Commands(sim_), "\r\nAT+SHOW\r\n");
      EXPECT_TRUE(asked_.empty());
      window_.reset();
      sim_.Stop();

      SimProcess sim;
      std::vector<std::string> args = device;
      args.insert(args.end(), {"--boot-ms", "1500"});
      ASSERT_TRUE(sim.Start(args, &error)) << error;
      const CommandRun apply = RunDtuConfig({"apply", Q(path), "--port", Q(sim.PtyPath())});
      EXPECT_EQ(apply.status, 0) << apply.out << apply.err;
      EXPECT_EQ(Commands(sim), "\r\nAT+SHOW\r\nat+quit\r\n");
    }
  }
}

// The model is the device's own statement: a value naming the other model changes nothing.
TEST_F(FileSafety, AValueNamingTheFiveDioFirmwareDoesNotChangeTheModel) {
  DeviceConfig device(*FindDeviceModel("zr350"));
  ASSERT_EQ(device.Write("AT+APN", "Software version:Zr350V4"), WriteOutcome::kStored);
  std::string error;
  ASSERT_TRUE(WriteConfigFileTo(Path("named.cfg"), Reply(device), &error)) << error;
  SimProcess sim;
  ASSERT_TRUE(
      sim.Start({"--model", "zr350", "--config", Path("named.cfg"), "--boot-ms", "1500"}, &error))
      << error;
  const CommandRun read =
      RunDtuConfig({"read", "--port", Q(sim.PtyPath()), "-o", Q(Path("named-read.cfg"))});
  EXPECT_EQ(read.status, 0) << read.out << read.err;
  const CommandRun apply =
      RunDtuConfig({"apply", Q(Path("named.cfg")), "--port", Q(sim.PtyPath())});
  EXPECT_EQ(apply.status, 0) << apply.out << apply.err;
}

TEST_F(FileSafety, AFileOfTheOtherModelAppliesAndTheReadBackAgrees) {
  std::mt19937 random(11u);
  for (const auto& [fileModel, deviceModel] :
       {std::pair{"zr350v4", "zr350"}, std::pair{"zr350", "zr350v4"}}) {
    SCOPED_TRACE(std::string(fileModel) + " file on a " + deviceModel + " device");
    const std::string path = Path(std::string(fileModel) + " template.cfg");
    std::string error;
    ASSERT_TRUE(
        WriteConfigFileTo(path, Reply(RandomDevice(*FindDeviceModel(fileModel), random)), &error))
        << error;
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--model", deviceModel, "--boot-ms", "1500"}, &error)) << error;
    const CommandRun apply = RunDtuConfig({"apply", Q(path), "--port", Q(sim.PtyPath())});
    EXPECT_EQ(apply.status, 0) << apply.out << apply.err;
    EXPECT_NE(apply.out.find("verified"), std::string::npos) << apply.out;
  }
}

}  // namespace
