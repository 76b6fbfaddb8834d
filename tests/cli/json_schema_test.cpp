// The --json output of every command against its schema in docs/schema/: the real program on real
// simulated devices and real files, checked by the validator scripts use
// (tools/check_json_schema.py with python3-jsonschema). A schema that let a broken output pass
// would catch no drift, so broken outputs must fail it.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <functional>
#include <string>
#include <vector>

#include "cli_run.h"
#include "sim_process.h"
#include "temp_dir.h"
#include "writing/config_file.h"

namespace {

// GB 18030 bytes, as a Chinese Windows tool leaves them: no UTF-8, so the JSON carries
// "...Bytes" keys for them.
const std::string kGbApn = "\xd6\xd0\xb9\xfa\xd2\xc6\xb6\xaf";
const char kGbApnHex[] = "d6d0b9fad2c6b6af";
const char kServerIp[] = "10.1.2.3";

struct Check {
  int status = -1;
  std::string err;
};

// Runs the validator on `output` (saved in `dir` first): 0 valid, 1 invalid, 2 unreadable.
Check Validate(const TempDir& dir, const std::string& schema, const std::string& output) {
  const std::string path = dir.Write("output.json", output);
  QProcess python;
  python.start(DTU_SCHEMA_PYTHON,
               {DTU_SOURCE_DIR "/tools/check_json_schema.py",
                Q(std::string(DTU_SOURCE_DIR "/docs/schema/") + schema + ".schema.json"), Q(path)});
  Check check;
  if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit) return check;
  check.status = python.exitCode();
  check.err = python.readAllStandardError().toStdString();
  return check;
}

// The one document (show, diff), or the first line's object (read, apply, set).
QJsonObject FirstObject(const std::string& output) {
  const QJsonDocument whole = QJsonDocument::fromJson(QByteArray::fromStdString(output));
  if (whole.isObject()) return whole.object();
  return QJsonDocument::fromJson(QByteArray::fromStdString(output.substr(0, output.find('\n'))))
      .object();
}

std::string Compact(const QJsonObject& object) {
  return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() + "\n";
}

// `text` with the value of the line "\r\n" LABEL replaced.
std::string WithValue(std::string text, const std::string& label, const std::string& value) {
  const size_t at = text.find("\r\n" + label);
  if (at == std::string::npos) return text;
  const size_t start = at + 2 + label.size();
  return text.replace(start, text.find("\r\n", start) - start, value);
}

// The write of the report that writes `command`'s stem ("AT+APN").
QJsonObject WriteOf(const QJsonObject& report, const std::string& stem) {
  for (const QJsonValue& write : report["writes"].toArray()) {
    if (write["command"].toString().startsWith(Q(stem + "="))) return write.toObject();
  }
  return {};
}

// One device taken through every device command once; the outputs are kept for the tests.
class JsonSchemas : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    SimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
    const QString port = Q(sim.PtyPath());
    const std::string factory = dir_->Path() + "factory.cfg";
    const CliRun read = RunCli({"read", "--port", port, "-o", Q(factory), "--json"});
    ASSERT_EQ(read.status, 0) << read.err;
    readToFile_ = read.out;
    std::string text;
    ASSERT_TRUE(ReadConfigFileFrom(factory, &text, &error)) << error;
    text = WithValue(text, "Access Point Name:", kGbApn);
    text = WithValue(text, "Server's Ip:", kServerIp);
    ASSERT_TRUE(WriteConfigFileTo(TemplatePath(), text, &error)) << error;

    const CliRun dryRun =
        RunCli({"apply", Q(TemplatePath()), "--port", port, "--dry-run", "--json"});
    ASSERT_EQ(dryRun.status, 0) << dryRun.err;
    dryRun_ = dryRun.out;
    // A table's values are named in the report ("fromCsv").
    const std::string table =
        dir_->Write("devices.csv", "port,Server's Port\n" + sim.PtyPath() + ",9300\n");
    const CliRun perDevice =
        RunCli({"apply", Q(TemplatePath()), "--per-device", Q(table), "--dry-run", "--json"});
    ASSERT_EQ(perDevice.status, 0) << perDevice.err;
    perDevice_ = perDevice.out;
    const QString backups = Q(dir_->Path() + "backups");
    const CliRun apply =
        RunCli({"apply", Q(TemplatePath()), "--port", port, "--json", "--backup-dir", backups});
    ASSERT_EQ(apply.status, 0) << apply.err;
    apply_ = apply.out;
    const CliRun readBack = RunCli({"read", "--port", port, "--json"});
    ASSERT_EQ(readBack.status, 0) << readBack.err;
    readBack_ = readBack.out;
    const CliRun set =
        RunCli({"set", "--port", port, "--json", "--backup-dir", backups, "Server's Port=9200"});
    ASSERT_EQ(set.status, 0) << set.err;
    set_ = set.out;
    const CliRun diff = RunCli({"diff", Q(factory), "port:" + port, "--json"});
    ASSERT_EQ(diff.status, 1) << diff.err;
    diffWithPort_ = diff.out;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static std::string TemplatePath() { return dir_->Path() + "template.cfg"; }

  static TempDir* dir_;
  static std::string readToFile_, dryRun_, perDevice_, apply_, readBack_, set_, diffWithPort_;
};

