#include "form/tab_strip.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>

#include "form/pages.h"
#include "ui/control_base.h"
#include "ui/skin_window.h"

namespace {

// A strip 300 pixels wide with eleven tabs of 100 pixels; "GPSTab" has no control.
class TabStripTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(window_.Load("skin.xml")) << window_.LoadError(); }

  int CurrentPage() { return window_.FindTabLayout("switch")->CurrentPage(); }
  std::vector<int> VisibleTabs() {
    std::vector<int> visible;
    for (int i = 0; i < tabs_.size(); ++i) {
      Control* tab = window_.Find(tabs_[i].name);
      if (tab && tab->IsVisible()) visible.push_back(i);
    }
    return visible;
  }
  void ShowOnly(std::initializer_list<int> shown) {
    for (int i = 0; i < tabs_.size(); ++i) tabs_[i].shown = false;
    for (int i : shown) tabs_[i].shown = true;
  }

  CDialogBuilderCallbackEx pages_;
  SkinWindow window_{DTU_TEST_DATA_DIR "/skins/tabs", &pages_, nullptr};
  TabTable tabs_;
};

const std::vector<int> kAllWithControls = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11};

}  // namespace

TEST_F(TabStripTest, RebuildShowsTheShownTabsAndChoosesTheFirst) {
  UpdateTabStrip(window_, tabs_, TabStripMode::Rebuild);
  EXPECT_EQ(VisibleTabs(), kAllWithControls);
  EXPECT_EQ(CurrentPage(), 0);
  EXPECT_TRUE(window_.FindOption("WorkMode")->IsSelected());

  ShowOnly({2, 5, 9});
  UpdateTabStrip(window_, tabs_, TabStripMode::Rebuild);
  EXPECT_EQ(VisibleTabs(), (std::vector<int>{2, 5}));
  EXPECT_EQ(CurrentPage(), 2);
  EXPECT_TRUE(window_.FindOption("Serial")->IsSelected());
  EXPECT_FALSE(window_.FindOption("WorkMode")->IsSelected());
}

TEST_F(TabStripTest, RebuildWithoutAShownTabHidesEveryTabAndKeepsThePage) {
  window_.FindTabLayout("switch")->SelectPage(4);
  ShowOnly({9});  // shown, but without a control
  UpdateTabStrip(window_, tabs_, TabStripMode::Rebuild);
  EXPECT_TRUE(VisibleTabs().empty());
  EXPECT_EQ(CurrentPage(), 4);
}

TEST_F(TabStripTest, ScrollRightCountsAnExactlyFullStripAsFilled) {
  UpdateTabStrip(window_, tabs_, TabStripMode::Rebuild);
  // The first three tabs fill the strip exactly: the fourth moves into view and the first goes.
  UpdateTabStrip(window_, tabs_, TabStripMode::ScrollRight);
  std::vector<int> expected(kAllWithControls.begin() + 1, kAllWithControls.end());
  EXPECT_EQ(VisibleTabs(), expected);
  UpdateTabStrip(window_, tabs_, TabStripMode::ScrollRight);
  expected.erase(expected.begin());
  EXPECT_EQ(VisibleTabs(), expected);
  EXPECT_EQ(CurrentPage(), 0) << "scrolling never changes the page";

  // A rebuild undoes the scrolling.
  UpdateTabStrip(window_, tabs_, TabStripMode::Rebuild);
  EXPECT_EQ(VisibleTabs(), kAllWithControls);
}

TEST_F(TabStripTest, ScrollRightHidesNothingWhenTheShownTabsFit) {
  ShowOnly({0, 1, 2});
  UpdateTabStrip(window_, tabs_, TabStripMode::Rebuild);
  UpdateTabStrip(window_, tabs_, TabStripMode::ScrollRight);
  EXPECT_EQ(VisibleTabs(), (std::vector<int>{0, 1, 2}));
}

