#include "cli/port_runs.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "cli/parallel_run.h"
#include "cli/run_report.h"
#include "cli/subcommands.h"

int RunPlanOnPorts(const QStringList& ports, const RunPlan& plan, ReportStyle style,
                   std::ostream& out, std::ostream& err,
                   const std::function<void(const std::vector<DeviceRunner*>&)>& onTick) {
  std::vector<std::unique_ptr<DeviceRunner>> owned;
  std::vector<DeviceRunner*> runners;
  for (const QString& port : ports) {
    owned.push_back(std::make_unique<DeviceRunner>(port.toLocal8Bit().toStdString(), plan));
    runners.push_back(owned.back().get());
  }
  const InterruptFlag interruptFlag;
  // Traffic lines (-v) would be drawn over by redrawn progress lines.
  ProgressLines progress(err, isatty(STDERR_FILENO) == 1 && plan.traffic == nullptr, runners);
  const bool finished = RunAll(runners, [&] {
    progress.Update();
    if (onTick) onTick(runners);
  });

  bool allOk = true;
  for (const DeviceRunner* runner : runners) {
    const DeviceReport& report = runner->Report();
    allOk = allOk && report.ok;
    out << (style.json ? FormatRunJson(report, style.schema)
                       : FormatRunText(report, style.allWrites));
  }
  out.flush();
  if (!finished) {
    // Every device was sent back to its data mode, every port is closed and every worker
    // stopped with the runners. The rest of the teardown (an offscreen form, Qt's font
    // machinery) takes seconds on a loaded machine, and whoever pressed Ctrl+C is waiting for
    // the prompt.
    owned.clear();
    err.flush();
    std::fflush(nullptr);
    std::_Exit(ExitStatusForSignal(InterruptFlag::Signal()));
  }
  return allOk ? kExitOk : kExitFailure;
}
