// Which fields of the form differ from what the device holds: the controls that "Write" would
// send (or refuses to send), so that the form can mark them until the device confirms them.
#pragma once

#include <set>
#include <string>

#include "catalogue/param_table.h"
#include "texts/form.h"
#include "writing/save_composition.h"

struct ChangeMarks {
  std::set<std::string> controls;  // control names of rows
  std::set<int> sensorItems;       // indexes of "CustomList" items
  std::set<std::string> refused;   // control names of rows whose value the device does not take

  friend bool operator==(const ChangeMarks&, const ChangeMarks&) = default;
};

// The marks that the composed writes imply: every written or refused row, and every sensor item
// written or refused. A routing mask is shown by arrows, not by a field of its own: its write
// marks the arrows whose direction differs from the device's value in `params`.
ChangeMarks MarksFromWrites(const ComposedWrites& composed, const ParamTable& params);

// Sets the form's "changed" attribute to true on each control in `now` and to false on each one
// in `shown` that is no longer marked, and the "refused" attribute the same way; then `shown`
// becomes `now`. A missing control is passed over.
void ShowChangeMarks(Form& form, const ChangeMarks& now, ChangeMarks& shown);
