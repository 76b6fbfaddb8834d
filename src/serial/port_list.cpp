#include "port_list.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

#include "trimmed.h"

namespace fs = std::filesystem;

namespace {

const char kSeparator[] = " \xE2\x80\x94 ";  // " — "

std::string FirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  if (!in || !std::getline(in, line)) return {};
  return Trimmed(line);
}

// The USB device a tty belongs to names its maker and product; it sits one to three levels above
// the tty's own device (port, interface, device).
std::string SysfsDescription(const fs::path& ttyEntry) {
  std::error_code ec;
  fs::path device = fs::canonical(ttyEntry / "device", ec);
  if (ec) return {};
  for (int level = 0; level < 4 && device.has_relative_path(); ++level) {
    std::string product = FirstLine(device / "product");
    if (!product.empty()) {
      std::string maker = FirstLine(device / "manufacturer");
      if (maker.empty() || product.compare(0, maker.size(), maker) == 0) return product;
      return maker + " " + product;
    }
    device = device.parent_path();
  }
  return {};
}

// "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0" -> "FTDI FT232R USB UART A50285BI".
std::string ByIdDescription(const std::string& linkName) {
  std::string text = linkName;
  if (text.compare(0, 4, "usb-") == 0) text.erase(0, 4);
  size_t interface = text.rfind("-if");
  if (interface != std::string::npos && interface > 0) text.erase(interface);
  std::replace(text.begin(), text.end(), '_', ' ');
  return Trimmed(text);
}

// The kernel creates ttyS0 to ttyS3 (or more) whether or not a UART exists; those without one
// report the port type 0 (unknown).
bool IsUnusedLegacyPort(const fs::path& ttyEntry, const std::string& name) {
  if (name.compare(0, 4, "ttyS") != 0) return false;
  return FirstLine(ttyEntry / "type") == "0";
}

using SortKeyType = std::tuple<bool, std::string, long, std::string>;

// "ttyUSB10" -> (builtIn, "ttyUSB", 10, name) so that adapters come first and ttyUSB2 sorts
// before ttyUSB10.
SortKeyType SortKey(const std::string& name, bool usb) {
  size_t digits = name.find_last_not_of("0123456789") + 1;
  long number = -1;
  if (digits < name.size() && name.size() - digits < 9) number = std::stol(name.substr(digits));
  return {!usb, name.substr(0, digits), number, name};
}

bool IsUsbName(const std::string& name) {
  return name.compare(0, 6, "ttyUSB") == 0 || name.compare(0, 6, "ttyACM") == 0;
}

bool IsUsbDevice(const fs::path& ttyEntry) {
  std::error_code ec;
  const fs::path device = fs::canonical(ttyEntry / "device", ec);
  return !ec && device.string().find("/usb") != std::string::npos;
}

// The node's status-change time: udev creates (and chmods) it when the adapter is plugged in.
long long NodeTime(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return 0;
  return static_cast<long long>(info.st_ctim.tv_sec) * 1000000000LL + info.st_ctim.tv_nsec;
}

struct Found {
  std::string description;
  bool usb = false;
  std::string byId;
};

}  // namespace

std::vector<PortInfo> ListSerialPorts(const std::string& serialById, const std::string& sysClassTty,
                                      const std::string& devDir) {
  std::map<std::string, Found> found;  // by device name
  std::error_code ec;

  for (fs::directory_iterator it(sysClassTty, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path entry = it->path();
    const std::string name = entry.filename().string();
    std::error_code linkError;
    // Virtual consoles, ptys and the like have no device behind them.
    if (!fs::exists(entry / "device", linkError)) continue;
    if (IsUnusedLegacyPort(entry, name)) continue;
    found[name] = Found{SysfsDescription(entry), IsUsbName(name) || IsUsbDevice(entry), {}};
  }

  ec.clear();
  for (fs::directory_iterator it(serialById, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code linkError;
    fs::path target = fs::read_symlink(it->path(), linkError);
    if (linkError) continue;
    if (target.is_relative()) target = it->path().parent_path() / target;
    const std::string name = target.lexically_normal().filename().string();
    if (name.empty()) continue;
    Found& port = found[name];
    if (port.description.empty())
      port.description = ByIdDescription(it->path().filename().string());
    port.usb = true;
    // Several links (one per interface name) may lead to one node; the first in name order is
    // stable across plugging.
    const std::string link = it->path().string();
    if (port.byId.empty() || link < port.byId) port.byId = link;
  }

  std::vector<std::pair<SortKeyType, PortInfo>> sorted;
  for (const auto& [name, port] : found) {
    std::string path = devDir + "/" + name;
    std::error_code nodeError;
    // sysfs also shows devices that this system (a container, say) has no node for.
    if (!fs::exists(path, nodeError)) continue;
    const bool usb = port.usb || IsUsbName(name);
    sorted.push_back(
        {SortKey(name, usb), PortInfo{path, port.description, usb, NodeTime(path), port.byId}});
  }
  std::sort(sorted.begin(), sorted.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<PortInfo> ports;
  for (auto& entry : sorted) ports.push_back(std::move(entry.second));
  return ports;
}

std::string PortDisplayText(const PortInfo& port) {
  if (port.description.empty()) return port.path;
  return port.path + kSeparator + port.description;
}

std::string PortPathFromDisplayText(const std::string& text) {
  std::string path = text;
  size_t separator = path.find(kSeparator);
  if (separator != std::string::npos) path.erase(separator);
  path = Trimmed(path);
  if (!path.empty() && path.find('/') == std::string::npos) path = "/dev/" + path;
  return path;
}
