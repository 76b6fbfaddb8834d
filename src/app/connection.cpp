// The connection panel: the port list, "Open" toggling the connection, and a device that goes
// away while connected. UI thread only.
#include "app/main_window.h"
#include "serial/connection_request.h"
#include "serial/port_error.h"
#include "serial/port_list.h"
#include "texts/language.h"

void CZR350FrameWnd::RefreshPortList() {
  ComboControl* ports = form().FindCombo("SerialPort");
  if (!ports) return;
  const std::vector<PortInfo> found = ListSerialPorts();
  if (found.empty() && preselectedPort_.empty()) return;  // the skin's own items stay
  Control* combo = form().Find("SerialPort");
  const std::string typed = combo->Text();
  ports->RemoveAllItems();
  for (const PortInfo& port : found) ports->AddItem(PortDisplayText(port));
  if (!preselectedPort_.empty()) {
    bool listed = false;
    for (const PortInfo& port : found) listed = listed || port.path == preselectedPort_;
    if (!listed) ports->AddItem(preselectedPort_);
  }
  // Keep the user's choice across a refresh when it is still there.
  int keep = 0;
  const std::string wanted =
      preselectedPort_.empty() ? PortPathFromDisplayText(typed) : preselectedPort_;
  for (int i = 0; i < ports->ItemCount(); ++i) {
    if (PortPathFromDisplayText(ports->ItemText(i)) == wanted) keep = i;
  }
  ports->SelectItem(keep);
}

void CZR350FrameWnd::PreselectPort(const std::string& path) {
  preselectedPort_ = path;
  RefreshPortList();
}

namespace {
// The cause of a failed opening, in the user's language where the language file has it.
std::string OpenFailureHint(const OpenResult& result, const std::string& path) {
  const char* key = result.failure == OpenFailure::kPermission ? "PermissionHint"
                    : result.failure == OpenFailure::kBusy     ? "Busy"
                                                               : nullptr;
  std::string text = key ? LanguageText("OnStartCom", key, "") : std::string();
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
}

void CZR350FrameWnd::OnConnectionLost(const std::string& path, int /*error*/) {
  if (Control* open = form().Find("Open")) open->SetText(LanguageText("OnStartCom", "Open", ""));
  AppendLog(LanguageText("OnStartCom", "Disconnected", "") + " " + path + "\r\n");
}
