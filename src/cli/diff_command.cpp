#include "cli/diff_command.h"
#include "cli/config_input.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

#include "catalogue/param_table.h"
#include "cli/cli_options.h"
#include "cli/device_runner.h"
#include "cli/json_bytes.h"
#include "cli/json_schemas.h"
#include "cli/parallel_run.h"
#include "cli/run_report.h"
#include "cli/show_command.h"
#include "cli/subcommands.h"
#include "writing/config_file.h"

namespace {

constexpr std::string_view kPortPrefix = "port:";

// Items in number order (the map would put "GENSENSORINFO 10:" before "2:").
std::vector<std::pair<std::string, std::string>> ItemsInOrder(const ListParamTable& lists) {
  std::vector<std::pair<std::string, std::string>> items;
  for (const auto& [name, list] : lists) {
    for (int32_t i = 0; i < list.itemCount; ++i) {
      std::string label = ListItemLabel(list.labelFormat, i);
      auto it = list.items.find(label);
      items.emplace_back(label, it != list.items.end() ? it->second : std::string());
    }
  }
  return items;
}

struct Source {
  std::string name;  // as given
  std::string port;  // empty for a file
  std::string text;
};

}  // namespace

std::vector<ConfigDifference> DiffConfigTexts(const std::string& a, const std::string& b) {
  // Both sides over the same item numbers, so that an item only one side holds shows.
  int32_t items = 0;
  {
    ParamTable params;
    ListParamTable lists;
    bool five = false;
    items = ParseConfigText(a, params, lists, five);
  }
  ParamTable paramsA, paramsB;
  ListParamTable listsA, listsB;
  bool fiveA = false, fiveB = false;
  items = ParseConfigText(b, paramsB, listsB, fiveB, items);
  ParseConfigText(a, paramsA, listsA, fiveA, items);

  std::vector<ConfigDifference> differences;
  for (const auto& [name, row] : paramsA) {
    // A row without a label is the form's own (a selector); the device reports nothing for it.
    if (row.label.empty()) continue;
    auto other = paramsB.find(name);
    const std::string& valueB = other != paramsB.end() ? other->second.value : std::string();
    if (row.value != valueB)
      differences.push_back({name, false, ShownLabel(row.label), row.atCommand, row.value, valueB});
  }
  const auto itemsA = ItemsInOrder(listsA);
  const auto itemsB = ItemsInOrder(listsB);
  for (size_t i = 0; i < itemsA.size() && i < itemsB.size(); ++i) {
    if (itemsA[i].second != itemsB[i].second)
      differences.push_back({itemsA[i].first, true, {}, {}, itemsA[i].second, itemsB[i].second});
  }
  return differences;
}

