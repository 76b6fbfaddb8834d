// Values that are not UTF-8 through the real program, headless, against the real simulated
// device: "apply" of a file holding GB 18030 text (as devices set up by Chinese Windows tools
// keep it) and "set" with such bytes on the command line. What the device received proves that
// the bytes went to the wire unchanged, and only where something differs.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "sim_process.h"
#include "temp_dir.h"
#include "writing/config_file.h"

namespace {

// "中国移动" and "温度" in GB 18030.
const std::string kGbApn = "\xd6\xd0\xb9\xfa\xd2\xc6\xb6\xaf";
const std::string kGbName = "\xce\xc2\xb6\xc8";

struct ProgramRun {
  int status = -1;  // -1: did not end within its limit
  std::string out;
  std::string err;
};

// Runs dtu-config with `args` as bytes (a QProcess would re-encode them).
ProgramRun RunProgram(const TempDir& dir, std::vector<std::string> args, int limitMs = 120000) {
  args.insert(args.begin(), DTU_BIN_DIR "/dtu-config");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string outPath = dir.Path() + "stdout";
  const std::string errPath = dir.Path() + "stderr";
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  ProgramRun run;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (waitpid(pid, &status, WNOHANG) != pid) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return run;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = dir.Read("stdout");
  run.err = dir.Read("stderr");
  return run;
}

// What the device received after the login.
std::string Commands(const SimProcess& sim) {
  const std::string received = sim.Recording();
  const size_t first = received.find_first_not_of("s+");
  return first == std::string::npos ? std::string() : received.substr(first);
}

QJsonObject JsonReport(const std::string& out) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(out.substr(0, out.find('\n')))).object();
}

void Replace(std::string& text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
}

class ExactBytes : public testing::Test {
 protected:
  // A factory device's configuration with a GB 18030 APN and data name of item 0, as a file.
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    SimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
    const ProgramRun read =
        RunProgram(*dir_, {"read", "--port", sim.PtyPath(), "-o", dir_->Path() + "factory.cfg"});
    ASSERT_EQ(read.status, 0) << read.err;
    std::string text;
    ASSERT_TRUE(ReadConfigFileFrom(dir_->Path() + "factory.cfg", &text, &error)) << error;
    const size_t item = text.find("\r\nGENSENSORINFO 0:");
    ASSERT_NE(item, std::string::npos);
    const size_t end = text.find("\r\n", item + 2);
    factoryItem_ = text.substr(item + 18, end - item - 18);
    std::vector<std::string> fields;
    for (size_t at = 0; at <= factoryItem_.size();) {
      size_t comma = factoryItem_.find(',', at);
      if (comma == std::string::npos) comma = factoryItem_.size();
      fields.push_back(factoryItem_.substr(at, comma - at));
      at = comma + 1;
    }
    ASSERT_EQ(fields.size(), 10u) << factoryItem_;
    fields[0] = "1";
    fields[8] = kGbName;
    gbItem_.clear();
    for (size_t p = 0; p < fields.size(); ++p) gbItem_ += (p ? "," : "") + fields[p];
    Replace(text, "\r\nGENSENSORINFO 0:" + factoryItem_ + "\r\n",
            "\r\nGENSENSORINFO 0:" + gbItem_ + "\r\n");
    Replace(text, "\r\nAccess Point Name:CMNET\r\n", "\r\nAccess Point Name:" + kGbApn + "\r\n");
    ASSERT_TRUE(WriteConfigFileTo(GbPath(), text, &error)) << error;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static std::string GbPath() { return dir_->Path() + "gb.cfg"; }

  static TempDir* dir_;
  static std::string factoryItem_;
  static std::string gbItem_;
};

TempDir* ExactBytes::dir_ = nullptr;
std::string ExactBytes::factoryItem_;
std::string ExactBytes::gbItem_;

}  // namespace

TEST_F(ExactBytes, ApplySendsAFilesBytesUnchangedAndNothingToTheDeviceTheyCameFrom) {
  // A device that holds the file's bytes already: its own file changes nothing.
  SimProcess own;
  std::string error;
  ASSERT_TRUE(own.Start({"--boot-ms", "1500", "--config", GbPath()}, &error)) << error;
  const ProgramRun same = RunProgram(*dir_, {"apply", GbPath(), "--port", own.PtyPath()});
  ASSERT_EQ(same.status, 0) << same.out << same.err;
  EXPECT_EQ(Commands(own).find('='), std::string::npos) << Commands(own);

  // A factory device gets the bytes, and the read-back finds them.
  SimProcess factory;
  ASSERT_TRUE(factory.Start({"--boot-ms", "1500"}, &error)) << error;
  const ProgramRun run =
      RunProgram(*dir_, {"apply", GbPath(), "--json", "--port", factory.PtyPath()});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(Commands(factory).find("AT+APN=" + kGbApn + "\r\n"), std::string::npos)
      << Commands(factory);
  EXPECT_NE(Commands(factory).find("AT+GENSENSORINFO=0," + gbItem_ + "\r\n"), std::string::npos)
      << Commands(factory);
  EXPECT_EQ(Commands(factory).find("\xef\xbf\xbd"), std::string::npos) << "no U+FFFD is sent";
  const QJsonObject report = JsonReport(run.out);
  ASSERT_EQ(report["writes"].toArray().size(), 2) << run.out;
  for (const auto& write : report["writes"].toArray()) {
    const QJsonObject entry = write.toObject();
    EXPECT_TRUE(entry["verified"].toBool()) << run.out;
    EXPECT_TRUE(entry.contains("valueBytes")) << run.out;
  }
}

