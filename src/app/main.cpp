// dtu-config: without a subcommand it opens the main window; with one it runs headless.
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "app/confirmations.h"
#include "app/demo_device.h"
#include "app/main_window.h"
#include "app/program_badge.h"
#include "app/quit_signals.h"
#include "app/title_texts.h"
#include "cli/subcommands.h"
#include "domain/factory_config.h"
#include "serial/port_error.h"
#include "texts/language.h"
#include "texts/settings.h"
#include "ui/skin_window.h"

namespace {

// The skin's "minsize": the smallest window the pages are laid out for.
const QSize kSmallestWindow(1100, 680);

struct Options {
  QString screenshot;
  QString language;  // "en" or "zh": overrides config.ini for this run only
  QString port;
  bool demo = false;
  int screenshotDelayMs = 400;
  int page = -1;  // with a screenshot: the page shown after a simulated read
  QSize size{1400, 800};
  QString model;               // the simulated device of that read
  QString profile;             // a new profile of this model on the form
  QString edit;                // with a screenshot: NAME=VALUE typed into the form
  bool closeQuestion = false;  // with a screenshot: the question closing would ask
};

// Reads the command line before any window system is touched, so that --help, --version and
// mistakes are answered on a machine without a display too. Returns an exit status when the
// program is to end at once.
std::optional<int> ParseOptions(const QStringList& arguments, Options* options) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Configures a cellular data transfer unit over a serial line.\n"
      "Headless commands (each with --help): dtu-config read, apply, diff, set, show, new.\n"
      "Their exit statuses: 0 success, 1 a device failed (diff: different), 2 usage error,\n"
      "130 interrupted.");
  const QCommandLineOption help({"h", "help"}, "Show this help.");
  const QCommandLineOption version({"v", "version"}, "Show the version.");
  const QCommandLineOption screenshot("screenshot",
                                      "Render the main window into a PNG file and exit.", "FILE");
  const QCommandLineOption language("lang", "Language of this run: en or zh.", "en|zh");
  const QCommandLineOption port("port", "Preselect the serial port at PATH.", "PATH");
  const QCommandLineOption demo("demo", "Start the simulated device and connect to it.");
  const QCommandLineOption delay("screenshot-delay", "Run this long before the screenshot (400).",
                                 "MS");
  const QCommandLineOption page(
      "page", "With --screenshot: show what a simulated device reads, on page N (0 to 11).", "N");
  const QCommandLineOption size("size", "With --screenshot: the window size (1400x800).", "WxH");
  const QCommandLineOption model("model", "With --page: the simulated device's model.", "NAME");
  const QCommandLineOption profile(
      "new-profile",
      "Start with a new profile of MODEL on the form (3dio, 5dio, 3dio-lora, "
      "3dio-zigbee, gps).",
      "MODEL");
  const QCommandLineOption edit(
      "edit", "With --screenshot: type VALUE into the field NAME (an unsaved edit).", "NAME=VALUE");
  const QCommandLineOption closeQuestion(
      "close-question", "With --screenshot: render the question closing the window would ask.");
  parser.addOptions({help, version, screenshot, language, port, demo, delay, page, size, model,
                     profile, edit, closeQuestion});
  if (!parser.parse(arguments)) {
    std::fprintf(stderr, "dtu-config: %s\n", qPrintable(parser.errorText()));
    return 2;
  }
  if (parser.isSet(help)) {
    std::fputs(qPrintable(parser.helpText().replace("<executable_name>", "dtu-config")), stdout);
    return 0;
  }
  if (parser.isSet(version)) {
    std::printf("dtu-config %s\n", kProductVersion);
    return 0;
  }
  if (!parser.positionalArguments().isEmpty()) {
    std::fprintf(stderr, "dtu-config: unknown command \"%s\" (try --help)\n",
                 qPrintable(parser.positionalArguments().first()));
    return 2;
  }
  options->screenshot = parser.value(screenshot);
  if (parser.isSet(screenshot)) {
    const QFileInfo target(options->screenshot);
    if (options->screenshot.isEmpty()) {
      std::fprintf(stderr, "dtu-config: --screenshot takes the PNG file to write\n");
      return 2;
    }
    // A FIFO would hold the program until someone reads it, a device takes anything.
    if (target.exists() && !target.isFile()) {
      std::fprintf(stderr, "dtu-config: --screenshot %s: not a regular file\n",
                   qPrintable(options->screenshot));
      return 2;
    }
  }
  options->language = parser.value(language);
  options->port = parser.value(port);
  options->demo = parser.isSet(demo);
  if (parser.isSet(delay)) options->screenshotDelayMs = parser.value(delay).toInt();
  if (parser.isSet(page)) {
    bool number = false;
    options->page = parser.value(page).toInt(&number);
    if (!number || options->page < 0 || options->page > 11) {
      std::fprintf(stderr, "dtu-config: --page takes a page number from 0 to 11\n");
      return 2;
    }
  }
  if (parser.isSet(size)) {
    const QStringList parts = parser.value(size).split('x');
    const int width = parts.size() == 2 ? parts[0].toInt() : 0;
    const int height = parts.size() == 2 ? parts[1].toInt() : 0;
    // The window is never smaller than its skin's minimum, so neither is a picture of it.
    if (width < kSmallestWindow.width() || height < kSmallestWindow.height() || width > 8000 ||
        height > 8000) {
      std::fprintf(stderr,
                   "dtu-config: --size takes WIDTHxHEIGHT from %dx%d to 8000x8000, for example "
                   "1920x1080\n",
                   kSmallestWindow.width(), kSmallestWindow.height());
      return 2;
    }
    options->size = QSize(width, height);
  }
  options->model = parser.value(model);
  if (!options->model.isEmpty() && !IsDemoModel(options->model.toStdString())) {
    std::fprintf(stderr, "dtu-config: no simulated model \"%s\"\n", qPrintable(options->model));
    return 2;
  }
  options->profile = parser.value(profile);
  if (!options->profile.isEmpty() && !FindProfileModel(options->profile.toStdString())) {
    std::fprintf(stderr, "dtu-config: no profile model \"%s\"\n", qPrintable(options->profile));
    return 2;
  }
  options->edit = parser.value(edit);
  if (parser.isSet(edit) && !options->edit.contains('=')) {
    std::fprintf(stderr, "dtu-config: --edit takes NAME=VALUE\n");
    return 2;
  }
  options->closeQuestion = parser.isSet(closeQuestion);
  if (!options->language.isEmpty() && options->language != "en" && options->language != "zh") {
    std::fprintf(stderr, "dtu-config: --lang takes en or zh\n");
    return 2;
  }
  return std::nullopt;
}

