#include "cli/cli_options.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <map>

#include "serial/port_error.h"
#include "texts/language.h"

bool ReadLineSettings(const QCommandLineParser& parser, const SerialOptions& options,
                      const std::string& command, std::ostream& err, LineSettings* settings) {
  const std::string baudText = parser.value(options.baud).toStdString();
  const std::string lineCode = parser.value(options.line).toStdString();
  if (!ParseBaudRate(baudText, &settings->baud)) {
    err << command << ": --baud takes a baud rate, not \"" << baudText << "\"\n";
    return false;
  }
  if (!ParseLineCode(lineCode, settings)) {
    err << command << ": --line takes a line code such as 8N1, not \"" << lineCode << "\"\n";
    return false;
  }
  return true;
}

bool ReadBackupSettings(const QCommandLineParser& parser, const BackupOptions& options,
                        const std::string& command, std::ostream& err, BackupSettings* settings) {
  if (parser.isSet(options.none) && parser.isSet(options.dir)) {
    err << command << ": --backup-dir and --no-backup exclude each other\n";
    return false;
  }
  settings->enabled = !parser.isSet(options.none);
  if (parser.isSet(options.dir)) {
    const QString dir = parser.value(options.dir);
    if (dir.isEmpty()) {
      err << command << ": --backup-dir takes a folder\n";
      return false;
    }
    // The report names the backup by a path that works from anywhere.
    settings->dir = QFileInfo(dir).absoluteFilePath().toLocal8Bit().toStdString();
  }
  return true;
}

std::string HelpText(const QCommandLineParser& parser, const std::string& command,
                     const std::string& epilogue) {
  // The parser names the program by its path; the command is what a user typed.
  QString text = parser.helpText();
  const qsizetype options = text.indexOf("[options]");
  if (text.startsWith("Usage: ") && options > 0)
    text.replace(7, options - 7, QString::fromStdString(command) + " ");
  return text.toStdString() + "\n" + epilogue;
}

ProgramPaths UseProgramLanguage() {
  const std::string programDir = QCoreApplication::applicationDirPath().toStdString() + "/";
  const int language = ReadLanguageValue(MakeProgramPaths(programDir, 0).configPath);
  ProgramPaths paths = MakeProgramPaths(programDir, language);
  SetLanguageFile(paths.languagePath);
  SetPortErrorReporter({});
  return paths;
}

std::string SamePortTwice(const QStringList& ports) {
  std::map<QString, QString> seen;
  for (const QString& port : ports) {
    const QString device = QFileInfo(port).canonicalFilePath();
    if (device.isEmpty()) continue;  // not there: its opening fails on its own
    auto [at, fresh] = seen.emplace(device, port);
    if (!fresh && at->second != port) {
      return (at->second + " and " + port + " are one device (" + device + ")").toStdString();
    }
  }
  return {};
}

int Verbosity(const QCommandLineParser& parser) {
  int count = 0;
  for (const QString& name : parser.optionNames())
    count += name == QLatin1String("v") || name == QLatin1String("verbose") ? 1 : 0;
  return count;
}
