// The form: the tree of named controls that the skin builds, as the program's logic sees it.
//
// Logic never touches Qt widgets. It finds a control by its name (a name the skin does not
// define yields nullptr, and every caller passes over a missing control), then uses the facet
// that fits the control's kind. A facet accessor returns nullptr for a control of another kind.
//
// Controls are owned by the toolkit. A pointer stays valid until the control is destroyed
// (removing a list's items destroys them). All of this runs on the UI thread only.
#pragma once

#include <string>

class Control;

// A drop-down list.
class ComboControl {
 public:
  virtual ~ComboControl() = default;
  // The selected index, -1 when nothing is selected.
  virtual int CurSel() const = 0;
  // Selects without taking the focus. Selecting the selected index does nothing; an index at
  // or past the end selects the last item; a negative index clears the selection; a list
  // without items selects nothing. Every change raises "itemselect" (new index in wParam, old
  // one in lParam), exactly as a user's choice does. Returns whether the selection changed.
  virtual bool SelectItem(int index) = 0;
  virtual int ItemCount() const = 0;
  // Empty for an index out of range.
  virtual std::string ItemText(int index) const = 0;
  virtual void RemoveAllItems() = 0;
  virtual void AddItem(const std::string& text) = 0;
};

// A multi-line text pane (the log and the help pane).
class RichEditControl {
 public:
  virtual ~RichEditControl() = default;
  virtual int TextLength() const = 0;  // in characters
  virtual int TextLimit() const = 0;
  virtual void SetTextLimit(int limit) = 0;
  virtual void AppendText(const std::string& text) = 0;
  virtual void ScrollToEnd() = 0;
};

// A radio-style option button or a check box.
class OptionControl {
 public:
  virtual ~OptionControl() = default;
  virtual bool IsSelected() const = 0;
  // Selecting clears the other options of its group and raises "selectchanged".
  virtual void Select(bool selected) = 0;
};

// The page switcher: shows one of its children at a time.
class TabLayoutControl {
 public:
  virtual ~TabLayoutControl() = default;
  virtual int PageCount() const = 0;
  virtual int CurrentPage() const = 0;
  // Shows page `index` and hides the others; an index out of range changes nothing.
  virtual bool SelectPage(int index) = 0;
};

// Any control that holds children (layouts, group boxes, pages).
class ContainerControl {
 public:
  virtual ~ContainerControl() = default;
  virtual int ChildCount() const = 0;
  virtual Control* ChildAt(int index) const = 0;
  // Takes ownership of `child`, which must come from the same form's builder.
  virtual bool AddChild(Control* child) = 0;
  virtual void RemoveAllChildren() = 0;
};

// A list whose rows are built from a layout file (the sensor list).
class ListControl {
 public:
  virtual ~ListControl() = default;
  virtual int ItemCount() const = 0;
  virtual Control* ItemAt(int index) const = 0;
  virtual void RemoveAllItems() = 0;
  // Builds a row from `layoutFile` (looked up in the skin directory) and appends it;
  // nullptr when the file cannot be built.
  virtual Control* AppendItemFromFile(const std::string& layoutFile) = 0;
};

class Control {
 public:
  virtual ~Control() = default;

  virtual std::string Name() const = 0;
  // The kind as the toolkit names it: "ButtonUI", "OptionUI", "TextUI", "LabelUI", "EditUI",
  // "ComboUI", "RichEditUI", "TabLayoutUI", "ListUI", "VerticalLayoutUI", "HorizontalLayoutUI",
  // "GroupBoxUI", or a page class name such as "WorkTabUI".
  virtual std::string ClassName() const = 0;

  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;

  // The control's own visibility flag: a control on a hidden page is still visible.
  // Hiding a control that holds the focus takes the focus away.
  virtual bool IsVisible() const = 0;
  virtual void SetVisible(bool visible) = 0;

  virtual bool IsEnabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;

