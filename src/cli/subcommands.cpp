#include "cli/subcommands.h"

#include <QApplication>
#include <QFileInfo>
#include <QStringList>

#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/apply_command.h"
#include "cli/diff_command.h"
#include "cli/new_command.h"
#include "cli/read_command.h"
#include "cli/set_command.h"
#include "cli/show_command.h"

namespace {

struct Subcommand {
  std::string_view name;
  // The command builds the window's form offscreen, so it needs a QApplication.
  bool needsForm;
  // `args` starts with the program name followed by the subcommand's own arguments.
  int (*run)(const QStringList& args, std::ostream& out, std::ostream& err);
  // Instead of `run`, for a command that sends values from its command line to a device: it also
  // gets each argument's bytes as given (`args` decodes them, and decoding replaces the bytes
  // that are not UTF-8).
  int (*runOnBytes)(const QStringList& args, const std::vector<std::string>& argBytes,
                    std::ostream& out, std::ostream& err) = nullptr;
  // An option that makes the command build the form after all ("set --file").
  std::string_view formOption = {};
};

bool HasOption(int argc, char** argv, std::string_view option) {
  for (int i = 2; i < argc && !option.empty(); ++i) {
    const std::string_view arg = argv[i] != nullptr ? argv[i] : "";
    if (arg == "--") return false;
    if (arg == option ||
        (arg.starts_with(option) && arg.size() > option.size() && arg[option.size()] == '='))
      return true;
  }
  return false;
}

constexpr Subcommand kSubcommands[] = {
    {"show", false, RunShowCommand},
    {"read", false, RunReadCommand},
    {"apply", true, RunApplyCommand},
    {"diff", false, RunDiffCommand},
    {"set", false, nullptr, RunSetCommand, "--file"},
    {"new", false, RunNewCommand},
};

// Installed while a command with a form runs: drops the font warnings (IsFontNoise) and hands
// every other message to the handler that was there before.
QtMessageHandler g_previousHandler = nullptr;

void QuietFontHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (IsFontNoise(type, context.category, message)) return;
  if (g_previousHandler != nullptr) g_previousHandler(type, context, message);
}

class QuietFontWarnings {
 public:
  QuietFontWarnings() { g_previousHandler = qInstallMessageHandler(QuietFontHandler); }
  ~QuietFontWarnings() {
    qInstallMessageHandler(g_previousHandler);
    g_previousHandler = nullptr;
  }
  QuietFontWarnings(const QuietFontWarnings&) = delete;
  QuietFontWarnings& operator=(const QuietFontWarnings&) = delete;
};

}  // namespace

bool IsFontNoise(QtMsgType type, const char* category, const QString& message) {
  if (type != QtWarningMsg && type != QtInfoMsg && type != QtDebugMsg) return false;
  const std::string_view name = category != nullptr ? category : "";
  if (name == "qt.qpa.fonts" || name.rfind("qt.text.font", 0) == 0) return true;
  // The runtime folder only matters to a window on a desktop session, which a headless
  // command never opens.
  if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")) ||
      message.startsWith(QLatin1String("QStandardPaths: wrong permissions on runtime directory")) ||
      message.startsWith(QLatin1String("QStandardPaths: runtime directory")))
    return true;
  return message.trimmed().startsWith(QLatin1String("OpenType support missing for"));
}

std::optional<int> RunSubcommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
  if (argc < 2 || argv == nullptr || argv[1] == nullptr) return std::nullopt;
  const std::string_view name = argv[1];
  for (const Subcommand& command : kSubcommands) {
    if (command.name != name) continue;
    const bool needsForm = command.needsForm || HasOption(argc, argv, command.formOption);
    // QtCore's file and text classes want an application object; the GUI creates its own
    // later, so one is made only for the time of the command.
    std::unique_ptr<QCoreApplication> app;
    std::optional<QuietFontWarnings> quiet;
    if (needsForm) quiet.emplace();
    int appArgc = 1;
    if (QCoreApplication::instance() == nullptr) {
      if (needsForm) {
        // Headless: the form is built but never shown.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(appArgc, argv);
      } else {
        app = std::make_unique<QCoreApplication>(appArgc, argv);
      }
    }
    // Messages name the command as a user typed it: "dtu-config show".
    const QString program =
        argv[0] != nullptr ? QFileInfo(QString::fromLocal8Bit(argv[0])).fileName() : QString();
    QStringList args{(program.isEmpty() ? QStringLiteral("dtu-config") : program) +
                     QLatin1Char(' ') + QString::fromLatin1(name.data(), name.size())};
    std::vector<std::string> argBytes{args.first().toStdString()};
    for (int i = 2; i < argc; ++i) {
      args << QString::fromLocal8Bit(argv[i]);
      argBytes.emplace_back(argv[i] != nullptr ? argv[i] : "");
    }
    if (command.runOnBytes) return command.runOnBytes(args, argBytes, out, err);
    return command.run(args, out, err);
  }
  return std::nullopt;
}

std::optional<int> RunSubcommand(int argc, char** argv) {
  return RunSubcommand(argc, argv, std::cout, std::cerr);
}
