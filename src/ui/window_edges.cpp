#include "window_edges.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>

namespace skin {

unsigned EdgesAt(int x, int y, int width, int height, int border) {
  if (x < 0 || y < 0 || x >= width || y >= height || border <= 0) return kNoEdge;
  unsigned edges = kNoEdge;
  if (x < border) edges |= kLeft;
  if (x >= width - border) edges |= kRight;
  if (y < border) edges |= kTop;
  if (y >= height - border) edges |= kBottom;
  return edges;
}

}  // namespace skin

namespace {

Qt::Edges ToQtEdges(unsigned edges) {
  Qt::Edges out;
  if (edges & skin::kLeft) out |= Qt::LeftEdge;
  if (edges & skin::kTop) out |= Qt::TopEdge;
  if (edges & skin::kRight) out |= Qt::RightEdge;
  if (edges & skin::kBottom) out |= Qt::BottomEdge;
  return out;
}

Qt::CursorShape CursorFor(unsigned edges) {
  bool diagonalDown =
      edges == (skin::kLeft | skin::kTop) || edges == (skin::kRight | skin::kBottom);
  bool diagonalUp = edges == (skin::kRight | skin::kTop) || edges == (skin::kLeft | skin::kBottom);
  if (diagonalDown) return Qt::SizeFDiagCursor;
  if (diagonalUp) return Qt::SizeBDiagCursor;
  if (edges & (skin::kLeft | skin::kRight)) return Qt::SizeHorCursor;
  return Qt::SizeVerCursor;
}

}  // namespace

WindowEdgeResizer::WindowEdgeResizer(QWidget* window) : QObject(window), window_(window) {
  qApp->installEventFilter(this);
}

WindowEdgeResizer::~WindowEdgeResizer() {
  ShowCursorFor(skin::kNoEdge);
}

void WindowEdgeResizer::ShowCursorFor(unsigned edges) {
  if (edges == shownEdges_) return;
  if (shownEdges_ != skin::kNoEdge) QGuiApplication::restoreOverrideCursor();
  if (edges != skin::kNoEdge) QGuiApplication::setOverrideCursor(CursorFor(edges));
  shownEdges_ = edges;
}

bool WindowEdgeResizer::eventFilter(QObject* watched, QEvent* event) {
  QEvent::Type type = event->type();
  if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!window_ || widget == nullptr || widget->window() != window_) return false;
  // Every widget under the pointer sees the event as it propagates; the first one decides.
  auto* mouse = static_cast<QMouseEvent*>(event);
  unsigned edges = skin::kNoEdge;
  if (!window_->isMaximized() && !window_->isFullScreen()) {
    QPoint pos = window_->mapFromGlobal(mouse->globalPosition().toPoint());
    edges = skin::EdgesAt(pos.x(), pos.y(), window_->width(), window_->height(), kBorder);
  }
  if (type == QEvent::MouseMove) {
    if (mouse->buttons() == Qt::NoButton) ShowCursorFor(edges);
    return false;
  }
  if (mouse->button() != Qt::LeftButton || edges == skin::kNoEdge) return false;
  QWindow* handle = window_->windowHandle();
  if (handle == nullptr || !handle->startSystemResize(ToQtEdges(edges))) return false;
  ShowCursorFor(skin::kNoEdge);
  return true;
}
