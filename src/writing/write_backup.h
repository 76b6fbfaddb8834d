// No write without a way back: before the first write to a device after it was read, the
// configuration that read gave is kept as a backup (backup_store.h); when that fails, nothing is
// written. The window and the headless commands ask the same question here before each batch.
//
// One backup per read: writes accepted after a read change the device, so the reply of that read
// no longer holds what the device holds, but it still holds what the device held before the
// first of those writes. Later batches before the next read are covered by that first backup
// (restoring it undoes them all) and make none of their own; the next whole read starts anew.
#pragma once

#include <ctime>
#include <string>

#include "writing/backup_store.h"

struct BackupSettings {
  bool enabled = true;
  // The backups' folder; empty: DefaultBackupDir(), looked up at each backup.
  std::string dir;
  std::string serialById = "/dev/serial/by-id";
  size_t keep = kBackupsKept;
};

enum class BackupRefusal {
  kNone,
  kNothingRead,  // no whole configuration was read from the device since its port opened
  kNotWritten,   // the backup file could not be written
};

struct BackupStep {
  bool proceed = true;
  // A backup file was written for this batch.
  bool made = false;
  // The backup covering this batch (written now or after the read), or empty.
  std::string path;
  BackupRefusal refusal = BackupRefusal::kNone;
  // With kNotWritten: why, one line in English, and the same as parts (backup_store.h).
  std::string reason;
  BackupFault fault = BackupFault::kNone;
  std::string where;
  std::string cause;
};

class BackupBeforeWrites {
 public:
  void Configure(BackupSettings settings) { settings_ = std::move(settings); }
  const BackupSettings& Settings() const { return settings_; }
  // The port opened anew (a device may have been swapped): nothing is known of it yet.
  void PortOpened(const std::string& portPath);
  // A whole configuration was read from the device: `reply` as it sent it.
  void DeviceRead(const std::string& reply);
  // Before a batch of `writes` goes to the device: backs the last read up unless done since it.
  // `proceed` false means nothing may be sent.
  BackupStep BeforeWrites(size_t writes, std::time_t now = std::time(nullptr));
  // The last backup made since the port opened, or empty.
  const std::string& LastBackup() const { return lastBackup_; }

 private:
  BackupSettings settings_;
  std::string portPath_;
  std::string reply_;
  bool backedUp_ = false;
  std::string lastBackup_;
};

// One line saying why a batch was not written ("the configuration read from the device could
// not be backed up: ..."), in English, for the headless reports.
std::string BackupRefusalText(const BackupStep& step);
