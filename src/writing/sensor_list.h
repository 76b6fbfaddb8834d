// The Modbus sensor list "CustomList": each item is a row of field controls built from
// "CustomListItem.xml".
#pragma once

#include <string>

#include "texts/form.h"

// A field's value: an edit's text, or a combo's selected index in decimal (empty when nothing is
// selected). A missing field or a control of another kind reads as the empty text.
std::string ReadItemField(Control& item, const std::string& field);

// An edit gets the text; a combo selects the index the text gives in decimal (an empty or
// non-numeric text selects index 0), without taking the focus. Anything else is left alone.
void WriteItemField(Control& item, const std::string& field, const std::string& text);

// Shows each item's number, counted from 1, in its "SensorCfg_Channel" and switches it off.
void NumberSensorList(Form& form);
