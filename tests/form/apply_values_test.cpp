// Putting the catalogue's values on a real form: the item each drop-down list gets, the module
// tabs, the routing arrows, the rules posted, and the notifications raised on the way.
#include "form/apply_values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "form/line_state.h"
#include "ui/skin_window.h"

namespace {

const std::string kFixture = std::string(DTU_TEST_DATA_DIR) + "/form_values";

// Notifications and posted rules in the order they happen.
struct EventLog : NotifySink {
  void Notify(const Notification& n) override {
    if (n.type == "itemselect") events.push_back("itemselect " + n.sender->Name());
  }
  std::vector<std::string> events;
};

class ApplyValuesTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window_.Load()) << window_.LoadError();
    BuildParamTable(params_, lists_, window_);
  }

  void Apply() {
    ApplyValuesToForm(window_, params_, lists_, tabs_, facts_, [this](int rule, int argument) {
      log_.events.push_back("rule " + std::to_string(rule) + "," + std::to_string(argument));
    });
  }
  void ClearValues() {
    for (auto& [name, row] : params_) row.value.clear();
  }
  ComboControl& Combo(const std::string& name) {
    ComboControl* combo = window_.FindCombo(name);
    EXPECT_NE(combo, nullptr) << name;
    return *combo;
  }

  EventLog log_;
  SkinWindow window_{kFixture, nullptr, &log_};
  ParamTable params_;
  ListParamTable lists_;
  TabTable tabs_;
  DeviceFacts facts_;
};

struct ComboCase {
  const char* row;
  const char* value;
  int before;    // the selection the list has before the values are applied
  int expected;  // the selection after; == before where the rule leaves the list alone
  bool fiveDio = false;
};

// The rules of every kind of list, with the values at their edges.
const ComboCase kComboCases[] = {
    {"Protocolmodel", "MQTT", 2, 8},
    {"Protocolmodel", "CUST", 2, 9},
    {"Protocolmodel", "-1", 2, -1},
    {"Protocolmodel", "GPRS", 2, -1},  // neither an item text nor a work mode
    {"DeviceModel", "SVR", 0, 1},
    {"DeviceModel", "-1", 0, -1},
    {"DeviceModel", "svr", 0, 0},  // case matters; unknown words change nothing
    {"ActivateMethod", "DIO", 0, 5},
    {"ActivateMethod", "-1", 0, -1},
    {"ActivateMethod", "auto", 3, 3},
    {"EXFUN", "3", -1, 1},
    {"EXFUN", "0", 1, 0},
    {"EXFUN", "2", 1, 1},
    {"net mode", "5", 0, 2},
    {"net mode", "0", 3, 0},
    {"net mode", "2", 3, 3},
    {"net mode", "-4", 3, 3},
    {"A serial port binding center", "16", 0, 5},
    {"A serial 2 port binding center", "255", 0, 6},
    {"RS485 port binding center", "3", 2, 2},
    {"RS485 port binding center", "0", 2, 0},
    {"ZigBee_RFchannel", "11", 5, 0},
    {"ZigBee_RFchannel", "26", 5, 15},
    {"ZigBee_RFchannel", "", 5, -1},  // 0 - 11 clears the list
    {"LORA Rate", "", 2, -1},
    {"LORA Rate", "3", 0, 2},
    {"LORA typ", "", 1, 1},
    {"LORA typ", "2", 0, 1},
    {"Debugging  port", "3", 0, 2},
    {"ActivationInterface", "1", 2, 0},
    {"Debug Level", "3", 0, 3},
    {"Debug Level", "abc", 2, 0},  // not a number: 0
    {"Debug Level", "", 2, 2},
    {"Debug Level", "40", 0, 3},  // past the end: the last item
    {"Debug Level", " +2x", 0, 2},
    {"Debug Level", "-5", 2, -1},
    {"Debug Level", "99999999999999999999", 0, 3},  // clamped, still the last item
    {"GPS work mode", "2", 0, 2},
    {"DIO1 workmode", "2", 0, 2},
    {"DIO1 workmode", "5", 2, 0},
    {"DIO1 workmode", "4", 2, 0},
    {"DIO2 workmode", "6", 0, 4},
    {"DIO4 workmode", "3", 0, 3},
    {"DIO3 workmode", "6", 0, 4, true},
    {"DIO3 workmode", "6", 0, 1, false},
    {"DIO3 workmode", "2", 1, 0, false},
    {"DIO5 workmode", "6", 0, 1},
    {"DIO5 workmode", "3", 1, 0},
    {"I/O1 Mode", "4", 0, 1},
    {"I/O2 Mode", "5", 0, 2},
    {"I/O1 Mode", "1", 2, 0},
    {"Serial Baudrate", "115200", 0, 7},
    {"Serial Baudrate", "300", 3, -1},
    {"RS485 port commu mode", "8E1", 0, 1},
    {"DIO1 interface", "GPRS&SMS", 0, 2},
    {"DIO1 interface", "gprs", 0, -1},
    {"The PPP authentication", "CHAP", 0, 2},
    {"Transferprotocol", "UDP", 0, 1},
    {"LORA Mode", "BCAST", 0, 2},
    {"LORA Mode", "", 1, -1},
};

}  // namespace

