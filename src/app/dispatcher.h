// Small pieces of the dispatcher that are worth testing on their own.
#pragma once

#include <ctime>
#include <string>

// A routing arrow's image after a click: "disable" becomes "enable" everywhere, or else
// "enable" becomes "disable".
std::string ToggledChannelImage(const std::string& image);

// The command that sets the device clock to `local`:
// AT+EXCCLK="2024/03/05,08:07:06",5 followed by CR LF.
std::string ClockCommand(const std::tm& local);
