// The work-mode and network rules over a built form: each rule's table of cases.
#include <gtest/gtest.h>

#include <map>

#include "rule_fixture.h"

namespace {

class WorkModeRulesTest : public testing::Test, public RuleFixture {
 protected:
  void SetUp() override { ASSERT_TRUE(loaded) << window.LoadError(); }

  // Puts every row of `rows` in the state opposite to the one expected, so that a row the rule
  // forgets to set shows up.
  void Invert(const std::vector<std::string>& rows, const std::set<std::string>& shown) {
    for (const std::string& row : rows) {
      const bool visible = !shown.count(row);
      SetVisible(row, visible);
      if (const RowEntry* entry = FindRowEntry(row))
        for (const std::string& p : entry->params) SetActive(p, visible);
    }
  }
  void ExpectRows(const std::vector<std::string>& rows, const std::set<std::string>& shown,
                  const std::string& where) {
    // A catalogue row listed for several rows ("Modem'sID number") is active when all are shown.
    std::map<std::string, bool> expectedActive;
    for (const std::string& row : rows) {
      const bool expected = shown.count(row) > 0;
      EXPECT_EQ(Visible(row), expected) << where << ": " << row;
      if (const RowEntry* entry = FindRowEntry(row)) {
        for (const std::string& p : entry->params) {
          auto [it, added] = expectedActive.emplace(p, expected);
          if (!added) it->second = it->second && expected;
        }
      }
    }
    for (const auto& [p, expected] : expectedActive)
      EXPECT_EQ(Active(p), expected) << where << ": " << p;
  }
};

const std::vector<std::string> kWorkModeRows = {"ModeHorizontalLayout1",
                                                "ModeHorizontalLayout1.1",
                                                "ModeHorizontalLayout1.2",
                                                "ModeHorizontalLayout2",
                                                "ModeHorizontalLayout3",
                                                "ModeHorizontalLayout4",
                                                "ModeHorizontalLayout5",
                                                "ModeHorizontalLayout6",
                                                "ModeHorizontalLayout7",
                                                "ModeHorizontalLayout8",
                                                "ModeLayout1.1",
                                                "ModeLayout1.2",
                                                "ServerTab",
                                                "IOTab",
                                                "WirelessTab",
                                                "GlobalTab",
                                                "EquimentTab",
                                                "DtumanageGroupBox",
                                                "bindingCenterGroupBox",
                                                "bindingCenterGroupBox2",
                                                "bindingCenterGroupBox3",
                                                "ActivateGroupBox",
                                                "ServiceGroupBox",
                                                "HttpLayout",
                                                "MQTTLayout"};

const std::set<std::string> kTabs5 = {"ServerTab", "IOTab", "WirelessTab", "GlobalTab",
                                      "EquimentTab"};
const std::set<std::string> kBinding = {"bindingCenterGroupBox", "bindingCenterGroupBox2",
                                        "bindingCenterGroupBox3"};

std::set<std::string> Join(std::initializer_list<std::set<std::string>> parts) {
  std::set<std::string> all;
  for (const auto& part : parts) all.insert(part.begin(), part.end());
  return all;
}

struct WorkModeCase {
  int mode;
  int deviceModel;  // only read for mode 9
  int registration;
  std::set<std::string> shown;
  bool serverIoWireless;
  bool globalEquiment;
  int modeHeight;
  int serialHeight;
  std::vector<int> posts;  // on a three-line model
};

const std::vector<WorkModeCase> kWorkModeCases = {
    {0,
     0,
     0,
     Join({{"ModeHorizontalLayout1", "ModeHorizontalLayout1.1", "ModeHorizontalLayout1.2",
            "DtumanageGroupBox", "ActivateGroupBox", "ServiceGroupBox"},
           kTabs5,
           kBinding}),
     true,
     true,
     110,
     110,
     {6, 1, 3}},
    {7,
     1,
     1,
     Join({{"ModeHorizontalLayout1", "ModeHorizontalLayout1.1", "ModeHorizontalLayout1.2",
            "DtumanageGroupBox", "ActivateGroupBox", "ServiceGroupBox"},
           kTabs5,
           kBinding}),
     true,
     true,
     110,
     110,
     {6, 1, 3}},
    {1,
     0,
     0,
     Join({{"ModeHorizontalLayout1", "DtumanageGroupBox", "ActivateGroupBox", "ServiceGroupBox"},
           kTabs5,
           kBinding}),
     true,
     true,
     85,
     110,
     {6, 1, 3}},
    {2,
     0,
     0,
     Join({{"ModeHorizontalLayout1", "DtumanageGroupBox", "ActivateGroupBox", "ServiceGroupBox"},
           kTabs5,
           kBinding}),
     true,
     true,
     85,
     110,
     {6, 1, 3}},
    {3,
     0,
     0,
     Join({{"DtumanageGroupBox", "ServiceGroupBox"}, kBinding}),
     false,
     false,
     60,
     110,
     {6, 3}},
    {4,
     0,
     0,
     {"ModeLayout1.1", "ModeLayout1.2", "GlobalTab", "EquimentTab", "ServiceGroupBox"},
     false,
     true,
     235,
     85,
     {3}},
    {5,
     0,
     0,
     Join({{"ModeLayout1.2", "GlobalTab", "EquimentTab", "ServiceGroupBox"}, kBinding}),
     false,
     true,
     110,
     110,
     {3}},
    {6,
     0,
     0,
     Join({{"DtumanageGroupBox", "ActivateGroupBox", "ServiceGroupBox", "HttpLayout"},
           kTabs5,
           kBinding}),
     true,
     true,
     85,
     110,
     {6, 1, 3}},
    {8,
     0,
     0,
     Join({{"DtumanageGroupBox", "ActivateGroupBox", "ServiceGroupBox", "MQTTLayout"},
           kTabs5,
           kBinding}),
     true,
     true,
     285,
     110,
     {6, 1, 3}},
    {9,
     0,
     1,
     Join({{"ModeHorizontalLayout2", "ModeHorizontalLayout3", "ModeHorizontalLayout4",
            "ModeHorizontalLayout7", "ModeHorizontalLayout8", "DtumanageGroupBox",
            "ActivateGroupBox", "ServiceGroupBox"},
           kTabs5,
           kBinding}),
     true,
     true,
     185,
     110,
     {6, 1, 3}},
    {9,
     0,
     2,
     Join({{"ModeHorizontalLayout2", "ModeHorizontalLayout3", "ModeHorizontalLayout4",
            "DtumanageGroupBox", "ActivateGroupBox", "ServiceGroupBox"},
           kTabs5,
           kBinding}),
     true,
     true,
     110,
     110,
     {6, 1, 3}},
    {9,
     0,
     0,
     Join({{"ModeHorizontalLayout2", "ModeHorizontalLayout3", "ModeHorizontalLayout4",
            "DtumanageGroupBox", "ActivateGroupBox", "ServiceGroupBox"},
           kTabs5,
           kBinding}),
     true,
     true,
     110,
     110,
     {6, 1, 3}},
    // A server device: no registration, no server group, no binding centres.
    {9,
     1,
     1,
     Join({{"ModeHorizontalLayout2", "ModeHorizontalLayout3", "ModeHorizontalLayout5",
            "DtumanageGroupBox", "ActivateGroupBox"},
           kTabs5}),
     true,
     true,
     110,
     85,
     {6, 1}},
};

}  // namespace

