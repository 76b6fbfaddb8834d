// "OptionUI": radio-style option buttons (and check boxes). Groups are the skin's "group"
// attribute, not Qt's parent-based exclusivity, so options of one group may sit in different
// containers (the tab strip holds each tab's option in a container of its own).
#pragma once

#include <QCheckBox>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include "control_base.h"
#include "enter_click.h"
#include "form_context.h"

template <class ButtonBase>
class OptionWidget : public ButtonBase, public ControlBase, public OptionControl {
 public:
  OptionWidget(FormContext* context, QWidget* parent)
      : ButtonBase(parent), ControlBase(this, context, "OptionUI") {
    this->setCheckable(true);
    this->setAutoExclusive(false);
    this->setFocusPolicy(Qt::StrongFocus);
    // A user's click reports "click" first, then the selection (as the dispatcher expects).
    QObject::connect(this, &QAbstractButton::clicked, this, [this] { OnClicked(); });
    QObject::connect(this, &QAbstractButton::toggled, this, [this](bool on) { OnToggled(on); });
  }

  OptionControl* AsOption() override { return this; }
  std::string Text() const override { return this->text().toStdString(); }
  void SetText(const std::string& text) override { this->setText(QString::fromStdString(text)); }
  const std::string& Group() const override { return group_; }

  bool IsSelected() const override { return this->isChecked(); }
  void Select(bool selected) override { this->setChecked(selected); }

  bool ApplyOwnAttribute(std::string_view name, std::string_view value) override {
    if (name == "group") {
      group_ = std::string(value);
      return true;
    }
    if (name == "selected") {
      std::optional<bool> b = skin::ParseBool(value);
      if (b) Select(*b);
      return b.has_value();
    }
    return false;
  }

 protected:
  // The state changes in OnClicked, after "click" has been reported.
  void nextCheckState() override {}
  // Enter picks the focused option (a tab, a radio item), as Space does.
  void keyPressEvent(QKeyEvent* event) override {
    if (!ClickOnEnter(*this, event)) ButtonBase::keyPressEvent(event);
  }

 private:
  void OnClicked() {
    QPointer<QAbstractButton> alive(this);
    Context()->Notify("click", this);
    if (!alive) return;
    // A selected option of a group stays selected when clicked again, like a radio button.
    Select(group_.empty() ? !this->isChecked() : true);
  }

  void OnToggled(bool on) {
    if (!on) return;
    Context()->ClearGroupExcept(group_, this);
    Context()->Notify("selectchanged", this);
  }

  std::string group_;
};

using OptionButtonControl = OptionWidget<QRadioButton>;
using CheckBoxControl = OptionWidget<QCheckBox>;
// An option drawn as a push button with a centred caption: the page tabs.
using TabOptionControl = OptionWidget<QPushButton>;
