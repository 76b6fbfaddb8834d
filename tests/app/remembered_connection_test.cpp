// The last connection in config.ini: written in one go beside the other settings, read back.
#include "texts/remembered_connection.h"

#include <gtest/gtest.h>

#include <QDir>

#include "temp_dir.h"
#include "texts/settings.h"

namespace {

TEST(RememberedConnection, RoundTripsAndKeepsTheOtherSettings) {
  TempDir dir;
  const std::string config =
      dir.Write("config.ini", "[Set]\r\nLanguage=1\r\n\r\n[CustomVer]\r\nCustomVer=-Field\r\n");
  EXPECT_EQ(ReadRememberedConnection(config).port, "");

  std::string error;
  ASSERT_TRUE(WriteRememberedConnection(config, {"/dev/ttyUSB0", "9600", "8E1"}, &error)) << error;
  ASSERT_TRUE(WriteRememberedConnection(
      config, {"/dev/serial/by-id/usb-FTDI_FT232R-if00-port0", "115200", "8N1"}, &error));
  const RememberedConnection back = ReadRememberedConnection(config);
  EXPECT_EQ(back.port, "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
  EXPECT_EQ(back.baudRate, "115200");
  EXPECT_EQ(back.lineCode, "8N1");
  EXPECT_EQ(ReadLanguageValue(config), 1);
  EXPECT_EQ(ReadIniString(config, "CustomVer", "CustomVer", "", 260), "-Field");
  // Written again, not appended: one section, one line per key.
  const std::string text = dir.Read("config.ini");
  EXPECT_EQ(text.find("[Port]"), text.rfind("[Port]"));
  EXPECT_EQ(text.find("Path="), text.rfind("Path="));
}

TEST(RememberedConnection, AFileThatCannotBeWrittenSaysWhyAndStaysAsItWas) {
  TempDir dir;
  // The settings path is a folder: nothing can replace it.
  const std::string config = dir.Path() + "config.ini";
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(config)));
  std::string error;
  EXPECT_FALSE(WriteRememberedConnection(config, {"/dev/ttyUSB0", "9600", "8N1"}, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadRememberedConnection(config).port, "");
}

}  // namespace
