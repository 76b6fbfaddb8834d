// Showing the catalogue's values in the form after a read or a loaded file.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "catalogue/device_facts.h"
#include "catalogue/param_table.h"
#include "domain/list_values.h"
#include "form/sensor_list.h"
#include "form/shown_bytes.h"
#include "form/tab_table.h"
#include "texts/form.h"

// Posts a visibility rule (FormRule) with its argument; the rule runs later, never inside the
// caller.
using PostRule = std::function<void(int rule, int argument)>;

// Offers the LoRa, ZigBee or GPS tab by the device type and rebuilds the tab strip; records the
// device type and LoRa version in `facts`; puts every row's value on its control (edits get the
// text, drop-down lists an item chosen by the row's rule, routing arrows the bits of their mask);
// refills the sensor list (in place when `sensorDefaults` is given); then posts rules 1 and 17.
// Selecting items raises "itemselect" as a user's choice does, so the form's handlers run between
// rows. A missing control is passed over. A value that is not UTF-8 is shown in a readable
// decoding, and `shownBytes` (when given) keeps the bytes it stands for, so that composing the
// writes gives those bytes back while the field is left as shown.
void ApplyValuesToForm(Form& form, const ParamTable& params, const ListParamTable& lists,
                       TabTable& tabs, DeviceFacts& facts, const PostRule& postRule,
                       SensorItemDefaults* sensorDefaults = nullptr,
                       ShownBytes* shownBytes = nullptr);

// The part of ApplyValuesToForm that puts each row's value on its control, in table order.
void ApplyRowValues(Form& form, const ParamTable& params, bool fiveDioModel,
                    ShownBytes* shownBytes = nullptr);

// The item a drop-down list of row `name` gets for `value`, decoded by the list's definition
// (domain/list_values.h; a list it does not name takes its value as the index): an index (-1
// clears the selection), or nullopt to leave the list as it is. `params` and `fiveDioModel` serve
// the rows that depend on other rows or on the model; `combo` gives the item texts.
std::optional<int> ComboIndexForValue(const std::string& name, const std::string& value,
                                      const ComboControl& combo, const ParamTable& params,
                                      bool fiveDioModel);
