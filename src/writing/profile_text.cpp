#include "writing/profile_text.h"

#include "catalogue/config_text.h"
#include "domain/device_params.h"
#include "texts/byte_text.h"

namespace {

bool SameCommand(const std::string& a, const std::string& b) {
  return IsAtPrefix(a) && IsAtPrefix(b) && a.compare(3, std::string::npos, b, 3) == 0;
}

}  // namespace

ProfileResult ProfileText(Form& form, const ParamTable& params, const ListParamTable& lists,
                          const TabTable& tabs, bool fiveDioModel, const AppliedValues* applied,
                          const ShownBytes* shownBytes, const ConfigValues* base) {
  ProfileResult result;
  // Without values put on the form, every hidden row would be saved empty.
  if (applied == nullptr || !applied->Taken()) {
    result.nothingLoaded = true;
    return result;
  }
  // What the form changes against the values it was given is what Write would send; those
  // values are the rest of the profile.
  ComposedWrites composed = ComposeWrites(form, params, lists, tabs, applied, shownBytes);
  if (!composed.refused.empty()) {
    result.refused = std::move(composed.refused);
    return result;
  }
  ParamTable held = params;
  ListParamTable heldLists = lists;
  for (const WorkJob& write : composed.writes) {
    if (!write.group.empty()) {
      if (auto list = heldLists.find(write.name); list != heldLists.end())
        list->second.items[write.subkey] = write.value;
      continue;
    }
    auto row = params.find(write.name);
    if (row == params.end()) continue;
    // Rows bound to one command are one value of the device.
    for (auto& [name, other] : held) {
      if (name == write.name || SameCommand(other.atCommand, row->second.atCommand))
        other.value = write.value;
    }
  }
  // The version line of the configuration the form was given stays (a GPS tracker's, a device's
  // own), as long as it names the model the form shows.
  std::string firmware = DefaultFirmware(fiveDioModel);
  if (base && base->fiveDio == fiveDioModel && !base->firmware.empty()) firmware = base->firmware;
  const std::string text = ComposeConfigText(
      ConfigValuesOf(held, heldLists, fiveDioModel, std::move(firmware), base, &result.notHeld));
  result.verdict = JudgeConfigText(text);
  if (result.verdict.accepted()) result.text = text;
  return result;
}

std::string DescribeProfileRefusal(const ProfileResult& result, const ParamTable& params) {
  if (result.nothingLoaded) return "the form holds no configuration (nothing was read or opened)";
  if (!result.refused.empty()) {
    const Refusal& first = result.refused.front();
    std::string what = first.name;
    if (!first.subkey.empty()) what += " " + first.subkey;
    if (!first.field.empty()) what += " (" + first.field + ")";
    std::string line =
        what + " \"" + ReadableText(first.value) + "\": " + RefusalReasonText(first.reason);
    if (first.reason == RefusalReason::NotTaken) {
      if (auto row = params.find(first.name); row != params.end()) {
        if (const DeviceParam* param = FindParamByCommand(row->second.atCommand))
          line += "; it takes " + DescribeDomain(*param->domain);
      }
    }
    if (result.refused.size() > 1)
      line += " (and " + std::to_string(result.refused.size() - 1) + " more)";
    return line;
  }
  if (!result.verdict.accepted()) return DescribeConfigVerdict(result.verdict);
  return {};
}
