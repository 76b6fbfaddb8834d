// A device's whole configuration as values: one per parameter of the device's table and the
// sensor items. The factory configuration (what "AT+FACTORY" restores) comes from here alone:
// the simulated device resets to it and "dtu-config new" writes it as a profile.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "domain/device_params.h"

struct ConfigValues {
  // The model has the I/O lines 4 and 5 (Presence::kFiveDioOnly parameters are reported).
  bool fiveDio = false;
  // The version text of the reply's first line ("Zr350V4.2.0"); a five-DIO model's names its
  // variant ("Zr350V3", "Zr350V4"), which is how a reader tells the models apart.
  std::string firmware;
  // Parallel to DeviceParams(); the parameters the model lacks are not reported.
  std::vector<std::string> values;
  // kSensorItemCount fields texts; nullopt: the configuration says nothing about the item.
  std::vector<std::optional<std::string>> items;
};

// The models a profile is made for: three or five I/O lines, and the radio modules the form
// has a page for (LoRa, ZigBee, the GPS tracker).
struct ProfileModel {
  const char* name;  // "3dio", "5dio"
  bool fiveDio;
  const char* deviceType;   // "Device Type:"
  const char* loraVersion;  // "LORA ver:"
  const char* firmware;
};

std::span<const ProfileModel> ProfileModels();
// nullptr when no profile model has that name.
const ProfileModel* FindProfileModel(std::string_view name);

// The factory configuration of a model: every parameter's factory value, the read-only device
// type and LoRa version as given, and the factory sensor items.
ConfigValues FactoryConfig(bool fiveDio, std::string_view firmware, std::string_view deviceType,
                           std::string_view loraVersion);
ConfigValues FactoryConfig(const ProfileModel& model);

// The index of the parameter `param` in DeviceParams().
size_t ParamIndex(const DeviceParam& param);
