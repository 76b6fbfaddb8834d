// The activation and I/O rules over a built form: each rule's table of cases.
#include <gtest/gtest.h>

#include <map>

#include "rule_fixture.h"

namespace {

class ActivationIoRulesTest : public testing::Test, public RuleFixture {
 protected:
  void SetUp() override { ASSERT_TRUE(loaded) << window.LoadError(); }

  // Rows given as a string of S (shown), H (hidden) and - (left alone), one letter each. Rows
  // start opposite to what is expected, with their catalogue rows; rows left alone start shown.
  void Preset(const std::vector<std::string>& rows, const std::string& expected) {
    for (size_t i = 0; i < rows.size(); ++i) {
      const bool start = expected[i] != 'S';
      SetVisible(rows[i], start);
      if (const RowEntry* entry = FindRowEntry(rows[i]); entry && expected[i] != '-') {
        for (const std::string& p : entry->params) SetActive(p, start);
      }
    }
  }
  // Work mode k (0 to 4) is the item whose text is "Text" k + 1 of the language file; 5 is an item
  // that is none of them, -1 no selection.
  void SelectWorkMode(const std::string& list, int mode) {
    if (mode < 0) return Select(list, -1);
    if (mode > 4) return SelectText(list, "Counter");
    SelectText(list, LanguageText("DIO workmode", "Text" + std::to_string(mode + 1), ""));
  }
  void Expect(const std::vector<std::string>& rows, const std::string& expected,
              const std::string& where) {
    for (size_t i = 0; i < rows.size(); ++i) {
      const bool shown = expected[i] != 'H';
      EXPECT_EQ(Visible(rows[i]), shown) << where << ": " << rows[i];
      if (const RowEntry* entry = FindRowEntry(rows[i]); entry && expected[i] != '-') {
        for (const std::string& p : entry->params)
          EXPECT_EQ(Active(p), shown) << where << ": " << p;
      }
    }
  }
};

// The I/O tab rule reads all five I/O control lists; the fixture skin holds "I/O4 control" and
// "I/O5 control", which carry no catalogue row.
class IoTabRuleTest : public testing::Test, public RuleFixture {
 protected:
  IoTabRuleTest() : RuleFixture(RuleFixtureSkinDir(), EnglishLanguageFile()) {}
  void SetUp() override { ASSERT_TRUE(loaded) << window.LoadError(); }
};

const std::vector<std::string> kActivationRows = {"ActivateHorizontalLayout1",
                                                  "ActivateHorizontalLayout1.2",
                                                  "ActivateHorizontalLayout2",
                                                  "ActivateHorizontalLayout3",
                                                  "ActivateHorizontalLayout4",
                                                  "ActivateHorizontalLayout5",
                                                  "ActivateHorizontalLayout6",
                                                  "ActivateHorizontalLayout6.1",
                                                  "ActivateHorizontalLayout6.1.1",
                                                  "ActivateHorizontalLayout6.1.2",
                                                  "ActivateHorizontalLayout7",
                                                  "ActivateHorizontalLayout8",
                                                  "ActivateHorizontalLayout9",
                                                  "IO1GroupBox",
                                                  "IO2GroupBox",
                                                  "IO3GroupBox",
                                                  "IOTab"};

std::vector<std::string> LineRows(int n) {
  std::vector<std::string> rows;
  for (const char* suffix :
       {".1", ".2", ".2.1", ".3", ".3.1", ".3.2", ".4", ".4.1", ".4.2", ".5", ".6", ".7"})
    rows.push_back("IOLayout" + std::to_string(n) + suffix);
  return rows;
}

}  // namespace

