// What the device commands share on their command lines: the serial options, the help text and
// the program's language and skin.
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include <ostream>
#include <string>

#include "serial/line_settings.h"
#include "texts/settings.h"
#include "writing/write_backup.h"

struct SerialOptions {
  QCommandLineOption port{"port", "A serial device, e.g. /dev/ttyUSB0 (repeatable).", "PATH"};
  QCommandLineOption baud{"baud", "Baud rate (115200).", "N", "115200"};
  QCommandLineOption line{"line", "Line code: data bits, parity, stop bits (8N1).", "CODE", "8N1"};
  QCommandLineOption stay{"stay",
                          "Leaves each device in its setting mode (else it ends with at+quit)."};
  QCommandLineOption verbose{{"v", "verbose"},
                             "Shows the traffic with each device on stderr, passwords masked; "
                             "-vv shows the passwords too."};
  void AddTo(QCommandLineParser& parser) const {
    parser.addOptions({port, baud, line, stay, verbose});
  }
};

// How often -v (or --verbose) was given.
int Verbosity(const QCommandLineParser& parser);

// Where "apply" and "set" keep a device's configuration before writing to it.
struct BackupOptions {
  QCommandLineOption dir{"backup-dir",
                         "Keeps each device's configuration, read before the first write, in "
                         "DIR (default: $XDG_STATE_HOME/dtu-config/backups, else "
                         "~/.local/state/dtu-config/backups).",
                         "DIR"};
  QCommandLineOption none{"no-backup", "Writes without keeping the devices' configurations first."};
  void AddTo(QCommandLineParser& parser) const { parser.addOptions({dir, none}); }
};

// The backup settings of the parsed options; false with a message on `err` (an empty DIR, or
// both options at once).
bool ReadBackupSettings(const QCommandLineParser& parser, const BackupOptions& options,
                        const std::string& command, std::ostream& err, BackupSettings* settings);

// The line settings of the parsed options; false with a message on `err`.
bool ReadLineSettings(const QCommandLineParser& parser, const SerialOptions& options,
                      const std::string& command, std::ostream& err, LineSettings* settings);

// Two of `ports` that name one device (the same device file once links are followed, as a
// by-id name and its node): a message naming both, or empty. Opened twice, the device would get
// two logins and two commands at a time.
std::string SamePortTwice(const QStringList& ports);

// The parser's help, named by the command a user typed, followed by `epilogue`.
std::string HelpText(const QCommandLineParser& parser, const std::string& command,
                     const std::string& epilogue);

// The program's paths with the language config.ini chooses; the language file is set for the
// texts the composition compares with.
ProgramPaths UseProgramLanguage();

// The exit statuses every device command shares, for --help.
inline constexpr const char* kDeviceExitStatuses =
    "Exit status:\n"
    "  0    every device succeeded\n"
    "  1    at least one device failed (the report says which and why)\n"
    "  2    the command line was wrong\n"
    "  129, 130, 143  interrupted by SIGHUP, SIGINT (Ctrl+C) or SIGTERM: nothing more was\n"
    "       sent but at+quit\n";
