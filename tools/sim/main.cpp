// dtu-sim: a simulated DTU on a pseudo-terminal, for the demo mode, the tests and learning
// the tool without hardware. See docs/simulator.md.
#include <cstdio>
#include <string>
#include <vector>

#include "device_models.h"
#include "parameter_doc.h"
#include "sim_options.h"
#include "sim_runner.h"

int main(int argc, char** argv) {
  SimOptions options;
  std::string message;
  if (!ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options, message)) {
    std::fprintf(stderr, "dtu-sim: %s\n%s", message.c_str(), SimUsage().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(SimUsage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::puts("dtu-sim V" DTU_VERSION);
    return 0;
  }
  if (options.parametersDoc) {
    std::fputs(DeviceParametersMarkdown().c_str(), stdout);
    return 0;
  }
  if (options.listModels) {
    for (const DeviceModel& model : DeviceModels()) {
      std::printf("%-10s %s\n", model.name, model.description);
    }
    return 0;
  }
  const DeviceModel* model = FindDeviceModel(options.model);
  if (model == nullptr) {
    std::fprintf(stderr, "dtu-sim: unknown model %s (see --list-models)\n", options.model.c_str());
    return 2;
  }
  SimRunner runner(options, *model);
  if (!runner.Start()) return 1;
  return runner.Run();
}