TEST_F(ActivationIoRulesTest, EachActivationMethodShowsItsRowsAndPostsItsRules) {
  struct Case {
    int method;
    int by;  // "IOactivationmethods", read for method 5 only
    // rows 1 1.2 2 3 4 5 6 6.1 6.1.1 6.1.2 7 8 9, IO1 IO2 IO3, IOTab
    const char* rows;
    int height;
    std::vector<int> posts;
  };
  const Case cases[] = {
      {0, 0, "H-HHHHHHHHHHHSSSS", 60, {7, 8, 9}},
      {1, 0, "S-HHHHHSHSHSHSSSS", 110, {7, 8, 9}},
      {2, 0, "S-HHHHHHHHSHHSSSS", 60, {7, 8, 9}},
      {3, 0, "H-SSHHHHHHHHHSSSS", 110, {7, 8, 9}},
      {4, 0, "S-SSHHHSHSSSS--SS", 185, {9, 17, 18}},
      {5, 0, "HHHHSSHHHHHHH----", 110, {10, 10}},
      {5, 1, "HHHHSHSSSHHHH----", 135, {11, 12, 13}},
      {5, 2, "HHHHSHSSSHHHH----", 135, {11, 12, 13}},
      {5, -1, "HHHHSHSSSHHHH----", 135, {11, 12, 13}},
  };
  for (const Case& c : cases) {
    const std::string rows = c.rows;
    ASSERT_EQ(rows.size(), kActivationRows.size()) << c.method;
    const std::string where = "A=" + std::to_string(c.method) + " B=" + std::to_string(c.by);
    Select("ActivateMethod", c.method);
    Select("IOactivationmethods", c.by);
    Preset(kActivationRows, rows);
    tabs[kIOTab].shown = false;
    RunRule(1);
    Expect(kActivationRows, rows, where);
    EXPECT_EQ(tabs[kIOTab].shown, c.method != 5) << where;
    EXPECT_EQ(Height("ActivateGroupBox"), c.height) << where;
    EXPECT_EQ(TakeQueued(), c.posts) << where;
  }
}

TEST_F(ActivationIoRulesTest, NoActivationMethodOrAnUnknownOneOnlySetsTheHeight) {
  for (int method : {-1, 6}) {
    Select("ActivateMethod", method);
    const std::string rows = "SHSHSHSHSHSHSHSHS";
    for (size_t i = 0; i < rows.size(); ++i) SetVisible(kActivationRows[i], rows[i] == 'S');
    tabs[kIOTab].shown = false;
    RunRule(1);
    for (size_t i = 0; i < rows.size(); ++i)
      EXPECT_EQ(Visible(kActivationRows[i]), rows[i] == 'S') << method << " " << kActivationRows[i];
    EXPECT_FALSE(tabs[kIOTab].shown);
    EXPECT_EQ(Height("ActivateGroupBox"), 60);
    EXPECT_TRUE(TakeQueued().empty());
  }
}

TEST_F(ActivationIoRulesTest, EachDioWorkModeShowsTheRowsOfItsLine) {
  struct Case {
    int workMode;  // 0..4 Text1..Text5; 5 an item that is none of them; -1 nothing selected
    int protocol;
    const char* shortLines;  // lines 1, 2 and 4
    const char* longLines;   // lines 3 and 5
    int heightShort, heightLong;
  };
  // With interface 3 (the SMS number shows) and reported method 1 (the times show).
  const Case cases[] = {
      {0, 1, "HHHHHHHHHHHH", "HHHHHHHHHHHH", 60, 60},
      {1, 1, "SSSSSHSSHSHH", "SSSSSHSSHSHH", 160, 160},
      {1, 0, "SSSSSHHHHHHH", "SSSSSHHHHHHH", 110, 110},
      {1, 2, "SSSSSHHHHHHH", "SSSSSHHHHHHH", 110, 110},
      {2, 1, "SSSHHHSSSSHH", "SSSHHHSSSSHH", 135, 135},
      {2, 0, "SSSHHHSHSHHH", "SSSHHHSHSHHH", 110, 85},
      {3, 0, "HHHHHHHHHHSH", "HHHHHHHHHHSH", 85, 85},
      {4, 0, "HHHHHHHHHHHS", "HSHHHHHHHHHS", 85, 135},
      {5, 1, "------------", "------------", 60, 60},
      {-1, 1, "------------", "------------", 60, 60},
  };
  const int rules[] = {7, 8, 9, 20, 21};
  for (int line = 1; line <= 5; ++line) {
    const std::string n = std::to_string(line);
    const bool longLine = line == 3 || line == 5;
    for (const Case& c : cases) {
      const std::string expected = longLine ? c.longLines : c.shortLines;
      const std::string where = "line " + n + " mode " + std::to_string(c.workMode) + " protocol " +
                                std::to_string(c.protocol);
      SelectWorkMode("DIO" + n + " workmode", c.workMode);
      Select("DIO" + n + " protocol", c.protocol);
      Select("DIO" + n + " interface", 3);
      Select("DIO" + n + " reported methods", 1);
      Preset(LineRows(line), expected);
      RunRule(rules[line - 1]);
      Expect(LineRows(line), expected, where);
      EXPECT_EQ(Height("IO" + n + "GroupBox"), longLine ? c.heightLong : c.heightShort) << where;
      EXPECT_TRUE(TakeQueued().empty());
    }
  }
}