TEST_F(TabStripTest, ScrollLeftRevealsTheNearestShownTabOnly) {
  UpdateTabStrip(window_, tabs_, TabStripMode::Rebuild);
  UpdateTabStrip(window_, tabs_, TabStripMode::ScrollRight);
  UpdateTabStrip(window_, tabs_, TabStripMode::ScrollRight);
  UpdateTabStrip(window_, tabs_, TabStripMode::ScrollLeft);
  std::vector<int> expected(kAllWithControls.begin() + 1, kAllWithControls.end());
  EXPECT_EQ(VisibleTabs(), expected);
  UpdateTabStrip(window_, tabs_, TabStripMode::ScrollLeft);
  EXPECT_EQ(VisibleTabs(), kAllWithControls);
  // The leftmost visible tab is the first shown one: nothing changes.
  UpdateTabStrip(window_, tabs_, TabStripMode::ScrollLeft);
  EXPECT_EQ(VisibleTabs(), kAllWithControls);
}

TEST_F(TabStripTest, ScrollLeftStopsAtAShownTabWithoutControl) {
  // Tab 9 is shown but has no control; tab 8 further left has one but stays hidden.
  ShowOnly({8, 9, 10});
  UpdateTabStrip(window_, tabs_, TabStripMode::Rebuild);
  window_.Find("ZigbeeTab")->SetVisible(false);
  UpdateTabStrip(window_, tabs_, TabStripMode::ScrollLeft);
  EXPECT_EQ(VisibleTabs(), (std::vector<int>{10}));
}

TEST_F(TabStripTest, NothingHappensWithoutTheStrip) {
  CDialogBuilderCallbackEx pages;
  SkinWindow bare(DTU_TEST_DATA_DIR "/skins/tabs", &pages, nullptr);
  ASSERT_TRUE(bare.Load("WorkTab.xml"));
  UpdateTabStrip(bare, tabs_, TabStripMode::Rebuild);  // no strip, no switch: no crash either
  SelectPageForOption(bare, tabs_, "Server");
}

TEST_F(TabStripTest, AnOptionBringsThePageOfTheFirstTabContainingItsName) {
  struct Case {
    const char* sender;
    int page;
  };
  const Case cases[] = {{"Server", 1}, {"Mode", 0},       {"", 0},  {"Tab", 0},
                        {"Lora", 7},   {"Operation", 11}, {"IO", 3}};
  for (const Case& c : cases) {
    window_.FindTabLayout("switch")->SelectPage(5);
    SelectPageForOption(window_, tabs_, c.sender);
    EXPECT_EQ(CurrentPage(), c.page) << '"' << c.sender << '"';
  }
  window_.FindTabLayout("switch")->SelectPage(5);
  SelectPageForOption(window_, tabs_, "nothing like it");
  EXPECT_EQ(CurrentPage(), 5);
}

TEST_F(TabStripTest, SelectingATabOptionBringsItsPage) {
  struct Sink : NotifySink {
    Form* form = nullptr;
    TabTable tabs;
    void Notify(const Notification& n) override {
      if (n.type == "selectchanged") SelectPageForOption(*form, tabs, n.sender->Name());
    }
  } sink;
  CDialogBuilderCallbackEx pages;
  SkinWindow window(DTU_TEST_DATA_DIR "/skins/tabs", &pages, &sink);
  sink.form = &window;
  ASSERT_TRUE(window.Load("skin.xml"));
  window.FindOption("Modbus")->Select(true);
  EXPECT_EQ(window.FindTabLayout("switch")->CurrentPage(), 10);
}

