#include "app/button_sets.h"
#include "app/dispatcher.h"
#include "app/title_texts.h"

#include <gtest/gtest.h>

TEST(TitleTexts, VersionAndDateInBothLanguages) {
  EXPECT_EQ(VersionLabelText(0, ""), "DTUConfigureTool V1.9.2");
  EXPECT_EQ(VersionLabelText(0, "-Custom"), "DTUConfigureTool V1.9.2-Custom");
  EXPECT_EQ(VersionLabelText(1, ""), "DTU配置工具 V1.9.2");
  EXPECT_EQ(VersionLabelText(2, "X"), "DTU配置工具 V1.9.2X");
  EXPECT_EQ(VersionDateText(0), "2021/03/26 V1.9.2");
  EXPECT_EQ(VersionDateText(1), "2021年03月26日 V1.9.2");
}

TEST(ButtonSets, OnlyFourSetsExist) {
  for (long set = 0; set <= 3; ++set) EXPECT_NE(FindButtonSet(set), nullptr) << set;
  EXPECT_EQ(FindButtonSet(4), nullptr);
  EXPECT_EQ(FindButtonSet(7), nullptr);
  EXPECT_EQ(FindButtonSet(-1), nullptr);
}

TEST(Dispatcher, ChannelArrowTogglesEveryOccurrence) {
  EXPECT_EQ(ToggledChannelImage("file='arrow_enable.png' source='enable'"),
            "file='arrow_disable.png' source='disable'");
  EXPECT_EQ(ToggledChannelImage("arrow_disable.png"), "arrow_enable.png");
  EXPECT_EQ(ToggledChannelImage(ToggledChannelImage("a_enable.png")), "a_enable.png");
  EXPECT_EQ(ToggledChannelImage("plain.png"), "plain.png");
}

TEST(Dispatcher, ClockCommandQuotesTheLocalTime) {
  std::tm t{};
  t.tm_year = 2024 - 1900;
  t.tm_mon = 2;
  t.tm_mday = 5;
  t.tm_hour = 8;
  t.tm_min = 7;
  t.tm_sec = 6;
  EXPECT_EQ(ClockCommand(t), "AT+EXCCLK=\"2024/03/05,08:07:06\",5\r\n");
}

TEST(TitleTexts, TheWindowTitleNamesTheDeviceThenTheProgram) {
  EXPECT_EQ(WindowTitleText("", ""), "dtu-config");
  EXPECT_EQ(WindowTitleText("", "/dev/ttyUSB0"), "/dev/ttyUSB0 \u2014 dtu-config");
  EXPECT_EQ(WindowTitleText("ZR350", "/dev/ttyUSB0"), "ZR350 (/dev/ttyUSB0) \u2014 dtu-config");
  EXPECT_EQ(WindowTitleText("ZR350", ""), "ZR350 \u2014 dtu-config");
}
