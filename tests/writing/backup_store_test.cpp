// The backups kept before writing to a device: their names, their folder and modes, the rotation
// that keeps the newest 20 per port, and the one decision "back up before the first write after a
// read, write nothing when that fails", all on real files in temporary folders.
#include "writing/backup_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "temp_dir.h"
#include "writing/config_file.h"
#include "writing/write_backup.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Reply() {
  return ReadBytes(std::string(DTU_TEST_DATA_DIR) + "/show/zr350v4_show.reply");
}

unsigned ModeOf(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

// 2026-12-11 01:58:03 local time, plus `seconds`.
std::time_t At(int seconds) {
  std::tm local{};
  local.tm_year = 126;
  local.tm_mon = 11;
  local.tm_mday = 11;
  local.tm_hour = 1;
  local.tm_min = 58;
  local.tm_sec = 3;
  local.tm_isdst = -1;
  return std::mktime(&local) + seconds;
}

TEST(BackupNames, FileNamePartsHoldNoSeparatorAndNoPathCharacters) {
  struct Case {
    const char* in;
    const char* out;
  } const cases[] = {
      {"ZR350-L", "ZR350-L"},
      {"ZR 350/V4", "ZR_350_V4"},
      {"a__b___c", "a_b_c"},
      {"__lead and trail__", "lead_and_trail"},
      {"..", "unknown"},
      {"", "unknown"},
      {"\xC9\xE8\xB1\xB8", "unknown"},  // GB 18030 bytes
      {"usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
       "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"},
  };
  for (const Case& c : cases) EXPECT_EQ(FileNamePart(c.in), c.out) << c.in;
  EXPECT_EQ(FileNamePart(std::string(300, 'x')).size(), 80u);
}

TEST(BackupNames, ThePortIsNamedByItsByIdLinkElseByItsNode) {
  TempDir dir;
  const std::string node = dir.Write("ttyUSB7", "");
  const std::string byId = dir.Path() + "by-id";
  ASSERT_EQ(mkdir(byId.c_str(), 0755), 0);
  const std::string link = byId + "/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  ASSERT_EQ(symlink(node.c_str(), link.c_str()), 0);
  const std::string other = dir.Write("ttyUSB8", "");

  // The node the link leads to, the link itself, and a second link to the same node.
  EXPECT_EQ(BackupPortName(node, byId), "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
  EXPECT_EQ(BackupPortName(link, byId), "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
  ASSERT_EQ(symlink(node.c_str(), (byId + "/usb-AAA-if00").c_str()), 0);
  EXPECT_EQ(BackupPortName(node, byId), "usb-AAA-if00") << "the same link every time";
  // No link: the node's name below /dev, or the whole path made a name.
  EXPECT_EQ(BackupPortName("/dev/null", byId), "null");
  EXPECT_EQ(BackupPortName("/dev/null", dir.Path() + "no-such-folder"), "null");
  std::string path = other.substr(1);
  std::replace(path.begin(), path.end(), '/', '-');
  EXPECT_EQ(BackupPortName(other, byId), FileNamePart(path));
}

TEST(BackupNames, TheDeviceTypeComesFromItsOwnLine) {
  EXPECT_EQ(DeviceTypeOf(Reply()), "ZR350-L");
  EXPECT_EQ(DeviceTypeOf("Access Point Name:Device Type:x\r\nDevice Type: A B \r\n"), "A B");
  EXPECT_EQ(DeviceTypeOf("Access Point Name:x\r\n"), "");
}

TEST(BackupStore, AFileHoldsTheReplyPrivatelyInFoldersCreatedPrivate) {
  TempDir dir;
  const std::string reply = Reply();
  BackupPlace place;
  place.dir = dir.Path() + "state/dtu-config/backups";
  const BackupResult result = WriteBackup(place, "/dev/null", reply, At(0));
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.path, place.dir + "/null__ZR350-L__20261211-015803.cfg");
  EXPECT_EQ(ModeOf(result.path), 0600u);
  for (const char* folder : {"state", "state/dtu-config", "state/dtu-config/backups"})
    EXPECT_EQ(ModeOf(dir.Path() + folder), 0700u) << folder;
  // The bytes a "Save file" of the same reply holds, and they load back as the reply.
  EXPECT_EQ(ReadBytes(result.path), EncodeConfigFile(reply));
  std::string text;
  std::string error;
  ASSERT_TRUE(ReadConfigFileFrom(result.path, &text, &error)) << error;
  EXPECT_EQ(text, reply);
}

TEST(BackupStore, BackupsWithinOneSecondFollowEachOther) {
  TempDir dir;
  BackupPlace place;
  place.dir = dir.Path() + "b";
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(WriteBackup(place, "/dev/null", Reply(), At(0)).ok);
  ASSERT_TRUE(WriteBackup(place, "/dev/null", "Device Type:Other\r\n", At(0)).ok);
  EXPECT_THAT(
      ListBackups(place.dir, "null"),
      ElementsAre("null__ZR350-L__20261211-015803.cfg", "null__ZR350-L__20261211-015803-2.cfg",
                  "null__ZR350-L__20261211-015803-3.cfg", "null__Other__20261211-015803-4.cfg"));
}

TEST(BackupStore, TheNewestTwentyOfEachPortAreKept) {
  TempDir dir;
  BackupPlace place;
  place.dir = dir.Path() + "b";
  ASSERT_EQ(mkdir(place.dir.c_str(), 0700), 0);
  // Another port, a port whose name begins like this one's, and files that are no backups.
  const std::vector<std::string> others = {"zero__ZR350-L__20200101-000000.cfg",
                                           "null0__ZR350-L__20200101-000000.cfg", "null__notes.txt",
                                           "null__x__yesterday.cfg"};
  for (const std::string& name : others) dir.Write("b/" + name, "x");
  std::vector<std::string> written;
  for (int i = 0; i < 25; ++i) {
    const BackupResult result = WriteBackup(place, "/dev/null", Reply(), At(i * 61));
    ASSERT_TRUE(result.ok) << result.error;
    written.push_back(result.path.substr(place.dir.size() + 1));
  }
  const std::vector<std::string> kept = ListBackups(place.dir, "null");
  EXPECT_EQ(kept, std::vector<std::string>(written.begin() + 5, written.end()));
  for (const std::string& name : others) EXPECT_EQ(dir.Read("b/" + name), "x") << name;
  EXPECT_EQ(ListBackups(place.dir, "zero").size(), 1u);
}

TEST(BackupStore, AFolderThatCannotBeMadeOrWrittenIsRefusedWithTheReason) {
  TempDir dir;
  const std::string file = dir.Write("plain-file", "x");
  BackupPlace place;
  place.dir = file + "/backups";
  BackupResult result = WriteBackup(place, "/dev/null", Reply(), At(0));
  EXPECT_FALSE(result.ok);
  EXPECT_THAT(result.error, HasSubstr("is not a folder"));
  EXPECT_EQ(result.fault, BackupFault::kFolder);
  EXPECT_EQ(result.where, file);
  place.dir.clear();
  EXPECT_EQ(WriteBackup(place, "/dev/null", Reply(), At(0)).fault, BackupFault::kNoFolder);
  if (geteuid() != 0) {  // the superuser writes into read-only folders
    place.dir = dir.Path() + "read-only";
    ASSERT_EQ(mkdir(place.dir.c_str(), 0500), 0);
    result = WriteBackup(place, "/dev/null", Reply(), At(0));
    EXPECT_FALSE(result.ok);
    EXPECT_THAT(result.error, HasSubstr("Permission denied"));
    EXPECT_EQ(result.fault, BackupFault::kFile);
  }
}

class BackupBeforeWritesTest : public testing::Test {
 protected:
  void SetUp() override {
    BackupSettings settings;
    settings.dir = dir_.Path() + "b";
    gate_.Configure(settings);
    gate_.PortOpened("/dev/null");
  }
  size_t Files() { return ListBackups(dir_.Path() + "b", "null").size(); }

  TempDir dir_;
  BackupBeforeWrites gate_;
};

TEST_F(BackupBeforeWritesTest, OneBackupPerReadBeforeItsFirstWrite) {
  // Nothing read yet: writes are refused, an empty batch needs nothing.
  EXPECT_TRUE(gate_.BeforeWrites(0, At(0)).proceed);
  BackupStep step = gate_.BeforeWrites(3, At(0));
  EXPECT_FALSE(step.proceed);
  EXPECT_EQ(step.refusal, BackupRefusal::kNothingRead);
  EXPECT_EQ(Files(), 0u);

  gate_.DeviceRead(Reply());
  EXPECT_TRUE(gate_.BeforeWrites(0, At(0)).proceed);
  EXPECT_EQ(Files(), 0u) << "a batch without writes needs no backup";
  step = gate_.BeforeWrites(2, At(1));
  ASSERT_TRUE(step.proceed);
  EXPECT_TRUE(step.made);
  EXPECT_EQ(std::string(DecodeConfigFile(ReadBytes(step.path))), Reply());
  // A second batch before the next read: the first backup still holds the device as it was.
  const BackupStep again = gate_.BeforeWrites(1, At(2));
  EXPECT_TRUE(again.proceed);
  EXPECT_FALSE(again.made);
  EXPECT_EQ(again.path, step.path);
  EXPECT_EQ(Files(), 1u);
  // A new read is the next backup's content.
  gate_.DeviceRead(Reply() + "x");
  EXPECT_TRUE(gate_.BeforeWrites(1, At(3)).made);
  EXPECT_EQ(Files(), 2u);
  // Another opening forgets the read.
  gate_.PortOpened("/dev/null");
  EXPECT_EQ(gate_.BeforeWrites(1, At(4)).refusal, BackupRefusal::kNothingRead);
}

TEST_F(BackupBeforeWritesTest, AFailedBackupStopsEveryBatchUntilOneSucceeds) {
  const std::string blocker = dir_.Write("blocker", "x");
  BackupSettings settings;
  settings.dir = blocker + "/b";
  gate_.Configure(settings);
  gate_.DeviceRead(Reply());
  for (int i = 0; i < 2; ++i) {
    const BackupStep step = gate_.BeforeWrites(1, At(i));
    EXPECT_FALSE(step.proceed);
    EXPECT_EQ(step.refusal, BackupRefusal::kNotWritten);
    EXPECT_THAT(BackupRefusalText(step), HasSubstr("nothing was written"));
  }
  settings.dir = dir_.Path() + "b";
  gate_.Configure(settings);
  EXPECT_TRUE(gate_.BeforeWrites(1, At(3)).made);
}

TEST_F(BackupBeforeWritesTest, NoBackupWhenSwitchedOff) {
  BackupSettings settings;
  settings.enabled = false;
  gate_.Configure(settings);
  const BackupStep step = gate_.BeforeWrites(5, At(0));
  EXPECT_TRUE(step.proceed);
  EXPECT_FALSE(step.made);
  EXPECT_TRUE(step.path.empty());
}

TEST(BackupDefaultDir, FollowsXdgStateHomeElseTheHome) {
  const char* saved = std::getenv("XDG_STATE_HOME");
  const std::string keep = saved ? saved : "";
  setenv("XDG_STATE_HOME", "/somewhere/state", 1);
  EXPECT_EQ(DefaultBackupDir(), "/somewhere/state/dtu-config/backups");
  setenv("XDG_STATE_HOME", "relative", 1);
  EXPECT_THAT(DefaultBackupDir(), StartsWith("/"));
  EXPECT_THAT(DefaultBackupDir(), HasSubstr("/.local/state/dtu-config/backups"));
  if (saved) {
    setenv("XDG_STATE_HOME", keep.c_str(), 1);
  } else {
    unsetenv("XDG_STATE_HOME");
  }
}

}  // namespace

namespace {

// The tests' own environment: ctest gives every test a state folder inside the build, so that
// the backups of the programs under test never land in the home of whoever runs them.
TEST(BackupTestEnvironment, TheStateFolderLiesOutsideTheHome) {
  const char* state = std::getenv("XDG_STATE_HOME");
  ASSERT_NE(state, nullptr) << "tests/CMakeLists.txt sets XDG_STATE_HOME for every test";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') {
    EXPECT_THAT(DefaultBackupDir(), ::testing::Not(StartsWith(std::string(home) + "/.local")));
  }
}

}  // namespace
