#include "texts/remembered_connection.h"

#include "texts/settings.h"

namespace {
constexpr const char* kSection = "Port";
// Device paths are short; a longer value is not a path this program wrote.
constexpr size_t kCapacity = 260;
}  // namespace

RememberedConnection ReadRememberedConnection(const std::string& configPath) {
  return {ReadIniString(configPath, kSection, "Path", "", kCapacity),
          ReadIniString(configPath, kSection, "BaudRate", "", kCapacity),
          ReadIniString(configPath, kSection, "LineCode", "", kCapacity)};
}

bool WriteRememberedConnection(const std::string& configPath,
                               const RememberedConnection& connection, std::string* error) {
  return WriteIniStrings(configPath, kSection,
                         {{"Path", connection.port},
                          {"BaudRate", connection.baudRate},
                          {"LineCode", connection.lineCode}},
                         error);
}
