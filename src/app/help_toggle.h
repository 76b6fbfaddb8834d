// The "Help" button of the log pane's tool row: shows and hides the help pane. It follows the
// pane, so after a login, when the window hides the help to give the log its room, the button
// brings it back. UI thread only.
#pragma once

#include <QObject>

class QBoxLayout;
class QPushButton;
class QWidget;

class HelpToggle : public QObject {
 public:
  // Adds the button at the end of `tools`; the toggle lives as long as `helpPane`.
  HelpToggle(QWidget* helpPane, QBoxLayout* tools);

  QPushButton* button() const { return button_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Follow();

  QWidget* helpPane_;
  QPushButton* button_;
};