TEST_F(WorkModeRulesTest, EachWorkModeShowsItsRowsTabsAndHeights) {
  for (const WorkModeCase& c : kWorkModeCases) {
    const std::string where = "M=" + std::to_string(c.mode) +
                              " D=" + std::to_string(c.deviceModel) +
                              " R=" + std::to_string(c.registration);
    Select("Protocolmodel", c.mode);
    Select("DeviceModel", c.deviceModel);
    Select("RegistrationAndHeart", c.registration);
    Invert(kWorkModeRows, c.shown);
    for (int i = 0; i < tabs.size(); ++i) tabs[i].shown = !c.serverIoWireless;
    RunRule(0);
    ExpectRows(kWorkModeRows, c.shown, where);
    for (int tab : {kServerTab, kIOTab, kWirelessTab})
      EXPECT_EQ(tabs[tab].shown, c.serverIoWireless) << where << " tab " << tab;
    for (int tab : {kGlobalTab, kEquimentTab})
      EXPECT_EQ(tabs[tab].shown, c.globalEquiment) << where << " tab " << tab;
    EXPECT_EQ(tabs[kWorkModeTab].shown, !c.serverIoWireless) << "not a flag of this rule";
    EXPECT_EQ(Height("ModeGroupBox"), c.modeHeight) << where;
    for (const char* box : {"serialGroupbox", "serial2Groupbox", "serial3Groupbox"})
      EXPECT_EQ(Height(box), c.serialHeight) << where << " " << box;
    EXPECT_EQ(TakeQueued(), c.posts) << where;
  }
}

