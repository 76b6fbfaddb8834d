// The real main window in a program folder of its own: a temporary folder holding a link to the
// real skins and the test's config.ini, with the language file of the chosen language.
#pragma once

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <memory>
#include <string>

#include "app/main_window.h"
#include "texts/language.h"

// Copies the real skins into `programDir`/skin, leaving out every file called `leftOut`: a
// window made there afterwards finds the copy instead of linking the real skins.
inline bool CopySkinsWithout(const std::string& programDir, const QString& leftOut) {
  const QDir source(DTU_SKIN_ROOT);
  QDirIterator files(source.path(), QDir::Files, QDirIterator::Subdirectories);
  while (files.hasNext()) {
    const QString file = files.next();
    if (QFileInfo(file).fileName() == leftOut) continue;
    const QString copy =
        QString::fromStdString(programDir + "skin/") + source.relativeFilePath(file);
    if (!QDir().mkpath(QFileInfo(copy).path()) || !QFile::copy(file, copy)) return false;
  }
  return true;
}

// Builds the window (headless: message boxes go to stderr, quitting ends nothing). Returns
// nullptr and sets `*error` when the skin cannot be loaded.
inline std::unique_ptr<CZR350FrameWnd> MakeTestWindow(const std::string& programDir, int language,
                                                      std::string* error) {
  QFile::link(DTU_SKIN_ROOT, QString::fromStdString(programDir + "skin"));
  // A config.ini beside the program keeps the window's settings (the last port, ...) there,
  // never in the user's own config folder.
  if (!QFile::exists(QString::fromStdString(programDir + "config.ini"))) {
    QFile config(QString::fromStdString(programDir + "config.ini"));
    (void)config.open(QIODevice::WriteOnly);
  }
  ProgramPaths paths = MakeProgramPaths(programDir, language);
  SetLanguageFile(paths.languagePath);
  auto window = std::make_unique<CZR350FrameWnd>(paths, language);
  window->hooks().headless = true;
  window->hooks().quit = [] {};
  if (!window->Create(error)) return nullptr;
  return window;
}
