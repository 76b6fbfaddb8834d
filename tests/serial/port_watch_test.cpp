// The watch over the folders where adapters appear, on a real temporary folder.
#include "port_watch.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "event_loop.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

TEST(PortWatch, ALinkAppearingAndGoingAwayIsReportedOnceItSettled) {
  TempDir dir;
  fs::create_directories(dir.Path() + "by-id");
  int changes = 0;
  PortWatch watch(
      {dir.Path() + "by-id"}, [&] { ++changes; }, 50);
  fs::create_symlink("/dev/null", dir.Path() + "by-id/usb-FTDI-if00-port0");
  fs::create_symlink("/dev/null", dir.Path() + "by-id/usb-FTDI-if01-port0");
  ASSERT_TRUE(PumpUntil([&] { return changes > 0; }));
  // Both links of one plug came in one burst.
  PumpFor(200);
  EXPECT_EQ(changes, 1);
  fs::remove(dir.Path() + "by-id/usb-FTDI-if00-port0");
  EXPECT_TRUE(PumpUntil([&] { return changes == 2; }));
}

TEST(PortWatch, AFolderThatAppearsLaterIsTakenUp) {
  TempDir dir;
  fs::create_directories(dir.Path() + "dev");
  const std::string byId = dir.Path() + "dev/serial/by-id";
  int changes = 0;
  PortWatch watch(
      {byId}, [&] { ++changes; }, 20);
  // Before the first adapter there is no by-id folder: its parent stands in.
  EXPECT_EQ(watch.Watched(), std::vector<std::string>{dir.Path() + "dev"});

  fs::create_directories(byId);
  ASSERT_TRUE(PumpUntil([&] { return changes >= 1; }));
  EXPECT_TRUE(PumpUntil([&] { return watch.Watched() == std::vector<std::string>{byId}; }));
  const int before = changes;
  fs::create_symlink("/dev/null", byId + "/usb-CP2102-if00-port0");
  EXPECT_TRUE(PumpUntil([&] { return changes > before; }));

  // The last adapter unplugged: udev removes the folder, and the parent is watched again.
  fs::remove_all(dir.Path() + "dev/serial");
  EXPECT_TRUE(
      PumpUntil([&] { return watch.Watched() == std::vector<std::string>{dir.Path() + "dev"}; }));
}

}  // namespace
