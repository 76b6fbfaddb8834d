// The signal and SIM answers read for the user, as tables of raw device answers.
#include "session/query_answers.h"

#include <gtest/gtest.h>

#include "texts/language.h"

namespace {

TEST(SignalAnswer, RssiBecomesDbmAndAQuality) {
  struct Case {
    const char* answer;
    int rssi;
    int ber;
    int dbm;
    SignalQuality quality;
  } cases[] = {
      {"At+CSQ\r\n+CSQ: 24,99\r\n\r\nOK\r\n", 24, 99, -65, SignalQuality::kGood},
      {"+CSQ: 0,0\r\nOK\r\n", 0, 0, -113, SignalQuality::kNone},
      {"+CSQ: 1,7\r\n", 1, 7, -111, SignalQuality::kNone},
      {"+CSQ: 2,99\r\n", 2, 99, -109, SignalQuality::kWeak},
      {"+CSQ: 9,99\r\n", 9, 99, -95, SignalQuality::kWeak},
      {"+CSQ: 10,99\r\n", 10, 99, -93, SignalQuality::kFair},
      {"+CSQ: 14,3\r\n", 14, 3, -85, SignalQuality::kFair},
      {"+CSQ: 15,99\r\n", 15, 99, -83, SignalQuality::kGood},
      {"+CSQ: 31,99\r\n", 31, 99, -51, SignalQuality::kGood},
      {"+CSQ:99,99\r\n", 99, 99, 0, SignalQuality::kUnknown},
      // A reply cut short after its numbers still reads.
      {"+CSQ: 20,1", 20, 1, -73, SignalQuality::kGood},
  };
  for (const Case& c : cases) {
    const std::optional<SignalReading> reading = ReadSignalAnswer(c.answer);
    ASSERT_TRUE(reading) << c.answer;
    EXPECT_EQ(reading->rssi, c.rssi) << c.answer;
    EXPECT_EQ(reading->bitErrorRate, c.ber) << c.answer;
    EXPECT_EQ(reading->dbm, c.dbm) << c.answer;
    EXPECT_EQ(reading->quality, c.quality) << c.answer;
  }
}

TEST(SignalAnswer, GarbledOrOutOfRangeAnswersAreNotRead) {
  const char* answers[] = {
      "",
      "OK\r\n",
      "ERROR\r\n",
      "+CSQ: \r\n",
      "+CSQ: 24\r\n",
      "+CSQ: ,99\r\n",
      "+CSQ: 32,99\r\n",
      "+CSQ: -1,99\r\n",
      "+CSQ: 24,8\r\n",
      "+CSQ: 2x,99\r\n",
      "+CSQ: 24,99x\r\n",
      "+CSQ: 99999999999,0\r\n",
  };
  for (const char* answer : answers) EXPECT_FALSE(ReadSignalAnswer(answer)) << answer;
}

TEST(SimAnswer, StatusOrSimErrorBecomesAState) {
  struct Case {
    const char* answer;
    SimState state;
    const char* status;
  } cases[] = {
      {"At+CPIN?\r\n+CPIN: READY\r\n\r\nOK\r\n", SimState::kReady, "READY"},
      {"+CPIN: SIM PIN\r\nOK\r\n", SimState::kPinNeeded, "SIM PIN"},
      {"+CPIN: SIM PUK\r\n", SimState::kPukNeeded, "SIM PUK"},
      {"+CPIN: SIM PIN2\r\n", SimState::kPin2Needed, "SIM PIN2"},
      {"+CPIN: SIM PUK2\r\n", SimState::kPuk2Needed, "SIM PUK2"},
      {"+CPIN: PH-SIM PIN\r\n", SimState::kPhonePinNeeded, "PH-SIM PIN"},
      {"+CPIN: NOT INSERTED\r\n", SimState::kNotInserted, "NOT INSERTED"},
      {"+CPIN: not ready\r\n", SimState::kNotReady, "not ready"},
      {"+CME ERROR: 10\r\n", SimState::kNotInserted, "10"},
      {"+CME ERROR: 12\r\n", SimState::kPukNeeded, "12"},
      {"+CME ERROR: 13\r\n", SimState::kFailure, "13"},
      {"+CME ERROR: SIM not inserted\r\n", SimState::kNotInserted, "SIM not inserted"},
      {"+CME ERROR: 3\r\n", SimState::kOther, "3"},
      {"+CPIN: SOMETHING NEW\r\n", SimState::kOther, "SOMETHING NEW"},
  };
  for (const Case& c : cases) {
    const std::optional<SimReading> reading = ReadSimAnswer(c.answer);
    ASSERT_TRUE(reading) << c.answer;
    EXPECT_EQ(reading->state, c.state) << c.answer;
    EXPECT_EQ(reading->status, c.status) << c.answer;
  }
  for (const char* answer : {"", "OK\r\n", "ERROR\r\n", "+CPIN: \r\n", "+CPIN:"})
    EXPECT_FALSE(ReadSimAnswer(answer)) << answer;
}

TEST(QueryAnswerLines, SayTheMeaningInTheUsersLanguage) {
  SetLanguageFile(DTU_SKIN_ROOT "/ConifgENRes/Language.ini");
  EXPECT_EQ(SignalAnswerLine("+CSQ: 24,99\r\nOK\r\n"),
            "Signal 24: about -65 dBm, good; bit error rate unknown\r\n");
  EXPECT_EQ(SignalAnswerLine("+CSQ: 31,0\r\n"),
            "Signal 31: about -51 dBm or more, good; bit error rate class 0 (0 best, 7 worst)\r\n");
  EXPECT_EQ(SignalAnswerLine("+CSQ: 99,99\r\n"),
            "Signal 99: unknown (the modem has no measurement); bit error rate unknown\r\n");
  EXPECT_EQ(SimAnswerLine("+CPIN: READY\r\nOK\r\n"), "SIM card: ready\r\n");
  EXPECT_EQ(SimAnswerLine("+CPIN: SIM PUK\r\n"), "SIM card: blocked, its PUK is needed\r\n");
  EXPECT_EQ(SimAnswerLine("+CPIN: WHATEVER\r\n"), "SIM card: WHATEVER\r\n");
  EXPECT_EQ(SignalAnswerLine("ERROR\r\n"), "");
  EXPECT_EQ(SimAnswerLine("ERROR\r\n"), "");

  SetLanguageFile(DTU_SKIN_ROOT "/ConifgRes/Language.ini");
  EXPECT_EQ(SimAnswerLine("+CPIN: NOT INSERTED\r\n"), "SIM 卡：未插入\r\n");
  EXPECT_EQ(SignalAnswerLine("+CSQ: 24,99\r\n"), "信号 24：约 -65 dBm，良好；误码率未知\r\n");
}

}  // namespace
