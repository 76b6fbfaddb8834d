#include "exchange/reply_matcher.h"

#include "exchange/job_kinds.h"

namespace {

constexpr std::string_view kOk = "OK";
constexpr std::string_view kError = "ERROR";
constexpr std::string_view kShowMarker = "Access Point Name:";
constexpr std::string_view kSettingMenuText = "AT+LIST";
constexpr std::string_view kEnteredSettingText = "enter setting!";

constexpr size_t npos = std::string_view::npos;

ReplyEnding EndingOf(JobKind kind) {
  const JobKindInfo* info = FindJobKind(kind);
  return info ? info->ending : ReplyEnding::kNone;
}

std::string_view TrimLineBreaks(std::string_view text) {
  while (!text.empty() && (text.front() == '\r' || text.front() == '\n')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
  return text;
}

ReplyStatus FirstFinalLine(std::string_view text, size_t from) {
  const size_t ok = FindReplyLine(text, kOk, from);
  const size_t error = FindReplyLine(text, kError, from);
  if (ok == npos && error == npos) return ReplyStatus::kNeedMore;
  return ok < error ? ReplyStatus::kComplete : ReplyStatus::kDeviceError;
}

}  // namespace

size_t FindReplyLine(std::string_view text, std::string_view word, size_t from) {
  for (size_t at = text.find(word, from); at != npos; at = text.find(word, at + 1)) {
    const bool lineStart = at == 0 || text[at - 1] == '\r' || text[at - 1] == '\n';
    if (lineStart && text.substr(at + word.size(), 2) == "\r\n") return at;
  }
  return npos;
}

size_t ReplyStart(std::string_view collected, std::string_view command) {
  const std::string_view echo = TrimLineBreaks(command);
  if (echo.empty()) return 0;
  const size_t at = collected.find(echo);
  return at == npos ? 0 : at + echo.size();
}

size_t EchoStart(std::string_view collected, std::string_view command) {
  const std::string_view echo = TrimLineBreaks(command);
  if (echo.empty()) return 0;
  const size_t at = collected.find(echo);
  return at == npos ? 0 : at;
}

ReplyStatus MatchReply(std::string_view collected, JobKind awaitedKind, std::string_view command) {
  switch (EndingOf(awaitedKind)) {
    case ReplyEnding::kNone:
      return ReplyStatus::kNeedMore;
    case ReplyEnding::kSettingMenu:
      return collected.find(kSettingMenuText) != npos ? ReplyStatus::kComplete
                                                      : ReplyStatus::kNeedMore;
    case ReplyEnding::kEscape:
      if (collected.find(kEnteredSettingText) != npos) return ReplyStatus::kComplete;
      return FindReplyLine(collected, kError, 0) != npos ? ReplyStatus::kDeviceError
                                                         : ReplyStatus::kNeedMore;
    case ReplyEnding::kShow: {
      const size_t start = ReplyStart(collected, command);
      const size_t marker = collected.find(kShowMarker, start);
      if (marker != npos) {
        return FindReplyLine(collected, kOk, marker + kShowMarker.size()) != npos
                   ? ReplyStatus::kComplete
                   : ReplyStatus::kNeedMore;
      }
      return FindReplyLine(collected, kError, start) != npos ? ReplyStatus::kDeviceError
                                                             : ReplyStatus::kNeedMore;
    }
    case ReplyEnding::kOkOrError:
      return FirstFinalLine(collected, ReplyStart(collected, command));
  }
  return ReplyStatus::kNeedMore;
}

std::string_view ToString(ReplyStatus status) {
  switch (status) {
    case ReplyStatus::kNeedMore:
      return "need more";
    case ReplyStatus::kComplete:
      return "complete";
    case ReplyStatus::kDeviceError:
      return "device error";
  }
  return "?";
}
