#include "cli/set_file.h"
#include "cli/config_input.h"

#include "catalogue/config_acceptance.h"
#include "catalogue/config_text.h"
#include "cli/cli_options.h"
#include "cli/json_bytes.h"
#include "cli/profile_edits.h"
#include "cli/set_command.h"
#include "cli/subcommands.h"
#include "cli/template_form.h"
#include "domain/device_params.h"
#include "writing/config_file.h"

int RunSetOnFile(const std::string& command, const std::string& path,
                 const std::vector<std::string>& assignments, std::ostream& out,
                 std::ostream& err) {
  std::string text;
  if (!ReadWholeConfigFile(command, path, "; the file was not changed", err, &text))
    return kExitFailure;
  std::string reason;
  ParamTable catalogue;
  ListParamTable lists;
  BuildParamTable(catalogue, lists, std::nullopt);
  std::vector<WorkJob> writes;
  bool refused = false;
  for (const std::string& assignment : assignments) {
    WorkJob job;
    std::string why;
    if (MakeSetWrite(catalogue, assignment, &job, &why)) {
      writes.push_back(job);
    } else {
      err << command << ": " << EscapedText(assignment) << ": refused: " << why << "\n";
      refused = true;
    }
  }
  std::string edited;
  if (!refused && !EditConfigText(text, writes, &edited, &reason)) {
    err << command << ": " << path << ": " << reason << "\n";
    refused = true;
  }
  if (refused) {
    err << command << ": the file was not changed\n";
    return kExitUsage;
  }

  // The form decides what the configuration becomes, as when the file is opened in the window.
  const ProgramPaths paths = UseProgramLanguage();
  TemplateForm form(paths.skinDir);
  if (!form.Build(&reason) || !form.Load(edited, &reason)) {
    err << command << ": " << path << ": the form does not take the file: " << reason
        << "; the file was not changed\n";
    return kExitFailure;
  }
  const ProfileResult profile = form.Profile();
  if (!profile.ok()) {
    err << command << ": " << path << ": " << DescribeProfileRefusal(profile, form.Params())
        << "; the file was not changed\n";
    return kExitFailure;
  }
  // A value the form's rules would not keep is not what was asked for.
  ConfigValues result;
  ReadConfigValues(profile.text, &result);
  for (const WorkJob& write : writes) {
    const DeviceParam* param = FindParamByCommand(WrittenCommand(write));
    const std::string& kept = result.values[ParamIndex(*param)];
    if (kept != write.value) {
      err << command << ": " << path << ": the form keeps \"" << EscapedText(kept) << "\" for "
          << ShownLabel(param->label) << ", not \"" << EscapedText(write.value)
          << "\"; the file was not changed\n";
      return kExitFailure;
    }
  }
  if (!WriteConfigFileTo(path, profile.text, &reason)) {
    err << command << ": cannot write " << path << ": " << reason << "; the file was not changed\n";
    return kExitFailure;
  }
  out << path << ": " << writes.size() << (writes.size() == 1 ? " value" : " values") << " set\n";
  return kExitOk;
}
