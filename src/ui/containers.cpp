#include "containers.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOption>

#include "form_context.h"
#include "skin_log.h"

namespace {

int StretchOf(ControlBase* child) {
  QVariant v = child->Widget()->property("skinStretch");
  return v.isValid() ? v.toInt() : 0;
}

// Removal leaves the index at once, deletion waits for the event loop.
void Discard(ControlBase* child) {
  child->DetachSubtree();
  child->Widget()->hide();
  child->Widget()->deleteLater();
}

}  // namespace

int BoxChildren::Count() const {
  int n = 0;
  for (int i = 0; i < layout_->count(); ++i) {
    if (ControlOf(layout_->itemAt(i)->widget())) ++n;
  }
  return n;
}

Control* BoxChildren::At(int index) const {
  if (index < 0) return nullptr;
  for (int i = 0; i < layout_->count(); ++i) {
    ControlBase* child = ControlOf(layout_->itemAt(i)->widget());
    if (child && index-- == 0) return child;
  }
  return nullptr;
}

bool BoxChildren::Adopt(ControlBase* owner, ControlBase* child) {
  if (child == nullptr || child == owner || child->Context() != owner->Context()) return false;
  if (child->Widget()->isAncestorOf(owner->Widget())) return false;
  layout_->addWidget(child->Widget(), StretchOf(child));
  return true;
}

void BoxChildren::RemoveAll() {
  for (int i = layout_->count() - 1; i >= 0; --i) {
    QLayoutItem* item = layout_->itemAt(i);
    ControlBase* child = ControlOf(item->widget());
    if (!child) continue;
    delete layout_->takeAt(i);
    Discard(child);
  }
}

bool ApplyBoxAttribute(QBoxLayout* layout, std::string_view name, std::string_view value) {
  if (name == "spacing" || name == "childpadding") {
    std::optional<int> n = skin::ParseInt(value);
    if (!n || *n < 0) return false;
    layout->setSpacing(*n);
    return true;
  }
  return false;
}

namespace {

// AddChild from the logic: the child must be a control of this form that has no place yet.
bool AddFromLogic(ControlBase* owner, Control* child, BoxChildren& children) {
  if (!owner->Context()->Owns(child)) return false;
  return children.Adopt(owner, dynamic_cast<ControlBase*>(child));
}

}  // namespace

BoxContainer::BoxContainer(FormContext* context, std::string className,
                           QBoxLayout::Direction direction, QWidget* parent)
    : QWidget(parent),
      ControlBase(this, context, std::move(className)),
      children_(new QBoxLayout(direction, this)),
      stacked_(direction) {
  children_.Layout()->setContentsMargins(0, 0, 0, 0);
  children_.Layout()->setSpacing(4);
}

bool BoxContainer::ApplyOwnAttribute(std::string_view name, std::string_view value) {
  if (name == "sidebysidefrom") {
    std::optional<int> n = skin::ParseInt(value);
    if (!n || *n < 0) return false;
    sideBySideFrom_ = *n;
    if (isVisible()) FollowWindowWidth();
    return true;
  }
  return ApplyBoxAttribute(children_.Layout(), name, value);
}

void BoxContainer::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (sideBySideFrom_ <= 0) return;
  // The window, not this box: side by side, the box is too wide to shrink with its page.
  if (watchedWindow_ != window()) {
    if (watchedWindow_) watchedWindow_->removeEventFilter(this);
    watchedWindow_ = window();
    watchedWindow_->installEventFilter(this);
  }
  FollowWindowWidth();
}

bool BoxContainer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == watchedWindow_ && event->type() == QEvent::Resize) FollowWindowWidth();
  return QWidget::eventFilter(watched, event);
}

void BoxContainer::FollowWindowWidth() {
  QBoxLayout* layout = children_.Layout();
  const bool sideBySide = sideBySideFrom_ > 0 && window()->width() >= sideBySideFrom_;
  const QBoxLayout::Direction direction = sideBySide ? QBoxLayout::LeftToRight : stacked_;
  if (layout->direction() == direction) return;
  layout->setDirection(direction);
  for (int i = 0; i < layout->count(); ++i) {
    if (QWidget* child = layout->itemAt(i)->widget())
      layout->setAlignment(child, sideBySide ? Qt::AlignTop : Qt::Alignment());
  }
}

bool BoxContainer::AddChild(Control* child) {
  return AddFromLogic(this, child, children_);
}

