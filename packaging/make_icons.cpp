// Renders the program's icon into the hicolor sizes of the icon theme:
//   make_icons OUTDIR   writes OUTDIR/<N>x<N>/apps/dtu-config.png for every size.
// The badge is the one the window draws for itself when its skin has no icon.png, so the menu
// entry and the running window look alike.
#include <QDir>
#include <QGuiApplication>

#include <cstdio>

#include "app/program_badge.h"

namespace {

constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256, 512};

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
    if (!QDir().mkpath(dir) || !ProgramBadge(size).save(file, "PNG")) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