TEST_F(WorkModeRulesTest, NoWorkModeOrAnUnknownOneOnlySetsTheDefaultHeightsAndTheModelRows) {
  for (int mode : {-1, 10}) {
    Select("Protocolmodel", mode);
    ASSERT_EQ(Selected("Protocolmodel"), mode);
    std::set<std::string> pattern = {"ModeHorizontalLayout1", "ServerTab", "HttpLayout"};
    Invert(kWorkModeRows, pattern);
    tabs[kServerTab].shown = false;
    SetVisible("IO4GroupBox", true);
    RunRule(0);
    for (const std::string& row : kWorkModeRows)
      EXPECT_EQ(Visible(row), !pattern.count(row)) << mode << ": " << row << " untouched";
    EXPECT_FALSE(tabs[kServerTab].shown) << "untouched";
    EXPECT_EQ(Height("ModeGroupBox"), 60);
    EXPECT_EQ(Height("serial3Groupbox"), 110);
    EXPECT_FALSE(Visible("IO4GroupBox")) << "the model rows apply";
    EXPECT_TRUE(TakeQueued().empty());
  }
}

TEST_F(WorkModeRulesTest, WithoutTheWorkModeListNothingHappens) {
  RuleFixture bare(std::string(DTU_TEST_DATA_DIR) + "/skins/tabs");
  ASSERT_TRUE(bare.loaded);
  bare.tabs[kServerTab].shown = false;
  bare.facts.fiveDioModel = true;
  bare.RunRule(0);
  EXPECT_FALSE(bare.tabs[kServerTab].shown);
  EXPECT_EQ(bare.params.at("DIO3 workmode").atCommand, "AT+DIOWORKMODE3") << "no model rows";
}

