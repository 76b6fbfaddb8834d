#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/show_reply_parser.h"
#include "cli/subcommands.h"
#include "texts/byte_text.h"
#include "writing/config_file.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::string kFixture = std::string(DTU_TEST_DATA_DIR) + "/show/zr350v4.cfg";

struct CliRun {
  std::optional<int> status;
  std::string out;
  std::string err;
};

CliRun RunCli(std::vector<std::string> args) {
  args.insert(args.begin(), "dtu-config");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::ostringstream out;
  std::ostringstream err;
  CliRun run;
  run.status = RunSubcommand(static_cast<int>(args.size()), argv.data(), out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The catalogue as the program reads the fixture, to compare the printed rows with.
struct Expected {
  ParamTable params;
  ListParamTable lists;
  bool fiveDio = false;
  Expected() {
    std::string text;
    EXPECT_TRUE(ReadConfigFileFrom(kFixture, &text, nullptr));
    BuildParamTable(params, lists, 4);
    ParseShowReply(text.data(), text.size(), params, lists, fiveDio);
  }
};

class ShowCommandFiles : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  QTemporaryDir dir_;
};

TEST(Subcommands, OtherArgumentsLeaveItToTheWindow) {
  EXPECT_EQ(RunCli({}).status, std::nullopt);
  EXPECT_EQ(RunCli({"--demo"}).status, std::nullopt);
  EXPECT_EQ(RunCli({"shows", kFixture}).status, std::nullopt);
}

TEST(ShowCommand, PrintsEveryRowInTableOrderWithModelAndSensorItems) {
  const CliRun run = RunCli({"show", kFixture});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_GE(lines.size(), 3u + 214u + 1u + 4u);
  EXPECT_EQ(lines[0], "source: " + kFixture);
  EXPECT_EQ(lines[1], "five-DIO model: yes");
  EXPECT_EQ(lines[2], "parameters: 214");

  const Expected expected;
  size_t i = 3;
  for (const auto& [name, row] : expected.params) {
    SCOPED_TRACE(name);
    const std::string& line = lines[i++];
    EXPECT_THAT(line, StartsWith("  " + name + " "));
    EXPECT_THAT(line, HasSubstr(" " + (row.atCommand.empty() ? "-" : row.atCommand) + " "));
    EXPECT_FALSE(row.value.empty());
    EXPECT_THAT(line, testing::EndsWith("  " + row.value));
  }
  EXPECT_EQ(lines[i++], "sensor items: 4");
  EXPECT_EQ(lines[i], "  GENSENSORINFO 0:  1,1,3,0,2,0,2,1,temp,0");
  EXPECT_EQ(lines[i + 2], "  GENSENSORINFO 2:  0,1,3,0,1,0,0,1,,0");
}

TEST(ShowCommand, JsonCarriesTheSameRowsInTheSameOrder) {
  const CliRun run = RunCli({"show", "--json", kFixture});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  const QJsonObject root = doc.object();
  EXPECT_EQ(root["source"].toString().toStdString(), kFixture);
  EXPECT_TRUE(root["fiveDioModel"].toBool());

  const Expected expected;
  const QJsonArray parameters = root["parameters"].toArray();
  ASSERT_EQ(parameters.size(), 214);
  qsizetype i = 0;
  for (const auto& [name, row] : expected.params) {
    const QJsonObject p = parameters[i++].toObject();
    EXPECT_EQ(p["name"].toString().toStdString(), name);
    EXPECT_EQ(p["atCommand"].toString().toStdString(), row.atCommand);
    EXPECT_EQ(p["value"].toString().toStdString(), row.value);
  }
  const QJsonArray items = root["sensorItems"].toArray();
  ASSERT_EQ(items.size(), 4);
  EXPECT_EQ(items[1].toObject()["label"].toString(), "GENSENSORINFO 1:");
  EXPECT_EQ(items[1].toObject()["value"].toString(), "1,2,3,0,2,0,1,1,humidity,0");
  EXPECT_EQ(items[1].toObject()["list"].toString(), "CustomList");
}

TEST_F(ShowCommandFiles, RefusedOrUnreadableFileGivesOneErrorLineAndStatusOne) {
  const std::string foreign = Write("settings.cfg", "[Set]\r\nLanguage=0\r\n");
  const std::string empty = Write("empty.cfg", "");
  // A FIFO nobody writes to would keep the command waiting forever.
  const std::string fifo = dir_.filePath("fifo.cfg").toStdString();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path :
       {foreign, empty, fifo, std::string(dir_.filePath("none.cfg").toStdString())}) {
    SCOPED_TRACE(path);
    const CliRun run = RunCli({"show", path});
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_EQ(run.out, "");
    ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_THAT(run.err, HasSubstr(path));
    EXPECT_THAT(run.err, testing::EndsWith("\n"));
  }
}

