#include "cli/read_command.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <unistd.h>

#include <functional>
#include <string>

#include "app/event_wait.h"
#include "texts/language.h"
#include "app/main_window.h"
#include "cli/subcommands.h"
#include "exchange/enqueue_job.h"
#include "exchange/receive_path.h"
#include "exchange/work_job.h"
#include "serial/line_settings.h"
#include "serial/port_error.h"

namespace {

// How long a device may take to show its boot prompt or its setting menu after the port opened.
constexpr int kBootPromptWaitMs = 1500;
constexpr int kSettingMenuWaitMs = 15000;
constexpr int kEscapeAnswerWaitMs = 3000;

// Puts `text` into a connection combo: selects the item of that text, adding it when missing.
void ChooseComboText(Form& form, const char* name, const std::string& text) {
  Control* control = form.Find(name);
  ComboControl* combo = control ? control->AsCombo() : nullptr;
  if (!combo) return;
  for (int i = 0; i < combo->ItemCount(); ++i) {
    if (combo->ItemText(i) == text) {
      combo->SelectItem(i);
      return;
    }
  }
  combo->AddItem(text);
  combo->SelectItem(combo->ItemCount() - 1);
}

// Opens the port and brings the device into its setting mode: through its boot prompt when it
// is starting, else by "+++". False with `*failure` set.
bool OpenAndLogIn(CZR350FrameWnd& window, const std::string& port, std::string* failure) {
  window.OnStartCom();
  if (!window.serialPort.IsOpen()) {
    *failure = "cannot open " + port;
    return false;
  }
  auto loggedIn = [&] { return window.loggedIn; };
  // A starting device talks at once (its boot prompt); the "s" stream then gets it into the menu.
  const unsigned long before = window.receivedChunks;
  if (RunEventLoopUntil([&] { return loggedIn() || window.receivedChunks != before; },
                        kBootPromptWaitMs) &&
      RunEventLoopUntil(loggedIn, kSettingMenuWaitMs)) {
    return true;
  }
  if (!window.serialPort.IsOpen()) {
    *failure = "the device at " + port + " went away";
    return false;
  }
  LoginByEscape(window.exchange, window);
  if (RunEventLoopUntil(loggedIn, kEscapeAnswerWaitMs)) return true;
  *failure = "login: the device at " + port +
             " answered neither its boot prompt nor \"+++\" with its setting mode";
  return false;
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
  parser.addOptions({help, port, baud, line, output});
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
  if (!parser.isSet(port) || !parser.isSet(output) || !parser.positionalArguments().isEmpty()) {
    err << command << ": usage: " << command << " --port PATH [--baud N] [--line 8N1] -o FILE\n";
    return kExitUsage;
  }
  const std::string portPath = parser.value(port).toStdString();
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
  const ProgramPaths paths = MakeProgramPaths(programDir, language);
  SetLanguageFile(paths.languagePath);

  CZR350FrameWnd window(paths, language);
  window.headless = true;
  window.onQuit = [] {};
  // The log pane's lines go to stderr while someone watches; port errors always do.
  const bool progress = isatty(STDERR_FILENO) == 1;
  std::string lastLog;
  window.onLog = [&err, &lastLog, progress](const std::string& text) {
    lastLog = text;
    if (progress) err << text << std::flush;
  };
  std::string error;
  if (!window.Create(&error)) {
    err << command << ": cannot load the skin from " << paths.skinDir << ": " << error << "\n";
    return kExitFailure;
  }
  if (!window.StartWorker()) {
    err << command << ": cannot start the worker thread\n";
    return kExitFailure;
  }
  SetPortErrorReporter({});
  window.preselectedPort = portPath;
  window.RefreshPortList();
  ChooseComboText(window.form(), "BaudRate1", baudText);
  ChooseComboText(window.form(), "Checkcode", lineCode);

  std::string failure;
  if (!OpenAndLogIn(window, portPath, &failure)) {
    // An open that failed leaves the reason in the log pane's last line.
    if (!window.serialPort.IsOpen() && !lastLog.empty() && failure.rfind("cannot open", 0) == 0)
      failure += ": " + std::string(lastLog.substr(0, lastLog.find_last_not_of("\r\n") + 1));
    err << command << ": " << failure << "\n";
    return kExitFailure;
  }

  // The save-to-file job: the device's show reply, written as the file dialog's save would.
  bool finished = false;
  JobOutcome outcome = JobOutcome::kFailed;
  std::string messageBox;
  window.onJobFinished = [&](int kind, JobOutcome jobOutcome) {
    if (kind != kJobSaveToFile) return;
    finished = true;
    outcome = jobOutcome;
  };
  // A file that cannot be written shows up as the window's message box.
  window.onMessageBox = [&](const std::string& text) { messageBox = text; };
  WorkJob job;
  job.kind = kJobSaveToFile;
  job.command = std::string(kFileShowCommand);
  job.filePath = parser.value(output).toStdString();
  window.configFilePath = job.filePath;
  EnqueueJob(window.exchange, window, job);
  const int timeoutMs = JobTimeoutMs(kJobSaveToFile, window.timeoutFactor) + 2000;
  RunEventLoopUntil([&] { return finished || !window.serialPort.IsOpen(); }, timeoutMs);
  if (!finished) {
    err << command << ": the device at " << portPath
        << (window.serialPort.IsOpen() ? " did not answer the read\n"
                                       : " went away during the read\n");
    return kExitFailure;
  }
  if (outcome == JobOutcome::kTimedOut) {
    err << command << ": time-out: the device did not send its configuration within "
        << JobTimeoutMs(kJobSaveToFile, window.timeoutFactor) / 1000 << " s\n";
    return kExitFailure;
  }
  if (outcome == JobOutcome::kFailed) {
    if (messageBox.empty()) {
      err << command << ": the device answered AT+SHOW with ERROR\n";
    } else {
      err << command << ": cannot write " << job.filePath << ": " << messageBox << "\n";
    }
    return kExitFailure;
  }
  window.OnStartCom();  // closes the port
  return kExitOk;
}
