// "dtu-config set --port P NAME=VALUE ...": writes single parameters, named by control name or
// AT command. Every value is checked against what the device accepts for it before anything is
// sent; each write is then read back.
#pragma once

#include <QStringList>

#include <ostream>
#include <string>
#include <vector>

#include "catalogue/param_table.h"
#include "writing/work_job.h"

// 0 when every device took every value; 1 when a device failed or refused one; 2 on a wrong
// command line or a value refused before sending (nothing is sent then); 130 when interrupted.
// `argBytes` holds the bytes of each of `args` as the command line gave them: the values are
// taken from them and sent byte for byte, whatever their character set.
int RunSetCommand(const QStringList& args, const std::vector<std::string>& argBytes,
                  std::ostream& out, std::ostream& err);

// The write of one "NAME=VALUE": NAME is the label the device and a file show ("Server1's Ip",
// with or without its colon), else an AT command ("AT" in any letter case), else a control name.
// The value is checked for line breaks and against the parameter's domain. False with the
// reason in `*why`, which says what the device takes.
bool MakeSetWrite(const ParamTable& catalogue, const std::string& assignment, WorkJob* job,
                  std::string* why);

// Whether NAME names a parameter as MakeSetWrite reads it; `label` gets the label the device and
// a file show for it ("Server1's Ip").
bool FindSetName(const ParamTable& catalogue, const std::string& name, std::string* label);
