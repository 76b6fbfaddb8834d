// The parameter side of the window: the tabbed pages and their rules (FormController), the tab
// strip, the routing arrows, the marks on what differs from the device, and configuration files
// saved and opened. UI thread only.
#pragma once

#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "form/tab_table.h"
#include "form_logic/form_controller.h"
#include "form_logic/form_document.h"

class DeviceSession;
class SkinWindow;

class ParametersPanel {
 public:
  struct Hooks {
    // A rule to run once the notification that triggered it has been handled.
    std::function<void(int rule, int argument)> postRule;
    std::function<void(const std::string& text)> log;
    std::function<void(const std::string& text)> messageBox;
    std::function<FileWritesChoice(const std::vector<std::string>& lines)> chooseFileWrites;
    std::function<bool(const std::string& text)> confirm;
    // The model a new profile is for (a ProfileModels() name); nullopt when cancelled.
    std::function<std::optional<std::string>()> chooseProfileModel;
    // The document's file or its unsaved state may have changed.
    std::function<void()> documentChanged;
    // True when no one is there to answer a file dialog.
    std::function<bool()> headless;
  };

  ParametersPanel(SkinWindow& window, DeviceSession& session, int languageValue, Hooks hooks);
  ~ParametersPanel();
  ParametersPanel(const ParametersPanel&) = delete;
  ParametersPanel& operator=(const ParametersPanel&) = delete;

  // The form's notifications that belong to the pages.
  void OnWindowInit();
  void OnItemSelect(const std::string& name);
  void OnOptionSelected(const std::string& name);
  void OnFocusLost(const std::string& name);
  void ScrollTabs(bool toTheLeft);
  // A routing arrow: its image swaps "enable" and "disable".
  void ToggleChannel(const std::string& name);
  // The window changed size: the tab strip shows what fits.
  void FitTabs();
  // "Save": writes what differs from the device.
  void WriteChanges();
  void RunRule(int rule, int argument);
  // Marks what differs from the device once a burst of changes has settled.
  void ScheduleChangeMarks();

  // What the device said: `reply` is its configuration, now on the form.
  void ShowValues(const std::string& reply);
  void FinishFileLoad();
  void WriteAccepted(const WorkJob& job);
  void ShowNetMode(const std::string& mode);
  // A batch of writes ended; `clean` when the device took every write.
  void WritesEnded(bool clean);

  // "SaveToFile": asks for a file and queues the show request whose reply goes into it.
  void SaveToFile();
  // "LoadFromFile": asks for a file and loads it.
  void LoadFromFile();
  // "Open file" without its dialog: the file onto the form, then the device's differences
  // written (when logged in). False when the file cannot be used; the log says why.
  bool LoadFile(const std::string& path);
  // "NewProfile": asks for the model and puts its factory configuration on the form.
  void NewProfile();
  // The factory configuration of model `name` on the form, as a new profile not yet saved.
  bool StartProfile(const std::string& name);
  // "SaveProfile": asks for a file and saves the form into it.
  void SaveProfile();
  // The form as a profile into `path`; false (the log and a message say why) when it cannot be.
  bool SaveProfileTo(const std::string& path);

  // The form holds edits neither written to the device nor saved.
  bool HasUnsavedEdits() { return document_->Unsaved(); }
  // The file the form was opened from or saved to last; empty for a device or a new profile.
  const std::string& DocumentPath() const { return document_->path(); }
  // The form holds a profile (opened, started or saved) rather than a device's read.
  bool ShowsProfile() const { return document_->profile(); }

  TabTable& tabs() { return tabs_; }
  FormController& logic() { return *logic_; }

 private:
  void Log(const std::string& text);
  void DocumentChanged();
  std::string AskFilePath(bool forSaving, const std::string& suggestedName);

  SkinWindow& window_;
  DeviceSession& session_;
  const int languageValue_;
  Hooks hooks_;
  TabTable tabs_;
  std::unique_ptr<FormController> logic_;
  std::unique_ptr<FormDocument> document_;
  QTimer changeMarkTimer_;
  // The folder and file of the last configuration file saved or loaded.
  std::string configFilePath_;
};
