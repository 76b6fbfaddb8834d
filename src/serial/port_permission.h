// Why the user may not open a serial device node, and what to do about it: join the group that
// may read and write it, log in again after joining it, or (when no group gives access) have a
// udev rule give the node a group. The administrators' group "root" is never advice.
#pragma once

#include <sys/types.h>

#include <string>

struct PortPermission {
  enum class Remedy {
    kJoinGroup,   // `group` may read and write the node: join it
    kLogInAgain,  // the user is listed in `group`, but this login predates it
    kNoGroup,     // no group but root gives access (or the node is not there to look at)
  };
  Remedy remedy = Remedy::kNoGroup;
  std::string group;
};

// The decision from the node's group and mode and the user's groups: `listedInGroup` says the
// group database lists the user, `groupInProcess` that this process already has the group.
PortPermission DecidePortPermission(const std::string& groupName, mode_t mode, bool listedInGroup,
                                    bool groupInProcess);

// The same for the node at `path` and the user running the program.
PortPermission PortPermissionOf(const std::string& path);

// One English line with the remedy, naming the path.
std::string DescribePortPermission(const PortPermission& permission, const std::string& path);
