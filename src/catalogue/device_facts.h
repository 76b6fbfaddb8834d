// What a read taught about the device itself, shared by applying values and the visibility rules.
#pragma once

#include <string>

struct DeviceFacts {
  // The model has five DIO lines (the parser decides it from the reply).
  bool fiveDioModel = false;
  // Copies of "Device Type" and "LORA ver" as last applied to the form.
  std::string deviceTypeText;
  std::string loraVersionText;
};
