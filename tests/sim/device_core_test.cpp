// The device's side of the protocol, driven byte by byte with a fake clock: boot prompt and
// login, the answer to every command, validation, factory reset, time-out and faults.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device_core.h"
#include "device_models.h"

namespace {

constexpr CoreTimings kTimings{3000, 120000, 5};

class DeviceCoreTest : public ::testing::Test {
 protected:
  explicit DeviceCoreTest(const char* model = "zr350") : core_(*FindDeviceModel(model), kTimings) {
    core_.PowerOn(now_);
  }

  // Everything the device sends within `ms` from now, the clock moving with it.
  std::string RunFor(int64_t ms) {
    std::string out;
    const int64_t end = now_ + ms;
    while (true) {
      core_.Advance(now_);
      out += core_.TakeOutput(now_);
      const int64_t next = core_.NextDeadline();
      if (next > end) break;
      now_ = std::max(now_, next);
    }
    now_ = end;
    core_.Advance(now_);
    out += core_.TakeOutput(now_);
    return out;
  }

  std::string Send(std::string_view bytes, int64_t waitMs = 50) {
    core_.Receive(bytes, now_);
    return RunFor(waitMs);
  }

  void Login() {
    RunFor(10);
    Send("s");
    ASSERT_EQ(core_.mode(), DeviceMode::kSetting);
  }

