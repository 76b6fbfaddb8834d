// The text without the blanks, tabs and line ends around it: typed port paths, baud rates and
// line codes, and the one-line files of /sys.
#pragma once

#include <string>

inline std::string Trimmed(const std::string& text) {
  const char* blanks = " \t\r\n";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}
