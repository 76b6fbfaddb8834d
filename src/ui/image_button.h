// A button drawn from its background image name: the channel-routing arrows. The look follows
// the name: an image file of that name in the skin directory (or its "images" folder) when
// there is one, otherwise a painted arrow pointing the way the name says ("left", "right",
// "up", "down"), in colour when the name holds "enable" and grey otherwise.
#pragma once

#include <QAbstractButton>
#include <QPixmap>

#include "control_base.h"

class ImageButtonControl : public QAbstractButton, public ControlBase {
 public:
  ImageButtonControl(FormContext* context, QWidget* parent);
  std::string Text() const override;
  void SetText(const std::string& text) override;
  QSize sizeHint() const override { return {56, 28}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void OnBkImageChanged() override;

 private:
  QPixmap image_;
};
