#include "texts/language.h"

#include "texts/settings.h"

namespace {
// Written once before any other thread starts, read by all of them afterwards.
std::string& LanguagePath() {
  static std::string path;
  return path;
}
}  // namespace

void SetLanguageFile(const std::string& path) {
  LanguagePath() = path;
}

const std::string& LanguageFile() {
  return LanguagePath();
}

std::string LanguageText(const std::string& section, const std::string& key,
                         const std::string& suffix) {
  return ReadIniString(LanguagePath(), section, key, "", 200) + suffix;
}

std::string FillText(std::string text,
                     std::initializer_list<std::pair<const char*, std::string>> values) {
  for (const auto& [name, value] : values) {
    const std::string key = std::string("{") + name + "}";
    for (size_t at = text.find(key); at != std::string::npos;
         at = text.find(key, at + value.size()))
      text.replace(at, key.size(), value);
  }
  return text;
}
