#include "form/shown_bytes.h"

#include "texts/byte_text.h"

std::string ShownBytes::Show(const std::string& key, const std::string& bytes) {
  std::string text = ReadableText(bytes);
  if (text == bytes) {
    shown_.erase(key);
  } else {
    shown_[key] = {text, bytes};
  }
  return text;
}

std::string ShownBytes::Held(const std::string& key, const std::string& text) const {
  auto it = shown_.find(key);
  return it != shown_.end() && it->second.text == text ? it->second.bytes : text;
}

void ShownBytes::Forget(const std::string& key) {
  shown_.erase(key);
}

void ShownBytes::ForgetAll(const std::string& prefix) {
  for (auto it = shown_.lower_bound(prefix); it != shown_.end() && it->first.starts_with(prefix);)
    it = shown_.erase(it);
}

std::string ShownBytes::ItemFieldKey(const std::string& list, int index, const std::string& field) {
  return ListPrefix(list) + std::to_string(index) + "/" + field;
}

std::string ShownBytes::ListPrefix(const std::string& list) {
  // No control name holds a line feed, so an item's key never equals a row's.
  return list + "\n";
}

std::string ShowBytes(ShownBytes* memory, const std::string& key, const std::string& bytes) {
  return memory ? memory->Show(key, bytes) : ReadableText(bytes);
}

std::string HeldBytes(const ShownBytes* memory, const std::string& key, const std::string& text) {
  return memory ? memory->Held(key, text) : text;
}
