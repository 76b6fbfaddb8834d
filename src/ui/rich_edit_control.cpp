#include "rich_edit_control.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

RichEditTextControl::RichEditTextControl(FormContext* context, QWidget* parent)
    : QPlainTextEdit(parent), ControlBase(this, context, "RichEditUI") {
  setReadOnly(true);
  setUndoRedoEnabled(false);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

std::string RichEditTextControl::Text() const {
  return toPlainText().toStdString();
}

int RichEditTextControl::TextLength() const {
  // The document always ends in one paragraph separator that is not part of the text.
  return document()->characterCount() - 1;
}

void RichEditTextControl::SetTextLimit(int limit) {
  limit_ = limit > 0 ? limit : kDefaultLimit;
}

void RichEditTextControl::SetText(const std::string& text) {
  endedWithCr_ = !text.empty() && text.back() == '\r';
  QString shown = ToDisplayText(text);
  if (shown.size() > limit_) shown.truncate(limit_);
  setPlainText(shown);
}

void RichEditTextControl::AppendText(const std::string& text) {
  const bool splitLineEnd = endedWithCr_ && !text.empty() && text.front() == '\n';
  if (!text.empty()) endedWithCr_ = text.back() == '\r';
  QString shown = ToDisplayText(splitLineEnd ? text.substr(1) : text);
  qsizetype room = static_cast<qsizetype>(limit_) - TextLength();
  if (room <= 0) return;
  if (shown.size() > room) shown.truncate(room);
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(shown);
}

void RichEditTextControl::ScrollToEnd() {
  QScrollBar* bar = verticalScrollBar();
  bar->setValue(bar->maximum());
}

bool RichEditTextControl::ApplyOwnAttribute(std::string_view name, std::string_view value) {
  if (name == "readonly" || name == "wordwrap") {
    std::optional<bool> b = skin::ParseBool(value);
    if (!b) return false;
    if (name == "readonly")
      setReadOnly(*b);
    else
      setLineWrapMode(*b ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    return true;
  }
  if (name == "limit" || name == "maxchar") {
    std::optional<int> n = skin::ParseInt(value);
    if (!n || *n <= 0) return false;
    SetTextLimit(*n);
    return true;
  }
  return false;
}
