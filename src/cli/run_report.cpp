#include "cli/run_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <cstdio>

#include "cli/json_bytes.h"
#include "texts/byte_text.h"

namespace {

// The command as sent, without its line end.
std::string CommandLine(const WorkJob& job) {
  std::string line = job.command;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

double TotalMs(const DeviceReport& report) {
  double total = 0;
  for (const PhaseTime& phase : report.phases) total += phase.ms;
  return total;
}

}  // namespace

std::string LeaveTail(const DeviceReport& report) {
  // A device that did its work and was sent back says nothing more; one that may still be in
  // its setting mode always does.
  const bool worth = !report.ok || report.leave == LeaveNote::kQuitRefused ||
                     report.leave == LeaveNote::kQuitUnanswered ||
                     report.leave == LeaveNote::kLeftByItself;
  const std::string text = LeaveText(report.leave);
  return worth && !text.empty() ? "; " + text : std::string();
}

ProgressLines::ProgressLines(std::ostream& out, bool terminal, std::vector<DeviceRunner*> runners)
    : out_(out), terminal_(terminal), runners_(std::move(runners)), shown_(runners_.size()) {}

std::string ProgressLines::LineOf(const DeviceRunner& runner) const {
  std::string line = runner.Report().port + ": ";
  if (runner.Done()) {
    line += runner.Report().ok ? "done" : "FAILED: " + runner.Report().failure;
    return line;
  }
  line += PhaseName(runner.Phase());
  if (runner.Phase() == RunPhase::kWrite) {
    line += " " + std::to_string(runner.WritesFinished()) + " of " +
            std::to_string(runner.Report().writes.size());
  }
  return line;
}

void ProgressLines::Update() {
  std::vector<std::string> lines;
  for (const DeviceRunner* runner : runners_) lines.push_back(LineOf(*runner));
  if (!terminal_) {
    // Plain lines: one per change of phase (not per write), so a log stays short.
    for (size_t i = 0; i < lines.size(); ++i) {
      const std::string phase =
          runners_[i]->Done() ? lines[i] : std::string(PhaseName(runners_[i]->Phase()));
      if (phase == shown_[i]) continue;
      shown_[i] = phase;
      out_ << lines[i] << "\n";
    }
    out_.flush();
    return;
  }
  if (drawn_ && lines == shown_) return;
  if (drawn_) out_ << "\x1b[" << lines.size() << "A";
  for (const std::string& line : lines) out_ << "\r\x1b[2K" << line << "\n";
  out_.flush();
  shown_ = lines;
  drawn_ = true;
}

std::string FormatRunText(const DeviceReport& report, bool allWrites) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f s", TotalMs(report) / 1000.0);
  std::string out = report.port + ": ";
  size_t verified = 0;
  for (const WriteRecord& write : report.writes) verified += write.verified ? 1 : 0;
  size_t wouldWrite = 0;
  for (const WriteRecord& write : report.writes)
    wouldWrite += write.verdict == WriteVerdict::kWouldWrite ? 1 : 0;
  auto writes = [](size_t count) {
    return std::to_string(count) + (count == 1 ? " write" : " writes");
  };
  if (report.ok) {
    if (wouldWrite > 0) {
      out += "would write " + std::to_string(wouldWrite) + ", nothing sent";
    } else if (report.writes.empty()) {
      out += "ok, nothing to write";
    } else if (report.verifyRan) {
      out += "ok, " + writes(verified) + " verified";
    } else {
      out += "ok, " + writes(report.writes.size());
    }
  } else {
    out += "FAILED: " + report.failure;
  }
  out += LeaveTail(report);
  std::string device = report.deviceType;
  if (!report.version.empty()) device += (device.empty() ? "" : ", ") + report.version;
  out += " (" + (device.empty() ? std::string() : EscapedText(device) + ", ") + seconds + ")\n";
  if (!report.backup.empty()) out += "  backup: " + EscapedText(report.backup) + "\n";
  if (!report.fromCsv.empty()) {
    out += "  from the table:";
    for (size_t i = 0; i < report.fromCsv.size(); ++i)
      out += (i == 0 ? " " : ", ") + EscapedText(report.fromCsv[i]);
    out += "\n";
  }
  for (const WriteRecord& write : report.writes) {
    const bool fine =
        write.verdict == WriteVerdict::kAccepted && (write.verified || !report.verifyRan);
    if (!allWrites && fine) continue;
    out += "  " + EscapedText(CommandLine(write.job)) + "  " + VerdictName(write.verdict);
    if (write.verdict == WriteVerdict::kAccepted && report.verifyRan && !write.verified)
      out += ", the device reports \"" + EscapedText(write.reported) + "\"";
    out += "\n";
  }
  for (const Refusal& refusal : report.refused) {
    out += "  " + EscapedText(refusal.name) + (refusal.subkey.empty() ? "" : " " + refusal.subkey) +
           "  not sent: " + RefusalReasonText(refusal.reason) + "\n";
  }
  return out;
}

std::string FormatRunJson(const DeviceReport& report, int schema) {
  QJsonArray phases;
  for (const PhaseTime& phase : report.phases) {
    if (phase.phase == RunPhase::kDone) continue;
    phases.append(
        QJsonObject{{"phase", PhaseName(phase.phase)},
                    {"ms", static_cast<double>(static_cast<int64_t>(phase.ms * 10)) / 10}});
  }
  QJsonArray writes;
  for (const WriteRecord& write : report.writes) {
    QJsonObject entry{{"name", Utf8(write.job.name)},
                      {"label", Utf8(write.label)},
                      {"verdict", VerdictName(write.verdict)}};
    PutBytes(entry, "command", CommandLine(write.job));
    PutBytes(entry, "value", write.job.value);
    PutBytes(entry, "before", write.before);
    if (report.verifyRan && write.verdict == WriteVerdict::kAccepted) {
      entry["verified"] = write.verified;
      if (!write.verified) PutBytes(entry, "reported", write.reported);
    }
    if (!write.job.subkey.empty()) entry["item"] = Utf8(write.job.subkey);
    writes.append(entry);
  }
  QJsonArray refused;
  for (const Refusal& refusal : report.refused) {
    QJsonObject entry{{"name", Utf8(refusal.name)},
                      {"item", Utf8(refusal.subkey)},
                      {"reason", RefusalReasonWord(refusal.reason)}};
    PutBytes(entry, "value", refusal.value);
    refused.append(entry);
  }
  QJsonObject root{
      {"schema", schema},
      {"port", Utf8(report.port)},
      {"deviceType", Utf8(report.deviceType)},
      {"version", Utf8(report.version)},
      {"ok", report.ok},
      {"failure", Utf8(report.failure)},
      {"backup", Utf8(report.backup)},
      {"phases", phases},
      {"writes", writes},
      {"refusedValues", refused},
      {"quit", LeaveName(report.leave)},
      {"restarted", report.restarted},
      {"verification", QJsonObject{{"ran", report.verifyRan},
                                   {"mismatches", static_cast<double>(report.mismatches)}}}};
  if (!report.fromCsv.empty()) {
    QJsonArray fromCsv;
    for (const std::string& label : report.fromCsv) fromCsv.append(Utf8(label));
    root["fromCsv"] = fromCsv;
  }
  return QJsonDocument(root).toJson(QJsonDocument::Compact).toStdString() + "\n";
}
