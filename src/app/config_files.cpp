// Saving a device's configuration into a file: the save dialog, then the show request whose
// reply the worker writes to the chosen file. UI thread.
#include <QDir>
#include <QFileDialog>

#include "app/main_window.h"
#include "exchange/work_job.h"
#include "ui/skin_window.h"

namespace {
QString FileFilter(int languageValue) {
  return languageValue != 0 ? QString::fromUtf8("cfg文件(*.cfg);;所有文件(*.*)")
                            : QStringLiteral("cfg(*.cfg);;All File(*.*)");
}
}  // namespace

void CZR350FrameWnd::SaveToFile() {
  if (hooks_.headless) return;
  const QString start = QString::fromStdString(
      configFilePath_.empty() ? QDir::homePath().toStdString() + "/DTU.cfg" : configFilePath_);
  // A name typed without extension is used as typed.
  const QString chosen =
      QFileDialog::getSaveFileName(window_.get(), QString(), start, FileFilter(languageValue_),
                                   nullptr, QFileDialog::DontConfirmOverwrite);
  if (chosen.isEmpty()) return;
  configFilePath_ = chosen.toStdString();
  WorkJob job = MakeJob(kJobSaveToFile, kFileShowCommand);
  job.filePath = configFilePath_;
  session_.Queue(job);
}
