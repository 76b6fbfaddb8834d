#include "cli/profile_edits.h"

#include "catalogue/config_acceptance.h"
#include "catalogue/config_text.h"
#include "domain/device_params.h"
#include "domain/factory_config.h"

std::string WrittenCommand(const WorkJob& write) {
  return write.command.substr(0, write.command.find('='));
}

bool EditConfigText(const std::string& text, const std::vector<WorkJob>& writes,
                    std::string* edited, std::string* why) {
  ConfigValues config;
  if (!ReadConfigValues(text, &config)) {
    *why = DescribeConfigVerdict(JudgeConfigText(text));
    return false;
  }
  for (const WorkJob& write : writes) {
    const DeviceParam* param = FindParamByCommand(WrittenCommand(write));
    if (param == nullptr) {
      *why = WrittenCommand(write) + " is no parameter of the device";
      return false;
    }
    if (param->presence == Presence::kFiveDioOnly && !config.fiveDio) {
      *why = "the configuration is of a three-DIO model, which has no \"" +
             ShownLabel(param->label) + "\"";
      return false;
    }
    // A reader trims the blanks around a value: the file could not carry them.
    if (!write.value.empty() && (write.value.front() == ' ' || write.value.back() == ' ')) {
      *why = "\"" + ShownLabel(param->label) +
             "\": a configuration file cannot carry blanks at the start or end of a value";
      return false;
    }
    config.values[ParamIndex(*param)] = write.value;
  }
  *edited = ComposeConfigText(config);
  return true;
}
