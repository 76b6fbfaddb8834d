#include "skin_builder.h"

#include <QXmlStreamReader>
#include <algorithm>
#include <functional>

#include "basic_controls.h"
#include "combo_control.h"
#include "containers.h"
#include "form_context.h"
#include "image_button.h"
#include "option_control.h"
#include "rich_edit_control.h"
#include "skin_files.h"
#include "skin_log.h"

Q_LOGGING_CATEGORY(lcSkin, "dtu.skin", QtWarningMsg)

namespace {

using Maker = ControlBase* (*)(FormContext*, QWidget*);

struct ControlTag {
  const char* tag;
  Maker make;
};

// Every element the toolkit knows, by tag.
const ControlTag kControlTags[] = {
    {"VerticalLayout",
     [](FormContext* c, QWidget* p) -> ControlBase* {
       return new BoxContainer(c, "VerticalLayoutUI", QBoxLayout::TopToBottom, p);
     }},
    {"HorizontalLayout",
     [](FormContext* c, QWidget* p) -> ControlBase* {
       return new BoxContainer(c, "HorizontalLayoutUI", QBoxLayout::LeftToRight, p);
     }},
    {"GroupBox",
     [](FormContext* c, QWidget* p) -> ControlBase* { return new GroupBoxContainer(c, p); }},
    {"TabLayout", [](FormContext* c, QWidget* p) -> ControlBase* { return new TabSwitcher(c, p); }},
    {"List", [](FormContext* c, QWidget* p) -> ControlBase* { return new ListBoxControl(c, p); }},
    {"Label",
     [](FormContext* c, QWidget* p) -> ControlBase* { return new LabelControl(c, "LabelUI", p); }},
    {"Text",
     [](FormContext* c, QWidget* p) -> ControlBase* { return new LabelControl(c, "TextUI", p); }},
    {"Edit", [](FormContext* c, QWidget* p) -> ControlBase* { return new EditControl(c, p); }},
    {"Combo", [](FormContext* c, QWidget* p) -> ControlBase* { return new ComboBoxControl(c, p); }},
    {"Button", [](FormContext* c, QWidget* p) -> ControlBase* { return new ButtonControl(c, p); }},
    {"ImageButton",
     [](FormContext* c, QWidget* p) -> ControlBase* { return new ImageButtonControl(c, p); }},
    {"Option",
     [](FormContext* c, QWidget* p) -> ControlBase* { return new OptionButtonControl(c, p); }},
    {"TabOption",
     [](FormContext* c, QWidget* p) -> ControlBase* { return new TabOptionControl(c, p); }},
    {"CheckBox",
     [](FormContext* c, QWidget* p) -> ControlBase* { return new CheckBoxControl(c, p); }},
    {"RichEdit",
     [](FormContext* c, QWidget* p) -> ControlBase* { return new RichEditTextControl(c, p); }},
};

Maker FindMaker(QStringView tag) {
  for (const ControlTag& entry : kControlTags) {
    if (tag == QLatin1String(entry.tag)) return entry.make;
  }
  return nullptr;
}

BoxChildren* BoxOf(ControlBase* control) {
  if (auto* box = dynamic_cast<BoxContainer*>(control)) return &box->Children();
  if (auto* group = dynamic_cast<GroupBoxContainer*>(control)) return &group->Children();
  return nullptr;
}

// The factory handed to the builder callback: containers of a given class and page files
// built without callback, both parked in the context until the builder places them.
class PageFactory : public ControlFactory {
 public:
  explicit PageFactory(FormContext& context) : context_(context) {}
  Control* CreateContainer(const std::string& className) override {
    return new BoxContainer(&context_, className, QBoxLayout::TopToBottom, context_.Parking());
  }
  Control* BuildFile(const std::string& fileName) override {
    std::string error;
    ControlBase* root = context_.BuildFile(fileName, &error);
    if (!root) qCDebug(lcSkin, "%s", error.c_str());
    return root;
  }

 private:
  FormContext& context_;
};

}  // namespace

class SkinBuilder::Reader {
 public:
  Reader(SkinBuilder& builder, const QByteArray& data, std::string fileName)
      : builder_(builder), xml_(data), fileName_(std::move(fileName)) {}

