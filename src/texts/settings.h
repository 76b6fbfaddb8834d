// Settings kept between runs (config.ini) and the paths the program finds its files at.
#pragma once

#include <string>
#include <utility>
#include <vector>

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

// Writes several keys of one section in a single atomic replacement of the file, as
// WriteIniString does for one. `*error` (when given) says why it failed.
bool WriteIniStrings(const std::string& path, const std::string& section,
                     const std::vector<std::pair<std::string, std::string>>& values,
                     std::string* error);

// The language value of a settings file: "Set"/"Language" read as a decimal number (leading
// digits only; anything else, a missing key or file gives 0). 0 is English, anything else Chinese.
int ReadLanguageValue(const std::string& configPath);

struct ProgramPaths {
  std::string programDir;    // ends with '/'
  std::string shareDir;      // programDir + "../share/dtu-config/", cleaned, ends with '/'
  std::string configPath;    // programDir + "config.ini", or the user's config folder's one
  std::string skinDir;       // (programDir or shareDir) + "skin/ConifgENRes" or "skin/ConifgRes"
  std::string languagePath;  // skinDir + "/Language.ini"
};

// Derives every path from the program directory and the language value, looking at the disk:
// - the skin folder of the language beside the program when it is there (the build folder and
//   portable copies), else the one under shareDir (an installed program), else the one beside
//   the program again, so that a missing skin is reported where it was first looked for;
// - config.ini beside the program when it is already there and both it and its folder can be
//   written; otherwise $XDG_CONFIG_HOME/dtu-config/config.ini ($HOME/.config when
//   XDG_CONFIG_HOME is unset, empty or relative).
ProgramPaths MakeProgramPaths(std::string programDir, int languageValue);

// The help text shown at start: the first Help.txt found in the working directory, the skin
// folder, beside the program and in shareDir. Empty when there is none.
std::string FindHelpFile(const ProgramPaths& paths, const std::string& workingDir);

// Creates the folder that holds paths.configPath when it is missing (new folders private to the
// user), so that the language switch can write the file. False when it cannot be made.
bool MakeConfigFolder(const ProgramPaths& paths);
