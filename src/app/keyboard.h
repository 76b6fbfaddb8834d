// The keyboard: shortcuts for the everyday commands, the Tab order, and where the focus goes
// while the command buttons are disabled. UI thread only.
#pragma once

#include <QPointer>

#include <span>
#include <string>
#include <vector>

class Form;
class QWidget;

struct ButtonShortcut {
  const char* button;  // the control clicked
  const char* keys;    // portable key sequence text
  const char* tipKey;  // tooltip text in section "Everyday" of the language file
};

// Read, Write, Open file, Save file and refresh ports.
std::span<const ButtonShortcut> ButtonShortcuts();

// Puts the shortcuts on `window`: a shortcut clicks its button when that button is enabled and
// shown, exactly as the mouse does. Each button's tooltip becomes its language file text with
// the keys appended.
void InstallShortcuts(QWidget& window, Form& form);

// The Tab order runs down the connection panel (port, refresh, baud rate, line code, Open), the
// login and parameter commands, then the tab strip, the shown page and the log. The window's
// caption buttons take no keyboard focus, and the "Language" list takes it only from a click:
// the focus never lands there by itself, where an arrow key would restart the program.
void ArrangeTabOrder(Form& form);

// Keeps the keyboard focus on something harmless while buttons are disabled. Qt moves the focus
// of a disabled control to the next one in the Tab order, which may be any list of the form,
// where an arrow key changes a setting. Before disabling, the focus goes to `parkingPlace`
// (the log pane) instead, and the button gets it back once it is enabled again, unless the
// user has put the focus somewhere else meanwhile.
class FocusParking {
 public:
  FocusParking(Form& form, std::string parkingPlace);

  void BeforeDisabling(const std::vector<const char*>& names);
  void AfterEnabling();

 private:
  Form& form_;
  std::string parkingPlace_;
  QPointer<QWidget> parked_;
};
