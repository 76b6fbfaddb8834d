// The language list, the help text and the version labels: what comes from the program's
// settings and its language. A switch of language is kept in config.ini and takes effect by
// restarting the program. UI thread only.
#pragma once

#include <QTimer>

#include <functional>
#include <string>

#include "texts/form.h"
#include "texts/settings.h"

class DeviceSession;

class LanguageSettings {
 public:
  struct Hooks {
    std::function<bool(const std::string& text)> confirm;
    // The form holds edits neither written nor saved, which the restart would lose.
    std::function<bool()> unsavedEdits;
    std::function<void(const std::string& text)> messageBox;
    // Starts the program anew; false when it could not.
    std::function<bool()> restart;
    // The window goes away and the program ends.
    std::function<void()> closeForRestart;
  };

  LanguageSettings(Form& form, const DeviceSession& session, const ProgramPaths& paths,
                   int languageValue, Hooks hooks);
  LanguageSettings(const LanguageSettings&) = delete;
  LanguageSettings& operator=(const LanguageSettings&) = delete;

  // Shows the running language in the list, and the help and version texts shortly after.
  void Install();
  // The help text and the version labels.
  void ShowHelpAndVersion();
  // "itemselect" of "Language".
  void SwitchLanguage();

 private:
  Form& form_;
  const DeviceSession& session_;
  const ProgramPaths& paths_;
  const int languageValue_;
  Hooks hooks_;
  QTimer helpTimer_;
};
