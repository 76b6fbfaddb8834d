#include "writing/backup_store.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <tuple>

#include "writing/config_file.h"

namespace {

constexpr size_t kPartMaxBytes = 80;
constexpr std::string_view kSeparator = "__";
constexpr std::string_view kExtension = ".cfg";
// "20261211-015803"
constexpr size_t kStampBytes = 15;

std::string Canonical(const std::string& path) {
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) != nullptr) return resolved;
  return path;
}

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct ParsedName {
  std::string stamp;
  int counter = 1;
};

// The time and counter of a backup of `portName`, or false for any other file.
bool ParseBackupName(const std::string& name, const std::string& portName, ParsedName* parsed) {
  const std::string prefix = portName + std::string(kSeparator);
  if (name.size() <= prefix.size() + kExtension.size() || name.compare(0, prefix.size(), prefix))
    return false;
  if (name.compare(name.size() - kExtension.size(), kExtension.size(), kExtension) != 0)
    return false;
  const std::string_view rest(name.data() + prefix.size(),
                              name.size() - prefix.size() - kExtension.size());
  const size_t last = rest.rfind(kSeparator);
  // The device type between the two separators is never empty and holds no separator.
  if (last == std::string_view::npos || last == 0 ||
      rest.substr(0, last).find(kSeparator) != std::string_view::npos)
    return false;
  const std::string_view time = rest.substr(last + kSeparator.size());
  if (time.size() < kStampBytes || time[8] != '-' || !AllDigits(time.substr(0, 8)) ||
      !AllDigits(time.substr(9, 6)))
    return false;
  parsed->stamp = std::string(time.substr(0, kStampBytes));
  parsed->counter = 1;
  if (time.size() > kStampBytes) {
    const std::string_view counter = time.substr(kStampBytes + 1);
    if (time[kStampBytes] != '-' || !AllDigits(counter) || counter.size() > 6) return false;
    parsed->counter = std::atoi(std::string(counter).c_str());
  }
  return true;
}

struct Listed {
  ParsedName parsed;
  std::string name;
};

std::vector<Listed> ListParsed(const std::string& dir, const std::string& portName) {
  std::vector<Listed> found;
  DIR* folder = opendir(dir.c_str());
  if (folder == nullptr) return found;
  while (const dirent* entry = readdir(folder)) {
    Listed item;
    item.name = entry->d_name;
    if (ParseBackupName(item.name, portName, &item.parsed)) found.push_back(std::move(item));
  }
  closedir(folder);
  std::sort(found.begin(), found.end(), [](const Listed& a, const Listed& b) {
    return std::tie(a.parsed.stamp, a.parsed.counter, a.name) <
           std::tie(b.parsed.stamp, b.parsed.counter, b.name);
  });
  return found;
}

std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

// Creates every missing folder of `dir` with mode 0700: the backups hold passwords.
bool MakePrivateFolders(const std::string& dir, BackupResult* result) {
  size_t at = 0;
  while (at != std::string::npos) {
    at = dir.find('/', at + 1);
    const std::string part = dir.substr(0, at);
    if (part.empty() || part == "/") continue;
    struct stat st {};
    if (stat(part.c_str(), &st) == 0) {
      if (S_ISDIR(st.st_mode)) continue;
      result->where = part;
      result->cause = std::strerror(ENOTDIR);
      result->fault = BackupFault::kFolder;
      result->error = "cannot create the folder " + dir + ": " + part + " is not a folder";
      return false;
    }
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      result->where = part;
      result->cause = std::strerror(errno);
      result->fault = BackupFault::kFolder;
      result->error = "cannot create the folder " + part + ": " + result->cause;
      return false;
    }
  }
  return true;
}

}  // namespace

std::string DefaultBackupDir() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    std::string home;
    if (const char* env = std::getenv("HOME"); env && env[0] == '/') {
      home = env;
    } else if (const passwd* account = getpwuid(geteuid()); account && account->pw_dir) {
      home = account->pw_dir;
    }
    if (home.empty() || home[0] != '/') return {};
    base = WithSlash(home) + ".local/state";
  }
  return WithSlash(base) + "dtu-config/backups";
}

