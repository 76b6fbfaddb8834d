#include "app/language_settings.h"

#include <QDir>

#include <fstream>

#include "app/confirmations.h"
#include "app/title_texts.h"
#include "session/device_session.h"
#include "texts/language.h"

LanguageSettings::LanguageSettings(Form& form, const DeviceSession& session,
                                   const ProgramPaths& paths, int languageValue, Hooks hooks)
    : form_(form),
      session_(session),
      paths_(paths),
      languageValue_(languageValue),
      hooks_(std::move(hooks)) {
  helpTimer_.setSingleShot(true);
  QObject::connect(&helpTimer_, &QTimer::timeout, [this] { ShowHelpAndVersion(); });
}

void LanguageSettings::Install() {
  if (ComboControl* language = form_.FindCombo("Language"))
    language->SelectItem(languageValue_ != 0);
  helpTimer_.start(100);
}

void LanguageSettings::ShowHelpAndVersion() {
  helpTimer_.stop();
  if (RichEditControl* help = form_.FindRichEdit("HelpRichEdit")) {
    // The working directory's Help.txt first, as it always has been; then the installed ones.
    const std::string path = FindHelpFile(paths_, QDir::currentPath().toStdString());
    std::ifstream in(path, std::ios::binary);
    if (in) {
      std::string text(9999, '\0');
      in.read(text.data(), static_cast<std::streamsize>(text.size()));
      text.resize(static_cast<size_t>(in.gcount()));
      help->AppendText(text);
    } else {
      help->AppendText(LanguageText("InitValue", "Text", "\r\n"));
    }
  }
  if (Control* ver = form_.Find("Ver")) {
    const std::string custom = ReadIniString(paths_.configPath, "CustomVer", "CustomVer", "", 260);
    ver->SetText(VersionLabelText(languageValue_, custom));
  }
  if (Control* verDown = form_.Find("VerDown")) verDown->SetText(VersionDateText(languageValue_));
  if (Control* logo = form_.Find("Logo_Container")) logo->SetVisible(false);
}

void LanguageSettings::SwitchLanguage() {
  ComboControl* language = form_.FindCombo("Language");
  if (!language) return;
  const int index = language->CurSel();
  // Any value but 0 means Chinese, so choosing Chinese under a value of 2 changes nothing.
  if (index < 0 || index == languageValue_ || (index != 0 && languageValue_ != 0)) return;
  // The restart closes the connection; the list shows the running language again when the
  // switch does not happen.
  const int running = languageValue_ != 0 ? 1 : 0;
  if (session_.IsOpen() &&
      !(hooks_.confirm && hooks_.confirm(LanguageSwitchQuestion(session_.PortPath())))) {
    language->SelectItem(running);
    return;
  }
  if (hooks_.unsavedEdits && hooks_.unsavedEdits() &&
      !(hooks_.confirm && hooks_.confirm(LanguageText("Profile", "SwitchQuestion", "")))) {
    language->SelectItem(running);
    return;
  }
  if (!WriteIniString(paths_.configPath, "Set", "Language", std::to_string(index))) {
    language->SelectItem(running);
    if (hooks_.messageBox)
      hooks_.messageBox(LanguageText("Everyday", "SwitchWriteError", "") + ": " +
                        paths_.configPath);
    return;
  }
  if (hooks_.restart && !hooks_.restart()) {
    // The choice is stored for the next start; this run goes on as it was.
    language->SelectItem(running);
    if (hooks_.messageBox) hooks_.messageBox(LanguageText("Everyday", "RestartFailed", ""));
    return;
  }
  if (hooks_.closeForRestart) hooks_.closeForRestart();
}
