// "RichEditUI": the log pane and the help pane. Plain text; "\r\n" line ends show as one
// line break. Appends go through a cursor at the end of the document with undo switched off,
// so a long run of small appends lays out only the last lines each time.
#pragma once

#include <QPlainTextEdit>

#include "control_base.h"

class RichEditTextControl : public QPlainTextEdit, public ControlBase, public RichEditControl {
 public:
  static constexpr int kDefaultLimit = 64 * 1024 * 1024;

  RichEditTextControl(FormContext* context, QWidget* parent);

  RichEditControl* AsRichEdit() override { return this; }
  std::string Text() const override;
  // Replaces the whole text, cut at the text limit.
  void SetText(const std::string& text) override;
  bool ApplyOwnAttribute(std::string_view name, std::string_view value) override;

  int TextLength() const override;
  int TextLimit() const override { return limit_; }
  void SetTextLimit(int limit) override;
  // Appends at the end; whatever would pass the text limit is cut off.
  void AppendText(const std::string& text) override;
  void ScrollToEnd() override;

 private:
  int limit_ = kDefaultLimit;
  // The last text appended ended in a carriage return: a line feed opening the next one belongs
  // to the same line end (a device's CR LF often arrives split across two chunks).
  bool endedWithCr_ = false;
};
