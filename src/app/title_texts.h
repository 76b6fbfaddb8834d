// The version and date texts of the caption bar, in the language of the skin.
#pragma once

#include <string>

constexpr const char kProductName[] = "DTU";
constexpr const char kProductVersion[] = "V1.9.2";
// What the desktop, the dialogs and stderr call this program.
constexpr const char kProgramName[] = "dtu-config";

// The window's title for the desktop: the profile file with a star for unsaved edits, the
// device's type and port when known, then the program ("fleet.cfg* — ZR350 (/dev/ttyUSB0) —
// dtu-config", "/dev/ttyUSB0 — dtu-config", "dtu-config").
std::string WindowTitleText(const std::string& deviceType, const std::string& port,
                            const std::string& document = "", bool unsaved = false);

// The file name of a document's path; empty for none.
std::string DocumentName(const std::string& path);
// The caption's document line in the user's language: "Profile: fleet.cfg", "New profile, not
// saved", followed by the unsaved-edits mark.
std::string DocumentCaptionText(const std::string& document, bool unsaved);

// "DTUConfigureTool V1.9.2" (English, language value 0) or "DTU配置工具 V1.9.2", followed by the
// "CustomVer" text of the settings file.
std::string VersionLabelText(int languageValue, const std::string& customVersion);
// "2021/03/26 V1.9.2" or "2021年03月26日 V1.9.2".
std::string VersionDateText(int languageValue);