TempDir* JsonSchemas::dir_ = nullptr;
std::string JsonSchemas::readToFile_, JsonSchemas::dryRun_, JsonSchemas::perDevice_,
    JsonSchemas::apply_, JsonSchemas::readBack_, JsonSchemas::set_, JsonSchemas::diffWithPort_;

}  // namespace

TEST_F(JsonSchemas, EveryCommandsOutputValidatesAgainstItsSchema) {
  const CliRun show = RunCli({"show", Q(TemplatePath()), "--json"});
  ASSERT_EQ(show.status, 0) << show.err;
  const CliRun diffFiles =
      RunCli({"diff", Q(dir_->Path() + "factory.cfg"), Q(TemplatePath()), "--json"});
  ASSERT_EQ(diffFiles.status, 1) << diffFiles.err;
  const CliRun equal = RunCli({"diff", Q(TemplatePath()), Q(TemplatePath()), "--json"});
  ASSERT_EQ(equal.status, 0) << equal.err;
  // A device that is not there is reported in the same shape, with its failure.
  const CliRun missing = RunCli({"read", "--port", "/dev/no-such-port", "--json"});
  ASSERT_EQ(missing.status, 1) << missing.err;
  const CliRun missingApply =
      RunCli({"apply", Q(TemplatePath()), "--port", "/dev/no-such-port", "--json"});
  ASSERT_EQ(missingApply.status, 1) << missingApply.err;

  const struct {
    const char* what;
    const char* schema;
    std::string output;
  } cases[] = {
      {"read into a file", "read", readToFile_},
      {"read, JSON only", "read", readBack_},
      {"read of a missing port", "read", missing.out},
      {"apply --dry-run", "apply", dryRun_},
      {"apply --dry-run --per-device", "apply", perDevice_},
      {"apply", "apply", apply_},
      {"apply to a missing port", "apply", missingApply.out},
      {"set", "set", set_},
      {"show", "show", show.out},
      {"diff of two files", "diff", diffFiles.out},
      {"diff of equal files", "diff", equal.out},
      {"diff with a port", "diff", diffWithPort_},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_FALSE(c.output.empty());
    const Check check = Validate(*dir_, c.schema, c.output);
    EXPECT_EQ(check.status, 0) << check.err << c.output;
  }
}

