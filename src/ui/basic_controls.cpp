#include "basic_controls.h"

#include <QFocusEvent>

#include "enter_click.h"
#include "form_context.h"

std::optional<Qt::Alignment> ParseAlignment(std::string_view text) {
  if (text == "left") return Qt::AlignLeft | Qt::AlignVCenter;
  if (text == "center") return Qt::AlignCenter;
  if (text == "right") return Qt::AlignRight | Qt::AlignVCenter;
  return std::nullopt;
}

LabelControl::LabelControl(FormContext* context, std::string className, QWidget* parent)
    : QLabel(parent), ControlBase(this, context, std::move(className)) {
  setTextFormat(Qt::PlainText);
}

std::string LabelControl::Text() const {
  return text().toStdString();
}

void LabelControl::SetText(const std::string& text) {
  setText(ToDisplayText(text));
}

bool LabelControl::ApplyOwnAttribute(std::string_view name, std::string_view value) {
  if (name == "align") {
    std::optional<Qt::Alignment> a = ParseAlignment(value);
    if (a) setAlignment(*a);
    return a.has_value();
  }
  if (name == "wordwrap") {
    std::optional<bool> b = skin::ParseBool(value);
    if (b) setWordWrap(*b);
    return b.has_value();
  }
  return false;
}

EditControl::EditControl(FormContext* context, QWidget* parent)
    : QLineEdit(parent), ControlBase(this, context, "EditUI") {}

std::string EditControl::Text() const {
  return text().toStdString();
}

void EditControl::SetText(const std::string& text) {
  setText(QString::fromStdString(text));
}

bool EditControl::ApplyOwnAttribute(std::string_view name, std::string_view value) {
  if (name == "readonly" || name == "password") {
    std::optional<bool> b = skin::ParseBool(value);
    if (!b) return false;
    if (name == "readonly")
      setReadOnly(*b);
    else
      setEchoMode(*b ? QLineEdit::Password : QLineEdit::Normal);
    return true;
  }
  if (name == "maxchar") {
    std::optional<int> n = skin::ParseInt(value);
    if (!n || *n <= 0) return false;
    setMaxLength(*n);
    return true;
  }
  if (name == "placeholder") {
    setPlaceholderText(QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
    return true;
  }
  if (name == "align") {
    std::optional<Qt::Alignment> a = ParseAlignment(value);
    if (a) setAlignment(*a);
    return a.has_value();
  }
  return false;
}

// A context menu or a combo's list takes the focus only for a moment: the user has not left
// the control, so neither its leaving nor its return is reported.
void EditControl::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (event->reason() != Qt::PopupFocusReason) Context()->Notify("setfocus", this);
}

void EditControl::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (event->reason() != Qt::PopupFocusReason) Context()->Notify("killfocus", this);
}

ButtonControl::ButtonControl(FormContext* context, QWidget* parent)
    : QPushButton(parent), ControlBase(this, context, "ButtonUI") {
  setAutoDefault(false);
  // A click takes the focus, so an edit being left reports "killfocus" before the "click".
  setFocusPolicy(Qt::StrongFocus);
  connect(this, &QPushButton::clicked, this, [this] { Context()->Notify("click", this); });
}

std::string ButtonControl::Text() const {
  return text().toStdString();
}

void ButtonControl::SetText(const std::string& text) {
  setText(QString::fromStdString(text));
}

void ButtonControl::keyPressEvent(QKeyEvent* event) {
  if (!ClickOnEnter(*this, event)) QPushButton::keyPressEvent(event);
}
