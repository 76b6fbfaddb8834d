#include "exchange/completions.h"

#include "writing/config_file.h"

#include <algorithm>

namespace {
constexpr std::string_view kListGroup = "List";
constexpr std::string_view kNetModeMarker = "+FINDNETMODE:";
constexpr size_t kNetModeReplyMax = 100;
}  // namespace

void StoreAcceptedValue(ParamTable& params, ListParamTable& lists, const WorkJob& job) {
  if (job.group == kListGroup) {
    lists[job.name].items[job.subkey] = job.value;
  } else {
    ParamInfo& written = params[job.name];
    written.value = job.value;
    // Rows bound to the same command (a DIO line both models name) hold what the device holds.
    if (written.atCommand.empty()) return;
    for (auto& [name, row] : params) {
      if (row.atCommand == written.atCommand) row.value = job.value;
    }
  }
}

std::optional<std::string> ExtractNetMode(std::string_view reply) {
  if (reply.size() > kNetModeReplyMax) return std::nullopt;
  const size_t marker = reply.find(kNetModeMarker);
  if (marker == std::string_view::npos) return std::nullopt;
  const size_t start = marker + kNetModeMarker.size();
  const size_t end = reply.find("\r\n", start);
  if (end == std::string_view::npos) return std::nullopt;
  return std::string(reply.substr(start, std::min(end - start, kNetModeMaxLength)));
}

bool ReplyLoadsBack(std::string_view reply) {
  const std::string text = DecodeConfigFile(EncodeConfigFile(reply));
  return JudgeConfigText(text).accepted();
}
