// Where "read" puts each device's configuration: every file is named, and checked, before any
// port opens, so that a device is never read into a file that cannot take it or that another
// device's configuration goes to as well.
#pragma once

#include <string>
#include <vector>

// The file of each port in `dir` (ending with '/'): the port's path without "/dev/", its slashes
// as '_', ".cfg" (/dev/ttyUSB0 -> ttyUSB0.cfg, /dev/pts/3 -> pts_3.cfg). Ports whose names come
// out the same (/x/l1_x and /x/l1/x) are numbered in the byte order of their paths: x_l1_x-1.cfg,
// x_l1_x-2.cfg. False with `why` when two names still collide (a port named like another's
// numbered file); nothing is read then.
bool FilesForPorts(const std::vector<std::string>& ports, const std::string& dir,
                   std::vector<std::string>* files, std::string* why);

// Why a configuration file cannot be written at `path`, or empty when it can: its folder must
// exist and be writable, and an existing `path` must be a regular file (or a link to one), not a
// folder, a FIFO or a device.
std::string OutputFileProblem(const std::string& path);

// Why `dir` cannot take the files of a multi-port read, or empty.
std::string OutputFolderProblem(const std::string& dir);
