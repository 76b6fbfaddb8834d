// The part of every control that does not depend on its kind: name, class, visibility,
// enabled state, background image, declared width, lookup inside the subtree, and the one
// attribute function shared by the skin builder and SetAttribute.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>
#include <string_view>

#include "skin_values.h"
#include "texts/form.h"

class FormContext;

class ControlBase : public Control {
 public:
  ControlBase(QWidget* self, FormContext* context, std::string className);
  ~ControlBase() override;
  ControlBase(const ControlBase&) = delete;
  ControlBase& operator=(const ControlBase&) = delete;

  QWidget* Widget() const { return self_; }
  FormContext* Context() const { return context_; }
  std::uint64_t Serial() const { return serial_; }
  bool IsDetached() const { return detached_; }

  std::string Name() const override { return name_; }
  std::string ClassName() const override { return className_; }
  std::string Text() const override { return {}; }
  void SetText(const std::string&) override {}
  bool IsVisible() const override { return !self_->isHidden(); }
  void SetVisible(bool visible) override { self_->setVisible(visible); }
  // The control's own flag, like IsVisible: a control in a disabled container stays enabled.
  bool IsEnabled() const override { return !self_->testAttribute(Qt::WA_ForceDisabled); }
  void SetEnabled(bool enabled) override { self_->setEnabled(enabled); }
  std::string BkImage() const override { return bkImage_; }
  void SetBkImage(const std::string& image) override;
  bool SetAttribute(const std::string& name, const std::string& value) override;
  int DeclaredWidth() const override { return declaredWidth_; }
  int ShownWidth() const override;
  Control* FindChild(const std::string& name) override;

  void SetName(const std::string& name);
  void SetDeclaredWidth(int width) { declaredWidth_ = width; }
  // The option group ("group" attribute); empty for everything but options.
  virtual const std::string& Group() const;

  // Kind-specific attributes; false when the kind does not know `name`.
  virtual bool ApplyOwnAttribute(std::string_view name, std::string_view value);
  // Inner margins ("padding"/"inset"): of the layout for containers.
  virtual void SetInnerMargins(const skin::Margins& margins);
  // Takes a built child into this control; false when the kind holds no children.
  virtual bool AdoptChild(ControlBase* child);
  // Called by the builder after the element's children have been read.
  virtual void FinishBuild() {}

  // Takes this control and everything inside it out of the name index and marks it removed;
  // used just before a control is scheduled for deletion.
  void DetachSubtree();

 protected:
  virtual void OnBkImageChanged() {}

 private:
  QWidget* self_;
  FormContext* context_;
  std::string className_;
  std::string name_;
  std::string bkImage_;
  int declaredWidth_ = 0;
  std::uint64_t serial_ = 0;
  bool detached_ = false;
};

// The control behind a widget, or nullptr for plain Qt widgets.
ControlBase* ControlOf(QObject* object);

// Applies one skin attribute to a control; false when neither the control's kind nor the
// common attributes know `name`. Used for every attribute a skin file carries and by
// Control::SetAttribute, so both behave identically.
bool ApplySkinAttribute(ControlBase& control, std::string_view name, std::string_view value);

// "\r\n" and lone "\r" become line breaks.
QString ToDisplayText(const std::string& text);
