// One plan on several ports at once, reported per device: what "apply" and "set" share.
#pragma once

#include <QStringList>

#include <functional>
#include <ostream>
#include <vector>

#include "cli/device_runner.h"

struct ReportStyle {
  bool json = false;       // one JSON object per device and line
  bool allWrites = false;  // the text lists every write, not only the ones that failed
  int schema = 1;          // the JSON's "schema" (json_schemas.h)
};

// Runs `plan` on every port side by side, with one live progress line per device on `err`
// (plain lines when `err` is no terminal), then prints each device's report on `out`. `onTick`
// runs after each round as well. Returns 0 when every device succeeded and 1 otherwise. On
// SIGINT, SIGTERM or SIGHUP every device is sent back to its data mode, the reports printed, and
// the process ends at once with 128 + the signal's number (130, 143, 129).
int RunPlanOnPorts(const QStringList& ports, const RunPlan& plan, ReportStyle style,
                   std::ostream& out, std::ostream& err,
                   const std::function<void(const std::vector<DeviceRunner*>&)>& onTick = {});
