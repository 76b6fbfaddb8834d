#include "app/busy_port.h"

#include "serial/port_holder.h"
#include "texts/language.h"

namespace {

std::string Filled(std::string text, const std::string& one, const std::string& two) {
  if (size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, one);
  if (size_t at = text.find("%2"); at != std::string::npos) text.replace(at, 2, two);
  return text;
}

}  // namespace

std::string BusyPortLines(const std::string& path, const std::string& procDir,
                          const std::string& udevDataDir) {
  std::string lines;
  const std::vector<PortHolder> holders = FindPortHolders(path, procDir);
  if (!holders.empty())
    lines += Filled(LanguageText("Ports", "HeldBy", ""), path, DescribeHolders(holders)) + "\r\n";
  if (ModemManagerRunning(procDir) && ModemManagerProbes(path, udevDataDir))
    lines += LanguageText("Ports", "ModemManager", "") + "\r\n" +
             LanguageText("Ports", "UdevRule", "") + "\r\n";
  return lines;
}