TEST_F(ActivationIoRulesTest, InterfaceAndReportedMethodDecideTheirSubRows) {
  SelectWorkMode("DIO1 workmode", 1);
  Select("DIO1 protocol", 0);
  for (int interfaceIndex : {3, 0, 4, -1}) {
    for (int method : {0, 1, 2, -1}) {
      Select("DIO1 interface", interfaceIndex);
      Select("DIO1 reported methods", method);
      RunRule(7);
      const std::string where = std::to_string(interfaceIndex) + "/" + std::to_string(method);
      EXPECT_EQ(Visible("IOLayout1.2.1"), interfaceIndex == 3) << where;
      EXPECT_EQ(Active("DIO1 SMS number"), interfaceIndex == 3) << where;
      EXPECT_EQ(Visible("IOLayout1.3.1"), method == 1) << where;
      EXPECT_EQ(Visible("IOLayout1.3.2"), method == 0) << where;
      EXPECT_EQ(Active("DIO1 query command"), method == 0) << where;
    }
  }
  // Digital output has no reported methods but takes the interface row alike.
  SelectWorkMode("DIO1 workmode", 2);
  Select("DIO1 interface", 3);
  RunRule(7);
  EXPECT_TRUE(Visible("IOLayout1.2.1"));
  EXPECT_FALSE(Visible("IOLayout1.3"));
  EXPECT_FALSE(Visible("IOLayout1.3.1"));
}

TEST_F(ActivationIoRulesTest, IoSelectionHidesTheLineChosenForActivation) {
  struct Case {
    bool fiveDio;
    int selection;
    bool io1, io2, third;
  };
  const Case cases[] = {
      {false, 0, false, true, true}, {false, 1, true, false, true}, {false, 2, true, true, false},
      {false, 3, true, true, true},  {false, -1, true, true, true}, {true, 2, true, true, false},
      {true, 0, false, true, true},
  };
  for (const Case& c : cases) {
    facts.fiveDioModel = c.fiveDio;
    const std::string third = c.fiveDio ? "IO4GroupBox" : "IO3GroupBox";
    const std::string other = c.fiveDio ? "IO3GroupBox" : "IO4GroupBox";
    Select("I/O selection", c.selection);
    SetVisible("ActivateHorizontalLayout5", true);
    SetVisible("IO1GroupBox", !c.io1);
    SetVisible("IO2GroupBox", !c.io2);
    SetVisible(third, !c.third);
    SetVisible(other, false);
    SetVisible("IOTab", false);
    tabs[kIOTab].shown = false;
    RunRule(10);
    const std::string where = std::to_string(c.selection) + (c.fiveDio ? " five" : " three");
    EXPECT_EQ(Visible("IO1GroupBox"), c.io1) << where;
    EXPECT_EQ(Visible("IO2GroupBox"), c.io2) << where;
    EXPECT_EQ(Visible(third), c.third) << where;
    EXPECT_EQ(Active("DIO" + std::string(1, third[2]) + " workmode"), c.third) << where;
    EXPECT_FALSE(Visible(other)) << where << ": the other box is left alone";
    EXPECT_TRUE(Visible("IOTab")) << where;
    EXPECT_TRUE(tabs[kIOTab].shown) << where;
    TakeQueued();
  }
}

