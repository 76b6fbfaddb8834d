// The form's logic around the device's tables, shared by the window and the headless commands:
// the visibility rules, a read shown on the form, a configuration file put on the form, and the
// writes that bring the device to what the form shows.
//
// UI thread only. Rules are posted through `postRule` and come back to RunRule in posting order;
// jobs leave through `queue`. Nothing here knows the window or the port.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "catalogue/config_acceptance.h"
#include "catalogue/device_facts.h"
#include "catalogue/param_table.h"
#include "form/sensor_list.h"
#include "form/shown_bytes.h"
#include "form/tab_table.h"
#include "texts/form.h"
#include "writing/applied_values.h"
#include "writing/change_marks.h"
#include "writing/profile_text.h"
#include "writing/save_composition.h"
#include "writing/work_job.h"
#include "writing/write_backup.h"

// What to do with a loaded file once the device's values are known.
enum class FileWritesChoice {
  kWrite,     // write what the file changes
  kFormOnly,  // keep the file on the form, write nothing
  kCancel,    // nothing: the form shows the device's values again
};

class FormController {
 public:
  struct Hooks {
    std::function<void(int rule, int argument)> postRule;
    std::function<void(const std::string& text)> messageBox;
    std::function<void(const std::string& text)> log;
    // Queues a job for the device; false when it was refused.
    std::function<bool(const WorkJob& job)> queue;
    // Asked before a batch of writes is queued (BackupBeforeWrites::BeforeWrites of the
    // device's session); when it says not to proceed, nothing is queued. None: no backups.
    std::function<BackupStep(size_t writes)> beforeWrites;
    // Asks what to do with a loaded file that changes the device; `lines` name each write
    // ("name: device value -> file value"). Without it nothing is written.
    std::function<FileWritesChoice(const std::vector<std::string>& lines)> chooseFileWrites;
    // The rules a fill set off have run: the form shows what it was given.
    std::function<void()> valuesSettled;
  };

  FormController(Form& form, ParamTable& params, ListParamTable& lists, DeviceFacts& facts,
                 TabTable& tabs, Hooks hooks);

  // "windowinit": the catalogue from the form, its active flags from the rows the skin shows.
  void BuildCatalogue();
  // A drop-down list's selection changed.
  void OnItemSelect(const std::string& name);
  // WM_FORM_RULE.
  void RunRule(int rule, int argument);
  // The tables were just filled from a show reply: show them.
  void ShowValues();
  // A configuration file's text onto the form as if the device had sent it. False, with the
  // reason in the user's language, when the text is not a whole configuration
  // (JudgeConfigText); nothing is changed then.
  bool LoadText(const std::string& text, std::string* reason);
  // Composes the writes of what the form changes and queues them; logs each refused value and
  // says so when nothing differs. The device's configuration is backed up first (the log names
  // the file); when that fails the log and a message box say why and nothing is queued. Returns
  // the number of writes queued.
  size_t WriteChanges();
  // The tables hold the device's values read back after a file was put on the form: asks what
  // to do when the file changes anything, then writes, keeps the form, or shows the device's
  // values again. Returns the number of writes queued.
  size_t FinishFileLoad();
  // One line per write: the row (or sensor item), the device's value and the value written.
  std::vector<std::string> DescribeWrites(const ComposedWrites& composed) const;
  // The composition alone (headless dry runs, diff).
  ComposedWrites Compose();
  // The writes that bring a device holding `params` and `lists` to what the form shows (the
  // headless apply, whose devices each have tables of their own).
  ComposedWrites ComposeFor(const ParamTable& params, const ListParamTable& lists);
  // The device accepted `job`: the form shows the device's value there now, and every row that
  // writes the same command holds that value too.
  void WriteAccepted(const WorkJob& job);
  // What the form shows as a configuration text ("Save profile…", set --file): the rows the
  // form writes as Write would send them, every other row as it was given.
  // `base`: the configuration last put on the form, for the parameters it has no row for.
  ProfileResult Profile(const ConfigValues* base = nullptr);
  // Every posted rule has run (the headless form runs them itself): what the form shows now is
  // what the values put on it look like.
  void RulesSettled();
  const AppliedValues& Applied() const { return applied_; }
  // Marks the fields that differ from the device values (what Write would send) and unmarks the
  // others, such as those the device has just confirmed.
  void RefreshChangeMarks();

  Form& form() { return form_; }
  const ParamTable& params() const { return params_; }

 private:
  Form& form_;
  ParamTable& params_;
  ListParamTable& lists_;
  DeviceFacts& facts_;
  TabTable& tabs_;
  Hooks hooks_;
  SensorItemDefaults sensorDefaults_;
  ShownBytes shownBytes_;
  ChangeMarks changeMarks_;
  AppliedValues applied_;
  // Rules posted and not yet run, and whether the form waits for them to note what it shows.
  int pendingRules_ = 0;
  bool appliedDue_ = false;
};

// The window's text (log and message box) for a batch the backup stopped, in the user's language.
std::string BackupStoppedText(const BackupStep& step);

// Why a configuration text is refused, in the user's language, naming the row at fault.
std::string ConfigRefusalText(const ConfigVerdict& verdict);

// One log line naming a refused value and why; a value the device does not take says what it
// takes (from `params`, the row's command).
std::string RefusalLine(const Refusal& refusal, const ParamTable& params);