  int64_t now_ = 1000;
  DeviceCore core_;
};

TEST_F(DeviceCoreTest, BootPromptRepeatsThenDataModeWithoutAnS) {
  const std::string boot = RunFor(2500);
  size_t prompts = 0;
  for (size_t at = boot.find("'s' key"); at != std::string::npos;
       at = boot.find("'s' key", at + 1)) {
    ++prompts;
  }
  EXPECT_EQ(prompts, 3u);
  EXPECT_EQ(core_.mode(), DeviceMode::kBooting);
  RunFor(600);
  EXPECT_EQ(core_.mode(), DeviceMode::kData);
  // In data mode commands are payload, not commands.
  EXPECT_EQ(Send("AT+SHOW\r\n"), "");
}

TEST_F(DeviceCoreTest, AnSDuringBootOpensTheSettingMenu) {
  RunFor(100);
  const std::string menu = Send("s");
  EXPECT_NE(menu.find("AT+LIST"), std::string::npos);
  EXPECT_EQ(menu.find("OK"), std::string::npos);
  EXPECT_EQ(core_.mode(), DeviceMode::kSetting);
}

TEST_F(DeviceCoreTest, SStreamRunningOnAfterTheMenuIsIgnored) {
  Login();
  const std::string out = Send("sssAt+CSQ\r\nsss");
  EXPECT_EQ(out, "At+CSQ\r\n\r\n+CSQ: 24,99\r\n\r\nOK\r\n");
  EXPECT_EQ(Send("At+VER\r\n").find("ERROR"), std::string::npos);
}

TEST_F(DeviceCoreTest, EscapeInDataModeEntersSettingMode) {
  RunFor(3100);
  ASSERT_EQ(core_.mode(), DeviceMode::kData);
  EXPECT_EQ(Send("payload++"), "");
  EXPECT_EQ(Send("+"), "\r\nenter setting!\r\n");
  EXPECT_EQ(core_.mode(), DeviceMode::kSetting);
  // A second "+++" while in setting mode is confirmed again and breaks no command.
  EXPECT_EQ(Send("+++"), "\r\nenter setting!\r\n");
  EXPECT_NE(Send("At+CPIN?\r\n").find("+CPIN: READY"), std::string::npos);
}

TEST(DeviceCoreBoot, PromptPeriodIsAnOption) {
  DeviceCore core(*FindDeviceModel("zr350"), CoreTimings{3000, 120000, 5, 250});
  core.PowerOn(0);
  std::string boot;
  for (int64_t now = 0; now <= 2900; now += 10) {
    core.Advance(now);
    boot += core.TakeOutput(now);
  }
  size_t prompts = 0;
  for (size_t at = boot.find("'s' key"); at != std::string::npos;
       at = boot.find("'s' key", at + 1)) {
    ++prompts;
  }
  EXPECT_EQ(prompts, 12u);  // at 0, 250, ..., 2750 ms
}

// What a device makes of bursts of bytes (each one read from the port), strict or lenient.
enum class StartIn { kSetting, kData };

struct BurstCase {
  const char* name;
  Strictness strictness;
  StartIn start;
  const char* fault;  // applied before the bursts; empty for none
  std::vector<std::string> bursts;
  std::string lastAnswer;  // what the device sends after the last burst
  DeviceMode after;
};

class Bursts : public ::testing::TestWithParam<BurstCase> {};

TEST_P(Bursts, AnswerAsTheDeviceWould) {
  const BurstCase& c = GetParam();
  DeviceCore core(*FindDeviceModel("zr350"), kTimings, c.strictness);
  int64_t now = 0;
  auto send = [&](std::string_view bytes) {
    core.Receive(bytes, now);
    std::string out;
    for (const int64_t end = now + 50; now <= end; ++now) {
      core.Advance(now);
      out += core.TakeOutput(now);
    }
    return out;
  };
  core.PowerOn(now);
  if (c.start == StartIn::kSetting) {
    send("s");
  } else {
    now = kTimings.bootMs + 10;
    core.Advance(now);
    core.TakeOutput(now);
  }
  ASSERT_EQ(core.mode(), c.start == StartIn::kSetting ? DeviceMode::kSetting : DeviceMode::kData);
  std::string message;
  if (*c.fault != '\0') {
    ASSERT_TRUE(ApplyFaultCommand(core.faults(), c.fault, message));
  }
  std::string out;
  for (const std::string& burst : c.bursts) out = send(burst);
  EXPECT_EQ(out, c.lastAnswer);
  EXPECT_EQ(core.mode(), c.after);
}

constexpr Strictness kStrict = Strictness::kStrict;
constexpr Strictness kLenient = Strictness::kLenient;
constexpr DeviceMode kSetting = DeviceMode::kSetting;
constexpr DeviceMode kData = DeviceMode::kData;
const std::string kCsqOk = "At+CSQ\r\n\r\n+CSQ: 24,99\r\n\r\nOK\r\n";
const std::string kEntered = "\r\nenter setting!\r\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, Bursts, ::testing::Values(
  // Stray bytes before a command belong to its line on a strict device.
  BurstCase{"StrayS", kStrict, StartIn::kSetting, "", {"sAT+SHOW\r\n"}, "sAT+SHOW\r\n\r\nERROR\r\n", kSetting},
  BurstCase{"StraySInItsOwnBurst", kStrict, StartIn::kSetting, "", {"s", "At+CSQ\r\n"}, "sAt+CSQ\r\n\r\nERROR\r\n", kSetting},
  BurstCase{"SStreamBeyondTheLogin", kStrict, StartIn::kSetting, "", {"ssss", "At+CSQ\r\n"}, "ssssAt+CSQ\r\n\r\nERROR\r\n", kSetting},
  BurstCase{"CleanCommand", kStrict, StartIn::kSetting, "", {"At+CSQ\r\n"}, kCsqOk, kSetting},
  BurstCase{"StrayLineThenCleanCommand", kStrict, StartIn::kSetting, "", {"s\r\n", "At+CSQ\r\n"}, kCsqOk, kSetting},
  // "+++" is an escape only alone in its burst.
  BurstCase{"EscapeAlone", kStrict, StartIn::kData, "", {"payload", "+++"}, kEntered, kSetting},
  BurstCase{"EscapeAfterAnS", kStrict, StartIn::kData, "", {"s+++"}, "", kData},
  BurstCase{"EscapeBeforeAnS", kStrict, StartIn::kData, "", {"+++s"}, "", kData},
  BurstCase{"EscapeGluedToQuit", kStrict, StartIn::kSetting, "", {"at+quit\r\n+++"}, "at+quit\r\n\r\nOK\r\n", kData},
  // In setting mode "+++" is not confirmed: it starts the next line.
  BurstCase{"EscapeInSettingMode", kStrict, StartIn::kSetting, "", {"+++"}, "", kSetting},
  BurstCase{"EscapeInSettingModeThenCommand", kStrict, StartIn::kSetting, "", {"+++", "At+CSQ\r\n"}, "+++At+CSQ\r\n\r\nERROR\r\n", kSetting},
  // The escape fault.
  BurstCase{"EscapeRefused", kStrict, StartIn::kData, "error +++", {"+++"}, "\r\nERROR\r\n", kData},
  BurstCase{"EscapeIgnored", kStrict, StartIn::kData, "silent +++", {"+++"}, "", kData},
  BurstCase{"EscapeRefusedLenient", kLenient, StartIn::kData, "error +++", {"s+++"}, "\r\nERROR\r\n", kData},
  // The lenient device forgives all of it.
  BurstCase{"LenientStrayS", kLenient, StartIn::kSetting, "", {"sss", "At+CSQ\r\n"}, kCsqOk, kSetting},
  BurstCase{"LenientGluedEscape", kLenient, StartIn::kData, "", {"s+++"}, kEntered, kSetting},
  BurstCase{"LenientEscapeInSettingMode", kLenient, StartIn::kSetting, "", {"+++"}, kEntered, kSetting}),
  [](const ::testing::TestParamInfo<BurstCase>& param) { return std::string(param.param.name); });
