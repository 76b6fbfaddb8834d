// "dtu-config diff A B [--json]": the parameters and sensor items in which two configurations
// differ. A and B are each a .cfg file or "port:PATH", a device read on the spot.
#pragma once

#include <QStringList>

#include <ostream>
#include <string>
#include <vector>

// 0 when both are equal, 1 when they differ, 2 on a wrong command line or a source that cannot
// be read (as diff(1) does).
int RunDiffCommand(const QStringList& args, std::ostream& out, std::ostream& err);

struct ConfigDifference {
  std::string name;  // the control name, or the sensor item's label ("GENSENSORINFO 3:")
  bool sensorItem = false;
  // A parameter's label as the file and the device show it ("Server1's Ip"), and its command.
  std::string label;
  std::string atCommand;
  std::string a;
  std::string b;
};

// The differences of two decoded configuration texts: every catalogue row in control-name
// order, then the sensor items in their number order.
std::vector<ConfigDifference> DiffConfigTexts(const std::string& a, const std::string& b);
