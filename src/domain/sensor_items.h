// The Modbus sensor items the device polls: "AT+GENSENSORINFO=i,f0,...,f9" writes item i, the
// show reply reports it as "GENSENSORINFO i:f0,...,f9". The simulated device and the program's
// factory profiles take the factory items from here.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "domain/value_domain.h"

inline constexpr int kSensorItemCount = 16;
inline constexpr int kSensorFieldCount = 10;
// The program keeps an item only when its text is shorter than this.
inline constexpr size_t kSensorItemMaxLength = 99;

struct SensorField {
  const char* name;  // the form's control name of the field
  ValueDomain domain;
};

// The ten fields in order.
std::span<const SensorField> SensorFields();

// Whether the device accepts the fields text "f0,...,f9" of one item. An item switched off
// ("0") may leave its other fields empty; one switched on must fill them.
bool AcceptsSensorItem(std::string_view fields);

// The factory fields text of item `index`: switched off, with plausible settings.
std::string FactorySensorItem(int index);

// The show reply's label of item `index`: "GENSENSORINFO 3:".
std::string SensorItemLabel(int index);