TEST(Pages, TagsChooseTheirClassAndFile) {
  struct Case {
    const char* tag;
    const char* className;
    const char* file;
  };
  const Case cases[] = {
      {"ComputerExamine", "ComputerExamineUI", "ComputerExamine.xml"},
      {"WorkTab", "WorkTabUI", "WorkTab.xml"},
      {"Wireless", "WirelessTabUI", "Wireless.xml"},
      {"ServiceCentre", "ServiceCentreTabUI", "Service Centre.xml"},
      {"SerialPort", "SerialPortTabUI", "Serial port.xml"},
      {"Modbus", "CustomTabUI", "Custom.xml"},
      {"Global_Parameter", "Global_ParameterTabUI", "Global Parameter.xml"},
      {"Equipment_Management", "Equipment_ManagementTabUI", "Equipment Management.xml"},
      {"LoraTab", "Child_ManagementTabUI", "LoraTab.xml"},
      {"workTab", "Child_ManagementTabUI", "workTab.xml"},
  };
  for (const Case& c : cases) {
    PageKind kind = PageKindForTag(c.tag);
    EXPECT_STREQ(kind.className, c.className) << c.tag;
    EXPECT_EQ(kind.fileName, c.file) << c.tag;
  }
}

TEST_F(TabStripTest, PagesHoldTheirFileOrStayEmpty) {
  TabLayoutControl* pages = window_.FindTabLayout("switch");
  ASSERT_EQ(pages->PageCount(), 12);
  Control* switcher = window_.Find("switch");
  ContainerControl* children = switcher->AsContainer();
  ASSERT_NE(children, nullptr);

  // A known tag with its file.
  Control* work = children->ChildAt(0);
  EXPECT_EQ(work->ClassName(), "WorkTabUI");
  EXPECT_NE(work->FindChild("WorkTabTitle"), nullptr);
  // A tag of no known page, with a file named after it.
  Control* extra = children->ChildAt(3);
  EXPECT_EQ(extra->ClassName(), "Child_ManagementTabUI");
  EXPECT_NE(window_.Find("ExtraEdit"), nullptr);
  // Without a file: an empty page, not an error.
  Control* lora = children->ChildAt(7);
  EXPECT_EQ(lora->ClassName(), "Child_ManagementTabUI");
  EXPECT_EQ(lora->AsContainer()->ChildCount(), 0);
  Control* serial = children->ChildAt(2);
  EXPECT_EQ(serial->ClassName(), "SerialPortTabUI");
  EXPECT_EQ(serial->AsContainer()->ChildCount(), 0);
}

namespace {

struct StripCase {
  const char* skin;
  int width;
  int height;
};

std::string StripCaseName(const testing::TestParamInfo<StripCase>& info) {
  return std::string(info.param.skin) + "_" + std::to_string(info.param.width);
}

// The shipped skins in a shown window of a given size.
class RealTabStrip : public testing::TestWithParam<StripCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window_.Load()) << window_.LoadError();
    window_.resize(GetParam().width, GetParam().height);
    window_.show();
    Settle();
    UpdateTabStrip(window_, tabs_, TabStripMode::Rebuild);
    Settle();
  }
  void Settle() { QApplication::processEvents(); }
  Control& Tab(int index) { return *window_.Find(tabs_[index].name); }
  // Wholly on screen: nothing of it is cut off by the strip or the window.
  bool WhollyShown(int index) {
    Control& tab = Tab(index);
    return tab.IsVisible() && tab.ShownWidth() == tab.DeclaredWidth();
  }
  void ScrollRight() {
    UpdateTabStrip(window_, tabs_, TabStripMode::ScrollRight);
    Settle();
  }

  CDialogBuilderCallbackEx pages_;
  SkinWindow window_{std::string(DTU_SKIN_ROOT) + "/" + GetParam().skin, &pages_, nullptr};
  TabTable tabs_;
};

}  // namespace

TEST_P(RealTabStrip, TheScrollButtonsStayOnScreen) {
  for (const char* button : {"TabLeft", "TabRight"}) {
    Control* control = window_.Find(button);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->ShownWidth(), control->DeclaredWidth()) << button;
  }
}

