#include "cli/apply_command.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "catalogue/param_table.h"
#include "catalogue/show_reply_parser.h"
#include "cli/cli_options.h"
#include "cli/device_runner.h"
#include "cli/parallel_run.h"
#include "cli/run_report.h"
#include "cli/subcommands.h"
#include "cli/template_form.h"
#include "writing/config_file.h"

namespace {

// The device's tables before its read: the file's rows with the active flags its rules set, but
// no values, so that a value the read cannot take (too long) counts as unknown and is written.
void PrepareTables(const TemplateForm& form, DeviceSession& session) {
  session.Params() = form.Params();
  session.ListParams() = form.Lists();
  session.Facts() = form.Facts();
  for (auto& [name, row] : session.Params()) row.value.clear();
  for (auto& [name, list] : session.ListParams()) list.items.clear();
}

// Why the file cannot serve as a template, or empty. A file that lacks parameters would put
// empty values on the form, and those would be written to every device.
std::string TemplateProblem(const std::string& text, const TemplateForm& form) {
  if (!ConfigTextIsComplete(text))
    return "the file is incomplete (it ends before the final \"OK\" line)";
  ParamTable params = form.Params();
  ListParamTable lists = form.Lists();
  bool fiveDio = false;
  const ShowReplyResult result = ParseShowReply(text.data(), text.size(), params, lists, fiveDio);
  if (result.labelsFound < params.size()) {
    return "the file lacks " + std::to_string(params.size() - result.labelsFound) + " of " +
           std::to_string(params.size()) + " parameters";
  }
  return {};
}

}  // namespace

int RunApplyCommand(const QStringList& args, std::ostream& out, std::ostream& err) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Brings each device to the configuration of a .cfg file, all devices at once: logs in,\n"
      "reads the device, puts the file on the form as \"Open file\" does, writes what differs,\n"
      "reads the device again to check every write, and ends with at+quit.");
  const QCommandLineOption help({"h", "help"}, "Shows this help.");
  const SerialOptions serial;
  const QCommandLineOption dryRun("dry-run",
                                  "Logs in and reads each device, prints what would be written "
                                  "and sends nothing else.");
  const QCommandLineOption json("json", "Prints one JSON object per device and line.");
  parser.addOption(help);
  serial.AddTo(parser);
  parser.addOptions({dryRun, json});
  parser.addPositionalArgument("file", "The configuration file to apply.", "FILE");
  const std::string command = args.isEmpty() ? "dtu-config apply" : args.first().toStdString();
  if (!parser.parse(args)) {
    err << command << ": " << parser.errorText().toStdString() << "\n";
    return kExitUsage;
  }
  if (parser.isSet(help)) {
    out << HelpText(parser, command, kDeviceExitStatuses);
    return kExitOk;
  }
  const QStringList ports = parser.values(serial.port);
  const QStringList files = parser.positionalArguments();
  std::set<QString> distinct(ports.begin(), ports.end());
  if (files.size() != 1 || ports.isEmpty() || distinct.count(QString()) > 0 ||
      distinct.size() != static_cast<size_t>(ports.size())) {
    err << command << ": usage: " << command
        << " FILE --port PATH [--port PATH ...] [--baud N] [--line 8N1] [--dry-run] [--json] "
           "[--stay]\n"
        << "(each port once)\n";
    return kExitUsage;
  }
  RunPlan plan;
  if (!ReadLineSettings(parser, serial, command, err, &plan.settings)) return kExitUsage;

  const std::string path = files.first().toLocal8Bit().toStdString();
  std::string text;
  std::string reason;
  if (!ReadConfigFileFrom(path, &text, &reason)) {
    err << command << ": cannot read " << path << ": " << reason << "\n";
    return kExitFailure;
  }
  const ProgramPaths paths = UseProgramLanguage();
  auto formOwner = std::make_unique<TemplateForm>(paths.skinDir);
  TemplateForm& form = *formOwner;
  if (!form.Build(&reason)) {
    err << command << ": cannot build the form: " << reason << "\n";
    return kExitFailure;
  }
  std::string warning;
  if (!form.Load(text, &reason, &warning)) {
    err << command << ": " << path << ": " << reason << "\n";
    return kExitFailure;
  }
  if (const std::string problem = TemplateProblem(text, form); !problem.empty()) {
    err << command << ": " << path << ": " << problem << "; nothing was sent\n";
    return kExitFailure;
  }

  plan.dryRun = parser.isSet(dryRun);
  plan.verify = !plan.dryRun;
  plan.quit = !parser.isSet(serial.stay);
  plan.prepare = [&form](DeviceSession& session) { PrepareTables(form, session); };
  plan.compose = [&form](DeviceSession& session) {
    return form.ComposeFor(session.Params(), session.ListParams());
  };
  std::vector<std::unique_ptr<DeviceRunner>> owned;
  std::vector<DeviceRunner*> runners;
  for (const QString& port : ports) {
    owned.push_back(std::make_unique<DeviceRunner>(port.toLocal8Bit().toStdString(), plan));
    runners.push_back(owned.back().get());
  }
  const InterruptFlag interruptFlag;
  ProgressLines progress(err, isatty(STDERR_FILENO) == 1, runners);
  const bool finished = RunAll(runners, [&] { progress.Update(); });

  bool allOk = true;
  for (const DeviceRunner* runner : runners) {
    const DeviceReport& report = runner->Report();
    allOk = allOk && report.ok;
    out << (parser.isSet(json) ? FormatRunJson(report) : FormatRunText(report, plan.dryRun));
  }
  out.flush();
  if (!finished) {
    // Every port is closed and every worker stopped with the runners. The rest of the teardown
    // (the offscreen form, Qt's font machinery) takes seconds on a loaded machine, and whoever
    // pressed Ctrl+C is waiting for the prompt.
    owned.clear();
    err.flush();
    std::fflush(nullptr);
    std::_Exit(kExitInterrupted);
  }
  return allOk ? kExitOk : kExitFailure;
}
