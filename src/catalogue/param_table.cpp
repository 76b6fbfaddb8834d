#include "catalogue/param_table.h"

#include <algorithm>
#include <string>

#include "catalogue/catalogue_rows.h"
#include "texts/form.h"

namespace {

constexpr std::string_view kSensorListName = "CustomList";
constexpr int32_t kSensorListPage = 10;
// Item labels are cut at this length; the format is short, this only bounds a bad one.
constexpr size_t kMaxItemLabel = 259;

}  // namespace

void InsertParam(ParamTable& table, int32_t page, std::string_view controlKind,
                 std::string_view name, std::string_view label, std::string_view atCommand) {
  // Rebinding keeps the value: a DIO3 row rebound after a parse still shows what was read.
  auto [it, inserted] = table.try_emplace(std::string(name));
  ParamInfo& row = it->second;
  row.page = page;
  row.atCommand = atCommand;
  row.controlKind = controlKind;
  row.active = true;
  row.label = label;
}

void InsertListParam(ListParamTable& table, int32_t page, std::string_view controlKind,
                     std::string_view name, std::string_view labelFormat,
                     std::string_view atCommand, int32_t itemCount) {
  if (table.find(name) != table.end()) return;
  ListParamInfo entry;
  entry.atCommand = atCommand;
  entry.labelFormat = labelFormat;
  entry.active = true;
  entry.controlKind = controlKind;
  entry.itemCount = std::max<int32_t>(itemCount, 0);
  entry.page = page;
  table.emplace(std::string(name), std::move(entry));
}

void BindDio3Rows(ParamTable& table, bool fiveDio) {
  for (const Dio3Binding& b : Dio3Bindings()) {
    InsertParam(table, kDio3Page, b.controlKind, b.name, fiveDio ? b.fiveDioLabel : b.threeDioLabel,
                fiveDio ? b.fiveDioCommand : b.threeDioCommand);
  }
}

void BuildParamTable(ParamTable& table, ListParamTable& lists,
                     std::optional<int32_t> customListRows) {
  for (const CatalogueRow& r : CatalogueRows()) {
    InsertParam(table, r.page, r.controlKind, r.name, r.label, r.atCommand);
  }
  // The LoRa module version is only read, never written.
  table["LORA ver"].active = false;
  if (customListRows) {
    InsertListParam(lists, kSensorListPage, "List", kSensorListName,
                    "GENSENSORINFO %d:", "AT+GENSENSORINFO", *customListRows);
  }
}

void BuildParamTable(ParamTable& table, ListParamTable& lists, Form& form) {
  // The sensor list's rows are those its skin page defines; their number is fixed from here on.
  std::optional<int32_t> rows;
  if (ListControl* list = form.FindList(std::string(kSensorListName))) rows = list->ItemCount();
  BuildParamTable(table, lists, rows);
}

std::string ShownLabel(std::string_view label) {
  if (label.starts_with("\r\n")) label.remove_prefix(2);
  while (!label.empty() && (label.back() == ':' || label.back() == ' ')) label.remove_suffix(1);
  return std::string(label);
}

std::string ListItemLabel(std::string_view labelFormat, int32_t number) {
  std::string label(labelFormat);
  if (size_t at = label.find("%d"); at != std::string::npos) {
    label.replace(at, 2, std::to_string(number));
  }
  if (label.size() > kMaxItemLabel) label.resize(kMaxItemLabel);
  return label;
}
