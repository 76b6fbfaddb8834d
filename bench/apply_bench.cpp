// "dtu-config apply" of a template that changes 30 parameters, to 1, 8 and 16 simulated devices
// at once, at 9600 and 115200 baud. The aims: 8 devices within 1.2 x the time of one, 16 within
// 1.5 x, and one device within 1.1 x the wire time of its commands and replies plus the device's
// reply latency.
//
//   build/bin/apply_bench [MAX_DEVICES [ROUNDS]]       default 16 devices, best of 3 runs
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

#include "domain/device_params.h"
#include "sim_process.h"
#include "writing/config_file.h"

namespace {

constexpr int kChanged = 30;
constexpr int kSensorItems = 64;
constexpr std::string_view kItemCommand = "AT+GENSENSORINFO=";
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
    case DomainKind::kNumber:
      value = std::to_string(std::to_string(param.domain->min) != old ? param.domain->min
                                                                      : param.domain->max);
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
  // The sensor items get other data names.
  for (int item = 0; item < kSensorItems; ++item) {
    const std::string label = "GENSENSORINFO " + std::to_string(item) + ":";
    std::string fields = ValueOf(candidates, label);
    const size_t name = fields.find(",sensor");
    if (name == std::string::npos) continue;
    candidates = WithValue(candidates, label, fields.replace(name + 1, 6, "bench"));
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
    const std::string value = command.substr(command.find('=') + 1);
    if (command.rfind(kItemCommand, 0) == 0) {
      // "AT+GENSENSORINFO=3,fields": the line "GENSENSORINFO 3:fields".
      const size_t comma = value.find(',');
      chosen = WithValue(chosen, "GENSENSORINFO " + value.substr(0, comma) + ":",
                         value.substr(comma + 1));
      ++changed;
      continue;
    }
    const DeviceParam* param = FindParamByCommand(command.substr(0, command.find('=')));
    if (param == nullptr) continue;
    chosen = WithValue(chosen, param->label, value);
    ++changed;
  }
  if (changed < kChanged) {
    std::fprintf(stderr, "apply_bench: only %d parameters can be changed\n", changed);
    return {};
  }
  const std::string templatePath = dir + "/template.cfg";
  return WriteConfigFileTo(templatePath, chosen, &error) ? templatePath : std::string();
}

struct Figures {
  double applyMs = -1;  // the whole command, process start to exit
  double deviceMs = 0;  // the first device's own phases, port opened to port closed
  double wireMs = 0;    // the first device's bytes, both ways, at the baud rate
  int writes = 0;
};

// The best of `rounds` applies to `devices` fresh devices.
Figures Measure(const std::string& templatePath, int baud, int devices, int rounds) {
  Figures best;
  for (int round = 0; round < rounds; ++round) {
    auto sims = StartDevices(devices);
    if (sims.empty()) return best;
    const long before = SentBytes(*sims[0]);
    const ApplyRun run = Apply(Ports(sims), templatePath, baud, false);
    if (run.status != 0) continue;
    const long bytes =
        SentBytes(*sims[0]) - before + static_cast<long>(sims[0]->Recording().size());
    const QJsonObject report =
        QJsonDocument::fromJson(QByteArray::fromStdString(run.out.substr(0, run.out.find('\n'))))
            .object();
    Figures figures;
    figures.applyMs = run.ms;
    figures.wireMs = static_cast<double>(bytes) * kBitsPerByte8N1 * 1000.0 / baud;
    figures.writes = static_cast<int>(report["writes"].toArray().size());
    for (const auto& phase : report["phases"].toArray())
      figures.deviceMs += phase.toObject()["ms"].toDouble();
    if (best.applyMs < 0 || figures.applyMs < best.applyMs) best = figures;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int maxDevices = argc > 1 ? std::atoi(argv[1]) : 16;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  QTemporaryDir dir;
  const std::string templatePath = MakeTemplate(dir.path().toStdString());
  if (templatePath.empty()) {
    std::fprintf(stderr, "apply_bench: no template\n");
    return 1;
  }
  std::printf("best of %d runs; apply = the whole command, device = one device's phases\n", rounds);
  std::printf("%6s %7s %6s %9s %9s %9s %8s %8s %s\n", "baud", "devices", "writes", "apply ms",
              "device ms", "wire ms", "ratio", "aim", "ratio of");
  for (int baud : {9600, 115200}) {
    Figures single;
    for (int devices : {1, 8, 16}) {
      if (devices > maxDevices) continue;
      const Figures f = Measure(templatePath, baud, devices, rounds);
      if (f.applyMs < 0) {
        std::printf("%6d %7d failed\n", baud, devices);
        continue;
      }
      if (devices == 1) {
        single = f;
        // Each command is answered after the device's latency: "+++", two reads, the writes,
        // at+quit.
        const double budget = f.wireMs + (f.writes + 4) * kLatencyMs;
        std::printf("%6d %7d %6d %9.0f %9.0f %9.0f %8.3f %8s %s\n", baud, devices, f.writes,
                    f.applyMs, f.deviceMs, f.wireMs, f.applyMs / budget, "<= 1.1",
                    "apply / (wire + latency)");
        std::printf("%6s %7s %6s %9s %9s %9s %8.3f %8s %s\n", "", "", "", "", "", "",
                    f.deviceMs / budget, "", "device / (wire + latency)");
      } else {
        std::printf("%6d %7d %6d %9.0f %9.0f %9.0f %8.3f %8s %s\n", baud, devices, f.writes,
                    f.applyMs, f.deviceMs, f.wireMs,
                    single.applyMs > 0 ? f.applyMs / single.applyMs : -1.0,
                    devices == 8 ? "<= 1.2" : "<= 1.5", "apply / apply of one device");
      }
      std::fflush(stdout);
    }
  }
  return 0;
}
