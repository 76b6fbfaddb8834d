// What the form was given the last time values were put on it (a read, or a configuration
// file), and what every control showed once the visibility rules had run.
//
// A control can show only what its items and its field can show: a work mode the list has no
// item for, a DIO line in a mode another list owns, a text the rules blank while the line's data
// format is foreign. Composing such a control through its list would send something else than
// the device or the file holds. So a control the user has not touched since the values were put
// on the form composes to exactly the value it was given, byte for byte; only a control whose
// state changed composes from what it shows now. Sensor items alike: an unchanged item writes
// the text it was given, and an item the source did not state at all is never written.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "catalogue/param_table.h"
#include "texts/form.h"
#include "writing/work_job.h"

class AppliedValues {
 public:
  struct Item {
    bool stated = false;  // the source listed the item
    std::string value;    // its fields text, as the source gave it
    std::string shown;    // the item's fields as the form showed them
  };

  // Notes every row's value and item text and what the form shows for each now. `fiveDioModel`
  // says which binding of the DIO3 rows the values were read with.
  void Take(Form& form, const ParamTable& params, const ListParamTable& lists, bool fiveDioModel);
  void Clear();
  bool Taken() const { return taken_; }
  bool FiveDioModel() const { return fiveDioModel_; }

  // The value row `name` was given, while its control still shows what it showed then; nullptr
  // once the user changed it (or when nothing was taken).
  const std::string* UnchangedRow(Form& form, const std::string& name, const ParamInfo& row) const;
  // Item `index` of the sensor list, while its fields still show what they showed then.
  const Item* UnchangedItem(Control& item, int index) const;
  // The device accepted a write: the written row, and every row that writes the same command,
  // now hold its value, shown as the form shows them now.
  void Accepted(Form& form, const ParamTable& params, const WorkJob& job);

 private:
  struct Row {
    std::string value;
    std::string shown;
  };
  bool taken_ = false;
  bool fiveDioModel_ = false;
  std::map<std::string, Row> rows_;
  std::vector<Item> items_;
};

// The state of the control of row `name` as one text: a list's index and text, an edit's text,
// a routing row's arrows. Empty for a control that is missing and for a row that shows nothing.
std::string ShownState(Form& form, const std::string& name, const ParamInfo& row);