// clang-format on

TEST_F(DeviceCoreTest, EchoLeavesAtOnceAndTheAnswerAfterTheLatency) {
  Login();
  core_.Receive("At+CSQ\r\n", now_);
  EXPECT_EQ(core_.TakeOutput(now_), "At+CSQ\r\n");
  EXPECT_EQ(core_.NextDeadline(), now_ + kTimings.latencyMs);
  EXPECT_EQ(core_.TakeOutput(now_ + kTimings.latencyMs - 1), "");
  EXPECT_EQ(core_.TakeOutput(now_ + kTimings.latencyMs), "\r\n+CSQ: 24,99\r\n\r\nOK\r\n");
}

struct CommandCase {
  const char* line;
  const char* expected;  // a text the answer must hold
  bool ok;               // the answer ends with OK (else ERROR)
};

class CommandAnswers : public DeviceCoreTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CommandAnswers, EchoThenAnswer) {
  Login();
  const CommandCase& c = GetParam();
  const std::string out = Send(std::string(c.line) + "\r\n");
  ASSERT_EQ(out.rfind(std::string(c.line) + "\r\n", 0), 0u) << out;
  const std::string answer = out.substr(std::string(c.line).size() + 2);
  EXPECT_NE(answer.find(c.expected), std::string::npos) << answer;
  const std::string end = c.ok ? "\r\nOK\r\n" : "\r\nERROR\r\n";
  ASSERT_GE(answer.size(), end.size());
  EXPECT_EQ(answer.substr(answer.size() - end.size()), end);
  // The program completes on the first "OK" or "ERROR\r\n": there must be no earlier one.
  EXPECT_EQ(answer.find(c.ok ? "OK" : "ERROR\r\n"), answer.size() - end.size() + 2);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, CommandAnswers, ::testing::Values(
  CommandCase{"At+VER", "+VER:Zr350V1.8.6", true},
  CommandCase{"At+CPIN?", "+CPIN: READY", true},
  CommandCase{"At+CSQ", "+CSQ: 24,99", true},
  CommandCase{"at+READFILELOG", "SIM card ready", true},
  CommandCase{"AT+FINDNETMODE", "+FINDNETMODE:LTE\r\n", true},
  CommandCase{"AT+LIST", "AT+SHOW", true},
  CommandCase{"AT+SHOW", "Access Point Name:CMNET\r\n", true},
  CommandCase{"AT+FACTORY", "", true},
  CommandCase{"AT+EXCCLK=\"2024/03/05,08:07:06\",5", "", true},
  CommandCase{"AT+EXCCLK=\"2024/13/05,08:07:06\",5", "", false},
  CommandCase{"AT+EXCCLK=2024/03/05,08:07:06", "", false},
  CommandCase{"AT+GENSENSORINFO=0,1,1,3,0,2,0,2,1,temp,0", "", true},
  CommandCase{"AT+GENSENSORINFO=16,1,1,3,0,2,0,2,1,temp,0", "", false},
  CommandCase{"AT+GENSENSORINFO=0,1,1,3", "", false},
  CommandCase{"AT+APN=internet", "", true},
  CommandCase{"AT+APN=" "0123456789012345678901234567890123456789012345678901234567890123456789", "", false},
  CommandCase{"AT+IPR=12345", "", false},
  CommandCase{"AT+SHOWALL", "", false},
  CommandCase{"AT+QUIT", "", false},
  CommandCase{"at+show", "", false},
  CommandCase{"hello", "", false}));
// clang-format on

TEST_F(DeviceCoreTest, ShowAfterALeadingEmptyLineIsAnsweredOnce) {
  Login();
  const std::string out = Send("\r\nAT+SHOW\r\n", 100);
  EXPECT_EQ(out.find("ERROR"), std::string::npos);
  EXPECT_EQ(out.rfind("AT+SHOW\r\n", 0), 0u);
  EXPECT_GT(out.size(), 3000u);
  EXPECT_EQ(out.find("OK"), out.size() - 4);
}