void BoxContainer::paintEvent(QPaintEvent*) {
  QStyleOption option;
  option.initFrom(this);
  QPainter painter(this);
  style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

GroupBoxContainer::GroupBoxContainer(FormContext* context, QWidget* parent)
    : QGroupBox(parent),
      ControlBase(this, context, "GroupBoxUI"),
      children_(new QVBoxLayout(this)) {
  children_.Layout()->setContentsMargins(8, 6, 8, 6);
  children_.Layout()->setSpacing(4);
}

bool GroupBoxContainer::ApplyOwnAttribute(std::string_view name, std::string_view value) {
  return ApplyBoxAttribute(children_.Layout(), name, value);
}

bool GroupBoxContainer::AddChild(Control* child) {
  return AddFromLogic(this, child, children_);
}

TabSwitcher::TabSwitcher(FormContext* context, QWidget* parent)
    : QStackedWidget(parent), ControlBase(this, context, "TabLayoutUI") {}

bool TabSwitcher::ApplyOwnAttribute(std::string_view name, std::string_view value) {
  if (name == "selectedid" || name == "selected") {
    std::optional<int> n = skin::ParseInt(value);
    if (!n) return false;
    if (built_)
      SelectPage(*n);
    else
      pendingPage_ = *n;
    return true;
  }
  return false;
}

bool TabSwitcher::AdoptChild(ControlBase* child) {
  if (child == nullptr || child == this || child->Context() != Context()) return false;
  if (child->Widget()->isAncestorOf(this)) return false;
  // Pages scroll when their rows are taller than the window leaves them.
  auto* frame = new QScrollArea;
  frame->setObjectName(QStringLiteral("PageScroll"));
  frame->setFrameShape(QFrame::NoFrame);
  frame->setWidgetResizable(true);
  frame->setWidget(child->Widget());
  addWidget(frame);
  return true;
}

QWidget* TabSwitcher::PageWidget(int index) const {
  auto* frame = qobject_cast<QScrollArea*>(widget(index));
  return frame ? frame->widget() : nullptr;
}

void TabSwitcher::FinishBuild() {
  built_ = true;
  if (pendingPage_) SelectPage(*pendingPage_);
  pendingPage_.reset();
}

bool TabSwitcher::SelectPage(int index) {
  if (index < 0 || index >= count()) return false;
  setCurrentIndex(index);
  return true;
}

Control* TabSwitcher::ChildAt(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return ControlOf(PageWidget(index));
}

bool TabSwitcher::AddChild(Control* child) {
  if (!Context()->Owns(child)) return false;
  return AdoptChild(dynamic_cast<ControlBase*>(child));
}

void TabSwitcher::RemoveAllChildren() {
  while (count() > 0) {
    QWidget* frame = widget(count() - 1);
    removeWidget(frame);
    auto* scroll = qobject_cast<QScrollArea*>(frame);
    if (ControlBase* control = ControlOf(scroll ? scroll->widget() : nullptr)) {
      control->DetachSubtree();
    }
    frame->hide();
    frame->deleteLater();
  }
}

ListBoxControl::ListBoxControl(FormContext* context, QWidget* parent)
    : QScrollArea(parent), ControlBase(this, context, "ListUI") {
  setWidgetResizable(true);
  setFrameShape(QFrame::NoFrame);
  body_ = new QWidget;
  body_->setObjectName(QStringLiteral("ListBody"));
  rows_ = new QVBoxLayout(body_);
  rows_->setContentsMargins(0, 0, 0, 0);
  rows_->setSpacing(2);
  rows_->addStretch(1);
  setWidget(body_);
}

bool ListBoxControl::ApplyOwnAttribute(std::string_view name, std::string_view value) {
  if (name == "itemfile") {
    itemFile_ = std::string(value);
    if (built_) BuildInitialItems();
    return true;
  }
  if (name == "itemcount") {
    std::optional<int> n = skin::ParseInt(value);
    if (!n || *n < 0 || *n > kMaxInitialItems) return false;
    initialItems_ = *n;
    if (built_) BuildInitialItems();
    return true;
  }
  return ApplyBoxAttribute(rows_, name, value);
}

void ListBoxControl::FinishBuild() {
  built_ = true;
  BuildInitialItems();
}

// Replaces the rows by the skin's initial ones (none without a row file).
void ListBoxControl::BuildInitialItems() {
  if (itemFile_.empty()) return;
  RemoveAllItems();
  for (int i = 0; i < initialItems_; ++i) {
    if (AppendItemFromFile(itemFile_) == nullptr) break;
  }
}

int ListBoxControl::ItemCount() const {
  return rows_->count() - 1;
}

Control* ListBoxControl::ItemAt(int index) const {
  if (index < 0 || index >= ItemCount()) return nullptr;
  return ControlOf(rows_->itemAt(index)->widget());
}

bool ListBoxControl::AdoptChild(ControlBase* child) {
  if (child == nullptr || child->Context() != Context()) return false;
  if (child->Widget()->isAncestorOf(this)) return false;
  // Rows go before the closing stretch, which keeps them packed at the top.
  rows_->insertWidget(ItemCount(), child->Widget());
  return true;
}

void ListBoxControl::RemoveAllItems() {
  for (int i = ItemCount() - 1; i >= 0; --i) {
    QLayoutItem* item = rows_->takeAt(i);
    if (ControlBase* control = ControlOf(item->widget())) Discard(control);
    delete item;
  }
}

Control* ListBoxControl::AppendItemFromFile(const std::string& layoutFile) {
  std::string error;
  ControlBase* item = Context()->BuildFile(layoutFile, &error);
  if (item == nullptr) {
    qCWarning(lcSkin, "list %s: %s", Name().c_str(), error.c_str());
    return nullptr;
  }
  if (!AdoptChild(item)) {
    delete item->Widget();
    return nullptr;
  }
  return item;
}
