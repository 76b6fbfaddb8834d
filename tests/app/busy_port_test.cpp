// The log lines about a busy port, on fake /proc and udev trees, in both languages.
#include "app/busy_port.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "temp_dir.h"
#include "texts/language.h"

namespace fs = std::filesystem;

namespace {

class BusyPortTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(Proc() + "1");
    std::ofstream(Proc() + "1/comm") << "systemd\n";
    fs::create_directories(Udev());
    // /dev/null stands in for the adapter's node.
    fs::create_symlink("/dev/null", Port());
  }
  std::string Proc() { return dir_.Path() + "proc/"; }
  std::string Udev() { return dir_.Path() + "udev"; }
  std::string Port() { return dir_.Path() + "ttyUSB0"; }
  void Process(const std::string& pid, const std::string& name, const std::string& holds) {
    fs::create_directories(Proc() + pid + "/fd");
    std::ofstream(Proc() + pid + "/comm") << name << "\n";
    if (!holds.empty()) fs::create_symlink(holds, Proc() + pid + "/fd/3");
  }

  TempDir dir_;
};

TEST_F(BusyPortTest, NamesTheHolderAndModemManagersPart) {
  SetLanguageFile(DTU_SKIN_ROOT "/ConifgENRes/Language.ini");
  EXPECT_EQ(BusyPortLines(Port(), Proc(), Udev()), "");

  Process("4242", "minicom", "/dev/null");
  EXPECT_EQ(BusyPortLines(Port(), Proc(), Udev()), Port() + " is held by minicom (pid 4242)\r\n");

  Process("812", "ModemManager", "");
  const std::string lines = BusyPortLines(Port(), Proc(), Udev());
  EXPECT_NE(lines.find("ModemManager is running"), std::string::npos) << lines;
  EXPECT_NE(lines.find("/usr/share/doc/dtu-config/examples/"), std::string::npos) << lines;

  // Marked by the udev rule: ModemManager leaves it alone, so it is not blamed.
  std::ofstream(Udev() + "/c1:3") << "E:ID_MM_DEVICE_IGNORE=1\n";
  EXPECT_EQ(BusyPortLines(Port(), Proc(), Udev()), Port() + " is held by minicom (pid 4242)\r\n");

  SetLanguageFile(DTU_SKIN_ROOT "/ConifgRes/Language.ini");
  EXPECT_EQ(BusyPortLines(Port(), Proc(), Udev()), Port() + " 正被 minicom (pid 4242) 占用\r\n");
}

}  // namespace
