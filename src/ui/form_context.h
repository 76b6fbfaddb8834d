// What the controls of one form share: the skin directory, the name index behind Find, the
// notification sink, option groups, and a hidden parking widget for controls that have no
// place in the tree yet. Owned by the window; every control of the form points to it.
#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "texts/form.h"

class ControlBase;

class FormContext {
 public:
  FormContext(std::string skinDir, NotifySink* sink);
  ~FormContext();
  FormContext(const FormContext&) = delete;
  FormContext& operator=(const FormContext&) = delete;

  const std::string& SkinDir() const { return skinDir_; }
  // The path of a file of the skin directory.
  std::string SkinPath(const std::string& fileName) const;

  // Controls register themselves when created; the serial number orders them by creation,
  // which is document order while a file is built.
  std::uint64_t Register(ControlBase* control);
  void Unregister(ControlBase* control);
  void Rename(ControlBase* control, const std::string& oldName, const std::string& newName);
  // The first control in document order carrying `name`; never a destroyed or removed one.
  ControlBase* Find(const std::string& name) const;
  bool Owns(const Control* control) const;

  // Notifications are held back while a file is being built (its initial selections are not
  // user actions).
  void Notify(const char* type, ControlBase* sender, long wParam = 0, long lParam = 0);
  void SetSink(NotifySink* sink) { sink_ = sink; }
  NotifySink* Sink() const { return sink_; }

  class BuildScope {
   public:
    explicit BuildScope(FormContext& context) : context_(context) { ++context_.building_; }
    ~BuildScope() { --context_.building_; }
    BuildScope(const BuildScope&) = delete;
    BuildScope& operator=(const BuildScope&) = delete;

   private:
    FormContext& context_;
  };

  // Clears every other selected option of `group`.
  void ClearGroupExcept(const std::string& group, ControlBase* keep);

  // Parent of controls that are not yet placed in the window (built page files, factory
  // containers); it is never shown, so showing such a control never opens a stray window.
  QWidget* Parking() { return parking_.get(); }
  // Deletes every parked control; the window calls it before it goes away.
  void DestroyParked();

  // Builds a file of the skin directory without builder callback (lists, pages).
  ControlBase* BuildFile(const std::string& fileName, std::string* error = nullptr);

  // What the builds in progress have in common, across the files that name each other (pages,
  // list rows): the files open now, outermost first; the element depth over all of them; how
  // many files the outermost build has built; and the first refusal of a nested file, which
  // makes the outermost build fail. A file that names itself, directly or through others,
  // would otherwise build until the stack runs out.
  struct Nesting {
    std::vector<std::string> files;
    int depth = 0;
    int filesBuilt = 0;
    std::string error;
  };
  Nesting& BuildNesting() { return nesting_; }

 private:
  std::string skinDir_;
  NotifySink* sink_;
  int building_ = 0;
  std::uint64_t nextSerial_ = 1;
  std::unordered_map<std::string, std::vector<ControlBase*>> byName_;
  std::unordered_set<ControlBase*> live_;
  std::unique_ptr<QWidget> parking_;
  Nesting nesting_;
};
