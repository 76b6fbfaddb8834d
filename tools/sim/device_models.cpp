#include "device_models.h"

namespace {

// clang-format off
const DeviceModel kModels[] = {
  {"zr350", false, "ZR350", "NONE", "Zr350V1.8.6", "three I/O lines, no radio module"},
  {"zr350-v2", false, "ZR350-V2", "NONE", "Zr350V1.8.6", "three I/O lines, V2 board without the third serial port"},
  {"zr350v4", true, "ZR350-5IO", "NONE", "Zr350V4.2.0", "five I/O lines, no radio module"},
  {"zr350-l", false, "ZR350-L", "LR-433 v2.3", "Zr350V1.8.6", "three I/O lines, LoRa module"},
  {"zr350-l1", false, "ZR350-L", "RL47KW-A v1.0", "Zr350V1.8.6", "three I/O lines, first LoRa module (no PID, fixed power)"},
  {"zr350-z", false, "ZR350-Z", "NONE", "Zr350V1.8.6", "three I/O lines, ZigBee module"},
  {"zr750", false, "Zr750", "NONE", "Zr750V1.2.0", "GPS tracker"},
};
// clang-format on

}  // namespace

std::span<const DeviceModel> DeviceModels() {
  return kModels;
}

const DeviceModel* FindDeviceModel(std::string_view name) {
  for (const DeviceModel& model : kModels) {
    if (name == model.name) return &model;
  }
  return nullptr;
}

const DeviceModel& DefaultDeviceModel() {
  return kModels[0];
}