TEST_F(JsonSchemas, TheReportsHoldWhatTheSchemasDescribe) {
  // The dry run names each write's value on the device beside the template's: what the Ansible
  // module's diff shows.
  const QJsonObject apn = WriteOf(FirstObject(dryRun_), "AT+APN");
  EXPECT_EQ(apn["verdict"].toString(), "would write");
  EXPECT_EQ(apn["valueBytes"].toString(), kGbApnHex);
  EXPECT_FALSE(apn.contains("beforeBytes"));
  const QJsonObject ip = WriteOf(FirstObject(dryRun_), "AT+IPAD");
  EXPECT_EQ(ip["value"].toString(), kServerIp);
  EXPECT_NE(ip["before"].toString(), kServerIp);

  const QJsonObject factory = FirstObject(readToFile_);
  EXPECT_EQ(factory["file"].toString().toStdString(), dir_->Path() + "factory.cfg");
  EXPECT_EQ(factory["configuration"]["Access Point Name"].toString(), apn["before"].toString());
  EXPECT_EQ(factory["configuration"]["Server's Ip"].toString(), ip["before"].toString());

  // After the apply the device reports the template, the GB 18030 bytes exactly.
  const QJsonObject after = FirstObject(readBack_);
  EXPECT_EQ(after["file"].toString(), "");
  EXPECT_EQ(after["configurationBytes"]["Access Point Name"].toString(), kGbApnHex);
  EXPECT_EQ(after["configuration"]["Server's Ip"].toString(), kServerIp);
  EXPECT_FALSE(after["configurationBytes"].toObject().contains("Server's Ip"));
  EXPECT_FALSE(after["sensorItems"].toArray().isEmpty());

  EXPECT_EQ(FirstObject(perDevice_)["fromCsv"].toArray(), QJsonArray{"Server's Port"});
  EXPECT_EQ(WriteOf(FirstObject(perDevice_), "AT+PORT")["value"].toString(), "9300");

  const QJsonObject set = WriteOf(FirstObject(set_), "AT+PORT");
  EXPECT_EQ(set["verdict"].toString(), "accepted");
  EXPECT_EQ(set["value"].toString(), "9200");
  EXPECT_TRUE(set["verified"].toBool());
}

TEST_F(JsonSchemas, ABrokenOutputFailsItsSchema) {
  const CliRun show = RunCli({"show", Q(TemplatePath()), "--json"});
  ASSERT_EQ(show.status, 0) << show.err;
  using Change = std::function<void(QJsonObject&)>;
  auto inFirstWrite = [](const std::function<void(QJsonObject&)>& change) {
    return [change](QJsonObject& report) {
      QJsonArray writes = report["writes"].toArray();
      QJsonObject write = writes.first().toObject();
      change(write);
      writes[0] = write;
      report["writes"] = writes;
    };
  };
  const struct {
    const char* what;
    const char* schema;
    std::string output;
    Change change;
  } cases[] = {
      {"read without its schema number", "read", readBack_,
       [](QJsonObject& o) { o.remove("schema"); }},
      {"read of another schema number", "read", readBack_, [](QJsonObject& o) { o["schema"] = 2; }},
      {"read with a number for a value", "read", readBack_,
       [](QJsonObject& o) {
         QJsonObject configuration = o["configuration"].toObject();
         configuration["Server's Port"] = 9200;
         o["configuration"] = configuration;
       }},
      {"read with bytes that are no hexadecimal", "read", readBack_,
       [](QJsonObject& o) {
         o["configurationBytes"] = QJsonObject{{"Access Point Name", "xyz"}};
       }},
      {"apply with ok as a text", "apply", apply_, [](QJsonObject& o) { o["ok"] = "true"; }},
      {"apply with a field nobody described", "apply", apply_,
       [](QJsonObject& o) { o["changed"] = true; }},
      {"apply's write without its value before", "apply", dryRun_,
       inFirstWrite([](QJsonObject& w) { w.remove("before"); })},
      {"apply's fromCsv as one text", "apply", perDevice_,
       [](QJsonObject& o) { o["fromCsv"] = "Server's Port"; }},
      {"apply's write with an unknown verdict", "apply", apply_,
       inFirstWrite([](QJsonObject& w) { w["verdict"] = "maybe"; })},
      {"set without its port", "set", set_, [](QJsonObject& o) { o.remove("port"); }},
      {"set's dry-run verdict", "set", set_,
       inFirstWrite([](QJsonObject& w) { w["verdict"] = "would write"; })},
      {"show without its parameters", "show", show.out,
       [](QJsonObject& o) { o.remove("parameters"); }},
      {"diff with equal as a text", "diff", diffWithPort_,
       [](QJsonObject& o) { o["equal"] = "no"; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QJsonObject broken = FirstObject(c.output);
    ASSERT_FALSE(broken.isEmpty());
    c.change(broken);
    const Check check = Validate(*dir_, c.schema, Compact(broken));
    EXPECT_EQ(check.status, 1) << check.err;
    EXPECT_NE(check.err.find("object 1"), std::string::npos) << check.err;
  }
  // Output that is no JSON at all is neither valid nor invalid: the validator says it cannot
  // read it.
  EXPECT_EQ(Validate(*dir_, "read", "/dev/ttyUSB0: read into x.cfg\n").status, 2);
  EXPECT_EQ(Validate(*dir_, "read", "").status, 2);
}
