// The device's boot prompt and its idle notice are told apart from parameter values that hold
// the same words: a value line (a label and its colon, a sensor item) or the echo of the write
// that stores such a value never counts; the device's own lines count wherever they stand.
#include <gtest/gtest.h>

#include <string>

#include "exchange/device_notices.h"

namespace {

constexpr size_t npos = std::string::npos;

struct NoticeCase {
  const char* what;
  std::string collected;
  std::string_view notice;
  std::string command;
  bool found;
};

TEST(DeviceNotices, ValueLinesNeverCountAndTheDevicesOwnLinesAlwaysDo) {
  const NoticeCase cases[] = {
      {"a register text in a show reply", "\r\nCustom Register Info:Press 's' key\r\n",
       kBootPromptText, "AT+SHOW\r\n", false},
      {"a label that carries a blank before its colon", "\r\nZigBee_NetworkID :'s' key\r\nOK\r\n",
       kBootPromptText, "", false},
      {"the idle notice as a heartbeat text",
       "APN:x\r\nCustom Keep Online Info:Seting Timeout and quit\r\n", kTimeoutQuitText, "", false},
      {"a sensor item line", "\r\nGENSENSORINFO 12:1,1,3,0,2,0,2,1,'s' key,0\r\n", kBootPromptText,
       "", false},
      {"a value line not complete yet", "\r\nMQTT Send Topic:a/'s' key", kBootPromptText, "",
       false},
      {"the echo of the write that stores it", "AT+CONNRGST=Press 's' key\r\n", kBootPromptText,
       "AT+CONNRGST=Press 's' key\r\n", false},
      {"the echo still arriving", "\r\nAT+LINKRGST=Seting Timeout and quit", kTimeoutQuitText,
       "AT+LINKRGST=Seting Timeout and quit now\r\n", false},
      {"the boot prompt alone", "Press 's' key to enter setting menu (3)\r\n", kBootPromptText, "",
       true},
      {"the prompt behind a banner line", "\r\nDTU starting\r\nPress 's' key (2)\r\n",
       kBootPromptText, "AT+SHOW\r\n", true},
      {"the prompt behind noise on its line", "\x01\xff~Press 's' key", kBootPromptText, "", true},
      {"the prompt behind a value line", "\r\nCustom Register Info:'s' key\r\nPress 's' key",
       kBootPromptText, "AT+SHOW\r\n", true},
      {"the idle notice after a reply", "OK\r\nSeting Timeout and quit\r\n", kTimeoutQuitText,
       "At+CSQ\r\n", true},
      {"the prompt behind the echo of another command", "AT+APN=x\r\nPress 's' key",
       kBootPromptText, "AT+APN=x\r\n", true},
      {"a label without its colon is no value line", "Custom Register Info 's' key",
       kBootPromptText, "", true},
      {"a sensor stem without its number", "GENSENSORINFO :'s' key", kBootPromptText, "", true},
  };
  for (const NoticeCase& c : cases) {
    const size_t at = FindDeviceNotice(c.collected, c.notice, c.command);
    EXPECT_EQ(at != npos, c.found) << c.what;
    if (c.found && at != npos) {
      EXPECT_EQ(c.collected.substr(at, c.notice.size()), c.notice) << c.what;
    }
  }
}

TEST(DeviceNotices, EveryPrefixOfAValueLineStaysAValue) {
  // However the chunks cut it, the collected text never shows the value's words as a notice.
  const std::string reply =
      "AT+SHOW\r\n\r\nAccess Point Name:CMNET\r\nCustom Register Info:Press 's' key\r\n"
      "Custom Keep Online Info:Seting Timeout and quit\r\nOK\r\n";
  for (size_t n = 0; n <= reply.size(); ++n) {
    const std::string collected = reply.substr(0, n);
    EXPECT_EQ(FindDeviceNotice(collected, kBootPromptText, "AT+SHOW\r\n"), npos) << n;
    EXPECT_EQ(FindDeviceNotice(collected, kTimeoutQuitText, "AT+SHOW\r\n"), npos) << n;
  }
}

TEST(DeviceNotices, ValueLinesAreKnownByTheirLabels) {
  EXPECT_TRUE(IsValueLine("Access Point Name:CMNET"));
  EXPECT_TRUE(IsValueLine("Custom Register Info:"));
  EXPECT_TRUE(IsValueLine("GENSENSORINFO 0:1,2"));
  EXPECT_FALSE(IsValueLine("Press 's' key"));
  EXPECT_FALSE(IsValueLine("Access Point Name"));
  EXPECT_FALSE(IsValueLine(""));
}

}  // namespace
