// The work-mode and network rules: the work mode with its servers, serial boxes and tabs, the
// server count, the link checks, the management options, the debug port and the LoRa page.
#include <array>
#include <cstdint>

#include "catalogue/catalogue_rows.h"
#include "form/rule_steps.h"
#include "texts/language.h"

namespace rules {
namespace {

// S shows the row, H hides it, Sub leaves it to the sub-table of work mode 9.
enum Act : std::uint8_t { H, S, Sub };

// The columns of the work-mode table; several modes share a column.
constexpr int kWorkModeCount = 10;
constexpr std::array<int, kWorkModeCount> kColumnOfMode = {0, 1, 1, 2, 3, 4, 5, 0, 6, 7};

struct WorkModeRow {
  const char* row;
  std::array<Act, 8> column;
};

// clang-format off
//                                                 M: 0,7  1,2  3    4    5    6    8    9
constexpr WorkModeRow kWorkModeRows[] = {
    {"ModeHorizontalLayout1",                        {S,   S,   H,   H,   H,   H,   H,   H}},
    {"ModeHorizontalLayout1.1",                      {S,   H,   H,   H,   H,   H,   H,   H}},
    {"ModeHorizontalLayout1.2",                      {S,   H,   H,   H,   H,   H,   H,   H}},
    {"ModeHorizontalLayout2",                        {H,   H,   H,   H,   H,   H,   H,   S}},
    {"ModeHorizontalLayout3",                        {H,   H,   H,   H,   H,   H,   H,   S}},
    {"ModeHorizontalLayout4",                        {H,   H,   H,   H,   H,   H,   H,   Sub}},
    {"ModeHorizontalLayout5",                        {H,   H,   H,   H,   H,   H,   H,   Sub}},
    {"ModeHorizontalLayout6",                        {H,   H,   H,   H,   H,   H,   H,   Sub}},
    {"ModeHorizontalLayout7",                        {H,   H,   H,   H,   H,   H,   H,   Sub}},
    {"ModeHorizontalLayout8",                        {H,   H,   H,   H,   H,   H,   H,   Sub}},
    {"ModeLayout1.1",                                {H,   H,   H,   S,   H,   H,   H,   H}},
    {"ModeLayout1.2",                                {H,   H,   H,   S,   S,   H,   H,   H}},
    {"ServerTab",                                    {S,   S,   H,   H,   H,   S,   S,   S}},
    {"IOTab",                                        {S,   S,   H,   H,   H,   S,   S,   S}},
    {"WirelessTab",                                  {S,   S,   H,   H,   H,   S,   S,   S}},
    {"GlobalTab",                                    {S,   S,   H,   S,   S,   S,   S,   S}},
    {"EquimentTab",                                  {S,   S,   H,   S,   S,   S,   S,   S}},
    {"DtumanageGroupBox",                            {S,   S,   S,   H,   H,   S,   S,   S}},
    {"bindingCenterGroupBox",                        {S,   S,   S,   H,   S,   S,   S,   Sub}},
    {"bindingCenterGroupBox2",                       {S,   S,   S,   H,   S,   S,   S,   Sub}},
    {"bindingCenterGroupBox3",                       {S,   S,   S,   H,   S,   S,   S,   Sub}},
    {"ActivateGroupBox",                             {S,   S,   H,   H,   H,   S,   S,   S}},
    {"ServiceGroupBox",                              {S,   S,   S,   S,   S,   S,   S,   Sub}},
    {"HttpLayout",                                   {H,   H,   H,   H,   H,   S,   H,   H}},
    {"MQTTLayout",                                   {H,   H,   H,   H,   H,   H,   S,   H}},
};

struct WorkModeColumn {
  bool serverIoWireless;  // `shown` of "ServerTab", "IOTab", "WirelessTab"
  bool globalEquiment;    // `shown` of "GlobalTab", "EquimentTab"
  int modeHeight;         // "ModeGroupBox"
  int serialHeight;       // the three serial group boxes
};

constexpr WorkModeColumn kWorkModeColumns[] = {
    {true, true, 110, 110},   // 0, 7
    {true, true, 85, 110},    // 1, 2
    {false, false, 60, 110},  // 3
    {false, true, 235, 85},   // 4
    {false, true, 110, 110},  // 5
    {true, true, 85, 110},    // 6
    {true, true, 285, 110},   // 8
    {true, true, 0, 0},       // 9: heights from the sub-table
};

// Work mode 9. Columns: "DeviceModel" 0 and "RegistrationAndHeart" 1; "DeviceModel" 0 and
// "RegistrationAndHeart" not 1; "DeviceModel" not 0.
struct SubRow {
  const char* row;
  std::array<Act, 3> column;
};
constexpr SubRow kMode9Rows[] = {
    {"ModeHorizontalLayout4",  {S, S, H}},
    {"ModeHorizontalLayout5",  {H, H, S}},
    {"ModeHorizontalLayout6",  {H, H, H}},
    {"ModeHorizontalLayout7",  {S, H, H}},
    {"ModeHorizontalLayout8",  {S, H, H}},
    {"ServiceGroupBox",        {S, S, H}},
    {"bindingCenterGroupBox",  {S, S, H}},
    {"bindingCenterGroupBox2", {S, S, H}},
    {"bindingCenterGroupBox3", {S, S, H}},
};
constexpr std::array<int, 3> kMode9ModeHeight = {185, 110, 110};
constexpr std::array<int, 3> kMode9SerialHeight = {110, 110, 85};

constexpr const char* kSerialBoxes[] = {"serialGroupbox", "serial2Groupbox", "serial3Groupbox"};

// Server count: which of "ServiceHorizontalLayout0" .. "ServiceHorizontalLayout6" are shown.
struct ServerCountRow {
  const char* count;
  std::array<bool, 7> shown;
  const char* titleKey;  // section "ModeTabItemChange"
  const char* labelKey;
  int groupHeight;   // "ServiceGroupBox"
  int group2Height;  // "ServiceGroupBox2"
};
constexpr ServerCountRow kServerCounts[] = {
    {"0", {0, 0, 0, 0, 0, 0, 1}, "ServerTitle1", "Server's Label1", 60, 110},
    {"1", {1, 1, 0, 0, 0, 0, 1}, "ServerTitle1", "Server's Label1", 110, 110},
    {"2", {1, 0, 1, 0, 0, 0, 0}, "ServerTitle2", "Server's Label2", 110, 85},
    {"3", {1, 0, 1, 1, 0, 0, 0}, "ServerTitle2", "Server's Label2", 135, 85},
    {"4", {1, 0, 1, 1, 1, 0, 0}, "ServerTitle2", "Server's Label2", 160, 85},
    {"5", {1, 0, 1, 1, 1, 1, 0}, "ServerTitle2", "Server's Label2", 185, 85},
};
constexpr int kOtherCountHeight = 60;
constexpr int kOtherCountHeight2 = 110;

// One option row each: the row is shown by the deciding list's selection.
enum class ShownWhen { NotZero, IsOne };
struct OptionRow {
  int rule;
  const char* list;
  const char* row;
  ShownWhen shownWhen;
  const char* groupBox;
  int heightShown;
  int heightHidden;
};
constexpr OptionRow kOptionRows[] = {
    {kRuleLcpEcho, "LCP ECHO", "GlobalHorizontalLayout1", ShownWhen::NotZero, "PPPGroupBox", 85, 60},
    {kRuleExtendedFunction, "EXFUN", "GlobalHorizontalLayout2", ShownWhen::NotZero, "ICMPGroupBox", 110, 60},
    {kRuleManagePlatform, "dtu is connect to dtu manage platform", "EquimentLayout1", ShownWhen::NotZero, "DtumanageGroupBox", 110, 60},
    {kRuleSmsConfiguration, "DTU SMS configure fun", "EquimentLayout2", ShownWhen::IsOne, "DtumanageGroupBox1", 110, 60},
};
// clang-format on

void Apply(FormRuleContext& c, const char* row, Act act) {
  if (act != Sub) SetRowVisible(c, row, act == S);
}

void SetTextAttribute(Form& form, const char* name, const std::string& text) {
  if (Control* control = form.Find(name)) control->SetAttribute("text", text);
}

// Rebinding the DIO3 rows to the model's commands makes them active again; they keep the flags
// their rows gave them, or a hidden line would be written.
void RebindDio3Rows(ParamTable& params, bool fiveDio) {
  std::vector<std::pair<std::string, bool>> flags;
  for (const Dio3Binding& binding : Dio3Bindings()) {
    auto it = params.find(binding.name);
    if (it != params.end()) flags.emplace_back(binding.name, it->second.active);
  }
  BindDio3Rows(params, fiveDio);
  for (const auto& [name, active] : flags) params[name].active = active;
}

// What depends on the model rather than the work mode: the serial boxes, lines 4 and 5, the
// analogue input's caption and the bindings of the DIO3 rows.
void ApplyModelRows(FormRuleContext& c) {
  if (c.facts.fiveDioModel) {
    SetTextAttribute(c.form, "RS232-1", "RS232");
    Hide(c, "serial2Groupbox");
    Show(c, "IO4GroupBox");
    Show(c, "IO5GroupBox");
    SetTextAttribute(c.form, "ADC1", LanguageText("DIO Type", "ADC1", ""));
  } else {
    // A device type that merely starts with "V2" is not a V2 device.
    if (c.facts.deviceTypeText.find("V2", 1) != std::string::npos) Hide(c, "serial3Groupbox");
    SetTextAttribute(c.form, "RS232-1", "RS232-1");
    Show(c, "serial2Groupbox");
    Hide(c, "IO4GroupBox");
    Hide(c, "IO5GroupBox");
    SetTextAttribute(c.form, "ADC1", LanguageText("DIO Type", "ADC", ""));
  }
  RebindDio3Rows(c.params, c.facts.fiveDioModel);
}

}  // namespace

void WorkModeRule(FormRuleContext& c) {
  const Selection mode = ReadSelection(c.form, "Protocolmodel");
  if (!mode.found) return;
  int modeHeight = 60;
  int serialHeight = 110;
  if (mode.index >= 0 && mode.index < kWorkModeCount) {
    const int column = kColumnOfMode[static_cast<size_t>(mode.index)];
    for (const WorkModeRow& row : kWorkModeRows)
      Apply(c, row.row, row.column[static_cast<size_t>(column)]);
    const WorkModeColumn& flags = kWorkModeColumns[column];
    for (int tab : {kServerTab, kIOTab, kWirelessTab}) c.tabs[tab].shown = flags.serverIoWireless;
    for (int tab : {kGlobalTab, kEquimentTab}) c.tabs[tab].shown = flags.globalEquiment;
    modeHeight = flags.modeHeight;
    serialHeight = flags.serialHeight;
    if (mode.index == 9) {
      const Selection device = ReadSelection(c.form, "DeviceModel");
      if (!device.found) return;
      size_t sub = 2;
      if (device.index == 0) {
        const Selection registration = ReadSelection(c.form, "RegistrationAndHeart");
        if (!registration.found) return;
        sub = registration.index == 1 ? 0 : 1;
      }
      for (const SubRow& row : kMode9Rows) Apply(c, row.row, row.column[sub]);
      modeHeight = kMode9ModeHeight[sub];
      serialHeight = kMode9SerialHeight[sub];
    }
  }
  SetGroupHeight(c.form, "ModeGroupBox", modeHeight);
  for (const char* box : kSerialBoxes) SetGroupHeight(c.form, box, serialHeight);
  ApplyModelRows(c);
}

void DebugLevelRule(FormRuleContext& c) {
  const Selection level = ReadSelection(c.form, "Debug Level");
  if (level.found) SetRowVisible(c, "DebugHorizontalLayout1", level.index != 0);
}

void ServerCountRule(FormRuleContext& c) {
  ComboControl* list = c.form.FindCombo("Server Count");
  Control* title = c.form.Find("ServerTitle");
  Control* label = c.form.Find("Server's Label");
  if (!list || !title || !label) return;
  const Selection count = ReadSelection(c.form, "Server Count");
  if (count.text == "0") {
    auto deviceType = c.params.find("Device Type");
    const bool zr750 =
        deviceType != c.params.end() && deviceType->second.value.find("Zr750") != std::string::npos;
    if (!zr750) {
      if (c.showMessageBox) c.showMessageBox(LanguageText("Notify", "ServerCount", ""));
      // The list reports the change, and this rule runs again for one server.
      list->SelectItem(1);
      return;
    }
  }
  int height = kOtherCountHeight;
  int height2 = kOtherCountHeight2;
  for (const ServerCountRow& row : kServerCounts) {
    if (count.text != row.count) continue;
    for (size_t i = 0; i < row.shown.size(); ++i)
      SetRowVisible(c, "ServiceHorizontalLayout" + std::to_string(i), row.shown[i]);
    title->SetText(LanguageText("ModeTabItemChange", row.titleKey, ""));
    label->SetText(LanguageText("ModeTabItemChange", row.labelKey, ""));
    height = row.groupHeight;
    height2 = row.group2Height;
    break;
  }
  if (!c.form.Find("ServiceGroupBox")) return;
  SetGroupHeight(c.form, "ServiceGroupBox", height);
  SetGroupHeight(c.form, "ServiceGroupBox2", height2);
}

void OptionRowRule(FormRuleContext& c, int rule) {
  for (const OptionRow& option : kOptionRows) {
    if (option.rule != rule) continue;
    const Selection selection = ReadSelection(c.form, option.list);
    if (!selection.found) return;
    const bool shown =
        option.shownWhen == ShownWhen::NotZero ? selection.index != 0 : selection.index == 1;
    SetRowVisible(c, option.row, shown);
    SetGroupHeight(c.form, option.groupBox, shown ? option.heightShown : option.heightHidden);
    return;
  }
}

void LoraModeRule(FormRuleContext& c) {
  const Selection mode = ReadSelection(c.form, "LORA Mode");
  if (!mode.found) return;
  int height = 210;
  if (mode.text == "TRNS") {
    Show(c, "LoraLayout");
    height = 235;
  } else {
    Hide(c, "LoraLayout");
  }
  const std::string& version = c.facts.loraVersionText;
  if (version.find("v1") != std::string::npos) {
    Hide(c, "LoraPID");
    Hide(c, "LoraType");
  } else {
    Show(c, "LoraPID");
    Hide(c, "LoraType");
    height += 25;
  }
  if (version.find("RL47KW-A") != std::string::npos) {
    Hide(c, "LoraPower");
    height -= 25;
  } else {
    Show(c, "LoraPower");
  }
  SetGroupHeight(c.form, "LoraGroupBox", height);
}

}  // namespace rules
