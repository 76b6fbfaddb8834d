// Profiles on devices, through the real program and real simulated devices: "new" writes the
// factory profile, "set --file" edits it, "apply" puts it on a device (then nothing more to
// write), and "apply --per-device" gives each of eight devices its own values, or nothing to
// any of them when one value of the table is refused.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>
#include <string>
#include <vector>

#include "catalogue/config_text.h"
#include "catalogue/show_reply_parser.h"
#include "cli_run.h"
#include "domain/device_params.h"
#include "sim_process.h"
#include "temp_dir.h"
#include "writing/config_file.h"

namespace {

// What the device received after the login's "s" stream and "+++" probe.
std::string Commands(const SimProcess& sim) {
  const std::string received = sim.Recording();
  const size_t first = received.find_first_not_of("s+");
  return first == std::string::npos ? std::string() : received.substr(first);
}

size_t WritesIn(const std::string& commands) {
  size_t count = 0;
  for (size_t at = commands.find('='); at != std::string::npos; at = commands.find('=', at + 1))
    ++count;
  return count;
}

std::string ValueIn(const std::string& text, const char* command) {
  ConfigValues values;
  if (!ReadConfigValues(text, &values)) return "(not a configuration)";
  return values.values[ParamIndex(*FindParamByCommand(command))];
}

std::string FileText(const std::string& path) {
  std::string text, error;
  return ReadConfigFileFrom(path, &text, &error) ? text : "(" + error + ")";
}

}  // namespace

