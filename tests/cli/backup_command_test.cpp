// The backups of "dtu-config apply" and "set": the real program against the real simulated
// device. The configuration read before the first write is kept, applying it restores the device
// byte for byte, and a backup that cannot be written sends no write (only the read and at+quit).
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sim_process.h"
#include "temp_dir.h"
#include "writing/backup_store.h"
#include "writing/config_file.h"

namespace {

struct ProgramRun {
  int status = -1;  // -1: did not end within its limit
  std::string out;
  std::string err;
};

// The program with XDG_STATE_HOME set to `stateHome`: its default backups land there.
ProgramRun RunProgram(const QStringList& args, const std::string& stateHome) {
  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_STATE_HOME", QString::fromStdString(stateHome));
  program.setProcessEnvironment(env);
  program.start(QString(DTU_BIN_DIR "/dtu-config"), args);
  ProgramRun run;
  if (!program.waitForFinished(120000)) {
    program.kill();
    program.waitForFinished();
    return run;
  }
  run.status = program.exitCode();
  run.out = program.readAllStandardOutput().toStdString();
  run.err = program.readAllStandardError().toStdString();
  return run;
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// A file's bytes from the echo of the read command on: a device that has just logged in may
// still be printing its setting menu when the read goes out, and that text, which is no part of
// its configuration, then comes in front of the reply.
std::string FromShowEcho(const std::string& bytes) {
  const size_t at = bytes.find("AT+SHOW\r\r\n");
  return at == std::string::npos ? bytes : bytes.substr(at);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QJsonObject JsonReport(const std::string& out) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(out.substr(0, out.find('\n')))).object();
}

class BackupCommand : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(sim_.Start({"--boot-ms", "1500"}, &error)) << error;
  }
  std::string StateHome() const { return dir_.Path() + "state"; }
  std::string DefaultDir() const { return StateHome() + "/dtu-config/backups"; }
  std::vector<std::string> Backups(const std::string& dir) const {
    return ListBackups(dir, BackupPortName(sim_.PtyPath(), "/dev/serial/by-id"));
  }
  // The device's configuration read into a file, and a copy of it with another APN.
  void ReadDevice(std::string* factoryPath, std::string* changedPath) {
    *factoryPath = dir_.Path() + "factory.cfg";
    const ProgramRun read =
        RunProgram({"read", "--port", Q(sim_.PtyPath()), "-o", Q(*factoryPath)}, StateHome());
    ASSERT_EQ(read.status, 0) << read.err;
    std::string text;
    std::string error;
    ASSERT_TRUE(ReadConfigFileFrom(*factoryPath, &text, &error)) << error;
    const std::string label = "\r\nAccess Point Name:";
    const size_t at = text.find(label);
    ASSERT_NE(at, std::string::npos);
    const size_t value = at + label.size();
    text.replace(value, text.find("\r\n", value) - value, "internet.example");
    *changedPath = dir_.Path() + "changed.cfg";
    ASSERT_TRUE(WriteConfigFileTo(*changedPath, text, &error)) << error;
  }

  TempDir dir_;
  SimProcess sim_;
};

}  // namespace

TEST_F(BackupCommand, ApplyKeepsTheDevicesConfigurationAndApplyingItRestoresTheDevice) {
  std::string factory;
  std::string changed;
  ASSERT_NO_FATAL_FAILURE(ReadDevice(&factory, &changed));
  EXPECT_TRUE(Backups(DefaultDir()).empty()) << "a read writes nothing, so keeps nothing";

  const ProgramRun apply =
      RunProgram({"apply", Q(changed), "--json", "--port", Q(sim_.PtyPath())}, StateHome());
  ASSERT_EQ(apply.status, 0) << apply.out << apply.err;
  ASSERT_EQ(Backups(DefaultDir()).size(), 1u);
  const std::string backup = DefaultDir() + "/" + Backups(DefaultDir())[0];
  EXPECT_EQ(JsonReport(apply.out)["backup"].toString().toStdString(), backup) << apply.out;
  EXPECT_EQ(FromShowEcho(ReadBytes(backup)), FromShowEcho(ReadBytes(factory)))
      << "the configuration before the write";

  // Restoring is applying the backup; the text report names the backup of that run too.
  const ProgramRun restore =
      RunProgram({"apply", Q(backup), "--port", Q(sim_.PtyPath())}, StateHome());
  ASSERT_EQ(restore.status, 0) << restore.out << restore.err;
  ASSERT_EQ(Backups(DefaultDir()).size(), 2u);
  EXPECT_NE(restore.out.find("  backup: " + DefaultDir() + "/" + Backups(DefaultDir())[1]),
            std::string::npos)
      << restore.out;
  const std::string after = dir_.Path() + "after.cfg";
  const ProgramRun read =
      RunProgram({"read", "--port", Q(sim_.PtyPath()), "-o", Q(after)}, StateHome());
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(FromShowEcho(ReadBytes(after)), FromShowEcho(ReadBytes(backup)));
}

