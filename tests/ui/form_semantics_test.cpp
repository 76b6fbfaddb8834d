// The Form as the program's logic sees it, on a small skin that holds every control kind.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>
#include <memory>

#include "ui/control_base.h"
#include "ui/skin_window.h"
#include "ui_test_support.h"

namespace {

class FormSemantics : public testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<SkinWindow>(FixtureSkinDir(), &callback, &sink);
    ASSERT_TRUE(window->Load()) << window->LoadError();
    DrainEvents();
    sink.events.clear();
  }

  Control* Must(const std::string& name) {
    Control* c = window->Find(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
  }

  RecordingSink sink;
  PageCallback callback;
  std::unique_ptr<SkinWindow> window;
};

TEST_F(FormSemantics, FindsControlsByExactNameWithBlanksAndPunctuation) {
  ASSERT_NE(window->Find("Debugging  port"), nullptr);
  EXPECT_EQ(window->Find("Debugging port"), nullptr);  // one blank is another name
  ASSERT_NE(window->Find("Server's Ip"), nullptr);
  EXPECT_EQ(window->Find("Server's Ip")->Text(), "10.0.0.1");
  ASSERT_NE(window->FindCombo("I/O selection"), nullptr);
  EXPECT_EQ(window->Find("server's ip"), nullptr);
  EXPECT_EQ(window->Find(""), nullptr);
  EXPECT_EQ(window->Find("Nowhere"), nullptr);
  // The widget carries the name too, for style sheets and accessibility.
  auto* edit = dynamic_cast<QWidget*>(window->Find("Debugging  port"));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->objectName(), QStringLiteral("Debugging  port"));
}

TEST_F(FormSemantics, ClassNamesAndFacetsMatchTheKinds) {
  struct Expect {
    const char* name;
    const char* className;
  };
  const Expect expected[] = {
      {"root", "VerticalLayoutUI"},  {"Caption", "HorizontalLayoutUI"},
      {"CaptionText", "TextUI"},     {"CaptionLabel", "LabelUI"},
      {"closebtn", "ButtonUI"},      {"First", "OptionUI"},
      {"Check", "OptionUI"},         {"switch", "TabLayoutUI"},
      {"PageAContainer", "PageAUI"}, {"Box", "GroupBoxUI"},
      {"Debugging  port", "EditUI"}, {"Rates", "ComboUI"},
      {"Lora2COM", "ButtonUI"},      {"CustomList", "ListUI"},
      {"richedit", "RichEditUI"},
  };
  for (const Expect& e : expected) {
    Control* c = window->Find(e.name);
    ASSERT_NE(c, nullptr) << e.name;
    EXPECT_EQ(c->ClassName(), e.className) << e.name;
  }
  EXPECT_NE(window->FindCombo("Rates"), nullptr);
  EXPECT_EQ(window->FindCombo("richedit"), nullptr);
  EXPECT_NE(window->FindRichEdit("richedit"), nullptr);
  EXPECT_NE(window->FindOption("Second"), nullptr);
  EXPECT_NE(window->FindTabLayout("switch"), nullptr);
  EXPECT_NE(window->FindList("CustomList"), nullptr);
  EXPECT_NE(Must("Box")->AsContainer(), nullptr);
  EXPECT_EQ(Must("Box")->Text(), "Group");
}

TEST_F(FormSemantics, DuplicateNamesFindTheFirstInDocumentOrder) {
  EXPECT_EQ(Must("Duplicate")->Text(), "first in document order");
  // Renaming the first one hands the name to the next one in document order.
  Must("Duplicate")->SetAttribute("name", "Renamed");
  EXPECT_EQ(Must("Duplicate")->Text(), "second in document order");
  Must("Renamed")->SetAttribute("name", "Duplicate");
  EXPECT_EQ(Must("Duplicate")->Text(), "first in document order");
}

struct SelectCase {
  const char* what;
  int before;
  int request;
  int after;
  bool changed;
};

