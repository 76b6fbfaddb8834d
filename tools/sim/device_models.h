// The device variants the simulator can play: the number of I/O lines, the fitted radio module
// (seen by the program in the "Device Type:" text) and the firmware text (whose "Zr350V3" or
// "Zr350V4" marks a five-DIO model).
#pragma once

#include <span>
#include <string_view>

struct DeviceModel {
  const char* name;         // the --model argument
  bool fiveDio;             // has the I/O lines 4 and 5 as full lines
  const char* deviceType;   // value of "Device Type:"
  const char* loraVersion;  // value of "LORA ver:"
  const char* firmware;     // version text, printed before the parameters and by At+VER
  const char* description;
};

std::span<const DeviceModel> DeviceModels();

// nullptr when no model has that name.
const DeviceModel* FindDeviceModel(std::string_view name);

// The model used when none is chosen.
const DeviceModel& DefaultDeviceModel();
