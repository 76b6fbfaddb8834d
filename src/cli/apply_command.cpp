#include "cli/apply_command.h"
#include "cli/config_input.h"

#include <QElapsedTimer>

#include <QFile>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "catalogue/param_table.h"
#include "catalogue/show_reply_parser.h"
#include "cli/cli_options.h"
#include "cli/device_csv.h"
#include "cli/device_runner.h"
#include "cli/json_bytes.h"
#include "cli/json_schemas.h"
#include "cli/port_runs.h"
#include "cli/profile_edits.h"
#include "cli/set_command.h"
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

// The template on the offscreen form, built once when it is first needed. Building it takes the
// UI thread for about a tenth of a second; the command does it while the devices send their
// configuration, instead of before the ports open.
class TemplateOnForm {
 public:
  TemplateOnForm(std::string skinDir, std::string text)
      : skinDir_(std::move(skinDir)), text_(std::move(text)) {}

  // Empty once the form holds `text`; otherwise why it cannot. The form is built (and holds the
  // template) first.
  std::string Hold(const std::string& text) {
    if (const std::string& why = Ensure(); !why.empty()) return why;
    std::string reason;
    if (!form_->Load(text, &reason)) return "the form does not take the file: " + reason;
    return {};
  }

  // Empty once the form holds the template; otherwise why it cannot.
  const std::string& Ensure() {
    if (tried_) return failure_;
    tried_ = true;
    form_ = std::make_unique<TemplateForm>(skinDir_);
    std::string reason;
    if (!form_->Build(&reason)) {
      failure_ = "cannot build the form: " + reason;
    } else if (!form_->Load(text_, &reason)) {
      failure_ = "the form does not take the file: " + reason;
    }
    return failure_;
  }
  bool Tried() const { return tried_; }
  TemplateForm& form() { return *form_; }

 private:
  std::string skinDir_;
  std::string text_;
  std::unique_ptr<TemplateForm> form_;
  bool tried_ = false;
  std::string failure_;
};

// Every device is sending its configuration (or has got further, or has ended): the UI thread
// may be busy for a while, the replies come in meanwhile.
bool AllReading(const std::vector<DeviceRunner*>& runners) {
  for (const DeviceRunner* runner : runners) {
    if (runner->Phase() == RunPhase::kLogin) return false;
    if (runner->Phase() == RunPhase::kRead && !runner->ReadUnderWay()) return false;
  }
  return true;
}

// A device still logging in by then does not hold the form back any longer.
constexpr int kBuildFormByMs = 1500;

}  // namespace

