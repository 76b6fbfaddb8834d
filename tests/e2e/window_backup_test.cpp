// The window keeps the device's configuration before it writes: Write and "Open file" against the
// real simulated device leave a backup that the real `dtu-config apply` restores byte for byte,
// and a backup folder that cannot be written stops the write before anything is sent.
#include <gtest/gtest.h>

#include <QFile>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "event_loop.h"
#include "exchange/enqueue_job.h"
#include "program_run.h"
#include "sim_process.h"
#include "temp_dir.h"
#include "test_program.h"
#include "writing/backup_store.h"
#include "writing/config_file.h"

namespace {

const char kSaved[] = "Parameter saved";
const char kBackedUp[] = "The device's configuration was backed up to ";

// A file's bytes from the echo of the read command on: a device that has just logged in may
// still be printing its setting menu when the read goes out, and that text, which is no part of
// its configuration, then comes in front of the reply.
std::string FromShowEcho(const std::string& bytes) {
  const size_t at = bytes.find("AT+SHOW\r\r\n");
  return at == std::string::npos ? bytes : bytes.substr(at);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The keys of section [Backup] in a language file, with their texts.
std::map<std::string, std::string> BackupTexts(const std::string& path) {
  std::map<std::string, std::string> texts;
  std::ifstream in(path);
  std::string line;
  bool inSection = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with("[")) inSection = line == "[Backup]";
    const size_t eq = line.find('=');
    if (inSection && !line.starts_with(";") && eq != std::string::npos)
      texts[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return texts;
}

class WindowBackupTest : public testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_STATE_HOME")) savedState_ = old;
    hadState_ = std::getenv("XDG_STATE_HOME") != nullptr;
    UseStateHome(state_.Path() + "state");
  }
  void TearDown() override {
    window_.reset();
    if (hadState_) {
      setenv("XDG_STATE_HOME", savedState_.c_str(), 1);
    } else {
      unsetenv("XDG_STATE_HOME");
    }
  }
  // The window looks the folder up at each backup; the programs started by the test inherit it.
  static void UseStateHome(const std::string& path) { setenv("XDG_STATE_HOME", path.c_str(), 1); }
  std::string BackupDir() const { return state_.Path() + "state/dtu-config/backups"; }
  std::vector<std::string> Backups() const {
    return ListBackups(BackupDir(), BackupPortName(sim_.PtyPath(), "/dev/serial/by-id"));
  }

  void OpenAndLogIn() {
    std::string error;
    ASSERT_TRUE(sim_.Start({"--boot-ms", "1500"}, &error)) << error;
    window_ = MakeTestWindow(program_.Path(), 0, &error);
    ASSERT_TRUE(window_) << error;
    window_->hooks().showApplied = [this] { ++showsApplied_; };
    window_->hooks().messageBox = [this](const std::string& text) { boxes_.push_back(text); };
    // "Open file" with a device logged in: the user chooses "Write".
    window_->hooks().chooseFileWrites = [](const std::vector<std::string>&) {
      return FileWritesChoice::kWrite;
    };
    ASSERT_TRUE(window_->StartWorker());
    PumpFor(20);
    window_->device().ports().Preselect(sim_.PtyPath());
    Click("Open");
    ASSERT_TRUE(window_->session().IsOpen()) << Log();
    ASSERT_TRUE(PumpUntil([&] { return window_->session().LoggedIn(); })) << Log();
    ASSERT_TRUE(PumpUntil([&] { return Enabled("Load"); }));
  }
  void Read() {
    const int before = showsApplied_;
    Click("Load");
    ASSERT_TRUE(PumpUntil([&] { return showsApplied_ > before; }, 30000)) << Log();
    ASSERT_TRUE(PumpUntil([&] { return Enabled("Save"); }));
  }
  void Write(const std::string& apn, size_t savedBefore) {
    window_->form().Find("Access Point Name")->SetText(apn);
    Click("Save");
    ASSERT_TRUE(PumpUntil([&] { return Count(Log(), kSaved) > savedBefore; }, 15000)) << Log();
  }
  // The device's own configuration in a file, as "Save file" writes it.
  std::string SaveDeviceFile(const std::string& name) {
    WorkJob save = MakeJob(JobKind::kSaveToFile, kFileShowCommand);
    save.filePath = program_.Path() + name;
    window_->session().Queue(save);
    EXPECT_TRUE(
        PumpUntil([&] { return QFile::exists(QString::fromStdString(save.filePath)); }, 30000))
        << Log();
    return save.filePath;
  }
  // Back to data mode and the port closed: the device is free for another program.
  void LeaveDevice() {
    Click("quit");
    ASSERT_TRUE(PumpUntil([&] { return sim_.Status().find("mode=data") != std::string::npos; }));
    window_.reset();
  }

