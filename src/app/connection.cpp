// The connection panel: the port list, "Open" toggling the connection, and a device that goes
// away while connected. UI thread only.
#include "app/language.h"
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
  const std::string wanted = preselectedPort.empty() ? PortPathFromDisplayText(typed)
                                                     : preselectedPort;
  for (int i = 0; i < ports->ItemCount(); ++i) {
    if (PortPathFromDisplayText(ports->ItemText(i)) == wanted) keep = i;
  }
  ports->SelectItem(keep);
}

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
  if (textError != ConnectionTextError::kNone) {
    AppendLog(ConnectionTextErrorMessage(textError, portCombo->Text(), baudCombo->Text(),
                                         codeCombo->Text()) +
              "\r\n");
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
    const std::string hint = OpenErrorHint(error, path);
    if (!hint.empty()) AppendLog(hint + "\r\n");
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