// The program's icon: the skin's "icon.png" when it has one, else a drawn badge.
QIcon ProgramIcon(const std::string& skinDir) {
  const QString file = QString::fromStdString(skinDir + "/icon.png");
  if (QFile::exists(file)) return QIcon(file);
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256})
    icon.addPixmap(QPixmap::fromImage(ProgramBadge(size)));
  return icon;
}

void RunFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Puts what the simulated device would answer to a read on the form, lets the rules settle and
// brings page `page` to the front through its tab, as a click would.
void ShowSimulatedRead(CZR350FrameWnd& window, int page, const QString& model) {
  window.session().ShowReceived(DemoShowReply(page, model.toStdString()));
  RunFor(150);
  const TabTable& tabs = window.parameters().tabs();
  if (OptionControl* option = window.form().FindOption(TabTable::OptionName(tabs[page].name))) {
    option->Select(true);
  }
  RunFor(50);
}

// Lets the window lay itself out and fill its caption texts, then renders it.
int SaveScreenshot(CZR350FrameWnd& window, const Options& options) {
  window.window()->resize(options.size);
  window.window()->show();
  RunFor(150);
  if (options.page >= 0) ShowSimulatedRead(window, options.page, options.model);
  if (!options.profile.isEmpty()) {
    window.parameters().StartProfile(options.profile.toStdString());
    RunFor(150);
  }
  if (!options.edit.isEmpty()) {
    const qsizetype equals = options.edit.indexOf('=');
    const std::string name = options.edit.left(equals).toStdString();
    Control* field = window.form().Find(name);
    if (!field) {
      std::fprintf(stderr, "dtu-config: --edit: the form has no field \"%s\"\n", name.c_str());
      return 2;
    }
    field->SetText(options.edit.mid(equals + 1).toStdString());
    window.Notify({"killfocus", field, 0, 0});
  }
  RunFor(std::max(options.screenshotDelayMs, 150));
  const QString& file = options.screenshot;
  if (options.closeQuestion) {
    const std::unique_ptr<QMessageBox> box =
        MakeQuestionBox(window.window(), LanguageText("Profile", "CloseQuestion", ""));
    // Shown, the box lays its text out as the user sees it.
    box->show();
    RunFor(150);
    if (!box->grab().save(file)) {
      std::fprintf(stderr, "dtu-config: cannot write %s\n", qPrintable(file));
      return 1;
    }
    return 0;
  }
  if (!window.window()->SaveScreenshot(file.toStdString())) {
    std::fprintf(stderr, "dtu-config: cannot write %s\n", qPrintable(file));
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (std::optional<int> status = RunSubcommand(argc, argv)) return *status;
  QStringList given;
  for (int i = 0; i < argc; ++i) given << QString::fromLocal8Bit(argv[i]);
  Options options;
  if (std::optional<int> status = ParseOptions(given, &options)) return *status;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    if (!options.screenshot.isEmpty()) {
      qputenv("QT_QPA_PLATFORM", "offscreen");  // a screenshot needs no screen
    } else if (qEnvironmentVariableIsEmpty("DISPLAY") &&
               qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
      std::fprintf(
          stderr,
          "dtu-config: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are "
          "not set); headless use: dtu-config read, apply, diff, set, show, new, --screenshot\n");
      return 1;
    }
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("dtu-config");
  QApplication::setDesktopFileName("dtu-config");  // the menu entry, whose icon the desktop shows
  QApplication::setApplicationVersion(QString::fromLatin1(kProductVersion).mid(1));

  const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
  int language = ReadLanguageValue(MakeProgramPaths(programDir, 0).configPath);
  if (!options.language.isEmpty()) language = options.language == "zh" ? 1 : 0;
  const ProgramPaths paths = MakeProgramPaths(programDir, language);
  MakeConfigFolder(paths);  // the language switch writes config.ini there
  SetLanguageFile(paths.languagePath);
  QApplication::setWindowIcon(ProgramIcon(paths.skinDir));

  CZR350FrameWnd window(paths, language);
  // The new instance keeps this run's arguments, except a language that would override the
  // new choice.
  QStringList arguments;
  for (int i = 1; i < given.size(); ++i) {
    if (given[i] == "--lang") {
      ++i;
      continue;
    }
    if (!given[i].startsWith("--lang=")) arguments << given[i];
  }
  window.hooks().restart = [arguments] {
    return QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments);
  };
  std::string error;
  if (!window.Create(&error)) {
    std::fprintf(stderr, "dtu-config: cannot load the skin from %s: %s\n", paths.skinDir.c_str(),
                 error.c_str());
    return 1;
  }
  window.StartWorker();
  SetPortErrorReporter([&window](const std::string& text) {
    if (window.hooks().headless) return std::fputs(text.c_str(), stderr), void();
    QMessageBox::critical(nullptr, "Application Error", QString::fromStdString(text));
  });

  DemoDevice demo;
  if (options.demo) {
    std::string demoError;
    if (demo.Start(paths.programDir + "dtu-sim", &demoError)) {
      window.device().ports().Preselect(demo.PortPath());
    } else {
      window.logStatus().Append("Demo: " + demoError + "\r\n");
    }
  }
  if (!options.port.isEmpty()) window.device().ports().Preselect(options.port.toStdString());

  // The demo connects at once, so the simulated device's boot prompt is answered.
  if (options.demo && !demo.PortPath().empty()) window.device().ToggleConnection();
  if (!options.screenshot.isEmpty()) return SaveScreenshot(window, options);
  window.form().ShowWindowCentered();
  // The form's rows exist once the window is shown.
  if (!options.profile.isEmpty()) {
    QTimer::singleShot(0, [&window, &options] {
      window.parameters().StartProfile(options.profile.toStdString());
    });
  }
  // A signal closes the window as its close button does, and the status says which one came.
  const QuitSignals quitSignals([&window](int) { window.PostQuit(); });
  const int status = app.exec();
  return quitSignals.Raised() != 0 ? 128 + quitSignals.Raised() : status;
}