TEST_F(WorkModeRulesTest, ModelRowsFollowTheModelAndTheDeviceType) {
  struct Case {
    bool fiveDio;
    const char* deviceType;
    bool serial2, serial3, io4, io5;
    const char* rs232;
    const char* adc;
    std::vector<int> posts;
  };
  const Case cases[] = {
      {true, "Zr350V3", false, true, true, true, "RS232", "ADC1", {20, 21}},
      {false, "ZR350-V2", true, false, false, false, "RS232-1", "ADC", {}},
      // Only a "V2" after the first character counts.
      {false, "V2-ZR350", true, true, false, false, "RS232-1", "ADC", {}},
      {false, "", true, true, false, false, "RS232-1", "ADC", {}},
      // A five-line model never hides the third serial box.
      {true, "ZR350-V2", false, true, true, true, "RS232", "ADC1", {20, 21}},
  };
  for (const Case& c : cases) {
    facts.fiveDioModel = c.fiveDio;
    facts.deviceTypeText = c.deviceType;
    Select("Protocolmodel", -1);
    for (const char* row : {"serial2Groupbox", "serial3Groupbox", "IO4GroupBox", "IO5GroupBox"})
      SetVisible(row, true);
    SetVisible("serial2Groupbox", !c.serial2);
    RunRule(0);
    const std::string where = std::string(c.deviceType) + (c.fiveDio ? " five" : " three");
    EXPECT_EQ(Visible("serial2Groupbox"), c.serial2) << where;
    EXPECT_EQ(Visible("serial3Groupbox"), c.serial3) << where;
    EXPECT_EQ(Visible("IO4GroupBox"), c.io4) << where;
    EXPECT_EQ(Visible("IO5GroupBox"), c.io5) << where;
    EXPECT_EQ(C("RS232-1").Text(), c.rs232) << where;
    EXPECT_EQ(C("ADC1").Text(), LanguageText("DIO Type", c.adc, "")) << where;
    EXPECT_EQ(params.at("DIO3 workmode").atCommand,
              c.fiveDio ? "AT+DIOWORKMODE4" : "AT+DIOWORKMODE3")
        << where;
    EXPECT_EQ(TakeQueued(), c.posts) << where;
  }
}

TEST_F(WorkModeRulesTest, RebindingTheThirdLineKeepsTheFlagsItsRowsGaveIt) {
  // Line 3 in use as "disabled": its rows are hidden and must stay unwritten after a work-mode
  // change rebinds them.
  Select("DIO3 workmode", 0);
  RunRule(9);
  ASSERT_FALSE(Active("DIO3 protocol"));
  for (bool fiveDio : {true, false}) {
    facts.fiveDioModel = fiveDio;
    RunRule(0);
    EXPECT_FALSE(Active("DIO3 protocol")) << fiveDio;
    EXPECT_FALSE(Active("DIO3 ADCType")) << fiveDio;
    EXPECT_TRUE(Active("DIO3 workmode")) << fiveDio;
  }
  EXPECT_EQ(params.at("DIO3 protocol").atCommand, "AT+DIOPRO3");
}

TEST_F(WorkModeRulesTest, DebugLevelZeroHidesTheDebugPort) {
  const std::pair<int, bool> cases[] = {{0, false}, {1, true}, {2, true}, {-1, true}};
  for (const auto& [index, shown] : cases) {
    Select("Debug Level", index);
    SetVisible("DebugHorizontalLayout1", !shown);
    RunRule(2);
    EXPECT_EQ(Visible("DebugHorizontalLayout1"), shown) << index;
    EXPECT_EQ(Active("Debugging  port"), shown) << index;
  }
}

TEST_F(WorkModeRulesTest, ServerCountShowsItsServersTextsAndHeights) {
  struct Case {
    int index;  // item texts are "0" to "6"
    const char* deviceType;
    std::vector<int> shown;
    const char* title;
    const char* label;
    int height, height2;
  };
  const char* title1 = "ServerTitle1";
  const char* label1 = "Server's Label1";
  const char* title2 = "ServerTitle2";
  const char* label2 = "Server's Label2";
  const Case cases[] = {
      {0, "Zr750-G", {6}, title1, label1, 60, 110},
      {1, "", {0, 1, 6}, title1, label1, 110, 110},
      {2, "", {0, 2}, title2, label2, 110, 85},
      {3, "", {0, 2, 3}, title2, label2, 135, 85},
      {4, "", {0, 2, 3, 4}, title2, label2, 160, 85},
      {5, "", {0, 2, 3, 4, 5}, title2, label2, 185, 85},
  };
  for (const Case& c : cases) {
    params.at("Device Type").value = c.deviceType;
    SelectText("Server Count", std::to_string(c.index));
    for (int i = 0; i <= 6; ++i) {
      const bool shown = std::find(c.shown.begin(), c.shown.end(), i) != c.shown.end();
      SetVisible("ServiceHorizontalLayout" + std::to_string(i), !shown);
    }
    RunRule(3);
    for (int i = 0; i <= 6; ++i) {
      const std::string row = "ServiceHorizontalLayout" + std::to_string(i);
      const bool shown = std::find(c.shown.begin(), c.shown.end(), i) != c.shown.end();
      EXPECT_EQ(Visible(row), shown) << c.index << " " << row;
      if (i == 6) continue;  // a row without catalogue rows
      for (const std::string& p : Entry(row).params) EXPECT_EQ(Active(p), shown) << p;
    }
    EXPECT_EQ(C("ServerTitle").Text(), LanguageText("ModeTabItemChange", c.title, "")) << c.index;
    EXPECT_EQ(C("Server's Label").Text(), LanguageText("ModeTabItemChange", c.label, ""))
        << c.index;
    EXPECT_EQ(Height("ServiceGroupBox"), c.height) << c.index;
    EXPECT_EQ(Height("ServiceGroupBox2"), c.height2) << c.index;
    EXPECT_TRUE(messages.empty());
  }
}

