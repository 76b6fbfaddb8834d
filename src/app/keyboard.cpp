#include "app/keyboard.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include "texts/language.h"
#include "ui/control_base.h"

namespace {

// Writing changes the device, so it takes a deliberate chord.
constexpr ButtonShortcut kShortcuts[] = {
    {"Load", "Ctrl+R", "LoadTip"},
    {"Save", "Ctrl+Shift+W", "SaveTip"},
    {"LoadFromFile", "Ctrl+O", "LoadFromFileTip"},
    {"SaveToFile", "Ctrl+S", "SaveToFileTip"},
    {"RefreshPorts", "F5", "RefreshPortsTip"},
};

// Top to bottom through the side panel, then the tab strip; the pages and the log follow in the
// order the skin lays them out.
constexpr const char* kPanelOrder[] = {
    "SerialPort", "RefreshPorts", "BaudRate1", "Checkcode",    "Open",       "Login",
    "quit",       "Load",         "Save",      "LoadFromFile", "SaveToFile", "RestoreFactory",
};

constexpr const char* kCaptionButtons[] = {"minbtn", "maxbtn", "restorebtn", "closebtn"};

QWidget* WidgetOf(Form& form, const std::string& name) {
  auto* control = dynamic_cast<ControlBase*>(form.Find(name));
  return control ? control->Widget() : nullptr;
}

}  // namespace

std::span<const ButtonShortcut> ButtonShortcuts() {
  return kShortcuts;
}

void InstallShortcuts(QWidget& window, Form& form) {
  for (const ButtonShortcut& entry : kShortcuts) {
    auto* button = qobject_cast<QAbstractButton*>(WidgetOf(form, entry.button));
    if (!button) continue;
    const QKeySequence keys(QString::fromLatin1(entry.keys), QKeySequence::PortableText);
    auto* shortcut = new QShortcut(keys, &window);
    QObject::connect(shortcut, &QShortcut::activated, button, [button] {
      if (button->isEnabled() && button->isVisible()) button->click();
    });
    const std::string tip = LanguageText("Everyday", entry.tipKey, "");
    const QString keyText = keys.toString(QKeySequence::NativeText);
    button->setToolTip(tip.empty() ? keyText
                                   : QString::fromStdString(tip) + QStringLiteral(" (") + keyText +
                                         QStringLiteral(")"));
  }
}

void ArrangeTabOrder(Form& form) {
  for (const char* name : kCaptionButtons) {
    if (QWidget* button = WidgetOf(form, name)) button->setFocusPolicy(Qt::NoFocus);
  }
  if (QWidget* language = WidgetOf(form, "Language")) language->setFocusPolicy(Qt::ClickFocus);
  QWidget* previous = nullptr;
  for (const char* name : kPanelOrder) {
    QWidget* widget = WidgetOf(form, name);
    if (!widget) continue;
    if (previous) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

FocusParking::FocusParking(Form& form, std::string parkingPlace)
    : form_(form), parkingPlace_(std::move(parkingPlace)) {}

void FocusParking::BeforeDisabling(const std::vector<const char*>& names) {
  for (const char* name : names) {
    QWidget* widget = WidgetOf(form_, name);
    if (!widget || !widget->hasFocus()) continue;
    parked_ = widget;
    if (QWidget* place = WidgetOf(form_, parkingPlace_)) {
      place->setFocus(Qt::OtherFocusReason);
    } else {
      widget->clearFocus();
    }
    return;
  }
}

void FocusParking::AfterEnabling() {
  if (!parked_ || !parked_->isEnabled() || !parked_->isVisible()) return;
  QWidget* focus = parked_->window()->focusWidget();
  QWidget* place = WidgetOf(form_, parkingPlace_);
  // The user moved on while the job ran: the focus stays where they put it.
  if (focus && focus != place && focus != parked_) {
    parked_.clear();
    return;
  }
  parked_->setFocus(Qt::OtherFocusReason);
  parked_.clear();
}
