#include "app/title_texts.h"

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

std::string WindowTitleText(const std::string& deviceType, const std::string& port) {
  std::string shown = deviceType;
  if (!port.empty()) shown += shown.empty() ? port : " (" + port + ")";
  return shown.empty() ? std::string(kProgramName) : shown + " \u2014 " + kProgramName;
}