TEST_F(FormSemantics, ComboSelectionFollowsTheRulesAndReportsLikeAUser) {
  ComboControl* rates = window->FindCombo("Rates");
  ASSERT_NE(rates, nullptr);
  EXPECT_EQ(rates->CurSel(), 1);  // selected="1" in the skin, without a notification
  const SelectCase cases[] = {
      {"same index raises nothing", 1, 1, 1, false},
      {"past the end selects the last", 0, 7, 2, true},
      {"exactly the count selects the last", 0, 3, 2, true},
      {"negative clears", 1, -1, -1, true},
      {"negative on a cleared list raises nothing", -1, -5, -1, false},
      {"plain move", 2, 0, 0, true},
  };
  for (const SelectCase& c : cases) {
    rates->SelectItem(c.before);
    ASSERT_EQ(rates->CurSel(), c.before) << c.what;
    sink.events.clear();
    EXPECT_EQ(rates->SelectItem(c.request), c.changed) << c.what;
    EXPECT_EQ(rates->CurSel(), c.after) << c.what;
    auto selects = sink.Of("itemselect");
    if (c.changed) {
      ASSERT_EQ(selects.size(), 1u) << c.what;
      EXPECT_EQ(selects[0].sender, "Rates");
      EXPECT_EQ(selects[0].wParam, c.after) << c.what;
      EXPECT_EQ(selects[0].lParam, c.before) << c.what;
    } else {
      EXPECT_TRUE(selects.empty()) << c.what;
    }
  }
}

TEST_F(FormSemantics, ComboWithoutItemsSelectsNothingAndAddingKeepsNoSelection) {
  ComboControl* empty = window->FindCombo("Empty");
  ASSERT_NE(empty, nullptr);
  EXPECT_FALSE(empty->SelectItem(0));
  EXPECT_EQ(empty->CurSel(), -1);
  empty->AddItem("a");
  empty->AddItem("b");
  EXPECT_EQ(empty->CurSel(), -1);
  EXPECT_EQ(empty->ItemCount(), 2);
  EXPECT_EQ(empty->ItemText(1), "b");
  EXPECT_EQ(empty->ItemText(2), "");
  EXPECT_EQ(empty->ItemText(-1), "");
  EXPECT_TRUE(sink.events.empty());
  EXPECT_TRUE(empty->SelectItem(1));
  empty->RemoveAllItems();
  EXPECT_EQ(empty->CurSel(), -1);
  EXPECT_EQ(empty->ItemCount(), 0);
  // After emptying, the old index is -1 again.
  empty->AddItem("c");
  sink.events.clear();
  empty->SelectItem(0);
  ASSERT_EQ(sink.Of("itemselect").size(), 1u);
  EXPECT_EQ(sink.Of("itemselect")[0].lParam, -1);
}

TEST_F(FormSemantics, UserChoiceInComboReportsTheSameAsProgrammaticSelection) {
  auto* combo = dynamic_cast<QComboBox*>(window->Find("Rates"));
  ASSERT_NE(combo, nullptr);
  combo->activated(0);        // not a selection change by itself
  combo->setCurrentIndex(2);  // what the popup does on a click
  auto selects = sink.Of("itemselect");
  ASSERT_EQ(selects.size(), 1u);
  EXPECT_EQ(selects[0].wParam, 2);
  EXPECT_EQ(selects[0].lParam, 1);
}

TEST_F(FormSemantics, SelectingAComboDoesNotTakeTheFocus) {
  window->ShowWindowCentered();
  auto* edit = dynamic_cast<QLineEdit*>(window->Find("Debugging  port"));
  edit->setFocus();
  ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == edit; }));
  window->FindCombo("Rates")->SelectItem(0);
  EXPECT_EQ(QApplication::focusWidget(), edit);
  window->HideWindow();
}

