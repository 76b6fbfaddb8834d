#include "form/apply_values.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <string>

#include "form/form_rule.h"
#include "form/line_state.h"
#include "form/sensor_list.h"
#include "form/tab_strip.h"

namespace {

// How a drop-down list's value becomes the index of its item.
enum class PickBy {
  WorkMode,        // the device's work-mode words, in list order
  DeviceModel,     // "CLI", "SVR"
  ActivateMethod,  // "AUTO" .. "DIO"
  Exfun,           // 0 and 3
  NetMode,         // 0, then 4 and up
  BindingCenter,   // 0, 1, 2, 4, 8, 16, 255
  DioWorkMode,     // the five offered modes; 4 and 5 come from other lists
  DioShortList,    // a line offering only "unused" and "analogue input"
  IoMode,          // 4 and 5
  ZigbeeChannel,   // channels from 11
  FromOne,         // lists counted from 1
  FromOneUnlessEmpty,
  IoSelection,  // the line whose work mode is 4, none without one
  ItemText,     // the item whose text is the value
  Number,       // the value is the index
};

struct ComboRule {
  const char* name;
  PickBy pick;
};

// Every list not named here takes its value as the index.
constexpr ComboRule kComboRules[] = {
    {"Protocolmodel", PickBy::WorkMode},
    {"DeviceModel", PickBy::DeviceModel},
    {"ActivateMethod", PickBy::ActivateMethod},
    {"EXFUN", PickBy::Exfun},
    {"net mode", PickBy::NetMode},
    {"A serial port binding center", PickBy::BindingCenter},
    {"A serial 2 port binding center", PickBy::BindingCenter},
    {"RS485 port binding center", PickBy::BindingCenter},
    {"DIO1 workmode", PickBy::DioWorkMode},
    {"DIO2 workmode", PickBy::DioWorkMode},
    {"DIO4 workmode", PickBy::DioWorkMode},
    {"DIO5 workmode", PickBy::DioShortList},
    {"I/O1 Mode", PickBy::IoMode},
    {"I/O2 Mode", PickBy::IoMode},
    {"ZigBee_RFchannel", PickBy::ZigbeeChannel},
    {"LORA Rate", PickBy::FromOne},
    {"ActivationInterface", PickBy::FromOne},
    {"Debugging  port", PickBy::FromOne},
    {"LORA typ", PickBy::FromOneUnlessEmpty},
    {"I/O selection", PickBy::IoSelection},
    {"DIO1 interface", PickBy::ItemText},
    {"DIO2 interface", PickBy::ItemText},
    {"DIO3 interface", PickBy::ItemText},
    {"DIO4 interface", PickBy::ItemText},
    {"DIO5 interface", PickBy::ItemText},
    {"Transferprotocol", PickBy::ItemText},
    {"Dtumanagetransferprotocol", PickBy::ItemText},
    {"Serial Baudrate", PickBy::ItemText},
    {"Serial 2 Baudrate", PickBy::ItemText},
    {"RS485 Baudrate", PickBy::ItemText},
    {"Serial port commu mode", PickBy::ItemText},
    {"Serial 2 port commu mode", PickBy::ItemText},
    {"RS485 port commu mode", PickBy::ItemText},
    {"The PPP authentication", PickBy::ItemText},
    {"LORA Mode", PickBy::ItemText},
};

constexpr std::array<const char*, 10> kWorkModes{"PROT",   "DCUDP", "DCTCP",     "TRNS", "SMSCLI",
                                                 "SMSSER", "HTTP",  "MTCP/MRTU", "MQTT", "CUST"};
constexpr std::array<const char*, 6> kActivateMethods{"AUTO", "SMSD", "CTRL",
                                                      "DATA", "MIXD", "DIO"};
constexpr std::array<int, 7> kBindingCenters{0, 1, 2, 4, 8, 16, 255};

PickBy PickFor(const std::string& name, bool fiveDioModel) {
  if (name == "DIO3 workmode") return fiveDioModel ? PickBy::DioWorkMode : PickBy::DioShortList;
  for (const ComboRule& rule : kComboRules) {
    if (name == rule.name) return rule.pick;
  }
  return PickBy::Number;
}

// Index arithmetic on a clamped number must not overflow either.
int ClampedIndex(int64_t index) {
  return static_cast<int>(std::clamp<int64_t>(index, INT_MIN, INT_MAX));
}

template <size_t N>
std::optional<int> IndexIn(const std::array<const char*, N>& words, const std::string& value) {
  for (size_t i = 0; i < N; ++i) {
    if (value == words[i]) return static_cast<int>(i);
  }
  return std::nullopt;
}

int IndexOfItemText(const ComboControl& combo, const std::string& text) {
  for (int i = 0; i < combo.ItemCount(); ++i) {
    if (combo.ItemText(i) == text) return i;
  }
  return -1;
}

std::string ValueOf(const ParamTable& params, const std::string& name) {
  auto row = params.find(name);
  return row == params.end() ? std::string() : row->second.value;
}

// The list names the line the device uses as activation input. When no line is one, the list
// shows none: a choice left over from an earlier read would make the next Write turn that line
// into an activation input on a device that has none.
int IoSelectionIndex(const ParamTable& params, bool fiveDioModel) {
  const int lines = fiveDioModel ? 5 : 3;
  for (int i = 1; i <= lines; ++i) {
    if (ValueOf(params, "DIO" + std::to_string(i) + " workmode") == "4") return i - 1;
  }
  return -1;
}

void ApplyTransmitChannel(Form& form, const TransmitChannelRow& row, const std::string& value) {
  const int mask = LeadingNumber(value);
  for (const ChannelArrow& arrow : row.arrows) {
    if (arrow.name) SetLineState(form, arrow.name, ((mask >> arrow.bit) & 1) != 0);
  }
}

void OfferModulePage(TabTable& tabs, const std::string& deviceType) {
  tabs[kLoraTab].shown = false;
  tabs[kZigbeeTab].shown = false;
  tabs[kGPSTab].shown = false;
  if (deviceType.find("-L") != std::string::npos) {
    tabs[kLoraTab].shown = true;
  } else if (deviceType.find("-Z") != std::string::npos) {
    tabs[kZigbeeTab].shown = true;
  } else if (deviceType.find("Zr750") != std::string::npos) {
    tabs[kGPSTab].shown = true;
  }
}

}  // namespace

