// What the device answers to one command line in its setting mode.
#pragma once

#include <string>
#include <string_view>

#include "device_config.h"

struct CommandAnswer {
  std::string text;           // the reply after the echo, line ends included
  bool leaveSetting = false;  // the device goes back to data mode after the reply
};

// The device's clock, set by AT+EXCCLK.
struct DeviceClock {
  std::string text = "2024/01/01,00:00:00";
};

// Answers `line` (without its line end). Values are validated against the parameter table;
// anything the device does not know is answered "ERROR".
CommandAnswer AnswerSettingCommand(std::string_view line, DeviceConfig& config, DeviceClock& clock);

// The setting menu the device prints when the boot prompt is answered, and for AT+LIST.
std::string SettingMenuText();
