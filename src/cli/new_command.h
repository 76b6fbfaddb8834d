// "dtu-config new --model 3dio|5dio -o FILE": writes a factory profile, the configuration a
// device of that model holds after its factory reset, as a configuration file to edit with
// `set --file` and put on devices with `apply`.
#pragma once

#include <QStringList>

#include <ostream>

// 0 when the file was written; 1 when it could not be written; 2 on a wrong command line or an
// existing FILE without --force (nothing is written then).
int RunNewCommand(const QStringList& args, std::ostream& out, std::ostream& err);
