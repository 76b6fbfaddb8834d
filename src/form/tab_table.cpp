#include "form/tab_table.h"

namespace {
// The names are the skin's; "EquimentTab" is spelled as the skin has always spelled it.
constexpr const char* kTabNames[kTabCount] = {
    "WorkModeTab", "ServerTab", "SerialTab", "IOTab",  "WirelessTab", "GlobalTab",
    "EquimentTab", "LoraTab",   "ZigbeeTab", "GPSTab", "ModbusTab",   "OperationTab",
};
}  // namespace

TabTable::TabTable() {
  Reset();
}

void TabTable::Reset() {
  for (int i = 0; i < kTabCount; ++i) entries_[static_cast<size_t>(i)] = {kTabNames[i], true};
}

std::string TabTable::OptionName(const std::string& tabName) {
  return tabName.size() >= 3 ? tabName.substr(0, tabName.size() - 3) : std::string();
}