int LeadingNumber(std::string_view value) {
  size_t at = 0;
  while (at < value.size() && (value[at] == ' ' || (value[at] >= '\t' && value[at] <= '\r'))) ++at;
  bool negative = false;
  if (at < value.size() && (value[at] == '+' || value[at] == '-')) negative = value[at++] == '-';
  int64_t number = 0;
  for (; at < value.size() && value[at] >= '0' && value[at] <= '9'; ++at) {
    // Past the 32-bit range the number only needs to stay past it.
    if (number <= INT64_C(1) << 40) number = number * 10 + (value[at] - '0');
  }
  return ClampedIndex(negative ? -number : number);
}

std::optional<int> ComboIndexForValue(const std::string& name, const std::string& value,
                                      const ComboControl& combo, const ParamTable& params,
                                      bool fiveDioModel) {
  const int64_t n = LeadingNumber(value);
  switch (PickFor(name, fiveDioModel)) {
    case PickBy::WorkMode: {
      if (value == "-1") return -1;
      if (std::optional<int> mode = IndexIn(kWorkModes, value)) return mode;
      return IndexOfItemText(combo, value);
    }
    case PickBy::DeviceModel:
      if (value == "CLI") return 0;
      if (value == "SVR") return 1;
      if (value == "-1") return -1;
      return std::nullopt;
    case PickBy::ActivateMethod:
      if (value == "-1") return -1;
      return IndexIn(kActivateMethods, value);
    case PickBy::Exfun:
      if (n == 0) return 0;
      if (n == 3) return 1;
      return std::nullopt;
    case PickBy::NetMode:
      if (n == 0) return 0;
      if (n > 3) return ClampedIndex(n - 3);
      return std::nullopt;
    case PickBy::BindingCenter:
      for (size_t i = 0; i < kBindingCenters.size(); ++i) {
        if (n == kBindingCenters[i]) return static_cast<int>(i);
      }
      return std::nullopt;
    case PickBy::DioWorkMode:
      if (n == 4 || n == 5) return 0;
      if (n == 6) return 4;
      return static_cast<int>(n);
    case PickBy::DioShortList:
      return n == 6 ? 1 : 0;
    case PickBy::IoMode:
      if (n == 4) return 1;
      if (n == 5) return 2;
      return 0;
    case PickBy::ZigbeeChannel:
      return ClampedIndex(n - 11);
    case PickBy::FromOne:
      return ClampedIndex(n - 1);
    case PickBy::FromOneUnlessEmpty:
      if (value.empty()) return std::nullopt;
      return ClampedIndex(n - 1);
    case PickBy::IoSelection:
      return IoSelectionIndex(params, fiveDioModel);
    case PickBy::ItemText:
      return IndexOfItemText(combo, value);
    case PickBy::Number:
      if (value.empty()) return std::nullopt;
      return static_cast<int>(n);
  }
  return std::nullopt;
}

void ApplyRowValues(Form& form, const ParamTable& params, bool fiveDioModel,
                    ShownBytes* shownBytes) {
  for (const auto& [name, row] : params) {
    if (row.controlKind == "Combobox") {
      ComboControl* combo = form.FindCombo(name);
      if (!combo) continue;
      std::optional<int> index = ComboIndexForValue(name, row.value, *combo, params, fiveDioModel);
      if (index) combo->SelectItem(*index);
    } else if (row.controlKind == "Edit") {
      if (Control* edit = form.Find(name))
        edit->SetText(ShowBytes(shownBytes, ShownBytes::RowKey(name), row.value));
    } else if (row.controlKind == "Line") {
      bool mask = false;
      for (const TransmitChannelRow& channel : TransmitChannelRows()) {
        if (name != channel.rowName) continue;
        ApplyTransmitChannel(form, channel, row.value);
        mask = true;
      }
      // A row the device only reports ("Device Type") is shown as it is, where the page has it.
      if (!mask) {
        if (Control* shown = form.Find(name)) shown->SetText(row.value);
      }
    }
  }
}

void ApplyValuesToForm(Form& form, const ParamTable& params, const ListParamTable& lists,
                       TabTable& tabs, DeviceFacts& facts, const PostRule& postRule,
                       SensorItemDefaults* sensorDefaults, ShownBytes* shownBytes) {
  facts.deviceTypeText = ValueOf(params, "Device Type");
  OfferModulePage(tabs, facts.deviceTypeText);
  UpdateTabStrip(form, tabs, TabStripMode::Rebuild);
  facts.loraVersionText = ValueOf(params, "LORA ver");

  ApplyRowValues(form, params, facts.fiveDioModel, shownBytes);

  FillSensorList(form, lists, sensorDefaults, shownBytes);
  if (postRule) {
    postRule(kRuleActivation, 0);
    postRule(kRuleLoraMode, 0);
  }
}