int RunDiffCommand(const QStringList& args, std::ostream& out, std::ostream& err) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Lists the parameters and sensor items in which two configurations differ, by the label\n"
      "the file and the device show, with both values. Each side is a .cfg file or port:PATH, a "
      "device read now.");
  const QCommandLineOption help({"h", "help"}, "Shows this help.");
  const QCommandLineOption json("json", "Prints JSON instead of text.");
  const SerialOptions serial;
  parser.addOptions({help, json, serial.baud, serial.line, serial.stay});
  parser.addPositionalArgument("A", "A .cfg file or port:PATH.", "A");
  parser.addPositionalArgument("B", "A .cfg file or port:PATH.", "B");
  const std::string command = args.isEmpty() ? "dtu-config diff" : args.first().toStdString();
  if (!parser.parse(args)) {
    err << command << ": " << parser.errorText().toStdString() << "\n";
    return kExitUsage;
  }
  if (parser.isSet(help)) {
    out << HelpText(parser, command,
                    "Exit status:\n  0    the two are equal\n  1    they differ\n"
                    "  2    the command line was wrong, or a side could not be read\n"
                    "  129, 130, 143  interrupted by SIGHUP, SIGINT or SIGTERM (after at+quit)\n");
    return kExitOk;
  }
  const QStringList sides = parser.positionalArguments();
  if (sides.size() != 2) {
    err << command << ": usage: " << command << " A B [--json] (each a .cfg file or port:PATH)\n";
    return kExitUsage;
  }
  RunPlan plan;
  if (!ReadLineSettings(parser, serial, command, err, &plan.settings)) return kExitUsage;
  plan.verify = false;
  plan.quit = !parser.isSet(serial.stay);
  plan.prepare = [](DeviceSession& session) {
    BuildParamTable(session.Params(), session.ListParams(), std::nullopt);
  };

  Source sources[2];
  std::vector<std::unique_ptr<DeviceRunner>> owned;
  std::vector<DeviceRunner*> runners;
  for (int i = 0; i < 2; ++i) {
    Source& source = sources[i];
    source.name = sides[i].toLocal8Bit().toStdString();
    if (source.name.rfind(kPortPrefix, 0) == 0) {
      source.port = source.name.substr(kPortPrefix.size());
      if (source.port.empty()) {
        err << command << ": " << source.name << " names no port\n";
        return kExitUsage;
      }
      owned.push_back(std::make_unique<DeviceRunner>(source.port, plan));
      runners.push_back(owned.back().get());
      continue;
    }
    if (!ReadWholeConfigFile(command, source.name, "", err, &source.text)) return kExitUsage;
  }
  if (!sources[0].port.empty() && !sources[1].port.empty()) {
    const QStringList ports{QString::fromLocal8Bit(sources[0].port.c_str()),
                            QString::fromLocal8Bit(sources[1].port.c_str())};
    std::string twice = SamePortTwice(ports);
    if (sources[0].port == sources[1].port) twice = sources[0].port + " is given twice";
    if (!twice.empty()) {
      err << command << ": " << twice << "\n";
      return kExitUsage;
    }
  }
  if (!runners.empty()) {
    UseProgramLanguage();
    const InterruptFlag interruptFlag;
    const bool finished = RunAll(runners, {});
    size_t next = 0;
    bool allRead = true;
    for (Source& source : sources) {
      if (source.port.empty()) continue;
      const DeviceReport& report = runners[next++]->Report();
      if (!report.ok) {
        err << command << ": " << source.name << ": " << report.failure << LeaveTail(report)
            << "\n";
        allRead = false;
      }
      source.text = runners[next - 1]->FirstReply();
    }
    if (!finished) return ExitStatusForSignal(InterruptFlag::Signal());
    if (!allRead) return kExitUsage;
  }

  const std::vector<ConfigDifference> differences =
      DiffConfigTexts(sources[0].text, sources[1].text);
  if (parser.isSet(json)) {
    QJsonArray parameters;
    QJsonArray items;
    for (const ConfigDifference& d : differences) {
      QJsonObject entry{{d.sensorItem ? "label" : "name", Utf8(d.name)}};
      if (!d.sensorItem) {
        entry["label"] = Utf8(d.label);
        entry["atCommand"] = Utf8(d.atCommand);
      }
      PutBytes(entry, "a", d.a);
      PutBytes(entry, "b", d.b);
      (d.sensorItem ? items : parameters).append(entry);
    }
    const QJsonObject root{{"schema", kDiffJsonSchema},  {"a", Utf8(sources[0].name)},
                           {"b", Utf8(sources[1].name)}, {"equal", differences.empty()},
                           {"parameters", parameters},   {"sensorItems", items}};
    out << QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
  } else {
    for (const ConfigDifference& d : differences) {
      // A parameter goes by the label the file and the device show; an item's label ends with
      // its own colon already ("GENSENSORINFO 2:").
      const std::string& shown = d.sensorItem || d.label.empty() ? d.name : d.label;
      out << EscapedText(shown) << (d.sensorItem ? " \"" : ": \"") << EscapedText(d.a) << "\" | \""
          << EscapedText(d.b) << "\"\n";
    }
  }
  return differences.empty() ? kExitOk : kExitFailure;
}
