// The parameter catalogue: one row per device parameter, keyed by the name of the form control
// that shows it, plus the list-valued sensor parameter.
//
// Both tables are plain ordered maps. std::string compares through char_traits<char>, whose
// ordering is that of unsigned char, so every walk visits the names in unsigned byte order with
// a prefix before the longer names it starts ("A DIO1 ..." < "A serial 2 ..." < "Access ...").
// Every part of the program walks the tables in that order (parse, form fill, save).
//
// Looking a row up with operator[] creates an empty row (texts empty, inactive, page 0) when the
// name is absent; the worker relies on this when it stores the value of a clock write under the
// empty name. Use find() where a lookup must not add rows.
//
// The tables carry no lock: their owner (the device session) keeps every access on one thread at a
// time.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

class Form;

struct ParamInfo {
  // The stem of the write command, without "=", value or line end; empty for rows never written.
  std::string atCommand;
  // The value last read from the device or a file, or last accepted by the device; trimmed.
  std::string value;
  // The label under which the device reports the parameter in its show reply, byte for byte.
  std::string label;
  // Whether the row takes part in writing.
  bool active = false;
  // "Edit", "Combobox", "Line" or empty.
  std::string controlKind;
  // The index of the tab page that holds the control; 100 for the row that lies on no page.
  int32_t page = 0;

  friend bool operator==(const ParamInfo&, const ParamInfo&) = default;
};

using ParamTable = std::map<std::string, ParamInfo, std::less<>>;

// Item labels and item values of a list-valued parameter, ordered like ParamTable.
using ListItems = std::map<std::string, std::string, std::less<>>;

struct ListParamInfo {
  std::string atCommand;
  // A format with one "%d", filled with the item number to give the item's label.
  std::string labelFormat;
  ListItems items;
  bool active = true;
  std::string controlKind;
  // How many items a parse reads (numbers 0 to itemCount - 1); fixed when the table is built.
  int32_t itemCount = 0;
  int32_t page = 0;

  friend bool operator==(const ListParamInfo&, const ListParamInfo&) = default;
};

using ListParamTable = std::map<std::string, ListParamInfo, std::less<>>;

// Creates the row when absent (keeping an existing row's value), then binds it to the given
// page, command, kind and label and makes it active.
void InsertParam(ParamTable& table, int32_t page, std::string_view controlKind,
                 std::string_view name, std::string_view label, std::string_view atCommand);

// Adds a list entry with no items; does nothing at all when the name is already present.
void InsertListParam(ListParamTable& table, int32_t page, std::string_view controlKind,
                     std::string_view name, std::string_view labelFormat,
                     std::string_view atCommand, int32_t itemCount);

// Binds the fifteen "DIO3" controls to the device's DIO4 commands and labels (five-DIO models)
// or to its DIO3 ones. Values are kept; the rows become active again.
void BindDio3Rows(ParamTable& table, bool fiveDio);

// Fills both tables: the whole catalogue, "LORA ver" inactive, and the "CustomList" entry with
// as many items as the form's sensor list holds now (no entry when the form has no such list).
void BuildParamTable(ParamTable& table, ListParamTable& lists, Form& form);

// The same without a form: `customListRows` is the sensor list's row count, or nullopt when
// there is no sensor list. Used where no form is built (headless commands).
void BuildParamTable(ParamTable& table, ListParamTable& lists,
                     std::optional<int32_t> customListRows);

// The label of item `number` of a list: the entry's format with its "%d" replaced by the number
// in decimal, cut at 259 bytes. A format without "%d" is used as it is.
std::string ListItemLabel(std::string_view labelFormat, int32_t number);

// A row's label as the device and a file show it to a reader: without the line start it is
// matched with and without its colon ("Server1's Ip").
std::string ShownLabel(std::string_view label);
