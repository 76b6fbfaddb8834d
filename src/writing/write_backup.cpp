#include "writing/write_backup.h"

void BackupBeforeWrites::PortOpened(const std::string& portPath) {
  portPath_ = portPath;
  reply_.clear();
  backedUp_ = false;
  lastBackup_.clear();
}

void BackupBeforeWrites::DeviceRead(const std::string& reply) {
  reply_ = reply;
  backedUp_ = false;
}

BackupStep BackupBeforeWrites::BeforeWrites(size_t writes, std::time_t now) {
  BackupStep step;
  if (writes == 0 || !settings_.enabled) return step;
  if (backedUp_) {
    step.path = lastBackup_;
    return step;
  }
  step.proceed = false;
  if (reply_.empty()) {
    step.refusal = BackupRefusal::kNothingRead;
    return step;
  }
  BackupPlace place;
  place.dir = settings_.dir.empty() ? DefaultBackupDir() : settings_.dir;
  place.serialById = settings_.serialById;
  place.keep = settings_.keep;
  const BackupResult result = WriteBackup(place, portPath_, reply_, now);
  if (!result.ok) {
    step.refusal = BackupRefusal::kNotWritten;
    step.reason = result.error;
    step.fault = result.fault;
    step.where = result.where;
    step.cause = result.cause;
    return step;
  }
  backedUp_ = true;
  lastBackup_ = result.path;
  step.proceed = true;
  step.made = true;
  step.path = result.path;
  return step;
}

std::string BackupRefusalText(const BackupStep& step) {
  switch (step.refusal) {
    case BackupRefusal::kNone:
      return {};
    case BackupRefusal::kNothingRead:
      return "no whole configuration was read from the device to back up; nothing was written";
    case BackupRefusal::kNotWritten:
      return "the configuration read from the device could not be backed up (" + step.reason +
             "); nothing was written";
  }
  return {};
}
