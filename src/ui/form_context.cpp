#include "form_context.h"

#include <algorithm>

#include "control_base.h"
#include "skin_builder.h"

FormContext::FormContext(std::string skinDir, NotifySink* sink)
    : skinDir_(std::move(skinDir)), sink_(sink), parking_(std::make_unique<QWidget>()) {
  parking_->setObjectName(QStringLiteral("skin-parking"));
}

FormContext::~FormContext() {
  DestroyParked();
}

std::string FormContext::SkinPath(const std::string& fileName) const {
  if (skinDir_.empty()) return fileName;
  if (skinDir_.back() == '/') return skinDir_ + fileName;
  return skinDir_ + "/" + fileName;
}

std::uint64_t FormContext::Register(ControlBase* control) {
  live_.insert(control);
  return nextSerial_++;
}

void FormContext::Unregister(ControlBase* control) {
  if (live_.erase(control) == 0) return;
  auto it = byName_.find(control->Name());
  if (it == byName_.end()) return;
  auto& list = it->second;
  list.erase(std::remove(list.begin(), list.end(), control), list.end());
  if (list.empty()) byName_.erase(it);
}

void FormContext::Rename(ControlBase* control, const std::string& oldName,
                         const std::string& newName) {
  if (!live_.count(control)) return;
  if (auto it = byName_.find(oldName); it != byName_.end()) {
    auto& list = it->second;
    list.erase(std::remove(list.begin(), list.end(), control), list.end());
    if (list.empty()) byName_.erase(it);
  }
  if (newName.empty()) return;
  auto& list = byName_[newName];
  auto pos = std::upper_bound(
      list.begin(), list.end(), control,
      [](const ControlBase* a, const ControlBase* b) { return a->Serial() < b->Serial(); });
  list.insert(pos, control);
}

ControlBase* FormContext::Find(const std::string& name) const {
  auto it = byName_.find(name);
  if (it == byName_.end() || it->second.empty()) return nullptr;
  return it->second.front();
}

bool FormContext::Owns(const Control* control) const {
  auto* base = dynamic_cast<const ControlBase*>(control);
  return base != nullptr && live_.count(const_cast<ControlBase*>(base)) != 0;
}

void FormContext::Notify(const char* type, ControlBase* sender, long wParam, long lParam) {
  if (building_ > 0 || sink_ == nullptr) return;
  Notification n;
  n.type = type;
  n.sender = sender;
  n.wParam = wParam;
  n.lParam = lParam;
  sink_->Notify(n);
}

void FormContext::ClearGroupExcept(const std::string& group, ControlBase* keep) {
  if (group.empty()) return;
  // Copy first: deselecting runs user code that may create or remove controls.
  std::vector<ControlBase*> members;
  for (ControlBase* base : live_) {
    if (base != keep && base->Group() == group) members.push_back(base);
  }
  for (ControlBase* member : members) {
    if (!live_.count(member)) continue;
    if (OptionControl* option = member->AsOption(); option && option->IsSelected()) {
      option->Select(false);
    }
  }
}

void FormContext::DestroyParked() {
  if (!parking_) return;
  const QObjectList children = parking_->children();
  for (QObject* child : children) delete child;
}

ControlBase* FormContext::BuildFile(const std::string& fileName, std::string* error) {
  SkinBuilder builder(*this, nullptr);
  ControlBase* root = builder.Build(fileName, nullptr);
  if (!root && error) *error = builder.Error();
  return root;
}
