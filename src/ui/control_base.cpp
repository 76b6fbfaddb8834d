#include "control_base.h"

#include <QLayout>

#include "form_context.h"

ControlBase::ControlBase(QWidget* self, FormContext* context, std::string className)
    : self_(self), context_(context), className_(std::move(className)) {
  serial_ = context_->Register(this);
}

ControlBase::~ControlBase() {
  context_->Unregister(this);
}

void ControlBase::SetName(const std::string& name) {
  if (name == name_) return;
  std::string old = name_;
  name_ = name;
  self_->setObjectName(QString::fromStdString(name));
  if (!detached_) context_->Rename(this, old, name_);
}

const std::string& ControlBase::Group() const {
  static const std::string kNone;
  return kNone;
}

void ControlBase::SetBkImage(const std::string& image) {
  bkImage_ = image;
  OnBkImageChanged();
}

bool ControlBase::SetAttribute(const std::string& name, const std::string& value) {
  return ApplySkinAttribute(*this, name, value);
}

int ControlBase::ShownWidth() const {
  // Before the window is on screen its layouts have not given anyone a place yet.
  if (!self_->window()->isVisible()) return DeclaredWidth();
  QRect shown = self_->rect();
  for (QWidget* w = self_; !w->isWindow() && w->parentWidget(); w = w->parentWidget()) {
    shown.translate(w->pos());
    shown = shown.intersected(w->parentWidget()->rect());
  }
  return shown.width();
}

bool ControlBase::ApplyOwnAttribute(std::string_view, std::string_view) {
  return false;
}

void ControlBase::SetInnerMargins(const skin::Margins& m) {
  if (QLayout* layout = self_->layout()) {
    layout->setContentsMargins(m.left, m.top, m.right, m.bottom);
  } else {
    self_->setContentsMargins(m.left, m.top, m.right, m.bottom);
  }
}

bool ControlBase::AdoptChild(ControlBase*) {
  return false;
}

ControlBase* ControlOf(QObject* object) {
  return dynamic_cast<ControlBase*>(object);
}

namespace {

// Depth first in creation order, which is document order.
ControlBase* FindIn(QObject* object, const std::string& name) {
  for (QObject* child : object->children()) {
    ControlBase* control = ControlOf(child);
    if (control != nullptr) {
      if (control->IsDetached()) continue;
      if (control->Name() == name) return control;
    }
    if (ControlBase* found = FindIn(child, name)) return found;
  }
  return nullptr;
}

void DetachIn(QObject* object, FormContext* context) {
  for (QObject* child : object->children()) {
    if (ControlBase* control = ControlOf(child))
      control->DetachSubtree();
    else
      DetachIn(child, context);
  }
}

}  // namespace

Control* ControlBase::FindChild(const std::string& name) {
  if (detached_ || name.empty()) return nullptr;
  if (name_ == name) return this;
  return FindIn(self_, name);
}

void ControlBase::DetachSubtree() {
  if (detached_) return;
  detached_ = true;
  context_->Unregister(this);
  DetachIn(self_, context_);
}

QString ToDisplayText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out.push_back('\n');
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return QString::fromStdString(out);
}
