#include "writing/sensor_list.h"

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

void FillSensorList(Form& form, const ListParamTable& lists) {
  auto entry = lists.find(kSensorListName);
  if (entry == lists.end() || entry->second.controlKind != "List") return;
  ListControl* list = form.FindList(kSensorListName);
  if (!list) return;

  const int count = list->ItemCount();
  list->RemoveAllItems();
  for (int i = 0; i < count; ++i) {
    // The layout is the same file for every item: when it cannot give one, it gives none.
    if (!list->AppendItemFromFile(kItemLayout)) break;
  }
  NumberSensorList(form);

  for (int g = 0; g < list->ItemCount(); ++g) {
    Control* item = list->ItemAt(g);
    if (!item) continue;
    auto value = entry->second.items.find(ListItemLabel(entry->second.labelFormat, g));
    if (value == entry->second.items.end() || value->second.empty()) continue;
    const std::vector<std::string> pieces = SplitItemFields(value->second);
    for (size_t p = 0; p < kSensorFields.size(); ++p) {
      // The data name is UTF-8 on the device and in the form alike: it is shown as it comes.
      WriteItemField(*item, kSensorFields[p], p < pieces.size() ? pieces[p] : std::string());
    }
  }
}
