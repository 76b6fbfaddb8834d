// The form as a document the user edits: the file it was last opened from or saved to, the
// configuration it was last given (for the few values no row of the form holds), and whether
// it now holds edits that are neither saved in a file nor written to a device.
#pragma once

#include <optional>
#include <string>

#include "domain/factory_config.h"
#include "form_logic/form_controller.h"

class FormDocument {
 public:
  explicit FormDocument(FormController& logic) : logic_(logic) {}

  // A configuration was put on the form (a file opened, a new profile, a device read); `path`
  // is the file it came from, empty for a device or a new profile. What the form shows once
  // its rules have run is the document's kept state (see Settled).
  // `profile`: the form now holds a profile (a file or a new one) rather than a device's read.
  void Given(const std::string& text, const std::string& path, bool profile);
  // The rules have run: a pending kept state is taken from the form now.
  void Settled();
  // What the form shows now is kept: written to the device.
  void Kept();
  // The form as a profile into `path`, atomically; the document is then that file. False, and
  // `*reason` says why, when the form holds a value a configuration cannot carry exactly or the
  // file cannot be written; nothing is written then.
  bool SaveProfile(const std::string& path, std::string* reason);

  // What the form shows as a configuration text; the parameters it has no row for keep the
  // values of the configuration last given.
  ProfileResult Profile();

  // The form differs from what was last given, saved or written.
  bool Unsaved();
  const std::string& path() const { return path_; }
  bool profile() const { return profile_; }

 private:
  FormController& logic_;
  std::optional<ConfigValues> base_;
  std::optional<std::string> kept_;
  bool keepDue_ = false;
  std::string path_;
  bool profile_ = false;
};
