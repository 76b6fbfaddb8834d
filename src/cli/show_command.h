// "dtu-config show FILE [--json]": prints what a configuration file holds, as the program reads it.
#pragma once

#include <QStringList>

#include <ostream>

// `args` starts with the program name; the rest are the subcommand's arguments. Returns the
// exit status: 0, 1 when the file is unreadable or refused, 2 on a wrong command line.
int RunShowCommand(const QStringList& args, std::ostream& out, std::ostream& err);
