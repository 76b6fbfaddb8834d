// Controls that hold other controls: vertical and horizontal layouts (also the page classes
// the builder callback asks for), group boxes, the page switcher and the list.
#pragma once

#include <QBoxLayout>
#include <QGroupBox>
#include <QScrollArea>
#include <QStackedWidget>

#include "control_base.h"

// The child operations shared by layouts and group boxes: children are the controls of the
// box layout in order; stretch items are not children.
class BoxChildren {
 public:
  explicit BoxChildren(QBoxLayout* layout) : layout_(layout) {}
  int Count() const;
  Control* At(int index) const;
  bool Adopt(ControlBase* owner, ControlBase* child);
  // Removed children leave the name index at once and are deleted from the event loop, so a
  // notification handler may empty the container that sent it.
  void RemoveAll();
  void AddStretch(int stretch) { layout_->addStretch(stretch); }
  void AddSpacing(int size) { layout_->addSpacing(size); }
  QBoxLayout* Layout() const { return layout_; }

 private:
  QBoxLayout* layout_;
};

// Attributes every box knows: "spacing" between children.
bool ApplyBoxAttribute(QBoxLayout* layout, std::string_view name, std::string_view value);

// "VerticalLayoutUI", "HorizontalLayoutUI", or a page class name given by the factory.
// "sidebysidefrom" (pixels): while the window is at least that wide, the children stand side by
// side, each at the top, instead of stacked; a page puts its cards into columns this way.
class BoxContainer : public QWidget, public ControlBase, public ContainerControl {
 public:
  BoxContainer(FormContext* context, std::string className, QBoxLayout::Direction direction,
               QWidget* parent);
  ContainerControl* AsContainer() override { return this; }
  bool ApplyOwnAttribute(std::string_view name, std::string_view value) override;
  bool AdoptChild(ControlBase* child) override { return children_.Adopt(this, child); }
  BoxChildren& Children() { return children_; }

  int ChildCount() const override { return children_.Count(); }
  Control* ChildAt(int index) const override { return children_.At(index); }
  bool AddChild(Control* child) override;
  void RemoveAllChildren() override { children_.RemoveAll(); }

 protected:
  void paintEvent(QPaintEvent* event) override;  // lets the style sheet paint backgrounds
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FollowWindowWidth();

  BoxChildren children_;
  QBoxLayout::Direction stacked_;
  int sideBySideFrom_ = 0;
  QWidget* watchedWindow_ = nullptr;
};

// "GroupBoxUI": a titled frame ("text" is the title) whose children stack vertically.
class GroupBoxContainer : public QGroupBox, public ControlBase, public ContainerControl {
 public:
  GroupBoxContainer(FormContext* context, QWidget* parent);
  ContainerControl* AsContainer() override { return this; }
  std::string Text() const override { return title().toStdString(); }
  void SetText(const std::string& text) override { setTitle(QString::fromStdString(text)); }
  bool ApplyOwnAttribute(std::string_view name, std::string_view value) override;
  bool AdoptChild(ControlBase* child) override { return children_.Adopt(this, child); }
  BoxChildren& Children() { return children_; }

  int ChildCount() const override { return children_.Count(); }
  Control* ChildAt(int index) const override { return children_.At(index); }
  bool AddChild(Control* child) override;
  void RemoveAllChildren() override { children_.RemoveAll(); }

 private:
  BoxChildren children_;
};

// "TabLayoutUI": the page switcher; its children are pages, one shown at a time, each in a
// scroll area of its own.
class TabSwitcher : public QStackedWidget,
                    public ControlBase,
                    public TabLayoutControl,
                    public ContainerControl {
 public:
  TabSwitcher(FormContext* context, QWidget* parent);
  TabLayoutControl* AsTabLayout() override { return this; }
  ContainerControl* AsContainer() override { return this; }
  bool ApplyOwnAttribute(std::string_view name, std::string_view value) override;
  bool AdoptChild(ControlBase* child) override;
  void FinishBuild() override;

  int PageCount() const override { return count(); }
  int CurrentPage() const override { return currentIndex(); }
  bool SelectPage(int index) override;

  int ChildCount() const override { return count(); }
  Control* ChildAt(int index) const override;
  bool AddChild(Control* child) override;
  void RemoveAllChildren() override;

 private:
  QWidget* PageWidget(int index) const;

  std::optional<int> pendingPage_;
  bool built_ = false;
};

// "ListUI": rows built from a layout file, stacked vertically in a scroll area. The skin may
// give the rows it starts with: "itemfile" names the row file and "itemcount" how many.
class ListBoxControl : public QScrollArea, public ControlBase, public ListControl {
 public:
  static constexpr int kMaxInitialItems = 256;

  ListBoxControl(FormContext* context, QWidget* parent);
  ListControl* AsList() override { return this; }
  bool ApplyOwnAttribute(std::string_view name, std::string_view value) override;
  bool AdoptChild(ControlBase* child) override;
  void FinishBuild() override;

  int ItemCount() const override;
  Control* ItemAt(int index) const override;
  void RemoveAllItems() override;
  Control* AppendItemFromFile(const std::string& layoutFile) override;

 private:
  void BuildInitialItems();

  QWidget* body_;
  QVBoxLayout* rows_;
  std::string itemFile_;
  int initialItems_ = 0;
  bool built_ = false;
};
