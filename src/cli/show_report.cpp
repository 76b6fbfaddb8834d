#include "cli/show_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <vector>

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

std::string Escaped(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7f) {
          char hex[5];
          std::snprintf(hex, sizeof hex, "\\x%02x", c);
          out += hex;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

std::string Padded(std::string text, size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
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
    out += "  " + Padded(Escaped(name), nameWidth) + "  " +
           Padded(row.atCommand.empty() ? "-" : Escaped(row.atCommand), commandWidth) + "  " +
           Escaped(row.value) + "\n";
  }
  const std::vector<SensorItem> items = SensorItemsInOrder(lists);
  out += "sensor items: " + std::to_string(items.size()) + "\n";
  size_t labelWidth = 0;
  for (const SensorItem& item : items) labelWidth = std::max(labelWidth, item.label.size());
  for (const SensorItem& item : items) {
    out += "  " + Padded(Escaped(item.label), labelWidth) + "  " + Escaped(item.value) + "\n";
  }
  return out;
}

std::string FormatShowJson(const ShowReport& report) {
  QJsonArray parameters;
  if (report.params != nullptr) {
    for (const auto& [name, row] : *report.params) {
      parameters.append(QJsonObject{
          {"name", Utf8(name)}, {"atCommand", Utf8(row.atCommand)}, {"value", Utf8(row.value)}});
    }
  }
  QJsonArray sensorItems;
  if (report.lists != nullptr) {
    for (const SensorItem& item : SensorItemsInOrder(*report.lists)) {
      sensorItems.append(QJsonObject{
          {"list", Utf8(item.list)}, {"label", Utf8(item.label)}, {"value", Utf8(item.value)}});
    }
  }
  const QJsonObject root{{"source", Utf8(report.source)},
                         {"fiveDioModel", report.fiveDioModel},
                         {"parameters", parameters},
                         {"sensorItems", sensorItems}};
  return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}
