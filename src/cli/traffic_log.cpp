#include "cli/traffic_log.h"

#include <cctype>

#include "domain/device_params.h"

namespace {

bool IsSecret(const DeviceParam& param) {
  std::string label;
  for (char c : param.label)
    label += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return label.find("password") != std::string::npos ||
         param.command.find("PSWD") != std::string::npos ||
         param.command.find("PW") == param.command.size() - 2;
}

// Replaces what follows `key` and `separator` up to the line's end with "****".
void MaskAfter(std::string& line, const std::string& key, char separator) {
  for (size_t at = line.find(key); at != std::string::npos; at = line.find(key, at + 1)) {
    size_t start = at + key.size();
    if (start >= line.size() || line[start] != separator) continue;
    ++start;
    size_t end = line.find_first_of("\r\n", start);
    if (end == std::string::npos) end = line.size();
    if (end > start) line.replace(start, end - start, "****");
  }
}

}  // namespace

std::string MaskSecrets(const std::string& line) {
  std::string masked = line;
  for (const DeviceParam& param : DeviceParams()) {
    if (param.command.empty() || !IsSecret(param)) continue;
    MaskAfter(masked, param.command, '=');
    std::string label = param.label;
    if (!label.empty() && label.back() == ':') label.pop_back();
    MaskAfter(masked, label, ':');
  }
  return masked;
}

TrafficLog::TrafficLog(std::ostream& out, std::string port, bool showSecrets)
    : out_(out), port_(std::move(port)), showSecrets_(showSecrets) {}

void TrafficLog::Line(const char* mark, std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  const size_t start = text.find_first_not_of("\r\n");
  text.erase(0, start == std::string::npos ? text.size() : start);
  if (!showSecrets_) text = MaskSecrets(text);
  out_ << port_ << ' ' << mark << ' ' << text << '\n';
}

void TrafficLog::Sent(const std::string& command) {
  Flush();
  Line(">", command);
}

void TrafficLog::Received(const std::string& bytes) {
  pending_ += bytes;
  for (size_t end = pending_.find('\n'); end != std::string::npos; end = pending_.find('\n')) {
    std::string line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    if (line.empty() || line == "\r") continue;
    Line("<", std::move(line));
  }
}

void TrafficLog::Note(const std::string& text) {
  Flush();
  Line("-", text);
}

void TrafficLog::Flush() {
  if (pending_.empty()) return;
  std::string line;
  line.swap(pending_);
  Line("<", std::move(line));
}
