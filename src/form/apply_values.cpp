#include "form/apply_values.h"

#include <string>
#include <vector>

#include "domain/list_values.h"
#include "form/form_rule.h"
#include "form/line_state.h"
#include "form/sensor_list.h"
#include "form/tab_strip.h"

namespace {

std::string ValueOf(const ParamTable& params, const std::string& name) {
  auto row = params.find(name);
  return row == params.end() ? std::string() : row->second.value;
}

void ApplyTransmitChannel(Form& form, const TransmitChannelRow& row, const std::string& value) {
  const int mask = LeadingNumber(value);
  for (const ChannelArrow& arrow : row.arrows) {
    if (arrow.name) SetLineState(form, arrow.name, ((mask >> arrow.bit) & 1) != 0);
  }
}

void OfferModulePage(TabTable& tabs, const std::string& deviceType) {
  tabs[kLoraTab].shown = false;
  tabs[kZigbeeTab].shown = false;
  tabs[kGPSTab].shown = false;
  if (deviceType.find("-L") != std::string::npos) {
    tabs[kLoraTab].shown = true;
  } else if (deviceType.find("-Z") != std::string::npos) {
    tabs[kZigbeeTab].shown = true;
  } else if (deviceType.find("Zr750") != std::string::npos) {
    tabs[kGPSTab].shown = true;
  }
}

}  // namespace

std::optional<int> ComboIndexForValue(const std::string& name, const std::string& value,
                                      const ComboControl& combo, const ParamTable& params,
                                      bool fiveDioModel) {
  const ListValues* list = FindListValues(name, fiveDioModel);
  std::vector<std::string> texts;
  for (int i = 0; i < combo.ItemCount(); ++i) texts.push_back(combo.ItemText(i));
  ListContext context;
  context.itemTexts = texts;
  context.rowValue = [&params](const std::string& row) { return ValueOf(params, row); };
  return DecodeListValue(list ? *list : IndexListValues(), value, context);
}

void ApplyRowValues(Form& form, const ParamTable& params, bool fiveDioModel,
                    ShownBytes* shownBytes) {
  for (const auto& [name, row] : params) {
    if (row.controlKind == "Combobox") {
      ComboControl* combo = form.FindCombo(name);
      if (!combo) continue;
      std::optional<int> index = ComboIndexForValue(name, row.value, *combo, params, fiveDioModel);
      if (index) combo->SelectItem(*index);
    } else if (row.controlKind == "Edit") {
      if (Control* edit = form.Find(name))
        edit->SetText(ShowBytes(shownBytes, ShownBytes::RowKey(name), row.value));
    } else if (row.controlKind == "Line") {
      bool mask = false;
      for (const TransmitChannelRow& channel : TransmitChannelRows()) {
        if (name != channel.rowName) continue;
        ApplyTransmitChannel(form, channel, row.value);
        mask = true;
      }
      // A row the device only reports ("Device Type") is shown as it is, where the page has it.
      if (!mask) {
        if (Control* shown = form.Find(name)) shown->SetText(row.value);
      }
    }
  }
}

void ApplyValuesToForm(Form& form, const ParamTable& params, const ListParamTable& lists,
                       TabTable& tabs, DeviceFacts& facts, const PostRule& postRule,
                       SensorItemDefaults* sensorDefaults, ShownBytes* shownBytes) {
  facts.deviceTypeText = ValueOf(params, "Device Type");
  OfferModulePage(tabs, facts.deviceTypeText);
  UpdateTabStrip(form, tabs, TabStripMode::Rebuild);
  facts.loraVersionText = ValueOf(params, "LORA ver");

  ApplyRowValues(form, params, facts.fiveDioModel, shownBytes);

  FillSensorList(form, lists, sensorDefaults, shownBytes);
  if (postRule) {
    postRule(kRuleActivation, 0);
    postRule(kRuleLoraMode, 0);
  }
}
