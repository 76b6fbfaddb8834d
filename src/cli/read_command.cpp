#include "cli/read_command.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "catalogue/param_table.h"
#include "cli/cli_options.h"
#include "cli/device_runner.h"
#include "cli/output_paths.h"
#include "cli/parallel_run.h"
#include "cli/read_report.h"
#include "cli/run_report.h"
#include "cli/subcommands.h"
#include "exchange/completions.h"
#include "serial/line_settings.h"
#include "writing/config_file.h"

namespace {

// Every device into its own file, side by side; one device is the same run with one runner.
// Without files (`--json` alone) the devices are only read and reported.
int ReadPorts(const std::string& command, const std::vector<std::string>& ports,
              const std::vector<std::string>& files, const LineSettings& settings, bool stay,
              int verbosity, bool json, std::ostream& out, std::ostream& err) {
  RunPlan plan;
  plan.settings = settings;
  plan.traffic = verbosity > 0 ? &err : nullptr;
  plan.showSecrets = verbosity > 1;
  plan.verify = false;
  plan.quit = !stay;
  // The rows are counted from the reply's labels; the sensor list is not needed for that.
  plan.prepare = [](DeviceSession& session) {
    BuildParamTable(session.Params(), session.ListParams(), std::nullopt);
  };
  std::vector<std::unique_ptr<DeviceRunner>> owned;
  std::vector<DeviceRunner*> runners;
  for (size_t i = 0; i < ports.size(); ++i) {
    RunPlan own = plan;
    own.onRead = [file = files.empty() ? std::string() : files[i]](const std::string& reply) {
      if (!ReplyLoadsBack(reply))
        return std::string(
            "the reply to AT+SHOW is garbled: line noise in it would spoil the file");
      if (file.empty()) return std::string();
      std::string error;
      if (WriteConfigFileTo(file, reply, &error)) return std::string();
      return "cannot write " + file + ": " + error;
    };
    owned.push_back(std::make_unique<DeviceRunner>(ports[i], own));
    runners.push_back(owned.back().get());
  }
  const InterruptFlag interruptFlag;
  // One device says nothing while it works unless someone watches; several have a line each.
  // Traffic lines (-v) would be drawn over by redrawn progress lines.
  const bool terminal = isatty(STDERR_FILENO) == 1 && plan.traffic == nullptr;
  std::unique_ptr<ProgressLines> progress;
  if (terminal || runners.size() > 1)
    progress = std::make_unique<ProgressLines>(err, terminal, runners);
  const bool finished = RunAll(runners, [&] {
    if (progress) progress->Update();
  });
  bool allOk = true;
  for (size_t i = 0; i < runners.size(); ++i) {
    const DeviceReport& report = runners[i]->Report();
    allOk = allOk && report.ok;
    const std::string file = files.empty() ? std::string() : files[i];
    if (json) {
      out << FormatReadJson(report, file, runners[i]->FirstReply());
    } else {
      out << report.port << ": " << (report.ok ? "read into " + file : "FAILED: " + report.failure)
          << LeaveTail(report) << "\n";
    }
    // A script reading one device finds why it failed on stderr, in one line.
    if (runners.size() == 1 && !report.ok)
      err << command << ": " << report.failure << LeaveTail(report) << "\n";
  }
  out.flush();
  if (!finished) return ExitStatusForSignal(InterruptFlag::Signal());
  return allOk ? kExitOk : kExitFailure;
}

}  // namespace

