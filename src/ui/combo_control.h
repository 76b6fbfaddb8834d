// "ComboUI": a drop-down list, optionally editable (the port list accepts a typed path).
#pragma once

#include <QComboBox>

#include "control_base.h"

class ComboBoxControl : public QComboBox, public ControlBase, public ComboControl {
 public:
  ComboBoxControl(FormContext* context, QWidget* parent);

  ComboControl* AsCombo() override { return this; }
  // The typed text of an editable list, the selected item's text otherwise.
  std::string Text() const override;
  // An editable list takes the text as typed; a fixed list selects the item of that text.
  void SetText(const std::string& text) override;
  bool ApplyOwnAttribute(std::string_view name, std::string_view value) override;
  void FinishBuild() override;

  int CurSel() const override { return currentIndex(); }
  bool SelectItem(int index) override;
  int ItemCount() const override { return count(); }
  std::string ItemText(int index) const override;
  void RemoveAllItems() override;
  void AddItem(const std::string& text) override;

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  // Scrolling a page must not change the lists it passes over: only a focused list takes the
  // wheel.
  void wheelEvent(QWheelEvent* event) override;
  // The open list is as wide as its longest entry (a port with its adapter's name), not only as
  // wide as the closed box.
  void showPopup() override;

 private:
  void OnIndexChanged(int index);

  int reported_ = -1;  // the index the last "itemselect" left the list at
  std::optional<int> pendingSelection_;
  bool built_ = false;
};
