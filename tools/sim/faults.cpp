#include "faults.h"

#include <charconv>
#include <vector>

namespace {

std::vector<std::string_view> SplitWords(std::string_view text) {
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    size_t end = at;
    while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
    if (end > at) words.push_back(text.substr(at, end - at));
    at = end;
  }
  return words;
}

bool ParseCount(std::string_view text, int64_t max, int64_t& number) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, number);
  return ec == std::errc() && ptr == end && number >= 0 && number <= max;
}

bool ParseOnOff(std::string_view word, bool& on) {
  if (word != "on" && word != "off") return false;
  on = word == "on";
  return true;
}

// One stray byte every this many bytes of reply.
constexpr uint64_t kFaultByteSpacing = 37;
constexpr char kGarbageBytes[] = {'\0', '\xFF', '\x1B', '\x7F', '\x80', '~'};

}  // namespace

std::string_view CommandKey(std::string_view line) {
  return line.substr(0, line.find('='));
}

bool ApplyFaultCommand(Faults& faults, std::string_view words_text, std::string& message) {
  std::vector<std::string_view> words = SplitWords(words_text);
  const size_t n = words.size();
  if (n == 1 && words[0] == "clear") {
    faults = Faults();
    return true;
  }
  if (n == 2 && (words[0] == "silent" || words[0] == "error")) {
    auto& set = words[0] == "silent" ? faults.silent : faults.error;
    set.emplace(CommandKey(words[1]));
    return true;
  }
  if (n == 2 && words[0] == "clear") {
    faults.silent.erase(std::string(CommandKey(words[1])));
    faults.error.erase(std::string(CommandKey(words[1])));
    return true;
  }
  if (n == 2 && words[0] == "garbage" && ParseOnOff(words[1], faults.garbage)) return true;
  if (n == 2 && words[0] == "nul" && ParseOnOff(words[1], faults.nul)) return true;
  int64_t number = 0;
  if (n == 2 && words[0] == "unplug-after-bytes") {
    if (words[1] == "off") {
      faults.unplugAfterBytes = -1;
      return true;
    }
    if (ParseCount(words[1], INT64_MAX / 2, number)) {
      faults.unplugAfterBytes = number;
      return true;
    }
  }
  if (n == 2 && words[0] == "chunk" && words[1] == "off") {
    faults.chunkBytes = 0;
    faults.chunkGapMs = 0;
    return true;
  }
  int64_t gap = 0;
  if (n == 3 && words[0] == "chunk" && ParseCount(words[1], 65536, number) && number > 0 &&
      ParseCount(words[2], 60000, gap)) {
    faults.chunkBytes = static_cast<int>(number);
    faults.chunkGapMs = static_cast<int>(gap);
    return true;
  }
  message = "unknown fault: " + std::string(words_text);
  return false;
}

std::string InjectFaultBytes(const Faults& faults, std::string_view bytes, uint64_t& counter) {
  if (!faults.garbage && !faults.nul) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / kFaultByteSpacing + 1);
  for (char c : bytes) {
    out += c;
    if (++counter % kFaultByteSpacing == 0) {
      const uint64_t pick = (counter / kFaultByteSpacing) % sizeof kGarbageBytes;
      out += faults.garbage ? kGarbageBytes[pick] : '\0';
    }
  }
  return out;
}

std::string NoiseBytes(size_t count, uint64_t seed) {
  std::string out(count, '\0');
  uint64_t x = seed | 1;
  for (char& c : out) {
    // xorshift64: cheap, and the same noise for the same seed.
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    c = static_cast<char>(x >> 56);
  }
  return out;
}

bool ParseFloodCount(std::string_view text, size_t& count) {
  int64_t number = 0;
  if (!ParseCount(text, int64_t{16} << 20, number) || number < 1) return false;
  count = static_cast<size_t>(number);
  return true;
}
