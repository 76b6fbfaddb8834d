#include "cli/new_command.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <string>

#include "catalogue/config_text.h"
#include "cli/cli_options.h"
#include "cli/subcommands.h"
#include "domain/factory_config.h"
#include "writing/config_file.h"

namespace {

std::string ModelNames() {
  std::string names;
  for (const ProfileModel& model : ProfileModels())
    names += (names.empty() ? "" : "|") + std::string(model.name);
  return names;
}

}  // namespace

int RunNewCommand(const QStringList& args, std::ostream& out, std::ostream& err) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Writes a factory profile: the configuration a device of the model holds after its\n"
      "factory reset, in the layout of a configuration read from a device. Edit it with\n"
      "\"set --file\", put it on devices with \"apply\".");
  const QCommandLineOption help({"h", "help"}, "Shows this help.");
  const QCommandLineOption model(
      "model",
      QString::fromStdString(
          "The model: 3dio (three I/O lines), 5dio (five), 3dio-lora or 3dio-zigbee (three "
          "lines and a radio module), gps (the GPS tracker)."),
      "MODEL");
  const QCommandLineOption output({"o", "output"}, "The file to write.", "FILE");
  const QCommandLineOption force("force", "Replaces FILE when it exists.");
  parser.addOptions({help, model, output, force});
  const std::string command = args.isEmpty() ? "dtu-config new" : args.first().toStdString();
  if (!parser.parse(args)) {
    err << command << ": " << parser.errorText().toStdString() << "\n";
    return kExitUsage;
  }
  if (parser.isSet(help)) {
    out << HelpText(parser, command,
                    "Exit status:\n"
                    "  0    the profile was written\n"
                    "  1    the file could not be written\n"
                    "  2    the command line was wrong, or FILE exists (without --force)\n");
    return kExitOk;
  }
  const ProfileModel* chosen = FindProfileModel(parser.value(model).toStdString());
  if (!parser.positionalArguments().isEmpty() || !parser.isSet(output) ||
      parser.value(output).isEmpty() || chosen == nullptr) {
    err << command << ": usage: " << command << " --model " << ModelNames()
        << " -o FILE [--force]\n";
    return kExitUsage;
  }
  const QString file = parser.value(output);
  const std::string path = file.toLocal8Bit().toStdString();
  const QFileInfo info(file);
  if ((info.exists() || info.isSymLink()) && !parser.isSet(force)) {
    err << command << ": " << path << " exists; --force replaces it\n";
    return kExitUsage;
  }
  if (info.exists() && !info.isFile()) {
    err << command << ": " << path << " is not a regular file\n";
    return kExitUsage;
  }
  std::string error;
  if (!WriteConfigFileTo(path, ComposeConfigText(FactoryConfig(*chosen)), &error)) {
    err << command << ": cannot write " << path << ": " << error << "\n";
    return kExitFailure;
  }
  out << path << ": factory profile of a " << chosen->name << " device (" << chosen->deviceType
      << ", " << chosen->firmware << ")\n";
  return kExitOk;
}