TEST(ProfileCommands, NewThenSetFileThenApplyGivesTheDeviceTheEditedValuesOnce) {
  TempDir dir;
  const std::string profile = dir.Path() + "fleet.cfg";
  CliRun run = RunCli({"new", "--model", "3dio", "-o", Q(profile)});
  ASSERT_EQ(run.status, 0) << run.err;
  // By label, by AT command and by control name.
  run = RunCli({"set", "--file", Q(profile), "Access Point Name=fleet.apn", "AT+USERNAME=fleet",
                "Password=s3cret", "Server's Port=9100"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string edited = FileText(profile);
  EXPECT_EQ(ValueIn(edited, "AT+APN"), "fleet.apn");
  EXPECT_EQ(ValueIn(edited, "AT+PASSWORD"), "s3cret");

  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
  run = RunCli({"apply", Q(profile), "--no-backup", "--port", Q(sim.PtyPath())});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  const std::string sent = Commands(sim);
  for (const char* write : {"AT+APN=fleet.apn\r\n", "AT+USERNAME=fleet\r\n",
                            "AT+PASSWORD=s3cret\r\n", "AT+PORT=9100\r\n"})
    EXPECT_NE(sent.find(write), std::string::npos) << write << " in\n" << sent;
  EXPECT_EQ(WritesIn(sent), 4u) << sent;

  run = RunCli({"read", "--port", Q(sim.PtyPath()), "-o", Q(dir.Path() + "back.cfg")});
  ASSERT_EQ(run.status, 0) << run.err;
  ConfigValues device, wanted;
  ASSERT_TRUE(ReadConfigValues(FileText(dir.Path() + "back.cfg"), &device));
  ASSERT_TRUE(ReadConfigValues(edited, &wanted));
  EXPECT_EQ(device.values, wanted.values);
  EXPECT_EQ(device.items, wanted.items);

  const size_t before = sim.Recording().size();
  run = RunCli({"apply", Q(profile), "--no-backup", "--port", Q(sim.PtyPath())});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("ok, nothing to write"), std::string::npos) << run.out;
  EXPECT_EQ(WritesIn(sim.Recording().substr(before)), 0u);
}

TEST(ProfileCommands, NewAndSetFileRefuseWithoutTouchingTheFile) {
  TempDir dir;
  const std::string three = dir.Path() + "three.cfg";
  ASSERT_EQ(RunCli({"new", "--model", "3dio", "-o", Q(three)}).status, 0);
  const std::string factory = dir.Read("three.cfg");
  const std::string cut = dir.Write("cut.cfg", factory.substr(0, factory.size() / 2));

  struct Case {
    QStringList args;
    int status;
    const char* says;
    std::string file;  // must be unchanged afterwards
  };
  const Case cases[] = {
      {{"new", "--model", "3dio", "-o", Q(three)}, 2, "exists; --force replaces it", three},
      {{"new", "--model", "7dio", "-o", Q(dir.Path() + "x.cfg")}, 2, "usage", three},
      {{"set", "--file", Q(three), "Colour=red"}, 2, "no parameter has this label", three},
      {{"set", "--file", Q(three), "Server's Port=70000"}, 2, "it takes a whole number", three},
      {{"set", "--file", Q(three), "Device Type=ZR999"}, 2, "only reports it", three},
      {{"set", "--file", Q(three), "DIO4 workmode=1"}, 2, "three-DIO model", three},
      {{"set", "--file", Q(three), "--port", "/dev/null", "AT+APN=x"}, 2, "usage", three},
      {{"set", "--file", Q(cut), "AT+APN=x"}, 1, "the file was not changed", cut},
  };
  for (const Case& c : cases) {
    const std::string before = FileText(c.file);
    const CliRun run = RunCli(c.args);
    EXPECT_EQ(run.status, c.status) << c.args.join(' ').toStdString() << "\n" << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(FileText(c.file), before) << c.args.join(' ').toStdString();
  }
  EXPECT_EQ(RunCli({"new", "--model", "5dio", "-o", Q(three), "--force"}).status, 0);
  EXPECT_TRUE(FiveDioModelOf(FileText(three)));
  EXPECT_EQ(RunCli({"set", "--file", Q(three), "DIO4 workmode=1"}).status, 0);
  EXPECT_EQ(ValueIn(FileText(three), "AT+DIOWORKMODE4"), "1");
}

TEST(ProfileCommands, ApplySetReplacesValuesForThisRunOnly) {
  TempDir dir;
  const std::string profile = dir.Path() + "p.cfg";
  ASSERT_EQ(RunCli({"new", "--model", "3dio", "-o", Q(profile)}).status, 0);
  const std::string before = dir.Read("p.cfg");
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
  CliRun run =
      RunCli({"apply", Q(profile), "--set", "Server's Port=70000", "--port", Q(sim.PtyPath())});
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_NE(run.err.find("it takes"), std::string::npos) << run.err;
  EXPECT_EQ(sim.Recording(), "");

  run = RunCli(
      {"apply", Q(profile), "--set", "AT+APN=unit.apn", "--no-backup", "--port", Q(sim.PtyPath())});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(WritesIn(Commands(sim)), 1u) << Commands(sim);
  EXPECT_NE(Commands(sim).find("AT+APN=unit.apn\r\n"), std::string::npos);
  EXPECT_EQ(dir.Read("p.cfg"), before);
}

class PerDevice : public testing::Test {
 protected:
  static constexpr int kDevices = 8;
  void SetUp() override {
    ASSERT_EQ(RunCli({"new", "--model", "3dio", "-o", Q(Profile())}).status, 0);
    for (int i = 0; i < kDevices; ++i) {
      sims_.push_back(std::make_unique<SimProcess>());
      std::string error;
      ASSERT_TRUE(sims_.back()->Start({"--boot-ms", "1500"}, &error)) << error;
    }
  }
  std::string Profile() const { return dir_.Path() + "p.cfg"; }
  std::string Apn(int i) const { return "fleet,apn \"" + std::to_string(i) + "\""; }
  std::string User(int i) const { return "user-" + std::to_string(i); }
  std::string Port(int i) const { return std::to_string(9000 + i); }
  // The table: an APN with a comma and quotes, so that every device's fields are quoted.
  std::string Table(int badRow = -1) const {
    std::string table = "port,Access Point Name,User Id,\"Server's Port\"\r\n";
    for (int i = 0; i < kDevices; ++i) {
      table += sims_[static_cast<size_t>(i)]->PtyPath() + ",\"fleet,apn \"\"" + std::to_string(i) +
               "\"\"\"," + User(i) + "," + (i == badRow ? std::string("70000") : Port(i)) + "\r\n";
    }
    return table;
  }

  TempDir dir_;
  std::vector<std::unique_ptr<SimProcess>> sims_;
};

TEST_F(PerDevice, EachOfEightDevicesGetsItsOwnValues) {
  const std::string csv = dir_.Write("devices.csv", Table());
  const CliRun run =
      RunCli({"apply", Q(Profile()), "--per-device", Q(csv), "--json", "--no-backup"});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  std::vector<QJsonObject> reports;
  for (const QString& line : QString::fromStdString(run.out).split('\n', Qt::SkipEmptyParts))
    reports.push_back(QJsonDocument::fromJson(line.toUtf8()).object());
  ASSERT_EQ(reports.size(), static_cast<size_t>(kDevices)) << run.out;
  for (int i = 0; i < kDevices; ++i) {
    const SimProcess& sim = *sims_[static_cast<size_t>(i)];
    const std::string sent = Commands(sim);
    EXPECT_NE(sent.find("AT+APN=" + Apn(i) + "\r\n"), std::string::npos) << i << ":\n" << sent;
    EXPECT_NE(sent.find("AT+USERNAME=" + User(i) + "\r\n"), std::string::npos) << sent;
    EXPECT_NE(sent.find("AT+PORT=" + Port(i) + "\r\n"), std::string::npos) << sent;
    EXPECT_EQ(WritesIn(sent), 3u) << sent;
    const QJsonObject& report = reports[static_cast<size_t>(i)];
    EXPECT_EQ(report["port"].toString().toStdString(), sim.PtyPath());
    EXPECT_EQ(report["fromCsv"].toArray(),
              (QJsonArray{"Access Point Name", "PPP Authentication User Id", "Server's Port"}));
  }
}

TEST_F(PerDevice, OneRefusedValueSendsNothingToAnyDevice) {
  const std::string csv = dir_.Write("devices.csv", Table(5));
  const CliRun run = RunCli({"apply", Q(Profile()), "--per-device", Q(csv), "--no-backup"});
  EXPECT_EQ(run.status, 2) << run.err;
  // The header is line 1, device 5 line 7.
  EXPECT_NE(run.err.find("devices.csv:7: Server's Port \"70000\": refused"), std::string::npos)
      << run.err;
  for (const auto& sim : sims_) EXPECT_EQ(sim->Recording(), "");

  const CliRun both =
      RunCli({"apply", Q(Profile()), "--per-device", Q(csv), "--port", Q(sims_[0]->PtyPath())});
  EXPECT_EQ(both.status, 2) << both.err;
  EXPECT_EQ(sims_[0]->Recording(), "");
}
