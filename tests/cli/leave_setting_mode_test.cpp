// Every headless command that logged a device in sends it back to its data mode ("at+quit") on
// every way out, unless --stay: the real dtu-config against the strict simulated device, whose
// recording of every byte it received is the proof.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>

#include <string>
#include <vector>

#include "cli_run.h"
#include "sim_process.h"
#include "temp_dir.h"
#include "writing/config_file.h"

namespace {

constexpr char kQuit[] = "at+quit\r\n";

enum class Command { kRead, kReadStay, kSet, kSetStay, kSetTwo, kDiff };

// What the test does once the device has received `trigger`.
enum class Action { kNone, kSigInt, kSigTerm, kSigHup, kReboot, kRemoveFolder };

struct WayOut {
  const char* name;
  Command command;
  std::vector<std::string> simArgs;
  const char* fault;  // a control line sent before the run, or ""
  Action action;
  const char* trigger;
  int status;
  bool quits;        // the recording ends with "at+quit"
  const char* says;  // in the report (stdout or stderr)
};

// clang-format off
const WayOut kWaysOut[] = {
  // name                               command            device                        fault before the run    action            trigger     status quits says
  {"read, success",                     Command::kRead,     {},                          "",                     Action::kNone,    "",         0,   true,  "read into"},
  {"read, --stay",                      Command::kReadStay, {},                          "",                     Action::kNone,    "",         0,   false, "read into"},
  {"read, AT+SHOW refused",             Command::kRead,     {},                          "fault error AT+SHOW",  Action::kNone,    "",         1,   true,  "refused AT+SHOW"},
  {"read, garbled reply",               Command::kRead,     {"--fault", "nul on"},       "",                     Action::kNone,    "",         1,   true,  "garbled"},
  // Waits out the read's 24 s.
  {"read, time-out",                    Command::kRead,     {},                          "fault silent AT+SHOW", Action::kNone,    "",         1,   true,  "time-out"},
  {"read, restart during the read",     Command::kRead,     {"--latency-ms", "300"},     "",                     Action::kReboot,  "AT+SHOW",  1,   true,  "restarted during the read"},
  {"read, the folder vanished",         Command::kRead,     {"--latency-ms", "300"},     "",                     Action::kRemoveFolder, "AT+SHOW", 1, true, "cannot write"},
  {"read, SIGINT",                      Command::kRead,     {"--latency-ms", "300"},     "fault chunk 64 40",    Action::kSigInt,  "AT+SHOW",  130, true,  "interrupted during the read"},
  {"read, SIGTERM",                     Command::kRead,     {"--latency-ms", "300"},     "fault chunk 64 40",    Action::kSigTerm, "AT+SHOW",  143, true,  "interrupted during the read"},
  {"read, SIGHUP",                      Command::kRead,     {"--latency-ms", "300"},     "fault chunk 64 40",    Action::kSigHup,  "AT+SHOW",  129, true,  "interrupted during the read"},
  {"set, success",                      Command::kSet,      {},                          "",                     Action::kNone,    "",         0,   true,  "ok, 1 write verified"},
  {"set, --stay",                       Command::kSetStay,  {},                          "",                     Action::kNone,    "",         0,   false, "ok"},
  {"set, time-out",                     Command::kSetTwo,   {},                          "fault silent AT+PORT", Action::kNone,    "",         1,   true,  "time-out"},
  {"set, write refused",                Command::kSetTwo,   {},                          "fault error AT+PORT",  Action::kNone,    "",         1,   true,  "refused 1 of 2 writes (AT+PORT); 1 write not sent"},
  {"set, SIGTERM during a write",       Command::kSetTwo,   {"--latency-ms", "800"},     "",                     Action::kSigTerm, "AT+PORT=", 143, true,  "interrupted during the write"},
  {"diff port:, equal",                 Command::kDiff,     {},                          "",                     Action::kNone,    "",         0,   true,  ""},
  {"diff port:, AT+SHOW refused",       Command::kDiff,     {},                          "fault error AT+SHOW",  Action::kNone,    "",         2,   true,  "refused AT+SHOW"},
  {"diff port:, SIGINT",                Command::kDiff,     {"--latency-ms", "300"},     "fault chunk 64 40",    Action::kSigInt,  "AT+SHOW",  130, true,  "interrupted"},
};
// clang-format on

// Cases print by their names.
void PrintTo(const WayOut& c, std::ostream* os) {
  *os << c.name;
}

class LeaveSettingMode : public testing::TestWithParam<WayOut> {
 protected:
  // The factory device's configuration, for "diff" to compare a device with.
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    SimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
    const CliRun read = RunCli({"read", "--port", Q(sim.PtyPath()), "-o", Q(FactoryPath())});
    ASSERT_EQ(read.status, 0) << read.err;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static std::string FactoryPath() { return dir_->Path() + "factory.cfg"; }

  static TempDir* dir_;
};

TempDir* LeaveSettingMode::dir_ = nullptr;

std::string CaseName(const testing::TestParamInfo<WayOut>& info) {
  std::string name;
  for (const char* p = info.param.name; *p; ++p)
    if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
  return name;
}

}  // namespace