TEST_F(DeviceCoreTest, FindNetModeReplyFitsTheProgramsHundredBytes) {
  Login();
  EXPECT_LE(Send("AT+FINDNETMODE\r\n").size(), 100u);
  Send("AT+NETMODE=4\r\n");
  EXPECT_NE(Send("AT+FINDNETMODE\r\n").find("+FINDNETMODE:GSM\r\n"), std::string::npos);
}

TEST_F(DeviceCoreTest, AcceptedWriteShowsInTheNextShowAndARefusedOneDoesNot) {
  Login();
  EXPECT_NE(Send("AT+APN=apn.example\r\n").find("OK"), std::string::npos);
  EXPECT_NE(Send("AT+PORT=70000\r\n").find("ERROR"), std::string::npos);
  const std::string show = Send("AT+SHOW\r\n");
  EXPECT_NE(show.find("Access Point Name:apn.example\r\n"), std::string::npos);
  EXPECT_NE(show.find("\r\nServer's Port:8000\r\n"), std::string::npos);
}

TEST_F(DeviceCoreTest, ClockAndSensorItemWritesAreKept) {
  Login();
  Send("AT+EXCCLK=\"2024/03/05,08:07:06\",5\r\n");
  EXPECT_EQ(core_.clock().text, "2024/03/05,08:07:06");
  EXPECT_NE(Send("at+READFILELOG\r\n").find("[2024/03/05,08:07:06]"), std::string::npos);
  Send("AT+GENSENSORINFO=0,1,1,3,0,2,0,2,1,temp,0\r\n");
  EXPECT_NE(Send("AT+SHOW\r\n").find("\r\nGENSENSORINFO 0:1,1,3,0,2,0,2,1,temp,0\r\n"),
            std::string::npos);
}

// Devices set up by Chinese Windows tools keep GB 18030 text: the bytes are stored and reported
// as they came, while a control byte is still refused.
TEST_F(DeviceCoreTest, TextInAnyCharacterSetComesBackByteForByte) {
  const std::string apn = "\xd6\xd0\xb9\xfa\xd2\xc6\xb6\xaf";  // "China Mobile", GB 18030
  const std::string dataName = "\xce\xc2\xb6\xc8";             // "temperature"
  Login();
  EXPECT_NE(Send("AT+APN=" + apn + "\r\n").find("OK"), std::string::npos);
  Send("AT+GENSENSORINFO=0,1,1,3,0,2,0,2,1," + dataName + ",0\r\n");
  EXPECT_NE(Send("AT+APN=a\x01b\r\n").find("ERROR"), std::string::npos);
  const std::string show = Send("AT+SHOW\r\n");
  EXPECT_NE(show.find("\r\nAccess Point Name:" + apn + "\r\n"), std::string::npos);
  EXPECT_NE(show.find("\r\nGENSENSORINFO 0:1,1,3,0,2,0,2,1," + dataName + ",0\r\n"),
            std::string::npos);
}

TEST_F(DeviceCoreTest, FactoryResetRestoresDefaults) {
  Login();
  Send("AT+APN=changed\r\n");
  Send("AT+FACTORY\r\n");
  EXPECT_NE(Send("AT+SHOW\r\n").find("Access Point Name:CMNET\r\n"), std::string::npos);
}

TEST_F(DeviceCoreTest, QuitLeavesSettingMode) {
  Login();
  EXPECT_EQ(Send("at+quit\r\n"), "at+quit\r\n\r\nOK\r\n");
  EXPECT_EQ(core_.mode(), DeviceMode::kData);
  EXPECT_EQ(Send("At+CSQ\r\n"), "");
}

TEST_F(DeviceCoreTest, IdleSettingModeTimesOutCountingFromTheLastCommand) {
  Login();
  RunFor(kTimings.idleTimeoutMs - 1000);
  Send("At+CSQ\r\n");
  EXPECT_EQ(RunFor(kTimings.idleTimeoutMs - 1000).find("Seting"), std::string::npos);
  EXPECT_EQ(core_.mode(), DeviceMode::kSetting);
  EXPECT_EQ(RunFor(1000), "\r\nSeting Timeout and quit\r\n");
  EXPECT_EQ(core_.mode(), DeviceMode::kData);
}

