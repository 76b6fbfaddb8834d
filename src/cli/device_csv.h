// The table of `apply --per-device FILE.csv`: a header "port,NAME,NAME..." and one row per
// device with its port and its own values. Fields follow the usual CSV quoting: a field in
// double quotes may hold commas, line breaks and quotes (doubled: ""). Every row and value is
// checked before any port opens; the first fault stops the whole run and names its line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/param_table.h"
#include "writing/work_job.h"

struct CsvRecord {
  int line = 0;  // the line of the file the record starts on, counted from 1
  std::vector<std::string> fields;
};

// Splits the file into records; blank lines are skipped. False with "line N: ..." in `why`
// (a quote left open, text after a closing quote).
bool SplitCsv(std::string_view bytes, std::vector<CsvRecord>* records, std::string* why);

struct DeviceValues {
  int line = 0;
  std::string port;
  std::vector<WorkJob> writes;      // checked as `set` checks them
  std::vector<std::string> labels;  // the rows' labels, for the report
};

// Reads the table against the catalogue: the header's names as `set` takes them, each value
// checked as `set` checks it, each port once (by name, and by the device a link leads to).
// False with "FILE:N: ..." in `why`.
bool ReadDeviceCsv(const std::string& path, std::string_view bytes, const ParamTable& catalogue,
                   std::vector<DeviceValues>* devices, std::string* why);
