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
  int kind;
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
  {"accepted write", 2, "AT+APN=CMNET\r\n", "AT+APN=CMNET\r\nOK\r\n", kComplete},
  {"accepted write with blank line", 2, "AT+APN=CMNET\r\n", "AT+APN=CMNET\r\n\r\nOK\r\n", kComplete},
  {"refused write", 2, "AT+APN=CMNET\r\n", "AT+APN=CMNET\r\nERROR\r\n", kDeviceError},
  {"echo of a value holding OK", 2, "AT+APN=OKNET\r\n", "AT+APN=OKNET\r\n", kNeedMore},
  {"echo of a value OK", 2, "AT+APN=OK\r\n", "AT+APN=OK\r\n", kNeedMore},
  {"value holding OK then refused", 2, "AT+APN=OKNET\r\n", "AT+APN=OKNET\r\nERROR\r\n", kDeviceError},
  {"echo of a value ERROR", 2, "AT+MQTTTOPIC=ERROR\r\n", "AT+MQTTTOPIC=ERROR\r\n", kNeedMore},
  {"value ERROR then accepted", 2, "AT+MQTTTOPIC=ERROR\r\n", "AT+MQTTTOPIC=ERROR\r\nOK\r\n", kComplete},
  {"final OK without its line end", 2, "AT+LID=1\r\n", "AT+LID=1\r\nOK", kNeedMore},
  {"final OK with CR only", 2, "AT+LID=1\r\n", "AT+LID=1\r\nOK\r", kNeedMore},
  {"a longer line starting with OK", 2, "AT+LID=1\r\n", "AT+LID=1\r\nOKAY\r\n", kNeedMore},
  {"OK inside a line", 2, "AT+LID=1\r\n", "AT+LID=1\r\nxOK\r\n", kNeedMore},
  {"truncated ERROR", 2, "AT+LID=1\r\n", "AT+LID=1\r\nERR", kNeedMore},
  {"device error code is no ERROR line", 2, "AT+LID=1\r\n", "AT+LID=1\r\n+CME ERROR: 3\r\n", kNeedMore},
  {"no echo at all", 2, "AT+LID=1\r\n", "OK\r\n", kComplete},
  {"no echo, line break first", 2, "AT+LID=1\r\n", "\r\nOK\r\n", kComplete},
  {"garbled echo", 2, "AT+LID=1\r\n", "A\xff+LID=1\r\nOK\r\n", kComplete},
  {"late OK of the previous command before the echo", 2, "AT+LID=1\r\n", "OK\r\nAT+LID=1\r\n", kNeedMore},
  {"first final line wins", 2, "AT+LID=1\r\n", "AT+LID=1\r\nERROR\r\nOK\r\n", kDeviceError},
  {"clock write", 2, "AT+EXCCLK=\"2024/03/05,08:07:06\",5\r\n", "AT+EXCCLK=\"2024/03/05,08:07:06\",5\r\nOK\r\n", kComplete},
  {"list item write", 2, "AT+GENSENSORINFO=0,1,1,3,0,2,0,2,1,OK,0\r\n", "AT+GENSENSORINFO=0,1,1,3,0,2,0,2,1,OK,0\r\n", kNeedMore},
  {"nothing yet", 2, "AT+LID=1\r\n", "", kNeedMore},
  // Show requests: the parameter section, then the final OK line.
  {"whole show reply", 1, "AT+SHOW\r\n", "AT+SHOW\r\n" + kShowBody + "OK\r\n", kComplete},
  {"show reply without OK yet", 1, "AT+SHOW\r\n", "AT+SHOW\r\n" + kShowBody, kNeedMore},
  {"show value OK is not the end", 1, "AT+SHOW\r\n", "AT+SHOW\r\n\r\nAccess Point Name:CMNET\r\nAPN User Name:OK\r\n", kNeedMore},
  {"show value line OK before marker", 1, "AT+SHOW\r\n", "AT+SHOW\r\nOK\r\nAccess Point Name:x\r\n", kNeedMore},
  {"OK before the marker", 1, "AT+SHOW\r\n", "OK\r\nAT+SHOW\r\n\r\nAccess Point Name:x\r\n", kNeedMore},
  {"show refused", 1, "AT+SHOW\r\n", "AT+SHOW\r\nERROR\r\n", kDeviceError},
  {"file show request", 5, "\r\nAT+SHOW\r\n", "\r\nAT+SHOW\r\n" + kShowBody + "\r\nOK\r\n", kComplete},
  {"file show refused", 6, "\r\nAT+SHOW\r\n", "AT+SHOW\r\nERROR\r\n", kDeviceError},
  {"file show with marker but no OK", 6, "\r\nAT+SHOW\r\n", "AT+SHOW\r\n" + kShowBody, kNeedMore},
  {"ERROR value inside a show reply", 5, "\r\nAT+SHOW\r\n", "AT+SHOW\r\n\r\nAccess Point Name:ERROR\r\n", kNeedMore},
  // Queries.
  {"signal", 11, "At+CSQ\r\n", "At+CSQ\r\n+CSQ: 20,0\r\n\r\nOK\r\n", kComplete},
  {"signal refused", 11, "At+CSQ\r\n", "At+CSQ\r\nERROR\r\n", kDeviceError},
  {"signal retry", 12, "At+CSQ\r\n", "At+CSQ\r\nERROR\r\n", kDeviceError},
  {"net mode", 8, "AT+FINDNETMODE\r\n", "AT+FINDNETMODE\r\n+FINDNETMODE:LTE\r\n\r\nOK\r\n", kComplete},
  {"factory reset", 4, "AT+FACTORY\r\n", "AT+FACTORY\r\nOK\r\n", kComplete},
  {"factory reset refused", 4, "AT+FACTORY\r\n", "AT+FACTORY\r\nERROR\r\n", kDeviceError},
  {"quit", 7, "at+quit\r\n", "at+quit\r\nOK\r\n", kComplete},
  {"version", 9, "At+VER\r\n", "At+VER\r\nZr350V4 1.2\r\nOK\r\n", kComplete},
  {"sim status", 10, "At+CPIN?\r\n", "At+CPIN?\r\n+CPIN: READY\r\n\r\nOK\r\n", kComplete},
  {"log file", 13, "at+READFILELOG\r\n", "at+READFILELOG\r\nboot\r\nnet up\r\nOK\r\n", kComplete},
  {"named command", 15, "AT+RESTART\r\n", "AT+RESTART\r\nERROR\r\n", kDeviceError},
  // The login.
  {"setting menu", 0, "", "Press 's' key\r\nsss\r\nAT+LIST  show commands\r\n", kComplete},
  {"setting menu cut short", 0, "", "AT+LI", kNeedMore},
  {"escape answered", 3, "", "+++enter setting!\r\n", kComplete},
  {"escape refused", 3, "", "ERROR\r\n", kDeviceError},
  {"escape refusal truncated", 3, "", "ERROR", kNeedMore},
  // Nothing awaited, and the unused kind.
  {"nothing awaited", -1, "", "OK\r\nERROR\r\nAT+LIST\r\n", kNeedMore},
  {"unused kind", 14, "AT+X\r\n", "AT+X\r\nOK\r\n", kNeedMore},
  {"unknown kind", 99, "AT+X\r\n", "AT+X\r\nOK\r\n", kNeedMore},
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
      (void)MatchReply(std::string_view(noisy).substr(0, n), kind, "AT+LID=1\r\n");
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
