#include "cli/set_command.h"

#include <QCommandLineParser>

#include <memory>
#include <optional>
#include <vector>

#include "catalogue/catalogue_rows.h"
#include "cli/cli_options.h"
#include "cli/device_runner.h"
#include "cli/json_schemas.h"
#include "cli/port_runs.h"
#include "cli/run_report.h"
#include "cli/set_file.h"
#include "cli/subcommands.h"
#include "domain/device_params.h"

namespace {

// What a NAME of `set` stands for: a row to verify by, and the command it writes.
struct NamedRow {
  std::string name;
  std::string command;
};

// The row `name` stands for. The label the device and a file use comes first ("Server1's Ip",
// with or without its colon): a few control names are other rows' labels ("Server2's Ip" is the
// control of the row the device calls "Server1's Ip"). Then an AT command, then a control name.
// A five-DIO device's own labels of its fourth line ("DIO4 workmode") name that line.
std::optional<NamedRow> FindRow(const ParamTable& catalogue, const std::string& name) {
  // The DIO3 controls are bound by model: the device's third line on one, its fourth on the
  // other. A row that names one line on every model verifies the write on every device.
  auto boundByModel = [](const std::string& rowName) {
    for (const Dio3Binding& binding : Dio3Bindings()) {
      if (rowName == binding.name) return true;
    }
    return false;
  };
  const std::string label = ShownLabel(name);
  for (const auto& [rowName, row] : catalogue) {
    if (!row.label.empty() && ShownLabel(row.label) == label && !boundByModel(rowName))
      return NamedRow{rowName, row.atCommand};
  }
  for (const Dio3Binding& binding : Dio3Bindings()) {
    if (ShownLabel(binding.fiveDioLabel) == label)
      return NamedRow{binding.name, binding.fiveDioCommand};
    if (ShownLabel(binding.threeDioLabel) == label)
      return NamedRow{binding.name, binding.threeDioCommand};
  }
  if (IsAtPrefix(name)) {
    auto sameCommand = [&name](const std::string& command) {
      return command.size() == name.size() && IsAtPrefix(command) &&
             command.compare(2, std::string::npos, name, 2, std::string::npos) == 0;
    };
    for (const auto& [rowName, row] : catalogue) {
      if (sameCommand(row.atCommand) && !boundByModel(rowName))
        return NamedRow{rowName, row.atCommand};
    }
    for (const Dio3Binding& binding : Dio3Bindings()) {
      if (sameCommand(binding.fiveDioCommand))
        return NamedRow{binding.name, binding.fiveDioCommand};
      if (sameCommand(binding.threeDioCommand))
        return NamedRow{binding.name, binding.threeDioCommand};
    }
  }
  if (auto it = catalogue.find(name); it != catalogue.end())
    return NamedRow{it->first, it->second.atCommand};
  return std::nullopt;
}

// The bytes of each positional argument: `args` and `argBytes` are the same arguments, decoded
// and as given, and the positional ones come in their order. Nothing when an argument's text
// stands for two different byte strings on this command line (which bytes are meant is unknown).
std::optional<std::vector<std::string>> PositionalBytes(const QStringList& args,
                                                        const QStringList& positional,
                                                        const std::vector<std::string>& argBytes) {
  if (static_cast<size_t>(args.size()) != argBytes.size()) return std::nullopt;
  std::vector<std::string> exact;
  qsizetype next = 1;
  for (const QString& argument : positional) {
    while (next < args.size() && args[next] != argument) ++next;
    if (next == args.size()) return std::nullopt;
    const std::string& bytes = argBytes[static_cast<size_t>(next++)];
    for (qsizetype k = 1; k < args.size(); ++k) {
      if (args[k] == argument && argBytes[static_cast<size_t>(k)] != bytes) return std::nullopt;
    }
    exact.push_back(bytes);
  }
  return exact;
}

}  // namespace

bool MakeSetWrite(const ParamTable& catalogue, const std::string& assignment, WorkJob* job,
                  std::string* why) {
  const size_t equals = assignment.find('=');
  if (equals == std::string::npos || equals == 0) {
    *why = "expects NAME=VALUE";
    return false;
  }
  const std::string name = assignment.substr(0, equals);
  const std::string value = assignment.substr(equals + 1);
  const std::optional<NamedRow> row = FindRow(catalogue, name);
  if (!row) {
    *why = "no parameter has this label, AT command or control name";
    return false;
  }
  const std::string& command = row->command;
  const DeviceParam* param = command.empty() ? nullptr : FindParamByCommand(command);
  if (param == nullptr || param->domain->kind == DomainKind::kReadOnly) {
    *why = "the device only reports it; it cannot be written";
    return false;
  }
  if (HoldsLineBreak(value)) {
    *why = "the value holds a line break";
    return false;
  }
  if (!AcceptsValue(*param->domain, value)) {
    *why = "not a value the device takes; it takes " + DescribeDomain(*param->domain);
    return false;
  }
  *job = MakeParamWrite(row->name, command, value);
  return true;
}