int RunReadCommand(const QStringList& args, std::ostream& out, std::ostream& err) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Reads a device's configuration into a configuration file.");
  const QCommandLineOption help({"h", "help"}, "Shows this help.");
  const QCommandLineOption port(
      "port", "The serial device, e.g. /dev/ttyUSB0; repeat it to read several devices at once.",
      "PATH");
  const QCommandLineOption baud("baud", "Baud rate (115200).", "N", "115200");
  const QCommandLineOption line("line", "Line code: data bits, parity, stop bits (8N1).", "CODE",
                                "8N1");
  const QCommandLineOption output(
      {"o", "output"},
      "The configuration file to write; with several ports a folder (DIR/), where each device's "
      "file is named after its port (/dev/ttyUSB0 -> ttyUSB0.cfg; ports whose names meet are "
      "numbered: x_l1_x-1.cfg, x_l1_x-2.cfg). Checked before any port opens.",
      "FILE");
  const QCommandLineOption stay(
      "stay", "Leaves the device in its setting mode (else it ends with at+quit).");
  const QCommandLineOption json(
      "json",
      "Prints one JSON object per device and line, with the configuration it reported; -o is "
      "then optional.");
  const SerialOptions serial;
  parser.addOptions({help, port, baud, line, output, stay, json, serial.verbose});
  const std::string command = args.isEmpty() ? "dtu-config read" : args.first().toStdString();
  if (!parser.parse(args)) {
    err << command << ": " << parser.errorText().toStdString() << "\n";
    return kExitUsage;
  }
  if (parser.isSet(help)) {
    // The parser names the program by its path; the command is what a user typed.
    QString text = parser.helpText();
    const qsizetype options = text.indexOf("[options]");
    if (text.startsWith("Usage: ") && options > 0)
      text.replace(7, options - 7, QString::fromStdString(command) + " ");
    out << text.toStdString() << "\n" << kDeviceExitStatuses;
    return kExitOk;
  }
  QStringList ports = parser.values(port);
  const std::string portPath = parser.value(port).toStdString();
  const bool toFiles = parser.isSet(output) || !parser.isSet(json);
  if (portPath.empty() || ports.contains(QString()) || ports.removeDuplicates() > 0 ||
      (toFiles && parser.value(output).isEmpty()) || !parser.positionalArguments().isEmpty()) {
    err << command << ": usage: " << command
        << " --port PATH [--port PATH ...] [--baud N] [--line 8N1] [--stay] [--json] "
           "-o FILE|DIR/ (-o is optional with --json)\n";
    return kExitUsage;
  }
  std::string outputPath = parser.value(output).toLocal8Bit().toStdString();
  const bool toFolder =
      toFiles && (outputPath.back() == '/' || QFileInfo(parser.value(output)).isDir());
  if (toFiles && ports.size() > 1 && !toFolder) {
    err << command << ": with several ports -o names a folder (DIR/)\n";
    return kExitUsage;
  }
  const std::string baudText = parser.value(baud).toStdString();
  const std::string lineCode = parser.value(line).toStdString();
  LineSettings settings;
  if (!ParseBaudRate(baudText, &settings.baud)) {
    err << command << ": --baud takes a baud rate, not \"" << baudText << "\"\n";
    return kExitUsage;
  }
  if (!ParseLineCode(lineCode, &settings)) {
    err << command << ": --line takes a line code such as 8N1, not \"" << lineCode << "\"\n";
    return kExitUsage;
  }

  // Every file is named and checked before any port opens: a device is never read for a file
  // that cannot take it, nor two devices into one file.
  std::vector<std::string> portPaths;
  for (const QString& p : ports) portPaths.push_back(p.toLocal8Bit().toStdString());
  std::vector<std::string> files;
  if (toFolder) {
    if (outputPath.back() != '/') outputPath += '/';
    std::string why = OutputFolderProblem(outputPath);
    if (!why.empty() || !FilesForPorts(portPaths, outputPath, &files, &why)) {
      err << command << ": " << why << "; nothing was read\n";
      return kExitUsage;
    }
  } else if (toFiles) {
    files.push_back(outputPath);
  }
  for (const std::string& file : files) {
    if (const std::string why = OutputFileProblem(file); !why.empty()) {
      err << command << ": " << why << "; nothing was read\n";
      return kExitUsage;
    }
  }
  if (const std::string twice = SamePortTwice(ports); !twice.empty()) {
    err << command << ": " << twice << "\n";
    return kExitUsage;
  }
  UseProgramLanguage();
  return ReadPorts(command, portPaths, files, settings, parser.isSet(stay), Verbosity(parser),
                   parser.isSet(json), out, err);
}
