#include "app/port_panel.h"

#include <filesystem>

#include "serial/port_choice.h"
#include "texts/language.h"
#include "texts/remembered_connection.h"

namespace {

constexpr const char* kSection = "Ports";

// A value with a line break would become a line of its own in config.ini.
bool FitsOneLine(const std::string& text) {
  return text.find_first_of("\r\n") == std::string::npos;
}

std::string Filled(std::string text, const std::string& value) {
  const size_t at = text.find("%1");
  if (at != std::string::npos) text.replace(at, 2, value);
  return text;
}

}  // namespace

PortPanel::PortPanel(Form& form, std::string configPath, Hooks hooks)
    : form_(form), configPath_(std::move(configPath)), hooks_(std::move(hooks)) {}

void PortPanel::Start(PortSources sources) {
  RestoreLineSettings();
  UseSources(std::move(sources));
}

void PortPanel::UseSources(PortSources sources) {
  sources_ = std::move(sources);
  // Other folders: what they hold now was not just plugged in.
  firstListing_ = true;
  previousPaths_.clear();
  watch_ = std::make_unique<PortWatch>(sources_.watched, [this] { Refresh(); });
  Refresh();
}

void PortPanel::RestoreLineSettings() {
  const RememberedConnection remembered = ReadRememberedConnection(configPath_);
  rememberedPath_ = remembered.port;
  // A fixed list selects the item of that text and ignores a text it does not offer.
  if (Control* baud = form_.Find("BaudRate1"); baud && !remembered.baudRate.empty())
    baud->SetText(remembered.baudRate);
  if (Control* code = form_.Find("Checkcode"); code && !remembered.lineCode.empty())
    code->SetText(remembered.lineCode);
}

void PortPanel::Refresh() {
  ComboControl* combo = form_.FindCombo("SerialPort");
  if (!combo) return;
  // A path the user typed without picking an item is a choice too.
  const int current = combo->CurSel();
  const std::string typed = PortPathFromDisplayText(form_.Find("SerialPort")->Text());
  const std::string currentItem =
      current >= 0 ? PortPathFromDisplayText(combo->ItemText(current)) : std::string();
  if (!typed.empty() && typed != currentItem) chosenPath_ = typed;

  listed_ = ListSerialPorts(sources_.serialById, sources_.sysClassTty, sources_.devDir);
  PortChoiceInput input;
  input.openPath = hooks_.openPath ? hooks_.openPath() : std::string();
  input.chosenPath = chosenPath_;
  std::error_code ec;
  input.chosenExists =
      !chosenPath_.empty() && (namedOnPurpose_ || std::filesystem::exists(chosenPath_, ec));
  input.rememberedPath = ListedPathOf(rememberedPath_);
  input.previousPaths = previousPaths_;
  input.firstListing = firstListing_;
  const PortChoice choice = ChoosePort(listed_, input);
  // While nothing was ever found the list keeps the skin's own items.
  if (!choice.paths.empty() || filled_) Fill(choice.paths, choice.selected);
  if (!firstListing_) ReportPlugs();
  firstListing_ = false;
  previousPaths_.clear();
  for (const PortInfo& port : listed_) previousPaths_.push_back(port.path);

  if (lostPath_.empty()) return;
  const std::string back = input.openPath.empty() ? FindLostPort() : std::string();
  if (!back.empty()) {
    Offer(back);
  } else {
    Withdraw();
  }
}

std::string PortPanel::ListedPathOf(const std::string& path) const {
  for (const PortInfo& port : listed_) {
    if (!path.empty() && port.byId == path) return port.path;
  }
  return path;
}

void PortPanel::ReportPlugs() {
  if (!hooks_.log) return;
  for (const std::string& path : previousPaths_) {
    bool still = false;
    for (const PortInfo& port : listed_) still = still || port.path == path;
    if (!still) hooks_.log(Filled(LanguageText(kSection, "Unplugged", ""), path) + "\r\n");
  }
  for (const PortInfo& port : listed_) {
    bool known = false;
    for (const std::string& path : previousPaths_) known = known || port.path == path;
    if (!known && port.usb)
      hooks_.log(Filled(LanguageText(kSection, "Plugged", ""), PortDisplayText(port)) + "\r\n");
  }
}

