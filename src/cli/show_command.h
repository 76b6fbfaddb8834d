// "dtu-config show FILE [--json]": prints what a configuration file holds, as the program reads it.
#pragma once

#include <QStringList>

#include <ostream>
#include <string>
#include <string_view>

#include "catalogue/param_table.h"

// `args` starts with the program name; the rest are the subcommand's arguments. Returns the
// exit status: 0 (also for a file cut short, which gets a warning on `err`), 1 when the file is
// unreadable or refused, 2 on a wrong command line.
int RunShowCommand(const QStringList& args, std::ostream& out, std::ostream& err);

// Fills fresh tables from the decoded text of a configuration file, with every sensor item
// number up to the highest the text holds (at least `minItems`). Returns the highest count used.
int32_t ParseConfigText(std::string_view text, ParamTable& params, ListParamTable& lists,
                        bool& fiveDioModel, int32_t minItems = 0);

// What `show` prints for the decoded text of a configuration file read from `source`: the text
// report, or JSON when `json` is set.
std::string FormatConfigReport(std::string_view text, const std::string& source, bool json);