TEST_P(RealTabStrip, EveryShownTabCanBeScrolledIntoView) {
  for (int target = 0; target < tabs_.size(); ++target) {
    UpdateTabStrip(window_, tabs_, TabStripMode::Rebuild);
    Settle();
    for (int click = 0; click < tabs_.size() && !WhollyShown(target); ++click) ScrollRight();
    EXPECT_TRUE(WhollyShown(target)) << tabs_[target].name;
  }
}

TEST_P(RealTabStrip, ScrollingRightHidesNothingWhenEveryTabFits) {
  bool allFit = true;
  for (int i = 0; i < tabs_.size(); ++i) allFit = allFit && WhollyShown(i);
  ScrollRight();
  for (int i = 0; i < tabs_.size(); ++i) {
    if (allFit) {
      EXPECT_TRUE(Tab(i).IsVisible()) << tabs_[i].name;
    }
  }
  if (GetParam().width >= 1400) {
    EXPECT_TRUE(allFit) << "a wide window shows every tab";
  }
}

// The arrows offer only what there is: none when every tab fits, the right one while a tab lies
// beyond the right edge, the left one once the strip has scrolled.
TEST_P(RealTabStrip, ArrowsAreEnabledOnlyTowardsTabsOutOfView) {
  ControlBase* left = dynamic_cast<ControlBase*>(window_.Find("TabLeft"));
  ControlBase* right = dynamic_cast<ControlBase*>(window_.Find("TabRight"));
  ASSERT_TRUE(left && right);
  bool allFit = true;
  for (int i = 0; i < tabs_.size(); ++i) allFit = allFit && WhollyShown(i);
  EXPECT_FALSE(left->IsEnabled());
  EXPECT_EQ(right->IsEnabled(), !allFit);
  if (allFit) return;
  ScrollRight();
  EXPECT_TRUE(left->IsEnabled());
  for (int click = 0; click < tabs_.size() && right->IsEnabled(); ++click) ScrollRight();
  EXPECT_FALSE(right->IsEnabled()) << "the last tab came into view";
  EXPECT_TRUE(WhollyShown(tabs_.size() - 1));
  UpdateTabStrip(window_, tabs_, TabStripMode::ScrollLeft);
  Settle();
  EXPECT_TRUE(right->IsEnabled());
}

TEST_P(RealTabStrip, ChoosingATabCutOffAtTheRightBringsItWhollyIntoView) {
  for (int target : {6, 10, 11}) {
    UpdateTabStrip(window_, tabs_, TabStripMode::Rebuild);
    Settle();
    const std::string option = TabTable::OptionName(tabs_[target].name);
    window_.FindOption(option)->Select(true);
    SelectPageForOption(window_, tabs_, option);
    Settle();
    EXPECT_TRUE(WhollyShown(target)) << tabs_[target].name;
    EXPECT_EQ(window_.FindTabLayout("switch")->CurrentPage(), target);
  }
}

TEST_P(RealTabStrip, TheCurrentTabsBoldCaptionFitsItsTab) {
  for (int i = 0; i < tabs_.size(); ++i) {
    auto* option = dynamic_cast<ControlBase*>(window_.Find(TabTable::OptionName(tabs_[i].name)));
    ASSERT_NE(option, nullptr);
    QFont bold = option->Widget()->font();
    bold.setBold(true);
    const QString caption = QString::fromStdString(option->Text());
    // The tab style's padding is 2 pixels on each side.
    EXPECT_LE(QFontMetrics(bold).horizontalAdvance(caption) + 4, Tab(i).DeclaredWidth())
        << tabs_[i].name;
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, RealTabStrip,
                         testing::Values(StripCase{"ConifgENRes", 1100, 680},
                                         StripCase{"ConifgENRes", 1920, 1080},
                                         StripCase{"ConifgRes", 1100, 680},
                                         StripCase{"ConifgRes", 1920, 1080}),
                         StripCaseName);
