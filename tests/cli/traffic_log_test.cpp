// `-v` shows the traffic with each device: whole lines named by the port, passwords masked in
// what is sent and in what the device replies, unless `-vv`.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/traffic_log.h"
#include "cli_run.h"
#include "sim_process.h"
#include "temp_dir.h"

namespace {

TEST(TrafficLog, PasswordsAreMaskedInCommandsAndReplies) {
  struct Case {
    const char* line;
    const char* shown;
  };
  const Case cases[] = {
      {"AT+PASSWORD=card", "AT+PASSWORD=****"},
      {"AT+SMSCPW=1234", "AT+SMSCPW=****"},
      {"AT+DONPSWD=on", "AT+DONPSWD=****"},
      {"PPP Authentication Password:card\r", "PPP Authentication Password:****\r"},
      {"MQTT Password:secret", "MQTT Password:****"},
      {"DTU SMS configure password:1234", "DTU SMS configure password:****"},
      // Not a password, and a password with nothing to hide.
      {"AT+APN=cmnet", "AT+APN=cmnet"},
      {"PPP Authentication User Id:card", "PPP Authentication User Id:card"},
      {"PPP Authentication Password:", "PPP Authentication Password:"},
  };
  for (const Case& c : cases) EXPECT_EQ(MaskSecrets(c.line), c.shown) << c.line;
}

TEST(TrafficLog, AReplySplitAcrossChunksIsShownAndMaskedLineByLine) {
  std::ostringstream out;
  TrafficLog log(out, "/dev/ttyUSB0", false);
  log.Sent("\r\nAT+SHOW\r\n");
  log.Received("Access Point Name:cmnet\r\nPPP Authentication Pass");
  log.Received("word:card\r\nOK");
  log.Flush();
  EXPECT_EQ(out.str(),
            "/dev/ttyUSB0 > AT+SHOW\n"
            "/dev/ttyUSB0 < Access Point Name:cmnet\n"
            "/dev/ttyUSB0 < PPP Authentication Password:****\n"
            "/dev/ttyUSB0 < OK\n");
  std::ostringstream shown;
  TrafficLog all(shown, "P", true);
  all.Sent("AT+PASSWORD=card\r\n");
  EXPECT_EQ(shown.str(), "P > AT+PASSWORD=card\n");
}

TEST(TrafficLog, VerboseCommandsShowTheTrafficAndHidePasswordsUnlessAskedTwice) {
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
  TempDir dir;
  const CliRun quiet = RunCli(
      {"set", "--port", Q(sim.PtyPath()), "--no-backup", "PPP Authentication Password=s3cret"});
  ASSERT_EQ(quiet.status, 0) << quiet.err;
  EXPECT_EQ(quiet.err.find("AT+PASSWORD"), std::string::npos) << "no traffic without -v";

  const CliRun once = RunCli({"set", "-v", "--port", Q(sim.PtyPath()), "--no-backup",
                              "PPP Authentication Password=0ther"});
  ASSERT_EQ(once.status, 0) << once.err;
  EXPECT_NE(once.err.find(sim.PtyPath() + " > AT+PASSWORD=****"), std::string::npos) << once.err;
  EXPECT_NE(once.err.find("PPP Authentication Password:****"), std::string::npos) << once.err;
  EXPECT_EQ(once.err.find("0ther"), std::string::npos) << once.err;
  EXPECT_EQ(once.err.find("s3cret"), std::string::npos) << once.err;

  const CliRun read =
      RunCli({"read", "-vv", "--port", Q(sim.PtyPath()), "-o", Q(dir.Path() + "device.cfg")});
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_NE(read.err.find("PPP Authentication Password:0ther"), std::string::npos) << read.err;
  EXPECT_NE(read.err.find(sim.PtyPath() + " > at+quit"), std::string::npos) << read.err;
}

}  // namespace