TEST_F(BackupCommand, ABackupThatCannotBeWrittenSendsNoWriteAndStillQuits) {
  std::string factory;
  std::string changed;
  ASSERT_NO_FATAL_FAILURE(ReadDevice(&factory, &changed));
  const std::string blocked = dir_.Write("blocked", "a file") + "/backups";
  const std::string before = sim_.Recording();
  struct Case {
    const char* what;
    QStringList args;
  } const cases[] = {
      {"apply", {"apply", Q(changed), "--json", "--backup-dir", Q(blocked)}},
      {"set", {"set", "--json", "--backup-dir", Q(blocked), "AT+APN=x"}},
  };
  size_t seen = before.size();
  for (const Case& c : cases) {
    const ProgramRun run =
        RunProgram(QStringList(c.args) << "--port" << Q(sim_.PtyPath()), StateHome());
    EXPECT_EQ(run.status, 1) << c.what << ": " << run.out << run.err;
    const QJsonObject report = JsonReport(run.out);
    EXPECT_FALSE(report["ok"].toBool()) << c.what;
    const std::string failure = report["failure"].toString().toStdString();
    EXPECT_NE(failure.find("could not be backed up"), std::string::npos) << failure;
    EXPECT_NE(failure.find("nothing was written"), std::string::npos) << failure;
    for (const auto& write : report["writes"].toArray())
      EXPECT_EQ(write.toObject()["verdict"].toString(), "not sent") << c.what;
    // Only the login, the read and the quit reached the device.
    const std::string received = sim_.Recording().substr(seen);
    seen += received.size();
    const size_t first = received.find_first_not_of("s+");
    EXPECT_EQ(first == std::string::npos ? std::string() : received.substr(first),
              "\r\nAT+SHOW\r\nat+quit\r\n")
        << c.what;
  }
  EXPECT_TRUE(Backups(DefaultDir()).empty());
}

TEST_F(BackupCommand, TheOptionsChooseTheFolderOrNoBackupAndADryRunKeepsNothing) {
  const std::string own = dir_.Path() + "own/backups";
  const ProgramRun set = RunProgram(
      {"set", "--port", Q(sim_.PtyPath()), "--backup-dir", Q(own), "AT+APN=a"}, StateHome());
  ASSERT_EQ(set.status, 0) << set.out << set.err;
  EXPECT_EQ(Backups(own).size(), 1u);
  const ProgramRun none =
      RunProgram({"set", "--port", Q(sim_.PtyPath()), "--no-backup", "AT+APN=b"}, StateHome());
  ASSERT_EQ(none.status, 0) << none.out << none.err;
  EXPECT_EQ(none.out.find("backup:"), std::string::npos) << none.out;
  EXPECT_TRUE(Backups(DefaultDir()).empty());

  std::string factory;
  std::string changed;
  ASSERT_NO_FATAL_FAILURE(ReadDevice(&factory, &changed));
  const ProgramRun dry =
      RunProgram({"apply", Q(changed), "--dry-run", "--port", Q(sim_.PtyPath())}, StateHome());
  ASSERT_EQ(dry.status, 0) << dry.out << dry.err;
  EXPECT_EQ(Backups(own).size(), 1u);
  EXPECT_TRUE(Backups(DefaultDir()).empty());

  const ProgramRun both = RunProgram(
      {"apply", Q(changed), "--port", Q(sim_.PtyPath()), "--no-backup", "--backup-dir", Q(own)},
      StateHome());
  EXPECT_EQ(both.status, 2) << both.err;
}
