// Naming the process that holds a port, on a real pseudo-terminal held by this very process, and
// ModemManager's part on fake /proc and udev trees.
#include "port_holder.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string OwnName() {
  std::ifstream in("/proc/self/comm");
  std::string name;
  std::getline(in, name);
  return name;
}

TEST(PortHolders, AHeldPtyNamesThisProcessAlsoThroughALink) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string slave = ptsname(master);
  EXPECT_TRUE(FindPortHolders(slave).empty());

  const int held = open(slave.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(held, 0);
  const std::vector<PortHolder> holders = FindPortHolders(slave);
  ASSERT_EQ(holders.size(), 1u);
  EXPECT_EQ(holders[0].pid, getpid());
  EXPECT_EQ(holders[0].name, OwnName());
  EXPECT_EQ(DescribeHolders(holders), OwnName() + " (pid " + std::to_string(getpid()) + ")");

  // The user chose the adapter by a link (by-id): the holder is found all the same.
  TempDir dir;
  fs::create_symlink(slave, dir.Path() + "usb-FTDI-if00-port0");
  EXPECT_EQ(FindPortHolders(dir.Path() + "usb-FTDI-if00-port0").size(), 1u);

  close(held);
  close(master);
  EXPECT_TRUE(FindPortHolders("/nonexistent/ttyUSB9").empty());
}

TEST(ModemManager, IsFoundRunningByItsCommandName) {
  TempDir proc;
  auto process = [&](const std::string& pid, const std::string& name) {
    fs::create_directories(proc.Path() + pid);
    std::ofstream(proc.Path() + pid + "/comm") << name << "\n";
  };
  process("1", "systemd");
  process("self", "ModemManager");  // not a process folder
  EXPECT_FALSE(ModemManagerRunning(proc.Path()));
  process("812", "ModemManager");
  EXPECT_TRUE(ModemManagerRunning(proc.Path()));
}

TEST(ModemManager, ProbesUsbAdaptersUnlessUdevMarkedThemIgnored) {
  TempDir dir;
  // Only ttyUSB and ttyACM are probed; a pty or a built-in UART is not.
  fs::create_symlink("/dev/null", dir.Path() + "ttyS0");
  EXPECT_FALSE(ModemManagerProbes(dir.Path() + "ttyS0", dir.Path()));
  EXPECT_FALSE(ModemManagerProbes("/dev/null", dir.Path()));
  EXPECT_FALSE(ModemManagerProbes("/nonexistent/ttyUSB0", dir.Path()));

  // /dev/null stands in for the adapter's node (character device 1:3).
  fs::create_symlink("/dev/null", dir.Path() + "ttyUSB0");
  fs::create_directories(dir.Path() + "udev");
  EXPECT_TRUE(ModemManagerProbes(dir.Path() + "ttyUSB0", dir.Path() + "udev"));
  std::ofstream(dir.Path() + "udev/c1:3") << "I:123\nE:ID_VENDOR=FTDI\nE:ID_MM_DEVICE_IGNORE=1\n";
  EXPECT_FALSE(ModemManagerProbes(dir.Path() + "ttyUSB0", dir.Path() + "udev"));
}

}  // namespace
