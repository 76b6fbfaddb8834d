// A stand-in for dtu-config's entry point that only knows the subcommands, so their exit status
// and output streams can be checked as a real process.
#include "cli/subcommands.h"

int main(int argc, char** argv) {
  if (std::optional<int> status = RunSubcommand(argc, argv)) return *status;
  return 3;
}
