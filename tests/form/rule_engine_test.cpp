// The row operation, the height operation and the rule numbers, over a built form.
#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/catalogue_rows.h"
#include "rule_fixture.h"

namespace {

class RuleEngineTest : public testing::Test, public RuleFixture {
 protected:
  void SetUp() override { ASSERT_TRUE(loaded) << window.LoadError(); }
};

std::vector<std::string> Params(const RowEntry& e) {
  return e.params;
}

}  // namespace

TEST_F(RuleEngineTest, EveryRowOfTheTableIsInTheSkinAndEveryNameItSwitchesIsACatalogueRow) {
  std::set<std::string> catalogue;
  for (const CatalogueRow& row : CatalogueRows()) catalogue.insert(row.name);
  for (const RowEntry& entry : RowEntries()) {
    EXPECT_NE(window.Find(entry.row), nullptr) << entry.row;
    for (const auto* list : {&entry.params, &entry.activeWhenShown, &entry.inactiveWhenHidden}) {
      for (const std::string& name : *list)
        EXPECT_TRUE(catalogue.count(name)) << entry.row << ": " << name;
    }
  }
  // 43 named rows, and for each of the five lines its group box and eleven rows.
  EXPECT_EQ(RowEntries().size(), 43u + 5u * 12u);
}

TEST_F(RuleEngineTest, RowTableSpellsTheLineRowsWithTheLineDigit) {
  EXPECT_EQ(Params(Entry("IOLayout3.2.1")), std::vector<std::string>{"DIO3 SMS number"});
  EXPECT_EQ(Params(Entry("IOLayout2.4.1")), std::vector<std::string>{"A DIO2 data format"});
  EXPECT_EQ(
      Params(Entry("IOLayout3.7")),
      (std::vector<std::string>{"DIO3 ADCType", "DIO3 upper threshold", "DIO3 lower threshold"}));
  EXPECT_EQ(Params(Entry("IOLayout1.7")),
            (std::vector<std::string>{"DIO1 upper threshold", "DIO1 lower threshold"}));
  EXPECT_EQ(FindRowEntry("IOLayout3.4"), nullptr) << "a row that governs nothing";
  EXPECT_EQ(FindRowEntry("IOLayout6.1"), nullptr);
  EXPECT_EQ(FindRowEntry("iolayout1.1"), nullptr) << "names compare case-sensitively";
  EXPECT_EQ(FindRowEntry("IOLayout1.1 "), nullptr) << "over their full length";
  EXPECT_EQ(Params(Entry("DebugHorizontalLayout1")), std::vector<std::string>{"Debugging  port"});
}

TEST_F(RuleEngineTest, ShowingAndHidingARowSwitchesItsCatalogueRows) {
  SetAllActive(true);
  SetRowVisible(context, "MQTTLayout", false);
  EXPECT_FALSE(Visible("MQTTLayout"));
  for (const std::string& name : Entry("MQTTLayout").params) EXPECT_FALSE(Active(name)) << name;
  EXPECT_TRUE(Active("HTTP Request Mode")) << "other rows keep their flags";

  SetRowVisible(context, "MQTTLayout", true);
  EXPECT_TRUE(Visible("MQTTLayout"));
  for (const std::string& name : Entry("MQTTLayout").params) EXPECT_TRUE(Active(name)) << name;
  EXPECT_TRUE(queue.empty()) << "a plain row posts nothing";
}

TEST_F(RuleEngineTest, ARowOutsideTheTableIsOnlyShownOrHidden) {
  const ParamTable before = params;
  SetRowVisible(context, "ModeHorizontalLayout3", false);
  EXPECT_FALSE(Visible("ModeHorizontalLayout3"));
  SetRowVisible(context, "serial2Groupbox", false);
  EXPECT_FALSE(Visible("serial2Groupbox"));
  EXPECT_TRUE(Active("A serial 2 port binding center")) << "its inner row keeps its flag";
  EXPECT_EQ(params, before);
  EXPECT_TRUE(queue.empty());
}

TEST_F(RuleEngineTest, ARowTheFormLacksChangesNothingNotEvenTheCatalogue) {
  // "LORA pid" would follow "LoraPID"; the tab fixture skin has no such row.
  RuleFixture bare(std::string(DTU_TEST_DATA_DIR) + "/skins/tabs");
  ASSERT_TRUE(bare.loaded);
  const ParamTable before = bare.params;
  SetRowVisible(bare.context, "LoraPID", false);
  SetRowVisible(bare.context, "IO2GroupBox", true);
  EXPECT_EQ(bare.params, before);
  EXPECT_TRUE(bare.queue.empty());
}

TEST_F(RuleEngineTest, TheLookupNeverAddsCatalogueRows) {
  params.erase("LORA pid");
  params.erase("DIO2 protocol");
  const size_t size = params.size();
  SetRowVisible(context, "LoraPID", false);
  SetRowVisible(context, "IO2GroupBox", false);
  SetRowVisible(context, "IOLayout2.1", true);
  EXPECT_EQ(params.size(), size);
  EXPECT_EQ(params.count("LORA pid"), 0u);
}