TEST_F(ApplyValuesTest, EachListGetsTheItemItsRuleGivesForTheValue) {
  for (const ComboCase& c : kComboCases) {
    ClearValues();
    params_.at(c.row).value = c.value;
    facts_.fiveDioModel = c.fiveDio;
    Combo(c.row).SelectItem(c.before);
    ASSERT_EQ(Combo(c.row).CurSel(), c.before) << c.row;
    Apply();
    EXPECT_EQ(Combo(c.row).CurSel(), c.expected)
        << '"' << c.row << "\" \"" << c.value << "\" five-DIO " << c.fiveDio;
  }
}

TEST_F(ApplyValuesTest, IoSelectionFollowsTheLineWhoseWorkModeIsFour) {
  struct Case {
    std::vector<std::pair<const char*, const char*>> modes;
    bool fiveDio;
    int expected;
  };
  const Case cases[] = {
      {{{"DIO2 workmode", "4"}}, false, 1},
      {{{"DIO5 workmode", "4"}}, true, 4},
      {{{"DIO3 workmode", "4"}, {"DIO1 workmode", "4"}}, true, 0},  // the first line wins
      // No activation line: the list shows none rather than an earlier device's choice.
      {{{"DIO5 workmode", "4"}}, false, -1},   // a three-line model never looks at line 5
      {{{"DIO1 workmode", "04"}}, false, -1},  // exactly "4", not the number 4
      {{}, true, -1},
  };
  for (const Case& c : cases) {
    ClearValues();
    for (auto [row, mode] : c.modes) params_.at(row).value = mode;
    facts_.fiveDioModel = c.fiveDio;
    Combo("I/O selection").SelectItem(3);
    Apply();
    EXPECT_EQ(Combo("I/O selection").CurSel(), c.expected)
        << (c.modes.empty() ? "none" : c.modes.front().first);
  }
}

TEST_F(ApplyValuesTest, DeviceTypeOffersOneModulePageAndIsKeptWithTheLoraVersion) {
  struct Case {
    const char* deviceType;
    bool lora, zigbee, gps;
  };
  const Case cases[] = {
      {"ZR350-L", true, false, false},    {"ZR350-L-Z", true, false, false},
      {"ZR350-Z", false, true, false},    {"ZR350-Z Zr750", false, true, false},
      {"Zr750", false, false, true},      {"", false, false, false},
      {"ZR350-5IO", false, false, false}, {"zr750", false, false, false},
  };
  for (const Case& c : cases) {
    params_.at("Device Type").value = c.deviceType;
    params_.at("LORA ver").value = std::string("v-") + c.deviceType;
    Apply();
    EXPECT_EQ(tabs_[kLoraTab].shown, c.lora) << c.deviceType;
    EXPECT_EQ(tabs_[kZigbeeTab].shown, c.zigbee) << c.deviceType;
    EXPECT_EQ(tabs_[kGPSTab].shown, c.gps) << c.deviceType;
    EXPECT_EQ(facts_.deviceTypeText, c.deviceType);
    EXPECT_EQ(facts_.loraVersionText, std::string("v-") + c.deviceType);
    // The other tabs are not the device type's business.
    EXPECT_TRUE(tabs_[kWorkModeTab].shown && tabs_[kModbusTab].shown);
  }
}

TEST_F(ApplyValuesTest, RoutingArrowsShowTheBitsOfTheirMask) {
  params_.at("EL transmit channel").value = "49";  // bits 0, 4, 5
  params_.at("EL transmit channel_Z").value = "2";
  params_.at("EL transmit channel_G").value = "12";  // bits 2, 3
  SetLineState(window_, "COM2Lora", true);
  Apply();
  const std::pair<const char*, bool> expected[] = {
      {"Lora2COM", true},    {"COM2Lora", false},  {"Lora2GPRS", true},    {"GPRS2Lora", true},
      {"Zigbee2COM", false}, {"COM2Zigbee", true}, {"Zigbee2GPRS", false}, {"GPRS2Zigbee", false},
      {"GPS2COM", false},    {"COM2GPS", false},   {"GPS2GPRS", false},    {"GPRS2GPS", false},
      {"GPRS2COM", true},    {"COM2GPRS", true},
  };
  for (auto [arrow, on] : expected) EXPECT_EQ(GetLineState(window_, arrow), on) << arrow;
  EXPECT_EQ(window_.Find("Lora2COM")->BkImage(), "arrow_right_enable.png");
  EXPECT_EQ(window_.Find("COM2Lora")->BkImage(), "arrow_right_disable.png");
}

