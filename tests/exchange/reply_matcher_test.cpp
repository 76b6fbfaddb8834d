// The completion of every awaited kind, judged on raw device replies: whole ones, truncated
// ones, garbled ones and replies whose values look like "OK" or "ERROR".
#include <gtest/gtest.h>

#include <string>

#include "exchange/reply_matcher.h"
#include "writing/work_job.h"

namespace {

using enum ReplyStatus;

struct ReplyCase {
  const char* what;
  JobKind kind;
  std::string command;
  std::string collected;
  ReplyStatus expected;
};

const std::string kShowBody =
    "\r\nAccess Point Name:CMNET\r\nAPN User Name:OK\r\nLORA ID:00A1\r\n"
    "EL transmit channel:3\r\n";

// clang-format off
const ReplyCase kCases[] = {
  // Writes: the device echoes the command, then answers with a line of its own.
  {"accepted write", JobKind::kWrite, "AT+APN=CMNET\r\n", "AT+APN=CMNET\r\nOK\r\n", kComplete},
  {"accepted write with blank line", JobKind::kWrite, "AT+APN=CMNET\r\n", "AT+APN=CMNET\r\n\r\nOK\r\n", kComplete},
  {"refused write", JobKind::kWrite, "AT+APN=CMNET\r\n", "AT+APN=CMNET\r\nERROR\r\n", kDeviceError},
  {"echo of a value holding OK", JobKind::kWrite, "AT+APN=OKNET\r\n", "AT+APN=OKNET\r\n", kNeedMore},
  {"echo of a value OK", JobKind::kWrite, "AT+APN=OK\r\n", "AT+APN=OK\r\n", kNeedMore},
  {"value holding OK then refused", JobKind::kWrite, "AT+APN=OKNET\r\n", "AT+APN=OKNET\r\nERROR\r\n", kDeviceError},
  {"echo of a value ERROR", JobKind::kWrite, "AT+MQTTTOPIC=ERROR\r\n", "AT+MQTTTOPIC=ERROR\r\n", kNeedMore},
  {"value ERROR then accepted", JobKind::kWrite, "AT+MQTTTOPIC=ERROR\r\n", "AT+MQTTTOPIC=ERROR\r\nOK\r\n", kComplete},
  {"final OK without its line end", JobKind::kWrite, "AT+LID=1\r\n", "AT+LID=1\r\nOK", kNeedMore},
  {"final OK with CR only", JobKind::kWrite, "AT+LID=1\r\n", "AT+LID=1\r\nOK\r", kNeedMore},
  {"a longer line starting with OK", JobKind::kWrite, "AT+LID=1\r\n", "AT+LID=1\r\nOKAY\r\n", kNeedMore},
  {"OK inside a line", JobKind::kWrite, "AT+LID=1\r\n", "AT+LID=1\r\nxOK\r\n", kNeedMore},
  {"truncated ERROR", JobKind::kWrite, "AT+LID=1\r\n", "AT+LID=1\r\nERR", kNeedMore},
  {"device error code is no ERROR line", JobKind::kWrite, "AT+LID=1\r\n", "AT+LID=1\r\n+CME ERROR: 3\r\n", kNeedMore},
  {"no echo at all", JobKind::kWrite, "AT+LID=1\r\n", "OK\r\n", kComplete},
  {"no echo, line break first", JobKind::kWrite, "AT+LID=1\r\n", "\r\nOK\r\n", kComplete},
  {"garbled echo", JobKind::kWrite, "AT+LID=1\r\n", "A\xff+LID=1\r\nOK\r\n", kComplete},
  {"late OK of the previous command before the echo", JobKind::kWrite, "AT+LID=1\r\n", "OK\r\nAT+LID=1\r\n", kNeedMore},
  {"first final line wins", JobKind::kWrite, "AT+LID=1\r\n", "AT+LID=1\r\nERROR\r\nOK\r\n", kDeviceError},
  {"clock write", JobKind::kWrite, "AT+EXCCLK=\"2024/03/05,08:07:06\",5\r\n", "AT+EXCCLK=\"2024/03/05,08:07:06\",5\r\nOK\r\n", kComplete},
  {"list item write", JobKind::kWrite, "AT+GENSENSORINFO=0,1,1,3,0,2,0,2,1,OK,0\r\n", "AT+GENSENSORINFO=0,1,1,3,0,2,0,2,1,OK,0\r\n", kNeedMore},
  {"nothing yet", JobKind::kWrite, "AT+LID=1\r\n", "", kNeedMore},
  // Show requests: the parameter section, then the final OK line.
  {"whole show reply", JobKind::kShow, "AT+SHOW\r\n", "AT+SHOW\r\n" + kShowBody + "OK\r\n", kComplete},
  {"show reply without OK yet", JobKind::kShow, "AT+SHOW\r\n", "AT+SHOW\r\n" + kShowBody, kNeedMore},
  {"show value OK is not the end", JobKind::kShow, "AT+SHOW\r\n", "AT+SHOW\r\n\r\nAccess Point Name:CMNET\r\nAPN User Name:OK\r\n", kNeedMore},
  {"show value line OK before marker", JobKind::kShow, "AT+SHOW\r\n", "AT+SHOW\r\nOK\r\nAccess Point Name:x\r\n", kNeedMore},
  {"OK before the marker", JobKind::kShow, "AT+SHOW\r\n", "OK\r\nAT+SHOW\r\n\r\nAccess Point Name:x\r\n", kNeedMore},
  {"show refused", JobKind::kShow, "AT+SHOW\r\n", "AT+SHOW\r\nERROR\r\n", kDeviceError},
  {"file show request", JobKind::kSaveToFile, "\r\nAT+SHOW\r\n", "\r\nAT+SHOW\r\n" + kShowBody + "\r\nOK\r\n", kComplete},
  {"file show refused", JobKind::kLoadFromFile, "\r\nAT+SHOW\r\n", "AT+SHOW\r\nERROR\r\n", kDeviceError},
  {"file show with marker but no OK", JobKind::kLoadFromFile, "\r\nAT+SHOW\r\n", "AT+SHOW\r\n" + kShowBody, kNeedMore},
  {"ERROR value inside a show reply", JobKind::kSaveToFile, "\r\nAT+SHOW\r\n", "AT+SHOW\r\n\r\nAccess Point Name:ERROR\r\n", kNeedMore},
  // Queries.
  {"signal", JobKind::kSignal, "At+CSQ\r\n", "At+CSQ\r\n+CSQ: 20,0\r\n\r\nOK\r\n", kComplete},
  {"signal refused", JobKind::kSignal, "At+CSQ\r\n", "At+CSQ\r\nERROR\r\n", kDeviceError},
  {"signal retry", JobKind::kSignalRetry, "At+CSQ\r\n", "At+CSQ\r\nERROR\r\n", kDeviceError},
  {"net mode", JobKind::kFindNetMode, "AT+FINDNETMODE\r\n", "AT+FINDNETMODE\r\n+FINDNETMODE:LTE\r\n\r\nOK\r\n", kComplete},
  {"factory reset", JobKind::kFactoryReset, "AT+FACTORY\r\n", "AT+FACTORY\r\nOK\r\n", kComplete},
  {"factory reset refused", JobKind::kFactoryReset, "AT+FACTORY\r\n", "AT+FACTORY\r\nERROR\r\n", kDeviceError},
  {"quit", JobKind::kQuitSetting, "at+quit\r\n", "at+quit\r\nOK\r\n", kComplete},
  {"version", JobKind::kVersion, "At+VER\r\n", "At+VER\r\nZr350V4 1.2\r\nOK\r\n", kComplete},
  {"sim status", JobKind::kSimStatus, "At+CPIN?\r\n", "At+CPIN?\r\n+CPIN: READY\r\n\r\nOK\r\n", kComplete},
  {"log file", JobKind::kReadLogFile, "at+READFILELOG\r\n", "at+READFILELOG\r\nboot\r\nnet up\r\nOK\r\n", kComplete},
  {"named command", JobKind::kNamedCommand, "AT+RESTART\r\n", "AT+RESTART\r\nERROR\r\n", kDeviceError},
  // The login.
  {"setting menu", JobKind::kAwaitSettingMenu, "", "Press 's' key\r\nsss\r\nAT+LIST  show commands\r\n", kComplete},
  {"setting menu cut short", JobKind::kAwaitSettingMenu, "", "AT+LI", kNeedMore},
  {"escape answered", JobKind::kAwaitEscapeAnswer, "", "+++enter setting!\r\n", kComplete},
  {"escape refused", JobKind::kAwaitEscapeAnswer, "", "ERROR\r\n", kDeviceError},
  {"escape refusal truncated", JobKind::kAwaitEscapeAnswer, "", "ERROR", kNeedMore},
  // Nothing awaited, and the unused kind.
  {"nothing awaited", JobKind::kAwaitNothing, "", "OK\r\nERROR\r\nAT+LIST\r\n", kNeedMore},
  {"unused kind", JobKind{14}, "AT+X\r\n", "AT+X\r\nOK\r\n", kNeedMore},
  {"unknown kind", JobKind{99}, "AT+X\r\n", "AT+X\r\nOK\r\n", kNeedMore},
};
// clang-format on

TEST(ReplyMatcher, JudgesRawReplies) {
  for (const ReplyCase& c : kCases) {
    EXPECT_EQ(MatchReply(c.collected, c.kind, c.command), c.expected)
        << c.what << ": got " << ToString(MatchReply(c.collected, c.kind, c.command));
  }
}

TEST(ReplyMatcher, NeverReadsPastTheTextOnArbitraryBytes) {
  // Every prefix of a reply full of line breaks and near-misses: a result, never a crash.
  constexpr char kNoisy[] = "AT+LID=1\r\n\rO\nOK\rERROR\r\r\nOK\r\n\0K";
  const std::string noisy(kNoisy, sizeof kNoisy - 1);
  for (int kind = -1; kind <= 15; ++kind) {
    for (size_t n = 0; n <= noisy.size(); ++n) {
      (void)MatchReply(std::string_view(noisy).substr(0, n), JobKind{kind}, "AT+LID=1\r\n");
    }
  }
  SUCCEED();
}

TEST(ReplyMatcher, ReplyStartsBehindTheEcho) {
  EXPECT_EQ(ReplyStart("AT+SHOW\r\nAccess", "\r\nAT+SHOW\r\n"), 7u);
  EXPECT_EQ(ReplyStart("OK\r\n", "AT+LID=1\r\n"), 0u);
  EXPECT_EQ(ReplyStart("anything", ""), 0u);
}

TEST(ReplyMatcher, ReplyLineNeedsLineStartAndLineEnd) {
  EXPECT_EQ(FindReplyLine("OK\r\n", "OK", 0), 0u);
  EXPECT_EQ(FindReplyLine("a\rOK\r\n", "OK", 0), 2u);
  EXPECT_EQ(FindReplyLine("aOK\r\nOK\r\n", "OK", 0), 5u);
  EXPECT_EQ(FindReplyLine("OK\n", "OK", 0), std::string_view::npos);
  EXPECT_EQ(FindReplyLine("OK\r\n", "OK", 1), std::string_view::npos);
}

}  // namespace
