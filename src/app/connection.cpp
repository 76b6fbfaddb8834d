// The connection panel: the port list, "Open" toggling the connection, and a device that goes
// away while connected. UI thread only.
#include "app/busy_port.h"
#include "app/main_window.h"
#include "serial/connection_request.h"
#include "serial/port_error.h"
#include "serial/port_list.h"
#include "serial/port_permission.h"
#include "texts/language.h"

void CZR350FrameWnd::RefreshPortList() {
  portPanel_->Refresh();
}

void CZR350FrameWnd::PreselectPort(const std::string& path) {
  portPanel_->Preselect(path);
}

namespace {
// The cause of a failed opening, in the user's language where the language file has it.
// The permission hint names the group that may use the port, or says that none may.
std::string PermissionHint(const std::string& path) {
  const PortPermission permission = PortPermissionOf(path);
  const char* key = permission.remedy == PortPermission::Remedy::kJoinGroup ? "PermissionHint"
                    : permission.remedy == PortPermission::Remedy::kLogInAgain
                        ? "PermissionRelogin"
                        : "PermissionNoGroup";
  std::string text = LanguageText("OnStartCom", key, "");
  if (text.empty()) return DescribePortPermission(permission, path);
  return FillText(text, {{"group", permission.group}});
}

std::string OpenFailureHint(const OpenResult& result, const std::string& path) {
  const char* key = result.failure == OpenFailure::kBusy ? "Busy" : nullptr;
  std::string text = key ? LanguageText("OnStartCom", key, "") : std::string();
  if (result.failure == OpenFailure::kPermission) text = PermissionHint(path);
  // Who holds it, where /proc shows it, and ModemManager's part.
  if (result.failure == OpenFailure::kBusy) {
    std::string lines = BusyPortLines(path);
    if (!lines.empty()) lines.erase(lines.size() - 2);  // the caller ends the line
    if (!text.empty()) text += " (" + path + ")";
    if (!lines.empty()) text += (text.empty() ? "" : "\r\n") + lines;
    if (!text.empty()) return text;
  }
  if (!text.empty()) return text + " (" + path + ")";
  if (result.failure == OpenFailure::kNoPort) return LanguageText("OnStartCom", "NoPorts", "");
  return OpenErrorHint(result.error, path);
}
}  // namespace

void CZR350FrameWnd::OnStartCom() {
  if (session_.IsOpen()) {
    session_.Close();
    if (Control* open = form().Find("Open")) open->SetText(LanguageText("OnStartCom", "Open", ""));
    AppendLog(LanguageText("OnStartCom", "CloseNotice", "\r\n"));
    return;
  }
  Control* portCombo = form().Find("SerialPort");
  Control* baudCombo = form().Find("BaudRate1");
  Control* codeCombo = form().Find("Checkcode");
  if (!portCombo || !baudCombo || !codeCombo) return;
  ConnectionRequest request;
  const ConnectionTextError textError =
      ParseConnectionTexts(portCombo->Text(), baudCombo->Text(), codeCombo->Text(), &request);
  switch (textError) {
    case ConnectionTextError::kNone:
      break;
    case ConnectionTextError::kBadBaudRate:
      AppendLog(LanguageText("OnStartCom", "BadBaudRate", "") + " \"" + baudCombo->Text() +
                "\"\r\n");
      return;
    case ConnectionTextError::kBadLineCode:
      AppendLog(LanguageText("OnStartCom", "BadLineCode", "") + " \"" + codeCombo->Text() +
                "\"\r\n");
      return;
    case ConnectionTextError::kNoPort:
      AppendLog(LanguageText("OnStartCom", "OpenError", "\r\n"));
      AppendLog(LanguageText("OnStartCom", "NoPorts", "\r\n"));
      return;
  }
  const OpenResult result = session_.Open(request.path, request.settings, LoginStart::kBootStream);
  if (!result.ok()) {
    AppendLog(LanguageText("OnStartCom", "OpenError", "\r\n"));
    AppendLog(OpenFailureHint(result, request.path) + "\r\n");
    return;
  }
  AppendLog(LanguageText("OnStartCom", "OpenNotice", "\r\n"));
  ShowConnection(request.path, baudCombo->Text(), codeCombo->Text());
  if (Control* open = form().Find("Open")) open->SetText(LanguageText("OnStartCom", "Close", ""));
  portPanel_->OnOpened(request.path, baudCombo->Text(), codeCombo->Text());
}

void CZR350FrameWnd::OnConnectionLost(const std::string& path, int /*error*/) {
  if (Control* open = form().Find("Open")) open->SetText(LanguageText("OnStartCom", "Open", ""));
  AppendLog(LanguageText("OnStartCom", "Disconnected", "") + " " + path + "\r\n");
  portPanel_->OnConnectionLost(path);
}