  // The image reference text ("bkimage"); image buttons draw their look from it.
  virtual std::string BkImage() const = 0;
  virtual void SetBkImage(const std::string& image) = 0;

  // Applies a skin attribute by name and text value, the same way the skin file does.
  // Returns false for an attribute the control does not know.
  virtual bool SetAttribute(const std::string& name, const std::string& value) = 0;

  // The fixed width the skin declares for the control, in pixels as scaled; 0 when none.
  virtual int DeclaredWidth() const = 0;
  // The width of the part of the control that its containers leave on screen, once the window
  // has been laid out; until then, the declared width.
  virtual int ShownWidth() const { return DeclaredWidth(); }

  // A named control inside this one (itself included), or nullptr.
  virtual Control* FindChild(const std::string& name) = 0;

  virtual ComboControl* AsCombo() { return nullptr; }
  virtual RichEditControl* AsRichEdit() { return nullptr; }
  virtual OptionControl* AsOption() { return nullptr; }
  virtual TabLayoutControl* AsTabLayout() { return nullptr; }
  virtual ContainerControl* AsContainer() { return nullptr; }
  virtual ListControl* AsList() { return nullptr; }
};

// One user action (or programmatic change) reported by the form.
struct Notification {
  // "windowinit", "click", "selectchanged", "itemselect", "setfocus", "killfocus".
  std::string type;
  Control* sender = nullptr;
  long wParam = 0;  // "itemselect": the new index
  long lParam = 0;  // "itemselect": the old index
};

class NotifySink {
 public:
  virtual ~NotifySink() = default;
  virtual void Notify(const Notification& notification) = 0;
  // The window went from normal to maximised or back (by any means).
  virtual void OnMaximizedChanged(bool /*maximized*/) {}
  // The window's size changed and its layouts have placed the controls anew.
  virtual void OnResized() {}
  // The window was closed by other means than our own quit (window manager, another program).
  virtual void OnWindowClosed() {}
};

// Creates controls while a skin file is built; handed to the builder callback so that page
// classes can be made without knowing the toolkit.
class ControlFactory {
 public:
  virtual ~ControlFactory() = default;
  // An empty container whose ClassName() is `className`.
  virtual Control* CreateContainer(const std::string& className) = 0;
  // Builds the tree of `fileName` (in the skin directory) with a fresh builder that has no
  // callback; nullptr when the file is missing or cannot be parsed.
  virtual Control* BuildFile(const std::string& fileName) = 0;
};

// Asked for every tag of the main skin file that the toolkit does not know.
class BuilderCallback {
 public:
  virtual ~BuilderCallback() = default;
  virtual Control* CreateControl(const std::string& tag, ControlFactory& factory) = 0;
};

enum class WindowCommand { Minimize, Maximize, Restore, Close };

class Form {
 public:
  virtual ~Form() = default;
  virtual Control* Find(const std::string& name) = 0;

  // Convenience lookups: nullptr when the control is missing or of another kind.
  ComboControl* FindCombo(const std::string& name) {
    Control* c = Find(name);
    return c ? c->AsCombo() : nullptr;
  }
  RichEditControl* FindRichEdit(const std::string& name) {
    Control* c = Find(name);
    return c ? c->AsRichEdit() : nullptr;
  }
  OptionControl* FindOption(const std::string& name) {
    Control* c = Find(name);
    return c ? c->AsOption() : nullptr;
  }
  TabLayoutControl* FindTabLayout(const std::string& name) {
    Control* c = Find(name);
    return c ? c->AsTabLayout() : nullptr;
  }
  ListControl* FindList(const std::string& name) {
    Control* c = Find(name);
    return c ? c->AsList() : nullptr;
  }

  // The window that shows the form.
  virtual void RunWindowCommand(WindowCommand command) = 0;
  virtual bool IsMaximized() const = 0;
  virtual void SetWindowTitle(const std::string& title) = 0;
  virtual void ShowWindowCentered() = 0;
  virtual void HideWindow() = 0;
};
