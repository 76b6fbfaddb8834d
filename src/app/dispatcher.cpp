// Notify: every user action on the form arrives here as a notification type and a sender, and
// is turned into its action. It holds no state of its own. UI thread only.
#include <QMessageBox>

#include <cstdio>
#include <ctime>

#include "app/confirmations.h"
#include "app/dispatcher.h"
#include "app/main_window.h"
#include "catalogue/param_table.h"
#include "form/sensor_list.h"
#include "form/tab_strip.h"
#include "texts/language.h"

namespace {

struct CommandButton {
  const char* name;
  int kind;
  const char* command;
};

// Buttons that queue one device command; the letter case is the device's.
constexpr CommandButton kCommandButtons[] = {
    {"Load", 1, "AT+SHOW\r\n"},
    {"RestoreFactory", 4, "AT+FACTORY\r\n"},
    {"READFILELOG", 13, "at+READFILELOG\r\n"},
    {"CPIN", 10, "At+CPIN?\r\n"},
    {"CSQ", 11, "At+CSQ\r\n"},
    {"GetVer", 9, "At+VER\r\n"},
};

// The routing arrows: each click swaps "enable" and "disable" in the image name, and the save
// reads the channel's state back from it.
constexpr const char* kChannelToggles[] = {
    "COM2Zigbee", "Zigbee2COM", "COM2GPS",   "GPS2COM",  "Zigbee2GPRS", "GPRS2Zigbee", "COM2Lora",
    "Lora2COM",   "Lora2GPRS",  "GPRS2Lora", "GPS2GPRS", "GPRS2GPS",    "GPRS2COM",    "COM2GPRS",
};

constexpr const char* kServerAddressFields[] = {
    "Server's Ip",  "Secondary Server's Ip", "Server2's Ip",
    "Server3's Ip", "Server4's Ip",          "Server5's Ip",
};

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace

std::string ToggledChannelImage(const std::string& image) {
  if (image.find("disable") != std::string::npos) return ReplaceAll(image, "disable", "enable");
  return ReplaceAll(image, "enable", "disable");
}

std::string ClockCommand(const std::tm& local) {
  char clock[64];
  std::snprintf(clock, sizeof clock, "%04d/%02d/%02d,%02d:%02d:%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return std::string("AT+EXCCLK=\"") + clock + "\",5\r\n";
}

void CZR350FrameWnd::Notify(const Notification& n) {
  const std::string name = n.sender ? n.sender->Name() : std::string();
  if (n.type == "itemselect" || n.type == "killfocus" || n.type == "click") ScheduleChangeMarks();
  if (n.type == "windowinit") {
    OnWindowInit();
    return;
  }
  if (n.type == "click") {
    if (n.sender && n.sender == closeButton_) return PostQuit();
    if (n.sender && n.sender == minButton_) return PostMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    if (n.sender && n.sender == maxButton_) return PostMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    if (n.sender && n.sender == restoreButton_) return PostMessage(WM_SYSCOMMAND, SC_RESTORE);
    OnClick(name);
    return;
  }
  if (n.type == "selectchanged") {
    SelectPageForOption(form(), tabs_, name);
    return;
  }
  if (n.type == "itemselect") {
    OnItemSelect(name);
    return;
  }
  if (n.type == "setfocus") {
    if (name == "FINDNETMODE" && session_.LoggedIn()) QueueCommand(8, "AT+FINDNETMODE\r\n");
    return;
  }
  if (n.type == "killfocus") {
    for (const char* field : kServerAddressFields) {
      if (name != field) continue;
      Control* control = form().Find(name);
      if (control && control->Text().find(' ') != std::string::npos)
        ShowMessageBox(LanguageText("Notify", "IpNotice", ""));
      return;
    }
  }
}

void CZR350FrameWnd::OnClick(const std::string& name) {
  if (name == "Open") return OnStartCom();
  if (name == "RefreshPorts") {
    RefreshPortList();
    ComboControl* ports = form().FindCombo("SerialPort");
    const bool none = !ports || ports->ItemCount() == 0;
    AppendLog(
        LanguageText(none ? "OnStartCom" : "RefreshPorts", none ? "NoPorts" : "Text", "\r\n"));
    return;
  }
  if (name == "ReopenPort") {
    if (portPanel_->TakeReopen() && !session_.IsOpen()) OnStartCom();
    return;
  }
  if (name == "Clear") {
    ClearLog();
    return;
  }
  if (name == "RestoreFactory" &&
      !Confirm(FactoryResetQuestion(session_.Facts().deviceTypeText, session_.PortPath()))) {
    return;
  }
  for (const CommandButton& button : kCommandButtons) {
    if (name == button.name) {
      QueueCommand(button.kind, button.command);
      return;
    }
  }
  if (name == "Save") {
    formLogic_->WriteChanges();
    return;
  }
  if (name == "Login") return session_.LoginByEscape();
  if (name == "SaveToFile") return PostMessage(WM_SAVE_TO_FILE);
  if (name == "LoadFromFile") return PostMessage(WM_LOAD_FROM_FILE);
  if (name == "SetTime") {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    QueueCommand(2, ClockCommand(local));
    return;
  }
  if (name.find("AT+") != std::string::npos) {
    QueueCommand(15, name + "\r\n");
    return;
  }
  if (name == "quit") {
    session_.QuitSettingMode();
    return;
  }
  if (name == "TabLeft") return UpdateTabStrip(form(), tabs_, TabStripMode::ScrollLeft);
  if (name == "TabRight") return UpdateTabStrip(form(), tabs_, TabStripMode::ScrollRight);
  for (const char* toggle : kChannelToggles) {
    if (name != toggle) continue;
    if (Control* arrow = form().Find(name))
      arrow->SetBkImage(ToggledChannelImage(arrow->BkImage()));
    return;
  }
}

void CZR350FrameWnd::OnItemSelect(const std::string& name) {
  if (name == "Language") return PostMessage(WM_SWITCH_LANGUAGE);
  if (name == "SerialPort") return portPanel_->OnPortSelected();
  formLogic_->OnItemSelect(name);
}

void CZR350FrameWnd::OnWindowInit() {
  formLogic_->BuildCatalogue();
}

void CZR350FrameWnd::QueueCommand(int kind, const std::string& command) {
  session_.Queue(kind, command);
}
