// Who holds a serial port that cannot be opened because it is busy: the processes that have it
// open (as far as /proc lets this user see), and whether ModemManager is likely probing it.
#pragma once

#include <string>
#include <vector>

struct PortHolder {
  int pid = 0;
  std::string name;  // the process's command name ("minicom", "ModemManager")
};

// Every process with an open descriptor on the device `devicePath` (a link such as a by-id path
// is followed), found through the descriptor links under `procDir`/<pid>/fd. Processes of other
// users are invisible to an ordinary user and are left out. Sorted by pid.
std::vector<PortHolder> FindPortHolders(const std::string& devicePath,
                                        const std::string& procDir = "/proc");

// Whether a process named "ModemManager" runs (by the command names under `procDir`).
bool ModemManagerRunning(const std::string& procDir = "/proc");

// Whether ModemManager would probe the device: a USB adapter (ttyUSB, ttyACM) that udev has not
// marked with ID_MM_DEVICE_IGNORE=1 (its entry under `udevDataDir`, "c<major>:<minor>").
bool ModemManagerProbes(const std::string& devicePath,
                        const std::string& udevDataDir = "/run/udev/data");

// "minicom (pid 1234), screen (pid 99)".
std::string DescribeHolders(const std::vector<PortHolder>& holders);