TEST_F(ShowCommandFiles, ControlBytesOfValuesAreShownEscaped) {
  std::ifstream in(kFixture, std::ios::binary);
  std::string text = DecodeConfigFile(
      std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
  const size_t value = text.find("\r\nLORA ID:") + 10;
  ASSERT_LT(value, text.size());
  text.replace(value, text.find("\r\n", value) - value, "a\tb\\c\x01");
  const CliRun run = RunCli({"show", Write("tab.cfg", EncodeConfigFile(text))});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_THAT(run.out, HasSubstr("AT+LID"));
  EXPECT_THAT(run.out, HasSubstr("  a\\tb\\\\c\\x01\n"));
}

// A few control names are other rows' labels: the file's "Server1's Ip" is the control
// "Server2's Ip". diff names a row as the file does; JSON gives label, control name and command.
TEST_F(ShowCommandFiles, RowsGoByTheLabelTheFileShows) {
  std::ifstream in(kFixture, std::ios::binary);
  const std::string text = DecodeConfigFile(
      std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
  std::string other = text;
  const size_t value = other.find("\r\nServer1's Ip:") + 15;
  ASSERT_LT(value, other.size());
  other.replace(value, other.find("\r\n", value) - value, "10.9.9.9");
  const std::string a = Write("a.cfg", EncodeConfigFile(text));
  const std::string b = Write("b.cfg", EncodeConfigFile(other));

  const CliRun diff = RunCli({"diff", a, b});
  EXPECT_EQ(diff.status, kExitFailure) << diff.err;
  ASSERT_EQ(Lines(diff.out).size(), 1u) << diff.out;
  EXPECT_THAT(diff.out, StartsWith("Server1's Ip: \""));
  EXPECT_THAT(diff.out, testing::EndsWith("\" | \"10.9.9.9\"\n"));

  const QJsonArray rows =
      QJsonDocument::fromJson(QByteArray::fromStdString(RunCli({"diff", a, b, "--json"}).out))
          .object()["parameters"]
          .toArray();
  ASSERT_EQ(rows.size(), 1);
  EXPECT_EQ(rows[0].toObject()["label"].toString(), "Server1's Ip");
  EXPECT_EQ(rows[0].toObject()["name"].toString(), "Server2's Ip");
  EXPECT_EQ(rows[0].toObject()["atCommand"].toString(), "AT+IPAD1");

  const QJsonObject shown =
      QJsonDocument::fromJson(QByteArray::fromStdString(RunCli({"show", b, "--json"}).out))
          .object();
  bool found = false;
  for (const auto& row : shown["parameters"].toArray()) {
    if (row.toObject()["label"] != "Server1's Ip") continue;
    found = true;
    EXPECT_EQ(row.toObject()["name"].toString(), "Server2's Ip");
    EXPECT_EQ(row.toObject()["value"].toString(), "10.9.9.9");
  }
  EXPECT_TRUE(found);
}

// A device set up by a Chinese Windows tool keeps GB 18030 text. The text output shows the bytes
// that are no UTF-8 escaped, and UTF-8 as it is; JSON gives the readable decoding and the exact
// bytes.
TEST_F(ShowCommandFiles, BytesThatAreNotUtf8AreShownExactly) {
  const std::string gbApn = "\xd6\xd0\xb9\xfa\xd2\xc6\xb6\xaf";  // 中国移动
  const std::string gbName = "\xce\xc2\xb6\xc8";                 // 温度
  std::string text;
  ASSERT_TRUE(ReadConfigFileFrom(kFixture, &text, nullptr));
  std::string other = text;
  for (auto [from, to] : {std::pair<std::string, std::string>{"Access Point Name:cmnet",
                                                              "Access Point Name:" + gbApn},
                          {"0:1,1,3,0,2,0,2,1,temp,0", "0:1,1,3,0,2,0,2,1," + gbName + ",0"},
                          {"humidity", "湿度"}}) {
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  }
  const std::string path = Write("gb.cfg", EncodeConfigFile(text));

  const CliRun shown = RunCli({"show", path});
  ASSERT_EQ(shown.status, kExitOk) << shown.err;
  EXPECT_THAT(shown.out, HasSubstr("  \\xd6\\xd0\\xb9\\xfa\\xd2\\xc6\\xb6\\xaf\n"));
  EXPECT_THAT(shown.out, HasSubstr(",\\xce\\xc2\\xb6\\xc8,0\n"));
  EXPECT_THAT(shown.out, HasSubstr(",湿度,0\n"));

  const CliRun json = RunCli({"show", path, "--json"});
  ASSERT_EQ(json.status, kExitOk) << json.err;
  const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
  QJsonObject apn;
  for (const auto& row : root["parameters"].toArray()) {
    if (row.toObject()["atCommand"] == "AT+APN") apn = row.toObject();
  }
  EXPECT_EQ(apn["value"].toString(), QString::fromUtf8("中国移动"));
  EXPECT_EQ(apn["valueBytes"].toString(), "d6d0b9fad2c6b6af");
  const QJsonArray items = root["sensorItems"].toArray();
  ASSERT_GE(items.size(), 2);
  EXPECT_EQ(items[0].toObject()["value"].toString(), QString::fromUtf8("1,1,3,0,2,0,2,1,温度,0"));
  EXPECT_EQ(items[0].toObject()["valueBytes"].toString(),
            QString::fromStdString(HexBytes("1,1,3,0,2,0,2,1," + gbName + ",0")));
  EXPECT_FALSE(items[1].toObject().contains("valueBytes")) << "UTF-8 needs no bytes";

  // diff: the same two ways.
  const std::string otherPath = Write("other.cfg", EncodeConfigFile(other));
  const CliRun diff = RunCli({"diff", otherPath, path});
  EXPECT_EQ(diff.status, kExitFailure) << diff.err;
  EXPECT_THAT(
      diff.out,
      HasSubstr("Access Point Name: \"cmnet\" | \"\\xd6\\xd0\\xb9\\xfa\\xd2\\xc6\\xb6\\xaf\"\n"));
  const CliRun diffJson = RunCli({"diff", otherPath, path, "--json"});
  const QJsonObject differences =
      QJsonDocument::fromJson(QByteArray::fromStdString(diffJson.out)).object();
  QJsonObject apnDiff;
  for (const auto& row : differences["parameters"].toArray()) {
    if (row.toObject()["name"] == "Access Point Name") apnDiff = row.toObject();
  }
  EXPECT_EQ(apnDiff["a"].toString(), "cmnet");
  EXPECT_FALSE(apnDiff.contains("aBytes"));
  EXPECT_EQ(apnDiff["b"].toString(), QString::fromUtf8("中国移动"));
  EXPECT_EQ(apnDiff["bBytes"].toString(), "d6d0b9fad2c6b6af");
}

TEST_F(ShowCommandFiles, FileCutBeforeItsFinalOkLineIsRefused) {
  std::ifstream in(kFixture, std::ios::binary);
  const std::string whole{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  // Cut in the middle of a line, as a full disk leaves it.
  const std::string cut = Write("cut.cfg", whole.substr(0, whole.size() / 2 + 7));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"show", cut}, {"show", "--json", cut}}) {
    const CliRun run = RunCli(args);
    SCOPED_TRACE(args.size());
    EXPECT_EQ(run.status, kExitFailure);
    ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_THAT(run.err, HasSubstr(cut + ": the file is incomplete"));
    // Nothing of a cut file is shown as if a device held it.
    EXPECT_EQ(run.out, "");
  }
  // The whole file is shown without a word on stderr.
  EXPECT_EQ(RunCli({"show", Write("whole.cfg", whole)}).err, "");
}

