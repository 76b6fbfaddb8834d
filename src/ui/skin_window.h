// The frameless top-level window that shows a skin and is the program's Form.
#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "skin_values.h"
#include "texts/form.h"

class FormContext;
class ControlBase;
class WindowEdgeResizer;

class SkinWindow : public QWidget, public Form {
 public:
  // skinDir: the directory holding skin.xml and the page files. `callback` is asked for the
  // unknown tags of the main skin file; `sink` receives the notifications. Both may be null
  // and must outlive the window.
  SkinWindow(std::string skinDir, BuilderCallback* callback, NotifySink* sink,
             QWidget* parent = nullptr);
  ~SkinWindow() override;
  // Before Load: a form nobody looks at (the headless commands') skips the style sheet, which
  // costs two thirds of building it.
  void SkipStyleSheet() { styleSheet_ = false; }

  // Builds skinDir/fileName; false (and LoadError() says why: file missing, XML error with
  // line and column) when it cannot. "windowinit" follows once, from the event loop, after
  // the first successful load.
  bool Load(const std::string& fileName = "skin.xml");
  std::string LoadError() const { return loadError_; }

  Control* Find(const std::string& name) override;
  void RunWindowCommand(WindowCommand command) override;
  bool IsMaximized() const override { return isMaximized(); }
  void SetWindowTitle(const std::string& title) override;
  void ShowWindowCentered() override;
  void HideWindow() override { hide(); }

  // Renders the window at its current size into a PNG file (works offscreen and unshown).
  bool SaveScreenshot(const std::string& pngPath);

  // The caption area of the skin ("caption" attribute of <Window>).
  const skin::Margins& CaptionArea() const { return caption_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool ApplyWindowAttribute(const std::string& name, const std::string& value);
  bool InCaption(QPoint pos);
  void DeliverWindowInit();

  std::string skinDir_;
  BuilderCallback* callback_;
  std::unique_ptr<FormContext> context_;
  ControlBase* root_ = nullptr;
  std::string loadError_;
  skin::Margins caption_;
  bool windowInitQueued_ = false;
  bool resizeQueued_ = false;
  bool styleSheet_ = true;
  bool closingByCommand_ = false;
  bool wasMaximized_ = false;
  WindowEdgeResizer* edges_ = nullptr;
};
