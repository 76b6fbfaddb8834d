#include "form/sensor_list.h"

const std::array<const char*, kSensorFieldCount> kSensorFields{
    "SensorCfg_DeviceSwitch",
    "SensorCfg_DeviceAddress",
    "SensorCfg_FunctionCode",
    "SensorCfg_RegisterAddress",
    "SensorCfg_RegisterCount",
    "SensorCfg_DataType",
    "SensorCfg_NumberOfDecimalPoints",
    "SensorCfg_BindSerialPort",
    "SensorCfg_DataName",
    "SensorCfg_DataChg",
};

namespace {
const char kSensorListName[] = "CustomList";
const char kItemLayout[] = "CustomListItem.xml";

bool IsEdit(const Control& control) {
  return control.ClassName() == "EditUI";
}

int LeadingDecimal(const std::string& text) {
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9' || value > 100000) break;
    value = value * 10 + (c - '0');
  }
  return value;
}
}  // namespace

std::string ReadItemField(Control& item, const std::string& field) {
  Control* control = item.FindChild(field);
  if (!control) return {};
  if (ComboControl* combo = control->AsCombo()) {
    const int index = combo->CurSel();
    return index < 0 ? std::string() : std::to_string(index);
  }
  return IsEdit(*control) ? control->Text() : std::string();
}

void WriteItemField(Control& item, const std::string& field, const std::string& text) {
  Control* control = item.FindChild(field);
  if (!control) return;
  if (ComboControl* combo = control->AsCombo()) {
    combo->SelectItem(LeadingDecimal(text));
  } else if (IsEdit(*control)) {
    control->SetText(text);
  }
}

void NumberSensorList(Form& form) {
  ListControl* list = form.FindList("CustomList");
  if (!list) return;
  for (int i = 0; i < list->ItemCount(); ++i) {
    Control* item = list->ItemAt(i);
    if (!item) continue;
    if (Control* channel = item->FindChild("SensorCfg_Channel"))
      channel->SetText(std::to_string(i + 1));
    WriteItemField(*item, "SensorCfg_DeviceSwitch", "0");
  }
}

std::vector<std::string> SplitItemFields(const std::string& fields) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t comma = fields.find(','); comma != std::string::npos;
       comma = fields.find(',', start)) {
    pieces.push_back(fields.substr(start, comma - start));
    start = comma + 1;
  }
  pieces.push_back(fields.substr(start));
  return pieces;
}

namespace {

// A field back to the layout's content; a drop-down list the layout leaves without selection
// gets none again.
void ResetItemField(Control& item, const std::string& field, const std::string& value) {
  Control* control = item.FindChild(field);
  ComboControl* combo = control ? control->AsCombo() : nullptr;
  if (combo && value.empty()) {
    combo->SelectItem(-1);
  } else {
    WriteItemField(item, field, value);
  }
}

void RebuildItems(ListControl& list) {
  const int count = list.ItemCount();
  list.RemoveAllItems();
  for (int i = 0; i < count; ++i) {
    // The layout is the same file for every item: when it cannot give one, it gives none.
    if (!list.AppendItemFromFile(kItemLayout)) break;
  }
}

bool AllItemsPresent(const ListControl& list) {
  for (int i = 0; i < list.ItemCount(); ++i) {
    if (!list.ItemAt(i)) return false;
  }
  return list.ItemCount() > 0;
}

}  // namespace

std::string ReadItemBytes(Control& item, int index, const std::string& field,
                          const ShownBytes* shownBytes) {
  return HeldBytes(shownBytes, ShownBytes::ItemFieldKey(kSensorListName, index, field),
                   ReadItemField(item, field));
}

void FillSensorList(Form& form, const ListParamTable& lists, SensorItemDefaults* defaults,
                    ShownBytes* shownBytes) {
  auto entry = lists.find(kSensorListName);
  if (entry == lists.end() || entry->second.controlKind != "List") return;
  ListControl* list = form.FindList(kSensorListName);
  if (!list) return;
  // Every field is filled anew: none stands for the bytes of an earlier fill.
  if (shownBytes) shownBytes->ForgetAll(ShownBytes::ListPrefix(kSensorListName));

  const bool refill = defaults && defaults->known && AllItemsPresent(*list);
  if (!refill) RebuildItems(*list);
  NumberSensorList(form);
  if (defaults && !defaults->known && list->ItemCount() > 0) {
    // The first item is fresh from the layout and only numbered so far.
    for (size_t p = 0; p < kSensorFields.size(); ++p)
      defaults->fields[p] = ReadItemField(*list->ItemAt(0), kSensorFields[p]);
    defaults->known = true;
  }

  for (int g = 0; g < list->ItemCount(); ++g) {
    Control* item = list->ItemAt(g);
    if (!item) continue;
    auto value = entry->second.items.find(ListItemLabel(entry->second.labelFormat, g));
    if (value == entry->second.items.end() || value->second.empty()) {
      // Numbering has switched the item off already; the rest goes back to the layout's.
      if (refill) {
        for (size_t p = 1; p < kSensorFields.size(); ++p)
          ResetItemField(*item, kSensorFields[p], defaults->fields[p]);
      }
      continue;
    }
    const std::vector<std::string> pieces = SplitItemFields(value->second);
    for (size_t p = 0; p < kSensorFields.size(); ++p) {
      const std::string piece = p < pieces.size() ? pieces[p] : std::string();
      Control* field = item->FindChild(kSensorFields[p]);
      // An edit shows bytes that are not UTF-8 (a data name in GB 18030) in a readable decoding;
      // a drop-down list takes its number as it is.
      const bool edit = field && !field->AsCombo() && IsEdit(*field);
      WriteItemField(
          *item, kSensorFields[p],
          edit ? ShowBytes(shownBytes,
                           ShownBytes::ItemFieldKey(kSensorListName, g, kSensorFields[p]), piece)
               : piece);
    }
  }
}