TEST_F(DeviceCoreTest, RebootDropsUnsentOutputAndPromptsAgain) {
  Login();
  core_.Receive("AT+SHOW\r\n", now_);
  core_.PowerOn(now_);
  const std::string out = RunFor(10);
  EXPECT_EQ(out.find("Access Point Name:"), std::string::npos);
  EXPECT_NE(out.find("'s' key"), std::string::npos);
  EXPECT_EQ(core_.mode(), DeviceMode::kBooting);
}

TEST_F(DeviceCoreTest, OverlongLineIsAnsweredErrorOnce) {
  Login();
  const std::string out = Send("AT+APN=" + std::string(5000, 'x') + "\r\n");
  EXPECT_EQ(out, "\r\nERROR\r\n");
  EXPECT_NE(Send("At+CSQ\r\n").find("OK"), std::string::npos);
}

TEST_F(DeviceCoreTest, SilentFaultEchoesButNeverAnswers) {
  Login();
  std::string message;
  ASSERT_TRUE(ApplyFaultCommand(core_.faults(), "silent At+CSQ", message));
  EXPECT_EQ(Send("At+CSQ\r\n", 10000), "At+CSQ\r\n");
  EXPECT_NE(Send("At+VER\r\n").find("OK"), std::string::npos);
}

TEST_F(DeviceCoreTest, ErrorFaultRefusesWritesToThatParameter) {
  Login();
  std::string message;
  ASSERT_TRUE(ApplyFaultCommand(core_.faults(), "error AT+APN", message));
  EXPECT_EQ(Send("AT+APN=fine\r\n"), "AT+APN=fine\r\n\r\nERROR\r\n");
  EXPECT_NE(Send("AT+SHOW\r\n").find("Access Point Name:CMNET"), std::string::npos);
  ASSERT_TRUE(ApplyFaultCommand(core_.faults(), "clear AT+APN", message));
  EXPECT_NE(Send("AT+APN=fine\r\n").find("OK"), std::string::npos);
}

TEST_F(DeviceCoreTest, GarbageAndNulFaultsMixBytesIntoReplies) {
  Login();
  std::string message;
  ASSERT_TRUE(ApplyFaultCommand(core_.faults(), "nul on", message));
  const std::string withNul = Send("AT+SHOW\r\n");
  EXPECT_NE(withNul.find('\0'), std::string::npos);
  ASSERT_TRUE(ApplyFaultCommand(core_.faults(), "nul off", message));
  ASSERT_TRUE(ApplyFaultCommand(core_.faults(), "garbage on", message));
  const std::string withGarbage = Send("AT+SHOW\r\n");
  EXPECT_NE(withGarbage.find('\xFF'), std::string::npos);
  ASSERT_TRUE(ApplyFaultCommand(core_.faults(), "clear", message));
  EXPECT_EQ(Send("At+CSQ\r\n"), "At+CSQ\r\n\r\n+CSQ: 24,99\r\n\r\nOK\r\n");
}

struct FaultCase {
  const char* words;
  bool accepted;
};

class FaultCommands : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultCommands, AcceptOnlyKnownTriggers) {
  Faults faults;
  std::string message;
  EXPECT_EQ(ApplyFaultCommand(faults, GetParam().words, message), GetParam().accepted);
  EXPECT_EQ(message.empty(), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FaultCommands,
    ::testing::Values(FaultCase{"silent At+CSQ", true}, FaultCase{"error AT+APN=x", true},
                      FaultCase{"garbage on", true}, FaultCase{"garbage maybe", false},
                      FaultCase{"unplug-after-bytes 500", true},
                      FaultCase{"unplug-after-bytes -5", false}, FaultCase{"chunk 1 5", true},
                      FaultCase{"chunk 0 5", false}, FaultCase{"chunk off", true},
                      FaultCase{"explode", false}));

TEST(FaultTriggers, ChunkAndUnplugSettingsAreKept) {
  Faults faults;
  std::string message;
  ASSERT_TRUE(ApplyFaultCommand(faults, "chunk 3 7", message));
  ASSERT_TRUE(ApplyFaultCommand(faults, "unplug-after-bytes 500", message));
  EXPECT_EQ(faults.chunkBytes, 3);
  EXPECT_EQ(faults.chunkGapMs, 7);
  EXPECT_EQ(faults.unplugAfterBytes, 500);
  ASSERT_TRUE(ApplyFaultCommand(faults, "error AT+APN=x", message));
  EXPECT_EQ(faults.error.count("AT+APN"), 1u);
}

}  // namespace
