#include "cli/read_command.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <QFileInfo>

#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "catalogue/param_table.h"
#include "cli/cli_options.h"
#include "cli/device_runner.h"
#include "cli/headless_session.h"
#include "cli/parallel_run.h"
#include "cli/run_report.h"
#include "cli/subcommands.h"
#include "exchange/completions.h"
#include "exchange/work_job.h"
#include "serial/line_settings.h"
#include "serial/port_error.h"
#include "texts/language.h"
#include "texts/settings.h"
#include "writing/config_file.h"

namespace {

// Why a parsed show reply cannot be stored, or empty when it is whole: every catalogue label
// must be in it, else the line was garbled and a file would hold empty rows.
std::string IncompleteReply(const HeadlessSession& headless, size_t catalogueRows) {
  if (!headless.ShowParsed()) return "the device's reply to AT+SHOW holds no configuration";
  const ShowReplyResult& result = headless.LastShowResult();
  if (result.labelsFound >= catalogueRows) {
    if (ReplyLoadsBack(headless.LastShowReply())) return {};
    return "the reply to AT+SHOW is garbled: line noise in it would spoil the file";
  }
  return "the reply to AT+SHOW is garbled or incomplete: " +
         std::to_string(catalogueRows - result.labelsFound) + " of " +
         std::to_string(catalogueRows) + " parameters are missing";
}

// The file of one port in `dir`: the port's path without "/dev/", its slashes as '_', ".cfg".
std::string FileForPort(const std::string& dir, const std::string& port) {
  std::string name = port.rfind("/dev/", 0) == 0 ? port.substr(5) : port;
  while (!name.empty() && name.front() == '/') name.erase(0, 1);
  for (char& c : name)
    if (c == '/') c = '_';
  return dir + name + ".cfg";
}

// Several devices at once, each into a file of its own in `dir` (ending with '/').
int ReadMany(const QStringList& ports, const std::string& dir, const LineSettings& settings,
             bool stay, std::ostream& out, std::ostream& err) {
  RunPlan plan;
  plan.settings = settings;
  plan.verify = false;
  plan.quit = !stay;
  plan.prepare = [](DeviceSession& session) {
    BuildParamTable(session.Params(), session.ListParams(), std::nullopt);
  };
  std::vector<std::unique_ptr<DeviceRunner>> owned;
  std::vector<DeviceRunner*> runners;
  std::vector<std::string> files;
  for (const QString& port : ports) {
    const std::string path = port.toLocal8Bit().toStdString();
    const std::string file = FileForPort(dir, path);
    files.push_back(file);
    RunPlan own = plan;
    own.onRead = [file](const std::string& reply) {
      std::string error;
      if (WriteConfigFileTo(file, reply, &error)) return std::string();
      return "cannot write " + file + ": " + error;
    };
    owned.push_back(std::make_unique<DeviceRunner>(path, own));
    runners.push_back(owned.back().get());
  }
  const InterruptFlag interruptFlag;
  ProgressLines progress(err, isatty(STDERR_FILENO) == 1, runners);
  const bool finished = RunAll(runners, [&] { progress.Update(); });
  bool allOk = true;
  for (size_t i = 0; i < runners.size(); ++i) {
    const DeviceReport& report = runners[i]->Report();
    allOk = allOk && report.ok;
    out << report.port << ": "
        << (report.ok ? "read into " + files[i] : "FAILED: " + report.failure) << "\n";
  }
  if (!finished) return kExitInterrupted;
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
      "file is named after its port (/dev/ttyUSB0 -> ttyUSB0.cfg).",
      "FILE");
  const QCommandLineOption stay(
      "stay", "Leaves the device in its setting mode (else it ends with at+quit).");
  parser.addOptions({help, port, baud, line, output, stay});
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
  if (portPath.empty() || ports.contains(QString()) || ports.removeDuplicates() > 0 ||
      !parser.isSet(output) || parser.value(output).isEmpty() ||
      !parser.positionalArguments().isEmpty()) {
    err << command << ": usage: " << command
        << " --port PATH [--port PATH ...] [--baud N] [--line 8N1] [--stay] -o FILE|DIR/\n";
    return kExitUsage;
  }
  std::string outputPath = parser.value(output).toLocal8Bit().toStdString();
  const bool toFolder = outputPath.back() == '/' || QFileInfo(parser.value(output)).isDir();
  if (ports.size() > 1 && !toFolder) {
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

  if (toFolder) {
    if (outputPath.back() != '/') outputPath += '/';
    UseProgramLanguage();
    return ReadMany(ports, outputPath, settings, parser.isSet(stay), out, err);
  }

  const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
  const int language = ReadLanguageValue(MakeProgramPaths(programDir, 0).configPath);
  SetLanguageFile(MakeProgramPaths(programDir, language).languagePath);
  SetPortErrorReporter({});

  // The log's lines go to stderr while someone watches.
  HeadlessSession headless(isatty(STDERR_FILENO) == 1 ? &err : nullptr);
  DeviceSession& session = headless.session();
  // The rows are counted from the reply's labels; the sensor list is not needed for that.
  BuildParamTable(session.Params(), session.ListParams(), std::nullopt);
  const size_t catalogueRows = session.Params().size();

  std::string failure;
  if (!headless.OpenAndLogIn(portPath, settings, &failure)) {
    err << command << ": " << failure << "\n";
    return kExitFailure;
  }
  // The leading line break ends whatever half line the device may still hold.
  JobOutcome outcome = JobOutcome::kFailed;
  if (!headless.RunJob(MakeJob(kJobShow, kFileShowCommand), &outcome)) {
    err << command << ": the device at " << portPath
        << (session.IsOpen() ? " did not answer the read\n" : " went away during the read\n");
    return kExitFailure;
  }
  if (outcome == JobOutcome::kTimedOut) {
    err << command << ": time-out: the device did not send its configuration within "
        << JobTimeoutMs(kJobShow, session.TimeoutFactor()) / 1000 << " s\n";
    return kExitFailure;
  }
  if (outcome == JobOutcome::kRestarted) {
    err << command << ": the device at " << portPath
        << " restarted during the read; nothing written\n";
    return kExitFailure;
  }
  if (outcome == JobOutcome::kFailed) {
    err << command << ": the device refused AT+SHOW\n";
    return kExitFailure;
  }
  if (const std::string incomplete = IncompleteReply(headless, catalogueRows);
      !incomplete.empty()) {
    err << command << ": " << incomplete << "; nothing written\n";
    return kExitFailure;
  }
  const std::string file = parser.value(output).toStdString();
  std::string error;
  if (!WriteConfigFileTo(file, headless.LastShowReply(), &error)) {
    err << command << ": cannot write " << file << ": " << error << "\n";
    return kExitFailure;
  }
  // The device goes back to its data mode, as the window's quit button would do it.
  if (!parser.isSet(stay)) headless.RunJob(MakeJob(kJobQuitSetting, "at+quit\r\n"), &outcome);
  session.Close();
  return kExitOk;
}
