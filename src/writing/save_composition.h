// Composing the writes that bring the device to what the form shows.
//
// The composition only reads: the form, the catalogue (whose `value` is what the device last
// reported or accepted) and the tab table. It returns the writes in the order they are to be
// sent and queues nothing, so the window's "Write", the headless commands and the tests all use
// the very same code. A value is written only where it differs from the device value.
#pragma once

#include <string>
#include <vector>

#include "catalogue/param_table.h"
#include "form/shown_bytes.h"
#include "form/tab_table.h"
#include "texts/form.h"
#include "writing/applied_values.h"
#include "writing/work_job.h"

enum class RefusalReason {
  // A carriage return, line feed or zero byte would end the command early and send the rest of
  // the value to the device as a command of its own.
  LineBreak,
  // A sensor item's fields are joined by commas without quoting: a comma inside a field would
  // shift every field after it.
  CommaInItemField,
  // Longer than the device's field: the device would cut it or refuse it, and a show reply
  // could not carry it back.
  TooLong,
  // Not a value the device takes (a port of 70000, an address 999.1.1.1): it would answer
  // ERROR or misread it.
  NotTaken,
};

// "the value holds a line break", "a sensor field holds a comma", "longer than the device's
// field", "not a value the device takes" (English, for the headless reports).
const char* RefusalReasonText(RefusalReason reason);
// "line break", "comma", "too long", "not taken" (the JSON reports).
const char* RefusalReasonWord(RefusalReason reason);

// A write the form asks for but the device cannot be sent; nothing is sent for it.
struct Refusal {
  std::string name;    // the row's control name, or the list's ("CustomList")
  std::string subkey;  // a list item's key ("GENSENSORINFO 3:"); empty for a row
  std::string field;   // the item field holding the refused text; empty for a row
  std::string value;   // the refused text: the row's value or the field's
  RefusalReason reason = RefusalReason::LineBreak;

  friend bool operator==(const Refusal&, const Refusal&) = default;
};

struct ComposedWrites {
  // Writes (kind 2) in sending order: the rows in byte order of their names, then the list items.
  std::vector<WorkJob> writes;
  std::vector<Refusal> refused;
};

// Every active row on a shown tab whose form value differs from its device value, then the
// sensor items. Reads the texts that name the custom work mode and the DIO work modes from the
// language file.
//
// With `applied` (what the form was given last), a control the user has not changed composes to
// exactly the value it was given, an unchanged sensor item to its text, and an item the source
// did not state to nothing. When the form's values were read with the other binding of the DIO3
// rows than `params` carry (a five-DIO file on a three-DIO device, or the reverse), the DIO3 rows
// mean another line of this device and are not written. Rows that write the same command are
// merged: the last one in sending order is the one sent.
//
// A control the user changed composes from what it shows. An edit field that still shows the
// decoding of bytes it was filled with (`shownBytes`, kept when the values were put on the form:
// GB 18030 text) composes to those bytes, also inside a sensor item whose other fields changed;
// any other text is sent as the form holds it (UTF-8).
ComposedWrites ComposeWrites(Form& form, const ParamTable& params, const ListParamTable& lists,
                             const TabTable& tabs, const AppliedValues* applied = nullptr,
                             const ShownBytes* shownBytes = nullptr);

// Keeps one write per command: of several writes to one command (rows bound to the same line, a
// row written twice), the later one, which is what the device would keep.
void MergeWritesByCommand(std::vector<WorkJob>& writes);

// Adds the write of `value` to the row `name` unless the device holds that value already
// (byte for byte); a value the command cannot carry is refused instead.
void QueueParamWrite(const std::string& value, const std::string& name, const ParamInfo& row,
                     ComposedWrites& out);

// The sensor items of every active list on a shown tab, in item order.
void SaveSensorList(Form& form, const ListParamTable& lists, const TabTable& tabs,
                    ComposedWrites& out, const AppliedValues* applied = nullptr,
                    const ShownBytes* shownBytes = nullptr);

// Adds the write of item `index` of the list `listName` from its field values, unless the item is
// off and unknown to the device, or the device holds these fields already. An item with a field
// the item line cannot carry is refused as a whole.
void QueueSensorItemWrite(int index, const std::vector<std::string>& fields,
                          const std::string& listName, const ListParamInfo& entry,
                          ComposedWrites& out);
