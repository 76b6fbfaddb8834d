// Rules posted by rules: the cascades settle, run exactly the rules their posts imply, and leave
// every catalogue row active exactly when the rows that govern it are shown.
#include <gtest/gtest.h>

#include <map>

#include "rule_fixture.h"

namespace {

class RuleCascadeTest : public testing::Test, public RuleFixture {
 protected:
  void SetUp() override { ASSERT_TRUE(loaded) << window.LoadError(); }

  // Brings the form to a work mode and activation as a read would leave them.
  void Settle(int mode, int device, int registration, int method, int by) {
    Select("Protocolmodel", mode);
    Select("DeviceModel", device);
    Select("RegistrationAndHeart", registration);
    Select("ActivateMethod", method);
    Select("IOactivationmethods", by);
    Select("Server Count", 1);
    Post(0, 0);
    Post(1, 0);
    Post(17, 0);
    const std::vector<int> ran = Drain(500);
    ASSERT_TRUE(queue.empty()) << "the cascade does not settle";
    ASSERT_LT(ran.size(), 60u);
  }

  // For each catalogue row the row table governs: the rows that list it, or switch it off when
  // they are hidden. It should be active exactly when all of them are shown.
  std::map<std::string, std::vector<std::string>> Governing() {
    std::map<std::string, std::vector<std::string>> governing;
    for (const RowEntry& entry : RowEntries()) {
      for (const auto* list : {&entry.params, &entry.inactiveWhenHidden})
        for (const std::string& p : *list) governing[p].push_back(entry.row);
    }
    return governing;
  }
};

}  // namespace

TEST_F(RuleCascadeTest, AWorkModeChangeRunsTheRulesOfTheGroupsItShows) {
  SelectText("DIO1 workmode", LanguageText("DIO workmode", "Text2", ""));
  Settle(0, 0, 0, 0, 0);
  Choose("Protocolmodel", 1);
  ASSERT_EQ(Queued(), std::vector<int>{0});
  // Work mode: the management, activation and server groups are shown (6, 1, 3); the
  // activation shows the three I/O lines (7, 8, 9).
  EXPECT_EQ(Drain(), (std::vector<int>{0, 6, 1, 3, 7, 8, 9}));

  facts.fiveDioModel = true;
  Choose("Protocolmodel", 0);
  // Five lines: lines 4 and 5 are shown with the model rows (20, 21).
  EXPECT_EQ(Drain(), (std::vector<int>{0, 6, 1, 3, 20, 21, 7, 8, 9}));

  // A work mode without activation, management or servers posts nothing beyond the rule.
  facts.fiveDioModel = false;
  Choose("Protocolmodel", 4);
  EXPECT_EQ(Drain(), (std::vector<int>{0, 3}));
}

TEST_F(RuleCascadeTest, AReadRunsTheRulesItsSelectionsAndPostsImplyAndNoMore) {
  // What applying a read does: the lists whose selection changes notify, in catalogue order,
  // then rules 1 and 17 are posted.
  ASSERT_EQ(Selected("ActivateMethod"), -1);
  ASSERT_EQ(Selected("Protocolmodel"), -1);
  Choose("ActivateMethod", 4);  // mixed activation: posts 17 and 18 and shows line 3
  Choose("DIO1 workmode", 1);
  Choose("I/O1 Mode", 1);
  Choose("LORA Mode", 1);
  Choose("Protocolmodel", 0);
  Choose("Server Count", 2);
  Post(1, 0);
  Post(17, 0);
  ASSERT_EQ(Queued(), (std::vector<int>{1, 7, 19, 17, 0, 3, 1, 17}));
  const std::vector<int> ran = Drain();
  EXPECT_EQ(ran, (std::vector<int>{1, 7,  19, 17, 0, 3, 1, 17,  // the read's posts
                                   9, 17, 18,                   // rule 1
                                   6, 1,  3,                    // rule 0
                                   9, 17, 18,                   // the first rule 1 of rule 0
                                   8,                           // rule 18 shows line 2
                                   9, 17, 18,                   // the second rule 1
                                   8, 8}));
  EXPECT_EQ(ran.size(), 23u);
  EXPECT_TRUE(messages.empty());
  // Mixed activation with I/O1 in use: line 1 hidden, line 2 and 3 shown.
  EXPECT_FALSE(Visible("IO1GroupBox"));
  EXPECT_TRUE(Visible("IO2GroupBox"));
  EXPECT_TRUE(Visible("IO3GroupBox"));
  EXPECT_EQ(Height("LoraGroupBox"), 235);
}