  void Click(const char* name) {
    Control* control = window_->form().Find(name);
    ASSERT_NE(control, nullptr) << name;
    window_->Notify({"click", control, 0, 0});
  }
  bool Enabled(const char* name) { return window_->form().Find(name)->IsEnabled(); }
  std::string Log() { return window_->form().Find("richedit")->Text(); }
  std::string Commands() {
    const std::string received = sim_.Recording();
    const size_t first = received.find_first_not_of('s');
    return first == std::string::npos ? std::string() : received.substr(first);
  }

  std::string savedState_;
  bool hadState_ = false;
  TempDir state_;
  TempDir program_;
  SimProcess sim_;
  std::unique_ptr<CZR350FrameWnd> window_;
  int showsApplied_ = 0;
  std::vector<std::string> boxes_;
};

}  // namespace

TEST_F(WindowBackupTest, WriteKeepsTheReadConfigurationAndApplyingItRestoresTheDevice) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  ASSERT_NO_FATAL_FAILURE(Read());
  EXPECT_TRUE(Backups().empty()) << "a read alone keeps nothing";
  ASSERT_NO_FATAL_FAILURE(Write("internet", 0));
  ASSERT_EQ(Backups().size(), 1u);
  const std::string backup = BackupDir() + "/" + Backups()[0];
  EXPECT_NE(Log().find(kBackedUp + backup), std::string::npos) << Log();
  EXPECT_EQ(Commands(), "AT+SHOW\r\nAT+APN=internet\r\n");
  EXPECT_NE(DecodeConfigFile(ReadBytes(backup)).find("\r\nAccess Point Name:CMNET\r\n"),
            std::string::npos);

  // Another write before the next read: the backup of that read still holds the device as it
  // was before the first one.
  ASSERT_NO_FATAL_FAILURE(Write("internet2", 1));
  EXPECT_EQ(Backups().size(), 1u);
  EXPECT_EQ(Count(Log(), kBackedUp), 1u);
  // The next read is kept before the next write.
  ASSERT_NO_FATAL_FAILURE(Read());
  ASSERT_NO_FATAL_FAILURE(Write("internet3", 2));
  EXPECT_EQ(Backups().size(), 2u);

  ASSERT_NO_FATAL_FAILURE(LeaveDevice());
  const std::string pty = sim_.PtyPath();
  const ProgramRun restore =
      RunProgram({DTU_BIN_DIR "/dtu-config", "apply", backup, "--port", pty}, 120000);
  ASSERT_EQ(restore.status, 0) << restore.err;
  const std::string after = program_.Path() + "after.cfg";
  const ProgramRun read =
      RunProgram({DTU_BIN_DIR "/dtu-config", "read", "--port", pty, "-o", after}, 120000);
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(FromShowEcho(ReadBytes(after)), FromShowEcho(ReadBytes(backup)));
}