TEST_F(WorkModeRulesTest, AnUnknownServerCountOnlySetsTheDefaultHeights) {
  for (const char* count : {"6", ""}) {
    if (*count)
      SelectText("Server Count", count);
    else
      Select("Server Count", -1);
    C("ServerTitle").SetText("unchanged");
    SetVisible("ServiceHorizontalLayout3", true);
    SetVisible("ServiceHorizontalLayout0", false);
    RunRule(3);
    EXPECT_EQ(C("ServerTitle").Text(), "unchanged") << count;
    EXPECT_TRUE(Visible("ServiceHorizontalLayout3"));
    EXPECT_FALSE(Visible("ServiceHorizontalLayout0"));
    EXPECT_EQ(Height("ServiceGroupBox"), 60);
    EXPECT_EQ(Height("ServiceGroupBox2"), 110);
  }
}

TEST_F(WorkModeRulesTest, NoServersOnADeviceOtherThanZr750WarnsAndFallsBackToOneServer) {
  params.at("Device Type").value = "ZR350-V2";
  SelectText("Server Count", "1");
  SetVisible("ServiceHorizontalLayout3", true);
  ASSERT_EQ(Combo("Server Count").ItemText(0), "0");
  Choose("Server Count", 0);  // the user picks "0"
  ASSERT_EQ(Queued(), std::vector<int>{3});
  const std::vector<int> ran = Drain();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], LanguageText("Notify", "ServerCount", ""));
  EXPECT_FALSE(messages[0].empty());
  // The list went back to item 1, which ran the rule once more.
  EXPECT_EQ(ran, (std::vector<int>{3, 3}));
  EXPECT_EQ(Selected("Server Count"), 1);
  EXPECT_FALSE(Visible("ServiceHorizontalLayout3"));
  EXPECT_TRUE(Visible("ServiceHorizontalLayout1"));
  EXPECT_EQ(Height("ServiceGroupBox"), 110);
}

TEST_F(WorkModeRulesTest, NoServersWarningChangesNoRowBeforeTheListMovesOn) {
  params.at("Device Type").value = "";
  SelectText("Server Count", "0");
  SetVisible("ServiceHorizontalLayout6", false);
  SetGroupHeight(window, "ServiceGroupBox", 999);
  RunRule(3);
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_FALSE(Visible("ServiceHorizontalLayout6"));
  EXPECT_EQ(Height("ServiceGroupBox"), 999);
  EXPECT_EQ(TakeQueued(), std::vector<int>{3}) << "the list's own notification";
}

