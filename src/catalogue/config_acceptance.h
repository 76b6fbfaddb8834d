// Whether a text is a whole configuration of a device: the one rule every path that loads a
// configuration file follows (the window's "Open file", apply, show, diff), so that none of them
// ever puts a value on the form, or sends one to a device, that the text does not state.
//
// A text is accepted when it holds the parameter section ("Access Point Name:"), ends with the
// device's final "OK" line, holds no zero byte in the parameter section, states every catalogue
// row of its model with a line end behind it, and no value is longer than the device's field
// (1023 bytes for a row, 100 for a sensor item, whose line has exactly ten fields). Anything
// else is refused with one line that names the first row at fault.
#pragma once

#include <string>
#include <string_view>

// Refuses a text that is not a show reply at all (no "Access Point Name:"): false and a reason.
bool CheckConfigText(std::string_view text, std::string* reason);

// True when the text ends with the reply's final line "OK" (blanks and line ends after it do not
// count). A text cut short (a full disk, a copy broken off) lacks it.
bool ConfigTextIsComplete(std::string_view text);

enum class ConfigProblem {
  kNone,
  kEmpty,
  kNotAConfiguration,  // no "Access Point Name:"
  kIncomplete,         // no final "OK" line: cut short
  kZeroByte,           // `where`: the line's label
  kMissingRow,         // `where`: the first row's control name, `label` its line; `count` rows
  kOverlongRow,        // `where`: the row's control name
  kOverlongItem,       // `where`: the item's label
  kItemFields,         // `where`: the item's label; `count` fields
};

struct ConfigVerdict {
  ConfigProblem problem = ConfigProblem::kNone;
  std::string where;
  std::string label;
  size_t count = 0;
  size_t total = 0;

  bool accepted() const { return problem == ConfigProblem::kNone; }
};

// The whole rule, applied to a decoded text.
ConfigVerdict JudgeConfigText(std::string_view text);

// What is wrong after the first words: the row or item at fault and the numbers, e.g.
// "\"Server's Port\" (line \"Server's Port:\"), and 3 more of 214 rows". Control names and
// labels are the device's words and stay as they are in every language.
std::string ConfigProblemDetails(const ConfigVerdict& verdict);

// The whole message in English, e.g. "a row is missing: ..." (headless commands).
std::string DescribeConfigVerdict(const ConfigVerdict& verdict);

// The rule with the English message: false and the reason when the text is refused.
bool AcceptConfigText(std::string_view text, std::string* reason);
