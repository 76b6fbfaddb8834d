// Renders the program's icon into the hicolor sizes of the icon theme:
//   make_icons OUTDIR   writes OUTDIR/<N>x<N>/apps/dtu-config.png for every size.
// The badge is the one the window draws for itself when its skin has no icon.png, so the menu
// entry and the running window look alike.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256, 512};

QImage Badge(int size) {
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons OUTDIR\n");
    return 2;
  }
  // Fonts need a GUI application, not a screen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString root = QString::fromLocal8Bit(argv[1]);
  for (int size : kSizes) {
    const QString dir = QString("%1/%2x%2/apps").arg(root).arg(size);
    const QString file = dir + "/dtu-config.png";
    if (!QDir().mkpath(dir) || !Badge(size).save(file, "PNG")) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
