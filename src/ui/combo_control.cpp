#include "combo_control.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QWheelEvent>

#include "form_context.h"

ComboBoxControl::ComboBoxControl(FormContext* context, QWidget* parent)
    : QComboBox(parent), ControlBase(this, context, "ComboUI") {
  setInsertPolicy(QComboBox::NoInsert);
  setFocusPolicy(Qt::StrongFocus);
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(4);
  connect(this, &QComboBox::currentIndexChanged, this, [this](int i) { OnIndexChanged(i); });
}

void ComboBoxControl::OnIndexChanged(int index) {
  // A long entry (a port followed by its adapter's name) shows its beginning, where the path is.
  if (isEditable() && lineEdit()) lineEdit()->setCursorPosition(0);
  int old = reported_;
  reported_ = index;
  if (old != index) Context()->Notify("itemselect", this, index, old);
}

std::string ComboBoxControl::Text() const {
  return currentText().toStdString();
}

void ComboBoxControl::SetText(const std::string& text) {
  QString q = QString::fromStdString(text);
  if (isEditable()) {
    setEditText(q);
    return;
  }
  int index = findText(q, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index >= 0) SelectItem(index);
}

bool ComboBoxControl::SelectItem(int index) {
  int n = count();
  if (n == 0) return false;
  if (index >= n) index = n - 1;
  if (index < 0) index = -1;
  if (index == currentIndex()) return false;
  setCurrentIndex(index);
  return true;
}

std::string ComboBoxControl::ItemText(int index) const {
  if (index < 0 || index >= count()) return {};
  return itemText(index).toStdString();
}

void ComboBoxControl::RemoveAllItems() {
  // Emptying the list is not a choice of the user: no "itemselect".
  QSignalBlocker block(this);
  clear();
  reported_ = -1;
}

void ComboBoxControl::AddItem(const std::string& text) {
  // QComboBox selects the first item added to an empty list; ours keeps its selection.
  QSignalBlocker block(this);
  int before = currentIndex();
  QString edit = isEditable() ? currentText() : QString();
  addItem(QString::fromStdString(text));
  if (before == -1 && currentIndex() != -1) {
    setCurrentIndex(-1);
    if (isEditable()) setEditText(edit);
  }
  reported_ = currentIndex();
}

bool ComboBoxControl::ApplyOwnAttribute(std::string_view name, std::string_view value) {
  if (name == "selected" || name == "cursel") {
    std::optional<int> n = skin::ParseInt(value);
    if (!n) return false;
    if (built_)
      SelectItem(*n);
    else
      pendingSelection_ = *n;
    return true;
  }
  if (name == "editable") {
    std::optional<bool> b = skin::ParseBool(value);
    if (!b) return false;
    setEditable(*b);
    if (*b) lineEdit()->setClearButtonEnabled(false);
    return true;
  }
  if (name == "dropheight") {
    std::optional<int> n = skin::ParseInt(value);
    if (!n || *n <= 0) return false;
    setMaxVisibleItems(std::max(1, *n / 24));
    return true;
  }
  return false;
}

void ComboBoxControl::FinishBuild() {
  built_ = true;
  if (pendingSelection_)
    SelectItem(*pendingSelection_);
  else if (currentIndex() != -1)
    SelectItem(-1);
  pendingSelection_.reset();
  reported_ = currentIndex();
}

void ComboBoxControl::showPopup() {
  const int frame = 2 * view()->frameWidth() + 24;
  view()->setMinimumWidth(std::max(width(), view()->sizeHintForColumn(0) + frame));
  QComboBox::showPopup();
}

// Opening the list moves the focus into the popup for a moment; that is no leaving.
void ComboBoxControl::focusInEvent(QFocusEvent* event) {
  QComboBox::focusInEvent(event);
  if (event->reason() != Qt::PopupFocusReason) Context()->Notify("setfocus", this);
}

void ComboBoxControl::focusOutEvent(QFocusEvent* event) {
  QComboBox::focusOutEvent(event);
  if (event->reason() != Qt::PopupFocusReason) Context()->Notify("killfocus", this);
}

void ComboBoxControl::wheelEvent(QWheelEvent* event) {
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  QComboBox::wheelEvent(event);
}
