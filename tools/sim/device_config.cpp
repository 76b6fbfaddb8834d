#include "device_config.h"

#include "catalogue/config_text.h"
#include "domain/factory_config.h"
#include "domain/sensor_items.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kSectionMarker = "Access Point Name:";

// The value after a label up to the line end, without surrounding blanks; false when the
// label or its line end is missing.
bool ValueAfter(std::string_view window, std::string_view needle, std::string& value) {
  size_t at = window.find(needle);
  if (at == std::string_view::npos) return false;
  size_t start = at + needle.size();
  size_t end = window.find(kLineEnd, start);
  if (end == std::string_view::npos) return false;
  std::string_view text = window.substr(start, end - start);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) text.remove_suffix(1);
  value.assign(text);
  return true;
}

}  // namespace

DeviceConfig::DeviceConfig(const DeviceModel& model) : model_(&model) {
  FactoryReset();
}

void DeviceConfig::FactoryReset() {
  ConfigValues factory =
      FactoryConfig(model_->fiveDio, model_->firmware, model_->deviceType, model_->loraVersion);
  values_ = std::move(factory.values);
  items_.clear();
  for (std::optional<std::string>& item : factory.items) items_.push_back(std::move(*item));
}

bool DeviceConfig::Present(const DeviceParam& param) const {
  return param.presence == Presence::kAll || model_->fiveDio;
}

WriteOutcome DeviceConfig::Write(std::string_view command, std::string_view value) {
  const DeviceParam* param = FindParamByCommand(command);
  if (param == nullptr || !Present(*param)) return WriteOutcome::kUnknown;
  if (!AcceptsValue(*param->domain, value)) return WriteOutcome::kRefused;
  values_[static_cast<size_t>(param - DeviceParams().data())] = value;
  return WriteOutcome::kStored;
}

bool DeviceConfig::WriteSensorItem(int index, std::string_view fields) {
  if (index < 0 || index >= kSensorItemCount || !AcceptsSensorItem(fields)) return false;
  items_[static_cast<size_t>(index)] = fields;
  return true;
}

std::string DeviceConfig::Value(std::string_view command) const {
  const auto params = DeviceParams();
  const DeviceParam* param = nullptr;
  if (command.empty()) {
    for (const DeviceParam& candidate : params) {
      if (candidate.command.empty()) param = &candidate;
    }
  } else {
    param = FindParamByCommand(command);
  }
  if (param == nullptr || !Present(*param)) return {};
  return values_[static_cast<size_t>(param - params.data())];
}

std::string DeviceConfig::ShowText() const {
  // The program's configuration texts are composed by the same code, so a profile reads back
  // exactly as this device's reply would.
  ConfigValues config;
  config.fiveDio = model_->fiveDio;
  config.firmware = model_->firmware;
  config.values = values_;
  config.items.assign(items_.begin(), items_.end());
  return ComposeShowSection(config);
}

LoadReport DeviceConfig::LoadShowText(std::string_view text) {
  LoadReport report;
  size_t marker = text.find(kSectionMarker);
  if (marker == std::string_view::npos) return report;
  report.found = true;
  // Starting the window one line end early lets every label be searched at a line start.
  std::string window = std::string(kLineEnd) + std::string(text.substr(marker));
  const auto params = DeviceParams();
  for (size_t i = 0; i < params.size(); ++i) {
    const DeviceParam& param = params[i];
    if (!Present(param) || param.domain->kind == DomainKind::kReadOnly) continue;
    std::string value;
    if (!ValueAfter(window, std::string(kLineEnd) + param.label, value)) {
      ++report.missing;
    } else if (AcceptsValue(*param.domain, value)) {
      values_[i] = value;
      ++report.taken;
    } else {
      ++report.refused;
      report.problems.push_back(param.label + value);
    }
  }
  for (int i = 0; i < kSensorItemCount; ++i) {
    std::string value;
    if (!ValueAfter(window, std::string(kLineEnd) + SensorItemLabel(i), value)) {
      ++report.missing;
    } else if (AcceptsSensorItem(value)) {
      items_[static_cast<size_t>(i)] = value;
      ++report.taken;
    } else {
      ++report.refused;
      report.problems.push_back(SensorItemLabel(i) + value);
    }
  }
  return report;
}