TEST_F(RuleEngineTest, HidingALineGroupSwitchesOffTheWholeLineAndShowingItLeavesTheRestToItsRule) {
  SetAllActive(true);
  SetRowVisible(context, "IO2GroupBox", false);
  const std::vector<std::string> line2 = {"DIO2 workmode",
                                          "DIO2 protocol",
                                          "DIO2 interface",
                                          "DIO2 SMS number",
                                          "DIO2 reported methods",
                                          "DIO2 reported times",
                                          "DIO2 query command",
                                          "DIO2 high level information",
                                          "DIO2 low level information",
                                          "DIO2 and mapping center",
                                          "DIO2 upper threshold",
                                          "DIO2 lower threshold",
                                          "DIO2 output control result",
                                          "A DIO2 data format"};
  for (const std::string& name : line2) EXPECT_FALSE(Active(name)) << name;
  EXPECT_TRUE(Active("DIO1 protocol")) << "other lines keep their flags";
  EXPECT_TRUE(queue.empty()) << "hiding posts nothing";

  SetRowVisible(context, "IO2GroupBox", true);
  EXPECT_TRUE(Active("DIO2 workmode"));
  for (size_t i = 1; i < line2.size(); ++i) EXPECT_FALSE(Active(line2[i])) << line2[i];
  EXPECT_EQ(TakeQueued(), std::vector<int>{8});
}

TEST_F(RuleEngineTest, EachLineGroupPostsTheRuleOfItsLine) {
  const std::pair<const char*, int> groups[] = {{"IO1GroupBox", 7},
                                                {"IO2GroupBox", 8},
                                                {"IO3GroupBox", 9},
                                                {"IO4GroupBox", 20},
                                                {"IO5GroupBox", 21}};
  for (const auto& [group, rule] : groups) {
    SetRowVisible(context, group, true);
    EXPECT_EQ(TakeQueued(), std::vector<int>{rule}) << group;
  }
}

TEST_F(RuleEngineTest, TheAnalogueLinesSwitchTheirAdcTypeWithTheirThresholds) {
  SetRowVisible(context, "IO3GroupBox", false);
  EXPECT_FALSE(Active("DIO3 ADCType"));
  // Line 5 has an ADC type list too: a hidden line 5 must not write it.
  SetRowVisible(context, "IO5GroupBox", false);
  EXPECT_FALSE(Active("DIO5 ADCType"));
  SetRowVisible(context, "IOLayout5.7", true);
  EXPECT_TRUE(Active("DIO5 ADCType"));
  EXPECT_TRUE(Active("DIO5 upper threshold"));
}

TEST_F(RuleEngineTest, HidingTheServerGroupKeepsTheFirstServerAndShowingItPostsTheServerRule) {
  SetActive("Server's Ip", false);
  SetRowVisible(context, "ServiceGroupBox", false);
  EXPECT_FALSE(Active("Server's Ip")) << "kept as it was";
  EXPECT_TRUE(Active("Server's Port")) << "kept as it was";
  for (const char* name : {"Secondary Server's Ip", "Secondary Server's Port", "Server2's Ip",
                           "Server2's Port", "Server3's Ip", "Server3's Port", "Server4's Ip",
                           "Server4's Port", "Server5's Ip", "Server5's Port"})
    EXPECT_FALSE(Active(name)) << name;
  EXPECT_TRUE(queue.empty());

  SetRowVisible(context, "ServiceGroupBox", true);
  EXPECT_TRUE(Active("Server's Ip"));
  EXPECT_TRUE(Active("Server's Port"));
  EXPECT_FALSE(Active("Secondary Server's Ip")) << "left to the server rule";
  EXPECT_EQ(TakeQueued(), std::vector<int>{3});
}

TEST_F(RuleEngineTest, HidingTheActivationGroupSwitchesOffItsRowsButNotTheMethod) {
  SetRowVisible(context, "ActivateGroupBox", false);
  for (const char* name :
       {"ActivationPhoneNO.", "I/O1 control", "I/O2 control", "I/O3 control", "I/O selection",
        "IOactivationmethods", "RegisterInfo", "RegistrationReplyInfo", "HeartbeatPacket",
        "HeartbeatPacketReplyInfo", "ActivationInterface", "DataFormat", "On-line data",
        "Offline data", "SMSActivationNO."})
    EXPECT_FALSE(Active(name)) << name;
  EXPECT_TRUE(Active("ActivateMethod"));
  EXPECT_TRUE(queue.empty());

  SetActive("ActivateMethod", false);
  SetRowVisible(context, "ActivateGroupBox", true);
  EXPECT_TRUE(Active("SMSActivationNO."));
  EXPECT_FALSE(Active("ActivationPhoneNO.")) << "left to the activation rule";
  EXPECT_FALSE(Active("ActivateMethod")) << "kept either way";
  EXPECT_EQ(TakeQueued(), std::vector<int>{1});
}

