#include "writing/save_composition.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogue_rows.h"
#include "catalogue/show_reply_parser.h"
#include "domain/device_params.h"
#include "domain/list_values.h"
#include "form/line_state.h"
#include "form/sensor_list.h"
#include "texts/language.h"

namespace {

// The language texts the lists are written by, read once per composition.
class LanguageTexts {
 public:
  const std::string& Text(const std::string& section, const std::string& key) {
    auto [at, added] = texts_.try_emplace(section + '\n' + key);
    if (added) at->second = LanguageText(section, key, "");
    return at->second;
  }

 private:
  std::map<std::string, std::string> texts_;
};

// The model the catalogue is bound to: the DIO3 rows name the fourth line on a five-DIO model.
bool BoundToFiveDio(const ParamTable& params) {
  for (const Dio3Binding& binding : Dio3Bindings()) {
    auto row = params.find(binding.name);
    if (row != params.end()) return row->second.atCommand == binding.fiveDioCommand;
  }
  return false;
}

// A side write to another row goes to that row whatever its tab and its active flag.
void QueueToRow(const ParamTable& params, const std::string& name, const std::string& value,
                ComposedWrites& out) {
  auto row = params.find(name);
  if (row != params.end()) QueueParamWrite(value, row->first, row->second, out);
}

// A list writes its own value, then the work mode it sets to the line it steers (the modes 4
// and 5 have no item of their own in the DIO lists), after that row's own write.
void QueueListWrites(Form& form, const std::string& name, const ParamInfo& row,
                     const ParamTable& params, bool fiveDioModel, LanguageTexts& language,
                     ComposedWrites& out) {
  ComboControl* combo = form.FindCombo(name);
  if (!combo) return;
  const ListValues* list = FindListValues(name, fiveDioModel);
  if (!list) list = &IndexListValues();
  std::vector<std::string> texts;
  for (int k = 0; k < combo->ItemCount(); ++k) texts.push_back(combo->ItemText(k));
  ListContext context;
  context.itemTexts = texts;
  context.languageText = [&language](const std::string& section, const std::string& key) {
    return language.Text(section, key);
  };
  const int i = combo->CurSel();
  if (auto own = EncodeListValue(*list, i, context)) QueueParamWrite(*own, name, row, out);
  if (const char* steered = SteeredRow(*list, i)) QueueToRow(params, steered, list->steerMode, out);
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

void SaveParams(Form& form, const ParamTable& params, const TabTable& tabs,
                const AppliedValues* applied, const ShownBytes* shownBytes, ComposedWrites& out) {
  const bool fiveDioModel = BoundToFiveDio(params);
  LanguageTexts language;
  for (const auto& [name, row] : params) {
    if (!row.active || !OnShownTab(tabs, row.page)) continue;
    if (BoundToAnotherLine(name, row, applied)) continue;
    if (row.controlKind == "Combobox" || row.controlKind == "Edit" || row.controlKind == "Line") {
      // What the user did not touch goes back as it came; an unchanged list also writes nothing
      // to the rows it steers, which carry their own values.
      if (const std::string* carried = applied ? applied->UnchangedRow(form, name, row) : nullptr) {
        const ListValues* list = FindListValues(name, fiveDioModel);
        if (!list || WritesOwnValue(*list)) QueueParamWrite(*carried, name, row, out);
        continue;
      }
    }
    std::optional<std::string> value;
    if (row.controlKind == "Combobox") {
      QueueListWrites(form, name, row, params, fiveDioModel, language, out);
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
    case RefusalReason::NotTaken:
      return "not a value the device takes";
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
    case RefusalReason::NotTaken:
      return "not taken";
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
  // The device's own table of what each parameter takes decides, as for `set`.
  if (const DeviceParam* param = FindParamByCommand(row.atCommand);
      param && param->domain && !AcceptsValue(*param->domain, value)) {
    out.refused.push_back({name, {}, {}, value, RefusalReason::NotTaken});
    return;
  }
  out.writes.push_back(MakeParamWrite(name, row.atCommand, value));
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
  SaveParams(form, params, tabs, applied, shownBytes, out);
  SaveSensorList(form, lists, tabs, out, applied, shownBytes);
  MergeWritesByCommand(out.writes);
  return out;
}