int RunApplyCommand(const QStringList& args, std::ostream& out, std::ostream& err) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Brings each device to the configuration of a .cfg file, all devices at once: logs in,\n"
      "reads the device, puts the file on the form as \"Open file\" does, keeps the device's\n"
      "configuration as a backup, writes what differs, reads the device again to check every\n"
      "write, and ends with at+quit. Applying a backup restores the device.");
  const QCommandLineOption help({"h", "help"}, "Shows this help.");
  const SerialOptions serial;
  const QCommandLineOption dryRun("dry-run",
                                  "Logs in and reads each device, prints what would be written "
                                  "and sends nothing else.");
  const QCommandLineOption json("json", "Prints one JSON object per device and line.");
  const QCommandLineOption set("set",
                               "Replaces a value of FILE for this run (repeatable): NAME as set "
                               "takes it, the value checked as set checks it.",
                               "NAME=VALUE");
  const QCommandLineOption perDevice(
      "per-device",
      "Applies FILE to every port of the CSV table (header port,NAME,NAME...; one row per "
      "device), each with its own values; instead of --port.",
      "CSV");
  const BackupOptions backup;
  parser.addOption(help);
  serial.AddTo(parser);
  parser.addOptions({dryRun, json, set, perDevice});
  backup.AddTo(parser);
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
  QStringList ports = parser.values(serial.port);
  const QStringList files = parser.positionalArguments();
  const bool csv = parser.isSet(perDevice);
  std::set<QString> distinct(ports.begin(), ports.end());
  if (files.size() != 1 || ports.isEmpty() == !csv || distinct.count(QString()) > 0 ||
      distinct.size() != static_cast<size_t>(ports.size()) ||
      (csv && (parser.values(perDevice).size() != 1 || parser.value(perDevice).isEmpty()))) {
    err << command << ": usage: " << command
        << " FILE --port PATH [--port PATH ...] [--set NAME=VALUE ...] [--baud N] [--line 8N1] "
           "[--dry-run] [--json] [--stay] [--backup-dir DIR | --no-backup]\n"
        << "       " << command << " FILE --per-device CSV [--set NAME=VALUE ...] [...]\n"
        << "(each port once; --per-device names the ports itself)\n";
    return kExitUsage;
  }
  if (const std::string twice = SamePortTwice(ports); !twice.empty()) {
    err << command << ": " << twice << "\n";
    return kExitUsage;
  }
  RunPlan plan;
  if (!ReadLineSettings(parser, serial, command, err, &plan.settings)) return kExitUsage;
  if (!ReadBackupSettings(parser, backup, command, err, &plan.backup)) return kExitUsage;

  const std::string path = files.first().toLocal8Bit().toStdString();
  std::string text;
  if (!ReadWholeConfigFile(command, path, "; nothing was sent", err, &text)) return kExitFailure;
  std::string reason;

  // Every replaced value is checked before any port opens: one refusal and nothing is sent.
  ParamTable catalogue;
  ListParamTable catalogueLists;
  BuildParamTable(catalogue, catalogueLists, std::nullopt);
  std::vector<WorkJob> setWrites;
  for (const QString& assignment : parser.values(set)) {
    WorkJob job;
    std::string why;
    const std::string bytes = assignment.toLocal8Bit().toStdString();
    if (assignment.contains(QChar::ReplacementCharacter)) {
      why =
          "the value holds bytes that are not UTF-8, which the option cannot carry exactly "
          "(set --file takes them)";
    } else if (MakeSetWrite(catalogue, bytes, &job, &why)) {
      setWrites.push_back(job);
      continue;
    }
    err << command << ": --set " << EscapedText(bytes) << ": refused: " << why
        << "; nothing was sent\n";
    return kExitUsage;
  }
  std::map<std::string, std::string> deviceTexts;
  std::map<std::string, std::vector<std::string>> deviceLabels;
  if (csv) {
    const QString csvPath = parser.value(perDevice);
    QFile table(csvPath);
    if (!table.open(QIODevice::ReadOnly)) {
      err << command << ": cannot read " << csvPath.toStdString() << ": "
          << table.errorString().toStdString() << "; nothing was sent\n";
      return kExitUsage;
    }
    const QByteArray bytes = table.readAll();
    std::vector<DeviceValues> devices;
    if (!ReadDeviceCsv(csvPath.toLocal8Bit().toStdString(), bytes.toStdString(), catalogue,
                       &devices, &reason)) {
      err << command << ": " << reason << "; nothing was sent\n";
      return kExitUsage;
    }
    for (const DeviceValues& device : devices) {
      std::vector<WorkJob> writes = setWrites;
      writes.insert(writes.end(), device.writes.begin(), device.writes.end());
      std::string edited;
      if (!EditConfigText(text, writes, &edited, &reason)) {
        err << command << ": " << csvPath.toStdString() << ":" << device.line << ": " << reason
            << "; nothing was sent\n";
        return kExitUsage;
      }
      deviceTexts[device.port] = edited;
      deviceLabels[device.port] = device.labels;
      ports << QString::fromLocal8Bit(device.port.data(),
                                      static_cast<qsizetype>(device.port.size()));
    }
  }
  if (!setWrites.empty()) {
    std::string edited;
    if (!EditConfigText(text, setWrites, &edited, &reason)) {
      err << command << ": " << path << ": " << reason << "; nothing was sent\n";
      return kExitUsage;
    }
    text = edited;
  }

  const ProgramPaths paths = UseProgramLanguage();
  TemplateOnForm templ(paths.skinDir, text);

  plan.dryRun = parser.isSet(dryRun);
  plan.verify = !plan.dryRun;
  plan.quit = !parser.isSet(serial.stay);
  plan.traffic = Verbosity(parser) > 0 ? &err : nullptr;
  plan.showSecrets = Verbosity(parser) > 1;
  // The read needs only the catalogue; the form's rows, with the active flags its rules set,
  // replace them before the writes are composed, and the device's reply is parsed into them.
  plan.prepare = [](DeviceSession& session) {
    BuildParamTable(session.Params(), session.ListParams(), std::nullopt);
  };
  plan.beforeCompose = [&templ, &deviceTexts, csv](DeviceSession& session,
                                                   const std::string& reply) {
    std::string why;
    if (csv) {
      // One form serves every device: it takes this device's own configuration just before
      // its writes are composed.
      auto own = deviceTexts.find(session.PortPath());
      why = own == deviceTexts.end() ? "no values of the table belong to this port"
                                     : templ.Hold(own->second);
    } else {
      why = templ.Ensure();
    }
    if (!why.empty()) return why;
    PrepareTables(templ.form(), session);
    ParseShowReply(reply.data(), reply.size(), session.Params(), session.ListParams(),
                   session.Facts().fiveDioModel);
    return why;
  };
  plan.compose = [&templ](DeviceSession& session) {
    return templ.form().ComposeFor(session.Params(), session.ListParams());
  };
  if (csv) {
    plan.fromCsv = [&deviceLabels](const std::string& port) {
      auto labels = deviceLabels.find(port);
      return labels == deviceLabels.end() ? std::vector<std::string>() : labels->second;
    };
  }
  QElapsedTimer started;
  started.start();
  return RunPlanOnPorts(
      ports, plan, {parser.isSet(json), plan.dryRun, kApplyJsonSchema}, out, err,
      [&](const std::vector<DeviceRunner*>& runners) {
        if (!templ.Tried() && (AllReading(runners) || started.elapsed() > kBuildFormByMs))
          templ.Ensure();
      });
}