TEST_F(FormSemantics, WheelOverAnUnfocusedComboLeavesItsSelection) {
  window->ShowWindowCentered();
  auto* combo = dynamic_cast<QComboBox*>(window->Find("Rates"));
  ASSERT_FALSE(combo->hasFocus());
  QPointF inside(combo->width() / 2.0, combo->height() / 2.0);
  QWheelEvent wheel(inside, combo->mapToGlobal(inside), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(combo, &wheel);
  EXPECT_EQ(combo->currentIndex(), 1);
  EXPECT_EQ(sink.Count("itemselect"), 0);
  // A list the user is working in still scrolls its items.
  combo->setFocus();
  ASSERT_TRUE(WaitFor([&] { return combo->hasFocus(); }));
  QApplication::sendEvent(combo, &wheel);
  EXPECT_EQ(combo->currentIndex(), 2);
  EXPECT_EQ(sink.Count("itemselect"), 1);
  window->HideWindow();
}

TEST_F(FormSemantics, EditableComboReturnsTheTypedText) {
  Control* editable = Must("Editable");
  editable->SetText("/dev/pts/7");
  EXPECT_EQ(editable->Text(), "/dev/pts/7");
  EXPECT_EQ(editable->AsCombo()->CurSel(), -1);
  editable->AsCombo()->SelectItem(0);
  EXPECT_EQ(editable->Text(), "/dev/ttyS0");
}

TEST_F(FormSemantics, FocusOfEditsAndCombosIsReported) {
  window->ShowWindowCentered();
  auto* edit = dynamic_cast<QWidget*>(window->Find("Debugging  port"));
  auto* combo = dynamic_cast<QWidget*>(window->Find("Rates"));
  edit->setFocus();
  ASSERT_TRUE(WaitFor([&] { return sink.Count("setfocus") >= 1; }));
  combo->setFocus();
  ASSERT_TRUE(WaitFor([&] { return sink.Count("setfocus") >= 2; }));
  auto kills = sink.Of("killfocus");
  ASSERT_FALSE(kills.empty());
  EXPECT_EQ(kills[0].sender, "Debugging  port");
  EXPECT_EQ(sink.Of("setfocus")[1].sender, "Rates");
  // An editable list reports its own focus, not that of its text field.
  dynamic_cast<QComboBox*>(window->Find("Editable"))->lineEdit()->setFocus();
  ASSERT_TRUE(WaitFor([&] { return sink.Count("setfocus") >= 3; }));
  EXPECT_EQ(sink.Of("setfocus")[2].sender, "Editable");
  EXPECT_EQ(sink.Of("killfocus").back().sender, "Rates");
  window->HideWindow();
}

TEST_F(FormSemantics, LeavingAnEditByClickingAButtonReportsKillFocusBeforeTheClick) {
  window->ShowWindowCentered();
  auto* edit = dynamic_cast<QWidget*>(window->Find("Debugging  port"));
  auto* button = dynamic_cast<QWidget*>(window->Find("closebtn"));
  edit->setFocus();
  ASSERT_TRUE(WaitFor([&] { return edit->hasFocus(); }));
  sink.events.clear();
  QTest::mouseClick(button, Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return sink.Count("click") == 1; }));
  ASSERT_GE(sink.events.size(), 2u);
  EXPECT_EQ(sink.events[0].type, "killfocus");
  EXPECT_EQ(sink.events[0].sender, "Debugging  port");
  EXPECT_EQ(sink.events.back().type, "click");
  window->HideWindow();
}

TEST_F(FormSemantics, OptionGroupsKeepOneSelectedAndReportOnlyTheNewSelection) {
  OptionControl* first = window->FindOption("First");
  OptionControl* second = window->FindOption("Second");
  OptionControl* loose = window->FindOption("Loose");
  ASSERT_TRUE(first && second && loose);
  EXPECT_TRUE(first->IsSelected());
  loose->Select(true);
  sink.events.clear();
  second->Select(true);
  EXPECT_TRUE(second->IsSelected());
  EXPECT_FALSE(first->IsSelected());
  EXPECT_TRUE(loose->IsSelected());  // another group (none) is left alone
  auto changes = sink.Of("selectchanged");
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].sender, "Second");
  sink.events.clear();
  second->Select(true);  // already selected
  first->Select(false);  // already clear
  EXPECT_TRUE(sink.events.empty());
}

TEST_F(FormSemantics, ClickingASelectedGroupOptionKeepsItSelected) {
  auto* first = dynamic_cast<QAbstractButton*>(window->Find("First"));
  first->click();
  EXPECT_TRUE(window->FindOption("First")->IsSelected());
  EXPECT_EQ(sink.Count("click"), 1);
  EXPECT_EQ(sink.Count("selectchanged"), 0);
  sink.events.clear();
  auto* second = dynamic_cast<QAbstractButton*>(window->Find("Second"));
  second->click();
  ASSERT_EQ(sink.events.size(), 2u);
  EXPECT_EQ(sink.events[0].type, "click");
  EXPECT_EQ(sink.events[1].type, "selectchanged");
  EXPECT_FALSE(window->FindOption("First")->IsSelected());
  // An option without group toggles.
  auto* check = dynamic_cast<QAbstractButton*>(window->Find("Check"));
  check->click();
  EXPECT_TRUE(window->FindOption("Check")->IsSelected());
  check->click();
  EXPECT_FALSE(window->FindOption("Check")->IsSelected());
}

