// A folder whose disk is full, for tests of what a failed save leaves behind.
//
// As root (CI) it is a tmpfs of a few KB mounted for the test, so writes fail with ENOSPC as
// on a real full disk. Where mounting is not allowed, the file size limit of the process
// (RLIMIT_FSIZE, with SIGXFSZ ignored) makes the kernel fail the write with EFBIG in the same
// place instead.
#pragma once

#include <sys/mount.h>
#include <sys/resource.h>

#include <QTemporaryDir>

#include <csignal>
#include <string>

class FullDisk {
 public:
  // `diskBytes`: the size of the disk (rounded up to whole pages by the kernel).
  explicit FullDisk(long diskBytes) {
    path_ = dir_.path().toStdString();
    const std::string options = "size=" + std::to_string(diskBytes);
    mounted_ = mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~FullDisk() {
    Unlimit();
    if (mounted_) umount2(path_.c_str(), MNT_DETACH);
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

  std::string PathOf(const std::string& name) const { return path_ + "/" + name; }
  bool Mounted() const { return mounted_; }

  // From now on the disk is full. Without the tmpfs, no file grows beyond `fileBytes`.
  void Fill(long fileBytes) {
    if (mounted_) return;
    getrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = static_cast<rlim_t>(fileBytes);
    setrlimit(RLIMIT_FSIZE, &limit);
    limited_ = true;
  }
  void Unlimit() {
    if (!limited_) return;
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, SIG_DFL);
    limited_ = false;
  }

 private:
  QTemporaryDir dir_;
  std::string path_;
  bool mounted_ = false;
  bool limited_ = false;
  rlimit saved_{};
};
