#include "line_settings.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "trimmed.h"

bool ParseLineCode(const std::string& code, LineSettings* out) {
  std::string text = Trimmed(code);
  if (text.empty()) {
    out->dataBits = 8;
    out->parity = 'N';
    out->stopBits = 1;
    return true;
  }
  if (text.size() != 3) return false;
  char data = text[0];
  char parity = text[1];
  char stop = text[2];
  if (parity >= 'a' && parity <= 'z') parity = static_cast<char>(parity - 'a' + 'A');
  if (data < '5' || data > '8') return false;
  if (std::string("NEOMS").find(parity) == std::string::npos) return false;
  if (stop != '1' && stop != '2') return false;
  out->dataBits = data - '0';
  out->parity = parity;
  out->stopBits = stop - '0';
  return true;
}

bool ParseBaudRate(const std::string& text, int* baud) {
  std::string digits = Trimmed(text);
  if (digits.empty()) return false;
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  int value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec != std::errc() || end != digits.data() + digits.size() || value <= 0) return false;
  *baud = value;
  return true;
}

int TimeoutFactorForBaud(int baud) {
  if (baud <= 0) return 1;
  return std::max(1, 9600 / baud);
}

std::string LineDefinition(const LineSettings& settings) {
  char text[80];
  std::snprintf(text, sizeof text, "baud=%d parity=%c data=%d stop=%d", settings.baud,
                settings.parity, settings.dataBits, settings.stopBits);
  return text;
}
