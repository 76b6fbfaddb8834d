// Notify: every user action on the form arrives here as a notification type and a sender, and
// is turned into its action; a click through the table of each control's action. It holds no
// state of its own. UI thread only.
#include <QMessageBox>

#include <cstdio>
#include <ctime>
#include <functional>
#include <map>

#include "app/confirmations.h"
#include "app/dispatcher.h"
#include "app/main_window.h"
#include "texts/language.h"

namespace {

// The routing arrows: each click swaps "enable" and "disable" in the image name, and the save
// reads the channel's state back from it.
constexpr const char* kChannelToggles[] = {
    "COM2Zigbee", "Zigbee2COM", "COM2GPS",   "GPS2COM",  "Zigbee2GPRS", "GPRS2Zigbee", "COM2Lora",
    "Lora2COM",   "Lora2GPRS",  "GPRS2Lora", "GPS2GPRS", "GPRS2GPS",    "GPRS2COM",    "COM2GPRS",
};

}  // namespace

std::string ClockCommand(const std::tm& local) {
  char clock[64];
  std::snprintf(clock, sizeof clock, "%04d/%02d/%02d,%02d:%02d:%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return std::string("AT+EXCCLK=\"") + clock + "\",5\r\n";
}

void CZR350FrameWnd::Notify(const Notification& n) {
  // Nothing is routed before the panels are built.
  if (!parameters_) return;
  const std::string name = n.sender ? n.sender->Name() : std::string();
  if (n.type == "itemselect" || n.type == "killfocus" || n.type == "click")
    parameters_->ScheduleChangeMarks();
  if (n.type == "windowinit") {
    parameters_->OnWindowInit();
    return;
  }
  if (n.type == "click") {
    if (n.sender && n.sender == closeButton_) return Close();
    if (n.sender && n.sender == minButton_) return form().RunWindowCommand(WindowCommand::Minimize);
    if (n.sender && n.sender == maxButton_) return form().RunWindowCommand(WindowCommand::Maximize);
    if (n.sender && n.sender == restoreButton_)
      return form().RunWindowCommand(WindowCommand::Restore);
    OnClick(name);
    return;
  }
  if (n.type == "selectchanged") {
    parameters_->OnOptionSelected(name);
    return;
  }
  if (n.type == "itemselect") {
    if (name == "Language") return PostMessage(WM_SWITCH_LANGUAGE);
    if (name == "SerialPort") return device_->ports().OnPortSelected();
    parameters_->OnItemSelect(name);
    return;
  }
  if (n.type == "setfocus") {
    if (name == "FINDNETMODE" && session_.LoggedIn())
      QueueCommand(JobKind::kFindNetMode, "AT+FINDNETMODE\r\n");
    return;
  }
  if (n.type == "killfocus") parameters_->OnFocusLost(name);
}

void CZR350FrameWnd::OnClick(const std::string& name) {
  // What each control does when clicked. The letter case of a command is the device's.
  using Action = void (*)(CZR350FrameWnd & w, const std::string& name);
  static const std::map<std::string, Action, std::less<>> kActions = [] {
    std::map<std::string, Action, std::less<>> actions = {
        {"Open", [](CZR350FrameWnd& w, const std::string&) { w.device_->ToggleConnection(); }},
        {"RefreshPorts", [](CZR350FrameWnd& w, const std::string&) { w.device_->RefreshPorts(); }},
        {"ReopenPort", [](CZR350FrameWnd& w, const std::string&) { w.device_->Reopen(); }},
        {"Clear", [](CZR350FrameWnd& w, const std::string&) { w.logStatus_->Clear(); }},
        {"Load", [](CZR350FrameWnd& w,
                    const std::string&) { w.QueueCommand(JobKind::kShow, "AT+SHOW\r\n"); }},
        {"RestoreFactory",
         [](CZR350FrameWnd& w, const std::string&) {
           if (w.Confirm(
                   FactoryResetQuestion(w.session_.Facts().deviceTypeText, w.session_.PortPath())))
             w.QueueCommand(JobKind::kFactoryReset, "AT+FACTORY\r\n");
         }},
        {"READFILELOG",
         [](CZR350FrameWnd& w, const std::string&) {
           w.QueueCommand(JobKind::kReadLogFile, "at+READFILELOG\r\n");
         }},
        {"CPIN", [](CZR350FrameWnd& w,
                    const std::string&) { w.QueueCommand(JobKind::kSimStatus, "At+CPIN?\r\n"); }},
        {"CSQ", [](CZR350FrameWnd& w,
                   const std::string&) { w.QueueCommand(JobKind::kSignal, "At+CSQ\r\n"); }},
        {"GetVer", [](CZR350FrameWnd& w,
                      const std::string&) { w.QueueCommand(JobKind::kVersion, "At+VER\r\n"); }},
        {"Save", [](CZR350FrameWnd& w, const std::string&) { w.parameters_->WriteChanges(); }},
        {"Login", [](CZR350FrameWnd& w, const std::string&) { w.session_.LoginByEscape(); }},
        {"SaveToFile",
         [](CZR350FrameWnd& w, const std::string&) { w.PostMessage(WM_SAVE_TO_FILE); }},
        {"LoadFromFile",
         [](CZR350FrameWnd& w, const std::string&) { w.PostMessage(WM_LOAD_FROM_FILE); }},
        {"NewProfile", [](CZR350FrameWnd& w, const std::string&) { w.parameters_->NewProfile(); }},
        {"SaveProfile",
         [](CZR350FrameWnd& w, const std::string&) { w.parameters_->SaveProfile(); }},
        {"SetTime",
         [](CZR350FrameWnd& w, const std::string&) {
           const std::time_t now = std::time(nullptr);
           std::tm local{};
           localtime_r(&now, &local);
           w.QueueCommand(JobKind::kWrite, ClockCommand(local));
         }},
        {"quit", [](CZR350FrameWnd& w, const std::string&) { w.session_.QuitSettingMode(); }},
        {"TabLeft", [](CZR350FrameWnd& w, const std::string&) { w.parameters_->ScrollTabs(true); }},
        {"TabRight",
         [](CZR350FrameWnd& w, const std::string&) { w.parameters_->ScrollTabs(false); }},
    };
    for (const char* toggle : kChannelToggles) {
      actions.emplace(toggle, [](CZR350FrameWnd& w, const std::string& control) {
        w.parameters_->ToggleChannel(control);
      });
    }
    return actions;
  }();
  if (const auto action = kActions.find(name); action != kActions.end())
    return action->second(*this, name);
  // Any other button named after an AT command sends that command.
  if (name.find("AT+") != std::string::npos) QueueCommand(JobKind::kNamedCommand, name + "\r\n");
}

void CZR350FrameWnd::QueueCommand(JobKind kind, const std::string& command) {
  session_.Queue(kind, command);
}
