#include "serial/port_permission.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

PortPermission DecidePortPermission(const std::string& groupName, mode_t mode, bool listedInGroup,
                                    bool groupInProcess) {
  PortPermission permission;
  const bool groupMayUse = (mode & S_IRGRP) != 0 && (mode & S_IWGRP) != 0;
  if (groupName.empty() || groupName == "root" || !groupMayUse) return permission;
  permission.group = groupName;
  permission.remedy = listedInGroup && !groupInProcess ? PortPermission::Remedy::kLogInAgain
                                                       : PortPermission::Remedy::kJoinGroup;
  return permission;
}

PortPermission PortPermissionOf(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return {};
  group entry{};
  group* found = nullptr;
  std::vector<char> buffer(16384);
  if (getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
    return {};
  const std::string name = found->gr_name;

  bool listed = false;
  passwd user{};
  passwd* me = nullptr;
  std::vector<char> userBuffer(16384);
  if (getpwuid_r(getuid(), &user, userBuffer.data(), userBuffer.size(), &me) == 0 && me) {
    if (me->pw_gid == info.st_gid) listed = true;
    for (char** member = entry.gr_mem; member && *member && !listed; ++member)
      listed = std::string(*member) == me->pw_name;
  }
  bool inProcess = getegid() == info.st_gid;
  std::vector<gid_t> groups(static_cast<size_t>(std::max(getgroups(0, nullptr), 0)));
  const int count = getgroups(static_cast<int>(groups.size()), groups.data());
  for (int i = 0; i < count && !inProcess; ++i)
    inProcess = groups[static_cast<size_t>(i)] == info.st_gid;
  return DecidePortPermission(name, info.st_mode, listed, inProcess);
}

std::string DescribePortPermission(const PortPermission& permission, const std::string& path) {
  switch (permission.remedy) {
    case PortPermission::Remedy::kJoinGroup:
      return "Permission denied on " + path + ": the user is not in the group \"" +
             permission.group + "\" (sudo usermod -aG " + permission.group +
             " $USER, then log in again).";
    case PortPermission::Remedy::kLogInAgain:
      return "Permission denied on " + path + ": the user was added to the group \"" +
             permission.group + "\" after this login; log out and in again.";
    case PortPermission::Remedy::kNoGroup:
      break;
  }
  return "Permission denied on " + path +
         ": no group may read and write it. Give it one with a udev rule (see "
         "/usr/share/doc/dtu-config/README.udev), or run sudo chmod a+rw " +
         path + " until the adapter is plugged in again.";
}
