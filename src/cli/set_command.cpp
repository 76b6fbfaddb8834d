#include "cli/set_command.h"

#include <QCommandLineParser>

#include <memory>
#include <optional>
#include <vector>

#include "cli/cli_options.h"
#include "cli/device_runner.h"
#include "cli/port_runs.h"
#include "cli/run_report.h"
#include "cli/subcommands.h"
#include "domain/device_params.h"

namespace {

// The catalogue row written by `name`: its control name first, else its AT command.
const ParamTable::value_type* FindRow(const ParamTable& catalogue, const std::string& name) {
  if (auto it = catalogue.find(name); it != catalogue.end()) return &*it;
  if (!IsAtPrefix(name)) return nullptr;
  for (const auto& entry : catalogue) {
    const std::string& command = entry.second.atCommand;
    if (command.size() == name.size() && IsAtPrefix(command) &&
        command.compare(2, std::string::npos, name, 2, std::string::npos) == 0)
      return &entry;
  }
  return nullptr;
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
  const ParamTable::value_type* row = FindRow(catalogue, name);
  if (row == nullptr) {
    *why = "no parameter has this control name or AT command";
    return false;
  }
  const std::string& command = row->second.atCommand;
  const DeviceParam* param = command.empty() ? nullptr : FindParamByCommand(command);
  if (param == nullptr || param->domain->kind == DomainKind::kReadOnly) {
    *why = "the device only reports it; it cannot be written";
    return false;
  }
  // A line break would end the command early and send the rest as a command of its own.
  if (value.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
    *why = "the value holds a line break";
    return false;
  }
  if (!AcceptsValue(*param->domain, value)) {
    *why =
        std::string("not a value the device takes (") + DomainKindName(param->domain->kind) + ")";
    return false;
  }
  job->kind = kJobWrite;
  job->command = command + "=" + value + "\r\n";
  job->name = row->first;
  job->value = value;
  return true;
}

int RunSetCommand(const QStringList& args, const std::vector<std::string>& argBytes,
                  std::ostream& out, std::ostream& err) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Writes single parameters to each device, named by control name (\"Access Point Name\")\n"
      "or by AT command (AT+APN). Every value is checked before anything is sent; the device's\n"
      "configuration is kept as a backup before the first write; each write is read back.");
  const QCommandLineOption help({"h", "help"}, "Shows this help.");
  const QCommandLineOption json("json", "Prints one JSON object per device and line.");
  const SerialOptions serial;
  const BackupOptions backup;
  parser.addOption(help);
  serial.AddTo(parser);
  parser.addOption(json);
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
  if (ports.isEmpty() || ports.contains(QString()) || ports.removeDuplicates() > 0 ||
      assignments.isEmpty()) {
    err << command << ": usage: " << command
        << " --port PATH [--port PATH ...] [--baud N] [--line 8N1] [--stay] "
           "[--backup-dir DIR | --no-backup] NAME=VALUE...\n"
        << "(each port once)\n";
    return kExitUsage;
  }
  if (const std::string twice = SamePortTwice(ports); !twice.empty()) {
    err << command << ": " << twice << "\n";
    return kExitUsage;
  }
  RunPlan plan;
  if (!ReadLineSettings(parser, serial, command, err, &plan.settings)) return kExitUsage;
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
  return RunPlanOnPorts(ports, plan, {parser.isSet(json), true}, out, err);
}