TEST_F(FormSemantics, VisibleIsTheControlsOwnFlag) {
  // The window has never been shown, and "Server's Ip" sits on a page that is not in front.
  TabLayoutControl* pages = window->FindTabLayout("switch");
  pages->SelectPage(2);
  EXPECT_TRUE(Must("Server's Ip")->IsVisible());
  EXPECT_FALSE(Must("Hidden")->IsVisible());
  Must("Box")->SetVisible(false);
  EXPECT_FALSE(Must("Box")->IsVisible());
  EXPECT_TRUE(Must("Debugging  port")->IsVisible());
  Must("Hidden")->SetVisible(true);
  EXPECT_TRUE(Must("Hidden")->IsVisible());
  EXPECT_TRUE(Must("closebtn")->IsEnabled());
  Must("closebtn")->SetEnabled(false);
  EXPECT_FALSE(Must("closebtn")->IsEnabled());
  // Like visibility, the enabled flag is the control's own.
  Must("Box")->SetEnabled(false);
  EXPECT_TRUE(Must("Debugging  port")->IsEnabled());
  EXPECT_FALSE(Must("Box")->IsEnabled());
  Must("Box")->SetEnabled(true);
  EXPECT_FALSE(Must("closebtn")->IsEnabled());
}

TEST_F(FormSemantics, HidingTheFocusedControlTakesTheFocusAway) {
  window->ShowWindowCentered();
  auto* edit = dynamic_cast<QWidget*>(window->Find("Debugging  port"));
  edit->setFocus();
  ASSERT_TRUE(WaitFor([&] { return edit->hasFocus(); }));
  Must("Debugging  port")->SetVisible(false);
  EXPECT_FALSE(edit->hasFocus());
  window->HideWindow();
}

TEST_F(FormSemantics, SetAttributeBehavesLikeTheSkinFile) {
  auto* box = dynamic_cast<QWidget*>(window->Find("Box"));
  EXPECT_EQ(box->maximumHeight(), 60);  // height="60" in the file
  EXPECT_TRUE(Must("Box")->SetAttribute("height", "110"));
  EXPECT_EQ(box->minimumHeight(), 110);
  EXPECT_EQ(box->maximumHeight(), 110);
  EXPECT_EQ(Must("Strip")->DeclaredWidth(), 300);
  EXPECT_EQ(Must("FirstTab")->DeclaredWidth(), 100);
  EXPECT_EQ(Must("Box")->DeclaredWidth(), 0);
  EXPECT_TRUE(Must("Box")->SetAttribute("width", "240"));
  EXPECT_EQ(Must("Box")->DeclaredWidth(), 240);
  EXPECT_TRUE(Must("CaptionLabel")->SetAttribute("text", "RS232"));
  EXPECT_EQ(Must("CaptionLabel")->Text(), "RS232");
  EXPECT_TRUE(Must("Hidden")->SetAttribute("visible", "true"));
  EXPECT_TRUE(Must("Hidden")->IsVisible());
  EXPECT_FALSE(Must("Box")->SetAttribute("no-such-attribute", "1"));
  EXPECT_FALSE(Must("Box")->SetAttribute("height", "tall"));
  EXPECT_EQ(box->maximumHeight(), 110);
}

TEST_F(FormSemantics, BackgroundImageNameCarriesTheArrowState) {
  Control* arrow = Must("Lora2COM");
  EXPECT_EQ(arrow->BkImage(), "arrow_right_enable.png");
  arrow->SetBkImage("arrow_right_disable.png");
  EXPECT_EQ(arrow->BkImage(), "arrow_right_disable.png");
  EXPECT_TRUE(arrow->SetAttribute("bkimage", "arrow_right_enable.png"));
  EXPECT_EQ(arrow->BkImage(), "arrow_right_enable.png");
}

// An arrow paints itself, so the style sheet's look of a changed field cannot reach it: it draws
// the mark on its own, and drops it again.
TEST_F(FormSemantics, AnArrowShowsTheChangedMarkAndDropsIt) {
  Control* arrow = Must("Lora2COM");
  QWidget* widget = dynamic_cast<ControlBase*>(arrow)->Widget();
  widget->resize(72, 22);
  const QImage plain = widget->grab().toImage();
  ASSERT_TRUE(arrow->SetAttribute("changed", "true"));
  const QImage marked = widget->grab().toImage();
  EXPECT_NE(marked, plain);
  ASSERT_TRUE(arrow->SetAttribute("changed", "false"));
  EXPECT_EQ(widget->grab().toImage(), plain);
}

