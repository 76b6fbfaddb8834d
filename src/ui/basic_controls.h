// Leaf controls: text labels, one-line edits, push buttons.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "control_base.h"

// "LabelUI" and "TextUI": both show a text. A "TextUI" keeps mouse presses in the caption bar
// (no window drag); a "LabelUI" does not.
class LabelControl : public QLabel, public ControlBase {
 public:
  LabelControl(FormContext* context, std::string className, QWidget* parent);
  std::string Text() const override;
  void SetText(const std::string& text) override;
  bool ApplyOwnAttribute(std::string_view name, std::string_view value) override;
};

// "EditUI".
class EditControl : public QLineEdit, public ControlBase {
 public:
  EditControl(FormContext* context, QWidget* parent);
  std::string Text() const override;
  void SetText(const std::string& text) override;
  bool ApplyOwnAttribute(std::string_view name, std::string_view value) override;

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

// "ButtonUI".
class ButtonControl : public QPushButton, public ControlBase {
 public:
  ButtonControl(FormContext* context, QWidget* parent);
  std::string Text() const override;
  void SetText(const std::string& text) override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// Horizontal or vertical alignment words of the "align" attribute; nothing for others.
std::optional<Qt::Alignment> ParseAlignment(std::string_view text);
