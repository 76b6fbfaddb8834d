// The form's logic around the device's tables, shared by the window and the headless commands:
// the visibility rules, a read shown on the form, a configuration file put on the form, and the
// writes that bring the device to what the form shows.
//
// UI thread only. Rules are posted through `postRule` and come back to RunRule in posting order;
// jobs leave through `queue`. Nothing here knows the window or the port.
#pragma once

#include <functional>
#include <string>

#include "catalogue/device_facts.h"
#include "catalogue/param_table.h"
#include "exchange/work_job.h"
#include "form/shown_bytes.h"
#include "form/tab_table.h"
#include "texts/form.h"
#include "writing/change_marks.h"
#include "writing/save_composition.h"
#include "writing/sensor_list.h"

class FormController {
 public:
  struct Hooks {
    std::function<void(int rule, int argument)> postRule;
    std::function<void(const std::string& text)> messageBox;
    std::function<void(const std::string& text)> log;
    // Queues a job for the device; false when it was refused.
    std::function<bool(const WorkJob& job)> queue;
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
  // reason, when the text is no configuration (nothing is changed then). `*warning` receives a
  // note when the text is cut short (it is still shown).
  bool LoadText(const std::string& text, std::string* reason, std::string* warning);
  // Composes the writes of what the form changes and queues them; logs each refused value and
  // says so when nothing differs. Returns the number of writes queued.
  size_t WriteChanges();
  // The composition alone (headless dry runs, diff).
  ComposedWrites Compose();
  // Marks the fields that differ from the device values (what Write would send) and unmarks the
  // others, such as those the device has just confirmed.
  void RefreshChangeMarks();

  Form& form() { return form_; }
  // The bytes behind the fields that show a decoding (values that are not UTF-8).
  const ShownBytes& shownBytes() const { return shownBytes_; }

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
};

// One log line naming a refused value and why.
std::string RefusalLine(const Refusal& refusal);
