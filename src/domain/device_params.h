// The device's parameters: the AT command that writes each one, the label under which the show
// reply reports it, the values it accepts and its factory default. One table, kept in
// device_params.cpp; docs/device-parameters.md describes the same table.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "domain/value_domain.h"

// Which device models have the parameter.
enum class Presence {
  kAll,
  kFiveDioOnly,  // the fourth I/O line exists on five-DIO models only
};

struct DeviceParam {
  std::string command;  // "AT+APN"; empty for the device type, which has no command
  std::string label;    // as the show reply prints it after the line break: "LORA ID:"
  const ValueDomain* domain;
  std::string factoryValue;  // empty for the read-only values that come from the model
  Presence presence = Presence::kAll;
};

// Every parameter, in the order of the show reply ("Access Point Name:" first).
std::span<const DeviceParam> DeviceParams();

// Whether `text` starts with "AT+" in any letter case of "AT".
bool IsAtPrefix(std::string_view text);

// The parameter written by `command`, or nullptr. The "AT" may be in any letter case, the
// name after "+" must match exactly ("At+PROMODE", "AT+PROMODE"; not "AT+promode").
const DeviceParam* FindParamByCommand(std::string_view command);

// The named domains, in the order the docs list them.
std::span<const ValueDomain* const> ValueDomains();

// Read-only labels filled from the device model rather than stored.
inline constexpr std::string_view kDeviceTypeLabel = "Device Type:";
inline constexpr std::string_view kLoraVersionCommand = "AT+LVER";
