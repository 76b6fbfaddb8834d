// Printing a parsed configuration: every catalogue row in table order, the sensor items and the
// model, as aligned text for people or as JSON for scripts.
#pragma once

#include <string>

#include "catalogue/param_table.h"

struct ShowReport {
  std::string source;  // where the configuration came from (a file path)
  bool fiveDioModel = false;
  const ParamTable* params = nullptr;
  const ListParamTable* lists = nullptr;
};

// One line per row: control name, AT command ("-" when the row is never written) and value,
// in columns. Control bytes of a value are shown escaped (\r, \t, \x01, and \\ for a backslash),
// so that each row stays on one line; so are the bytes that are no part of a UTF-8 character
// (\xd6: GB 18030 text), so that the bytes can be told apart.
std::string FormatShowText(const ShowReport& report);

// {"schema", "source", "fiveDioModel", "parameters": [{"name", "label", "atCommand", "value"}...],
//  "sensorItems": [{"list", "label", "value"}...]}. A value that is not UTF-8 is given as its
// readable decoding (GB 18030) in "value" and as its exact bytes in hexadecimal in "valueBytes".
std::string FormatShowJson(const ShowReport& report);
