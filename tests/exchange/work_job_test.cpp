// The facts about jobs that do not need a thread: time-outs, the bytes sent, the refusal of
// values that would inject a second command, the net mode value and the stored values.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "exchange/completions.h"
#include "exchange/exchange_state.h"
#include "exchange/job_kinds.h"
#include "writing/work_job.h"

namespace {

TEST(WorkJob, TimeoutsByKindAndFactor) {
  struct Case {
    JobKind kind;
    int factor;
    int ms;
  };
  const Case cases[] = {
      {JobKind::kShow, 1, 24000},         {JobKind::kSaveToFile, 1, 24000},
      {JobKind::kLoadFromFile, 1, 24000}, {JobKind::kReadLogFile, 1, 24000},
      {JobKind::kWrite, 1, 5000},         {JobKind::kFactoryReset, 1, 5000},
      {JobKind::kQuitSetting, 1, 5000},   {JobKind::kFindNetMode, 1, 5000},
      {JobKind::kSignal, 1, 5000},        {JobKind::kNamedCommand, 1, 5000},
      {JobKind::kWrite, 2, 10000},        {JobKind::kShow, 2, 48000},
      {JobKind::kWrite, 0, 5000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JobTimeoutMs(c.kind, c.factor), c.ms)
        << "kind " << static_cast<int>(c.kind) << " factor " << c.factor;
  }
}

TEST(WorkJob, CommandIsSentUpToItsFirstZeroByte) {
  WorkJob job = MakeJob(JobKind::kWrite, std::string("AT+APN=ab\0cd\r\n", 14));
  EXPECT_EQ(CommandBytes(job), "AT+APN=ab");
  EXPECT_EQ(CommandBytes(MakeJob(JobKind::kVersion, "At+VER\r\n")), "At+VER\r\n");
}

TEST(WorkJob, InnerLineBreaksAreFound) {
  EXPECT_FALSE(HasInnerLineBreak("AT+APN=CMNET\r\n"));
  EXPECT_FALSE(HasInnerLineBreak("AT+APN=\r\n"));
  EXPECT_TRUE(HasInnerLineBreak("AT+APN=a\r\nAT+FACTORY\r\n"));
  EXPECT_TRUE(HasInnerLineBreak("AT+APN=a\rb\r\n"));
  EXPECT_TRUE(HasInnerLineBreak("AT+APN=a\nb\r\n"));
  EXPECT_TRUE(HasInnerLineBreak(std::string("AT+APN=a\0b\r\n", 13)));
  EXPECT_TRUE(HasInnerLineBreak("AT+APN=a\r\n\r\n"));
}

TEST(NetMode, ValueFromAShortReplyCutTo39Bytes) {
  EXPECT_EQ(ExtractNetMode("AT+FINDNETMODE\r\n+FINDNETMODE:LTE\r\n\r\nOK\r\n"),
            std::optional<std::string>("LTE"));
  const std::string longValue(45, 'x');
  EXPECT_EQ(ExtractNetMode("+FINDNETMODE:" + longValue + "\r\nOK\r\n"),
            std::optional<std::string>(std::string(39, 'x')));
  EXPECT_EQ(ExtractNetMode("+FINDNETMODE:\r\n"), std::optional<std::string>(""));
  EXPECT_EQ(ExtractNetMode("AT+FINDNETMODE\r\nOK\r\n"), std::nullopt);
  EXPECT_EQ(ExtractNetMode("+FINDNETMODE:LTE"), std::nullopt);
  EXPECT_EQ(ExtractNetMode("+FINDNETMODE:LTE\r\n" + std::string(90, ' ')), std::nullopt);
}

TEST(StoredValues, AcceptedWriteUpdatesOnlyItsRowOrItem) {
  ParamTable params;
  ListParamTable lists;
  params["APN"].value = "old";
  params["LORA ID"].value = "00A1";
  lists["CustomList"].items["GENSENSORINFO 0:"] = "1,a";
  lists["CustomList"].items["GENSENSORINFO 1:"] = "0,b";

  WorkJob write = MakeJob(JobKind::kWrite, "AT+APN=new\r\n");
  write.name = "APN";
  write.value = "new";
  StoreAcceptedValue(params, lists, write);
  EXPECT_EQ(params["APN"].value, "new");
  EXPECT_EQ(params["LORA ID"].value, "00A1");

  WorkJob item = MakeJob(JobKind::kWrite, "AT+GENSENSORINFO=1,1,c\r\n");
  item.name = "CustomList";
  item.value = "1,c";
  item.group = "List";
  item.subkey = "GENSENSORINFO 1:";
  StoreAcceptedValue(params, lists, item);
  EXPECT_EQ(lists["CustomList"].items["GENSENSORINFO 0:"], "1,a");
  EXPECT_EQ(lists["CustomList"].items["GENSENSORINFO 1:"], "1,c");
  EXPECT_EQ(params.count("CustomList"), 0u);
}

TEST(ReplyCollection, KeepsTheNewest16000BytesAndBlanksZeroBytes) {
  ReplyCollection c;
  c.Append("ab\0c", 4);
  EXPECT_EQ(c.received, "ab c");
  const std::string block(9000, 'x');
  c.Append(block.data(), block.size());
  c.Append("\0tail", 5);
  ASSERT_EQ(c.received.size(), 9009u);
  const std::string big = std::string(7000, 'y') + "end";
  c.Append(big.data(), big.size());
  ASSERT_EQ(c.received.size(), kReceiveBufferSize);
  EXPECT_TRUE(c.received.ends_with(std::string(7000, 'y') + "end"));
  EXPECT_TRUE(c.received.starts_with(std::string(8988, 'x')));
  EXPECT_EQ(c.received.find('\0'), std::string::npos);
  EXPECT_NE(c.received.find(" tail"), std::string::npos);

  const std::string huge = "h" + std::string(20000, 'z') + "!";
  c.Append(huge.data(), huge.size());
  EXPECT_EQ(c.received.size(), kReceiveBufferSize);
  EXPECT_EQ(c.received, huge.substr(huge.size() - kReceiveBufferSize));
}

}  // namespace
