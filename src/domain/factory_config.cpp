#include "domain/factory_config.h"

#include "domain/device_params.h"
#include "domain/sensor_items.h"

namespace {

// clang-format off
const ProfileModel kProfileModels[] = {
  {"3dio", false, "ZR350", "NONE", "Zr350V1.8.6"},
  {"5dio", true, "ZR350-5IO", "NONE", "Zr350V4.2.0"},
  // The radio modules: the form shows their page by the device type.
  {"3dio-lora", false, "ZR350-L", "LR-433 v2.3", "Zr350V1.8.6"},
  {"3dio-zigbee", false, "ZR350-Z", "NONE", "Zr350V1.8.6"},
  {"gps", false, "Zr750", "NONE", "Zr750V1.2.0"},
};
// clang-format on

}  // namespace

std::span<const ProfileModel> ProfileModels() {
  return kProfileModels;
}

const ProfileModel* FindProfileModel(std::string_view name) {
  for (const ProfileModel& model : kProfileModels) {
    if (name == model.name) return &model;
  }
  return nullptr;
}

ConfigValues FactoryConfig(bool fiveDio, std::string_view firmware, std::string_view deviceType,
                           std::string_view loraVersion) {
  ConfigValues config;
  config.fiveDio = fiveDio;
  config.firmware = firmware;
  for (const DeviceParam& param : DeviceParams()) {
    if (param.command.empty()) {
      config.values.emplace_back(deviceType);
    } else if (param.command == kLoraVersionCommand) {
      config.values.emplace_back(loraVersion);
    } else {
      config.values.push_back(param.factoryValue);
    }
  }
  for (int i = 0; i < kSensorItemCount; ++i) config.items.emplace_back(FactorySensorItem(i));
  return config;
}

ConfigValues FactoryConfig(const ProfileModel& model) {
  return FactoryConfig(model.fiveDio, model.firmware, model.deviceType, model.loraVersion);
}

size_t ParamIndex(const DeviceParam& param) {
  return static_cast<size_t>(&param - DeviceParams().data());
}
