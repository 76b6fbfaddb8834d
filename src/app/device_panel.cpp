#include "app/device_panel.h"

#include <QBoxLayout>
#include <QLabel>

#include "app/busy_port.h"
#include "app/button_sets.h"
#include "app/keyboard.h"
#include "app/status_line.h"
#include "serial/connection_request.h"
#include "serial/port_error.h"
#include "serial/port_permission.h"
#include "session/device_session.h"
#include "texts/language.h"

namespace {
QWidget* WidgetOf(Form& form, const char* name) {
  return dynamic_cast<QWidget*>(form.Find(name));
}

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

PortPanel::Hooks PortHooks(DevicePanel::Hooks& hooks, DeviceSession& session) {
  PortPanel::Hooks portHooks;
  portHooks.log = [&hooks](const std::string& text) {
    if (hooks.log) hooks.log(text, LogKind::kProgram);
  };
  portHooks.openPath = [&session] { return session.IsOpen() ? session.PortPath() : std::string(); };
  return portHooks;
}
}  // namespace

DevicePanel::DevicePanel(Form& form, DeviceSession& session, std::string configPath, Hooks hooks)
    : form_(form),
      session_(session),
      hooks_(std::move(hooks)),
      ports_(form, std::move(configPath), PortHooks(hooks_, session)) {}

DevicePanel::~DevicePanel() = default;

void DevicePanel::Install() {
  if (QWidget* group = WidgetOf(form_, "DeviceGroupBox")) {
    auto* column = qobject_cast<QBoxLayout*>(group->layout());
    QWidget* stateRow = WidgetOf(form_, "StateRow");
    if (column) {
      batchResult_ = new QLabel(group);
      batchResult_->setObjectName("BatchResult");
      batchResult_->setWordWrap(true);
      batchResult_->setVisible(false);
      const int at = stateRow ? column->indexOf(stateRow) : -1;
      column->insertWidget(at + 1, batchResult_);
    }
  }
  ShowLook(false);
  ports_.Start();
  focusParking_ = std::make_unique<FocusParking>(form_, "richedit");
}

void DevicePanel::Log(const std::string& text, LogKind kind) {
  if (hooks_.log) hooks_.log(text, kind);
}

void DevicePanel::SetOpenText(const char* key) {
  if (Control* open = form_.Find("Open")) open->SetText(LanguageText("OnStartCom", key, ""));
}

void DevicePanel::ToggleConnection() {
  if (session_.IsOpen()) {
    session_.Close();
    SetOpenText("Open");
    Log(LanguageText("OnStartCom", "CloseNotice", "\r\n"));
    return;
  }
  Control* portCombo = form_.Find("SerialPort");
  Control* baudCombo = form_.Find("BaudRate1");
  Control* codeCombo = form_.Find("Checkcode");
  if (!portCombo || !baudCombo || !codeCombo) return;
  ConnectionRequest request;
  const ConnectionTextError textError =
      ParseConnectionTexts(portCombo->Text(), baudCombo->Text(), codeCombo->Text(), &request);
  switch (textError) {
    case ConnectionTextError::kNone:
      break;
    case ConnectionTextError::kBadBaudRate:
      Log(LanguageText("OnStartCom", "BadBaudRate", "") + " \"" + baudCombo->Text() + "\"\r\n");
      return;
    case ConnectionTextError::kBadLineCode:
      Log(LanguageText("OnStartCom", "BadLineCode", "") + " \"" + codeCombo->Text() + "\"\r\n");
      return;
    case ConnectionTextError::kNoPort:
      Log(LanguageText("OnStartCom", "OpenError", "\r\n"));
      Log(LanguageText("OnStartCom", "NoPorts", "\r\n"));
      return;
  }
  const OpenResult result = session_.Open(request.path, request.settings, LoginStart::kBootStream);
  if (!result.ok()) {
    Log(LanguageText("OnStartCom", "OpenError", "\r\n"));
    Log(OpenFailureHint(result, request.path) + "\r\n");
    return;
  }
  Log(LanguageText("OnStartCom", "OpenNotice", "\r\n"));
  if (hooks_.connected) hooks_.connected(request.path, baudCombo->Text(), codeCombo->Text());
  SetOpenText("Close");
  ports_.OnOpened(request.path, baudCombo->Text(), codeCombo->Text());
}

void DevicePanel::Reopen() {
  if (ports_.TakeReopen() && !session_.IsOpen()) ToggleConnection();
}

void DevicePanel::RefreshPorts() {
  ports_.Refresh();
  ComboControl* list = form_.FindCombo("SerialPort");
  const bool none = !list || list->ItemCount() == 0;
  Log(LanguageText(none ? "OnStartCom" : "RefreshPorts", none ? "NoPorts" : "Text", "\r\n"));
}

void DevicePanel::ConnectionLost(const std::string& path) {
  SetOpenText("Open");
  Log(LanguageText("OnStartCom", "Disconnected", "") + " " + path + "\r\n");
  ports_.OnConnectionLost(path);
}

void DevicePanel::SetControlEnabled(const std::string& name, bool enabled) {
  if (Control* control = form_.Find(name)) control->SetEnabled(enabled);
}

void DevicePanel::SetButtons(bool enable, long set) {
  const ButtonSet* buttons = FindButtonSet(set);
  if (!buttons) return;
  if (focusParking_)
    focusParking_->BeforeDisabling(enable ? buttons->opposeEnable : buttons->followEnable);
  for (const char* name : buttons->followEnable) SetControlEnabled(name, enable);
  for (const char* name : buttons->opposeEnable) SetControlEnabled(name, !enable);
  if (focusParking_) focusParking_->AfterEnabling();
  if (buttons->updatesDeviceState)
    SetDeviceState(enable);
  else if (hooks_.stateChanged)
    hooks_.stateChanged(session_.LoggedIn());
}

void DevicePanel::SetDeviceState(bool loggedIn) {
  Control* state = form_.Find("DeviceState");
  if (!state) return;
  state->SetText(LanguageText("SetDeviceState", loggedIn ? "szLoginOn" : "szLoginOff", ""));
  if (hooks_.stateChanged) hooks_.stateChanged(loggedIn);
  if (loggedIn) {
    if (Control* help = form_.Find("helpGroupBox")) help->SetVisible(false);
  }
}

void DevicePanel::ShowLook(bool loggedIn) {
  const char* look = loggedIn ? "config" : session_.IsOpen() ? "waiting" : "closed";
  if (QWidget* state = WidgetOf(form_, "DeviceState")) SetStateLook(state, look);
}

void DevicePanel::ShowBatchProgress(const BatchProgress& batch) {
  if (!batchResult_) return;
  const int current = batch.Done() < batch.Total() ? batch.Done() + 1 : batch.Total();
  batchResult_->setText(QString::fromStdString(
      FillText(LanguageText("LogAndStatus", "BatchShort", ""),
               {{"done", std::to_string(current)}, {"total", std::to_string(batch.Total())}})));
  SetStateLook(batchResult_, "waiting");
  batchResult_->setVisible(true);
}

void DevicePanel::ShowBatchEnded(const std::string& summary, bool clean) {
  if (!batchResult_) return;
  batchResult_->setText(QString::fromStdString(summary));
  SetStateLook(batchResult_, clean ? "config" : "failed");
  batchResult_->setVisible(true);
}

void DevicePanel::ClearBatchResult() {
  if (!batchResult_) return;
  batchResult_->clear();
  batchResult_->setVisible(false);
}
