// Named fault triggers, set from the command line (--fault) and from the control channel
// ("fault ..."): they make the simulated device misbehave in the ways real ones do.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

struct Faults {
  // Commands (the text before "=", or the whole line) that get no answer after their echo.
  std::set<std::string, std::less<>> silent;
  // Commands answered "ERROR" whatever they ask.
  std::set<std::string, std::less<>> error;
  bool garbage = false;  // stray bytes (NUL, 0xFF, ESC, ...) mixed into every reply
  bool nul = false;      // NUL bytes mixed into every reply
  // Close the pty after this many more bytes went out (an unplugged cable); -1 off.
  int64_t unplugAfterBytes = -1;
  // Send replies in chunks of this many bytes with gaps between them; 0 off.
  int chunkBytes = 0;
  int chunkGapMs = 0;
};

// Applies one trigger given as words after "fault":
//   silent CMD | error CMD | garbage on|off | nul on|off | unplug-after-bytes N
//   chunk BYTES GAP_MS | chunk off | clear CMD | clear
// Returns false with a message for anything else; the faults are then unchanged.
bool ApplyFaultCommand(Faults& faults, std::string_view words, std::string& message);

// The command key a fault names: the line up to its first "=", or the whole line.
std::string_view CommandKey(std::string_view line);

// Mixes the garbage or NUL bytes the faults ask for into `bytes`; `counter` carries the
// position across calls so that the pattern runs on over many replies.
std::string InjectFaultBytes(const Faults& faults, std::string_view bytes, uint64_t& counter);

// `count` bytes of line noise (every byte value, NUL included), the same for the same `seed`:
// what a device sends with a wrong baud rate or a broken cable.
std::string NoiseBytes(size_t count, uint64_t seed);

// The byte count of a "flood N" control command; false unless 1 <= N <= 16 MiB.
bool ParseFloodCount(std::string_view text, size_t& count);