TEST_F(WindowBackupTest, OpeningAFileKeepsTheConfigurationReadBackBeforeWriting) {
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  const std::string file = SaveDeviceFile("device.cfg");
  const std::string deviceBytes = ReadBytes(file);
  std::string text = DecodeConfigFile(deviceBytes);
  const std::string apnLine = "Access Point Name:CMNET";
  ASSERT_NE(text.find(apnLine), std::string::npos);
  text.replace(text.find(apnLine), apnLine.size(), "Access Point Name:FROMFILE");
  std::string error;
  ASSERT_TRUE(WriteConfigFileTo(file, text, &error)) << error;

  ASSERT_TRUE(window_->parameters().LoadFile(file)) << Log();
  ASSERT_TRUE(PumpUntil([&] { return Count(Log(), kSaved) > 0; }, 30000)) << Log();
  ASSERT_EQ(Backups().size(), 1u);
  EXPECT_EQ(FromShowEcho(ReadBytes(BackupDir() + "/" + Backups()[0])), FromShowEcho(deviceBytes));
  EXPECT_NE(Log().find(kBackedUp), std::string::npos) << Log();
}

TEST_F(WindowBackupTest, ABackupFolderThatCannotBeWrittenStopsWriteAndOpenFile) {
  // The state folder's place is taken by a file: no folder can be made there.
  UseStateHome(state_.Write("state", "a file"));
  ASSERT_NO_FATAL_FAILURE(OpenAndLogIn());
  ASSERT_NO_FATAL_FAILURE(Read());
  window_->form().Find("Access Point Name")->SetText("internet");
  Click("Save");
  PumpFor(500);
  const char kStopped[] = "Nothing was written: the device's configuration could not be backed up";
  EXPECT_EQ(Count(Log(), kStopped), 1u) << Log();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find(kStopped), std::string::npos) << boxes_[0];
  EXPECT_NE(
      boxes_[0].find("the folder " + state_.Path() + "state cannot be created: Not a directory"),
      std::string::npos)
      << boxes_[0];
  EXPECT_EQ(window_->session().Params()["Access Point Name"].value, "CMNET");

  // "Open file" with a device logged in reads it back and stops there too.
  std::string text = DecodeConfigFile(ReadBytes(SaveDeviceFile("device.cfg")));
  text.replace(text.find("Access Point Name:CMNET"), 23, "Access Point Name:FROMFILE");
  std::string error;
  ASSERT_TRUE(WriteConfigFileTo(program_.Path() + "device.cfg", text, &error)) << error;
  ASSERT_TRUE(window_->parameters().LoadFile(program_.Path() + "device.cfg")) << Log();
  ASSERT_TRUE(PumpUntil([&] { return boxes_.size() == 2; }, 30000)) << Log();
  PumpFor(300);
  EXPECT_EQ(Count(Log(), kSaved), 0u) << Log();
  EXPECT_EQ(Commands(), "AT+SHOW\r\n\r\nAT+SHOW\r\n\r\nAT+SHOW\r\n") << "reads only, no write";
}

TEST(BackupTexts, BothLanguagesHoldEveryTextWithTheSamePlaceholders) {
  const char* const keys[] = {"Saved",    "Failed",       "NothingRead",
                              "NoFolder", "FolderFailed", "FileFailed"};
  const auto en = BackupTexts(std::string(DTU_SKIN_ROOT) + "/ConifgENRes/Language.ini");
  const auto zh = BackupTexts(std::string(DTU_SKIN_ROOT) + "/ConifgRes/Language.ini");
  auto placeholders = [](const std::string& text) {
    std::set<std::string> marks;
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1))
      marks.insert(text.substr(at, 2));
    return marks;
  };
  for (const char* key : keys) {
    ASSERT_TRUE(en.count(key)) << key;
    ASSERT_TRUE(zh.count(key)) << key;
    EXPECT_FALSE(en.at(key).empty()) << key;
    EXPECT_NE(en.at(key), zh.at(key)) << key << " is translated";
    EXPECT_EQ(placeholders(en.at(key)), placeholders(zh.at(key))) << key;
  }
  EXPECT_EQ(en.size(), std::size(keys)) << "no text the program does not read";
  EXPECT_EQ(zh.size(), std::size(keys));
}