TEST(ShowCommand, WrongCommandLinesGiveUsageStatus) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"show"},
                                               {"show", "--jsn", kFixture},
                                               {"show", kFixture, kFixture}}) {
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
  }
  const CliRun help = RunCli({"show", "--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_THAT(help.out, HasSubstr("--json"));
}

// The subcommand as a real process: exit status, stdout and stderr as a script sees them.
TEST(ShowCommandProcess, ExitStatusAndStreamsReachTheCaller) {
  QProcess ok;
  ok.start(DTU_CLI_PROBE, {"show", QString::fromStdString(kFixture)});
  ASSERT_TRUE(ok.waitForFinished(60000));
  EXPECT_EQ(ok.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(ok.exitCode(), kExitOk);
  EXPECT_THAT(ok.readAllStandardOutput().toStdString(), HasSubstr("parameters: 214\n"));

  QProcess refused;
  refused.start(DTU_CLI_PROBE, {"show", "/nonexistent/DTU.cfg"});
  ASSERT_TRUE(refused.waitForFinished(60000));
  EXPECT_EQ(refused.exitCode(), kExitFailure);
  EXPECT_EQ(refused.readAllStandardOutput(), "");
  EXPECT_EQ(Lines(refused.readAllStandardError().toStdString()).size(), 1u);
}

}  // namespace
