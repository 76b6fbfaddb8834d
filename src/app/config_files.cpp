// Configuration files from the parameters panel: a device's configuration saved through the show
// request whose reply the worker writes to the chosen file, a file opened onto the form, and
// profiles (the form itself, saved as a configuration file; a new one starts from a model's
// factory values). UI thread.
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "app/parameters_panel.h"
#include "app/title_texts.h"
#include "catalogue/config_text.h"
#include "domain/factory_config.h"
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

std::string ParametersPanel::AskFilePath(bool forSaving, const std::string& suggestedName) {
  if (hooks_.headless && hooks_.headless()) return {};
  // The folder of the last file, else the home folder.
  const QString folder = configFilePath_.empty()
                             ? QDir::homePath()
                             : QFileInfo(QString::fromStdString(configFilePath_)).path();
  const QString title = QString::fromLatin1(kProgramName);
  QString chosen;
  if (forSaving) {
    // A name typed without extension is used as typed; choosing a file that exists asks before
    // it is replaced, since the save overwrites it whole.
    const QString start = QDir(folder).filePath(QString::fromStdString(suggestedName));
    chosen = QFileDialog::getSaveFileName(&window_, title, start, FileFilter(languageValue_));
  } else {
    const QString start =
        configFilePath_.empty() ? folder : QString::fromStdString(configFilePath_);
    chosen = QFileDialog::getOpenFileName(&window_, title, start, FileFilter(languageValue_));
  }
  return chosen.toStdString();
}

void ParametersPanel::SaveToFile() {
  // "Save device…" saves what the device holds: edits not yet written would not be in it.
  if (session_.LoggedIn() && document_->Unsaved() && hooks_.confirm &&
      hooks_.confirm(LanguageText("Profile", "SaveFormInstead", ""))) {
    SaveProfile();
    return;
  }
  const std::string day = QDate::currentDate().toString("yyyyMMdd").toStdString();
  const std::string path =
      AskFilePath(true, SuggestedConfigFileName(session_.Facts().deviceTypeText, day));
  if (path.empty()) return;
  configFilePath_ = path;
  WorkJob job = MakeJob(JobKind::kSaveToFile, kFileShowCommand);
  job.filePath = configFilePath_;
  session_.Queue(job);
}

void ParametersPanel::LoadFromFile() {
  const std::string path = AskFilePath(false, "");
  if (!path.empty()) LoadFile(path);
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
  document_->Given(text, path, true);
  ScheduleChangeMarks();
  DocumentChanged();
  // The device is read back and everything the file changes is written; without a device the
  // form keeps the file until the next Write.
  if (session_.LoggedIn()) session_.Queue(MakeJob(JobKind::kLoadFromFile, kFileShowCommand));
  return true;
}

void ParametersPanel::NewProfile() {
  if (!hooks_.chooseProfileModel) return;
  if (document_->Unsaved() &&
      !(hooks_.confirm && hooks_.confirm(LanguageText("Profile", "ReplaceQuestion", ""))))
    return;
  if (const std::optional<std::string> model = hooks_.chooseProfileModel()) StartProfile(*model);
}

bool ParametersPanel::StartProfile(const std::string& name) {
  const ProfileModel* model = FindProfileModel(name);
  if (!model) return false;
  const std::string text = ComposeConfigText(FactoryConfig(*model));
  std::string reason;
  if (!logic_->LoadText(text, &reason)) {
    Log(LanguageText("onLoadFrommFile", "ReadError", "") + " " + name + ": " + reason + "\r\n");
    return false;
  }
  document_->Given(text, "", true);
  ScheduleChangeMarks();
  Log(FillText(LanguageText("Profile", "Created", ""),
               {{"model", LanguageText("Profile", std::string("Model_") + name, "")}}) +
      "\r\n");
  DocumentChanged();
  return true;
}

void ParametersPanel::SaveProfile() {
  const std::string day = QDate::currentDate().toString("yyyyMMdd").toStdString();
  const std::string current = document_->path();
  const std::string suggested =
      current.empty() ? SuggestedConfigFileName(session_.Facts().deviceTypeText, day)
                      : QFileInfo(QString::fromStdString(current)).fileName().toStdString();
  const std::string path = AskFilePath(true, suggested);
  if (!path.empty()) SaveProfileTo(path);
}

bool ParametersPanel::SaveProfileTo(const std::string& path) {
  std::string reason;
  if (!document_->SaveProfile(path, &reason)) {
    const std::string text = LanguageText("Profile", "SaveFailed", "") + " " + path + ": " + reason;
    Log(text + "\r\n");
    if (hooks_.messageBox) hooks_.messageBox(text);
    return false;
  }
  configFilePath_ = path;
  Log(LanguageText("Profile", "Saved", "") + " " + path + "\r\n");
  DocumentChanged();
  return true;
}
