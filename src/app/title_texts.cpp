#include "app/title_texts.h"

#include "texts/language.h"

#include <cstdio>

std::string VersionLabelText(int languageValue, const std::string& customVersion) {
  const char* tool = languageValue != 0 ? "配置工具 " : "ConfigureTool ";
  return std::string(kProductName) + tool + kProductVersion + customVersion;
}

std::string VersionDateText(int languageValue) {
  char text[64];
  if (languageValue != 0) {
    std::snprintf(text, sizeof text, "%04d年%02d月%02d日 %s", 2021, 3, 26, kProductVersion);
  } else {
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %s", 2021, 3, 26, kProductVersion);
  }
  return text;
}

std::string WindowTitleText(const std::string& deviceType, const std::string& port,
                            const std::string& document, bool unsaved) {
  std::string shown = deviceType;
  if (!port.empty()) shown += shown.empty() ? port : " (" + port + ")";
  std::string title = shown.empty() ? std::string(kProgramName) : shown + " \u2014 " + kProgramName;
  if (!document.empty() || unsaved) title = document + (unsaved ? "*" : "") + " \u2014 " + title;
  return title;
}

std::string DocumentName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DocumentCaptionText(const std::string& document, bool unsaved) {
  std::string text = document.empty()
                         ? LanguageText("Profile", "Untitled", "")
                         : FillText(LanguageText("Profile", "Caption", ""), {{"file", document}});
  if (unsaved) text += " " + LanguageText("Profile", "UnsavedMark", "");
  return text;
}