void PortPanel::Fill(const std::vector<std::string>& paths, int selected) {
  ComboControl* combo = form_.FindCombo("SerialPort");
  if (!combo) return;
  filled_ = true;
  filling_ = true;
  combo->RemoveAllItems();
  for (const std::string& path : paths) {
    std::string text = path;
    for (const PortInfo& port : listed_) {
      if (port.path == path) text = PortDisplayText(port);
    }
    combo->AddItem(text);
  }
  if (selected >= 0) combo->SelectItem(selected);
  filling_ = false;
}

void PortPanel::Preselect(const std::string& path) {
  chosenPath_ = path;
  // A path named on purpose is shown even when it is not there, so that opening it says so
  // instead of opening some other port.
  namedOnPurpose_ = true;
  Refresh();
  namedOnPurpose_ = false;
}

void PortPanel::OnPortSelected() {
  if (filling_) return;
  if (Control* combo = form_.Find("SerialPort"))
    chosenPath_ = PortPathFromDisplayText(combo->Text());
}

void PortPanel::OnOpened(const std::string& path, const std::string& baudRate,
                         const std::string& lineCode) {
  chosenPath_ = path;
  rememberedPath_ = path;
  openedPath_ = path;
  openedById_.clear();
  if (path.compare(0, sources_.serialById.size() + 1, sources_.serialById + "/") == 0)
    openedById_ = path;
  for (const PortInfo& port : listed_) {
    if (port.path == path) openedById_ = port.byId;
  }
  lostPath_.clear();
  lostById_.clear();
  Withdraw();

  // An adapter is remembered by its by-id link: next time it may come up under another node
  // name (plugged in after another one, or into another socket).
  const std::string remembered = openedById_.empty() ? path : openedById_;
  if (!FitsOneLine(remembered) || !FitsOneLine(baudRate) || !FitsOneLine(lineCode)) return;
  std::string error;
  if (WriteRememberedConnection(configPath_, {remembered, baudRate, lineCode}, &error)) return;
  // Not remembering the port is no reason to bother the user at every opening.
  if (rememberFailureLogged_) return;
  rememberFailureLogged_ = true;
  if (hooks_.log)
    hooks_.log(Filled(LanguageText(kSection, "RememberFailed", ""), configPath_) +
               (error.empty() ? "" : " (" + error + ")") + "\r\n");
}

void PortPanel::OnConnectionLost(const std::string& path) {
  lostPath_ = path;
  lostById_ = path == openedPath_ ? openedById_ : std::string();
}

std::string PortPanel::FindLostPort() const {
  if (!lostById_.empty()) {
    for (const PortInfo& port : listed_) {
      if (port.byId == lostById_) return port.path;
    }
    std::error_code ec;
    if (lostPath_ == lostById_ && std::filesystem::exists(lostPath_, ec)) return lostPath_;
  }
  for (const PortInfo& port : listed_) {
    if (port.path == lostPath_) return port.path;
  }
  return {};
}

void PortPanel::Offer(const std::string& path) {
  const bool fresh = path != offeredPath_;
  offeredPath_ = path;
  if (ComboControl* combo = form_.FindCombo("SerialPort")) {
    for (int i = 0; i < combo->ItemCount(); ++i) {
      if (PortPathFromDisplayText(combo->ItemText(i)) != path) continue;
      filling_ = true;
      combo->SelectItem(i);
      filling_ = false;
    }
  }
  if (Control* button = form_.Find("ReopenPort")) {
    button->SetText(LanguageText(kSection, "Reopen", ""));
    button->SetAttribute("tooltip", path);
    button->SetVisible(true);
  }
  if (fresh && hooks_.log) hooks_.log(Filled(LanguageText(kSection, "Back", ""), path) + "\r\n");
}

void PortPanel::Withdraw() {
  offeredPath_.clear();
  if (Control* button = form_.Find("ReopenPort")) button->SetVisible(false);
}

bool PortPanel::TakeReopen() {
  if (offeredPath_.empty()) return false;
  chosenPath_ = offeredPath_;
  Offer(offeredPath_);
  Withdraw();
  return true;
}