TEST_F(FormSemantics, RichEditAppendsCountsAndRespectsItsLimit) {
  RichEditControl* log = window->FindRichEdit("richedit");
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(log->TextLength(), 0);
  EXPECT_GE(log->TextLimit(), 1000000);
  log->AppendText("send:AT+SHOW\r\n");
  log->AppendText("OK\r\n");
  // "\r\n" shows as one line break.
  EXPECT_EQ(Must("richedit")->Text(), "send:AT+SHOW\nOK\n");
  EXPECT_EQ(log->TextLength(), 16);
  log->AppendText("中文");
  EXPECT_EQ(log->TextLength(), 18);  // characters, not bytes
  log->SetTextLimit(20);
  EXPECT_EQ(log->TextLimit(), 20);
  log->AppendText("12345");
  EXPECT_EQ(log->TextLength(), 20);
  Must("richedit")->SetText("");
  EXPECT_EQ(log->TextLength(), 0);
  log->ScrollToEnd();
}

TEST_F(FormSemantics, RichEditJoinsALineEndSplitAcrossTwoAppends) {
  RichEditControl* log = window->FindRichEdit("richedit");
  log->AppendText("Access Point Name:CMNET\r");
  log->AppendText("\nOK\r");
  log->AppendText("\n");
  log->AppendText("\nnext");  // a bare line feed of its own is a line break
  EXPECT_EQ(Must("richedit")->Text(), "Access Point Name:CMNET\nOK\n\nnext");
}

TEST_F(FormSemantics, RichEditTakesThousandsOfSmallAppends) {
  RichEditControl* log = window->FindRichEdit("richedit");
  for (int i = 0; i < 5000; ++i) log->AppendText("line " + std::to_string(i) + "\r\n");
  log->ScrollToEnd();
  EXPECT_EQ(Must("richedit")->Text().substr(0, 14), "line 0\nline 1\n");
  EXPECT_GT(log->TextLength(), 5000 * 7);
}

TEST_F(FormSemantics, ListItemsComeFromTheirFileAndAreFoundInside) {
  ListControl* list = window->FindList("CustomList");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->ItemCount(), 0);
  Control* a = list->AppendItemFromFile("Item.xml");
  Control* b = list->AppendItemFromFile("Item.xml");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(list->ItemCount(), 2);
  EXPECT_EQ(list->ItemAt(1), b);
  EXPECT_EQ(list->ItemAt(2), nullptr);
  EXPECT_EQ(list->ItemAt(-1), nullptr);
  Control* channel = b->FindChild("SensorCfg_Channel");
  ASSERT_NE(channel, nullptr);
  channel->SetText("2");
  EXPECT_EQ(a->FindChild("SensorCfg_Channel")->Text(), "?");
  EXPECT_EQ(b->FindChild("SensorCfg_Channel")->Text(), "2");
  EXPECT_NE(b->FindChild("SensorCfg_DeviceSwitch")->AsCombo(), nullptr);
  EXPECT_EQ(b->FindChild("NoSuchField"), nullptr);
  // The form finds the first item's field.
  EXPECT_EQ(window->Find("SensorCfg_Channel"), a->FindChild("SensorCfg_Channel"));
  EXPECT_EQ(list->AppendItemFromFile("NoSuchItem.xml"), nullptr);
  EXPECT_EQ(list->ItemCount(), 2);
}

TEST_F(FormSemantics, ListsStartWithTheRowsTheSkinGives) {
  ListControl* prefilled = window->FindList("Prefilled");
  ASSERT_EQ(prefilled->ItemCount(), 3);
  EXPECT_EQ(window->Find("RowNumber"), prefilled->ItemAt(0)->FindChild("RowNumber"));
  EXPECT_NE(prefilled->ItemAt(2)->FindChild("RowValue"), nullptr);
  EXPECT_TRUE(sink.events.empty());
  // A row file that cannot be built gives no rows, and no error for the form.
  EXPECT_EQ(window->FindList("BadRows")->ItemCount(), 0);
  // Setting the count later rebuilds the rows like the file does.
  EXPECT_TRUE(Must("Prefilled")->SetAttribute("itemcount", "5"));
  EXPECT_EQ(prefilled->ItemCount(), 5);
  EXPECT_FALSE(Must("Prefilled")->SetAttribute("itemcount", "-1"));
  EXPECT_EQ(prefilled->ItemCount(), 5);
}

