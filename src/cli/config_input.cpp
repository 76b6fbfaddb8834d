#include "cli/config_input.h"

#include "catalogue/config_acceptance.h"
#include "writing/config_file.h"

bool ReadWholeConfigFile(const std::string& command, const std::string& path,
                         const std::string& consequence, std::ostream& err, std::string* text) {
  std::string reason;
  if (!ReadConfigFileFrom(path, text, &reason)) {
    err << command << ": cannot read " << path << ": " << reason << "\n";
    return false;
  }
  // A file that lacks rows or holds damaged ones would show, compare or write empty or cut
  // values.
  if (!AcceptConfigText(*text, &reason)) {
    err << command << ": " << path << ": " << reason << consequence << "\n";
    return false;
  }
  return true;
}
