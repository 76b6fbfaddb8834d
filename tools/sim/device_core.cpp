#include "device_core.h"

#include <algorithm>

namespace {

// A line longer than this is not a command; it is answered "ERROR" when it ends.
constexpr size_t kMaxLineLength = 2048;

}  // namespace

DeviceCore::DeviceCore(const DeviceModel& model, CoreTimings timings, Strictness strictness)
    : config_(model), timings_(timings), strictness_(strictness) {}

void DeviceCore::Emit(int64_t dueMs, std::string_view bytes) {
  if (bytes.empty()) return;
  // Output leaves in order: nothing may overtake what is already queued.
  if (!pending_.empty()) dueMs = std::max(dueMs, pending_.back().dueMs);
  pending_.push_back({dueMs, InjectFaultBytes(faults_, bytes, faultCounter_)});
}

void DeviceCore::PowerOn(int64_t nowMs) {
  pending_.clear();
  line_.clear();
  lineOverflow_ = false;
  escapeTail_.clear();
  mode_ = DeviceMode::kBooting;
  bootEndMs_ = nowMs + timings_.bootMs;
  Emit(nowMs, std::string("\r\nDTU ") + config_.model().deviceType + " starting, firmware " +
                  config_.model().firmware + "\r\n");
  EmitBootPrompt(nowMs);
}

void DeviceCore::EmitBootPrompt(int64_t nowMs) {
  const int64_t left = (bootEndMs_ - nowMs + 999) / 1000;
  Emit(nowMs, "Press 's' key to enter setting menu (" + std::to_string(std::max<int64_t>(left, 0)) +
                  ")\r\n");
  nextPromptMs_ = nowMs + std::max<int64_t>(timings_.promptPeriodMs, 1);
}

void DeviceCore::EnterSetting(int64_t nowMs, std::string_view announcement) {
  mode_ = DeviceMode::kSetting;
  nextPromptMs_ = kNoDeadline;
  lastCommandMs_ = nowMs;
  line_.clear();
  lineOverflow_ = false;
  Emit(nowMs, announcement);
}

void DeviceCore::AnswerEscape(int64_t nowMs) {
  if (faults_.silent.find(kEscape) != faults_.silent.end()) return;
  if (faults_.error.find(kEscape) != faults_.error.end()) {
    Emit(nowMs + timings_.latencyMs, "\r\nERROR\r\n");
    return;
  }
  EnterSetting(nowMs, "\r\n" + std::string(kEnterSettingText) + "\r\n");
}

void DeviceCore::Receive(std::string_view bytes, int64_t nowMs) {
  Advance(nowMs);
  const bool strict = strictness_ == Strictness::kStrict;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char byte = bytes[i];
    switch (mode_) {
      case DeviceMode::kOff:
        break;
      case DeviceMode::kBooting:
        // The rest of the burst reaches the setting mode as the start of a line.
        if (byte == 's') EnterSetting(nowMs, SettingMenuText());
        break;
      case DeviceMode::kData:
        // Data mode bytes would go to the center; only the escape matters here. Real units
        // want a guard time around "+++": the strict device wants it alone in its burst, the
        // lenient one takes the three bytes anywhere.
        if (strict) {
          if (i == 0 && bytes == kEscape) {
            AnswerEscape(nowMs);
            return;
          }
          break;
        }
        escapeTail_ += byte;
        if (escapeTail_.size() > kEscape.size()) escapeTail_.erase(0, 1);
        if (escapeTail_ == kEscape) {
          escapeTail_.clear();
          AnswerEscape(nowMs);
        }
        break;
      case DeviceMode::kSetting:
        ReceiveSettingByte(byte, nowMs);
        break;
    }
  }
}

void DeviceCore::ReceiveSettingByte(char byte, int64_t nowMs) {
  if (byte == '\r' || byte == '\n') {
    // Empty lines are ignored: "\r\nAT+SHOW\r\n" is one command, and CR LF ends one line.
    if (lineOverflow_) {
      Emit(nowMs, "\r\nERROR\r\n");
    } else if (!line_.empty()) {
      HandleLine(line_, nowMs);
    }
    line_.clear();
    lineOverflow_ = false;
    return;
  }
  const bool lenient = strictness_ == Strictness::kLenient;
  // The lenient device forgives the "s" stream that caught the boot prompt running on for a
  // moment after the menu: it drops "s" at the start of a line, where no command begins.
  if (lenient && line_.empty() && byte == 's') return;
  if (line_.size() >= kMaxLineLength) {
    lineOverflow_ = true;
    return;
  }
  line_ += byte;
  // The lenient device also confirms a login attempt while already in setting mode.
  if (lenient && line_ == kEscape) {
    line_.clear();
    lastCommandMs_ = nowMs;
    AnswerEscape(nowMs);
  }
}

void DeviceCore::HandleLine(const std::string& line, int64_t nowMs) {
  lastCommandMs_ = nowMs;
  Emit(nowMs, line + "\r\n");
  const std::string_view key = CommandKey(line);
  if (faults_.silent.find(key) != faults_.silent.end()) return;
  const int64_t answerMs = nowMs + timings_.latencyMs;
  if (faults_.error.find(key) != faults_.error.end()) {
    Emit(answerMs, "\r\nERROR\r\n");
    return;
  }
  CommandAnswer answer = AnswerSettingCommand(line, config_, clock_);
  Emit(answerMs, answer.text);
  if (answer.leaveSetting) mode_ = DeviceMode::kData;
}

void DeviceCore::Advance(int64_t nowMs) {
  if (mode_ == DeviceMode::kBooting) {
    if (nowMs >= bootEndMs_) {
      mode_ = DeviceMode::kData;
      nextPromptMs_ = kNoDeadline;
      escapeTail_.clear();
      Emit(bootEndMs_, "Entering data mode\r\n");
    } else if (nowMs >= nextPromptMs_) {
      EmitBootPrompt(nowMs);
    }
  }
  if (mode_ == DeviceMode::kSetting && timings_.idleTimeoutMs > 0 &&
      nowMs >= lastCommandMs_ + timings_.idleTimeoutMs) {
    mode_ = DeviceMode::kData;
    escapeTail_.clear();
    Emit(nowMs, "\r\n" + std::string(kIdleTimeoutText) + "\r\n");
  }
}

std::string DeviceCore::TakeOutput(int64_t nowMs) {
  std::string out;
  while (!pending_.empty() && pending_.front().dueMs <= nowMs) {
    out += pending_.front().bytes;
    pending_.pop_front();
  }
  return out;
}

int64_t DeviceCore::NextDeadline() const {
  int64_t next = kNoDeadline;
  if (!pending_.empty()) next = pending_.front().dueMs;
  if (mode_ == DeviceMode::kBooting) next = std::min({next, bootEndMs_, nextPromptMs_});
  if (mode_ == DeviceMode::kSetting && timings_.idleTimeoutMs > 0) {
    next = std::min(next, lastCommandMs_ + timings_.idleTimeoutMs);
  }
  return next;
}
