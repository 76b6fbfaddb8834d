// libFuzzer target: the pure decisions of the receive path. Any collected text, awaited kind and
// command give a status without a crash; a decided reply stays decided when more text arrives;
// the net mode extraction stays within its field; a device notice found is one, outside every
// value line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "exchange/completions.h"
#include "exchange/device_notices.h"
#include "exchange/reply_matcher.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // First byte: the awaited kind (nothing awaited, each kind, and a value that names none); second:
  // how long the command is.
  const JobKind kind{static_cast<int>(data[0] % 16) - 1};
  const size_t commandLength = std::min<size_t>(data[1], size - 2);
  const std::string_view command(reinterpret_cast<const char*>(data) + 2, commandLength);
  const std::string_view collected(reinterpret_cast<const char*>(data) + 2 + commandLength,
                                   size - 2 - commandLength);

  const ReplyStatus status = MatchReply(collected, kind, command);
  Check(!ToString(status).empty());
  const size_t start = ReplyStart(collected, command);
  Check(start <= collected.size());
  for (std::string_view word : {"OK", "ERROR"}) {
    const size_t line = FindReplyLine(collected, word, start);
    if (line == std::string_view::npos) continue;
    Check(line >= start && collected.substr(line, word.size()) == word);
    Check(collected.substr(line + word.size(), 2) == "\r\n");
  }

  for (std::string_view notice : {kBootPromptText, kTimeoutQuitText}) {
    const size_t at = FindDeviceNotice(collected, notice, command);
    if (at == std::string_view::npos) continue;
    Check(collected.substr(at, notice.size()) == notice);
    const size_t lineBreak =
        at == 0 ? std::string_view::npos : collected.find_last_of("\r\n", at - 1);
    const size_t lineStart = lineBreak == std::string_view::npos ? 0 : lineBreak + 1;
    Check(!IsValueLine(collected.substr(lineStart)));
  }

  if (const auto mode = ExtractNetMode(collected)) {
    Check(mode->size() <= kNetModeMaxLength);
    Check(mode->find("\r\n") == std::string::npos);
  }
  return 0;
}
