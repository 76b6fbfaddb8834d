// The command line of dtu-sim.
#pragma once

#include <string>
#include <vector>

#include "wire_pacer.h"

struct SimOptions {
  std::string model = "zr350";
  std::string configFile;  // --config: a .cfg file as the initial configuration
  int64_t bootMs = 3000;
  int64_t idleTimeoutMs = 120000;
  int64_t latencyMs = 5;
  int64_t promptPeriodMs = 1000;  // --prompt-period-ms: between two boot prompts
  bool strict = false;            // --strict: no leniency for stray bytes or a glued "+++"
  int baud = 0;                   // --baud; 0: the rate the program set on the pty
  bool lineFixed = false;         // --line given
  LineCode line;
  bool rebootOnOpen = true;
  bool stdinControl = true;
  std::string recordFile;
  std::string linkPath;
  std::vector<std::string> faults;  // --fault words, applied in order
  bool listModels = false;
  bool parametersDoc = false;  // print docs/device-parameters.md
  bool help = false;
  bool version = false;
};

// Parses argv[1..]; false with a message for anything it does not understand.
bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options,
                     std::string& message);

std::string SimUsage();
