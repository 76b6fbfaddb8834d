// The simulated device as a pure state machine: bytes from the program and the passing of time
// go in, bytes for the program come out. It owns no clock and no port; the dtu-sim program
// (and the unit tests) feed it the time in milliseconds of a monotonic clock.
//
// Power-on prints a boot prompt with "'s' key" for a while; an "s" then opens the setting
// menu. Otherwise the device runs in data mode, where "+++" enters setting mode ("enter
// setting!"). In setting mode every command line is echoed and answered; a period without
// commands ends it with "Seting Timeout and quit".
//
// A lenient device forgives what the program should not send: an "s" at the start of a line
// is dropped, "+++" is found anywhere in the data and confirmed again in setting mode. A
// strict one behaves like the hardware: bytes before a command are part of its line (so
// "sAT+SHOW" is unknown and answered "ERROR"), "+++" is an escape only when it arrives alone
// in its own burst (one read from the port), and in setting mode it starts a line like any
// other bytes.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "device_config.h"
#include "faults.h"
#include "setting_commands.h"

enum class DeviceMode { kOff, kBooting, kData, kSetting };
enum class Strictness { kLenient, kStrict };

struct CoreTimings {
  int64_t bootMs = 3000;           // how long the boot prompt waits for "s"
  int64_t idleTimeoutMs = 120000;  // setting mode without a command; 0 never times out
  int64_t latencyMs = 5;           // between a command's echo and its answer
  int64_t promptPeriodMs = 1000;   // between two boot prompts
};

inline constexpr int64_t kNoDeadline = INT64_MAX;
inline constexpr std::string_view kBootPromptKey = "'s' key";
inline constexpr std::string_view kEnterSettingText = "enter setting!";
inline constexpr std::string_view kIdleTimeoutText = "Seting Timeout and quit";
// The escape from data mode, and the command key an "error +++" or "silent +++" fault names.
inline constexpr std::string_view kEscape = "+++";

class DeviceCore {
 public:
  DeviceCore(const DeviceModel& model, CoreTimings timings,
             Strictness strictness = Strictness::kLenient);

  // Starts (or restarts) the device: unsent output is dropped and the boot prompt begins.
  void PowerOn(int64_t nowMs);
  // One burst of bytes, as one read from the port delivered them.
  void Receive(std::string_view bytes, int64_t nowMs);
  // Runs the device's timers up to `nowMs` (boot prompt, end of boot, idle time-out).
  void Advance(int64_t nowMs);
  // The bytes due by `nowMs`, in order; removes them.
  std::string TakeOutput(int64_t nowMs);
  // When Advance or TakeOutput next has something to do; kNoDeadline when nothing waits.
  int64_t NextDeadline() const;
  bool HasPendingOutput() const { return !pending_.empty(); }

  DeviceMode mode() const { return mode_; }
  DeviceConfig& config() { return config_; }
  const DeviceClock& clock() const { return clock_; }
  Faults& faults() { return faults_; }
  const CoreTimings& timings() const { return timings_; }
  Strictness strictness() const { return strictness_; }

 private:
  struct Pending {
    int64_t dueMs;
    std::string bytes;
  };

  void Emit(int64_t dueMs, std::string_view bytes);
  void EnterSetting(int64_t nowMs, std::string_view announcement);
  void AnswerEscape(int64_t nowMs);
  void ReceiveSettingByte(char byte, int64_t nowMs);
  void HandleLine(const std::string& line, int64_t nowMs);
  void EmitBootPrompt(int64_t nowMs);

  DeviceConfig config_;
  CoreTimings timings_;
  Strictness strictness_;
  DeviceClock clock_;
  Faults faults_;
  DeviceMode mode_ = DeviceMode::kOff;
  int64_t bootEndMs_ = 0;
  int64_t nextPromptMs_ = kNoDeadline;
  int64_t lastCommandMs_ = 0;
  std::string line_;
  bool lineOverflow_ = false;
  std::string escapeTail_;  // the last bytes seen in data mode, to find "+++" (lenient)
  std::deque<Pending> pending_;
  uint64_t faultCounter_ = 0;
};