TEST_F(ActivationIoRulesTest, IoSelectionOutOfSightShowsAllThreeLinesAndLeavesTheTab) {
  // Out of sight either because the list itself is hidden or because its row is.
  for (const char* hidden : {"I/O selection", "ActivateHorizontalLayout5"}) {
    SetVisible("I/O selection", true);
    SetVisible("ActivateHorizontalLayout5", true);
    SetVisible(hidden, false);
    Select("I/O selection", 0);
    for (const char* box : {"IO1GroupBox", "IO2GroupBox", "IO3GroupBox"}) SetVisible(box, false);
    SetVisible("IOTab", false);
    tabs[kIOTab].shown = false;
    RunRule(10);
    for (const char* box : {"IO1GroupBox", "IO2GroupBox", "IO3GroupBox"})
      EXPECT_TRUE(Visible(box)) << hidden << " " << box;
    EXPECT_FALSE(Visible("IOTab")) << hidden;
    EXPECT_FALSE(tabs[kIOTab].shown) << hidden;
    EXPECT_EQ(TakeQueued(), (std::vector<int>{7, 8, 9})) << hidden;
  }
}

TEST_F(ActivationIoRulesTest, IoControlHidesItsLineWhenItControlsSomething) {
  // Items 0 to 5 are control targets, 6 is "None", 7 another item.
  const std::pair<int, bool> cases[] = {{-1, true}, {0, false}, {5, false}, {6, true}, {7, true}};
  for (const char* row : {"ActivateGroupBox", "ActivateHorizontalLayout6",
                          "ActivateHorizontalLayout6.1", "ActivateHorizontalLayout6.1.1"})
    SetVisible(row, true);
  for (int k = 1; k <= 3; ++k) {
    const std::string n = std::to_string(k);
    for (const auto& [index, shown] : cases) {
      Select("I/O" + n + " control", index);
      SetVisible("IO" + n + "GroupBox", !shown);
      RunRule(10 + k);
      EXPECT_EQ(Visible("IO" + n + "GroupBox"), shown) << k << " " << index;
      EXPECT_EQ(Active("DIO" + n + " workmode"), shown) << k << " " << index;
      TakeQueued();
    }
  }
}

TEST_F(IoTabRuleTest, IoControlOutOfSightShowsItsLineWithoutTheTabRule) {
  for (int k = 1; k <= 5; ++k) Select("I/O" + std::to_string(k) + " control", 0);
  SetVisible("ActivateHorizontalLayout6.1.1", false);  // holds "I/O3 control"
  SetVisible("IO3GroupBox", false);
  SetVisible("IOTab", true);
  tabs[kIOTab].shown = true;
  RunRule(13);
  EXPECT_TRUE(Visible("IO3GroupBox"));
  EXPECT_TRUE(tabs[kIOTab].shown) << "five lines control something, but the tab rule did not run";
  EXPECT_TRUE(Visible("IOTab"));
}

