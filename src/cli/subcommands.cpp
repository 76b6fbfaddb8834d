#include "cli/subcommands.h"

#include <QApplication>
#include <QFileInfo>
#include <QStringList>

#include <iostream>
#include <memory>
#include <string_view>

#include "cli/read_command.h"
#include "cli/show_command.h"

namespace {

struct Subcommand {
  std::string_view name;
  // The command builds the window's form offscreen, so it needs a QApplication.
  bool needsForm;
  // `args` starts with the program name followed by the subcommand's own arguments.
  int (*run)(const QStringList& args, std::ostream& out, std::ostream& err);
};

constexpr Subcommand kSubcommands[] = {
    {"show", false, RunShowCommand},
    {"read", true, RunReadCommand},
};

// The hidden form of a headless command lays out whatever text reaches its log, and a port
// that sends random bytes makes Qt's text shaping warn once per font and script
// ("OpenType support missing for ..."), through the default category. Nobody sees that form,
// so those warnings, and those of Qt's font categories, are dropped while the command runs;
// every other message goes on as before.
QtMessageHandler g_previousHandler = nullptr;

bool IsFontNoise(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtWarningMsg && type != QtInfoMsg && type != QtDebugMsg) return false;
  const std::string_view category = context.category != nullptr ? context.category : "";
  if (category == "qt.qpa.fonts" || category.rfind("qt.text.font", 0) == 0) return true;
  return message.trimmed().startsWith(QLatin1String("OpenType support missing for"));
}

void QuietFontHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (IsFontNoise(type, context, message)) return;
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

std::optional<int> RunSubcommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
  if (argc < 2 || argv == nullptr || argv[1] == nullptr) return std::nullopt;
  const std::string_view name = argv[1];
  for (const Subcommand& command : kSubcommands) {
    if (command.name != name) continue;
    // QtCore's file and text classes want an application object; the GUI creates its own
    // later, so one is made only for the time of the command.
    std::unique_ptr<QCoreApplication> app;
    std::optional<QuietFontWarnings> quiet;
    if (command.needsForm) quiet.emplace();
    int appArgc = 1;
    if (QCoreApplication::instance() == nullptr) {
      if (command.needsForm) {
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
    for (int i = 2; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    return command.run(args, out, err);
  }
  return std::nullopt;
}

std::optional<int> RunSubcommand(int argc, char** argv) {
  return RunSubcommand(argc, argv, std::cout, std::cerr);
}
