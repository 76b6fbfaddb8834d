// The connection panel: the port list, "Open" toggling the connection, and a device that goes
// away while connected. UI thread only.
#include <cerrno>

#include "texts/language.h"
#include "app/main_window.h"
#include "exchange/receive_path.h"
#include "serial/connection_request.h"
#include "serial/port_error.h"
#include "serial/port_list.h"

void CZR350FrameWnd::RefreshPortList() {
  ComboControl* ports = form().FindCombo("SerialPort");
  if (!ports) return;
  const std::vector<PortInfo> found = ListSerialPorts();
  if (found.empty() && preselectedPort.empty()) return;  // the skin's own items stay
  Control* combo = form().Find("SerialPort");
  const std::string typed = combo->Text();
  ports->RemoveAllItems();
  for (const PortInfo& port : found) ports->AddItem(PortDisplayText(port));
  if (!preselectedPort.empty()) {
    bool listed = false;
    for (const PortInfo& port : found) listed = listed || port.path == preselectedPort;
    if (!listed) ports->AddItem(preselectedPort);
  }
  // Keep the user's choice across a refresh when it is still there.
  int keep = 0;
  const std::string wanted =
      preselectedPort.empty() ? PortPathFromDisplayText(typed) : preselectedPort;
  for (int i = 0; i < ports->ItemCount(); ++i) {
    if (PortPathFromDisplayText(ports->ItemText(i)) == wanted) keep = i;
  }
  ports->SelectItem(keep);
}

namespace {
// The cause of a failed opening, in the user's language where the language file has it.
std::string OpenFailureHint(int error, const std::string& path) {
  const char* key = error == EACCES || error == EPERM ? "PermissionHint"
                    : error == EBUSY                  ? "Busy"
                                                      : nullptr;
  std::string text = key ? LanguageText("OnStartCom", key, "") : std::string();
  return text.empty() ? OpenErrorHint(error, path) : text + " (" + path + ")";
}
}  // namespace

void CZR350FrameWnd::OnStartCom() {
  if (serialPort.IsOpen()) {
    CloseConnection(LanguageText("OnStartCom", "CloseNotice", "\r\n"));
    return;
  }
  Control* portCombo = form().Find("SerialPort");
  Control* baudCombo = form().Find("BaudRate1");
  Control* codeCombo = form().Find("Checkcode");
  if (!portCombo || !baudCombo || !codeCombo) return;
  AwaitSettingMenu(exchange);
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
  timeoutFactor = request.timeoutFactor;
  const std::string& path = request.path;

  int error = 0;
  const bool opened = serialPort.OpenPort(
      path, request.settings,
      [this](const char* data, size_t count) {
        HandleMessage(WM_SERIAL_DATA, reinterpret_cast<WParam>(data), static_cast<LParam>(count));
      },
      [this](int gone) { OnDeviceGone(gone); }, &error);
  if (!opened) {
    AppendLog(LanguageText("OnStartCom", "OpenError", "\r\n"));
    AppendLog(OpenFailureHint(error, path) + "\r\n");
    return;
  }
  serialPort.StartMonitor();
  AppendLog(LanguageText("OnStartCom", "OpenNotice", "\r\n"));
  if (Control* open = form().Find("Open")) open->SetText(LanguageText("OnStartCom", "Close", ""));
  ArmSTimer(kBootStreamPeriodMs);
  PostMessage(WM_SET_BUTTONS, 1, 3);
}

void CZR350FrameWnd::CloseConnection(const std::string& logLine) {
  serialPort.ClosePort();
  if (Control* open = form().Find("Open")) open->SetText(LanguageText("OnStartCom", "Open", ""));
  AppendLog(logLine);
  exchange.queue.Clear();
  StopSTimer();
  loggedIn = false;
  PostMessage(WM_SET_BUTTONS, 0, 1);
}

void CZR350FrameWnd::OnDeviceGone(int /*error*/) {
  if (!serialPort.IsOpen()) return;
  CloseConnection(LanguageText("OnStartCom", "Disconnected", "") + " " + serialPort.PortPath() +
                  "\r\n");
}
