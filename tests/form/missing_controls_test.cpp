// Rules over a form that lacks some of the lists and boxes they read: each stops where its
// missing control leaves it, keeping what it had already done.
#include <gtest/gtest.h>

#include "rule_fixture.h"

namespace {

class MissingControlsTest : public testing::Test, public RuleFixture {
 protected:
  MissingControlsTest()
      : RuleFixture(std::string(DTU_TEST_DATA_DIR) + "/skins/rules_partial",
                    EnglishLanguageFile()) {}
  void SetUp() override { ASSERT_TRUE(loaded) << window.LoadError(); }
};

}  // namespace

TEST_F(MissingControlsTest, WorkModeNineWithoutTheDeviceModelSetsRowsAndFlagsOnly) {
  facts.fiveDioModel = true;
  Select("Protocolmodel", 9);
  SetVisible("ModeHorizontalLayout1", true);
  SetVisible("ModeHorizontalLayout2", false);
  SetVisible("ModeHorizontalLayout5", false);
  tabs[kServerTab].shown = false;
  RunRule(0);
  EXPECT_FALSE(Visible("ModeHorizontalLayout1"));
  EXPECT_TRUE(Visible("ModeHorizontalLayout2"));
  EXPECT_FALSE(Visible("ModeHorizontalLayout5")) << "the sub-table is not reached";
  EXPECT_TRUE(tabs[kServerTab].shown);
  EXPECT_EQ(Height("ModeGroupBox"), -1) << "no heights";
  EXPECT_EQ(Height("serialGroupbox"), -1);
  EXPECT_FALSE(Visible("IO4GroupBox")) << "no model rows";
  EXPECT_EQ(C("RS232-1").Text(), "RS232-1");
}

TEST_F(MissingControlsTest, ActivationByIoWithoutItsListSetsTheRowsButNotTheHeight) {
  Select("ActivateMethod", 5);
  for (const char* row :
       {"ActivateHorizontalLayout1", "ActivateHorizontalLayout1.2", "ActivateHorizontalLayout2",
        "ActivateHorizontalLayout3", "ActivateHorizontalLayout7", "ActivateHorizontalLayout8",
        "ActivateHorizontalLayout9"})
    SetVisible(row, true);
  SetVisible("ActivateHorizontalLayout4", false);
  SetVisible("ActivateHorizontalLayout5", false);
  RunRule(1);
  for (const char* row :
       {"ActivateHorizontalLayout1", "ActivateHorizontalLayout1.2", "ActivateHorizontalLayout2",
        "ActivateHorizontalLayout3", "ActivateHorizontalLayout7", "ActivateHorizontalLayout8",
        "ActivateHorizontalLayout9"})
    EXPECT_FALSE(Visible(row)) << row;
  EXPECT_TRUE(Visible("ActivateHorizontalLayout4"));
  EXPECT_FALSE(Visible("ActivateHorizontalLayout5")) << "left to the missing list";
  EXPECT_EQ(Height("ActivateGroupBox"), -1);
  EXPECT_TRUE(TakeQueued().empty());
}

TEST_F(MissingControlsTest, ServerCountWithoutItsGroupSetsRowsAndTextsButNoHeights) {
  Select("Server Count", 2);
  RunRule(3);
  EXPECT_TRUE(Visible("ServiceHorizontalLayout0"));
  EXPECT_FALSE(Visible("ServiceHorizontalLayout1"));
  EXPECT_TRUE(Visible("ServiceHorizontalLayout2"));
  EXPECT_EQ(C("ServerTitle").Text(), LanguageText("ModeTabItemChange", "ServerTitle2", ""));
  EXPECT_EQ(Height("ServiceGroupBox2"), -1);
}

TEST_F(MissingControlsTest, ALineWithoutProtocolOrInterfaceLeavesTheRowsTheyDecide) {
  Select("DIO1 workmode", 1);
  Select("DIO1 reported methods", 0);
  for (const char* row :
       {"IOLayout1.2.1", "IOLayout1.4", "IOLayout1.4.1", "IOLayout1.4.2", "IOLayout1.5"})
    SetVisible(row, false);
  SetVisible("IOLayout1.6", true);
  RunRule(7);
  EXPECT_TRUE(Visible("IOLayout1.1"));
  EXPECT_TRUE(Visible("IOLayout1.3"));
  EXPECT_TRUE(Visible("IOLayout1.3.2"));
  EXPECT_FALSE(Visible("IOLayout1.3.1"));
  for (const char* row :
       {"IOLayout1.2.1", "IOLayout1.4", "IOLayout1.4.1", "IOLayout1.4.2", "IOLayout1.5"})
    EXPECT_FALSE(Visible(row)) << row << " left alone";
  EXPECT_FALSE(Visible("IOLayout1.6")) << "the rows after the protocol's are still set";
  EXPECT_EQ(Height("IO1GroupBox"), 60);
}

TEST_F(MissingControlsTest, TheIoTabRuleNeedsAllFiveControlLists) {
  tabs[kIOTab].shown = true;
  SetVisible("IOTab", true);
  RunRule(11);  // three lists name a line, but "I/O4 control" is missing
  EXPECT_FALSE(Visible("IO1GroupBox"));
  EXPECT_TRUE(tabs[kIOTab].shown);
  EXPECT_TRUE(Visible("IOTab"));
}

TEST_F(MissingControlsTest, AnOptionRowWithoutItsGroupIsStillSet) {
  Select("LCP ECHO", 0);
  RunRule(4);
  EXPECT_FALSE(Visible("GlobalHorizontalLayout1"));
  EXPECT_FALSE(Active("Lcp echo interval"));
}
