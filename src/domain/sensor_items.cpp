#include "domain/sensor_items.h"

#include <vector>

namespace {

constexpr ValueDomain Field(int64_t min, int64_t max) {
  return {"", DomainKind::kNumber, {}, min, max};
}

constexpr DomainItem kSwitchItems[] = {{"0", "off"}, {"1", "on"}};

// clang-format off
const SensorField kFields[] = {
  {"SensorCfg_DeviceSwitch", {"switch", DomainKind::kItems, kSwitchItems}},
  {"SensorCfg_DeviceAddress", Field(0, 247)},
  {"SensorCfg_FunctionCode", Field(0, 16)},
  {"SensorCfg_RegisterAddress", Field(0, 65535)},
  {"SensorCfg_RegisterCount", Field(0, 125)},
  {"SensorCfg_DataType", Field(0, 15)},
  {"SensorCfg_NumberOfDecimalPoints", Field(0, 6)},
  {"SensorCfg_BindSerialPort", Field(0, 3)},
  {"SensorCfg_DataName", {"name", DomainKind::kText, {}, 0, 0, 32, true}},
  {"SensorCfg_DataChg", Field(0, 65535)},
};
// clang-format on

std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  while (true) {
    size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) {
      pieces.push_back(text.substr(start));
      return pieces;
    }
    pieces.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
}

}  // namespace

std::span<const SensorField> SensorFields() {
  return kFields;
}

bool AcceptsSensorItem(std::string_view fields) {
  if (fields.size() > kSensorItemMaxLength) return false;
  std::vector<std::string_view> pieces = SplitFields(fields);
  // A comma inside the data name would shift every later field when read back.
  if (pieces.size() != static_cast<size_t>(kSensorFieldCount)) return false;
  if (!AcceptsValue(kFields[0].domain, pieces[0])) return false;
  const bool on = pieces[0] == "1";
  for (int i = 1; i < kSensorFieldCount; ++i) {
    if (!on && pieces[i].empty()) continue;
    if (!AcceptsValue(kFields[i].domain, pieces[i])) return false;
  }
  return true;
}

std::string FactorySensorItem(int index) {
  return "0,1,3," + std::to_string(index * 2) + ",1,0,0,1,sensor" + std::to_string(index + 1) +
         ",0";
}

std::string SensorItemLabel(int index) {
  return "GENSENSORINFO " + std::to_string(index) + ":";
}
