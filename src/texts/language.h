// User-visible texts, read from the language file of the chosen skin at the moment of use.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

// Sets the language file every LanguageText call reads. Call once at start-up, before any other
// thread starts.
void SetLanguageFile(const std::string& path);
const std::string& LanguageFile();

// The value of `key` in `section` of the language file (at most 199 bytes), followed by
// `suffix`. A missing file, section or key yields `suffix` alone. Any thread; reads the file on
// every call, so an edited language file takes effect without a restart.
// "{name}" placeholders of a language text replaced by values.
std::string FillText(std::string text,
                     std::initializer_list<std::pair<const char*, std::string>> values);

std::string LanguageText(const std::string& section, const std::string& key,
                         const std::string& suffix);
