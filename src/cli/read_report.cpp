#include "cli/read_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

#include "catalogue/param_table.h"
#include "catalogue/show_reply_parser.h"
#include "cli/json_bytes.h"
#include "cli/json_schemas.h"
#include "cli/show_command.h"
#include "texts/byte_text.h"

std::string FormatReadJson(const DeviceReport& report, const std::string& file,
                           const std::string& reply) {
  QJsonObject configuration;
  QJsonObject configurationBytes;
  QJsonArray sensorItems;
  bool fiveDioModel = false;
  if (report.ok && !reply.empty()) {
    ParamTable params;
    ListParamTable lists;
    ParseConfigText(reply, params, lists, fiveDioModel);
    // Parsed again for the rows the reply lacks: a row the device does not have is no value of
    // its configuration, not an empty one.
    const ShowReplyResult parsed =
        ParseShowReply(reply.data(), reply.size(), params, lists, fiveDioModel);
    for (const auto& [name, row] : params) {
      // A row without a label is the form's own (a selector); the device reports nothing for it.
      if (row.label.empty()) continue;
      if (std::find(parsed.missingRows.begin(), parsed.missingRows.end(), name) !=
          parsed.missingRows.end())
        continue;
      const QString label = Utf8(ShownLabel(row.label));
      configuration[label] = Utf8(ReadableText(row.value));
      if (!IsUtf8(row.value)) configurationBytes[label] = Utf8(HexBytes(row.value));
    }
    for (const auto& [listName, list] : lists) {
      for (int32_t i = 0; i < list.itemCount; ++i) {
        const std::string label = ListItemLabel(list.labelFormat, i);
        auto item = list.items.find(label);
        if (item == list.items.end()) continue;
        QJsonObject entry{{"label", Utf8(label)}};
        PutBytes(entry, "value", item->second);
        sensorItems.append(entry);
      }
    }
  }
  const QJsonObject root{{"schema", kReadJsonSchema},
                         {"port", Utf8(report.port)},
                         {"ok", report.ok},
                         {"failure", Utf8(report.failure)},
                         {"file", Utf8(report.ok ? file : std::string())},
                         {"deviceType", Utf8(report.deviceType)},
                         {"version", Utf8(report.version)},
                         {"fiveDioModel", fiveDioModel},
                         {"quit", LeaveName(report.leave)},
                         {"restarted", report.restarted},
                         {"configuration", configuration},
                         {"configurationBytes", configurationBytes},
                         {"sensorItems", sensorItems}};
  return QJsonDocument(root).toJson(QJsonDocument::Compact).toStdString() + "\n";
}