TEST_F(WorkModeRulesTest, OptionRowsFollowTheirListsAndSizeTheirGroups) {
  struct Case {
    int rule;
    const char* list;
    const char* row;
    const char* group;
    int index;
    bool shown;
    int height;
  };
  const Case cases[] = {
      {4, "LCP ECHO", "GlobalHorizontalLayout1", "PPPGroupBox", 0, false, 60},
      {4, "LCP ECHO", "GlobalHorizontalLayout1", "PPPGroupBox", 1, true, 85},
      {4, "LCP ECHO", "GlobalHorizontalLayout1", "PPPGroupBox", -1, true, 85},
      {5, "EXFUN", "GlobalHorizontalLayout2", "ICMPGroupBox", 0, false, 60},
      {5, "EXFUN", "GlobalHorizontalLayout2", "ICMPGroupBox", 1, true, 110},
      {5, "EXFUN", "GlobalHorizontalLayout2", "ICMPGroupBox", -1, true, 110},
      {6, "dtu is connect to dtu manage platform", "EquimentLayout1", "DtumanageGroupBox", 0, false,
       60},
      {6, "dtu is connect to dtu manage platform", "EquimentLayout1", "DtumanageGroupBox", 1, true,
       110},
      {6, "dtu is connect to dtu manage platform", "EquimentLayout1", "DtumanageGroupBox", -1, true,
       110},
      {14, "DTU SMS configure fun", "EquimentLayout2", "DtumanageGroupBox1", 0, false, 60},
      {14, "DTU SMS configure fun", "EquimentLayout2", "DtumanageGroupBox1", 1, true, 110},
      {14, "DTU SMS configure fun", "EquimentLayout2", "DtumanageGroupBox1", 2, false, 60},
      {14, "DTU SMS configure fun", "EquimentLayout2", "DtumanageGroupBox1", -1, false, 60},
  };
  for (const Case& c : cases) {
    Select(c.list, c.index);
    SetVisible(c.row, !c.shown);
    RunRule(c.rule);
    const std::string where = std::to_string(c.rule) + " index " + std::to_string(c.index);
    EXPECT_EQ(Visible(c.row), c.shown) << where;
    for (const std::string& p : Entry(c.row).params) EXPECT_EQ(Active(p), c.shown) << where;
    EXPECT_EQ(Height(c.group), c.height) << where;
    EXPECT_TRUE(TakeQueued().empty());
  }
}

TEST_F(WorkModeRulesTest, LoraModeAndVersionGiveTheLoraRowsAndHeight) {
  struct Case {
    int mode;  // 0 "TRNS", 1 "FIXED", -1 none
    const char* version;
    bool taddr, pid, power;
    int height;
  };
  const Case cases[] = {
      {0, "", true, true, true, 260},
      {1, "", false, true, true, 235},
      {0, "LoRa v1.2", true, false, true, 235},
      {1, "LoRa v1.2", false, false, true, 210},
      {0, "RL47KW-A v1", true, false, false, 210},
      {1, "RL47KW-A v1", false, false, false, 185},
      {0, "RL47KW-A V2", true, true, false, 235},
      {-1, "", false, true, true, 235},
  };
  for (const Case& c : cases) {
    facts.loraVersionText = c.version;
    if (c.mode == 0) SelectText("LORA Mode", "TRNS");
    if (c.mode == 1) SelectText("LORA Mode", "FIXED");
    if (c.mode < 0) Select("LORA Mode", -1);
    for (const char* row : {"LoraLayout", "LoraPID", "LoraPower"}) SetVisible(row, false);
    SetVisible("LoraType", true);
    RunRule(17);
    const std::string where = std::to_string(c.mode) + " " + c.version;
    EXPECT_EQ(Visible("LoraLayout"), c.taddr) << where;
    EXPECT_EQ(Active("LORA TAddr"), c.taddr) << where;
    EXPECT_EQ(Visible("LoraPID"), c.pid) << where;
    EXPECT_EQ(Visible("LoraPower"), c.power) << where;
    EXPECT_FALSE(Visible("LoraType")) << where;
    EXPECT_FALSE(Active("LORA typ")) << where;
    EXPECT_EQ(Height("LoraGroupBox"), c.height) << where;
  }
}
