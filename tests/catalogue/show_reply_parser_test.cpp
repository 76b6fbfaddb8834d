#include "catalogue/show_reply_parser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

using namespace std::string_literals;

std::string ReadFixture(const std::string& name) {
  std::ifstream in(std::string(DTU_TEST_DATA_DIR) + "/show/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A catalogue with a sensor list of `sensorRows` rows, parsed from `reply`.
struct Parsed {
  ParamTable params;
  ListParamTable lists;
  bool fiveDio = false;
  ShowReplyResult result;

  explicit Parsed(int32_t sensorRows = 4) { BuildParamTable(params, lists, sensorRows); }

  Parsed& Parse(const std::string& reply) {
    result = ParseShowReply(reply.data(), reply.size(), params, lists, fiveDio);
    return *this;
  }
  const std::string& Value(const std::string& name) const { return params.at(name).value; }
  // An item the text does not list reads as empty here; Stated() tells them apart.
  std::string Item(int32_t number) const {
    const auto& items = lists.at("CustomList").items;
    auto item = items.find(ListItemLabel("GENSENSORINFO %d:", number));
    return item == items.end() ? std::string() : item->second;
  }
  bool Stated(int32_t number) const {
    return lists.at("CustomList").items.count(ListItemLabel("GENSENSORINFO %d:", number)) > 0;
  }
};

// The echo, the parameter section with `body` after its first line, and the final OK.
std::string Reply(const std::string& body) {
  return "AT+SHOW\r\n\r\nAccess Point Name:cmnet\r\n"s + body + "\r\nOK\r\n";
}

TEST(ShowReplyParser, TrimsBlanksAndTrailingCrsButKeepsTabs) {
  struct Case {
    const char* line;
    const char* value;
  };
  const Case cases[] = {
      {"\r\nLORA ID:  00A1 \r\n", "00A1"},
      {"\r\nLORA ID:\r\n", ""},
      {"\r\nLORA ID:    \r\n", ""},
      {"\r\nLORA ID: x\r\r\n", "x"},
      {"\r\nLORA ID: a b  \r\n", "a b"},
      {"\r\nLORA ID:\t00A1\t\r\n", "\t00A1\t"},
      {"\r\nLORA ID: a\rb\r\n", "a\rb"},
      // A value that starts with a CR is no value at all.
      {"\r\nLORA ID:\rab\r\n", ""},
      {"\r\nLORA ID: \r\r\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Parsed p;
    p.params["LORA ID"].value = "old";
    p.Parse(Reply(c.line));
    EXPECT_EQ(p.Value("LORA ID"), c.value);
  }
}

TEST(ShowReplyParser, TakesValuesShorterThan1024Bytes) {
  const std::string taken(1023, 'v');
  Parsed p;
  p.Parse(Reply("\r\nLORA ID:" + taken + "\r\n\r\nLORA pid:" + taken + "w\r\n"));
  EXPECT_EQ(p.Value("LORA ID"), taken);
  EXPECT_EQ(p.Value("LORA pid"), "");
  // Both LORA lines count as found, as do the first line's two rows ("I/O selection" has no label).
  EXPECT_EQ(p.result.labelsFound, 4u);
}

TEST(ShowReplyParser, ReadsOnlyFromTheFirstAccessPointName) {
  Parsed p;
  p.Parse("\r\nLORA ID:7\r\n" + Reply("\r\nLORA pid:8\r\n"));
  EXPECT_EQ(p.Value("LORA ID"), "");
  EXPECT_EQ(p.Value("LORA pid"), "8");
  EXPECT_EQ(p.Value("Access Point Name"), "cmnet");
}

TEST(ShowReplyParser, FirstOccurrenceOfALabelWins) {
  Parsed p;
  p.Parse(Reply("\r\nLORA ID:first\r\nLORA ID:second\r\n\r\nLORA ID:third\r\n"));
  EXPECT_EQ(p.Value("LORA ID"), "first");
}

TEST(ShowReplyParser, LabelsWithLineStartOnlyMatchAtTheStartOfALine) {
  Parsed p;
  // "Server's Ip:" inside the GPS line must not feed "Server's Ip"; the DIO label has no line
  // start and is found in the middle of a line.
  p.Parse(Reply("\r\nGPS Server's Ip:1.2.3.4\r\nxxDIO1 workmode:4\r\n"));
  EXPECT_EQ(p.Value("GPS Server's Ip"), "1.2.3.4");
  EXPECT_EQ(p.Value("Server's Ip"), "");
  EXPECT_EQ(p.Value("DIO1 workmode"), "4");
  EXPECT_EQ(p.Value("I/O1 Mode"), "");
}

TEST(ShowReplyParser, OneTransmitChannelLineFeedsAllThreeRoutingRows) {
  Parsed p;
  p.Parse(Reply("\r\nEL transmit channel: 49\r\n"));
  EXPECT_EQ(p.Value("EL transmit channel"), "49");
  EXPECT_EQ(p.Value("EL transmit channel_Z"), "49");
  EXPECT_EQ(p.Value("EL transmit channel_G"), "49");
}

TEST(ShowReplyParser, EmptyLabelRowsGetTheWindowsFirstLine) {
  Parsed p;
  p.params[""];  // the row a clock write leaves behind
  p.Parse(Reply("\r\nLORA ID:1\r\n"));
  EXPECT_EQ(p.Value("I/O selection"), "Access Point Name:cmnet");
  EXPECT_EQ(p.Value(""), "Access Point Name:cmnet");
}

TEST(ShowReplyParser, FirmwareVariantAnywhereSelectsTheDio3Binding) {
  const std::string dioLines = "\r\nDIO3 workmode:6\r\nDIO4 workmode:2\r\nDIO4 adc type:1\r\n";
  struct Case {
    std::string reply;
    bool fiveDio;
    const char* dio3Mode;
    const char* dio3Adc;
  };
  const Case cases[] = {
      {"Zr350V4\r\n" + Reply(dioLines), true, "2", "1"},
      {Reply(dioLines) + "Zr350V3\r\n", true, "2", "1"},
      {Reply(dioLines), false, "6", ""},
      {"Zr350V5\r\n" + Reply(dioLines), false, "6", ""},
      // The device's own statement decides; a value can name anything.
      {"Firmware version:Zr350V1.8.6\r\n" + Reply(dioLines + "\r\nServer's Ip:Zr350V4\r\n"), false,
       "6", ""},
      {"\r\nSoftware version:Zr350V1.8\r\n" +
           Reply("\r\nServer's Ip:Software version:Zr350V4" + dioLines),
       false, "6", ""},
      {"SOFTWARE VERSION:Zr350V4.2.0\r\n" + Reply(dioLines), true, "2", "1"},
      // Without a statement, the variant anywhere decides, even inside a value.
      {Reply("\r\nServer's Ip:Zr350V4" + dioLines), true, "2", "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    Parsed p;
    p.fiveDio = !c.fiveDio;
    p.Parse(c.reply);
    EXPECT_EQ(p.fiveDio, c.fiveDio);
    EXPECT_EQ(p.Value("DIO3 workmode"), c.dio3Mode);
    EXPECT_EQ(p.Value("DIO3 ADCType"), c.dio3Adc);
    // The "DIO4" control shows the device's DIO3 on every model.
    EXPECT_EQ(p.Value("DIO4 workmode"), "6");
    EXPECT_EQ(p.params.at("DIO3 workmode").label, c.fiveDio ? "DIO4 workmode:" : "DIO3 workmode:");
  }
}

TEST(ShowReplyParser, RowsMissingFromTheReplyLoseTheirOldValue) {
  Parsed p;
  p.Parse(Reply("\r\nLORA ID:1\r\n\r\nLORA pid:2\r\n"));
  p.Parse(Reply("\r\nLORA ID:1\r\n"));
  EXPECT_EQ(p.Value("LORA ID"), "1");
  EXPECT_EQ(p.Value("LORA pid"), "");
}

TEST(ShowReplyParser, AValueWithoutLineEndIsNotTaken) {
  Parsed p;
  p.params["LORA ID"].value = "old";
  const std::string reply = "Access Point Name:cmnet\r\nLORA ID: 5";
  p.Parse(reply);
  EXPECT_EQ(p.Value("LORA ID"), "");
  EXPECT_EQ(p.Value("Access Point Name"), "cmnet");
}

TEST(ShowReplyParser, WindowEndsAfter8191BytesOrAtAZeroByte) {
  // The marker line fills the window up to `pad` bytes, then a LORA ID line follows.
  const auto replyWithLoraIdAt = [](size_t offset) {
    std::string head = "Access Point Name:";
    head += std::string(offset - head.size() - 2, 'x') + "\r\n";
    return head + "LORA ID:5\r\n";  // label without its line start: found wherever it is
  };
  const std::string line = "LORA ID:5\r\n";
  // The line's last byte is byte 8191 of the window: still inside.
  Parsed inside;
  inside.params["LORA ID"].label = "LORA ID:";
  inside.Parse(replyWithLoraIdAt(kParseWindowSize - 1 - line.size()));
  EXPECT_EQ(inside.Value("LORA ID"), "5");
  // One byte later the LF falls outside the window, so the line has no end.
  Parsed outside;
  outside.params["LORA ID"].label = "LORA ID:";
  outside.Parse(replyWithLoraIdAt(kParseWindowSize - line.size()));
  EXPECT_EQ(outside.Value("LORA ID"), "");

  Parsed zero;
  zero.Parse(Reply("\r\nLORA pid:1\r\n"s + '\0' + "\r\nLORA ID:2\r\n"));
  EXPECT_EQ(zero.Value("LORA pid"), "1");
  EXPECT_EQ(zero.Value("LORA ID"), "");
}

TEST(ShowReplyParser, TextWithoutMarkerEmptiesEveryValue) {
  Parsed p;
  p.Parse(ReadFixture("zr350v4_show.reply"));
  const std::string foreign = "Zr350V4\r\nLORA ID:1\r\nGENSENSORINFO 0:1,2\r\n";
  p.Parse(foreign);
  EXPECT_FALSE(p.result.markerFound);
  EXPECT_EQ(p.result.labelsFound, 0u);
  EXPECT_TRUE(p.fiveDio);
  for (const auto& [name, row] : p.params) EXPECT_EQ(row.value, "") << name;
  EXPECT_FALSE(p.Stated(0));
}

TEST(ShowReplyParser, ReadsEmptyOrNullInput) {
  Parsed p;
  p.fiveDio = true;
  ShowReplyResult r = ParseShowReply(nullptr, 0, p.params, p.lists, p.fiveDio);
  EXPECT_FALSE(r.markerFound);
  EXPECT_FALSE(p.fiveDio);
}

TEST(ShowReplyParser, BytesBehindTheCountAreNotSeen) {
  // A shorter text loaded over an earlier reply in the same buffer: the rest of the earlier
  // reply still stands behind the count and must not be read.
  std::string buffer = ReadFixture("zr350v4_show.reply");
  const std::string shorter = "Access Point Name:internet\r\n\r\nLORA ID:9\r\n";
  buffer.replace(0, shorter.size(), shorter);
  Parsed p;
  p.result = ParseShowReply(buffer.data(), shorter.size(), p.params, p.lists, p.fiveDio);
  EXPECT_EQ(p.Value("Access Point Name"), "internet");
  EXPECT_EQ(p.Value("LORA ID"), "9");
  EXPECT_EQ(p.Value("Server's Ip"), "");
  EXPECT_FALSE(p.Stated(0));
}

TEST(ShowReplyParser, NeverReadsPastTheGivenBytes) {
  // Every prefix of a real reply, each in a heap block of exactly its size: the address
  // sanitizer reports any read behind the last byte.
  const std::string reply = ReadFixture("zr350v4_show.reply");
  ASSERT_GT(reply.size(), 3000u);
  for (size_t length = 0; length <= reply.size(); length += (length < 200 ? 1 : 37)) {
    auto bytes = std::make_unique<char[]>(length);
    std::copy_n(reply.data(), length, bytes.get());
    Parsed p;
    p.result = ParseShowReply(bytes.get(), length, p.params, p.lists, p.fiveDio);
    EXPECT_LE(p.result.labelsFound, p.params.size());
  }
}

TEST(ListItemParser, ReadsItemsAndLeavesOutTheOnesTheTextDoesNotList) {
  Parsed p(3);
  p.lists["CustomList"].items["GENSENSORINFO 1:"] = "old";
  p.Parse(Reply("\r\nGENSENSORINFO 0: a,b \r\nGENSENSORINFO 2:   \r\n"));
  EXPECT_EQ(p.Item(0), "a,b");
  // A blank item is stated empty; a missing one is not stated at all.
  EXPECT_TRUE(p.Stated(2));
  EXPECT_EQ(p.Item(2), "");
  EXPECT_FALSE(p.Stated(1));
  EXPECT_EQ(p.lists.at("CustomList").items.size(), 2u);
}

TEST(ListItemParser, KeepsTheOldItemWhenTheLineIsTooLongOrHasNoEnd) {
  const std::string hundred(100, 'h');
  Parsed p(3);
  for (int32_t i = 0; i < 3; ++i)
    p.lists["CustomList"].items[ListItemLabel("GENSENSORINFO %d:", i)] = "old";
  p.Parse("Access Point Name:cmnet\r\nGENSENSORINFO 0:" + hundred +
          "\r\nGENSENSORINFO 1:" + hundred + "x\r\nGENSENSORINFO 2:1,2");
  EXPECT_EQ(p.Item(0), hundred);
  EXPECT_EQ(p.Item(1), "old");
  EXPECT_EQ(p.Item(2), "old");
}

TEST(ListItemParser, ReadsNoItemsBeyondTheListsRowCount) {
  Parsed p(2);
  p.Parse(ReadFixture("zr350v4_show.reply"));
  EXPECT_EQ(p.lists.at("CustomList").items.size(), 2u);
}

TEST(ShowReplyFixture, FullReplyGivesEveryRowAValue) {
  const std::string reply = ReadFixture("zr350v4_show.reply");
  ASSERT_GT(reply.size(), 3000u);
  Parsed p(4);
  p.params[""];
  p.Parse(reply);
  EXPECT_TRUE(p.result.markerFound);
  EXPECT_TRUE(p.fiveDio);
  for (const auto& [name, row] : p.params) EXPECT_NE(row.value, "") << "row \"" << name << '"';
  EXPECT_EQ(p.result.labelsFound, p.params.size());

  EXPECT_EQ(p.Value("Access Point Name"), "cmnet");
  EXPECT_EQ(p.Value("Protocolmodel"), "DCTCP");
  EXPECT_EQ(p.Value("Debugging  port"), "1");
  EXPECT_EQ(p.Value("Debug Level"), "1");
  EXPECT_EQ(p.Value("Server2's Ip"), "10.0.0.1");
  EXPECT_EQ(p.Value("Sms Center"), "+8613800571500");
  EXPECT_EQ(p.Value("I/O1 Mode"), "4");
  EXPECT_EQ(p.Value("DIO3 workmode"), "2");
  EXPECT_EQ(p.Value("DIO4 workmode"), "6");
  EXPECT_EQ(p.Value("DIO5 ADCType"), "3");
  EXPECT_EQ(p.Value("Mobus address"), "1");
  EXPECT_EQ(p.Value("LORA ver"), "V1.2");
  EXPECT_EQ(p.Value("CollectDelay"), "1000");
  EXPECT_EQ(p.Item(0), "1,1,3,0,2,0,2,1,temp,0");
  EXPECT_EQ(p.Item(2), "0,1,3,0,1,0,0,1,,0");
}

}  // namespace
