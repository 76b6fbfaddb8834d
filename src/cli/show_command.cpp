#include "cli/show_command.h"
#include "cli/config_input.h"

#include <QCommandLineParser>

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>

#include "catalogue/param_table.h"
#include "catalogue/show_reply_parser.h"
#include "cli/show_report.h"
#include "cli/subcommands.h"
#include "writing/config_file.h"

namespace {

constexpr std::string_view kItemPrefix = "GENSENSORINFO ";
// More items than any sensor list holds; bounds the work a forged file can cause.
constexpr int32_t kMaxSensorItems = 256;

// Without a form there is no sensor list to size the items by, so the file decides: every item
// number up to the highest one it holds is read (missing ones come out empty).
int32_t SensorItemsInText(std::string_view text) {
  int32_t count = 0;
  for (size_t at = text.find(kItemPrefix); at != std::string_view::npos;
       at = text.find(kItemPrefix, at + 1)) {
    const char* first = text.data() + at + kItemPrefix.size();
    const char* end = text.data() + text.size();
    int32_t number = 0;
    auto [next, ec] = std::from_chars(first, end, number);
    if (ec != std::errc() || next == end || *next != ':' || number < 0) continue;
    if (number < kMaxSensorItems) count = std::max(count, number + 1);
  }
  return count;
}

}  // namespace

int RunShowCommand(const QStringList& args, std::ostream& out, std::ostream& err) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Prints every parameter of a saved device configuration (.cfg) in control-name order,\n"
      "the sensor items, and whether the device is a five-DIO model.");
  const QCommandLineOption helpOption({"h", "help"}, "Shows this help.");
  const QCommandLineOption jsonOption("json", "Prints JSON instead of text.");
  parser.addOption(helpOption);
  parser.addOption(jsonOption);
  parser.addPositionalArgument("file", "The configuration file.", "FILE");

  const std::string command = args.isEmpty() ? "dtu-config show" : args.first().toStdString();
  if (!parser.parse(args)) {
    err << command << ": " << parser.errorText().toStdString() << "\n";
    return kExitUsage;
  }
  if (parser.isSet(helpOption)) {
    out << "Usage: " << command << " [--json] FILE\n\n"
        << parser.applicationDescription().toStdString() << "\n\n"
        << "  FILE      the configuration file\n"
        << "  --json    print JSON instead of text\n\n"
        << "Exit status:\n"
        << "  0    the file was printed\n"
        << "  1    the file cannot be read, or it is not a whole configuration (the message\n"
        << "       names the row at fault)\n"
        << "  2    the command line was wrong\n";
    return kExitOk;
  }
  const QStringList files = parser.positionalArguments();
  if (files.size() != 1) {
    err << command << ": expects one configuration file (see --help)\n";
    return kExitUsage;
  }
  const std::string path = files.first().toLocal8Bit().toStdString();

  std::string text;
  if (!ReadWholeConfigFile(command, path, "", err, &text)) return kExitFailure;
  out << FormatConfigReport(text, path, parser.isSet(jsonOption));
  return kExitOk;
}

int32_t ParseConfigText(std::string_view text, ParamTable& params, ListParamTable& lists,
                        bool& fiveDioModel, int32_t minItems) {
  const int32_t items = std::max(minItems, SensorItemsInText(text));
  BuildParamTable(params, lists, items);
  ParseShowReply(text.data(), text.size(), params, lists, fiveDioModel);
  return items;
}

std::string FormatConfigReport(std::string_view text, const std::string& source, bool json) {
  ParamTable params;
  ListParamTable lists;
  BuildParamTable(params, lists, SensorItemsInText(text));
  bool fiveDioModel = false;
  ParseShowReply(text.data(), text.size(), params, lists, fiveDioModel);

  const ShowReport report{source, fiveDioModel, &params, &lists};
  return json ? FormatShowJson(report) : FormatShowText(report);
}
