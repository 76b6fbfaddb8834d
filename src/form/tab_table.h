// The twelve tabs of the form in their fixed order. A tab's index is the index of its page in
// "switch" and the page number of the catalogue rows on it.
#pragma once

#include <array>
#include <string>

struct TabEntry {
  std::string name;   // the tab control in the strip, e.g. "ServerTab"
  bool shown = true;  // offered; a tab not shown is hidden and its rows are not written
};

constexpr int kTabCount = 12;

enum TabIndex {
  kWorkModeTab = 0,
  kServerTab,
  kSerialTab,
  kIOTab,
  kWirelessTab,
  kGlobalTab,
  kEquimentTab,
  kLoraTab,
  kZigbeeTab,
  kGPSTab,
  kModbusTab,
  kOperationTab,
};

class TabTable {
 public:
  TabTable();
  // Every tab offered again, as at start-up.
  void Reset();

  TabEntry& operator[](int index) { return entries_[static_cast<size_t>(index)]; }
  const TabEntry& operator[](int index) const { return entries_[static_cast<size_t>(index)]; }
  int size() const { return kTabCount; }

  // The tab's option button: its name without the trailing "Tab" ("ServerTab" -> "Server").
  static std::string OptionName(const std::string& tabName);

 private:
  std::array<TabEntry, kTabCount> entries_;
};
