// "dtu-config apply" of a template that changes 30 parameters, to 1, 8 and 16 simulated devices
// at once, at 9600 and 115200 baud. The aims: 8 devices within 1.2 x the time of one, 16 within
// 1.5 x, and one device within 1.1 x the wire time of its commands and replies plus the device's
// reply latency.
//
//   build/bin/apply_bench [MAX_DEVICES]       default 16
//
// The template is made here: a factory device is read, and 30 of its text, address and phone
// parameters that the form writes under the factory work mode get new values.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device_params.h"
#include "sim_process.h"
#include "writing/config_file.h"

namespace {

constexpr int kChanged = 30;
constexpr double kBitsPerByte8N1 = 10.0;
// The simulator's answer latency (--latency-ms default).
constexpr double kLatencyMs = 5.0;

long SentBytes(SimProcess& sim) {
  const std::string status = sim.Status();
  const size_t at = status.find("sent=");
  return at == std::string::npos ? -1 : std::atol(status.c_str() + at + 5);
}

std::string ValueOf(const std::string& text, const std::string& label) {
  const size_t at = text.find("\r\n" + label);
  if (at == std::string::npos) return {};
  const size_t start = at + 2 + label.size();
  return text.substr(start, text.find("\r\n", start) - start);
}

std::string WithValue(std::string text, const std::string& label, const std::string& value) {
  const size_t at = text.find("\r\n" + label);
  if (at == std::string::npos) return text;
  const size_t start = at + 2 + label.size();
  return text.replace(start, text.find("\r\n", start) - start, value);
}

// A new value the device takes for `param`, or empty.
std::string NewValue(const DeviceParam& param, const std::string& old, int n) {
  std::string value;
  switch (param.domain->kind) {
    case DomainKind::kText:
      value = "bench" + std::to_string(n);
      break;
    case DomainKind::kHost:
    case DomainKind::kIpv4:
      value = "10.9." + std::to_string(n / 200) + "." + std::to_string(n % 200 + 1);
      break;
    case DomainKind::kPhone:
      value = "1390000" + std::to_string(1000 + n);
      break;
    default:
      return {};
  }
  return value != old && AcceptsValue(*param.domain, value) ? value : std::string();
}

struct ApplyRun {
  int status = -1;
  double ms = -1;
  std::string out;
};

ApplyRun Apply(const std::vector<std::string>& ports, const std::string& file, int baud,
               bool dryRun) {
  QStringList args{"apply", QString::fromStdString(file), "--json", "--baud",
                   QString::number(baud)};
  if (dryRun) args << "--dry-run";
  for (const std::string& port : ports) args << "--port" << QString::fromStdString(port);
  QProcess program;
  QElapsedTimer timer;
  timer.start();
  program.start(QString(DTU_BIN_DIR "/dtu-config"), args);
  ApplyRun run;
  if (!program.waitForFinished(600000)) return run;
  run.ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  run.status = program.exitCode();
  run.out = program.readAllStandardOutput().toStdString();
  if (run.status != 0)
    std::fprintf(stderr, "apply_bench: %s\n", program.readAllStandardError().constData());
  return run;
}

// Running devices (their boot long over), so that every run logs in the same way ("+++").
std::vector<std::unique_ptr<SimProcess>> StartDevices(int count) {
  std::vector<std::unique_ptr<SimProcess>> sims;
  for (int i = 0; i < count; ++i) {
    sims.push_back(std::make_unique<SimProcess>());
    std::string error;
    if (!sims.back()->Start({"--boot-ms", "100", "--no-reboot-on-open"}, &error)) {
      std::fprintf(stderr, "apply_bench: %s\n", error.c_str());
      return {};
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  return sims;
}

std::vector<std::string> Ports(const std::vector<std::unique_ptr<SimProcess>>& sims) {
  std::vector<std::string> ports;
  for (const auto& sim : sims) ports.push_back(sim->PtyPath());
  return ports;
}

// The template: 30 parameters of the factory configuration changed, all of them ones the form
// writes. Empty on failure.
std::string MakeTemplate(const std::string& dir) {
  auto sims = StartDevices(1);
  if (sims.empty()) return {};
  QProcess read;
  const std::string factoryPath = dir + "/factory.cfg";
  read.start(QString(DTU_BIN_DIR "/dtu-config"),
             {"read", "--port", QString::fromStdString(sims[0]->PtyPath()), "-o",
              QString::fromStdString(factoryPath)});
  std::string factory, error;
  if (!read.waitForFinished(60000) || read.exitCode() != 0 ||
      !ReadConfigFileFrom(factoryPath, &factory, &error))
    return {};
  // Every candidate changed; a dry run says which of them the form writes.
  std::string candidates = factory;
  int n = 0;
  for (const DeviceParam& param : DeviceParams()) {
    if (param.command.empty()) continue;
    const std::string value = NewValue(param, ValueOf(factory, param.label), ++n);
    if (!value.empty()) candidates = WithValue(candidates, param.label, value);
  }
  const std::string candidatePath = dir + "/candidates.cfg";
  if (!WriteConfigFileTo(candidatePath, candidates, &error)) return {};
  const ApplyRun dry = Apply(Ports(sims), candidatePath, 115200, true);
  const QJsonObject report =
      QJsonDocument::fromJson(QByteArray::fromStdString(dry.out.substr(0, dry.out.find('\n'))))
          .object();
  std::string chosen = factory;
  int changed = 0;
  for (const auto& entry : report["writes"].toArray()) {
    if (changed == kChanged) break;
    const std::string command = entry.toObject()["command"].toString().toStdString();
    const DeviceParam* param = FindParamByCommand(command.substr(0, command.find('=')));
    if (param == nullptr) continue;
    chosen = WithValue(chosen, param->label, command.substr(command.find('=') + 1));
    ++changed;
  }
  if (changed < kChanged) {
    std::fprintf(stderr, "apply_bench: only %d parameters can be changed\n", changed);
    return {};
  }
  const std::string templatePath = dir + "/template.cfg";
  return WriteConfigFileTo(templatePath, chosen, &error) ? templatePath : std::string();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int maxDevices = argc > 1 ? std::atoi(argv[1]) : 16;
  QTemporaryDir dir;
  const std::string templatePath = MakeTemplate(dir.path().toStdString());
  if (templatePath.empty()) {
    std::fprintf(stderr, "apply_bench: no template\n");
    return 1;
  }
  std::printf("%7s %8s %10s %10s %12s %8s %8s\n", "baud", "devices", "apply ms", "wire ms",
              "ratio", "aim", "writes");
  for (int baud : {9600, 115200}) {
    double single = -1;
    for (int devices : {1, 8, 16}) {
      if (devices > maxDevices) continue;
      auto sims = StartDevices(devices);
      if (sims.empty()) return 1;
      std::vector<long> before;
      for (auto& sim : sims) before.push_back(SentBytes(*sim));
      const ApplyRun run = Apply(Ports(sims), templatePath, baud, false);
      if (run.status != 0) {
        std::printf("%7d %8d failed (status %d)\n", baud, devices, run.status);
        continue;
      }
      // The first device's own traffic: what it received and what it sent.
      const long bytes = SentBytes(*sims[0]) - before[0] + static_cast<long>(sims[0]->Recording().size());
      const double wireMs = static_cast<double>(bytes) * kBitsPerByte8N1 * 1000.0 / baud;
      const QJsonObject report =
          QJsonDocument::fromJson(QByteArray::fromStdString(run.out.substr(0, run.out.find('\n'))))
              .object();
      const int writes = static_cast<int>(report["writes"].toArray().size());
      // Each command is answered after the device's latency: "+++", two reads, the writes, quit.
      const double latencyMs = (writes + 4) * kLatencyMs;
      if (devices == 1) {
        single = run.ms;
        std::printf("%7d %8d %10.0f %10.0f %12.3f %8s %8d   (apply / (wire + %.0f ms latency))\n",
                    baud, devices, run.ms, wireMs, run.ms / (wireMs + latencyMs), "<= 1.1",
                    writes, latencyMs);
      } else {
        std::printf("%7d %8d %10.0f %10.0f %12.3f %8s %8d   (apply / one device's apply)\n", baud,
                    devices, run.ms, wireMs, single > 0 ? run.ms / single : -1.0,
                    devices == 8 ? "<= 1.2" : "<= 1.5", writes);
      }
      // The device's own phases, for the overheads that are not wire time.
      std::printf("        phases of the first device:");
      for (const auto& phase : report["phases"].toArray()) {
        std::printf(" %s %.0f", phase.toObject()["phase"].toString().toStdString().c_str(),
                    phase.toObject()["ms"].toDouble());
      }
      std::printf(" ms\n");
      std::fflush(stdout);
    }
  }
  return 0;
}
