#include "exchange/device_notices.h"

#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/catalogue_rows.h"

namespace {

constexpr size_t npos = std::string_view::npos;
constexpr std::string_view kSensorItemStem = "GENSENSORINFO ";

std::string_view TrimLeadingLineBreaks(std::string_view text) {
  while (!text.empty() && (text.front() == '\r' || text.front() == '\n')) text.remove_prefix(1);
  return text;
}

void AddLabel(std::vector<std::string_view>& labels, const char* label) {
  if (label == nullptr) return;
  const std::string_view text = TrimLeadingLineBreaks(label);
  // A label is the start of a value line only with its colon.
  if (text.empty() || text.find(':') == npos) return;
  labels.push_back(text);
}

// Every label the device prints a value behind, without the line break some carry in front.
const std::vector<std::string_view>& ValueLabels() {
  static const std::vector<std::string_view> labels = [] {
    std::vector<std::string_view> all;
    for (const CatalogueRow& row : CatalogueRows()) AddLabel(all, row.label);
    for (const Dio3Binding& binding : Dio3Bindings()) {
      AddLabel(all, binding.fiveDioLabel);
      AddLabel(all, binding.threeDioLabel);
    }
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    return all;
  }();
  return labels;
}

bool IsSensorItemLine(std::string_view line) {
  if (!line.starts_with(kSensorItemStem)) return false;
  line.remove_prefix(kSensorItemStem.size());
  size_t digits = 0;
  while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
  return digits > 0 && digits < line.size() && line[digits] == ':';
}

// Whether the occurrence [at, end) lies in the echo of `command` that starts the line.
bool InCommandEcho(std::string_view line, size_t end, std::string_view command) {
  while (!command.empty() && (command.front() == '\r' || command.front() == '\n')) {
    command.remove_prefix(1);
  }
  while (!command.empty() && (command.back() == '\r' || command.back() == '\n')) {
    command.remove_suffix(1);
  }
  return !command.empty() && end <= command.size() && line.substr(0, end) == command.substr(0, end);
}

}  // namespace

bool IsValueLine(std::string_view line) {
  if (IsSensorItemLine(line)) return true;
  const std::vector<std::string_view>& labels = ValueLabels();
  return std::any_of(labels.begin(), labels.end(),
                     [line](std::string_view label) { return line.starts_with(label); });
}

size_t FindDeviceNotice(std::string_view collected, std::string_view notice,
                        std::string_view command) {
  if (notice.empty()) return npos;
  for (size_t at = collected.find(notice); at != npos; at = collected.find(notice, at + 1)) {
    const size_t lineBreak = collected.find_last_of("\r\n", at == 0 ? npos : at - 1);
    const size_t lineStart = at == 0 || lineBreak == npos ? 0 : lineBreak + 1;
    const std::string_view line = collected.substr(lineStart);
    if (IsValueLine(line)) continue;
    if (InCommandEcho(line, at + notice.size() - lineStart, command)) continue;
    return at;
  }
  return npos;
}
