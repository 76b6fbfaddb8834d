#include "writing/applied_values.h"

#include "form/line_state.h"
#include "form/sensor_list.h"

namespace {

constexpr char kSensorListName[] = "CustomList";

std::string ItemFieldsShown(Control& item) {
  std::string shown;
  for (const char* field : kSensorFields) {
    shown += ReadItemField(item, field);
    // A separator no field text holds, so that moved commas never look the same.
    shown += '\x1f';
  }
  return shown;
}

}  // namespace

std::string ShownState(Form& form, const std::string& name, const ParamInfo& row) {
  if (row.controlKind == "Line") {
    // Only the routing masks are rows of their own; other "Line" rows have nothing to show.
    for (const TransmitChannelRow& channel : TransmitChannelRows()) {
      if (name != channel.rowName) continue;
      std::string arrows = "L";
      for (const ChannelArrow& arrow : channel.arrows) {
        if (arrow.name) arrows += GetLineState(form, arrow.name) ? '1' : '0';
      }
      return arrows;
    }
    return {};
  }
  Control* control = form.Find(name);
  if (!control) return {};
  if (ComboControl* combo = control->AsCombo())
    return "C" + std::to_string(combo->CurSel()) + '\x1f' + control->Text();
  return "E" + control->Text();
}

void AppliedValues::Take(Form& form, const ParamTable& params, const ListParamTable& lists,
                         bool fiveDioModel) {
  rows_.clear();
  items_.clear();
  for (const auto& [name, row] : params) rows_[name] = {row.value, ShownState(form, name, row)};
  auto entry = lists.find(kSensorListName);
  ListControl* list = form.FindList(kSensorListName);
  if (entry != lists.end() && list) {
    for (int k = 0; k < list->ItemCount(); ++k) {
      Item item;
      auto value = entry->second.items.find(ListItemLabel(entry->second.labelFormat, k));
      item.stated = value != entry->second.items.end();
      if (item.stated) item.value = value->second;
      if (Control* control = list->ItemAt(k)) item.shown = ItemFieldsShown(*control);
      items_.push_back(std::move(item));
    }
  }
  fiveDioModel_ = fiveDioModel;
  taken_ = true;
}

void AppliedValues::Clear() {
  rows_.clear();
  items_.clear();
  taken_ = false;
}

const std::string* AppliedValues::UnchangedRow(Form& form, const std::string& name,
                                               const ParamInfo& row) const {
  if (!taken_) return nullptr;
  auto it = rows_.find(name);
  // A row without a control of its own is never written, carried or not.
  if (it == rows_.end() || it->second.shown.empty()) return nullptr;
  if (ShownState(form, name, row) != it->second.shown) return nullptr;
  return &it->second.value;
}

const AppliedValues::Item* AppliedValues::UnchangedItem(Control& item, int index) const {
  if (!taken_ || index < 0 || static_cast<size_t>(index) >= items_.size()) return nullptr;
  const Item& applied = items_[static_cast<size_t>(index)];
  return ItemFieldsShown(item) == applied.shown ? &applied : nullptr;
}

void AppliedValues::Accepted(Form& form, const ParamTable& params, const WorkJob& job) {
  if (!taken_) return;
  if (job.group == "List") {
    ListControl* list = form.FindList(job.name);
    for (size_t k = 0; k < items_.size() && list; ++k) {
      if (ListItemLabel("GENSENSORINFO %d:", static_cast<int32_t>(k)) != job.subkey) continue;
      Control* control = list->ItemAt(static_cast<int>(k));
      items_[k] = {true, job.value, control ? ItemFieldsShown(*control) : std::string()};
    }
    return;
  }
  auto written = params.find(job.name);
  if (written == params.end()) return;
  for (const auto& [name, row] : params) {
    if (row.atCommand != written->second.atCommand) continue;
    rows_[name] = {job.value, ShownState(form, name, row)};
  }
}
