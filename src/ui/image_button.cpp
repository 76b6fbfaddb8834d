#include "image_button.h"

#include <QPainter>
#include <QPainterPath>

#include "enter_click.h"
#include "form_context.h"
#include "skin_files.h"

namespace {

enum class Direction { Left, Right, Up, Down };

Direction DirectionOf(const std::string& name) {
  if (name.find("left") != std::string::npos) return Direction::Left;
  if (name.find("up") != std::string::npos) return Direction::Up;
  if (name.find("down") != std::string::npos) return Direction::Down;
  return Direction::Right;
}

}  // namespace

ImageButtonControl::ImageButtonControl(FormContext* context, QWidget* parent)
    : QAbstractButton(parent), ControlBase(this, context, "ButtonUI") {
  setCursor(Qt::PointingHandCursor);
  // A click takes the focus, so an edit being left reports "killfocus" before the "click".
  setFocusPolicy(Qt::StrongFocus);
  connect(this, &QAbstractButton::clicked, this, [this] { Context()->Notify("click", this); });
}

std::string ImageButtonControl::Text() const {
  return text().toStdString();
}

void ImageButtonControl::SetText(const std::string& text) {
  setText(QString::fromStdString(text));
}

void ImageButtonControl::OnBkImageChanged() {
  image_ = QPixmap();
  const std::string& name = BkImage();
  if (!name.empty()) {
    // Inside the skin folder only, and no larger than a skin file.
    for (const std::string& file : {name, "images/" + name}) {
      QByteArray bytes;
      if (skin::ReadSkinFile(Context()->SkinDir(), file, &bytes, nullptr) &&
          image_.loadFromData(bytes)) {
        break;
      }
    }
  }
  update();
}

void ImageButtonControl::keyPressEvent(QKeyEvent* event) {
  if (!ClickOnEnter(*this, event)) QAbstractButton::keyPressEvent(event);
}

void ImageButtonControl::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  if (property("changed").toBool()) {
    // What "Write" would change: the amber of a changed field in the style sheets, drawn here
    // because the style sheet does not paint this button.
    p.setPen(QPen(QColor(0xf5, 0x9e, 0x0b), 1.5));
    p.setBrush(QColor(0xff, 0xfb, 0xeb));
    p.drawRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), 4, 4);
  }
  QRectF area = QRectF(rect()).adjusted(2, 2, -2, -2);
  if (!image_.isNull()) {
    QPixmap scaled =
        image_.scaled(area.size().toSize(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    p.drawPixmap(QPointF(area.center().x() - scaled.width() / 2.0,
                         area.center().y() - scaled.height() / 2.0),
                 scaled);
    return;
  }
  bool on = BkImage().find("enable") != std::string::npos;
  QColor colour = on ? QColor(0x1f, 0x7a, 0xe0) : QColor(0xb4, 0xbc, 0xc8);
  if (underMouse() && isEnabled()) colour = colour.darker(115);
  if (!isEnabled()) colour.setAlpha(110);

  // The arrow is laid out pointing right in a unit box, then turned.
  Direction dir = DirectionOf(BkImage());
  bool vertical = dir == Direction::Up || dir == Direction::Down;
  qreal length = vertical ? area.height() : area.width();
  qreal thickness = vertical ? area.width() : area.height();
  qreal head = std::min(thickness * 0.9, length * 0.45);
  qreal shaft = std::max(2.0, thickness * 0.22);
  QPainterPath path;
  path.moveTo(-length / 2, -shaft / 2);
  path.lineTo(length / 2 - head, -shaft / 2);
  path.lineTo(length / 2 - head, -head / 2);
  path.lineTo(length / 2, 0);
  path.lineTo(length / 2 - head, head / 2);
  path.lineTo(length / 2 - head, shaft / 2);
  path.lineTo(-length / 2, shaft / 2);
  path.closeSubpath();
  p.translate(area.center());
  switch (dir) {
    case Direction::Right:
      break;
    case Direction::Left:
      p.rotate(180);
      break;
    case Direction::Down:
      p.rotate(90);
      break;
    case Direction::Up:
      p.rotate(-90);
      break;
  }
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(path);
  if (hasFocus()) {
    p.resetTransform();
    p.setPen(QPen(colour, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
  }
}