std::string FileNamePart(std::string_view text) {
  std::string part;
  for (const char c : text) {
    const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '.' || c == '-';
    if (kept) {
      part += c;
    } else if (part.empty() || part.back() != '_') {
      part += '_';
    }
  }
  const size_t first = part.find_first_not_of("_.");
  if (first == std::string::npos) return "unknown";
  part = part.substr(first, part.find_last_not_of("_.") - first + 1);
  if (part.size() > kPartMaxBytes) {
    part.resize(kPartMaxBytes);
    while (!part.empty() && (part.back() == '_' || part.back() == '.')) part.pop_back();
  }
  return part;
}

std::string BackupPortName(const std::string& portPath, const std::string& serialById) {
  const std::string byIdPrefix = WithSlash(serialById);
  if (!byIdPrefix.empty() && portPath.compare(0, byIdPrefix.size(), byIdPrefix) == 0 &&
      portPath.find('/', byIdPrefix.size()) == std::string::npos) {
    return FileNamePart(portPath.substr(byIdPrefix.size()));
  }
  const std::string device = Canonical(portPath);
  if (DIR* folder = opendir(serialById.c_str())) {
    std::vector<std::string> links;
    while (const dirent* entry = readdir(folder)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      if (Canonical(byIdPrefix + name) == device) links.push_back(name);
    }
    closedir(folder);
    // One adapter with several links (one per interface) is named the same way every time.
    if (!links.empty()) return FileNamePart(*std::min_element(links.begin(), links.end()));
  }
  std::string node = device;
  if (node.compare(0, 5, "/dev/") == 0) node.erase(0, 5);
  while (!node.empty() && node.front() == '/') node.erase(0, 1);
  std::replace(node.begin(), node.end(), '/', '-');
  return FileNamePart(node);
}

std::string DeviceTypeOf(std::string_view reply) {
  constexpr std::string_view kLabel = "Device Type:";
  size_t at = 0;
  while ((at = reply.find(kLabel, at)) != std::string_view::npos) {
    if (at == 0 || reply[at - 1] == '\n') break;
    at += kLabel.size();
  }
  if (at == std::string_view::npos) return {};
  const size_t start = at + kLabel.size();
  size_t end = reply.find_first_of("\r\n", start);
  if (end == std::string_view::npos) end = reply.size();
  std::string_view value = reply.substr(start, end - start);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  return std::string(value);
}

std::string BackupFileName(const std::string& portName, const std::string& deviceType,
                           const std::tm& local, int counter) {
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string name = FileNamePart(portName) + std::string(kSeparator) + FileNamePart(deviceType) +
                     std::string(kSeparator) + stamp;
  if (counter > 1) name += "-" + std::to_string(counter);
  return name + std::string(kExtension);
}

std::vector<std::string> ListBackups(const std::string& dir, const std::string& portName) {
  std::vector<std::string> names;
  for (const Listed& item : ListParsed(dir, FileNamePart(portName))) names.push_back(item.name);
  return names;
}

BackupResult WriteBackup(const BackupPlace& place, const std::string& portPath,
                         std::string_view reply, std::time_t now) {
  BackupResult result;
  if (place.dir.empty()) {
    result.fault = BackupFault::kNoFolder;
    result.error = "no folder for backups (neither XDG_STATE_HOME nor HOME names one)";
    return result;
  }
  if (!MakePrivateFolders(place.dir, &result)) return result;
  const std::string portName = BackupPortName(portPath, place.serialById);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  // A second backup of the port within the same second comes after the first one.
  int counter = 1;
  for (const Listed& item : ListParsed(place.dir, portName)) {
    if (item.parsed.stamp == stamp) counter = std::max(counter, item.parsed.counter + 1);
  }
  const std::string type = DeviceTypeOf(reply);
  std::string path;
  for (;; ++counter) {
    path = WithSlash(place.dir) + BackupFileName(portName, type, local, counter);
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) break;
  }
  std::string error;
  if (!WriteConfigFileTo(path, reply, &error, 0600)) {
    result.fault = BackupFault::kFile;
    result.where = path;
    result.cause = error;
    result.error = "cannot write " + path + ": " + error;
    return result;
  }
  result.ok = true;
  result.path = path;
  const std::vector<Listed> kept = ListParsed(place.dir, portName);
  if (kept.size() > place.keep) {
    for (size_t i = 0; i + place.keep < kept.size(); ++i) {
      const std::string old = WithSlash(place.dir) + kept[i].name;
      if (old != path) unlink(old.c_str());
    }
  }
  return result;
}
