#include "writing/save_composition.h"

#include <array>
#include <map>
#include <optional>
#include <string_view>

#include "catalogue/catalogue_rows.h"
#include "catalogue/show_reply_parser.h"
#include "form/line_state.h"
#include "form/sensor_list.h"
#include "texts/language.h"

namespace {

// How a drop-down list's state becomes the value the device keeps.
enum class WriteAs {
  WorkMode,         // the item text; the custom mode's text stands for "CUST"
  Exfun,            // 0 and 3
  TextUnlessEmpty,  // the item text, nothing without one
  LoraType,         // counted from 1, "0" without selection
  ActivateMethod,   // "AUTO" .. "DIO", empty otherwise
  IoSelection,      // "4" to the chosen line's work mode; the row itself is never written
  NetMode,          // 0, then 4 and up
  IoMode,           // 4 and 5; the first item writes nothing
  Text,             // the item text, also when empty
  BindingCenter,    // 0, 1, 2, 4, 8, 16, 255
  FromOne,          // counted from 1
  IoControl,        // the index, and "5" to the same line's work mode unless it is 6
  DeviceModel,      // "CLI", "SVR", otherwise "-1"
  DioWorkMode,      // by the language's work-mode texts
  Index,            // the index
};

struct ComboWriteRule {
  const char* name;
  WriteAs writeAs;
};

// Every list not named here writes its index.
constexpr ComboWriteRule kComboWriteRules[] = {
    {"Protocolmodel", WriteAs::WorkMode},
    {"EXFUN", WriteAs::Exfun},
    {"LORA Mode", WriteAs::TextUnlessEmpty},
    {"LORA Rate", WriteAs::TextUnlessEmpty},
    {"LORA Channel", WriteAs::TextUnlessEmpty},
    {"ZigBee_RFchannel", WriteAs::TextUnlessEmpty},
    {"LORA typ", WriteAs::LoraType},
    {"ActivateMethod", WriteAs::ActivateMethod},
    {"I/O selection", WriteAs::IoSelection},
    {"net mode", WriteAs::NetMode},
    {"I/O1 Mode", WriteAs::IoMode},
    {"I/O2 Mode", WriteAs::IoMode},
    {"Server Count", WriteAs::Text},
    {"The PPP authentication", WriteAs::Text},
    {"DIO1 interface", WriteAs::Text},
    {"DIO2 interface", WriteAs::Text},
    {"DIO3 interface", WriteAs::Text},
    {"DIO4 interface", WriteAs::Text},
    {"DIO5 interface", WriteAs::Text},
    {"A serial port binding center", WriteAs::BindingCenter},
    {"RS485 port binding center", WriteAs::BindingCenter},
    {"A serial 2 port binding center", WriteAs::BindingCenter},
    {"Transferprotocol", WriteAs::Text},
    {"Serial port commu mode", WriteAs::Text},
    {"Serial 2 port commu mode", WriteAs::Text},
    {"Serial 2 Baudrate", WriteAs::Text},
    {"Serial Baudrate", WriteAs::Text},
    {"Dtumanagetransferprotocol", WriteAs::Text},
    {"RS485 Baudrate", WriteAs::Text},
    {"RS485 port commu mode", WriteAs::Text},
    {"ActivationInterface", WriteAs::FromOne},
    {"Debugging  port", WriteAs::FromOne},
    {"I/O1 control", WriteAs::IoControl},
    {"I/O2 control", WriteAs::IoControl},
    {"I/O3 control", WriteAs::IoControl},
    {"DeviceModel", WriteAs::DeviceModel},
    {"DIO1 workmode", WriteAs::DioWorkMode},
    {"DIO2 workmode", WriteAs::DioWorkMode},
    {"DIO3 workmode", WriteAs::DioWorkMode},
    {"DIO4 workmode", WriteAs::DioWorkMode},
    {"DIO5 workmode", WriteAs::DioWorkMode},
};

constexpr std::array<const char*, 6> kActivateMethods{"AUTO", "SMSD", "CTRL",
                                                      "DATA", "MIXD", "DIO"};
// The stored values of the five work modes a DIO list offers, in the order of its texts.
constexpr std::array<const char*, 5> kDioWorkModes{"0", "1", "2", "3", "6"};

// The language texts the rules compare item texts with, read once per composition.
struct RuleTexts {
  std::string customWorkMode;
  std::array<std::string, 5> dioWorkModes;

