#include "catalogue/config_acceptance.h"

#include <algorithm>
#include <optional>

#include "catalogue/param_table.h"
#include "catalogue/show_reply_parser.h"

namespace {

constexpr std::string_view kFinalLine = "OK";
// What the device's sensor list can carry: the list's label format and the widest list a
// device has.
constexpr int32_t kMostSensorItems = 256;
constexpr size_t kSensorItemFields = 10;

void SetReason(std::string* reason, std::string text) {
  if (reason != nullptr) *reason = std::move(text);
}

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\r') {
      quoted += "\\r";
    } else if (c == '\n') {
      quoted += "\\n";
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

// The label of the line that holds byte `at`, for a message.
std::string LineLabelAt(std::string_view text, size_t at) {
  size_t start = text.rfind('\n', at);
  start = start == std::string_view::npos ? 0 : start + 1;
  const size_t colon = text.find(':', start);
  const size_t end = text.find_first_of(std::string_view("\r\n\0", 3), start);
  if (colon == std::string_view::npos || (end != std::string_view::npos && colon > end))
    return Quoted(text.substr(start, std::min<size_t>(end - start, 40)));
  return Quoted(text.substr(start, colon + 1 - start));
}

}  // namespace

bool CheckConfigText(std::string_view text, std::string* reason) {
  if (text.find(kShowMarker) != std::string_view::npos) return true;
  SetReason(reason, text.empty() ? "the file is empty"
                                 : "not a saved device configuration (no \"Access Point Name:\")");
  return false;
}

bool ConfigTextIsComplete(std::string_view text) {
  // Line ends, blanks and a cut-off line end after the final line do not count.
  size_t end = text.size();
  while (end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n' || text[end - 1] == ' ')) --end;
  const size_t lineStart = text.find_last_of('\n', end == 0 ? 0 : end - 1);
  if (lineStart == std::string_view::npos || end == 0) return false;
  return text.substr(lineStart + 1, end - lineStart - 1) == kFinalLine;
}

ConfigVerdict JudgeConfigText(std::string_view text) {
  ConfigVerdict verdict;
  if (text.empty()) {
    verdict.problem = ConfigProblem::kEmpty;
    return verdict;
  }
  const size_t marker = text.find(kShowMarker);
  if (marker == std::string_view::npos) {
    verdict.problem = ConfigProblem::kNotAConfiguration;
    return verdict;
  }
  if (!ConfigTextIsComplete(text)) {
    verdict.problem = ConfigProblem::kIncomplete;
    return verdict;
  }
  if (const size_t zero = text.find('\0', marker); zero != std::string_view::npos) {
    verdict.problem = ConfigProblem::kZeroByte;
    verdict.where = LineLabelAt(text, zero);
    return verdict;
  }

  ParamTable params;
  ListParamTable lists;
  BuildParamTable(params, lists, kMostSensorItems);
  bool fiveDio = false;
  const ShowReplyResult result = ParseShowReply(text.data(), text.size(), params, lists, fiveDio);
  verdict.total = params.size();
  if (!result.missingRows.empty()) {
    verdict.problem = ConfigProblem::kMissingRow;
    verdict.where = result.missingRows.front();
    verdict.label = params.at(verdict.where).label;
    verdict.count = result.missingRows.size();
    return verdict;
  }
  if (!result.overlongRows.empty()) {
    verdict.problem = ConfigProblem::kOverlongRow;
    verdict.where = result.overlongRows.front();
    verdict.count = kMaxValueLength - 1;
    return verdict;
  }
  if (!result.overlongItems.empty()) {
    verdict.problem = ConfigProblem::kOverlongItem;
    verdict.where = result.overlongItems.front();
    verdict.count = kMaxItemValueLength;
    return verdict;
  }
  for (const auto& [name, list] : lists) {
    for (int32_t i = 0; i < list.itemCount; ++i) {
      const std::string label = ListItemLabel(list.labelFormat, i);
      auto item = list.items.find(label);
      if (item == list.items.end() || item->second.empty()) continue;
      size_t fields = 1;
      for (char c : item->second) fields += c == ',' ? 1 : 0;
      if (fields == kSensorItemFields) continue;
      verdict.problem = ConfigProblem::kItemFields;
      verdict.where = label;
      verdict.count = fields;
      verdict.total = kSensorItemFields;
      return verdict;
    }
  }
  return verdict;
}

std::string ConfigProblemDetails(const ConfigVerdict& verdict) {
  switch (verdict.problem) {
    case ConfigProblem::kNone:
    case ConfigProblem::kEmpty:
    case ConfigProblem::kNotAConfiguration:
    case ConfigProblem::kIncomplete:
      return {};
    case ConfigProblem::kZeroByte:
      return verdict.where;
    case ConfigProblem::kMissingRow: {
      std::string details = Quoted(verdict.where) + " (line " + Quoted(verdict.label) + ")";
      if (verdict.count > 1) {
        details += ", and " + std::to_string(verdict.count - 1) + " more of " +
                   std::to_string(verdict.total) + " rows";
      }
      return details;
    }
    case ConfigProblem::kOverlongRow:
    case ConfigProblem::kOverlongItem:
      return Quoted(verdict.where) + ", at most " + std::to_string(verdict.count) + " bytes";
    case ConfigProblem::kItemFields:
      return Quoted(verdict.where) + ", " + std::to_string(verdict.count) + " fields instead of " +
             std::to_string(verdict.total);
  }
  return {};
}

std::string DescribeConfigVerdict(const ConfigVerdict& verdict) {
  const char* what = "";
  switch (verdict.problem) {
    case ConfigProblem::kNone:
      return {};
    case ConfigProblem::kEmpty:
      return "the file is empty";
    case ConfigProblem::kNotAConfiguration:
      return "not a saved device configuration (no \"Access Point Name:\")";
    case ConfigProblem::kIncomplete:
      return "the file is incomplete (it ends before the final \"OK\" line)";
    case ConfigProblem::kZeroByte:
      what = "a zero byte stands in the line";
      break;
    case ConfigProblem::kMissingRow:
      what = "a row is missing";
      break;
    case ConfigProblem::kOverlongRow:
      what = "a value is longer than the device's field";
      break;
    case ConfigProblem::kOverlongItem:
      what = "a sensor item is longer than the device's field";
      break;
    case ConfigProblem::kItemFields:
      what = "a sensor item has the wrong number of fields (a data name with a comma?)";
      break;
  }
  return std::string(what) + ": " + ConfigProblemDetails(verdict);
}

bool AcceptConfigText(std::string_view text, std::string* reason) {
  const ConfigVerdict verdict = JudgeConfigText(text);
  if (verdict.accepted()) return true;
  SetReason(reason, DescribeConfigVerdict(verdict));
  return false;
}
