// Where the program finds its skins, its help text and config.ini: beside itself when run from
// the build folder or a portable copy, in the installed share folder and the user's config
// folder otherwise.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>

#include <cerrno>
#include <cstdlib>

#include "texts/settings.h"

namespace {

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// With the rights the program writes with (effective, not real, user).
bool CanWrite(const std::string& path) {
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// The base of the user's config folders: $XDG_CONFIG_HOME when it is an absolute path (a
// relative one is to be ignored), else $HOME/.config, else the home of the account. Empty when
// there is no home at all.
std::string UserConfigHome() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  std::string home;
  if (const char* env = std::getenv("HOME"); env && env[0] == '/') {
    home = env;
  } else if (const passwd* account = ::getpwuid(::geteuid()); account && account->pw_dir) {
    home = account->pw_dir;
  }
  if (home.empty() || home[0] != '/') return std::string();
  return home + "/.config";
}

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

ProgramPaths MakeProgramPaths(std::string programDir, int languageValue) {
  programDir = WithSlash(std::move(programDir));
  ProgramPaths p;
  p.programDir = programDir;
  p.shareDir = WithSlash(
      QDir::cleanPath(QString::fromStdString(programDir + "../share/dtu-config")).toStdString());

  const std::string skin = languageValue != 0 ? "skin/ConifgRes" : "skin/ConifgENRes";
  p.skinDir = programDir + skin;
  if (!IsDirectory(p.skinDir) && IsDirectory(p.shareDir + skin)) p.skinDir = p.shareDir + skin;
  p.languagePath = p.skinDir + "/Language.ini";

  // The config.ini beside the program is kept only when rewriting it works: the file is
  // replaced through a temporary file in the same folder.
  const std::string beside = programDir + "config.ini";
  const std::string userHome = UserConfigHome();
  const bool keepBeside = IsFile(beside) && CanWrite(beside) && CanWrite(programDir);
  p.configPath = keepBeside || userHome.empty() ? beside : userHome + "/dtu-config/config.ini";
  return p;
}

std::string FindHelpFile(const ProgramPaths& paths, const std::string& workingDir) {
  const std::string candidates[] = {workingDir.empty() ? "" : WithSlash(workingDir) + "Help.txt",
                                    paths.skinDir + "/Help.txt", paths.programDir + "Help.txt",
                                    paths.shareDir + "Help.txt"};
  for (const std::string& path : candidates) {
    if (!path.empty() && IsFile(path)) return path;
  }
  return std::string();
}

bool MakeConfigFolder(const ProgramPaths& paths) {
  const size_t slash = paths.configPath.rfind('/');
  if (slash == std::string::npos || slash == 0) return true;
  const std::string folder = paths.configPath.substr(0, slash);
  // Each missing level is made in turn, readable by the user alone like other config folders.
  for (size_t next = folder.find('/', 1);; next = folder.find('/', next + 1)) {
    const std::string level = folder.substr(0, next);
    if (::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (next == std::string::npos) break;
  }
  return IsDirectory(folder);
}
