// The backups of devices' configurations: before anything is written to a device, the
// configuration just read from it is kept as a .cfg file, so that applying that file brings the
// device back. One private folder holds them all, named
//
//   PORT__DEVICETYPE__YYYYMMDD-HHMMSS[-N].cfg
//
// PORT is the adapter's /dev/serial/by-id name when it has one (it names the same adapter
// whichever node it comes up as), else the node's name below /dev ("ttyUSB0", "pts-3"). The
// newest `keep` files of each port stay; older ones are removed after each new backup. The names
// never hold "__" themselves, so the first "__" ends the port's part.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

inline constexpr size_t kBackupsKept = 20;

struct BackupPlace {
  std::string dir;  // the backups' folder; created (private to the user) when missing
  std::string serialById = "/dev/serial/by-id";
  size_t keep = kBackupsKept;
};

// $XDG_STATE_HOME/dtu-config/backups when XDG_STATE_HOME is an absolute path (a relative one is
// ignored), else ~/.local/state/dtu-config/backups. Empty when there is no home at all.
std::string DefaultBackupDir();

// `text` as one part of a file name: letters, digits, '.', '-' and '_' stay, any other byte
// becomes '_'; runs of '_' shrink to one, and '_' or '.' at either end go. At most 80 bytes;
// "unknown" when nothing is left.
std::string FileNamePart(std::string_view text);

// The port's part of a backup's name: the name of the link in `serialById` that leads to the
// same device as `portPath` (or `portPath`'s own name when it is such a link), else the device
// node below /dev with '/' as '-'.
std::string BackupPortName(const std::string& portPath, const std::string& serialById);

// The value of the reply's "Device Type:" line, without surrounding blanks; empty without one.
std::string DeviceTypeOf(std::string_view reply);

// "PORT__TYPE__20261211-015803.cfg", with "-N" after the time for the N-th backup (N > 1)
// of a port within one second. `portName` and `deviceType` are made file-name parts.
std::string BackupFileName(const std::string& portName, const std::string& deviceType,
                           const std::tm& local, int counter);

// The port's backups in `dir`, oldest first (by the time and counter in their names); other
// files are not listed.
std::vector<std::string> ListBackups(const std::string& dir, const std::string& portName);

// Why a backup was not written.
enum class BackupFault {
  kNone,
  kNoFolder,  // no folder is named (no XDG_STATE_HOME, no home)
  kFolder,    // `where` cannot be created (`cause`: the system's reason)
  kFile,      // the file `where` cannot be written (`cause`: the system's reason)
};

struct BackupResult {
  bool ok = false;
  std::string path;   // the file written
  std::string error;  // why not, one line in English
  BackupFault fault = BackupFault::kNone;
  std::string where;
  std::string cause;
};

// Keeps `reply` (a show reply, as the device sent it) as a backup of the device at `portPath`:
// creates the folder with mode 0700 where missing, writes the file atomically with mode 0600
// (it holds the device's passwords), then removes the port's backups beyond the newest
// `place.keep`. A failure to remove an old one does not fail the backup.
BackupResult WriteBackup(const BackupPlace& place, const std::string& portPath,
                         std::string_view reply, std::time_t now);