TEST_P(LeaveSettingMode, EndsWithAtQuitUnlessItStays) {
  const WayOut& c = GetParam();
  SimProcess sim;
  std::string error;
  std::vector<std::string> simArgs{"--boot-ms", "1500"};
  simArgs.insert(simArgs.end(), c.simArgs.begin(), c.simArgs.end());
  ASSERT_TRUE(sim.Start(simArgs, &error)) << error;
  if (*c.fault) {
    ASSERT_TRUE(sim.SendControl(c.fault));
  }
  TempDir dir;
  const std::string folder = dir.Path() + "out/";
  ASSERT_TRUE(QDir().mkpath(Q(folder)));
  const std::string file = folder + "device.cfg";
  const QString port = Q(sim.PtyPath());
  QStringList args;
  switch (c.command) {
    case Command::kRead:
      args = {"read", "--port", port, "-o", Q(file)};
      break;
    case Command::kReadStay:
      args = {"read", "--port", port, "--stay", "-o", Q(file)};
      break;
    case Command::kSet:
      args = {"set", "--port", port, "Server's Port=9200"};
      break;
    case Command::kSetStay:
      args = {"set", "--port", port, "--stay", "Server's Port=9200"};
      break;
    case Command::kSetTwo:
      args = {"set", "--port", port, "Server's Port=9200", "AT+APN=iot.example"};
      break;
    case Command::kDiff:
      args = {"diff", "port:" + port, Q(FactoryPath())};
      break;
  }
  bool acted = false;
  const CliRun run = RunCli(args, [&](qint64 pid) {
    if (acted || c.action == Action::kNone) return;
    if (sim.Recording().find(c.trigger) == std::string::npos) return;
    acted = true;
    switch (c.action) {
      case Action::kSigInt:
        kill(static_cast<pid_t>(pid), SIGINT);
        break;
      case Action::kSigTerm:
        kill(static_cast<pid_t>(pid), SIGTERM);
        break;
      case Action::kSigHup:
        kill(static_cast<pid_t>(pid), SIGHUP);
        break;
      case Action::kReboot:
        sim.SendControl("reboot");
        break;
      case Action::kRemoveFolder:
        QDir(Q(folder)).removeRecursively();
        break;
      case Action::kNone:
        break;
    }
  });
  EXPECT_TRUE(c.action == Action::kNone || acted) << c.name;
  EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.out << run.err;
  EXPECT_NE((run.out + run.err).find(c.says), std::string::npos) << c.name << "\n"
                                                                 << run.out << run.err;
  const std::string received = sim.Recording();
  EXPECT_EQ(received.ends_with(kQuit), c.quits) << c.name << ": " << received.substr(0, 300);
  // One quit, and nothing after it.
  if (c.quits) {
    EXPECT_EQ(received.find(kQuit), received.size() - sizeof kQuit + 1) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(WaysOut, LeaveSettingMode, testing::ValuesIn(kWaysOut), CaseName);

// An output path that cannot take the file is refused before the port opens: the device
// receives nothing at all.
TEST(ReadOutputPath, AnUnusablePathIsRefusedBeforeThePortOpens) {
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
  TempDir dir;
  const std::string fifo = dir.Path() + "fifo.cfg";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string plain = dir.Write("plain.txt", "x");
  // Several ports into a folder whose file for the port is taken by a folder.
  std::string name = sim.PtyPath().substr(5);
  for (char& c : name)
    if (c == '/') c = '_';
  ASSERT_TRUE(QDir().mkpath(Q(dir.Path() + "many/" + name + ".cfg")));
  struct Case {
    const char* what;
    std::string output;
    bool twoPorts;
  };
  std::vector<Case> cases = {
      {"a missing folder", dir.Path() + "no/such/folder/device.cfg", false},
      {"a FIFO", fifo, false},
      {"a file as the folder", plain + "/device.cfg", false},
      {"a missing folder for several ports", dir.Path() + "none/", true},
      {"a port's file that is a folder", dir.Path() + "many/", true},
  };
  // Permissions do not hold root back.
  if (geteuid() != 0) {
    const std::string locked = dir.Path() + "locked/";
    ASSERT_TRUE(QDir().mkpath(Q(locked)));
    ASSERT_EQ(chmod(locked.c_str(), 0500), 0);
    cases.push_back({"an unwritable folder", locked + "device.cfg", false});
  }
  for (const Case& c : cases) {
    QStringList args{"read", "--port", Q(sim.PtyPath()), "-o", Q(c.output)};
    if (c.twoPorts)
      args << "--port"
           << "/dev/null";
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 2) << c.what << ": " << run.out << run.err;
    EXPECT_NE(run.err.find("nothing was read"), std::string::npos) << c.what << ": " << run.err;
  }
  // An opened port would have sent the login ("s" or "+++") at least.
  EXPECT_EQ(sim.Recording(), "") << "no port was opened";
}