bool FindSetName(const ParamTable& catalogue, const std::string& name, std::string* label) {
  const std::optional<NamedRow> row = FindRow(catalogue, name);
  if (!row) return false;
  const DeviceParam* param = row->command.empty() ? nullptr : FindParamByCommand(row->command);
  *label = param ? ShownLabel(param->label) : row->name;
  return true;
}

int RunSetCommand(const QStringList& args, const std::vector<std::string>& argBytes,
                  std::ostream& out, std::ostream& err) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Writes single parameters to each device, named by control name (\"Access Point Name\")\n"
      "or by AT command (AT+APN). Every value is checked before anything is sent; the device's\n"
      "configuration is kept as a backup before the first write; each write is read back.\n"
      "With --file, edits a configuration file (a profile) in place instead of a device.");
  const QCommandLineOption help({"h", "help"}, "Shows this help.");
  const QCommandLineOption json("json", "Prints one JSON object per device and line.");
  const SerialOptions serial;
  const BackupOptions backup;
  const QCommandLineOption file("file",
                                "Edits the configuration file FILE in place instead of a device: "
                                "checked as on a device, put through the form as \"Open file\" "
                                "does, replaced atomically.",
                                "FILE");
  parser.addOption(help);
  serial.AddTo(parser);
  parser.addOptions({json, file});
  backup.AddTo(parser);
  parser.addPositionalArgument("assignments", "What to write.", "NAME=VALUE...");
  const std::string command = args.isEmpty() ? "dtu-config set" : args.first().toStdString();
  if (!parser.parse(args)) {
    err << command << ": " << parser.errorText().toStdString() << "\n";
    return kExitUsage;
  }
  if (parser.isSet(help)) {
    out << HelpText(parser, command,
                    std::string(kDeviceExitStatuses) +
                        "A value refused before sending exits with 2; nothing is sent then.\n");
    return kExitOk;
  }
  QStringList ports = parser.values(serial.port);
  const QStringList assignments = parser.positionalArguments();
  if (parser.isSet(file)) {
    if (!ports.isEmpty() || parser.values(file).size() != 1 || parser.value(file).isEmpty() ||
        assignments.isEmpty() || parser.isSet(json)) {
      err << command << ": usage: " << command << " --file FILE NAME=VALUE...\n";
      return kExitUsage;
    }
    const std::optional<std::vector<std::string>> exact =
        PositionalBytes(args, assignments, argBytes);
    if (!exact) {
      err << command << ": two arguments differ only in bytes that are not UTF-8; which is meant "
          << "is unknown: the file was not changed\n";
      return kExitUsage;
    }
    return RunSetOnFile(command, parser.value(file).toLocal8Bit().toStdString(), *exact, out, err);
  }
  if (ports.isEmpty() || ports.contains(QString()) || ports.removeDuplicates() > 0 ||
      assignments.isEmpty()) {
    err << command << ": usage: " << command
        << " --port PATH [--port PATH ...] [--baud N] [--line 8N1] [--stay] "
           "[--backup-dir DIR | --no-backup] NAME=VALUE...\n"
        << "       " << command << " --file FILE NAME=VALUE...\n"
        << "(each port once)\n";
    return kExitUsage;
  }
  if (const std::string twice = SamePortTwice(ports); !twice.empty()) {
    err << command << ": " << twice << "\n";
    return kExitUsage;
  }
  RunPlan plan;
  if (!ReadLineSettings(parser, serial, command, err, &plan.settings)) return kExitUsage;
  plan.traffic = Verbosity(parser) > 0 ? &err : nullptr;
  plan.showSecrets = Verbosity(parser) > 1;
  if (!ReadBackupSettings(parser, backup, command, err, &plan.backup)) return kExitUsage;

  ParamTable catalogue;
  ListParamTable lists;
  BuildParamTable(catalogue, lists, std::nullopt);
  // The values go to the device as the command line gave their bytes: decoding them would send
  // U+FFFD for every byte that is not UTF-8 (a GB 18030 APN).
  const std::optional<std::vector<std::string>> exact =
      PositionalBytes(args, assignments, argBytes);
  if (!exact) {
    err << command << ": two arguments differ only in bytes that are not UTF-8; which is meant "
        << "is unknown: nothing was sent\n";
    return kExitUsage;
  }
  std::vector<WorkJob> writes;
  bool refused = false;
  for (const std::string& text : *exact) {
    WorkJob job;
    std::string why;
    if (MakeSetWrite(catalogue, text, &job, &why)) {
      writes.push_back(job);
    } else {
      err << command << ": " << EscapedText(text) << ": refused: " << why << "\n";
      refused = true;
    }
  }
  if (refused) {
    err << command << ": nothing was sent\n";
    return kExitUsage;
  }

  UseProgramLanguage();
  plan.quit = !parser.isSet(serial.stay);
  plan.prepare = [](DeviceSession& session) {
    BuildParamTable(session.Params(), session.ListParams(), std::nullopt);
  };
  plan.compose = [writes](DeviceSession&) { return ComposedWrites{writes, {}}; };
  return RunPlanOnPorts(ports, plan, {parser.isSet(json), true, kSetJsonSchema}, out, err);
}
