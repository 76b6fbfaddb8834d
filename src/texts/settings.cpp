#include "texts/settings.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <vector>

#include "texts/atomic_file.h"

namespace {

std::string Trim(const std::string& s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// Settings and language files are a few KB; reading stops here whatever the file's size.
constexpr size_t kMaxIniBytes = 1024 * 1024;

std::vector<std::string> ReadLines(const std::string& path, bool* exists) {
  std::vector<std::string> lines;
  // Opening a FIFO would wait for a writer, and a device never ends: only files are read.
  struct stat info {};
  *exists = stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  if (!*exists) return lines;
  std::ifstream in(path, std::ios::binary);
  *exists = static_cast<bool>(in);
  std::string bytes(std::min(static_cast<size_t>(info.st_size), kMaxIniBytes), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  std::istringstream text(bytes);
  std::string line;
  while (std::getline(text, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  // Every byte order mark in front goes: a file saved twice by a careless editor has two, and a
  // save here drops what a read skipped, so a second mark must not hide the first line.
  while (!lines.empty() && lines[0].rfind("\xEF\xBB\xBF", 0) == 0) lines[0].erase(0, 3);
  return lines;
}

// "[name]" -> name; empty optional-like result through the bool.
bool SectionName(const std::string& trimmed, std::string* name) {
  if (trimmed.size() < 2 || trimmed.front() != '[') return false;
  size_t close = trimmed.find(']');
  if (close == std::string::npos) return false;
  *name = Trim(trimmed.substr(1, close - 1));
  return true;
}

// "key = value" -> key, value (value trimmed, one pair of enclosing quotes removed).
bool KeyValue(const std::string& trimmed, std::string* key, std::string* value) {
  size_t eq = trimmed.find('=');
  if (eq == std::string::npos) return false;
  *key = Trim(trimmed.substr(0, eq));
  std::string v = Trim(trimmed.substr(eq + 1));
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  *value = v;
  return true;
}

bool IsComment(const std::string& trimmed) {
  return !trimmed.empty() && trimmed[0] == ';';
}

}  // namespace

std::string ReadIniString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& fallback, size_t capacity) {
  bool exists = false;
  std::vector<std::string> lines = ReadLines(path, &exists);
  std::string result = fallback;
  bool inSection = false;
  for (const std::string& raw : lines) {
    std::string line = Trim(raw);
    if (line.empty() || IsComment(line)) continue;
    std::string name;
    if (SectionName(line, &name)) {
      inSection = EqualsNoCase(name, section);
      continue;
    }
    std::string k;
    std::string v;
    if (inSection && KeyValue(line, &k, &v) && EqualsNoCase(k, key)) {
      result = v;
      break;
    }
  }
  if (capacity == 0) return std::string();
  if (result.size() > capacity - 1) result.resize(capacity - 1);
  return result;
}

bool WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value) {
  return WriteIniStrings(path, section, {{key, value}}, nullptr);
}

namespace {

// Sets `key` in `section` of `lines`, adding the key (and the section) where missing.
void SetIniLine(std::vector<std::string>& lines, const std::string& section, const std::string& key,
                const std::string& value) {
  bool inSection = false;
  size_t sectionEnd = std::string::npos;  // index after the last line of the wanted section
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string line = Trim(lines[i]);
    std::string name;
    if (SectionName(line, &name)) {
      if (inSection) break;
      inSection = EqualsNoCase(name, section);
      if (inSection) sectionEnd = i + 1;
      continue;
    }
    if (!inSection) continue;
    if (!line.empty()) sectionEnd = i + 1;
    std::string k;
    std::string v;
    if (!IsComment(line) && KeyValue(line, &k, &v) && EqualsNoCase(k, key)) {
      lines[i] = k + "=" + value;
      return;
    }
  }
  if (sectionEnd == std::string::npos) {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.push_back("");
    lines.push_back("[" + section + "]");
    lines.push_back(key + "=" + value);
  } else {
    lines.insert(lines.begin() + static_cast<long>(sectionEnd), key + "=" + value);
  }
}

}  // namespace

bool WriteIniStrings(const std::string& path, const std::string& section,
                     const std::vector<std::pair<std::string, std::string>>& values,
                     std::string* error) {
  bool exists = false;
  std::vector<std::string> lines = ReadLines(path, &exists);
  for (const auto& [key, value] : values) SetIniLine(lines, section, key, value);
  std::ostringstream out;
  for (const std::string& l : lines) out << l << "\r\n";
  return WriteFileAtomically(path, out.str(), error);
}

int ReadLanguageValue(const std::string& configPath) {
  const std::string text = ReadIniString(configPath, "Set", "Language", "", 20);
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    if (value > 100000000) break;  // a silly number still means "not English"
    value = value * 10 + (c - '0');
  }
  return value;
}
