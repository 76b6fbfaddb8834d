// What the multi-device commands print: a live progress line per device while they run, and per
// device a summary (text for people, one JSON object per line for scripts).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/device_runner.h"
#include "cli/json_bytes.h"

// One line per device: its port, its phase and, while writing, how many of its writes ended.
// On a terminal the lines are redrawn in place; otherwise a plain line is printed whenever a
// device enters another phase.
class ProgressLines {
 public:
  ProgressLines(std::ostream& out, bool terminal, std::vector<DeviceRunner*> runners);
  void Update();

 private:
  std::string LineOf(const DeviceRunner& runner) const;

  std::ostream& out_;
  bool terminal_;
  std::vector<DeviceRunner*> runners_;
  std::vector<std::string> shown_;
  bool drawn_ = false;
};

// "PORT: ok, 30 writes verified (Zr350V4..., 4.2 s)" or "PORT: FAILED: reason", then
// "  backup: FILE" when one was taken, then one indented line per write that did not succeed
// (per write with `allWrites`).
std::string FormatRunText(const DeviceReport& report, bool allWrites);

// One line of JSON: {"schema" (`schema`), "port", "deviceType", "version", "ok", "failure",
// "backup" (the file, or empty), "phases": [{"phase", "ms"}], "writes": [{"name", "label",
// "command", "value", "before", "verdict", "verified", "reported"}], "refusedValues": [...],
// "quit", "restarted", "verification": {"ran", "mismatches"}}. A command, value, before or reported
// value that is not UTF-8 has its bytes in "commandBytes", "valueBytes", "beforeBytes",
// "reportedBytes" (PutBytes). docs/schema/apply.schema.json.
std::string FormatRunJson(const DeviceReport& report, int schema);

// How the device was left, for the end of a report line ("; sent back to its data mode
// (at+quit)"): always after a failure, after a success only when it may still be in its setting
// mode. Empty when there is nothing to say.
std::string LeaveTail(const DeviceReport& report);
