#include "cli/output_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

namespace {

std::string BaseName(const std::string& port) {
  std::string name = port.rfind("/dev/", 0) == 0 ? port.substr(5) : port;
  while (!name.empty() && name.front() == '/') name.erase(0, 1);
  for (char& c : name)
    if (c == '/') c = '_';
  return name;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

bool FilesForPorts(const std::vector<std::string>& ports, const std::string& dir,
                   std::vector<std::string>* files, std::string* why) {
  std::map<std::string, std::vector<size_t>> byName;
  for (size_t i = 0; i < ports.size(); ++i) byName[BaseName(ports[i])].push_back(i);
  std::vector<std::string> names(ports.size());
  for (auto& [name, indices] : byName) {
    if (indices.size() == 1) {
      names[indices.front()] = name;
      continue;
    }
    // Numbered by path, not by the order on the command line: the same ports give the same
    // files however they are listed.
    std::sort(indices.begin(), indices.end(),
              [&](size_t a, size_t b) { return ports[a] < ports[b]; });
    for (size_t n = 0; n < indices.size(); ++n)
      names[indices[n]] = name + "-" + std::to_string(n + 1);
  }
  std::map<std::string, size_t> owner;
  for (size_t i = 0; i < names.size(); ++i) {
    auto [at, fresh] = owner.emplace(names[i], i);
    if (!fresh) {
      *why = "the ports " + ports[at->second] + " and " + ports[i] + " would both be read into " +
             dir + names[i] + ".cfg";
      return false;
    }
  }
  files->clear();
  for (const std::string& name : names) files->push_back(dir + name + ".cfg");
  return true;
}

std::string OutputFileProblem(const std::string& path) {
  const std::string folder = FolderOf(path);
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0)
    return "cannot write " + path + ": its folder " + folder + ": " + std::strerror(errno);
  if (!S_ISDIR(info.st_mode)) return "cannot write " + path + ": " + folder + " is no folder";
  if (access(folder.c_str(), W_OK | X_OK) != 0)
    return "cannot write " + path + ": its folder " + folder + ": " + std::strerror(errno);
  if (stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return "cannot write " + path + ": it is a folder";
    if (!S_ISREG(info.st_mode)) return "cannot write " + path + ": not a regular file";
  }
  return {};
}

std::string OutputFolderProblem(const std::string& dir) {
  struct stat info {};
  if (stat(dir.c_str(), &info) != 0)
    return "cannot write into " + dir + ": " + std::strerror(errno);
  if (!S_ISDIR(info.st_mode)) return "cannot write into " + dir + ": it is no folder";
  if (access(dir.c_str(), W_OK | X_OK) != 0)
    return "cannot write into " + dir + ": " + std::strerror(errno);
  return {};
}
