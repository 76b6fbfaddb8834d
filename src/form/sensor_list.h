// The Modbus sensor list "CustomList": each item is a row of field controls built from
// "CustomListItem.xml".
#pragma once

#include <array>
#include <string>
#include <vector>

#include "catalogue/param_table.h"
#include "domain/sensor_items.h"
#include "form/shown_bytes.h"
#include "texts/form.h"

// A field's value: an edit's text, or a combo's selected index in decimal (empty when nothing is
// selected). A missing field or a control of another kind reads as the empty text.
std::string ReadItemField(Control& item, const std::string& field);

// An edit gets the text; a combo selects the index the text gives in decimal (an empty or
// non-numeric text selects index 0), without taking the focus. Anything else is left alone.
void WriteItemField(Control& item, const std::string& field, const std::string& text);

// Shows each item's number, counted from 1, in its "SensorCfg_Channel" and switches it off.
void NumberSensorList(Form& form);

// The field controls of an item, in the order of the item line.
extern const std::array<const char*, kSensorFieldCount> kSensorFields;
// The field that holds the name under which the device reports the value.
inline constexpr int kSensorDataNameField = 8;

// The item line's fields text split at every "," (empty pieces count, the piece after the last
// comma too).
std::vector<std::string> SplitItemFields(const std::string& fields);

// What the item layout puts in each field of a fresh item, noted by the first fill so that later
// fills put the fields back in place instead of building every item anew (building the rows is
// most of what showing a read costs). One per form.
struct SensorItemDefaults {
  bool known = false;
  std::array<std::string, kSensorFieldCount> fields;
};

// Rebuilds "CustomList" with as many items as it holds now, numbers them, and writes the device
// value of each item into its fields; an item the device did not report stays numbered and
// switched off, its other fields as the layout makes them. Only the "List" entry named
// "CustomList" fills the list. With `defaults` the items are built once and refilled afterwards,
// with the same result. A field that is not UTF-8 is shown in a readable decoding, its bytes kept
// in `shownBytes` (when given) under ShownBytes::ItemFieldKey.
void FillSensorList(Form& form, const ListParamTable& lists, SensorItemDefaults* defaults = nullptr,
                    ShownBytes* shownBytes = nullptr);

// The bytes field `field` of item `index` holds: ReadItemField, given back as the bytes the
// field was filled with while it still shows their decoding.
std::string ReadItemBytes(Control& item, int index, const std::string& field,
                          const ShownBytes* shownBytes);
