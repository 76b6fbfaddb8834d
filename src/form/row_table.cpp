// The row table as data. Rows of the five DIO lines are written once with "#" standing for the
// line's digit ("IOLayout#.2.1" is "IOLayout3.2.1" for line 3).
#include "form/row_table.h"

#include <algorithm>
#include <array>
#include <map>

#include "form/form_rule.h"

namespace {

// A short list of catalogue rows; unused places stay null.
using Names = std::array<const char*, 16>;

struct RowSource {
  const char* row;
  Names params;
};

// clang-format off
constexpr RowSource kRows[] = {
    {"ModeHorizontalLayout1", {"Modem'sID number", "PhoneNO."}},
    {"ModeHorizontalLayout1.1", {"Modem'sID number"}},
    {"ModeHorizontalLayout1.2", {"Deliver Recved Tcp Data Directly"}},
    {"ModeLayout1.1", {"sms Phone1 No", "sms Phone2 No", "sms Phone3 No", "sms Phone4 No",
                       "sms Phone5 No"}},
    {"ModeLayout1.2", {"Show Phone NO", "Encode Hex SMS", "Send Hex SMS"}},
    {"ModeHorizontalLayout2", {"DeviceModel", "Transferprotocol"}},
    {"ModeHorizontalLayout4", {"RegistrationAndHeart"}},
    {"ModeHorizontalLayout5", {"ListenPort"}},
    {"ModeHorizontalLayout7", {"RegisterbHex"}},
    {"ModeHorizontalLayout8", {"RegisterInfo", "RegistrationReplyInfo", "HeartbeatPacket",
                               "HeartbeatPacketReplyInfo"}},
    {"ActivateHorizontalLayout2", {"On-line data", "Offline data"}},
    {"ActivateHorizontalLayout3", {"ActivationInterface", "DataFormat"}},
    {"ActivateHorizontalLayout4", {"IOactivationmethods"}},
    {"ActivateHorizontalLayout5", {"I/O selection"}},
    {"ActivateHorizontalLayout6", {"I/O1 control", "I/O2 control"}},
    {"ActivateHorizontalLayout6.1.1", {"I/O3 control"}},
    {"ActivateHorizontalLayout6.1.2", {"Sms Daemon Password"}},
    {"ActivateHorizontalLayout7", {"ActivationPhoneNO."}},
    {"ActivateHorizontalLayout8", {"SMSActivationNO."}},
    {"ActivateHorizontalLayout9", {"I/O1 Mode", "I/O2 Mode"}},
    {"DebugHorizontalLayout1", {"Debugging  port"}},
    {"ServiceGroupBox", {}},
    {"ServiceHorizontalLayout0", {"Server's Ip", "Server's Port"}},
    {"ServiceHorizontalLayout1", {"Secondary Server's Ip", "Secondary Server's Port"}},
    {"ServiceHorizontalLayout2", {"Server2's Ip", "Server2's Port"}},
    {"ServiceHorizontalLayout3", {"Server3's Ip", "Server3's Port"}},
    {"ServiceHorizontalLayout4", {"Server4's Ip", "Server4's Port"}},
    {"ServiceHorizontalLayout5", {"Server5's Ip", "Server5's Port"}},
    {"GlobalHorizontalLayout1", {"Lcp echo interval", "Lcp echo testing number"}},
    {"GlobalHorizontalLayout2", {"ICMP Ip", "ICMP interval", "ICMP testing number"}},
    {"EquimentLayout1", {"Dtu manage id", "dtu manage server's Ip", "Dtumanagetransferprotocol",
                         "dtu manage server's Port"}},
    {"EquimentLayout2", {"DTU SMS configure password", "DTU SMS administrator number"}},
    {"DtumanageGroupBox", {"dtu is connect to dtu manage platform"}},
    {"bindingCenterGroupBox", {"A serial port binding center"}},
    {"bindingCenterGroupBox2", {"A serial 2 port binding center"}},
    {"bindingCenterGroupBox3", {"RS485 port binding center"}},
    {"ActivateGroupBox", {"SMSActivationNO."}},
    {"LoraLayout", {"LORA TAddr"}},
    {"LoraPower", {"LORA Power"}},
    {"LoraPID", {"LORA pid"}},
    {"LoraType", {"LORA typ"}},
    {"HttpLayout", {"HTTP Request Mode"}},
    {"MQTTLayout", {"MQTT Client ID", "MQTT User Name", "MQTT Password", "MQTT Receive Topic",
                    "MQTT Send Topic", "MQTT KEY", "MQTT REPORPERIOD", "MQTT BATCHREPORT",
                    "MQTT CACHEEANBLE"}},
};

// The rows of each DIO line ("IOLayout#.4" holds only other rows and governs nothing).
constexpr RowSource kLineRows[] = {
    {"IO#GroupBox", {"DIO# workmode"}},
    {"IOLayout#.1", {"DIO# protocol"}},
    {"IOLayout#.2", {"DIO# interface"}},
    {"IOLayout#.2.1", {"DIO# SMS number"}},
    {"IOLayout#.3", {"DIO# reported methods"}},
    {"IOLayout#.3.1", {"DIO# reported times"}},
    {"IOLayout#.3.2", {"DIO# query command"}},
    {"IOLayout#.4.1", {"A DIO# data format"}},
    {"IOLayout#.4.2", {"DIO# output control result"}},
    {"IOLayout#.5", {"DIO# high level information", "DIO# low level information"}},
    {"IOLayout#.6", {"DIO# and mapping center"}},
    {"IOLayout#.7", {"DIO# upper threshold", "DIO# lower threshold"}},
};

// Switched off with the line's group box; the line's rule decides them when it is shown.
constexpr Names kLineInnerRows = {
    "DIO# protocol", "DIO# interface", "DIO# SMS number", "DIO# reported methods",
    "DIO# reported times", "DIO# query command", "DIO# high level information",
    "DIO# low level information", "DIO# and mapping center", "DIO# upper threshold", "DIO# lower threshold", "DIO# output control result",
    "A DIO# data format"};

// Line 3 and line 5 also carry an ADC type list beside their thresholds. Both belong to the
// rows of the analogue input: a hidden line 5 must not write its ADC type either.
constexpr int kAdcTypeLines[] = {3, 5};
constexpr const char* kAdcType = "DIO# ADCType";

// Switched off with "ActivateGroupBox", in this order; rule 1 decides them when it is shown.
constexpr Names kActivateInner = {
    "ActivationPhoneNO.", "I/O1 control", "I/O2 control", "I/O3 control", "I/O selection",
    "IOactivationmethods", "RegisterInfo", "RegistrationReplyInfo", "HeartbeatPacket",
    "HeartbeatPacketReplyInfo", "ActivationInterface", "DataFormat", "On-line data",
    "Offline data", "SMSActivationNO."};

// Switched off with "ServiceGroupBox": the other five servers. The first server keeps its flags
// and is made active again when the group is shown; rule 3 decides the rest.
constexpr Names kOtherServers = {
    "Secondary Server's Ip", "Secondary Server's Port", "Server2's Ip", "Server2's Port",
    "Server3's Ip", "Server3's Port", "Server4's Ip", "Server4's Port", "Server5's Ip",
    "Server5's Port"};
constexpr Names kFirstServer = {"Server's Ip", "Server's Port"};

// Switched off with "DtumanageGroupBox"; rule 6 decides them when it is shown.
constexpr Names kPlatformAddress = {"Dtu manage id", "dtu manage server's Ip",
                                    "Dtumanagetransferprotocol", "dtu manage server's Port"};

constexpr int kLineRules[] = {kRuleDioLine1, kRuleDioLine2, kRuleDioLine3, kRuleDioLine4,
                              kRuleDioLine5};
// clang-format on

std::string ForLine(std::string_view pattern, int line) {
  std::string text(pattern);
  std::replace(text.begin(), text.end(), '#', static_cast<char>('0' + line));
  return text;
}

void Append(std::vector<std::string>& to, const Names& names, int line = 0) {
  for (const char* name : names) {
    if (name) to.push_back(line ? ForLine(name, line) : std::string(name));
  }
}

bool HasAdcType(int line) {
  return std::find(std::begin(kAdcTypeLines), std::end(kAdcTypeLines), line) !=
         std::end(kAdcTypeLines);
}

std::vector<RowEntry> BuildEntries() {
  std::map<std::string, RowEntry, std::less<>> byName;
  for (const RowSource& source : kRows) {
    RowEntry entry{source.row, {}, {}, {}, -1};
    Append(entry.params, source.params);
    byName[entry.row] = std::move(entry);
  }
  for (int line = 1; line <= 5; ++line) {
    for (const RowSource& source : kLineRows) {
      RowEntry entry{ForLine(source.row, line), {}, {}, {}, -1};
      if (HasAdcType(line) && entry.row == ForLine("IOLayout#.7", line))
        entry.params.push_back(ForLine(kAdcType, line));
      Append(entry.params, source.params, line);
      byName[entry.row] = std::move(entry);
    }
    RowEntry& group = byName[ForLine("IO#GroupBox", line)];
    group.ruleWhenShown = kLineRules[line - 1];
    Append(group.inactiveWhenHidden, kLineInnerRows, line);
    if (HasAdcType(line)) group.inactiveWhenHidden.push_back(ForLine(kAdcType, line));
  }
  RowEntry& service = byName["ServiceGroupBox"];
  service.ruleWhenShown = kRuleServerCount;
  Append(service.activeWhenShown, kFirstServer);
  Append(service.inactiveWhenHidden, kOtherServers);

  RowEntry& activate = byName["ActivateGroupBox"];
  activate.ruleWhenShown = kRuleActivation;
  Append(activate.inactiveWhenHidden, kActivateInner);

  // The platform's address row is decided by its own rule: showing the group must not make the
  // address active while the platform is switched off and the row hidden.
  RowEntry& platform = byName["DtumanageGroupBox"];
  platform.ruleWhenShown = kRuleManagePlatform;
  Append(platform.inactiveWhenHidden, kPlatformAddress);

  byName["ActivateHorizontalLayout5"].ruleWhenShown = kRuleIoSelection;

  std::vector<RowEntry> entries;
  for (auto& [name, entry] : byName) entries.push_back(std::move(entry));
  return entries;
}

}  // namespace

const std::vector<RowEntry>& RowEntries() {
  static const std::vector<RowEntry> entries = BuildEntries();
  return entries;
}

const RowEntry* FindRowEntry(std::string_view row) {
  const std::vector<RowEntry>& entries = RowEntries();
  auto it = std::lower_bound(entries.begin(), entries.end(), row,
                             [](const RowEntry& e, std::string_view r) { return e.row < r; });
  return it != entries.end() && it->row == row ? &*it : nullptr;
}
