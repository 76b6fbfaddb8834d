// Saving a device's configuration into a file: the save dialog, then the show request whose
// reply the worker writes to the chosen file. UI thread.
#include <QDir>
#include <QFileDialog>

#include "app/main_window.h"
#include "exchange/enqueue_job.h"
#include "exchange/work_job.h"
#include "ui/skin_window.h"

namespace {
QString FileFilter(int languageValue) {
  return languageValue != 0 ? QString::fromUtf8("cfg文件(*.cfg);;所有文件(*.*)")
                            : QStringLiteral("cfg(*.cfg);;All File(*.*)");
}
}  // namespace

void CZR350FrameWnd::SaveToFile() {
  if (headless) return;
  const QString start = QString::fromStdString(
      configFilePath.empty() ? QDir::homePath().toStdString() + "/DTU.cfg" : configFilePath);
  // A name typed without extension is used as typed.
  const QString chosen =
      QFileDialog::getSaveFileName(window_.get(), QString(), start, FileFilter(languageValue),
                                   nullptr, QFileDialog::DontConfirmOverwrite);
  if (chosen.isEmpty()) return;
  configFilePath = chosen.toStdString();
  WorkJob job;
  job.kind = kJobSaveToFile;
  job.command = std::string(kFileShowCommand);
  job.filePath = configFilePath;
  EnqueueJob(exchange, *this, job);
}
