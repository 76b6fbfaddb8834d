#include "catalogue/config_text.h"

#include <cctype>
#include <map>

#include "catalogue/config_acceptance.h"
#include "catalogue/show_reply_parser.h"
#include "domain/device_params.h"
#include "domain/sensor_items.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kFirmwareLabel = "Firmware version:";
constexpr std::string_view kSensorListName = "CustomList";

bool Present(const DeviceParam& param, bool fiveDio) {
  return param.presence == Presence::kAll || fiveDio;
}

// The command's name after "AT+": the device reads the "AT" in any letter case.
std::string_view CommandName(std::string_view command) {
  return IsAtPrefix(command) ? command.substr(3) : std::string_view();
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

}  // namespace

std::string ComposeShowSection(const ConfigValues& config) {
  std::string text(kFirmwareLabel);
  text += config.firmware;
  text += kLineEnd;
  const auto params = DeviceParams();
  bool first = true;
  for (size_t i = 0; i < params.size(); ++i) {
    if (!Present(params[i], config.fiveDio)) continue;
    // The first parameter follows the firmware line's line end; every other starts its own.
    if (!first) text += kLineEnd;
    first = false;
    text += params[i].label;
    if (i < config.values.size()) text += config.values[i];
  }
  for (size_t i = 0; i < config.items.size(); ++i) {
    if (!config.items[i]) continue;
    text += kLineEnd;
    text += SensorItemLabel(static_cast<int>(i));
    text += *config.items[i];
  }
  text += kLineEnd;
  return text;
}

std::string ComposeConfigText(const ConfigValues& config) {
  return ComposeShowSection(config) + "\r\nOK\r\n";
}

ConfigValues ConfigValuesOf(const ParamTable& params, const ListParamTable& lists, bool fiveDio,
                            std::string firmware, const ConfigValues* base,
                            std::vector<size_t>* notHeld) {
  // One row per command: rows that write the same command hold the same value after a parse.
  std::map<std::string_view, const ParamInfo*> byCommand;
  const ParamInfo* deviceType = nullptr;
  for (const auto& [name, row] : params) {
    if (row.atCommand.empty()) {
      if (ShownLabel(row.label) == ShownLabel(kDeviceTypeLabel)) deviceType = &row;
      continue;
    }
    byCommand.try_emplace(CommandName(row.atCommand), &row);
  }
  ConfigValues config;
  config.fiveDio = fiveDio;
  config.firmware = std::move(firmware);
  const auto all = DeviceParams();
  for (size_t i = 0; i < all.size(); ++i) {
    const DeviceParam& param = all[i];
    const ParamInfo* row = nullptr;
    if (param.command.empty()) {
      row = deviceType;
    } else if (auto at = byCommand.find(CommandName(param.command)); at != byCommand.end()) {
      row = at->second;
    }
    if (row) {
      config.values.push_back(row->value);
      continue;
    }
    if (notHeld && Present(param, fiveDio)) notHeld->push_back(i);
    config.values.push_back(base && i < base->values.size() ? base->values[i] : param.factoryValue);
  }
  config.items.resize(kSensorItemCount);
  if (auto list = lists.find(kSensorListName); list != lists.end()) {
    for (int i = 0; i < kSensorItemCount; ++i) {
      auto item = list->second.items.find(ListItemLabel(list->second.labelFormat, i));
      if (item != list->second.items.end()) config.items[static_cast<size_t>(i)] = item->second;
    }
  }
  return config;
}

std::string FirmwareOf(std::string_view text) {
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    for (std::string_view label : {"firmware version:", "software version:"}) {
      if (!StartsWithNoCase(line, label)) continue;
      line.remove_prefix(label.size());
      while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
      while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
      return std::string(line);
    }
    start = end + 1;
  }
  return {};
}

std::string DefaultFirmware(bool fiveDio) {
  for (const ProfileModel& model : ProfileModels()) {
    if (model.fiveDio == fiveDio) return model.firmware;
  }
  return {};
}

bool ReadConfigValues(std::string_view text, ConfigValues* config) {
  if (!JudgeConfigText(text).accepted()) return false;
  ParamTable params;
  ListParamTable lists;
  BuildParamTable(params, lists, kSensorItemCount);
  bool fiveDio = false;
  ParseShowReply(text.data(), text.size(), params, lists, fiveDio);
  std::string firmware = FirmwareOf(text);
  // A text whose model is told by a variant elsewhere keeps being read as that model.
  if (firmware.empty() || FiveDioModelOf(std::string(kFirmwareLabel) + firmware) != fiveDio)
    firmware = DefaultFirmware(fiveDio);
  // Parameters the catalogue has no row for are read at their own label.
  ConfigValues own;
  own.values.resize(DeviceParams().size());
  const std::string window = "\r\n" + std::string(ShowReplyWindow(text.data(), text.size()));
  for (size_t i = 0; i < DeviceParams().size(); ++i) {
    const std::string label = "\r\n" + DeviceParams()[i].label;
    const size_t at = window.find(label);
    if (at == std::string::npos) continue;
    const size_t start = at + label.size();
    const size_t end = window.find(kLineEnd, start);
    if (end == std::string::npos) continue;
    std::string_view value(window.data() + start, end - start);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\r')) value.remove_suffix(1);
    own.values[i] = value;
  }
  *config = ConfigValuesOf(params, lists, fiveDio, std::move(firmware), &own);
  return true;
}
