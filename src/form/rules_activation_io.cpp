// The activation and I/O rules: how the data connection is started, which I/O lines serve the
// activation, the settings each DIO line's work mode needs, and the data-format fields.
#include <array>
#include <cstdint>

#include "form/rule_steps.h"
#include "texts/language.h"

namespace rules {
namespace {

// S shows, H hides, K keeps (the table's dash), Sub is decided by the activation sub-table.
enum Act : std::uint8_t { H, S, K, Sub };

constexpr int kActivationMethods = 6;
constexpr int kActivationByIo = 5;

struct ActivationRow {
  const char* row;
  std::array<Act, kActivationMethods> method;
};

struct ActivationColumn {
  bool showsIoTab;
  int height;  // "ActivateGroupBox"
};

// clang-format off
//                                                 A: 0  1  2  3  4  5
constexpr ActivationRow kActivationRows[] = {
    {"ActivateHorizontalLayout1",                    {H, S, S, H, S, H}},
    {"ActivateHorizontalLayout1.2",                  {K, K, K, K, K, H}},
    {"ActivateHorizontalLayout2",                    {H, H, H, S, S, H}},
    {"ActivateHorizontalLayout3",                    {H, H, H, S, S, H}},
    {"ActivateHorizontalLayout4",                    {H, H, H, H, H, S}},
    {"ActivateHorizontalLayout5",                    {H, H, H, H, H, Sub}},
    {"ActivateHorizontalLayout6",                    {H, H, H, H, H, Sub}},
    {"ActivateHorizontalLayout6.1",                  {H, S, H, H, S, Sub}},
    {"ActivateHorizontalLayout6.1.1",                {H, H, H, H, H, Sub}},
    {"ActivateHorizontalLayout6.1.2",                {H, S, H, H, S, Sub}},
    {"ActivateHorizontalLayout7",                    {H, H, S, H, S, H}},
    {"ActivateHorizontalLayout8",                    {H, S, H, H, S, H}},
    {"ActivateHorizontalLayout9",                    {H, H, H, H, S, H}},
    {"IO1GroupBox",                                  {S, S, S, S, K, K}},
    {"IO2GroupBox",                                  {S, S, S, S, K, K}},
    {"IO3GroupBox",                                  {S, S, S, S, S, K}},
};

constexpr ActivationColumn kActivationColumns[] = {
    {true, 60}, {true, 110}, {true, 60}, {true, 110}, {true, 185}, {false, 0},
};

// Activation by I/O lines ("ActivateMethod" 5): by "IOactivationmethods" 0, or anything else.
struct IoActivationRow {
  const char* row;
  std::array<Act, 2> column;
};
constexpr IoActivationRow kIoActivationRows[] = {
    {"ActivateHorizontalLayout5",     {S, H}},
    {"ActivateHorizontalLayout6",     {H, S}},
    {"ActivateHorizontalLayout6.1",   {H, S}},
    {"ActivateHorizontalLayout6.1.1", {H, S}},
    {"ActivateHorizontalLayout6.1.2", {H, H}},
};
constexpr std::array<int, 2> kIoActivationHeight = {110, 135};

// The rows of a DIO line, "IOLayout" n followed by these.
constexpr std::array<const char*, 12> kLineRows = {
    ".1", ".2", ".2.1", ".3", ".3.1", ".3.2", ".4", ".4.1", ".4.2", ".5", ".6", ".7"};

// Beyond S, H and K, a line row can follow a list of its line: the SMS number row shows for
// interface 3, the reported-times row for reported method 1, the query row for method 0, and the
// rows from ".4" to ".5" follow the protocol.
enum LineAct : std::uint8_t { LH, LS, Interface3, Method1, Method0, Protocol };

struct ProtocolOutcome {
  std::array<LineAct, 4> rows;  // ".4", ".4.1", ".4.2", ".5"
  int heightShortLines;         // lines 1, 2 and 4
  int heightLongLines;          // lines 3 and 5
};

enum class Lines { All, Short, Long };  // Short: lines 1, 2, 4; Long: lines 3, 5

struct DioWorkMode {
  const char* textKey;  // section "DIO workmode"
  Lines lines;
  std::array<LineAct, 12> rows;
  int height;  // when the rows do not follow the protocol
  ProtocolOutcome protocolOne;
  ProtocolOutcome protocolOther;
};

constexpr ProtocolOutcome kNoProtocol = {{LH, LH, LH, LH}, 0, 0};

//                           .1  .2  .2.1        .3  .3.1     .3.2     .4        .4.1      .4.2      .5        .6  .7
constexpr DioWorkMode kDioWorkModes[] = {
    {"Text1", Lines::All,   {LH, LH, LH,         LH, LH,      LH,      LH,       LH,       LH,       LH,       LH, LH}, 60,
     kNoProtocol, kNoProtocol},
    {"Text2", Lines::All,   {LS, LS, Interface3, LS, Method1, Method0, Protocol, Protocol, Protocol, Protocol, LH, LH}, 0,
     {{LS, LS, LH, LS}, 160, 160}, {{LH, LH, LH, LH}, 110, 110}},
    {"Text3", Lines::All,   {LS, LS, Interface3, LH, LH,      LH,      Protocol, Protocol, Protocol, Protocol, LH, LH}, 0,
     {{LS, LS, LS, LS}, 135, 135}, {{LS, LH, LS, LH}, 110, 85}},
    {"Text4", Lines::All,   {LH, LH, LH,         LH, LH,      LH,      LH,       LH,       LH,       LH,       LS, LH}, 85,
     kNoProtocol, kNoProtocol},
    {"Text5", Lines::Short, {LH, LH, LH,         LH, LH,      LH,      LH,       LH,       LH,       LH,       LH, LS}, 85,
     kNoProtocol, kNoProtocol},
    {"Text5", Lines::Long,  {LH, LS, LH,         LH, LH,      LH,      LH,       LH,       LH,       LH,       LH, LS}, 135,
     kNoProtocol, kNoProtocol},
};
// clang-format on

constexpr int kFirstProtocolRow = 6;  // ".4"
constexpr int kNoMatchHeight = 60;
constexpr int kProtocolAbsentHeight = 60;

void Apply(FormRuleContext& c, const std::string& row, Act act) {
  if (act == S || act == H) SetRowVisible(c, row, act == S);
}

bool IsLongLine(int line) {
  return line == 3 || line == 5;
}

bool Serves(Lines lines, int line) {
  return lines == Lines::All || (lines == Lines::Long) == IsLongLine(line);
}

std::string LineName(const char* before, int line, const char* after) {
  return before + std::to_string(line) + after;
}

// A list that decides a row by its selected index; a missing list leaves the row alone.
void ShowWhenIndex(FormRuleContext& c, const std::string& row, const std::string& list, int index) {
  const Selection selection = ReadSelection(c.form, list);
  if (selection.found) SetRowVisible(c, row, selection.index == index);
}

// The third I/O line: line 4 on five-line models, line 3 otherwise.
std::string ThirdIoGroup(const FormRuleContext& c) {
  return c.facts.fiveDioModel ? "IO4GroupBox" : "IO3GroupBox";
}

// Whether the control `name` exists, and whether it is on show; nullptr when absent.
Control* FindShown(FormRuleContext& c, const std::string& name, bool& shown) {
  Control* control = c.form.Find(name);
  shown = control && ShownOnForm(c.form, *control);
  return control;
}

int SelectedIndex(Control& control) {
  ComboControl* combo = control.AsCombo();
  return combo ? combo->CurSel() : -1;
}

}  // namespace

void ActivationRule(FormRuleContext& c) {
  const Selection method = ReadSelection(c.form, "ActivateMethod");
  if (!method.found) return;
  // A work mode without activation hid the whole group, its rows and the I/O tab; the rule that
  // a read posts afterwards must not bring them back (and make them written). Showing the group
  // again posts this rule.
  if (Control* group = c.form.Find("ActivateGroupBox"); group && !group->IsVisible()) return;
  int height = 60;
  if (method.index >= 0 && method.index < kActivationMethods) {
    const size_t a = static_cast<size_t>(method.index);
    for (const ActivationRow& row : kActivationRows) Apply(c, row.row, row.method[a]);
    if (method.index == 4) {
      Post(c, kRuleLoraMode);
      Post(c, kRuleIo2Mode);
    }
    const ActivationColumn& column = kActivationColumns[a];
    if (column.showsIoTab) {
      Show(c, "IOTab");
      c.tabs[kIOTab].shown = true;
    }
    height = column.height;
    if (method.index == kActivationByIo) {
      const Selection by = ReadSelection(c.form, "IOactivationmethods");
      if (!by.found) return;
      const size_t b = by.index == 0 ? 0 : 1;
      for (const IoActivationRow& row : kIoActivationRows) Apply(c, row.row, row.column[b]);
      if (b == 0) {
        Post(c, kRuleIoSelection);
      } else {
        Post(c, kRuleIo1Control);
        Post(c, kRuleIo2Control);
        Post(c, kRuleIo3Control);
      }
      height = kIoActivationHeight[b];
    }
  }
  SetGroupHeight(c.form, "ActivateGroupBox", height);
}

void DioLineRule(FormRuleContext& c, int line) {
  const Selection workMode = ReadSelection(c.form, LineName("DIO", line, " workmode"));
  if (!workMode.found) return;
  const std::string layout = LineName("IOLayout", line, "");
  int height = kNoMatchHeight;
  for (const DioWorkMode& mode : kDioWorkModes) {
    // Nothing selected matches no work mode, not even one the language file lacks.
    if (workMode.text.empty()) break;
    if (workMode.text != LanguageText("DIO workmode", mode.textKey, "")) continue;
    if (!Serves(mode.lines, line)) continue;
    height = mode.height;
    const Selection protocol = ReadSelection(c.form, LineName("DIO", line, " protocol"));
    const ProtocolOutcome& outcome = protocol.index == 1 ? mode.protocolOne : mode.protocolOther;
    for (size_t i = 0; i < kLineRows.size(); ++i) {
      const std::string row = layout + kLineRows[i];
      switch (mode.rows[i]) {
        case LH:
          Hide(c, row);
          break;
        case LS:
          Show(c, row);
          break;
        case Interface3:
          ShowWhenIndex(c, row, LineName("DIO", line, " interface"), 3);
          break;
        case Method1:
          ShowWhenIndex(c, row, LineName("DIO", line, " reported methods"), 1);
          break;
        case Method0:
          ShowWhenIndex(c, row, LineName("DIO", line, " reported methods"), 0);
          break;
        case Protocol:
          if (!protocol.found) {
            height = kProtocolAbsentHeight;
            break;
          }
          SetRowVisible(c, row, outcome.rows[i - kFirstProtocolRow] == LS);
          height = IsLongLine(line) ? outcome.heightLongLines : outcome.heightShortLines;
          break;
      }
    }
    break;
  }
  SetGroupHeight(c.form, LineName("IO", line, "GroupBox"), height);
}

void IoSelectionRule(FormRuleContext& c) {
  bool shown = false;
  Control* selection = FindShown(c, "I/O selection", shown);
  if (!selection) return;
  const std::string third = ThirdIoGroup(c);
  if (!shown) {
    Show(c, "IO1GroupBox");
    Show(c, "IO2GroupBox");
    Show(c, third);
    return;
  }
  // The line chosen for activation is not offered for anything else.
  const int x = SelectedIndex(*selection);
  SetRowVisible(c, "IO1GroupBox", x != 0);
  SetRowVisible(c, "IO2GroupBox", x != 1);
  SetRowVisible(c, third, x != 2);
  Show(c, "IOTab");
  c.tabs[kIOTab].shown = true;
}

void IoControlRule(FormRuleContext& c, int k) {
  bool shown = false;
  Control* control = FindShown(c, LineName("I/O", k, " control"), shown);
  if (!control) return;
  const std::string group = LineName("IO", k, "GroupBox");
  if (!shown) {
    Show(c, group);
    return;
  }
  // A line that controls something (items 0 to 5) is not offered as a DIO line.
  const int index = SelectedIndex(*control);
  SetRowVisible(c, group, index < 0 || index > 5);
  UpdateIoTab(c);
}

void IoModeRule(FormRuleContext& c, bool io2First) {
  bool shown = false;
  if (io2First) {
    Control* io2 = FindShown(c, "I/O2 Mode", shown);
    if (!io2) return;
    if (!shown) {
      Show(c, "IO2GroupBox");
      return;
    }
    SetRowVisible(c, "IO2GroupBox", SelectedIndex(*io2) <= 0);
  }
  Control* io1 = FindShown(c, "I/O1 Mode", shown);
  if (!io1) return;
  SetRowVisible(c, "IO1GroupBox", !shown || SelectedIndex(*io1) <= 0);
}

void DataFormatRule(FormRuleContext& c, int line) {
  const std::string formatName = LineName("A DIO", line, " data format");
  ComboControl* format = c.form.FindCombo(formatName);
  auto formatRow = c.params.find(formatName);
  bool changed = false;
  if (format && formatRow != c.params.end())
    changed = format->CurSel() != LeadingInt(formatRow->second.value);
  // Another format than the device's makes the device's texts meaningless; its own format brings
  // them back.
  for (const char* field : {" query command", " output control result", " high level information",
                            " low level information"}) {
    const std::string name = LineName("DIO", line, field);
    auto row = c.params.find(name);
    Control* control = c.form.Find(name);
    if (row != c.params.end() && control)
      control->SetText(ShowBytes(c.shownBytes, ShownBytes::RowKey(name),
                                 changed ? std::string() : row->second.value));
  }
}

void UpdateIoTab(FormRuleContext& c) {
  int count = 0;
  for (int k = 1; k <= 5; ++k) {
    Control* control = c.form.Find(LineName("I/O", k, " control"));
    if (!control) return;
    ComboControl* combo = control->AsCombo();
    const int index = combo ? combo->CurSel() : -1;
    // No selection is an empty text, which is not "None" either.
    if (index < 0 || combo->ItemText(index) != "None") ++count;
  }
  const bool shown = count != 3;
  c.tabs[kIOTab].shown = shown;
  SetRowVisible(c, "IOTab", shown);
}

}  // namespace rules

void UpdateIoTab(FormRuleContext& context) {
  rules::UpdateIoTab(context);
}
