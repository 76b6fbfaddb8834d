// The log pane: the skin's log text pane with its lines told apart by colour, optional time
// stamps, a find box, "Save log…" and a splitter that lets the user give it more room.
//
// Appending stays cheap however long the log grows: one insertion at the end of the document,
// and a full pane is cleared rather than trimmed. UI thread only.
#pragma once

#include <QString>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "app/log_text.h"

class QBoxLayout;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QWidget;

class LogPane {
 public:
  // Takes over `edit`, the skin's log pane; `limit` characters at most.
  LogPane(QPlainTextEdit* edit, int limit);
  LogPane(const LogPane&) = delete;
  LogPane& operator=(const LogPane&) = delete;

  void Append(const std::string& text, LogKind kind);
  void Clear();

  // Time stamps in front of every line, the earlier lines included.
  void SetTimestamps(bool on);
  bool Timestamps() const { return timestamps_; }

  // Selects the next match of `text` after the selection (or the previous one), wrapping
  // around; false, and the selection cleared, when the log does not hold it.
  bool Find(const QString& text, bool backward = false);
  // Writes the shown text to `path` (UTF-8, line ends "\n"), all or nothing. False and `error`
  // says why when the file cannot be written.
  bool SaveTo(const std::string& path, std::string* error) const;

  // Adds the tool row's controls (time stamps, find box, "Save log…") in front of `tools`.
  void InstallTools(QBoxLayout* tools);
  // Puts `upper` and `lower`, neighbours in one box layout, into a vertical splitter that takes
  // their place. Nothing when they do not share a layout.
  static QSplitter* InstallSplitter(QWidget* upper, QWidget* lower);

  // "Save log…" asks for a file with this (empty: cancelled) and reports with these.
  std::function<std::string()> askSavePath;
  std::function<void(const std::string&)> savedNotice;
  std::function<void(const std::string&)> saveFailed;

  QPlainTextEdit* edit() const { return edit_; }
  QLineEdit* findBox() const { return findBox_; }
  QCheckBox* timestampBox() const { return timestampBox_; }
  QPushButton* saveButton() const { return saveButton_; }

 private:
  struct Entry {
    LogKind kind;
    int msecsOfDay;
    std::string text;
  };
  void Show(const Entry& entry);
  void OnSaveClicked();
  std::string AskSavePath() const;

  QPlainTextEdit* edit_;
  int limit_;
  // What was appended since the last clear, to draw it again with or without time stamps.
  std::vector<Entry> entries_;
  LogFlow flow_;
  int shownLength_ = 0;
  bool timestamps_ = false;
  QTimer follow_;
  QLineEdit* findBox_ = nullptr;
  QCheckBox* timestampBox_ = nullptr;
  QPushButton* saveButton_ = nullptr;
};
