// How each drop-down list of the form stands for a device value: one definition per list
// control, read one way to show a reported value (decode) and the other way to write the selected
// item (encode). The items are the value domains' items (device_params.cpp) in the form's order.
//
// A few lists differ by model: on a five-DIO model the "DIO3" controls hold the device's fourth
// line, which offers every work mode, and the I/O selection looks at five lines instead of three.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// How a reported value finds its item.
enum class ReadAs {
  kCode,         // the value as it is, compared with the item codes
  kNumber,       // the value's leading number (LeadingNumber), compared with the codes as numbers
  kItemText,     // the item whose text is the value: the list holds the codes as its texts
  kSteeredLine,  // the first item whose line reports the steering mode (I/O selection)
};

// What a value shows that is no item's code.
enum class Unlisted {
  kKeep,       // the list stays as it is
  kClear,      // no item
  kFirst,      // the first item
  kCounted,    // counted from the first item's code: value - first code (below it: no item)
  kCountedOn,  // past the last code, counted on from the last item; otherwise kept
  kItemText,   // the item whose text is the value; no item without one
};

// A list that also sets the work mode of a DIO line: the modes 4 (activation input) and 5
// (control output) have no item of their own in the DIO lists.
struct SteeredLine {
  const char* reads;   // the work-mode row the item is shown from; nullptr: none on this model
  const char* writes;  // the work-mode row the item sets
};

struct ListValues {
  std::string control;
  // The code each offered item writes, in the form's order; nullopt: the item writes nothing.
  std::vector<std::optional<std::string>> items;
  // Codes the device reports that no item offers, and the item they show (-1: none).
  std::vector<std::string> hidden;
  int hiddenShows = -1;
  ReadAs read = ReadAs::kNumber;
  Unlisted unlisted = Unlisted::kCounted;
  bool emptyKeeps = false;  // an empty value leaves the list as it is
  // What no selection (and an index past the items) writes; nullopt writes nothing.
  std::optional<std::string> none;
  // Lists the skin may shorten write by the text of their item: `names` gives the language key
  // (in section `namesSection`) of each code's text.
  const char* namesSection = nullptr;
  std::vector<std::pair<std::string, std::string>> names;
  // Steering: the mode written to a line, and the lines by item (I/O selection), or one line
  // that every item but `unsteered` sets (I/O control).
  const char* steerMode = nullptr;
  std::vector<SteeredLine> steeredLines;
  const char* steeredLine = nullptr;
  const char* unsteered = nullptr;
};

// What decoding and encoding may look at besides the value and the index.
struct ListContext {
  // The item texts of the form's list, in order.
  std::span<const std::string> itemTexts;
  // Another row's reported value (for the I/O selection); empty when absent.
  std::function<std::string(const std::string& row)> rowValue;
  // A text of the language file; empty when absent.
  std::function<std::string(const std::string& section, const std::string& key)> languageText;
};

// Every list control of the model's form.
std::span<const ListValues> ListValuesTable(bool fiveDioModel);

// The definition of the list control `control` on the model, or nullptr.
const ListValues* FindListValues(std::string_view control, bool fiveDioModel);

// The definition of a list the table does not name: its value is its index.
const ListValues& IndexListValues();

// The number a value stands for: its leading decimal integer after blanks, with an optional
// sign, clamped to the 32-bit range; 0 when there is no digit.
int LeadingNumber(std::string_view value);

// The item a reported value shows: an index (-1 shows none; one past the items shows the last,
// as the list clamps it), or nullopt to leave the list as it is.
std::optional<int> DecodeListValue(const ListValues& list, const std::string& value,
                                   const ListContext& context);

// The value the list writes to its own row with item `index` selected (-1: none), or nullopt
// when it writes nothing there.
std::optional<std::string> EncodeListValue(const ListValues& list, int index,
                                           const ListContext& context);

// Whether the list has a value of its own (the I/O selection only steers other rows).
bool WritesOwnValue(const ListValues& list);

// The work-mode row that item `index` sets to `list.steerMode`, or nullptr.
const char* SteeredRow(const ListValues& list, int index);
