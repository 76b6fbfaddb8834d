// Resizing a frameless window by its edges: the skin draws no frame, so the toolkit finds the
// edge under the pointer and hands the resize to the window manager.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace skin {

enum Edge : unsigned { kNoEdge = 0, kLeft = 1, kTop = 2, kRight = 4, kBottom = 8 };

// The edges within `border` pixels of the point (window coordinates), as a mask of Edge.
unsigned EdgesAt(int x, int y, int width, int height, int border);

}  // namespace skin

// Watches the mouse over a window and its children: near an edge it shows the sizing cursor
// and a left press starts a system resize. Does nothing while the window is maximised.
class WindowEdgeResizer : public QObject {
 public:
  static constexpr int kBorder = 5;
  explicit WindowEdgeResizer(QWidget* window);
  ~WindowEdgeResizer() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowCursorFor(unsigned edges);

  QPointer<QWidget> window_;
  unsigned shownEdges_ = skin::kNoEdge;
};
