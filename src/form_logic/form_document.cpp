#include "form_logic/form_document.h"

#include "catalogue/config_text.h"
#include "texts/language.h"
#include "writing/config_file.h"

namespace {
// Why the form cannot be saved as a profile, in the user's language.
std::string ProfileRefusalText(const ProfileResult& profile, const ParamTable& params) {
  if (profile.nothingLoaded) return LanguageText("Profile", "NothingLoaded", "");
  if (!profile.refused.empty()) return RefusalLine(profile.refused.front(), params);
  return ConfigRefusalText(profile.verdict);
}
}  // namespace

void FormDocument::Given(const std::string& text, const std::string& path, bool profile) {
  profile_ = profile;
  ConfigValues values;
  if (ReadConfigValues(text, &values)) {
    base_ = std::move(values);
  } else {
    base_.reset();
  }
  path_ = path;
  kept_.reset();
  keepDue_ = true;
}

void FormDocument::Settled() {
  if (!keepDue_) return;
  keepDue_ = false;
  kept_ = Profile().text;
}

void FormDocument::Kept() {
  keepDue_ = false;
  kept_ = Profile().text;
}

ProfileResult FormDocument::Profile() {
  return logic_.Profile(base_ ? &*base_ : nullptr);
}

bool FormDocument::SaveProfile(const std::string& path, std::string* reason) {
  const ProfileResult profile = Profile();
  if (!profile.ok()) {
    if (reason) *reason = ProfileRefusalText(profile, logic_.params());
    return false;
  }
  if (!WriteConfigFileTo(path, profile.text, reason)) return false;
  path_ = path;
  profile_ = true;
  keepDue_ = false;
  kept_ = profile.text;
  return true;
}

bool FormDocument::Unsaved() {
  if (keepDue_ || !kept_) return false;
  return Profile().text != *kept_;
}