  ControlBase* ReadDocument(Attributes* window) {
    ControlBase* root = nullptr;
    while (!xml_.atEnd()) {
      if (xml_.readNext() != QXmlStreamReader::StartElement) continue;
      if (xml_.name() == QLatin1String("Window")) {
        for (const QXmlStreamAttribute& a : xml_.attributes()) {
          if (window)
            window->emplace_back(a.name().toString().toStdString(),
                                 a.value().toString().toStdString());
        }
        root = ReadWindowChildren();
      } else {
        root = ReadElement(builder_.context_.Parking());
      }
      break;
    }
    // Whatever follows the root must still be well-formed.
    while (!xml_.atEnd()) xml_.readNext();
    if (xml_.hasError()) {
      builder_.error_ = fileName_ + ":" + std::to_string(xml_.lineNumber()) + ":" +
                        std::to_string(xml_.columnNumber()) +
                        ": XML error: " + xml_.errorString().toStdString();
      if (root) delete root->Widget();
      // Too deep through several files is the skin's fault as a whole, not this file's alone.
      FormContext::Nesting& nesting = builder_.context_.BuildNesting();
      if (tooDeep_ && nesting.error.empty()) nesting.error = builder_.error_;
      return nullptr;
    }
    if (root == nullptr) builder_.error_ = fileName_ + ": no control in the file";
    return root;
  }

 private:
  // At a start element: builds it (and its subtree) under `parent`; nullptr when skipped.
  ControlBase* ReadElement(QWidget* parent) {
    QString tag = xml_.name().toString();
    QXmlStreamAttributes attributes = xml_.attributes();
    ControlBase* control = nullptr;
    if (Maker make = FindMaker(tag)) {
      // A file nested absurdly deep is refused instead of exhausting the stack; the depth
      // counts on through the files this one names.
      int& depth = builder_.context_.BuildNesting().depth;
      if (depth >= kMaxDepth) {
        xml_.raiseError(QStringLiteral("elements nested deeper than %1 levels").arg(kMaxDepth));
        tooDeep_ = true;
        return nullptr;
      }
      control = make(&builder_.context_, parent);
      ApplyAttributes(control, attributes);
      ++depth;
      ReadChildren(control);
      --depth;
      control->FinishBuild();
      return control;
    }
    xml_.skipCurrentElement();
    if (builder_.callback_ == nullptr) {
      qCDebug(lcSkin, "%s:%lld: unknown tag <%s> skipped", fileName_.c_str(),
              static_cast<long long>(xml_.lineNumber()), qPrintable(tag));
      return nullptr;
    }
    PageFactory factory(builder_.context_);
    Control* made = builder_.callback_->CreateControl(tag.toStdString(), factory);
    if (made == nullptr) return nullptr;
    if (!builder_.context_.Owns(made)) {
      qCWarning(lcSkin, "<%s>: the callback returned a control of another form", qPrintable(tag));
      return nullptr;
    }
    control = dynamic_cast<ControlBase*>(made);
    ApplyAttributes(control, attributes);
    return control;
  }

  void ApplyAttributes(ControlBase* control, const QXmlStreamAttributes& attributes) {
    for (const QXmlStreamAttribute& a : attributes) {
      std::string name = a.name().toString().toStdString();
      std::string value = a.value().toString().toStdString();
      if (!ApplySkinAttribute(*control, name, value)) {
        qCDebug(lcSkin, "%s:%lld: attribute %s=\"%s\" not applied", fileName_.c_str(),
                static_cast<long long>(xml_.lineNumber()), name.c_str(), value.c_str());
      }
    }
  }

  // The children of <Window>: one control is the root; several are stacked in a vertical
  // layout.
  ControlBase* ReadWindowChildren() {
    std::vector<ControlBase*> found;
    while (xml_.readNextStartElement()) {
      if (ControlBase* child = ReadElement(builder_.context_.Parking())) found.push_back(child);
    }
    if (found.empty()) return nullptr;
    if (found.size() == 1) return found.front();
    auto* box = new BoxContainer(&builder_.context_, "VerticalLayoutUI", QBoxLayout::TopToBottom,
                                 builder_.context_.Parking());
    for (ControlBase* child : found) box->AdoptChild(child);
    return box;
  }

