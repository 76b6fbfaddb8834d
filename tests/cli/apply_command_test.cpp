// "dtu-config apply", "diff" and "set": the real program, headless, against several real
// simulated devices on their own ptys at once.
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cli/diff_command.h"
#include "sim_process.h"
#include "temp_dir.h"
#include "writing/config_file.h"

namespace {

struct ProgramRun {
  int status = -1;  // -1: did not end within its limit
  std::string out;
  std::string err;
};

ProgramRun RunProgram(const QStringList& args, int limitMs = 120000) {
  QProcess program;
  program.start(QString(DTU_BIN_DIR "/dtu-config"), args);
  ProgramRun run;
  if (!program.waitForFinished(limitMs)) {
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

// The template's changes to the factory configuration: rows that every work-mode rule of the
// factory device keeps in the save.
struct Edit {
  const char* label;  // as the show reply prints it
  const char* name;   // the control name
  const char* value;
};
const Edit kEdits[] = {
    {"Access Point Name:", "Access Point Name", "internet.example"},
    {"PPP Authentication User Id:", "User Id", "fleet"},
    {"PPP Authentication Password:", "Password", "s3cret"},
    {"Center call number:", "Center call number", "*99#"},
    {"Server's Ip:", "Server's Ip", "10.1.2.3"},
    {"Server's Port:", "Server's Port", "9100"},
};

// `text` with the value of the line "\r\n" LABEL replaced.
std::string WithValue(std::string text, const std::string& label, const std::string& value) {
  const size_t at = text.find("\r\n" + label);
  if (at == std::string::npos) return text;
  const size_t start = at + 2 + label.size();
  return text.replace(start, text.find("\r\n", start) - start, value);
}

std::vector<QJsonObject> JsonLines(const std::string& out) {
  std::vector<QJsonObject> objects;
  size_t at = 0;
  while (at < out.size()) {
    size_t end = out.find('\n', at);
    if (end == std::string::npos) end = out.size();
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray::fromStdString(out.substr(at, end - at)));
    if (doc.isObject()) objects.push_back(doc.object());
    at = end + 1;
  }
  return objects;
}

std::set<std::string> Names(const std::vector<ConfigDifference>& differences) {
  std::set<std::string> names;
  for (const ConfigDifference& d : differences) names.insert(d.name);
  return names;
}

// What the device received after the login's "s" stream.
std::string Commands(const SimProcess& sim) {
  // The login is the "s" stream, with the "+++" probe in front of it when the booting device
  // was slow to talk.
  const std::string received = sim.Recording();
  const size_t first = received.find_first_not_of("s+");
  return first == std::string::npos ? std::string() : received.substr(first);
}

class ApplyCommand : public testing::Test {
 protected:
  // One factory device read into factory.cfg; template.cfg changes kEdits in it.
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    SimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
    const ProgramRun read =
        RunProgram({"read", "--port", Q(sim.PtyPath()), "-o", Q(FactoryPath())});
    ASSERT_EQ(read.status, 0) << read.err;
    ASSERT_TRUE(ReadConfigFileFrom(FactoryPath(), &factory_, &error)) << error;
    templateText_ = factory_;
    for (const Edit& edit : kEdits)
      templateText_ = WithValue(templateText_, edit.label, edit.value);
    ASSERT_TRUE(WriteConfigFileTo(TemplatePath(), templateText_, &error)) << error;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static std::string FactoryPath() { return dir_->Path() + "factory.cfg"; }
  static std::string TemplatePath() { return dir_->Path() + "template.cfg"; }
  static std::set<std::string> EditedNames() {
    std::set<std::string> names;
    for (const Edit& edit : kEdits) names.insert(edit.name);
    return names;
  }

  static TempDir* dir_;
  static std::string factory_;
  static std::string templateText_;
};

TempDir* ApplyCommand::dir_ = nullptr;
std::string ApplyCommand::factory_;
std::string ApplyCommand::templateText_;

}  // namespace

TEST_F(ApplyCommand, EightDevicesAtOnceSixTakeTheTemplateTheRefusingAndTheUnpluggedOneFail) {
  constexpr int kDevices = 8;
  std::vector<std::unique_ptr<SimProcess>> sims;
  for (int i = 0; i < kDevices; ++i) {
    std::vector<std::string> args = {"--boot-ms", "1500"};
    if (i == 6) args.insert(args.end(), {"--fault", "error AT+USERNAME"});
    // Slow answers keep the last device writing long enough to be unplugged in the middle.
    if (i == 7) args.insert(args.end(), {"--latency-ms", "400"});
    sims.push_back(std::make_unique<SimProcess>());
    std::string error;
    ASSERT_TRUE(sims.back()->Start(args, &error)) << error;
  }
  QStringList args{"apply", Q(TemplatePath()), "--json"};
  for (const auto& sim : sims) args << "--port" << Q(sim->PtyPath());
  QProcess program;
  program.start(QString(DTU_BIN_DIR "/dtu-config"), args);
  // The last device goes away once its first write arrived.
  SimProcess& unplugged = *sims[7];
  QElapsedTimer clock;
  clock.start();
  while (unplugged.Recording().find("=") == std::string::npos && clock.elapsed() < 60000 &&
         program.state() != QProcess::NotRunning)
    program.waitForFinished(20);
  ASSERT_TRUE(unplugged.SendControl("unplug"));
  const bool ended = program.state() == QProcess::NotRunning || program.waitForFinished(120000);
  const std::string out = program.readAllStandardOutput().toStdString();
  const std::string err = program.readAllStandardError().toStdString();
  ASSERT_TRUE(ended) << err;
  ASSERT_EQ(program.exitStatus(), QProcess::NormalExit) << err;
  EXPECT_EQ(program.exitCode(), 1) << err;

  const std::vector<QJsonObject> reports = JsonLines(out);
  ASSERT_EQ(reports.size(), static_cast<size_t>(kDevices)) << out << err;
  for (int i = 0; i < kDevices; ++i) {
    const QJsonObject& report = reports[static_cast<size_t>(i)];
    EXPECT_EQ(report["port"].toString().toStdString(), sims[static_cast<size_t>(i)]->PtyPath());
    EXPECT_EQ(report["ok"].toBool(), i < 6) << out;
    EXPECT_FALSE(report["deviceType"].toString().isEmpty());
  }
  EXPECT_NE(reports[6]["failure"].toString().toStdString().find("refused 1 of"), std::string::npos)
      << out;
  EXPECT_NE(reports[7]["failure"].toString().toStdString().find("went away"), std::string::npos)
      << out;

  // Each healthy device now holds exactly the template: read them all back at once.
  TempDir readBack;
  QStringList readArgs{"read", "-o", Q(readBack.Path())};
  for (int i = 0; i < 6; ++i) readArgs << "--port" << Q(sims[static_cast<size_t>(i)]->PtyPath());
  const ProgramRun read = RunProgram(readArgs);
  ASSERT_EQ(read.status, 0) << read.out << read.err;
  for (int i = 0; i < 6; ++i) {
    // Each file is named after its port: "/dev/pts/N" -> "pts_N.cfg".
    std::string name = sims[static_cast<size_t>(i)]->PtyPath().substr(5);
    for (char& c : name)
      if (c == '/') c = '_';
    std::string text, error;
    ASSERT_TRUE(ReadConfigFileFrom(readBack.Path() + name + ".cfg", &text, &error)) << error;
    EXPECT_EQ(Names(DiffConfigTexts(templateText_, text)), std::set<std::string>{}) << i;
  }
  // The refusing device took the writes before the refused one; its batch ended there, so the
  // refused value and every write behind it differ from the template.
  std::set<std::string> notTaken;
  bool afterRefusal = false;
  for (const auto& entry : reports[6]["writes"].toArray()) {
    const QJsonObject write = entry.toObject();
    const std::string verdict = write["verdict"].toString().toStdString();
    EXPECT_EQ(verdict, afterRefusal ? "not sent" : verdict) << out;
    afterRefusal = afterRefusal || verdict == "refused";
    if (verdict != "accepted") notTaken.insert(write["name"].toString().toStdString());
  }
  EXPECT_TRUE(notTaken.contains("User Id")) << out;
  const ProgramRun refusing =
      RunProgram({"diff", Q(TemplatePath()), Q("port:" + sims[6]->PtyPath()), "--json"});
  EXPECT_EQ(refusing.status, 1) << refusing.err;
  std::set<std::string> differing;
  for (const auto& entry : QJsonDocument::fromJson(QByteArray::fromStdString(refusing.out))
                               .object()["parameters"]
                               .toArray())
    differing.insert(entry.toObject()["name"].toString().toStdString());
  EXPECT_EQ(differing, notTaken) << refusing.out;
}

TEST_F(ApplyCommand, DryRunSendsOnlyTheLoginTheReadAndTheQuit) {
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
  const ProgramRun run =
      RunProgram({"apply", Q(TemplatePath()), "--dry-run", "--json", "--port", Q(sim.PtyPath())});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<QJsonObject> reports = JsonLines(run.out);
  ASSERT_EQ(reports.size(), 1u) << run.out;
  std::set<std::string> written;
  for (const auto& write : reports[0]["writes"].toArray()) {
    EXPECT_EQ(write.toObject()["verdict"].toString(), "would write");
    written.insert(write.toObject()["name"].toString().toStdString());
  }
  EXPECT_EQ(written, EditedNames());
  EXPECT_EQ(Commands(sim), "\r\nAT+SHOW\r\nat+quit\r\n");
}

TEST_F(ApplyCommand, DiffListsExactlyTheParametersThatDiffer) {
  const ProgramRun same = RunProgram({"diff", Q(TemplatePath()), Q(TemplatePath())});
  EXPECT_EQ(same.status, 0) << same.err;
  EXPECT_EQ(same.out, "");

  // Two devices configured differently, read on the spot.
  SimProcess factory, configured;
  std::string error;
  ASSERT_TRUE(factory.Start({"--boot-ms", "1500"}, &error)) << error;
  ASSERT_TRUE(configured.Start({"--boot-ms", "1500", "--config", TemplatePath()}, &error)) << error;
  const ProgramRun devices = RunProgram(
      {"diff", Q("port:" + factory.PtyPath()), Q("port:" + configured.PtyPath()), "--json"});
  EXPECT_EQ(devices.status, 1) << devices.err;
  const QJsonObject diff = QJsonDocument::fromJson(QByteArray::fromStdString(devices.out)).object();
  std::set<std::string> names;
  for (const auto& entry : diff["parameters"].toArray())
    names.insert(entry.toObject()["name"].toString().toStdString());
  EXPECT_EQ(names, EditedNames()) << devices.out;
  EXPECT_TRUE(diff["sensorItems"].toArray().isEmpty());

  // A sensor item counts like a parameter.
  TempDir dir;
  std::string renamed = WithValue(templateText_, "GENSENSORINFO 2:", "0,1,3,4,1,0,0,1,flow,0");
  std::string renamedPath = dir.Path() + "renamed.cfg";
  ASSERT_TRUE(WriteConfigFileTo(renamedPath, renamed, &error)) << error;
  const ProgramRun item = RunProgram({"diff", Q(TemplatePath()), Q(renamedPath)});
  EXPECT_EQ(item.status, 1) << item.err;
  EXPECT_EQ(item.out,
            "GENSENSORINFO 2: \"0,1,3,4,1,0,0,1,sensor3,0\" | \"0,1,3,4,1,0,0,1,flow,0\"\n");

  const ProgramRun usage = RunProgram({"diff", Q(TemplatePath())});
  EXPECT_EQ(usage.status, 2);
  const ProgramRun missing = RunProgram({"diff", Q(TemplatePath()), "/no/such.cfg"});
  EXPECT_EQ(missing.status, 2);
}

TEST_F(ApplyCommand, SetChecksEveryValueBeforeSendingAndReadsEachWriteBack) {
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
  struct Refused {
    const char* assignment;
    const char* why;
  };
  const Refused refused[] = {
      {"Server's Port=70000", "not a value"},
      {"AT+APN=a\rAT+PORT=1", "line break"},
      {"No such thing=1", "no parameter"},
      {"Device Type=X", "only reports"},
      {"justaname", "NAME=VALUE"},
  };
  for (const Refused& r : refused) {
    const ProgramRun run =
        RunProgram({"set", "--port", Q(sim.PtyPath()), "AT+APN=ok", r.assignment});
    EXPECT_EQ(run.status, 2) << r.assignment;
    EXPECT_NE(run.err.find(r.why), std::string::npos) << r.assignment << ": " << run.err;
  }
  EXPECT_EQ(sim.Recording(), "") << "nothing is sent when one value is refused";

  const ProgramRun run =
      RunProgram({"set", "--port", Q(sim.PtyPath()), "--json", "Server's Port=9200",
                  "at+APN=iot.example", "Server1's Ip=10.1.1.1"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<QJsonObject> reports = JsonLines(run.out);
  ASSERT_EQ(reports.size(), 1u);
  const QJsonArray writes = reports[0]["writes"].toArray();
  ASSERT_EQ(writes.size(), 3);
  EXPECT_EQ(writes[0].toObject()["command"].toString(), "AT+PORT=9200");
  EXPECT_EQ(writes[1].toObject()["command"].toString(), "AT+APN=iot.example");
  // The report names each row as the device does, beside its control name.
  EXPECT_EQ(writes[2].toObject()["command"].toString(), "AT+IPAD1=10.1.1.1");
  EXPECT_EQ(writes[2].toObject()["label"].toString(), "Server1's Ip");
  EXPECT_EQ(writes[2].toObject()["name"].toString(), "Server2's Ip");
  EXPECT_EQ(writes[1].toObject()["label"].toString(), "Access Point Name");
  for (const auto& write : writes) EXPECT_TRUE(write.toObject()["verified"].toBool());
  EXPECT_NE(
      Commands(sim).find(
          "AT+PORT=9200\r\nAT+APN=iot.example\r\nAT+IPAD1=10.1.1.1\r\n\r\nAT+SHOW\r\nat+quit"),
      std::string::npos)
      << Commands(sim);
}

TEST_F(ApplyCommand, CtrlCStopsSendingQuitsAndExitsAtOnce) {
  SimProcess sim;
  std::string error;
  // Each answer takes a second: the writes are still under way when Ctrl+C comes.
  ASSERT_TRUE(sim.Start({"--boot-ms", "1500", "--latency-ms", "1000"}, &error)) << error;
  QProcess program;
  program.start(QString(DTU_BIN_DIR "/dtu-config"),
                {"apply", Q(TemplatePath()), "--json", "--port", Q(sim.PtyPath())});
  QElapsedTimer clock;
  clock.start();
  while (sim.Recording().find("=") == std::string::npos && clock.elapsed() < 60000 &&
         program.state() != QProcess::NotRunning)
    program.waitForFinished(20);
  ASSERT_EQ(program.state(), QProcess::Running);
  clock.restart();
  kill(static_cast<pid_t>(program.processId()), SIGINT);
  ASSERT_TRUE(program.waitForFinished(30000));
  // Within two seconds on a quiet machine (the write under way and "at+quit" take the device's
  // second each); the margin is for a loaded one.
  EXPECT_LT(clock.elapsed(), 5000) << "ms from Ctrl+C to the exit";
  EXPECT_EQ(program.exitCode(), 130);
  const std::vector<QJsonObject> reports = JsonLines(program.readAllStandardOutput().toStdString());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0]["failure"].toString().toStdString().find("interrupted"), std::string::npos);
  const QJsonArray writes = reports[0]["writes"].toArray();
  ASSERT_FALSE(writes.isEmpty());
  EXPECT_EQ(writes.last().toObject()["verdict"].toString(), "not sent");
  EXPECT_EQ(reports[0]["quit"].toString(), "accepted");
  // Nothing reaches the device after the interruption but the way back to its data mode.
  const std::string sent = sim.Recording();
  EXPECT_TRUE(sent.ends_with("at+quit\r\n")) << sent;
  usleep(300000);
  EXPECT_EQ(sim.Recording(), sent);
}

TEST_F(ApplyCommand, UsageErrorsSendNothing) {
  const QStringList cases[] = {
      {"apply", Q(TemplatePath())},
      {"apply", Q(TemplatePath()), "--port", "/dev/null", "--port", "/dev/null"},
      {"apply", "--port", "/dev/null"},
      {"apply", Q(TemplatePath()), "--port", "/dev/null", "--baud", "fast"},
      {"set", "AT+APN=x"},
  };
  for (const QStringList& args : cases)
    EXPECT_EQ(RunProgram(args).status, 2) << args.join(' ').toStdString();
  // A file that is no configuration sends nothing either.
  TempDir dir;
  const ProgramRun run =
      RunProgram({"apply", Q(dir.Write("x.cfg", "hello")), "--port", "/dev/null"});
  EXPECT_EQ(run.status, 1);
}
