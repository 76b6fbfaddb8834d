// A configuration file named on a command line: read, and taken only when it is a whole
// configuration, as the window's "Open file" takes it.
#pragma once

#include <ostream>
#include <string>

// Reads `path` into `*text`. False, with one line on `err` naming the command, the file and why
// ("cannot read …", or the row at fault followed by `consequence`, e.g. "; nothing was sent"),
// when the file cannot be read or is not a whole configuration.
bool ReadWholeConfigFile(const std::string& command, const std::string& path,
                         const std::string& consequence, std::ostream& err, std::string* text);
