#include "app/help_toggle.h"

#include <QBoxLayout>
#include <QEvent>
#include <QPushButton>

#include "texts/language.h"

namespace {
QString Text(const char* key) {
  return QString::fromStdString(LanguageText("LogAndStatus", key, ""));
}
}  // namespace

HelpToggle::HelpToggle(QWidget* helpPane, QBoxLayout* tools)
    : QObject(helpPane), helpPane_(helpPane), button_(new QPushButton(Text("HelpToggle"))) {
  button_->setObjectName("HelpToggle");
  button_->setToolTip(Text("HelpToggleTip"));
  button_->setCheckable(true);
  tools->addWidget(button_);
  Follow();
  connect(button_, &QPushButton::toggled, this, [this](bool on) { helpPane_->setVisible(on); });
  helpPane_->installEventFilter(this);
}

bool HelpToggle::eventFilter(QObject* watched, QEvent* event) {
  if (watched == helpPane_ && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
    Follow();
  return false;
}

void HelpToggle::Follow() {
  // Hidden by a call, not merely with a window that is not on screen yet.
  const bool shown = !helpPane_->isHidden();
  if (button_->isChecked() != shown) button_->setChecked(shown);
}
