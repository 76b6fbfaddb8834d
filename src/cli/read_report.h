// What "dtu-config read --json" prints per device: how the read went and, when it succeeded, the
// configuration the device reported, as label -> value, for scripts that want the values
// themselves rather than a file (the Ansible facts).
#pragma once

#include <string>

#include "cli/device_runner.h"

// One line of JSON: {"schema", "port", "ok", "failure", "file" (empty when none was written),
// "deviceType", "version", "fiveDioModel", "quit", "restarted", "configuration": {LABEL: VALUE},
// "configurationBytes": {LABEL: HEX}, "sensorItems": [{"label", "value", "valueBytes"}]}.
// `reply` is the device's answer to AT+SHOW (empty when the read failed). A row goes by the
// label the device shows ("Server1's Ip"); only rows the reply holds are listed. A value that is
// not UTF-8 is given readable in "configuration" and as its exact bytes in "configurationBytes"
// under the same label. docs/schema/read.schema.json.
std::string FormatReadJson(const DeviceReport& report, const std::string& file,
                           const std::string& reply);
