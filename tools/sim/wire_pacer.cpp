#include "wire_pacer.h"

#include <algorithm>

bool ParseLineCode(std::string_view text, LineCode& code) {
  if (text.size() != 3) return false;
  if (text[0] < '5' || text[0] > '8') return false;
  if (text[1] != 'N' && text[1] != 'E' && text[1] != 'O') return false;
  if (text[2] != '1' && text[2] != '2') return false;
  code = {text[0] - '0', text[1], text[2] - '0'};
  return true;
}

int BitsPerByte(const LineCode& code) {
  return 1 + code.dataBits + (code.parity == 'N' ? 0 : 1) + code.stopBits;
}

int64_t ByteTimeNs(int baud, const LineCode& code) {
  if (baud <= 0) return 1;
  return static_cast<int64_t>(BitsPerByte(code)) * 1'000'000'000 / baud;
}

void WirePacer::SetChunking(int bytes, int64_t gapNs) {
  chunkBytes_ = std::max(bytes, 0);
  chunkGapNs_ = std::max<int64_t>(gapNs, 0);
}

void WirePacer::Push(std::string_view bytes, int64_t nowNs) {
  if (bytes.empty()) return;
  if (queue_.empty()) {
    // A new run starts when the line is free, not earlier: back-to-back replies keep the
    // wire speed across their boundary.
    runStartNs_ = std::max(nowNs, lineFreeNs_);
    runSent_ = 0;
  }
  queue_.append(bytes);
}

int64_t WirePacer::DueNs(uint64_t index) const {
  // Byte `index` of the run has fully arrived one byte time after it started.
  int64_t due = runStartNs_ + static_cast<int64_t>(index + 1) * byteNs_;
  if (chunkBytes_ > 0) due += static_cast<int64_t>(index / chunkBytes_) * chunkGapNs_;
  return due;
}

std::string WirePacer::TakeDue(int64_t nowNs) {
  size_t count = 0;
  while (count < queue_.size() && DueNs(runSent_ + count) <= nowNs) ++count;
  std::string out = queue_.substr(0, count);
  queue_.erase(0, count);
  if (count > 0) lineFreeNs_ = DueNs(runSent_ + count - 1);
  runSent_ += count;
  return out;
}

int64_t WirePacer::NextWakeNs(int64_t minBurstNs) const {
  if (queue_.empty()) return kNoWake;
  const int64_t next = DueNs(runSent_);
  // Round the burst up to whole bytes, but never past the end of the queue or a chunk gap.
  uint64_t extra = static_cast<uint64_t>(std::max<int64_t>(minBurstNs / byteNs_, 1)) - 1;
  extra = std::min<uint64_t>(extra, queue_.size() - 1);
  if (chunkBytes_ > 0) {
    const uint64_t inChunk = runSent_ % static_cast<uint64_t>(chunkBytes_);
    extra = std::min<uint64_t>(extra, static_cast<uint64_t>(chunkBytes_) - 1 - inChunk);
  }
  return std::max(next, DueNs(runSent_ + extra));
}

void WirePacer::Clear() {
  queue_.clear();
  runSent_ = 0;
}
