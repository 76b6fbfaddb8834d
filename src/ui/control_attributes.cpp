// The common skin attributes, one table row each. Kind-specific ones (items, groups, limits)
// live with their control kinds and are tried first.
#include <QFont>
#include <QLoggingCategory>
#include <QStyle>
#include <array>

#include "control_base.h"
#include "skin_values.h"

namespace {

using Setter = bool (*)(ControlBase&, std::string_view);

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool SetWidth(ControlBase& c, std::string_view v) {
  std::optional<int> w = skin::ParseInt(v);
  if (!w) return false;
  c.SetDeclaredWidth(*w > 0 ? *w : 0);
  if (*w > 0) {
    c.Widget()->setFixedWidth(*w);
  } else {
    c.Widget()->setMinimumWidth(0);
    c.Widget()->setMaximumWidth(QWIDGETSIZE_MAX);
  }
  return true;
}

bool SetHeight(ControlBase& c, std::string_view v) {
  std::optional<int> h = skin::ParseInt(v);
  if (!h) return false;
  if (*h > 0) {
    c.Widget()->setFixedHeight(*h);
  } else {
    c.Widget()->setMinimumHeight(0);
    c.Widget()->setMaximumHeight(QWIDGETSIZE_MAX);
  }
  return true;
}

template <void (QWidget::*Apply)(int)>
bool SetExtent(ControlBase& c, std::string_view v) {
  std::optional<int> n = skin::ParseInt(v);
  if (!n || *n < 0) return false;
  (c.Widget()->*Apply)(*n);
  return true;
}

bool SetBoolWith(ControlBase& c, std::string_view v, void (ControlBase::*apply)(bool)) {
  std::optional<bool> b = skin::ParseBool(v);
  if (!b) return false;
  (c.*apply)(*b);
  return true;
}

bool SetFont(ControlBase& c, std::string_view v) {
  // "12", "bold", "12,bold" (point sizes).
  QFont font = c.Widget()->font();
  bool any = false;
  for (const QString& part : ToQString(v).split(',', Qt::SkipEmptyParts)) {
    QString p = part.trimmed();
    bool isNumber = false;
    int size = p.toInt(&isNumber);
    if (isNumber && size > 0) {
      font.setPointSize(size);
      any = true;
    } else if (p == QLatin1String("bold")) {
      font.setBold(true);
      any = true;
    } else if (p == QLatin1String("normal")) {
      font.setBold(false);
      any = true;
    }
  }
  if (any) c.Widget()->setFont(font);
  return any;
}

bool SetStyleClass(ControlBase& c, std::string_view v) {
  QWidget* w = c.Widget();
  w->setProperty("skinClass", ToQString(v));
  w->style()->unpolish(w);
  w->style()->polish(w);
  return true;
}

// A flag the style sheet gives its look: the widget's property of the attribute's name.
bool SetStyledFlag(ControlBase& c, const char* name, std::string_view v) {
  std::optional<bool> on = skin::ParseBool(v);
  if (!on) return false;
  QWidget* w = c.Widget();
  if (w->property(name).toBool() == *on) return true;
  w->setProperty(name, *on);
  w->style()->unpolish(w);
  w->style()->polish(w);
  w->update();
  return true;
}

// "changed": the field differs from what the device holds.
bool SetChanged(ControlBase& c, std::string_view v) {
  return SetStyledFlag(c, "changed", v);
}

// "refused": the field holds a value the device does not take; "Write" sends nothing until it
// changes.
bool SetRefused(ControlBase& c, std::string_view v) {
  return SetStyledFlag(c, "refused", v);
}

struct CommonAttribute {
  std::string_view name;
  Setter apply;
};

const std::array<CommonAttribute, 21> kCommonAttributes = {{
    {"name",
     [](ControlBase& c, std::string_view v) {
       c.SetName(std::string(v));
       return true;
     }},
    {"text",
     [](ControlBase& c, std::string_view v) {
       c.SetText(std::string(v));
       return true;
     }},
    {"tooltip",
     [](ControlBase& c, std::string_view v) {
       c.Widget()->setToolTip(ToQString(v));
       return true;
     }},
    {"width", SetWidth},
    {"height", SetHeight},
    {"minwidth", SetExtent<&QWidget::setMinimumWidth>},
    {"maxwidth", SetExtent<&QWidget::setMaximumWidth>},
    {"minheight", SetExtent<&QWidget::setMinimumHeight>},
    {"maxheight", SetExtent<&QWidget::setMaximumHeight>},
    {"visible", [](ControlBase& c,
                   std::string_view v) { return SetBoolWith(c, v, &ControlBase::SetVisible); }},
    {"enabled", [](ControlBase& c,
                   std::string_view v) { return SetBoolWith(c, v, &ControlBase::SetEnabled); }},
    {"bkimage",
     [](ControlBase& c, std::string_view v) {
       c.SetBkImage(std::string(v));
       return true;
     }},
    {"padding",
     [](ControlBase& c, std::string_view v) {
       std::optional<skin::Margins> m = skin::ParseMargins(v);
       if (m) c.SetInnerMargins(*m);
       return m.has_value();
     }},
    {"inset",
     [](ControlBase& c, std::string_view v) {
       std::optional<skin::Margins> m = skin::ParseMargins(v);
       if (m) c.SetInnerMargins(*m);
       return m.has_value();
     }},
    {"margin",
     [](ControlBase& c, std::string_view v) {
       // Space kept free inside the control's box around its content.
       std::optional<skin::Margins> m = skin::ParseMargins(v);
       if (m) c.Widget()->setContentsMargins(m->left, m->top, m->right, m->bottom);
       return m.has_value();
     }},
    {"font", SetFont},
    {"textcolor",
     [](ControlBase& c, std::string_view v) {
       QColor color(ToQString(v));
       if (!color.isValid()) return false;
       c.Widget()->setStyleSheet(QStringLiteral("color: %1;").arg(color.name()));
       return true;
     }},
    {"class", SetStyleClass},
    {"changed", SetChanged},
    {"refused", SetRefused},
    {"stretch",
     [](ControlBase& c, std::string_view v) {
       std::optional<int> n = skin::ParseInt(v);
       if (!n || *n < 0) return false;
       c.Widget()->setProperty("skinStretch", *n);
       return true;
     }},
}};

}  // namespace

bool ApplySkinAttribute(ControlBase& control, std::string_view name, std::string_view value) {
  if (control.ApplyOwnAttribute(name, value)) return true;
  for (const CommonAttribute& attribute : kCommonAttributes) {
    if (attribute.name == name) return attribute.apply(control, value);
  }
  return false;
}
