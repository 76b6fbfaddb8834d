#include "writing/change_marks.h"

#include <optional>

#include "form/line_state.h"

namespace {

const char kSensorList[] = "CustomList";
const char kChanged[] = "changed";
const char kRefused[] = "refused";

// The item index in a list item key such as "GENSENSORINFO 3:"; -1 without one.
int ItemIndexOfKey(const std::string& key) {
  const size_t digits = key.find_first_of("0123456789");
  if (digits == std::string::npos) return -1;
  int index = 0;
  for (size_t i = digits; i < key.size() && key[i] >= '0' && key[i] <= '9'; ++i) {
    if (index > 100000) return -1;
    index = index * 10 + (key[i] - '0');
  }
  return index;
}

void Mark(ChangeMarks& marks, const std::string& name, const std::string& subkey) {
  if (subkey.empty()) {
    marks.controls.insert(name);
  } else if (name == kSensorList) {
    const int index = ItemIndexOfKey(subkey);
    if (index >= 0) marks.sensorItems.insert(index);
  }
}

// A routing mask as the device reports it; nothing for a value that is no number.
std::optional<int> MaskOf(const std::string& value) {
  if (value.empty() || value.size() > 6) return std::nullopt;
  int mask = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return std::nullopt;
    mask = mask * 10 + (c - '0');
  }
  return mask;
}

// The arrows of a routing mask whose bit the write sets otherwise than the device holds it (all
// of them when either value is no number).
void MarkArrows(ChangeMarks& marks, const WorkJob& write, const ParamTable& params) {
  for (const TransmitChannelRow& channel : TransmitChannelRows()) {
    if (write.name != channel.rowName) continue;
    const auto row = params.find(write.name);
    const std::optional<int> device =
        row == params.end() ? std::nullopt : MaskOf(row->second.value);
    const std::optional<int> form = MaskOf(write.value);
    for (const ChannelArrow& arrow : channel.arrows) {
      if (!arrow.name) continue;
      const int bit = 1 << arrow.bit;
      if (!device || !form || ((*device ^ *form) & bit) != 0) marks.controls.insert(arrow.name);
    }
  }
}

Control* SensorItem(Form& form, int index) {
  ListControl* list = form.FindList(kSensorList);
  return list ? list->ItemAt(index) : nullptr;
}

}  // namespace

ChangeMarks MarksFromWrites(const ComposedWrites& composed, const ParamTable& params) {
  ChangeMarks marks;
  for (const WorkJob& write : composed.writes) {
    Mark(marks, write.name, write.subkey);
    MarkArrows(marks, write, params);
  }
  for (const Refusal& refusal : composed.refused) {
    Mark(marks, refusal.name, refusal.subkey);
    if (refusal.reason == RefusalReason::NotTaken && refusal.subkey.empty())
      marks.refused.insert(refusal.name);
  }
  return marks;
}

void ShowChangeMarks(Form& form, const ChangeMarks& now, ChangeMarks& shown) {
  for (const std::string& name : shown.controls) {
    if (now.controls.count(name) != 0) continue;
    if (Control* control = form.Find(name)) control->SetAttribute(kChanged, "false");
  }
  for (int index : shown.sensorItems) {
    if (now.sensorItems.count(index) != 0) continue;
    if (Control* item = SensorItem(form, index)) item->SetAttribute(kChanged, "false");
  }
  for (const std::string& name : now.controls) {
    if (Control* control = form.Find(name)) control->SetAttribute(kChanged, "true");
  }
  for (int index : now.sensorItems) {
    if (Control* item = SensorItem(form, index)) item->SetAttribute(kChanged, "true");
  }
  for (const std::string& name : shown.refused) {
    if (now.refused.count(name) != 0) continue;
    if (Control* control = form.Find(name)) control->SetAttribute(kRefused, "false");
  }
  for (const std::string& name : now.refused) {
    if (Control* control = form.Find(name)) control->SetAttribute(kRefused, "true");
  }
  shown = now;
}
