#include "app/program_badge.h"

#include <QFont>
#include <QPainter>

#include <algorithm>

QImage ProgramBadge(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x25, 0x63, 0xeb));
  painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0), size * 0.18, size * 0.18);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(std::max(6, size * 3 / 10));
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, "DTU");
  painter.end();
  return image;
}
