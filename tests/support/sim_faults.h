// The simulator's fault triggers as the tests name them: one spelling of each control line
// ("fault error AT+APN", ...) for SimProcess::SendControl.
#pragma once

#include <string>
#include <string_view>

namespace sim_fault {

// The command (the text before "=") is answered "ERROR".
inline std::string Error(std::string_view command) {
  return "fault error " + std::string(command);
}
// The command gets its echo and no answer.
inline std::string Silent(std::string_view command) {
  return "fault silent " + std::string(command);
}
// The device goes away (the pty closes) after this many more bytes went out.
inline std::string UnplugAfterBytes(int bytes) {
  return "fault unplug-after-bytes " + std::to_string(bytes);
}
// Replies come in chunks of `bytes` with `gapMs` between them.
inline std::string Chunks(int bytes, int gapMs) {
  return "fault chunk " + std::to_string(bytes) + " " + std::to_string(gapMs);
}
// Every fault off.
inline constexpr char kClear[] = "fault clear";
// NUL bytes, or stray bytes of every kind, mixed into every reply.
inline constexpr char kNulOn[] = "fault nul on";
inline constexpr char kGarbageOn[] = "fault garbage on";

}  // namespace sim_fault