  void ReadChildren(ControlBase* control) {
    auto* combo = dynamic_cast<ComboBoxControl*>(control);
    BoxChildren* box = BoxOf(control);
    while (xml_.readNextStartElement()) {
      QStringView tag = xml_.name();
      if (combo && tag == QLatin1String("item")) {
        ReadItem(combo);
        continue;
      }
      bool spacer = tag == QLatin1String("Stretch") || tag == QLatin1String("Space");
      if (box && spacer) {
        bool ok = false;
        int n = xml_.attributes().value(QLatin1String("size")).toInt(&ok);
        if (!ok || n < 0) n = tag == QLatin1String("Space") ? 8 : 1;
        if (tag == QLatin1String("Space"))
          box->AddSpacing(n);
        else
          box->AddStretch(n);
        xml_.skipCurrentElement();
        continue;
      }
      // Toolkit elements in the wrong place are skipped, never handed to the page callback.
      if (spacer || tag == QLatin1String("item") || tag == QLatin1String("Window")) {
        qCDebug(lcSkin, "%s:%lld: <%s> does not belong in %s", fileName_.c_str(),
                static_cast<long long>(xml_.lineNumber()), qPrintable(tag.toString()),
                control->ClassName().c_str());
        xml_.skipCurrentElement();
        continue;
      }
      ControlBase* child = ReadElement(control->Widget());
      if (child && !control->AdoptChild(child)) {
        qCDebug(lcSkin, "%s:%lld: <%s> cannot hold children", fileName_.c_str(),
                static_cast<long long>(xml_.lineNumber()), control->ClassName().c_str());
        delete child->Widget();
      }
    }
  }

  void ReadItem(ComboBoxControl* combo) {
    QXmlStreamAttributes attributes = xml_.attributes();
    QString text = attributes.hasAttribute(QLatin1String("text"))
                       ? attributes.value(QLatin1String("text")).toString()
                       : QString();
    QString inner = xml_.readElementText(QXmlStreamReader::SkipChildElements);
    if (text.isEmpty()) text = inner.trimmed();
    combo->AddItem(text.toStdString());
    if (skin::ParseBool(attributes.value(QLatin1String("selected")).toString().toStdString())
            .value_or(false)) {
      combo->ApplyOwnAttribute("selected", std::to_string(combo->count() - 1));
    }
  }

  static constexpr int kMaxDepth = 200;

  SkinBuilder& builder_;
  bool tooDeep_ = false;
  QXmlStreamReader xml_;
  std::string fileName_;
};

SkinBuilder::SkinBuilder(FormContext& context, BuilderCallback* callback)
    : context_(context), callback_(callback) {}

namespace {

// More files than any skin builds at once (the real one: its pages and a few dozen list rows);
// bounds the work of lists whose rows hold lists.
constexpr int kMaxFilesPerBuild = 1000;
// Files opened within one another (the real skin: a page holding the sensor list's rows, 3).
constexpr size_t kMaxFileNesting = 32;

std::string Chain(const std::vector<std::string>& files, const std::string& last) {
  std::string chain;
  for (const std::string& file : files) chain += file + " -> ";
  return chain + last;
}

}  // namespace

ControlBase* SkinBuilder::Build(const std::string& fileName, Attributes* window) {
  error_.clear();
  FormContext::Nesting& nesting = context_.BuildNesting();
  const bool outermost = nesting.files.empty();
  if (outermost) {
    nesting.error.clear();
    nesting.filesBuilt = 0;
  }
  ControlBase* root = nullptr;
  if (std::find(nesting.files.begin(), nesting.files.end(), fileName) != nesting.files.end()) {
    error_ =
        fileName + ": the skin files include each other (" + Chain(nesting.files, fileName) + ")";
  } else if (nesting.files.size() >= kMaxFileNesting) {
    error_ = fileName + ": skin files nested more than " + std::to_string(kMaxFileNesting) +
             " deep (" + Chain(nesting.files, fileName) + ")";
  } else if (++nesting.filesBuilt > kMaxFilesPerBuild) {
    error_ = fileName + ": more than " + std::to_string(kMaxFilesPerBuild) +
             " skin files built for one file";
  } else {
    QByteArray data;
    if (skin::ReadSkinFile(context_.SkinDir(), fileName, &data, &error_)) {
      FormContext::BuildScope building(context_);
      nesting.files.push_back(fileName);
      Reader reader(*this, data, fileName);
      root = reader.ReadDocument(window);
      nesting.files.pop_back();
    }
    if (root == nullptr) return nullptr;
  }
  // A refused nested file (a cycle, too many files) fails the outermost build as a whole: the
  // skin is broken, and the file named says where.
  if (!error_.empty() && nesting.error.empty()) nesting.error = error_;
  if (outermost && !nesting.error.empty()) {
    if (root != nullptr) delete root->Widget();
    error_ = nesting.error;
    nesting.error.clear();
    return nullptr;
  }
  return root;
}
