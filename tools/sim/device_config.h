// The configuration a simulated device holds: one value per parameter of its model and the
// sensor items, with the device's own validation, factory reset and show reply.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "device_models.h"
#include "domain/device_params.h"

enum class WriteOutcome {
  kStored,
  kRefused,  // the value is outside the parameter's domain, or the parameter is read-only
  kUnknown,  // no parameter of this model has that command
};

struct LoadReport {
  bool found = false;                 // the text holds the parameter section ("Access Point Name:")
  int taken = 0;                      // values and items stored
  int refused = 0;                    // present but outside the domain; the factory value stays
  int missing = 0;                    // writable parameters and items the text does not report
  std::vector<std::string> problems;  // one line per refused value
};

class DeviceConfig {
 public:
  explicit DeviceConfig(const DeviceModel& model);

  const DeviceModel& model() const { return *model_; }
  void FactoryReset();

  WriteOutcome Write(std::string_view command, std::string_view value);
  // Fields text "f0,...,f9" of item `index`; false when refused.
  bool WriteSensorItem(int index, std::string_view fields);

  // The stored value of the parameter written by `command`, or of the read-only "Device
  // Type:" when `command` is empty; empty when the model has no such parameter.
  std::string Value(std::string_view command) const;
  const std::string& SensorItem(int index) const { return items_.at(index); }

  // The parameter section of the reply to AT+SHOW: the firmware line, "Access Point Name:"
  // with its value, every other parameter on its own line, the sensor items, and a final
  // line end. Neither the echo nor the closing "OK" are included.
  std::string ShowText() const;

  // Takes the values of a show reply (for example a configuration file's text) as they
  // stand, refusing values outside their domains. Labels are read like the device prints them.
  LoadReport LoadShowText(std::string_view text);

 private:
  bool Present(const DeviceParam& param) const;

  const DeviceModel* model_;
  std::vector<std::string> values_;  // parallel to DeviceParams()
  std::vector<std::string> items_;   // kSensorItemCount fields texts
};
