#include "cli/read_command.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <unistd.h>

#include <string>

#include "catalogue/param_table.h"
#include "cli/headless_session.h"
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

}  // namespace

int RunReadCommand(const QStringList& args, std::ostream& out, std::ostream& err) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Reads a device's configuration into a configuration file.");
  const QCommandLineOption help({"h", "help"}, "Shows this help.");
  const QCommandLineOption port("port", "The serial device, e.g. /dev/ttyUSB0.", "PATH");
  const QCommandLineOption baud("baud", "Baud rate (115200).", "N", "115200");
  const QCommandLineOption line("line", "Line code: data bits, parity, stop bits (8N1).", "CODE",
                                "8N1");
  const QCommandLineOption output({"o", "output"}, "The configuration file to write.", "FILE");
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
    out << text.toStdString();
    return kExitOk;
  }
  const std::string portPath = parser.value(port).toStdString();
  if (portPath.empty() || !parser.isSet(output) || parser.value(output).isEmpty() ||
      !parser.positionalArguments().isEmpty()) {
    err << command << ": usage: " << command
        << " --port PATH [--baud N] [--line 8N1] [--stay] -o FILE\n";
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
