#include "cli/show_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <algorithm>
#include <vector>

#include "cli/json_bytes.h"
#include "cli/json_schemas.h"
#include "cli/run_report.h"

namespace {

struct SensorItem {
  std::string list;
  std::string label;
  std::string value;
};

// Items in the order of their numbers (the map orders "GENSENSORINFO 10:" before "2:").
std::vector<SensorItem> SensorItemsInOrder(const ListParamTable& lists) {
  std::vector<SensorItem> items;
  for (const auto& [name, list] : lists) {
    for (int32_t i = 0; i < list.itemCount; ++i) {
      std::string label = ListItemLabel(list.labelFormat, i);
      auto it = list.items.find(label);
      items.push_back({name, label, it != list.items.end() ? it->second : std::string()});
    }
  }
  return items;
}

std::string Padded(std::string text, size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

}  // namespace

std::string FormatShowText(const ShowReport& report) {
  const ParamTable empty;
  const ListParamTable noLists;
  const ParamTable& params = report.params != nullptr ? *report.params : empty;
  const ListParamTable& lists = report.lists != nullptr ? *report.lists : noLists;

  size_t nameWidth = 0;
  size_t commandWidth = 1;
  for (const auto& [name, row] : params) {
    nameWidth = std::max(nameWidth, name.size());
    commandWidth = std::max(commandWidth, row.atCommand.size());
  }

  std::string out = "source: " + report.source + "\n";
  out += std::string("five-DIO model: ") + (report.fiveDioModel ? "yes" : "no") + "\n";
  out += "parameters: " + std::to_string(params.size()) + "\n";
  for (const auto& [name, row] : params) {
    out += "  " + Padded(EscapedText(name), nameWidth) + "  " +
           Padded(row.atCommand.empty() ? "-" : EscapedText(row.atCommand), commandWidth) + "  " +
           EscapedText(row.value) + "\n";
  }
  const std::vector<SensorItem> items = SensorItemsInOrder(lists);
  out += "sensor items: " + std::to_string(items.size()) + "\n";
  size_t labelWidth = 0;
  for (const SensorItem& item : items) labelWidth = std::max(labelWidth, item.label.size());
  for (const SensorItem& item : items) {
    out +=
        "  " + Padded(EscapedText(item.label), labelWidth) + "  " + EscapedText(item.value) + "\n";
  }
  return out;
}

std::string FormatShowJson(const ShowReport& report) {
  QJsonArray parameters;
  if (report.params != nullptr) {
    for (const auto& [name, row] : *report.params) {
      QJsonObject entry{{"name", Utf8(name)},
                        {"label", Utf8(ShownLabel(row.label))},
                        {"atCommand", Utf8(row.atCommand)}};
      PutBytes(entry, "value", row.value);
      parameters.append(entry);
    }
  }
  QJsonArray sensorItems;
  if (report.lists != nullptr) {
    for (const SensorItem& item : SensorItemsInOrder(*report.lists)) {
      QJsonObject entry{{"list", Utf8(item.list)}, {"label", Utf8(item.label)}};
      PutBytes(entry, "value", item.value);
      sensorItems.append(entry);
    }
  }
  const QJsonObject root{{"schema", kShowJsonSchema},
                         {"source", Utf8(report.source)},
                         {"fiveDioModel", report.fiveDioModel},
                         {"parameters", parameters},
                         {"sensorItems", sensorItems}};
  return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}
