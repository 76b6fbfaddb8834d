#include "texts/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

bool Fail(std::string* error, const std::string& reason) {
  if (error != nullptr) *error = reason;
  return false;
}

bool FailErrno(std::string* error, int code) {
  return Fail(error, std::strerror(code));
}

// The file a save replaces: the target of a symbolic link, so that the link stays a link.
std::string ResolveTarget(const std::string& path) {
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) != nullptr) return resolved;
  return path;
}

// Creates a temporary file in the target's folder (a rename only replaces atomically within one
// file system). The mode goes through the umask like any new file's.
int CreateTemporary(const std::string& target, unsigned mode, std::string* tempPath, int* code) {
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    *tempPath = target + ".~" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    const int fd =
        open(tempPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
    if (fd >= 0 || errno != EEXIST) {
      *code = errno;
      return fd;
    }
  }
  *code = EEXIST;
  return -1;
}

bool WriteAll(int fd, std::string_view bytes, int* code) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      *code = errno;
      return false;
    }
    if (written == 0) {
      *code = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// The rename is durable only once the folder's entry is on the disk; a failure here leaves the
// new file in place, which is still a complete one, so it is not reported.
void SyncFolderOf(const std::string& target) {
  const size_t slash = target.rfind('/');
  const std::string folder =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         unsigned mode) {
  if (path.empty()) return FailErrno(error, ENOENT);
  const std::string target = ResolveTarget(path);
  struct stat existing {};
  const bool exists = stat(target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return Fail(error, "not a regular file");

  std::string tempPath;
  int code = 0;
  const int fd = CreateTemporary(target, mode, &tempPath, &code);
  if (fd < 0) return FailErrno(error, code);

  bool ok = true;
  // The replaced file's permissions carry over (the new file would otherwise get the umask's).
  if (exists) (void)fchmod(fd, existing.st_mode & 07777);
  if (!WriteAll(fd, bytes, &code)) ok = false;
  if (ok && fsync(fd) != 0) {
    code = errno;
    ok = false;
  }
  if (close(fd) != 0 && ok) {
    code = errno;
    ok = false;
  }
  if (ok && rename(tempPath.c_str(), target.c_str()) != 0) {
    code = errno;
    ok = false;
  }
  if (!ok) {
    unlink(tempPath.c_str());
    return FailErrno(error, code);
  }
  SyncFolderOf(target);
  return true;
}
