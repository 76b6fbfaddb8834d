// Settings kept between runs (config.ini beside the program) and the paths derived from them.
#pragma once

#include <string>

// Reads key `key` of section `section` of an INI file the way the program always has: names are
// case-insensitive, the value is cut to `capacity - 1` bytes, and a missing file, section or key
// gives `fallback`.
std::string ReadIniString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& fallback, size_t capacity);

// Writes `value` under `section`/`key`, creating the file and the section when missing and
// keeping every other line as it was. The file is replaced atomically (WriteFileAtomically): a
// failed write (a full disk) leaves the previous file as it was. False when it cannot be written.
bool WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value);

// The language value of a settings file: "Set"/"Language" read as a decimal number (leading
// digits only; anything else, a missing key or file gives 0). 0 is English, anything else Chinese.
int ReadLanguageValue(const std::string& configPath);

struct ProgramPaths {
  std::string programDir;    // ends with '/'
  std::string configPath;    // programDir + "config.ini"
  std::string skinDir;       // programDir + "skin/ConifgENRes" or "skin/ConifgRes", no trailing '/'
  std::string languagePath;  // skinDir + "/Language.ini"
};

// Derives every path from the program directory and the language value.
ProgramPaths MakeProgramPaths(std::string programDir, int languageValue);
