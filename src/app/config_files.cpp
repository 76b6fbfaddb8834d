// Saving a device's configuration into a file: the save dialog, then the show request whose
// reply the worker writes to the chosen file. UI thread.
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "app/parameters_panel.h"
#include "app/title_texts.h"
#include "session/device_session.h"
#include "texts/language.h"
#include "ui/skin_window.h"
#include "writing/config_file.h"
#include "writing/work_job.h"

namespace {
QString FileFilter(int languageValue) {
  return languageValue != 0 ? QString::fromUtf8("cfg文件(*.cfg);;所有文件(*.*)")
                            : QStringLiteral("cfg(*.cfg);;All File(*.*)");
}
}  // namespace

void ParametersPanel::SaveToFile() {
  if (hooks_.headless && hooks_.headless()) return;
  // The folder of the last file, else the home folder; a name after the device and the day.
  const QString folder = configFilePath_.empty()
                             ? QDir::homePath()
                             : QFileInfo(QString::fromStdString(configFilePath_)).path();
  const std::string name = SuggestedConfigFileName(
      session_.Facts().deviceTypeText, QDate::currentDate().toString("yyyyMMdd").toStdString());
  const QString start = QDir(folder).filePath(QString::fromStdString(name));
  // A name typed without extension is used as typed; choosing a file that exists asks before
  // it is replaced, since the save overwrites it whole.
  const QString chosen = QFileDialog::getSaveFileName(&window_, QString::fromLatin1(kProgramName),
                                                      start, FileFilter(languageValue_));
  if (chosen.isEmpty()) return;
  configFilePath_ = chosen.toStdString();
  WorkJob job = MakeJob(JobKind::kSaveToFile, kFileShowCommand);
  job.filePath = configFilePath_;
  session_.Queue(job);
}

void ParametersPanel::LoadFromFile() {
  if (hooks_.headless && hooks_.headless()) return;
  const QString start = QString::fromStdString(
      configFilePath_.empty() ? QDir::homePath().toStdString() : configFilePath_);
  const QString chosen = QFileDialog::getOpenFileName(&window_, QString::fromLatin1(kProgramName),
                                                      start, FileFilter(languageValue_));
  if (chosen.isEmpty()) return;
  LoadFile(chosen.toStdString());
}

bool ParametersPanel::LoadFile(const std::string& path) {
  configFilePath_ = path;
  std::string text;
  std::string reason;
  if (!ReadConfigFileFrom(path, &text, &reason) || !logic_->LoadText(text, &reason)) {
    Log(LanguageText("onLoadFrommFile", "ReadError", "") + " " + path + ": " + reason + "\r\n");
    return false;
  }
  Log(LanguageText("onLoadFrommFile", "Loaded", ": ") + path + "\r\n");
  // The device is read back and everything the file changes is written; without a device the
  // form keeps the file until the next Write.
  if (session_.LoggedIn()) session_.Queue(MakeJob(JobKind::kLoadFromFile, kFileShowCommand));
  return true;
}
