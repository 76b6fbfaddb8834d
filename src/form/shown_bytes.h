// What the form's edits stand for when their text is not the value's bytes.
//
// An edit holds Unicode text, so bytes that are not UTF-8 (devices set up by Chinese Windows
// tools keep GB 18030 text) cannot be put on it as they are. Such a value is shown in a readable
// decoding, and its bytes are kept here under the field's key. As long as the field still shows
// that decoding, the field holds those bytes: a device's or a file's own value goes back byte for
// byte. A field whose text the user changed holds what they typed, as UTF-8.
//
// Putting values on the form (ApplyValuesToForm, FillSensorList) and composing the writes
// (ComposeWrites) go through here; one memory serves one form. UI thread only.
#pragma once

#include <map>
#include <string>

class ShownBytes {
 public:
  // The text to put on field `key` for the value `bytes`; the bytes are kept when the text
  // differs from them, and whatever the field stood for before is forgotten.
  std::string Show(const std::string& key, const std::string& bytes);
  // The value field `key` holds while it shows `text`.
  std::string Held(const std::string& key, const std::string& text) const;
  void Forget(const std::string& key);
  // Forgets every field whose key starts with `prefix` (the items of a list).
  void ForgetAll(const std::string& prefix);
  size_t Size() const { return shown_.size(); }

  // The key of a row's field: its control name.
  static std::string RowKey(const std::string& name) { return name; }
  // The key of field `field` of item `index` of list `list`.
  static std::string ItemFieldKey(const std::string& list, int index, const std::string& field);
  // The prefix every field of the items of `list` starts with.
  static std::string ListPrefix(const std::string& list);

 private:
  struct Shown {
    std::string text;
    std::string bytes;
  };
  std::map<std::string, Shown> shown_;
};

// Show and Held that also serve a form without memory: the readable text is shown, and the
// field holds what it shows.
std::string ShowBytes(ShownBytes* memory, const std::string& key, const std::string& bytes);
std::string HeldBytes(const ShownBytes* memory, const std::string& key, const std::string& text);