TEST_F(RuleCascadeTest, ActivationByIoSelectionPostsTheSelectionRuleTwice) {
  Select("Protocolmodel", 3);
  Select("ActivateMethod", 5);
  Select("I/O selection", 1);
  Select("IOactivationmethods", 2);
  Choose("IOactivationmethods", 0);
  // The dispatcher posts 1 then 10; rule 1 shows row 5 (10) and posts 10 itself.
  EXPECT_EQ(Drain(), (std::vector<int>{1, 10, 10, 10, 7, 9, 7, 9, 7, 9}));
  EXPECT_FALSE(Visible("IO2GroupBox"));

  for (int k = 1; k <= 3; ++k) SelectText("I/O" + std::to_string(k) + " control", "None");
  Choose("IOactivationmethods", 1);
  EXPECT_EQ(Drain(), (std::vector<int>{1, 11, 12, 13, 11, 12, 13, 7, 8, 9, 7, 8, 9}));
  EXPECT_TRUE(Visible("IO2GroupBox"));
}

TEST_F(RuleCascadeTest, EveryCatalogueRowIsActiveExactlyWhenItsRowsAreShown) {
  struct Mode {
    int mode, device, registration;
  };
  const Mode modes[] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}, {5, 0, 0},
                        {6, 0, 0}, {7, 0, 0}, {8, 0, 0}, {9, 0, 1}, {9, 0, 0}, {9, 1, 0}};
  const std::pair<int, int> activations[] = {{0, 0}, {1, 0}, {2, 0}, {3, 0},
                                             {4, 0}, {5, 0}, {5, 1}};
  const auto governing = Governing();
  // Lines in several work modes, with I/O lines in use, so that hidden rows are about.
  const char* lineModes[] = {"Text2", "Text3", "Text5", "Text4", "Text1"};
  for (int line = 1; line <= 5; ++line)
    SelectText("DIO" + std::to_string(line) + " workmode",
               LanguageText("DIO workmode", lineModes[line - 1], ""));
  Select("I/O selection", 2);
  Select("I/O1 control", 3);
  Select("I/O1 Mode", 1);
  Select("dtu is connect to dtu manage platform", 0);
  for (bool fiveDio : {false, true}) {
    facts.fiveDioModel = fiveDio;
    for (const Mode& m : modes) {
      for (const auto& [method, by] : activations) {
        Settle(m.mode, m.device, m.registration, method, by);
        const std::string where =
            std::string(fiveDio ? "five" : "three") + " M=" + std::to_string(m.mode) +
            " D=" + std::to_string(m.device) + " R=" + std::to_string(m.registration) +
            " A=" + std::to_string(method) + " B=" + std::to_string(by);
        for (const auto& [param, rows] : governing) {
          bool shown = true;
          for (const std::string& row : rows) shown = shown && Visible(row);
          EXPECT_EQ(Active(param), shown) << where << ": " << param;
        }
      }
    }
  }
}

TEST_F(RuleCascadeTest, AReadInAWorkModeWithoutActivationKeepsTheActivationRowsAndIoTabOff) {
  for (int mode : {3, 4, 5}) {
    Settle(0, 0, 0, 1, 0);  // SMS activation: rows 1, 6.1, 6.1.2 and 8 in use
    ASSERT_TRUE(Active("SMSActivationNO."));
    // The read: the work mode changes, then rule 1 comes last as applying values posts it.
    Choose("Protocolmodel", mode);
    Post(1, 0);
    Post(17, 0);
    Drain();
    EXPECT_FALSE(Visible("ActivateGroupBox")) << mode;
    EXPECT_FALSE(Active("SMSActivationNO.")) << mode;
    EXPECT_FALSE(Active("Sms Daemon Password") && !Visible("ActivateHorizontalLayout6.1.2"));
    EXPECT_FALSE(Visible("IOTab")) << mode;
    EXPECT_FALSE(tabs[kIOTab].shown) << mode << ": the I/O page is not written";
  }
}

TEST(RuleSkinsTest, EveryDioWorkModeItemOfBothSkinsIsAWorkModeOfItsLanguageFile) {
  // The line rules match the selected item's text against the language file: an item that
  // matches nothing would show no rows at all.
  for (const char* skin : {"ConifgENRes", "ConifgRes"}) {
    const std::string dir = std::string(DTU_SKIN_ROOT) + "/" + skin;
    RuleFixture f(dir, dir + "/Language.ini");
    ASSERT_TRUE(f.loaded) << skin;
    std::set<std::string> texts;
    for (int k = 1; k <= 5; ++k)
      texts.insert(LanguageText("DIO workmode", "Text" + std::to_string(k), ""));
    for (int line = 1; line <= 5; ++line) {
      const std::string list = "DIO" + std::to_string(line) + " workmode";
      ComboControl& combo = f.Combo(list);
      ASSERT_GT(combo.ItemCount(), 1) << skin << " " << list;
      for (int i = 0; i < combo.ItemCount(); ++i)
        EXPECT_TRUE(texts.count(combo.ItemText(i)))
            << skin << " " << list << ": " << combo.ItemText(i);
      // The last item (not "Text1") decides a height of more than the work-mode row.
      f.Select(list, combo.ItemCount() - 1);
      f.RunRule(line <= 3 ? 6 + line : 16 + line);  // 7, 8, 9, 20, 21
      EXPECT_GT(f.Height("IO" + std::to_string(line) + "GroupBox"), 60) << skin << " " << list;
    }
  }
}
