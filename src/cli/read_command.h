// "dtu-config read --port PATH [--baud N] [--line 8N1] -o FILE": reads a device's configuration
// into a configuration file, headless, through the same window, queue and receive path as the
// program's window.
#pragma once

#include <QStringList>

#include <ostream>

// Returns 0 when the file was written; 1 with one line on `err` saying what failed (port, login,
// time-out, file); 2 on a wrong command line. Needs a QApplication (the form is built offscreen).
int RunReadCommand(const QStringList& args, std::ostream& out, std::ostream& err);