TEST_F(FormSemantics, RemovedListItemsAreNeverFoundAgain) {
  ListControl* list = window->FindList("CustomList");
  list->AppendItemFromFile("Item.xml");
  ASSERT_NE(window->Find("SensorCfg_DataName"), nullptr);
  list->RemoveAllItems();
  EXPECT_EQ(list->ItemCount(), 0);
  EXPECT_EQ(window->Find("SensorCfg_DataName"), nullptr);
  EXPECT_EQ(window->Find("ItemRow"), nullptr);
  DrainEvents();
  EXPECT_EQ(window->Find("SensorCfg_DataName"), nullptr);
  Control* again = list->AppendItemFromFile("Item.xml");
  EXPECT_EQ(window->Find("SensorCfg_DataName"), again->FindChild("SensorCfg_DataName"));
}

TEST_F(FormSemantics, AListItemMayEmptyItsListFromItsOwnNotification) {
  ListControl* list = window->FindList("CustomList");
  Control* item = list->AppendItemFromFile("Item.xml");
  sink.onNotify = [&](const Notification& n) {
    if (n.type == "itemselect") list->RemoveAllItems();
  };
  item->FindChild("SensorCfg_DeviceSwitch")->AsCombo()->SelectItem(1);
  sink.onNotify = nullptr;
  EXPECT_EQ(list->ItemCount(), 0);
  DrainEvents();
  EXPECT_EQ(window->Find("SensorCfg_DeviceSwitch"), nullptr);
}

TEST_F(FormSemantics, TabLayoutShowsOnePageAtATime) {
  TabLayoutControl* pages = window->FindTabLayout("switch");
  ASSERT_NE(pages, nullptr);
  EXPECT_EQ(pages->PageCount(), 3);
  EXPECT_EQ(pages->CurrentPage(), 0);
  EXPECT_TRUE(pages->SelectPage(2));
  EXPECT_EQ(pages->CurrentPage(), 2);
  EXPECT_FALSE(pages->SelectPage(3));
  EXPECT_FALSE(pages->SelectPage(-1));
  EXPECT_EQ(pages->CurrentPage(), 2);
  Control* switcher = Must("switch");
  EXPECT_EQ(switcher->AsContainer()->ChildAt(0), Must("PageAContainer"));
  EXPECT_EQ(switcher->AsContainer()->ChildAt(3), nullptr);
  switcher->AsContainer()->RemoveAllChildren();
  EXPECT_EQ(pages->PageCount(), 0);
  EXPECT_EQ(window->Find("Server's Ip"), nullptr);
  EXPECT_EQ(window->Find("PlainPage"), nullptr);
  DrainEvents();
  EXPECT_EQ(window->Find("PlainPage"), nullptr);
}

TEST_F(FormSemantics, ContainersAddAndRemoveChildrenOfTheSameForm) {
  ContainerControl* box = Must("Row 1")->AsContainer();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->ChildCount(), 6);
  EXPECT_EQ(box->ChildAt(1), Must("Debugging  port"));
  EXPECT_EQ(box->ChildAt(6), nullptr);
  box->RemoveAllChildren();
  EXPECT_EQ(box->ChildCount(), 0);
  EXPECT_EQ(window->Find("Debugging  port"), nullptr);
  EXPECT_FALSE(box->AddChild(nullptr));
  EXPECT_FALSE(box->AddChild(Must("Row 1")));  // not into itself
  EXPECT_FALSE(box->AddChild(Must("Box")));    // not its own ancestor
}

TEST_F(FormSemantics, ButtonsReportClicks) {
  dynamic_cast<QAbstractButton*>(window->Find("closebtn"))->click();
  dynamic_cast<QAbstractButton*>(window->Find("Lora2COM"))->click();
  auto clicks = sink.Of("click");
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_EQ(clicks[0].sender, "closebtn");
  EXPECT_EQ(clicks[1].sender, "Lora2COM");
}

}  // namespace
