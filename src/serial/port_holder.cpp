#include "port_holder.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "trimmed.h"

namespace fs = std::filesystem;

namespace {

bool IsPid(const std::string& name) {
  return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

std::string CommandName(const fs::path& processDir) {
  std::ifstream in(processDir / "comm");
  std::string name;
  std::getline(in, name);
  return Trimmed(name);
}

// The device number a path leads to; false when it is no device node.
bool DeviceNumber(const std::string& path, dev_t* device) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return false;
  if (!S_ISCHR(info.st_mode)) return false;
  *device = info.st_rdev;
  return true;
}

}  // namespace

std::vector<PortHolder> FindPortHolders(const std::string& devicePath, const std::string& procDir) {
  std::vector<PortHolder> holders;
  std::error_code ec;
  const fs::path target = fs::canonical(devicePath, ec);
  if (ec) return holders;
  dev_t device = 0;
  const bool isDevice = DeviceNumber(target.string(), &device);

  for (fs::directory_iterator it(procDir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string pidText = it->path().filename().string();
    if (!IsPid(pidText)) continue;
    bool holds = false;
    std::error_code fdError;
    for (fs::directory_iterator fd(it->path() / "fd", fdError), fdEnd; !fdError && fd != fdEnd;
         fd.increment(fdError)) {
      std::error_code linkError;
      const fs::path link = fs::read_symlink(fd->path(), linkError);
      if (linkError) continue;
      if (link == target) {
        holds = true;
      } else if (isDevice && link.string().compare(0, 5, "/dev/") == 0) {
        // The same device under another node name (a second node made with mknod, say).
        dev_t other = 0;
        holds = DeviceNumber(link.string(), &other) && other == device;
      }
      if (holds) break;
    }
    if (holds) holders.push_back({std::atoi(pidText.c_str()), CommandName(it->path())});
  }
  std::sort(holders.begin(), holders.end(),
            [](const PortHolder& a, const PortHolder& b) { return a.pid < b.pid; });
  return holders;
}

bool ModemManagerRunning(const std::string& procDir) {
  std::error_code ec;
  for (fs::directory_iterator it(procDir, ec), end; !ec && it != end; it.increment(ec)) {
    if (IsPid(it->path().filename().string()) && CommandName(it->path()) == "ModemManager")
      return true;
  }
  return false;
}

bool ModemManagerProbes(const std::string& devicePath, const std::string& udevDataDir) {
  std::error_code ec;
  const fs::path target = fs::canonical(devicePath, ec);
  if (ec) return false;
  auto adapterName = [](const std::string& name) {
    return name.compare(0, 6, "ttyUSB") == 0 || name.compare(0, 6, "ttyACM") == 0;
  };
  if (!adapterName(target.filename().string()) &&
      !adapterName(fs::path(devicePath).filename().string()))
    return false;
  dev_t device = 0;
  if (!DeviceNumber(target.string(), &device)) return true;
  std::ifstream in(fs::path(udevDataDir) /
                   ("c" + std::to_string(major(device)) + ":" + std::to_string(minor(device))));
  std::string line;
  while (std::getline(in, line)) {
    if (Trimmed(line) == "E:ID_MM_DEVICE_IGNORE=1") return false;
  }
  return true;
}

std::string DescribeHolders(const std::vector<PortHolder>& holders) {
  std::string text;
  for (const PortHolder& holder : holders) {
    if (!text.empty()) text += ", ";
    text += (holder.name.empty() ? std::string("?") : holder.name) + " (pid " +
            std::to_string(holder.pid) + ")";
  }
  return text;
}