  static RuleTexts Load() {
    RuleTexts texts;
    texts.customWorkMode = LanguageText("Protocolmodel", "Text", "");
    for (size_t i = 0; i < texts.dioWorkModes.size(); ++i)
      texts.dioWorkModes[i] = LanguageText("DIO workmode", "Text" + std::to_string(i + 1), "");
    return texts;
  }
};

WriteAs WriteRuleFor(const std::string& name) {
  for (const ComboWriteRule& rule : kComboWriteRules) {
    if (name == rule.name) return rule.writeAs;
  }
  return WriteAs::Index;
}

bool HoldsLineBreak(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A side write to another row goes to that row whatever its tab and its active flag.
void QueueToRow(const ParamTable& params, const std::string& name, const std::string& value,
                ComposedWrites& out) {
  auto row = params.find(name);
  if (row != params.end()) QueueParamWrite(value, row->first, row->second, out);
}

std::string DioRowName(int line) {
  return "DIO" + std::to_string(line) + " workmode";
}

// The value a drop-down list row writes to itself, or nothing when its rule writes nothing there.
std::optional<std::string> ComboValue(WriteAs writeAs, int i, const std::string& text,
                                      const RuleTexts& texts) {
  switch (writeAs) {
    case WriteAs::WorkMode:
      return text == texts.customWorkMode ? std::string("CUST") : text;
    case WriteAs::Exfun:
      if (i < 0) return std::nullopt;
      return i == 1 ? std::string("3") : std::to_string(i);
    case WriteAs::TextUnlessEmpty:
      if (text.empty()) return std::nullopt;
      return text;
    case WriteAs::LoraType:
      return std::to_string(i < 0 ? 0 : i + 1);
    case WriteAs::ActivateMethod:
      if (i < 0 || i >= static_cast<int>(kActivateMethods.size())) return std::string();
      return std::string(kActivateMethods[static_cast<size_t>(i)]);
    case WriteAs::IoSelection:
      return std::nullopt;
    case WriteAs::NetMode:
      if (i < 0) return std::nullopt;
      return std::to_string(i == 0 ? 0 : i + 3);
    case WriteAs::IoMode:
      if (i <= 0) return std::nullopt;
      return std::to_string(i + 3);
    case WriteAs::Text:
      return text;
    case WriteAs::BindingCenter:
      if (i < 0) return std::nullopt;
      if (i == 0) return std::string("0");
      if (i == 6) return std::string("255");
      // Past the last item the list shows nothing the device knows: keep the shift defined.
      return std::to_string(i <= 30 ? 1L << (i - 1) : 0L);
    case WriteAs::FromOne:
    case WriteAs::IoControl:
    case WriteAs::Index:
      if (i < 0) return std::nullopt;
      return std::to_string(writeAs == WriteAs::FromOne ? i + 1 : i);
    case WriteAs::DeviceModel:
      if (i == 0) return std::string("CLI");
      if (i == 1) return std::string("SVR");
      return std::string("-1");
    case WriteAs::DioWorkMode:
      if (text.empty()) return std::string("0");
      for (size_t k = 0; k < texts.dioWorkModes.size(); ++k) {
        if (text == texts.dioWorkModes[k]) return std::string(kDioWorkModes[k]);
      }
      return std::string("0");
  }
  return std::nullopt;
}

// The work modes 4 (activation input) and 5 (control output) have no item of their own in the
// DIO lists: the I/O selection and I/O control lists write them to the line they choose, after
// that row's own write.
void QueueSideWrite(WriteAs writeAs, const std::string& name, int i, const ParamTable& params,
                    ComposedWrites& out) {
  if (writeAs == WriteAs::IoSelection) {
    // The third item stands for the device's fourth line.
    if (i >= 0) QueueToRow(params, DioRowName(i == 2 ? 4 : i + 1), "4", out);
  } else if (writeAs == WriteAs::IoControl) {
    // "I/O1 control" .. "I/O3 control" steer the DIO line of the same number.
    if (i >= 0 && i != 6) QueueToRow(params, DioRowName(name[3] - '0'), "5", out);
  }
}

// The device's mask as its leading digits give it; anything else counts as 0.
int LeadingDigits(const std::string& value) {
  int number = 0;
  for (char c : value) {
    if (c < '0' || c > '9' || number > 100000) break;
    number = number * 10 + (c - '0');
  }
  return number;
}

std::optional<std::string> TransmitChannelValue(Form& form, const std::string& name,
                                                const ParamInfo& row) {
  for (const TransmitChannelRow& channel : TransmitChannelRows()) {
    if (name != channel.rowName) continue;
    int mask = LeadingDigits(row.value) & channel.keptBits;
    for (const ChannelArrow& arrow : channel.arrows) {
      if (arrow.name && GetLineState(form, arrow.name)) mask |= 1 << arrow.bit;
    }
    return std::to_string(mask);
  }
  return std::nullopt;
}

bool OnShownTab(const TabTable& tabs, int32_t page) {
  return page >= 0 && page < tabs.size() && tabs[page].shown;
}

// A DIO3 row whose value was read for the other model's line: on this device its command names
// another line than the one the value belongs to.
bool BoundToAnotherLine(const std::string& name, const ParamInfo& row,
                        const AppliedValues* applied) {
  if (!applied || !applied->Taken()) return false;
  for (const Dio3Binding& binding : Dio3Bindings()) {
    if (name != binding.name) continue;
    const char* meant = applied->FiveDioModel() ? binding.fiveDioCommand : binding.threeDioCommand;
    return row.atCommand != meant;
  }
  return false;
}

void SaveParams(Form& form, const ParamTable& params, const TabTable& tabs, const RuleTexts& texts,
                const AppliedValues* applied, const ShownBytes* shownBytes, ComposedWrites& out) {
  for (const auto& [name, row] : params) {
    if (!row.active || !OnShownTab(tabs, row.page)) continue;
    if (BoundToAnotherLine(name, row, applied)) continue;
    if (row.controlKind == "Combobox" || row.controlKind == "Edit" || row.controlKind == "Line") {
      // What the user did not touch goes back as it came; an unchanged list also writes nothing
      // to the rows it steers, which carry their own values.
      if (const std::string* carried = applied ? applied->UnchangedRow(form, name, row) : nullptr) {
        if (WriteRuleFor(name) != WriteAs::IoSelection) QueueParamWrite(*carried, name, row, out);
        continue;
      }
    }
    std::optional<std::string> value;
    if (row.controlKind == "Combobox") {
      Control* control = form.Find(name);
      ComboControl* combo = control ? control->AsCombo() : nullptr;
      if (!combo) continue;
      const WriteAs writeAs = WriteRuleFor(name);
      const int i = combo->CurSel();
      if (auto own = ComboValue(writeAs, i, control->Text(), texts))
        QueueParamWrite(*own, name, row, out);
      QueueSideWrite(writeAs, name, i, params, out);
      continue;
    } else if (row.controlKind == "Edit") {
      if (Control* edit = form.Find(name))
        value = HeldBytes(shownBytes, ShownBytes::RowKey(name), edit->Text());
    } else if (row.controlKind == "Line") {
      value = TransmitChannelValue(form, name, row);
    }
    if (value) QueueParamWrite(*value, name, row, out);
  }
}

}  // namespace

const char* RefusalReasonText(RefusalReason reason) {
  switch (reason) {
    case RefusalReason::LineBreak:
      return "the value holds a line break";
    case RefusalReason::CommaInItemField:
      return "a sensor field holds a comma";
    case RefusalReason::TooLong:
      return "longer than the device's field";
  }
  return "?";
}

const char* RefusalReasonWord(RefusalReason reason) {
  switch (reason) {
    case RefusalReason::LineBreak:
      return "line break";
    case RefusalReason::CommaInItemField:
      return "comma";
    case RefusalReason::TooLong:
      return "too long";
  }
  return "?";
}

void QueueParamWrite(const std::string& value, const std::string& name, const ParamInfo& row,
                     ComposedWrites& out) {
  // A row written twice in one batch (a DIO work mode by its own list, then 4 or 5 by the I/O
  // selection or an I/O control list) ends at the later value. Only that one is sent, and only
  // when it differs from the device: sending both would make every Write of an unchanged form
  // first switch the line's mode away and then back, and comparing the later one alone with the
  // device would leave the line at the earlier value.
  std::erase_if(out.writes,
                [&](const WorkJob& job) { return job.group.empty() && job.name == name; });
  if (value == row.value) return;
  if (HoldsLineBreak(value)) {
    out.refused.push_back({name, {}, {}, value, RefusalReason::LineBreak});
    return;
  }
  if (value.size() >= kMaxValueLength) {
    out.refused.push_back({name, {}, {}, value, RefusalReason::TooLong});
    return;
  }
  WorkJob job;
  job.kind = JobKind::kWrite;
  job.command = row.atCommand + "=" + value + "\r\n";
  job.name = name;
  job.value = value;
  out.writes.push_back(std::move(job));
}

void QueueSensorItemWrite(int index, const std::vector<std::string>& fields,
                          const std::string& listName, const ListParamInfo& entry,
                          ComposedWrites& out) {
  std::string fieldsText;
  for (size_t p = 0; p < fields.size(); ++p) fieldsText += (p ? "," : "") + fields[p];
  const std::string key = ListItemLabel(entry.labelFormat, index);
  auto stored = entry.items.find(key);
  const std::string deviceValue = stored == entry.items.end() ? std::string() : stored->second;

  // An item that is off and that the device never reported is no item at all.
  const std::string itemSwitch = fields.empty() ? std::string() : fields[0];
  if (itemSwitch == "0" && deviceValue.empty()) return;
  if (fieldsText == deviceValue) return;

  for (size_t p = 0; p < fields.size(); ++p) {
    const bool lineBreak = HoldsLineBreak(fields[p]);
    if (!lineBreak && fields[p].find(',') == std::string::npos) continue;
    const std::string field = p < kSensorFields.size() ? kSensorFields[p] : std::string();
    out.refused.push_back({listName, key, field, fields[p],
                           lineBreak ? RefusalReason::LineBreak : RefusalReason::CommaInItemField});
    return;
  }
  if (fieldsText.size() > kMaxItemValueLength) {
    out.refused.push_back({listName, key, {}, fieldsText, RefusalReason::TooLong});
    return;
  }

  WorkJob job;
  job.kind = JobKind::kWrite;
  job.command = entry.atCommand + "=" + std::to_string(index) + "," + fieldsText + "\r\n";
  job.name = listName;
  job.value = fieldsText;
  job.group = entry.controlKind;
  job.subkey = key;
  out.writes.push_back(std::move(job));
}

void SaveSensorList(Form& form, const ListParamTable& lists, const TabTable& tabs,
                    ComposedWrites& out, const AppliedValues* applied,
                    const ShownBytes* shownBytes) {
  for (const auto& [name, entry] : lists) {
    if (!entry.active || !OnShownTab(tabs, entry.page) || entry.controlKind != "List" ||
        name != "CustomList")
      continue;
    ListControl* list = form.FindList(name);
    if (!list) continue;
    for (int k = 0; k < list->ItemCount(); ++k) {
      Control* item = list->ItemAt(k);
      if (!item) continue;
      if (const AppliedValues::Item* carried =
              applied ? applied->UnchangedItem(*item, k) : nullptr) {
        // An item the source did not state stays as the device has it; an empty one cannot be
        // written as such.
        if (!carried->stated || carried->value.empty()) continue;
        QueueSensorItemWrite(k, SplitItemFields(carried->value), name, entry, out);
        continue;
      }
      std::vector<std::string> fields;
      // A data name the device keeps in GB 18030 goes back as those bytes unless it was edited.
      for (const char* field : kSensorFields)
        fields.push_back(ReadItemBytes(*item, k, field, shownBytes));
      QueueSensorItemWrite(k, fields, name, entry, out);
    }
  }
}

void MergeWritesByCommand(std::vector<WorkJob>& writes) {
  std::map<std::string, size_t> last;
  auto keyOf = [](const WorkJob& job) {
    // A sensor item's command carries its index: one key per item.
    return job.group.empty() ? job.command.substr(0, job.command.find('='))
                             : job.name + '\n' + job.subkey;
  };
  for (size_t i = 0; i < writes.size(); ++i) last[keyOf(writes[i])] = i;
  size_t kept = 0;
  for (size_t i = 0; i < writes.size(); ++i) {
    if (last[keyOf(writes[i])] != i) continue;
    if (kept != i) writes[kept] = std::move(writes[i]);
    ++kept;
  }
  writes.resize(kept);
}

ComposedWrites ComposeWrites(Form& form, const ParamTable& params, const ListParamTable& lists,
                             const TabTable& tabs, const AppliedValues* applied,
                             const ShownBytes* shownBytes) {
  ComposedWrites out;
  SaveParams(form, params, tabs, RuleTexts::Load(), applied, shownBytes, out);
  SaveSensorList(form, lists, tabs, out, applied, shownBytes);
  MergeWritesByCommand(out.writes);
  return out;
}
