// libFuzzer target: any bytes as a configuration file go through what `dtu-config show` does
// (decode, refuse, completeness and acceptance checks, parse, text and JSON report) without a
// crash; the JSON report always parses, and the text report has one line per row.
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cli/show_command.h"
#include "writing/config_file.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string text = DecodeConfigFile(bytes);
  Check(text.size() <= kConfigFileMaxChars);
  std::string reason;
  if (!CheckConfigText(text, &reason)) {
    Check(!reason.empty());
    return 0;
  }
  const bool complete = ConfigTextIsComplete(text);
  // A complete text stays complete when line ends are added after its final line.
  if (complete) Check(ConfigTextIsComplete(text + "\r\n"));
  // The acceptance rule gives a verdict for anything, with a message for every refusal, and
  // never accepts a cut text.
  const ConfigVerdict verdict = JudgeConfigText(text);
  if (verdict.accepted()) {
    Check(complete);
  } else {
    Check(!DescribeConfigVerdict(verdict).empty());
  }

  const std::string report = FormatConfigReport(text, "fuzz.cfg", false);
  const std::string json = FormatConfigReport(text, "fuzz.cfg", true);
  // Both reports list the same rows: one text line per parameter row and sensor item, values
  // escaped so that none of them adds a line.
  QJsonParseError error{};
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())), &error);
  Check(error.error == QJsonParseError::NoError);
  Check(document.isObject());
  Check(document.object().value(QLatin1String("source")).toString() == QLatin1String("fuzz.cfg"));
  Check(std::count(report.begin(), report.end(), '\r') == 0);
  return 0;
}
