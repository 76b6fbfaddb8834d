// Wire-speed pacing on a simulated clock, and the simulator's command line.
#include <gtest/gtest.h>

#include "sim_options.h"
#include "wire_pacer.h"

namespace {

struct LineCase {
  const char* text;
  bool valid;
  int bits;
};

class LineCodes : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineCodes, CountStartDataParityAndStopBits) {
  LineCode code;
  ASSERT_EQ(ParseLineCode(GetParam().text, code), GetParam().valid);
  if (GetParam().valid) {
    EXPECT_EQ(BitsPerByte(code), GetParam().bits);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, LineCodes,
                         ::testing::Values(LineCase{"8N1", true, 10}, LineCase{"8E1", true, 11},
                                           LineCase{"7O1", true, 10}, LineCase{"8N2", true, 11},
                                           LineCase{"7E2", true, 11}, LineCase{"8X1", false, 0},
                                           LineCase{"9N1", false, 0}, LineCase{"8N", false, 0}));

TEST(WirePacer, ByteTimeAt9600Baud) {
  EXPECT_EQ(ByteTimeNs(9600, LineCode{}), 1'041'666);
  EXPECT_EQ(ByteTimeNs(115200, LineCode{8, 'E', 1}), 95'486);
}

TEST(WirePacer, EachByteArrivesOneByteTimeAfterThePrevious) {
  WirePacer pacer;
  pacer.SetByteTime(1000);
  pacer.Push("abcdef", 5000);
  EXPECT_EQ(pacer.TakeDue(5999), "");
  EXPECT_EQ(pacer.NextWakeNs(1), 6000);
  EXPECT_EQ(pacer.TakeDue(6000), "a");
  EXPECT_EQ(pacer.TakeDue(8500), "bc");
  // A late wake-up delivers everything due at once; the schedule does not slip.
  EXPECT_EQ(pacer.TakeDue(20000), "def");
  EXPECT_TRUE(pacer.Empty());
  EXPECT_EQ(pacer.NextWakeNs(1), kNoWake);
}

TEST(WirePacer, BackToBackRepliesKeepTheLineBusyWithoutOverlap) {
  WirePacer pacer;
  pacer.SetByteTime(1000);
  pacer.Push("ab", 0);
  EXPECT_EQ(pacer.TakeDue(2000), "ab");
  // Pushed while the second byte is still on the wire (at 1500): starts when the line is free.
  pacer.Push("c", 1500);
  EXPECT_EQ(pacer.TakeDue(2999), "");
  EXPECT_EQ(pacer.TakeDue(3000), "c");
  // After a quiet line a new run starts from its own push.
  pacer.Push("d", 10000);
  EXPECT_EQ(pacer.TakeDue(10999), "");
  EXPECT_EQ(pacer.TakeDue(11000), "d");
}

TEST(WirePacer, BurstsGroupBytesOnFastLines) {
  WirePacer pacer;
  pacer.SetByteTime(100);
  pacer.Push(std::string(50, 'x'), 0);
  // With a 1000 ns minimum burst the first wake-up is when ten bytes are in.
  EXPECT_EQ(pacer.NextWakeNs(1000), 1000);
  EXPECT_EQ(pacer.TakeDue(1000).size(), 10u);
  // Never past the end of the queue.
  pacer.TakeDue(4500);
  EXPECT_EQ(pacer.NextWakeNs(100000), 5000);
}

TEST(WirePacer, ChunkFaultInsertsGapsBetweenChunks) {
  WirePacer pacer;
  pacer.SetByteTime(1000);
  pacer.SetChunking(2, 10000);
  pacer.Push("abcde", 0);
  EXPECT_EQ(pacer.TakeDue(2000), "ab");
  EXPECT_EQ(pacer.NextWakeNs(1), 13000);
  // A burst never reaches across a gap: at most the rest of the chunk.
  EXPECT_EQ(pacer.NextWakeNs(100000), 14000);
  EXPECT_EQ(pacer.TakeDue(12999), "");
  EXPECT_EQ(pacer.TakeDue(14000), "cd");
  EXPECT_EQ(pacer.TakeDue(25000), "e");
}

TEST(SimOptions, ParsesEveryOption) {
  SimOptions options;
  std::string message;
  ASSERT_TRUE(ParseSimOptions({"--model",
                               "zr750",
                               "--boot-ms",
                               "500",
                               "--idle-timeout",
                               "0.25",
                               "--latency-ms",
                               "0",
                               "--baud",
                               "9600",
                               "--line",
                               "7E1",
                               "--no-reboot-on-open",
                               "--no-stdin-control",
                               "--record",
                               "r.bin",
                               "--link",
                               "/tmp/l",
                               "--fault",
                               "chunk 1 5",
                               "--config",
                               "a.cfg",
                               "--prompt-period-ms",
                               "250",
                               "--strict"},
                              options, message))
      << message;
  EXPECT_EQ(options.model, "zr750");
  EXPECT_EQ(options.bootMs, 500);
  EXPECT_EQ(options.idleTimeoutMs, 250);
  EXPECT_EQ(options.latencyMs, 0);
  EXPECT_EQ(options.baud, 9600);
  EXPECT_TRUE(options.lineFixed);
  EXPECT_EQ(BitsPerByte(options.line), 10);
  EXPECT_FALSE(options.rebootOnOpen);
  EXPECT_FALSE(options.stdinControl);
  EXPECT_EQ(options.recordFile, "r.bin");
  EXPECT_EQ(options.linkPath, "/tmp/l");
  ASSERT_EQ(options.faults.size(), 1u);
  EXPECT_EQ(options.configFile, "a.cfg");
  EXPECT_EQ(options.promptPeriodMs, 250);
  EXPECT_TRUE(options.strict);
}

TEST(SimOptions, LenientWithASecondPromptPeriodUnlessAsked) {
  SimOptions options;
  std::string message;
  ASSERT_TRUE(ParseSimOptions({}, options, message));
  EXPECT_FALSE(options.strict);
  EXPECT_EQ(options.promptPeriodMs, 1000);
  ASSERT_TRUE(ParseSimOptions({"--strict", "--lenient"}, options, message));
  EXPECT_FALSE(options.strict);
}

TEST(SimOptions, RefusesUnknownOptionsAndBadValues) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--frobnicate"},
                                             {"--baud"},
                                             {"--baud", "fast"},
                                             {"--line", "8N3"},
                                             {"--idle-timeout", "-1"},
                                             {"--boot-ms", "12x"},
                                             {"--prompt-period-ms", "0"}}) {
    SimOptions options;
    std::string message;
    EXPECT_FALSE(ParseSimOptions(args, options, message)) << args[0];
    EXPECT_FALSE(message.empty());
  }
}

}  // namespace
