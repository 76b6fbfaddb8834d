// docs/device-parameters.md, written from the parameter table itself so the two cannot
// disagree (`dtu-sim --parameters-doc` prints it; a test compares it with the file).
#pragma once

#include <string>

std::string DeviceParametersMarkdown();
