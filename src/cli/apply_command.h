// "dtu-config apply FILE --port P [--port Q ...]": brings several devices to the configuration of
// a file at once, each the way the window's "Open file" does it: the file on the form, the
// device read, the differences written, then read again to check that each write holds.
#pragma once

#include <QStringList>

#include <ostream>

// 0 when every device took the file; 1 when one failed (or the file is unusable); 2 on a wrong
// command line; 130 when interrupted. Needs a QApplication (the form is built offscreen).
int RunApplyCommand(const QStringList& args, std::ostream& out, std::ostream& err);
