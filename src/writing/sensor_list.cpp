#include "writing/sensor_list.h"

namespace {
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
