// What the log says about a port that cannot be opened because it is busy: who holds it, and
// ModemManager's part in it.
#pragma once

#include <string>

// Lines (each ending in "\r\n") naming the processes that hold `path` and, when ModemManager runs
// and probes such adapters, the udev rule that keeps it away. Empty when nothing is known. The
// folders exist for the tests.
std::string BusyPortLines(const std::string& path, const std::string& procDir = "/proc",
                          const std::string& udevDataDir = "/run/udev/data");
