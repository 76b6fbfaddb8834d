#include "app/log_text.h"

#include <cstdio>

std::string LogDisplayPiece(std::string_view text, LogKind kind, LogFlow& flow,
                            std::string_view stamp) {
  std::string out;
  out.reserve(text.size() + 2);
  const bool device = kind == LogKind::kReceived;
  size_t i = 0;
  if (device) {
    if (flow.deviceCr && !text.empty() && text.front() == '\n') i = 1;
    flow.deviceCr = !text.empty() && text.back() == '\r';
  } else if (!flow.atLineStart) {
    out.push_back('\n');
    flow.atLineStart = true;
  }
  for (; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '\r' || ch == '\n') {
      out.push_back('\n');
      if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      flow.atLineStart = true;
      continue;
    }
    if (flow.atLineStart) out.append(stamp);
    out.push_back(ch);
    flow.atLineStart = false;
  }
  return out;
}

std::string LogStamp(long long msecsOfDay) {
  const long long ms = msecsOfDay < 0 ? 0 : msecsOfDay;
  char text[32];
  std::snprintf(text, sizeof text, "[%02lld:%02lld:%02lld.%03lld] ", ms / 3600000 % 24,
                ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
  return text;
}
