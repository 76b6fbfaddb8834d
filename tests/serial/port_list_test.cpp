// Port discovery over fake /dev and /sys trees in a temporary folder.
#include "port_list.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class PortListTest : public testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/dtu-port-list-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    root = name;
    fs::create_directories(root / "dev/serial/by-id");
    fs::create_directories(root / "sys/class/tty");
    fs::create_directories(root / "sys/devices");
  }
  void TearDown() override { fs::remove_all(root); }

  void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text << "\n";
  }
  // A tty whose device lies at sys/devices/<devicePath>; an empty devicePath means a virtual tty.
  void AddTty(const std::string& name, const std::string& devicePath, bool withNode = true) {
    fs::path entry = root / "sys/class/tty" / name;
    fs::create_directories(entry);
    if (!devicePath.empty()) {
      fs::create_directories(root / "sys/devices" / devicePath);
      fs::create_directory_symlink(root / "sys/devices" / devicePath, entry / "device");
    }
    if (withNode) WriteFile(root / "dev" / name, "");
  }
  std::string Dev(const std::string& name) { return (root / "dev" / name).string(); }
  std::vector<PortInfo> List() {
    return ListSerialPorts((root / "dev/serial/by-id").string(), (root / "sys/class/tty").string(),
                           (root / "dev").string());
  }

  fs::path root;
};

TEST_F(PortListTest, ListsRealDevicesWithDescriptionsInNaturalOrder) {
  AddTty("tty0", "");
  AddTty("ttyS0", "platform/serial8250/tty/ttyS0");
  WriteFile(root / "sys/class/tty/ttyS0/type", "0");
  AddTty("ttyS1", "pnp0/00:05");
  WriteFile(root / "sys/class/tty/ttyS1/type", "4");
  AddTty("ttyUSB0", "usb1/1-1/1-1:1.0/ttyUSB0");
  WriteFile(root / "sys/devices/usb1/1-1/manufacturer", "FTDI");
  WriteFile(root / "sys/devices/usb1/1-1/product", "FT232R USB UART");
  AddTty("ttyUSB10", "usb1/1-3/1-3:1.0/ttyUSB10");
  WriteFile(root / "sys/devices/usb1/1-3/product", "CP2102 USB to UART Bridge Controller");
  WriteFile(root / "sys/devices/usb1/1-3/manufacturer", "CP2102");
  AddTty("ttyUSB2", "usb1/1-2/1-2:1.0/ttyUSB2");
  AddTty("ttyUSB5", "usb1/1-5/1-5:1.0/ttyUSB5", /*withNode=*/false);
  AddTty("ttyACM0", "usb2/2-1/2-1:1.0");
  fs::create_symlink("../../ttyACM0", root / "dev/serial/by-id/usb-Quectel_EC25_0123-if02");
  fs::create_symlink("../../ttyUSB0",
                     root / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");

  std::vector<PortInfo> ports = List();
  ASSERT_EQ(ports.size(), 5u);
  // Plugged adapters first, the built-in UART last.
  EXPECT_EQ(ports[0].path, Dev("ttyACM0"));
  EXPECT_EQ(ports[0].description, "Quectel EC25 0123");
  EXPECT_EQ(ports[0].byId, (root / "dev/serial/by-id/usb-Quectel_EC25_0123-if02").string());
  EXPECT_EQ(ports[1].path, Dev("ttyUSB0"));
  EXPECT_EQ(ports[1].description, "FTDI FT232R USB UART");
  EXPECT_EQ(ports[2].path, Dev("ttyUSB2"));
  EXPECT_EQ(ports[2].description, "");
  EXPECT_EQ(ports[2].byId, "");
  EXPECT_EQ(ports[3].path, Dev("ttyUSB10"));
  EXPECT_EQ(ports[3].description, "CP2102 USB to UART Bridge Controller");
  EXPECT_EQ(ports[4].path, Dev("ttyS1"));
  EXPECT_EQ(ports[4].description, "");
  for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(ports[i].usb) << ports[i].path;
  EXPECT_FALSE(ports[4].usb);
  EXPECT_GT(ports[0].pluggedAt, 0);
}

TEST_F(PortListTest, DeviceKnownOnlyByIdIsListed) {
  WriteFile(root / "dev/ttyACM3", "");
  fs::create_symlink("../../ttyACM3", root / "dev/serial/by-id/usb-Acme_DTU-if00");
  std::vector<PortInfo> ports = List();
  ASSERT_EQ(ports.size(), 1u);
  EXPECT_EQ(ports[0].path, Dev("ttyACM3"));
  EXPECT_EQ(ports[0].description, "Acme DTU");
}

TEST_F(PortListTest, MissingTreesGiveAnEmptyList) {
  EXPECT_TRUE(ListSerialPorts("/nonexistent/by-id", "/nonexistent/tty", "/nonexistent").empty());
  EXPECT_TRUE(List().empty());
}

TEST(PortDisplayText, PathSurvivesTheRoundTripAndTypedTextIsAccepted) {
  const PortInfo ports[] = {{"/dev/ttyUSB0", "FTDI FT232R USB UART", true, 0, ""},
                            {"/dev/pts/3", "", false, 0, ""}};
  for (const PortInfo& port : ports)
    EXPECT_EQ(PortPathFromDisplayText(PortDisplayText(port)), port.path);
  EXPECT_EQ(PortDisplayText(ports[0]), "/dev/ttyUSB0 \xE2\x80\x94 FTDI FT232R USB UART");
  EXPECT_EQ(PortDisplayText(ports[1]), "/dev/pts/3");

  struct Case {
    const char* typed;
    const char* path;
  } cases[] = {
      {"  /dev/ttyACM0 ", "/dev/ttyACM0"},
      {"ttyUSB1", "/dev/ttyUSB1"},
      {"/dev/serial/by-id/usb-FTDI_FT232R-if00-port0",
       "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0"},
      {"", ""},
      {"   ", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(PortPathFromDisplayText(c.typed), c.path) << c.typed;
}

}  // namespace
