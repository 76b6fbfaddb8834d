// A profile: the form's configuration as a configuration text, in the layout of a saved device
// reply, to be put on other devices ("Save profile…" in the window, `set --file` headless).
//
// Every row of the catalogue is in it. A row the form writes (active, on a shown tab) holds what
// "Write" would send for it, through the same composition and the same list definitions; any
// other row keeps the value it was given by the last read or file, so nothing a hidden page
// holds is lost.
#pragma once

#include <string>
#include <vector>

#include "catalogue/config_acceptance.h"
#include "catalogue/param_table.h"
#include "domain/factory_config.h"
#include "form/shown_bytes.h"
#include "form/tab_table.h"
#include "texts/form.h"
#include "writing/applied_values.h"
#include "writing/save_composition.h"

struct ProfileResult {
  // The configuration text; empty when the profile was refused.
  std::string text;
  // Values the form holds that a configuration cannot carry or the device does not take.
  std::vector<Refusal> refused;
  // The composed text is not a whole configuration (a value longer than the device's field).
  ConfigVerdict verdict;
  // Nothing was read or loaded: the form holds no configuration to save.
  bool nothingLoaded = false;
  // Parameters of the model that no row of the form holds (DeviceParams() indices): their values
  // came from `base`, or without one are the factory values.
  std::vector<size_t> notHeld;

  bool ok() const { return !text.empty(); }
};

// The profile of what the form shows. `params` and `lists` are the form's tables (the values
// it was given), `applied` what it showed then, `base` (may be null) the configuration the
// values came from, for the few parameters no row of the form holds. A five-DIO model's text
// names the variant in its first line, so that it is read as that model again.
ProfileResult ProfileText(Form& form, const ParamTable& params, const ListParamTable& lists,
                          const TabTable& tabs, bool fiveDioModel, const AppliedValues* applied,
                          const ShownBytes* shownBytes, const ConfigValues* base = nullptr);

// Why a profile was refused, in English, one line (headless commands).
std::string DescribeProfileRefusal(const ProfileResult& result, const ParamTable& params);