TEST_F(RuleEngineTest, ShowingTheIoSelectionRowPostsTheIoSelectionRule) {
  SetRowVisible(context, "ActivateHorizontalLayout5", true);
  EXPECT_EQ(TakeQueued(), std::vector<int>{10});
  SetRowVisible(context, "ActivateHorizontalLayout5", false);
  EXPECT_FALSE(Active("I/O selection"));
  EXPECT_TRUE(queue.empty());
}

TEST_F(RuleEngineTest, ShowingTheManagementGroupLeavesItsAddressRowToItsRule) {
  // Platform off: its address row is hidden and not written.
  Select("dtu is connect to dtu manage platform", 0);
  RunRule(6);
  ASSERT_FALSE(Active("Dtu manage id"));
  SetRowVisible(context, "DtumanageGroupBox", false);
  SetRowVisible(context, "DtumanageGroupBox", true);
  EXPECT_TRUE(Active("dtu is connect to dtu manage platform"));
  EXPECT_EQ(TakeQueued(), std::vector<int>{6});
  RunRule(6);
  EXPECT_FALSE(Visible("EquimentLayout1"));
  for (const char* name : {"Dtu manage id", "dtu manage server's Ip", "Dtumanagetransferprotocol",
                           "dtu manage server's Port"})
    EXPECT_FALSE(Active(name)) << name << " stays off while the platform is off";

  SetRowVisible(context, "DtumanageGroupBox", false);
  EXPECT_FALSE(Active("dtu is connect to dtu manage platform"));
  Select("dtu is connect to dtu manage platform", 1);
  SetRowVisible(context, "DtumanageGroupBox", true);
  Drain();
  EXPECT_TRUE(Active("Dtu manage id"));
}

TEST_F(RuleEngineTest, GroupHeightGoesThroughTheHeightAttribute) {
  SetGroupHeight(window, "PPPGroupBox", 85);
  EXPECT_EQ(Height("PPPGroupBox"), 85);
  SetGroupHeight(window, "PPPGroupBox", 260);
  EXPECT_EQ(Height("PPPGroupBox"), 260);
  SetGroupHeight(window, "NoSuchGroupBox", 85);  // passed over
}

TEST_F(RuleEngineTest, RuleNumbersOutsideTheRulesDoNothing) {
  Select("Protocolmodel", 3);
  Select("ActivateMethod", 0);
  SetVisible("ModeHorizontalLayout1", true);
  SetGroupHeight(window, "ModeGroupBox", 999);
  const ParamTable before = params;
  for (int rule : {22, 23, 100, 1000, -1, -22}) {
    RunRule(rule, 1);
    EXPECT_TRUE(queue.empty()) << rule;
  }
  EXPECT_TRUE(Visible("ModeHorizontalLayout1"));
  EXPECT_EQ(Height("ModeGroupBox"), 999);
  EXPECT_EQ(params, before);
  for (int i = 0; i < tabs.size(); ++i) EXPECT_TRUE(tabs[i].shown);
}

TEST_F(RuleEngineTest, EveryRuleOnAFormWithoutItsControlsChangesNothing) {
  RuleFixture bare(std::string(DTU_TEST_DATA_DIR) + "/skins/tabs");
  ASSERT_TRUE(bare.loaded);
  bare.facts.fiveDioModel = true;
  const ParamTable before = bare.params;
  for (int rule = 0; rule <= kLastFormRule; ++rule) bare.RunRule(rule, 1);
  bare.Drain();
  EXPECT_EQ(bare.params, before);
  EXPECT_TRUE(bare.messages.empty());
  for (int i = 0; i < bare.tabs.size(); ++i) EXPECT_TRUE(bare.tabs[i].shown) << i;
}

TEST_F(RuleEngineTest, StartUpFlagsFollowTheRowsTheSkinHides) {
  SetAllActive(true);
  SetVisible("GlobalHorizontalLayout2", false);
  SetVisible("ModeHorizontalLayout1", true);
  SetVisible("ModeHorizontalLayout1.1", false);
  SetVisible("IO2GroupBox", false);
  SetVisible("IOLayout2.1", true);
  SetVisible("ServiceGroupBox", false);
  SetVisible("ServiceHorizontalLayout0", true);
  SetVisible("ServiceHorizontalLayout1", true);
  MatchActiveFlagsToRows(context);
  EXPECT_FALSE(Active("ICMP Ip"));
  EXPECT_TRUE(Active("PhoneNO."));
  EXPECT_FALSE(Active("Modem'sID number")) << "one of its two rows is hidden";
  EXPECT_FALSE(Active("DIO2 workmode"));
  EXPECT_FALSE(Active("DIO2 protocol")) << "its line is hidden";
  EXPECT_TRUE(Active("Server's Ip")) << "the first server follows its own row only";
  EXPECT_FALSE(Active("Secondary Server's Ip"));
  EXPECT_TRUE(Active("Protocolmodel")) << "rows outside the table keep their flags";
  EXPECT_TRUE(queue.empty());
}
