// A fault in the middle of an "apply" batch ends that device's batch: a time-out, an ERROR, a
// restart and an unplug. The strict simulated device's recording shows that no write reached
// it after the fault, and the report names the fault as it was and what became of each write.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <string>
#include <vector>

#include "cli_run.h"
#include "sim_process.h"
#include "temp_dir.h"
#include "writing/config_file.h"

namespace {

// `text` with the value of the line "\r\n" LABEL replaced.
std::string WithValue(std::string text, const std::string& label, const std::string& value) {
  const size_t at = text.find("\r\n" + label);
  if (at == std::string::npos) return text;
  const size_t start = at + 2 + label.size();
  return text.replace(start, text.find("\r\n", start) - start, value);
}

QJsonObject OnlyReport(const std::string& out) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(out.substr(0, out.find('\n')))).object();
}

enum class Fault { kSilent, kError, kReboot, kUnplug };

struct BatchFault {
  const char* name;
  Fault fault;
  const char* firstVerdict;  // of the write the fault hit
  const char* failure;       // in the report's failure line
  const char* quit;          // how the device was left
};

const BatchFault kFaults[] = {
    {"time-out", Fault::kSilent, "timed out", "time-out: the device at", "accepted"},
    {"ERROR", Fault::kError, "refused", "refused 1 of 4 writes (", "accepted"},
    {"restart", Fault::kReboot, "no verdict", "restarted during the write", "accepted"},
    {"unplug", Fault::kUnplug, "no verdict", "went away during the write", "gone"},
};

// Cases print by their names.
void PrintTo(const BatchFault& c, std::ostream* os) {
  *os << c.name;
}

class ApplyBatchFaults : public testing::TestWithParam<BatchFault> {
 protected:
  // A template that changes four parameters of the factory device, and the order in which
  // "apply" writes them (from a dry run).
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    SimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Start({"--boot-ms", "1500"}, &error)) << error;
    const std::string factory = dir_->Path() + "factory.cfg";
    const CliRun read = RunCli({"read", "--port", Q(sim.PtyPath()), "-o", Q(factory)});
    ASSERT_EQ(read.status, 0) << read.err;
    std::string text;
    ASSERT_TRUE(ReadConfigFileFrom(factory, &text, &error)) << error;
    text = WithValue(text, "Access Point Name:", "internet.example");
    text = WithValue(text, "PPP Authentication User Id:", "fleet");
    text = WithValue(text, "Server's Ip:", "10.1.2.3");
    text = WithValue(text, "Server's Port:", "9100");
    ASSERT_TRUE(WriteConfigFileTo(TemplatePath(), text, &error)) << error;
    const CliRun dry =
        RunCli({"apply", Q(TemplatePath()), "--dry-run", "--json", "--port", Q(sim.PtyPath())});
    ASSERT_EQ(dry.status, 0) << dry.err;
    for (const auto& write : OnlyReport(dry.out)["writes"].toArray()) {
      const std::string command = write.toObject()["command"].toString().toStdString();
      commands_.push_back(command.substr(0, command.find('=')));
    }
    ASSERT_EQ(commands_.size(), 4u) << dry.out;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static std::string TemplatePath() { return dir_->Path() + "template.cfg"; }

  static TempDir* dir_;
  static std::vector<std::string> commands_;
};

TempDir* ApplyBatchFaults::dir_ = nullptr;
std::vector<std::string> ApplyBatchFaults::commands_;

std::string CaseName(const testing::TestParamInfo<BatchFault>& info) {
  std::string name;
  for (const char* p = info.param.name; *p; ++p)
    if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
  return name;
}

}  // namespace

TEST_P(ApplyBatchFaults, NoWriteFollowsTheFaultAndTheReportNamesIt) {
  const BatchFault& c = GetParam();
  // The fault hits the second write, so that one write was accepted before it and two are
  // left behind it.
  const std::string hit = commands_[1];
  SimProcess sim;
  std::string error;
  std::vector<std::string> args{"--boot-ms", "1500"};
  // Slow answers keep the hit write under way while the device restarts or goes away.
  if (c.fault == Fault::kReboot || c.fault == Fault::kUnplug)
    args.insert(args.end(), {"--latency-ms", "400"});
  ASSERT_TRUE(sim.Start(args, &error)) << error;
  if (c.fault == Fault::kSilent) {
    ASSERT_TRUE(sim.SendControl("fault silent " + hit));
  }
  if (c.fault == Fault::kError) {
    ASSERT_TRUE(sim.SendControl("fault error " + hit));
  }
  bool acted = false;
  const CliRun run =
      RunCli({"apply", Q(TemplatePath()), "--json", "--port", Q(sim.LinkPath())}, [&](qint64) {
        if (acted || (c.fault != Fault::kReboot && c.fault != Fault::kUnplug)) return;
        if (sim.Recording().find(hit + "=") == std::string::npos) return;
        acted = true;
        sim.SendControl(c.fault == Fault::kReboot ? "reboot" : "unplug");
      });
  ASSERT_EQ(run.status, 1) << run.out << run.err;

  // The recording: the first write, the hit one, and no write after it.
  const std::string received = sim.Recording();
  const size_t at = received.find(hit + "=");
  ASSERT_NE(at, std::string::npos) << received;
  EXPECT_NE(received.find(commands_[0] + "="), std::string::npos) << received;
  const std::string after = received.substr(received.find('\n', at) + 1);
  EXPECT_EQ(after.find('='), std::string::npos) << "a write after the fault: " << after;
  if (c.fault == Fault::kUnplug) {
    EXPECT_EQ(after.find("at+quit"), std::string::npos) << after;
  } else {
    EXPECT_TRUE(after.ends_with("at+quit\r\n")) << after;
  }

  const QJsonObject report = OnlyReport(run.out);
  EXPECT_NE(report["failure"].toString().toStdString().find(c.failure), std::string::npos)
      << run.out;
  EXPECT_EQ(report["quit"].toString().toStdString(), c.quit) << run.out;
  EXPECT_EQ(report["restarted"].toBool(), c.fault == Fault::kReboot) << run.out;
  const QJsonArray writes = report["writes"].toArray();
  ASSERT_EQ(writes.size(), 4) << run.out;
  EXPECT_EQ(writes[0].toObject()["verdict"].toString(), "accepted") << run.out;
  EXPECT_EQ(writes[1].toObject()["verdict"].toString().toStdString(), c.firstVerdict) << run.out;
  EXPECT_EQ(writes[2].toObject()["verdict"].toString(), "not sent") << run.out;
  EXPECT_EQ(writes[3].toObject()["verdict"].toString(), "not sent") << run.out;
}

INSTANTIATE_TEST_SUITE_P(Faults, ApplyBatchFaults, testing::ValuesIn(kFaults), CaseName);