TEST_F(ApplyValuesTest, EditsGetTheValueAsItIs) {
  params_.at("Access Point Name").value = "cmnet";
  params_.at("Server's Ip").value = "";
  window_.Find("Server's Ip")->SetText("old");
  Apply();
  EXPECT_EQ(window_.Find("Access Point Name")->Text(), "cmnet");
  EXPECT_EQ(window_.Find("Server's Ip")->Text(), "");
}

TEST_F(ApplyValuesTest, RulesOneAndSeventeenArePostedAfterEverySelection) {
  params_.at("Protocolmodel").value = "MQTT";
  params_.at("LORA Mode").value = "FIXED";
  Apply();
  ASSERT_GE(log_.events.size(), 4u);
  EXPECT_NE(std::find(log_.events.begin(), log_.events.end(), "itemselect Protocolmodel"),
            log_.events.end());
  const std::vector<std::string> last(log_.events.end() - 2, log_.events.end());
  EXPECT_EQ(last, (std::vector<std::string>{"rule 1,0", "rule 17,0"}));
}

TEST_F(ApplyValuesTest, ApplyingTheSameValuesAgainRaisesNoSelection) {
  params_.at("Protocolmodel").value = "TRNS";
  params_.at("net mode").value = "6";
  params_.at("DIO1 workmode").value = "2";
  Apply();
  const auto count = [this] {
    return std::count_if(log_.events.begin(), log_.events.end(),
                         [](const std::string& e) { return e.starts_with("itemselect"); });
  };
  EXPECT_GE(count(), 3);
  log_.events.clear();
  Apply();
  // The sensor list is rebuilt on every apply: its new items are the only ones that may select.
  for (const std::string& e : log_.events) {
    if (e.starts_with("itemselect")) {
      EXPECT_TRUE(e.starts_with("itemselect SensorCfg_")) << e;
    }
  }
}

TEST_F(ApplyValuesTest, MissingControlsAndAnEmptyTableChangeNothingElse) {
  ParamTable onlyMissing;
  onlyMissing["No such list"] = {"AT+X", "3", "", true, "Combobox", 0};
  onlyMissing["No such edit"] = {"AT+Y", "3", "", true, "Edit", 0};
  Combo("Debug Level").SelectItem(2);
  ApplyValuesToForm(window_, onlyMissing, {}, tabs_, facts_, nullptr);
  EXPECT_EQ(Combo("Debug Level").CurSel(), 2);
}

TEST(LineState, SwitchesTheWordInTheImageNameOnly) {
  EventLog log;
  SkinWindow window(kFixture, nullptr, &log);
  ASSERT_TRUE(window.Load());
  Control* arrow = window.Find("Lora2COM");
  const std::pair<const char*, bool> toggles[] = {{"enable", true}, {"disable", false}};
  for (auto [word, on] : toggles) {
    SetLineState(window, "Lora2COM", on);
    EXPECT_EQ(arrow->BkImage(), std::string("arrow_right_") + word + ".png");
    EXPECT_EQ(GetLineState(window, "Lora2COM"), on);
  }
  arrow->SetBkImage("enable/x_enable_enable.png");
  SetLineState(window, "Lora2COM", false);
  EXPECT_EQ(arrow->BkImage(), "disable/x_disable_disable.png");

  arrow->SetBkImage("arrow.png");  // neither word: nothing to switch
  SetLineState(window, "Lora2COM", true);
  EXPECT_EQ(arrow->BkImage(), "arrow.png");
  EXPECT_FALSE(GetLineState(window, "Lora2COM"));

  EXPECT_FALSE(GetLineState(window, "No such arrow"));
  SetLineState(window, "No such arrow", true);
}

TEST(LeadingNumber, ReadsTheLeadingDecimalInteger) {
  const std::pair<const char*, int> cases[] = {
      {"", 0},
      {"abc", 0},
      {"12", 12},
      {"  7x", 7},
      {"\t-3", -3},
      {"+5", 5},
      {"- 5", 0},
      {"0049", 49},
      {"2147483647", 2147483647},
      {"2147483648", 2147483647},
      {"-99999999999999999999999", -2147483647 - 1},
  };
  for (auto [text, number] : cases) EXPECT_EQ(LeadingNumber(text), number) << '"' << text << '"';
}