TEST_F(ExactBytes, SetSendsTheCommandLinesBytesAndVerifiesThem) {
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
  const ProgramRun run = RunProgram(
      *dir_, {"set", "--port", sim.PtyPath(), "--json", "AT+APN=" + kGbApn, "Server's Port=9200"});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(Commands(sim).find("AT+APN=" + kGbApn + "\r\nAT+PORT=9200\r\n"), std::string::npos)
      << Commands(sim);
  const QJsonObject report = JsonReport(run.out);
  const QJsonObject apn = report["writes"].toArray()[0].toObject();
  EXPECT_TRUE(apn["verified"].toBool()) << run.out;
  EXPECT_EQ(apn["value"].toString(), QString::fromUtf8("中国移动"));
  EXPECT_EQ(apn["valueBytes"].toString(), "d6d0b9fad2c6b6af");

  // The device reads back as those bytes.
  const ProgramRun read =
      RunProgram(*dir_, {"read", "--port", sim.PtyPath(), "-o", dir_->Path() + "after.cfg"});
  ASSERT_EQ(read.status, 0) << read.err;
  std::string after;
  ASSERT_TRUE(ReadConfigFileFrom(dir_->Path() + "after.cfg", &after, &error)) << error;
  EXPECT_NE(after.find("\r\nAccess Point Name:" + kGbApn + "\r\n"), std::string::npos);
}

TEST_F(ExactBytes, ABreakingByteIsRefusedByNameAndNothingIsSent) {
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
  for (const std::string& value : {kGbApn + "\r", kGbApn + "\nAT+FACTORY", std::string("a\rb")}) {
    const ProgramRun run = RunProgram(
        *dir_, {"set", "--port", sim.PtyPath(), "Server's Port=9200", "AT+APN=" + value});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("AT+APN="), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("line break"), std::string::npos) << run.err;
    if (value.rfind(kGbApn, 0) == 0) {
      EXPECT_NE(run.err.find("AT+APN=\\xd6\\xd0"), std::string::npos)
          << "the bytes that are not UTF-8 are named escaped: " << run.err;
    }
  }
  // Two values whose bytes decode to the same text: which bytes an argument stands for is unknown.
  const ProgramRun twins =
      RunProgram(*dir_, {"set", "--port", sim.PtyPath(), "AT+APN=\xff", "AT+USERNAME=\xfe"});
  EXPECT_EQ(twins.status, 0) << "different texts are told apart: " << twins.err;
  const ProgramRun same =
      RunProgram(*dir_, {"set", "--port", sim.PtyPath(), "AT+APN=\xff", "AT+APN=\xfe"});
  EXPECT_EQ(same.status, 2) << same.err;
  EXPECT_NE(same.err.find("nothing was sent"), std::string::npos) << same.err;
  EXPECT_EQ(Commands(sim).find("AT+APN=\xfe"), std::string::npos) << Commands(sim);
}

TEST_F(ExactBytes, ApplyRefusesAFilesValueWithALineBreakAndSendsNoPartOfIt) {
  std::string text;
  std::string error;
  ASSERT_TRUE(ReadConfigFileFrom(GbPath(), &text, &error)) << error;
  Replace(text, "\r\nAccess Point Name:" + kGbApn + "\r\n",
          "\r\nAccess Point Name:" + kGbApn + "\rAT+FACTORY\r\n");
  const std::string path = dir_->Path() + "break.cfg";
  ASSERT_TRUE(WriteConfigFileTo(path, text, &error)) << error;
  SimProcess sim;
  ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
  const ProgramRun run = RunProgram(*dir_, {"apply", path, "--port", sim.PtyPath()});
  EXPECT_NE(run.status, 0) << run.out << run.err;
  EXPECT_NE((run.out + run.err).find("Access Point Name"), std::string::npos) << run.out << run.err;
  EXPECT_EQ(Commands(sim).find("AT+APN"), std::string::npos) << Commands(sim);
  EXPECT_EQ(Commands(sim).find("AT+FACTORY"), std::string::npos) << Commands(sim);
}
