#include "skin_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QVBoxLayout>
#include <QWindow>

#include "caption_hit_test.h"
#include "control_base.h"
#include "form_context.h"
#include "skin_builder.h"
#include "skin_files.h"
#include "skin_log.h"
#include "window_edges.h"

SkinWindow::SkinWindow(std::string skinDir, BuilderCallback* callback, NotifySink* sink,
                       QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      skinDir_(std::move(skinDir)),
      callback_(callback),
      context_(std::make_unique<FormContext>(skinDir_, sink)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  setObjectName(QStringLiteral("SkinWindow"));
  edges_ = new WindowEdgeResizer(this);
}

SkinWindow::~SkinWindow() {
  // Tearing the tree down moves the focus around; nobody is listening any more.
  context_->SetSink(nullptr);
  // The controls refer to the context: they go first.
  if (root_) delete root_->Widget();
  root_ = nullptr;
  context_->DestroyParked();
  const QObjectList children = this->children();
  for (QObject* child : children) {
    if (ControlOf(child)) delete child;
  }
}

bool SkinWindow::Load(const std::string& fileName) {
  loadError_.clear();
  SkinBuilder builder(*context_, callback_);
  SkinBuilder::Attributes window;
  ControlBase* root = builder.Build(fileName, &window);
  if (root == nullptr) {
    loadError_ = builder.Error();
    return false;
  }
  if (root_) {
    // Load may be called from a notification of the old tree: it goes from the event loop.
    root_->DetachSubtree();
    root_->Widget()->hide();
    root_->Widget()->deleteLater();
  }
  root_ = root;
  layout()->addWidget(root_->Widget());
  for (const auto& [name, value] : window) {
    if (!ApplyWindowAttribute(name, value)) {
      qCDebug(lcSkin, "window attribute %s=\"%s\" not applied", name.c_str(), value.c_str());
    }
  }
  if (!windowInitQueued_) {
    windowInitQueued_ = true;
    QMetaObject::invokeMethod(
        this, [this] { DeliverWindowInit(); }, Qt::QueuedConnection);
  }
  return true;
}

void SkinWindow::DeliverWindowInit() {
  if (NotifySink* sink = context_->Sink()) {
    Notification n;
    n.type = "windowinit";
    n.sender = root_;
    sink->Notify(n);
  }
}

bool SkinWindow::ApplyWindowAttribute(const std::string& name, const std::string& value) {
  if (name == "size") {
    auto size = skin::ParseSize(value);
    if (size) resize(size->first, size->second);
    return size.has_value();
  }
  if (name == "minsize" || name == "mininfo") {
    auto size = skin::ParseSize(value);
    if (size) setMinimumSize(size->first, size->second);
    return size.has_value();
  }
  if (name == "caption") {
    auto margins = skin::ParseMargins(value);
    if (margins) caption_ = *margins;
    return margins.has_value();
  }
  if (name == "title") {
    setWindowTitle(QString::fromStdString(value));
    return true;
  }
  if (name == "qtstyle") {
    // The whole application takes the skin's widget style, so that dialogs match the window.
    QString wanted = QString::fromStdString(value);
    if (QApplication::style()->name().compare(wanted, Qt::CaseInsensitive) == 0) return true;
    if (QStyle* style = QStyleFactory::create(wanted)) {
      QApplication::setStyle(style);
      return true;
    }
    return false;
  }
  if (name == "stylesheet") {
    if (!styleSheet_) return true;
    QByteArray bytes;
    std::string error;
    if (!skin::ReadSkinFile(skinDir_, value, &bytes, &error)) {
      qCWarning(lcSkin, "%s", error.c_str());
      return false;
    }
    QString sheet = QString::fromUtf8(bytes);
    // Image paths in the style sheet may be written relative to the skin directory.
    sheet.replace(QStringLiteral("%SKIN%"), QString::fromStdString(skinDir_));
    setStyleSheet(sheet);
    return true;
  }
  return false;
}

Control* SkinWindow::Find(const std::string& name) {
  return context_->Find(name);
}

void SkinWindow::RunWindowCommand(WindowCommand command) {
  switch (command) {
    case WindowCommand::Minimize:
      showMinimized();
      break;
    case WindowCommand::Maximize:
      showMaximized();
      break;
    case WindowCommand::Restore:
      showNormal();
      break;
    case WindowCommand::Close:
      closingByCommand_ = true;
      close();
      closingByCommand_ = false;
      break;
  }
}

void SkinWindow::SetWindowTitle(const std::string& title) {
  setWindowTitle(QString::fromStdString(title));
}

void SkinWindow::ShowWindowCentered() {
  if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
    QRect area = s->availableGeometry();
    QSize size = this->size().boundedTo(area.size());
    resize(size);
    move(area.center() - QPoint(size.width() / 2, size.height() / 2));
  }
  show();
  raise();
  activateWindow();
}

bool SkinWindow::SaveScreenshot(const std::string& pngPath) {
  bool shown = isVisible();
  if (!shown) {
    // An unshown window is laid out at its current size without appearing on a screen.
    setAttribute(Qt::WA_DontShowOnScreen, true);
    show();
  }
  // Layouts settle through posted requests (nested ones one level per round); only those run
  // here, no other queued work.
  for (int round = 0; round < 8; ++round) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  }
  QPixmap picture = grab();
  if (!shown) {
    hide();
    setAttribute(Qt::WA_DontShowOnScreen, false);
  }
  return picture.save(QString::fromStdString(pngPath), "PNG");
}

void SkinWindow::closeEvent(QCloseEvent* event) {
  // The desktop's close is a request: the sink decides (it may ask first) and ends the program
  // itself, which takes the window with it.
  if (!closingByCommand_) {
    if (NotifySink* sink = context_->Sink()) {
      sink->OnWindowClosed();
      event->ignore();
      return;
    }
  }
  event->accept();
}

void SkinWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  bool maximized = isMaximized();
  if (maximized == wasMaximized_) return;
  wasMaximized_ = maximized;
  if (NotifySink* sink = context_->Sink()) sink->OnMaximizedChanged(maximized);
}

void SkinWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // Told once the layouts have given the controls their new places; a drag's many resizes come
  // out as one.
  if (resizeQueued_) return;
  resizeQueued_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        resizeQueued_ = false;
        if (NotifySink* sink = context_->Sink()) sink->OnResized();
      },
      Qt::QueuedConnection);
}

bool SkinWindow::InCaption(QPoint pos) {
  std::string className;
  for (QWidget* w = childAt(pos); w != nullptr && w != this; w = w->parentWidget()) {
    if (ControlBase* control = ControlOf(w)) {
      className = control->ClassName();
      break;
    }
  }
  return skin::CaptionHitTest(pos.x(), pos.y(), width(), height(), caption_, className) ==
         skin::HitArea::Caption;
}

void SkinWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && InCaption(event->position().toPoint())) {
    if (QWindow* handle = windowHandle()) handle->startSystemMove();
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

void SkinWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && InCaption(event->position().toPoint())) {
    if (isMaximized())
      showNormal();
    else
      showMaximized();
    event->accept();
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}
