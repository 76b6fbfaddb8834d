// Lets bytes leave at the speed of a serial line: each byte takes its start bit, data bits,
// parity bit and stop bits at the baud rate. Times are nanoseconds of a monotonic clock; the
// schedule of a run of bytes is computed from the run's start, so sleeping late delays a
// burst but never accumulates drift.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct LineCode {
  int dataBits = 8;
  char parity = 'N';  // 'N', 'E' or 'O'
  int stopBits = 1;
};

// "8N1", "7E1", "8N2", ...; false for anything else.
bool ParseLineCode(std::string_view text, LineCode& code);
int BitsPerByte(const LineCode& code);
// Nanoseconds one byte takes on the wire.
int64_t ByteTimeNs(int baud, const LineCode& code);

inline constexpr int64_t kNoWake = INT64_MAX;

class WirePacer {
 public:
  // Applies to runs that start after the call.
  void SetByteTime(int64_t byteNs) { byteNs_ = byteNs > 0 ? byteNs : 1; }
  // The chunk fault: after every `bytes` bytes the line stays quiet for `gapNs`. 0 is off.
  void SetChunking(int bytes, int64_t gapNs);

  void Push(std::string_view bytes, int64_t nowNs);
  // The bytes whose last bit has gone out by `nowNs`, oldest first.
  std::string TakeDue(int64_t nowNs);
  // When the next burst is due: at least `minBurstNs` after the next byte's own time, so that
  // fast lines are served in small bursts instead of one wake-up per byte.
  int64_t NextWakeNs(int64_t minBurstNs) const;
  bool Empty() const { return queue_.empty(); }
  void Clear();
  int64_t byteNs() const { return byteNs_; }

 private:
  int64_t DueNs(uint64_t index) const;

  std::string queue_;
  int64_t byteNs_ = 1;
  int chunkBytes_ = 0;
  int64_t chunkGapNs_ = 0;
  int64_t runStartNs_ = 0;
  uint64_t runSent_ = 0;    // bytes of the current run already taken
  int64_t lineFreeNs_ = 0;  // when the last byte taken has left the wire
};