TEST_F(IoTabRuleTest, ThreeIoControlsInUseHideTheIoTab) {
  struct Case {
    std::vector<int> selections;  // "I/O1 control" .. "I/O5 control"; 6 is "None"
    bool tabShown;
  };
  const Case cases[] = {
      {{0, 1, 6, 6, 6}, true},     {{0, 1, 2, 6, 6}, false}, {{0, 6, 2, 6, 7}, false},
      {{0, 1, 2, 3, 6}, true},     {{0, 1, 2, 3, 4}, true},  {{6, 6, 6, 6, 6}, true},
      {{-1, -1, -1, 6, 6}, false},  // nothing selected is not "None"
  };
  for (const Case& c : cases) {
    for (int k = 1; k <= 5; ++k)
      Select("I/O" + std::to_string(k) + " control", c.selections[static_cast<size_t>(k - 1)]);
    SetVisible("IOTab", !c.tabShown);
    tabs[kIOTab].shown = !c.tabShown;
    UpdateIoTab(context);
    EXPECT_EQ(tabs[kIOTab].shown, c.tabShown) << testing::PrintToString(c.selections);
    EXPECT_EQ(Visible("IOTab"), c.tabShown) << testing::PrintToString(c.selections);
  }
  // The tab rule ends every I/O control rule.
  for (int k = 1; k <= 5; ++k) Select("I/O" + std::to_string(k) + " control", k <= 3 ? 0 : 6);
  tabs[kIOTab].shown = true;
  RunRule(12);
  EXPECT_FALSE(tabs[kIOTab].shown);
}

TEST_F(ActivationIoRulesTest, ChangingADataFormatEmptiesItsTextsAndItsOwnFormatRefillsThem) {
  params.at("A DIO2 data format").value = " +1";
  const char* fields[] = {"DIO2 query command", "DIO2 output control result",
                          "DIO2 high level information", "DIO2 low level information"};
  for (const char* field : fields) params.at(field).value = std::string("device ") + field;
  C("DIO1 query command").SetText("line 1");

  Select("A DIO2 data format", 2);
  RunRule(16, 2);
  for (const char* field : fields) EXPECT_EQ(C(field).Text(), "") << field;
  EXPECT_EQ(C("DIO1 query command").Text(), "line 1") << "another line is left alone";

  Select("A DIO2 data format", 1);
  RunRule(15, 2);  // rule 15 is the same rule
  for (const char* field : fields) EXPECT_EQ(C(field).Text(), std::string("device ") + field);

  // A value without digits stands for the first format.
  params.at("A DIO2 data format").value = "HEX";
  Select("A DIO2 data format", 0);
  RunRule(16, 2);
  EXPECT_EQ(C("DIO2 query command").Text(), "device DIO2 query command");

  // A line without such controls changes nothing.
  for (int line : {0, 6, -1}) RunRule(16, line);
  EXPECT_TRUE(TakeQueued().empty());
}

TEST_F(ActivationIoRulesTest, IoModesHideTheirLinesWhenTheyAreInUse) {
  struct Case {
    bool io2Shown;
    int io2, io1;
    bool box2, box1;
  };
  const Case cases[] = {
      {true, 0, 0, true, true},   {true, 1, 0, false, true},  {true, 2, 2, false, false},
      {true, -1, 1, true, false}, {false, 2, 2, true, false},
  };
  for (const Case& c : cases) {
    SetVisible("ActivateHorizontalLayout9", c.io2Shown);
    Select("I/O2 Mode", c.io2);
    Select("I/O1 Mode", c.io1);
    SetVisible("IO2GroupBox", !c.box2);
    SetVisible("IO1GroupBox", true);
    RunRule(18);
    const std::string where = std::to_string(c.io2) + "/" + std::to_string(c.io1);
    EXPECT_EQ(Visible("IO2GroupBox"), c.box2) << where;
    // Rule 18 goes on with the first line only when the second list is on show.
    EXPECT_EQ(Visible("IO1GroupBox"), c.io2Shown ? c.box1 : true) << where;
    TakeQueued();
  }
  // Rule 19 alone: the first line; out of sight it shows the line.
  const std::tuple<bool, int, bool> rule19[] = {
      {true, 0, true}, {true, 1, false}, {true, -1, true}, {false, 2, true}};
  for (const auto& [shown, index, box1] : rule19) {
    SetVisible("ActivateHorizontalLayout9", shown);
    Select("I/O1 Mode", index);
    SetVisible("IO1GroupBox", !box1);
    SetVisible("IO2GroupBox", false);
    RunRule(19);
    EXPECT_EQ(Visible("IO1GroupBox"), box1) << shown << " " << index;
    EXPECT_FALSE(Visible("IO2GroupBox"));
    TakeQueued();
  }
}
