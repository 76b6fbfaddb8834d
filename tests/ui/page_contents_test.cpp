// The pages of both shipped skins hold what the program's logic addresses by name: every
// catalogue control with its kind on its page, the rows and cards the visibility rules switch,
// the routing arrows with both looks, and drop-down lists the read and save rules can use.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/catalogue_rows.h"
#include "form/pages.h"
#include "texts/language.h"
#include "ui/skin_window.h"
#include "ui_test_support.h"

namespace {

const char* const kSkins[] = {"ConifgENRes", "ConifgRes"};

// Rows and cards the visibility rules show, hide, resize or relabel, besides the "IOLayout"
// rows of the five lines.
const char* const kRuleRows[] = {
    "ModeHorizontalLayout1",
    "ModeHorizontalLayout1.1",
    "ModeHorizontalLayout1.2",
    "ModeLayout1.1",
    "ModeLayout1.2",
    "ModeHorizontalLayout2",
    "ModeHorizontalLayout3",
    "ModeHorizontalLayout4",
    "ModeHorizontalLayout5",
    "ModeHorizontalLayout6",
    "ModeHorizontalLayout7",
    "ModeHorizontalLayout8",
    "ModeGroupBox",
    "HttpLayout",
    "MQTTLayout",
    "ActivateGroupBox",
    "ActivateHorizontalLayout1",
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
    "DebugHorizontalLayout1",
    "ServiceGroupBox",
    "ServiceGroupBox2",
    "ServiceHorizontalLayout0",
    "ServiceHorizontalLayout1",
    "ServiceHorizontalLayout2",
    "ServiceHorizontalLayout3",
    "ServiceHorizontalLayout4",
    "ServiceHorizontalLayout5",
    "ServiceHorizontalLayout6",
    "ServerTitle",
    "Server's Label",
    "serialGroupbox",
    "serial2Groupbox",
    "serial3Groupbox",
    "bindingCenterGroupBox",
    "bindingCenterGroupBox2",
    "bindingCenterGroupBox3",
    "RS232-1",
    "ADC1",
    "PPPGroupBox",
    "GlobalHorizontalLayout1",
    "ICMPGroupBox",
    "GlobalHorizontalLayout2",
    "DtumanageGroupBox",
    "EquimentLayout1",
    "DtumanageGroupBox1",
    "EquimentLayout2",
    "LoraGroupBox",
    "LoraLayout",
    "LoraPower",
    "LoraPID",
    "LoraType",
    "IO1GroupBox",
    "IO2GroupBox",
    "IO3GroupBox",
    "IO4GroupBox",
    "IO5GroupBox",
};
const char* const kLineRows[] = {".1", ".2",   ".2.1", ".3", ".3.1", ".3.2",
                                 ".4", ".4.1", ".4.2", ".5", ".6",   ".7"};

// The cards whose heights the rules set: their rows must show whole at the skin's height.
const char* const kSizedCards[] = {
    "ModeGroupBox",   "ActivateGroupBox",  "ServiceGroupBox",    "ServiceGroupBox2",
    "serialGroupbox", "serial2Groupbox",   "serial3Groupbox",    "PPPGroupBox",
    "ICMPGroupBox",   "DtumanageGroupBox", "DtumanageGroupBox1", "LoraGroupBox",
    "IO1GroupBox",    "IO2GroupBox",       "IO3GroupBox",
};

struct Arrow {
  const char* name;
  int page;
};
const Arrow kArrows[] = {
    {"Lora2COM", 7},   {"COM2Lora", 7},    {"Lora2GPRS", 7},   {"GPRS2Lora", 7}, {"Zigbee2COM", 8},
    {"COM2Zigbee", 8}, {"Zigbee2GPRS", 8}, {"GPRS2Zigbee", 8}, {"GPS2COM", 9},   {"COM2GPS", 9},
    {"GPS2GPRS", 9},   {"GPRS2GPS", 9},    {"GPRS2COM", 9},    {"COM2GPRS", 9},
};

// Lists whose item text is what the device stores: a read selects by text and a save writes
// the text back, so these items must be the device's values.
struct TextList {
  const char* name;
  std::vector<std::string> items;
};
const std::vector<std::string> kBauds = {"1200",  "2400",  "4800",  "9600",
                                         "19200", "38400", "57600", "115200"};
const std::vector<std::string> kLineCodes = {"8N1", "8E1", "8O1", "8N2", "7E1", "7O1"};
const std::vector<std::string> kInterfaces = {"GPRS", "GPRS&SMS", "SERIAL", "SMS"};
const TextList kTextLists[] = {
    {"Serial Baudrate", kBauds},
    {"Serial 2 Baudrate", kBauds},
    {"RS485 Baudrate", kBauds},
    {"Serial port commu mode", kLineCodes},
    {"Serial 2 port commu mode", kLineCodes},
    {"RS485 port commu mode", kLineCodes},
    {"Transferprotocol", {"TCP", "UDP"}},
    {"Dtumanagetransferprotocol", {"TCP", "UDP"}},
    {"The PPP authentication", {"NONE", "PAP", "CHAP"}},
    {"LORA Mode", {"TRNS", "FIXED", "BCAST"}},
    {"LORA Rate", {"1", "2", "3", "4", "5", "6"}},
    {"Server Count", {"0", "1", "2", "3", "4", "5"}},
    {"DIO1 interface", kInterfaces},
    {"DIO2 interface", kInterfaces},
    {"DIO3 interface", kInterfaces},
    {"DIO4 interface", kInterfaces},
    {"DIO5 interface", kInterfaces},
};

std::string PageName(int page) {
  return "page " + std::to_string(page);
}

std::unique_ptr<SkinWindow> LoadSkin(const std::string& skin, CDialogBuilderCallbackEx* callback,
                                     RecordingSink* sink) {
  auto window =
      std::make_unique<SkinWindow>(std::string(DTU_SKIN_ROOT) + "/" + skin, callback, sink);
  if (!window->Load()) return nullptr;
  return window;
}

Control* Page(SkinWindow& window, int index) {
  return window.Find("switch")->AsContainer()->ChildAt(index);
}

std::vector<std::string> Items(ComboControl* combo) {
  std::vector<std::string> items;
  for (int i = 0; i < combo->ItemCount(); ++i) items.push_back(combo->ItemText(i));
  return items;
}

// Every named control under a widget, in document order, as "name:class".
void CollectNamed(QWidget* widget, std::vector<std::string>* out) {
  for (QObject* child : widget->children()) {
    auto* w = qobject_cast<QWidget*>(child);
    if (w == nullptr) continue;
    if (auto* c = dynamic_cast<Control*>(w); c && !c->Name().empty()) {
      out->push_back(c->Name() + ":" + c->ClassName());
    }
    CollectNamed(w, out);
  }
}

class PageContents : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    window = LoadSkin(GetParam(), &callback, &sink);
    ASSERT_NE(window, nullptr);
    SetLanguageFile(std::string(DTU_SKIN_ROOT) + "/" + GetParam() + "/Language.ini");
  }

  RecordingSink sink;
  CDialogBuilderCallbackEx callback;
  std::unique_ptr<SkinWindow> window;

  static std::string Text(const char* section, const char* key) {
    return LanguageText(section, key, "");
  }
};

TEST_P(PageContents, EveryCatalogueControlIsOnItsPageOnceWithItsKind) {
  for (const CatalogueRow& row : CatalogueRows()) {
    if (row.page < 0 || row.page >= 12) continue;  // "LORA ver" lies on no page
    SCOPED_TRACE(row.name);
    Control* c = Page(*window, row.page)->FindChild(row.name);
    ASSERT_NE(c, nullptr) << "not on " << PageName(row.page);
    EXPECT_EQ(window->findChildren<QWidget*>(QString::fromUtf8(row.name)).size(), 1);
    std::string kind = row.controlKind;
    if (kind == "Edit") {
      EXPECT_EQ(c->ClassName(), "EditUI");
    }
    if (kind == "Combobox") {
      EXPECT_EQ(c->ClassName(), "ComboUI");
    }
    if (kind == "Line") {  // the arrows' container, or the device type's text
      EXPECT_NE(c->ClassName(), "EditUI");
      EXPECT_NE(c->ClassName(), "ComboUI");
    }
  }
}

TEST_P(PageContents, EveryRowTheRulesSwitchExists) {
  std::vector<std::string> names(std::begin(kRuleRows), std::end(kRuleRows));
  for (int n = 1; n <= 5; ++n) {
    for (const char* suffix : kLineRows) names.push_back("IOLayout" + std::to_string(n) + suffix);
  }
  for (const std::string& name : names) {
    EXPECT_NE(window->Find(name), nullptr) << name;
  }
  // The titles and labels the rules set carry a text.
  for (const char* name : {"ServerTitle", "Server's Label", "RS232-1", "ADC1"}) {
    EXPECT_FALSE(window->Find(name)->Text().empty()) << name;
  }
}

TEST_P(PageContents, ButtonsAndFieldsTheDispatcherUsesExist) {
  for (const char* name : {"Load", "Save", "RestoreFactory", "SetTime", "READFILELOG", "CPIN",
                           "CSQ", "GetVer", "quit", "LoadFromFile", "SaveToFile"}) {
    ASSERT_NE(window->Find(name), nullptr) << name;
    EXPECT_EQ(window->Find(name)->ClassName(), "ButtonUI") << name;
    EXPECT_EQ(window->findChildren<QWidget*>(name).size(), 1) << name << " twice";
  }
  ASSERT_NE(Page(*window, 4)->FindChild("FINDNETMODE"), nullptr);
  EXPECT_EQ(window->Find("FINDNETMODE")->ClassName(), "EditUI");
  // Buttons named after an AT command send exactly that command.
  int atButtons = 0;
  std::vector<std::string> named;
  CollectNamed(dynamic_cast<QWidget*>(Page(*window, 11)), &named);
  for (const std::string& entry : named) {
    atButtons += entry.find("AT+") == 0 && entry.ends_with(":ButtonUI");
  }
  EXPECT_GE(atButtons, 1);
}

TEST_P(PageContents, RoutingArrowsHaveBothLooks) {
  for (const Arrow& a : kArrows) {
    SCOPED_TRACE(a.name);
    Control* c = Page(*window, a.page)->FindChild(a.name);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->ClassName(), "ButtonUI");
    std::string off = c->BkImage();
    ASSERT_NE(off.find("disable"), std::string::npos) << "an arrow starts switched off";
    EXPECT_EQ(off.find("enable"), std::string::npos) << "the off look must not read as on";
    std::string on = off;
    on.replace(on.find("disable"), 7, "enable");
    for (const std::string& image : {off, on}) {
      EXPECT_TRUE(QFileInfo(QString::fromStdString(std::string(DTU_SKIN_ROOT) + "/" + GetParam() +
                                                   "/images/" + image))
                      .isFile())
          << image;
    }
  }
}

TEST_P(PageContents, DropDownListsHoldItemsAndStartUnselected) {
  // Nothing is selected before a read, so the first read raises "itemselect" for every list
  // it fills and the rules run.
  for (int page = 0; page < 12; ++page) {
    for (QWidget* w : dynamic_cast<QWidget*>(Page(*window, page))->findChildren<QWidget*>()) {
      auto* control = dynamic_cast<Control*>(w);
      ComboControl* combo = control ? control->AsCombo() : nullptr;
      if (combo == nullptr || control->Name().starts_with("SensorCfg_")) continue;
      EXPECT_GT(combo->ItemCount(), 1) << control->Name() << " on " << PageName(page);
      EXPECT_EQ(combo->CurSel(), -1) << control->Name();
    }
  }
}

// The sensor table's fixed columns are wide enough for their bold captions, and its lists for
// their longest item ("03 Read holding registers") beside the drop-down arrow.
TEST_P(PageContents, SensorColumnsFitTheirCaptionsAndItems) {
  window->setStyleSheet(window->styleSheet());
  auto* modbus = dynamic_cast<QWidget*>(Page(*window, 10));
  ASSERT_NE(modbus, nullptr);
  int heads = 0;
  for (auto* head : modbus->findChildren<QLabel*>()) {
    if (!head->objectName().startsWith("SensorHead")) continue;
    const int width = dynamic_cast<Control*>(static_cast<QWidget*>(head))->DeclaredWidth();
    if (width <= 0) continue;  // the data name takes what is left
    ++heads;
    QFont bold = head->font();
    bold.setBold(true);
    EXPECT_LE(QFontMetrics(bold).horizontalAdvance(head->text()) + 4, width)
        << head->objectName().toStdString();
  }
  EXPECT_EQ(heads, 10);
  int lists = 0;
  for (QWidget* w : modbus->findChildren<QWidget*>()) {
    auto* control = dynamic_cast<Control*>(w);
    ComboControl* combo = control ? control->AsCombo() : nullptr;
    if (!combo || !control->Name().starts_with("SensorCfg_")) continue;
    ++lists;
    int widest = 0;
    for (int i = 0; i < combo->ItemCount(); ++i) {
      widest = std::max(widest, QFontMetrics(w->font()).horizontalAdvance(
                                    QString::fromStdString(combo->ItemText(i))));
    }
    // The frame, the padding and the arrow take about 24 pixels.
    EXPECT_LE(widest + 24, control->DeclaredWidth()) << control->Name();
  }
  EXPECT_GE(lists, 4);
}

TEST_P(PageContents, ListItemsMatchTheTextsTheRulesCompare) {
  for (const TextList& list : kTextLists) {
    EXPECT_EQ(Items(window->FindCombo(list.name)), list.items) << list.name;
  }
  std::string custom = Text("Protocolmodel", "Text");
  EXPECT_EQ(Items(window->FindCombo("Protocolmodel")),
            (std::vector<std::string>{"PROT", "DCUDP", "DCTCP", "TRNS", "SMSCLI", "SMSSER", "HTTP",
                                      "MTCP/MRTU", "MQTT", custom}));
  std::vector<std::string> modes;
  for (const char* key : {"Text1", "Text2", "Text3", "Text4", "Text5"}) {
    modes.push_back(Text("DIO workmode", key));
  }
  for (const char* full : {"DIO1 workmode", "DIO2 workmode", "DIO4 workmode"}) {
    EXPECT_EQ(Items(window->FindCombo(full)), modes) << full;
  }
  // The analogue-capable lines: not used, or analogue input.
  for (const char* analogue : {"DIO3 workmode", "DIO5 workmode"}) {
    EXPECT_EQ(Items(window->FindCombo(analogue)), (std::vector<std::string>{modes[0], modes[4]}))
        << analogue;
  }
  // The I/O tab rule counts the control lists whose text is not "None".
  for (const char* control : {"I/O1 control", "I/O2 control", "I/O3 control"}) {
    ComboControl* combo = window->FindCombo(control);
    ASSERT_EQ(combo->ItemCount(), 7) << control;
    EXPECT_EQ(combo->ItemText(6), "None") << control;
  }
  EXPECT_EQ(window->Find("ADC1")->Text(), Text("DIO Type", "ADC"));
  EXPECT_EQ(window->Find("ServerTitle")->Text(), Text("ModeTabItemChange", "ServerTitle1"));
}

TEST_P(PageContents, SizedCardsShowTheirVisibleRowsWhole) {
  window->resize(1100, 680);
  ASSERT_TRUE(window->SaveScreenshot(QDir::temp().filePath("dtu-page-layout.png").toStdString()));
  auto* pages = window->Find("switch")->AsTabLayout();
  for (int page = 0; page < 12; ++page) {
    pages->SelectPage(page);
    window->SaveScreenshot(QDir::temp().filePath("dtu-page-layout.png").toStdString());
  }
  for (const char* name : kSizedCards) {
    SCOPED_TRACE(name);
    auto* card = dynamic_cast<QWidget*>(window->Find(name));
    ASSERT_NE(card, nullptr);
    for (QWidget* row : card->findChildren<QWidget*>()) {
      if (row->property("skinClass").toString() != "row" || !row->isVisibleTo(card)) continue;
      QRect box(row->mapTo(card, QPoint(0, 0)), row->size());
      EXPECT_EQ(row->height(), 25) << row->objectName().toStdString();
      EXPECT_LE(box.bottom(), card->height() - 2)
          << "a visible row is cut off: " << row->objectName().toStdString();
    }
  }
}

// States the rules put a card in: its height and the rows shown (the card's other switched
// rows hidden). Heights and rows are the rules' own; the rows must fill the card without a
// row cut off and without an empty row's room at the bottom.
struct CardState {
  std::string card;
  int height;
  std::vector<std::string> switched;
  std::vector<std::string> shown;
};

std::vector<CardState> RuleStates() {
  const std::vector<std::string> mode = {"ModeHorizontalLayout1",
                                         "ModeHorizontalLayout1.1",
                                         "ModeHorizontalLayout1.2",
                                         "ModeLayout1.1",
                                         "ModeLayout1.2",
                                         "ModeHorizontalLayout2",
                                         "ModeHorizontalLayout3",
                                         "ModeHorizontalLayout4",
                                         "ModeHorizontalLayout5",
                                         "ModeHorizontalLayout6",
                                         "ModeHorizontalLayout7",
                                         "ModeHorizontalLayout8",
                                         "HttpLayout",
                                         "MQTTLayout"};
  std::vector<std::string> act;
  for (const char* r :
       {"1", "1.2", "2", "3", "4", "5", "6", "6.1", "6.1.1", "6.1.2", "7", "8", "9"}) {
    act.push_back(std::string("ActivateHorizontalLayout") + r);
  }
  auto a = [](std::vector<std::string> rows) {
    for (std::string& r : rows) r = "ActivateHorizontalLayout" + r;
    return rows;
  };
  std::vector<std::string> servers;
  for (int i = 0; i <= 5; ++i) servers.push_back("ServiceHorizontalLayout" + std::to_string(i));
  auto sv = [](std::vector<int> rows) {
    std::vector<std::string> names;
    for (int i : rows) names.push_back("ServiceHorizontalLayout" + std::to_string(i));
    return names;
  };
  const std::vector<std::string> lora = {"LoraLayout", "LoraPower", "LoraPID", "LoraType"};
  std::vector<CardState> states = {
      {"ModeGroupBox", 110, mode, {mode[0], mode[1], mode[2]}},
      {"ModeGroupBox", 85, mode, {mode[0]}},
      {"ModeGroupBox", 60, mode, {}},
      {"ModeGroupBox", 235, mode, {"ModeLayout1.1", "ModeLayout1.2"}},
      {"ModeGroupBox", 110, mode, {"ModeLayout1.2"}},
      {"ModeGroupBox", 85, mode, {"HttpLayout"}},
      {"ModeGroupBox", 285, mode, {"MQTTLayout"}},
      {"ModeGroupBox", 185, mode, {mode[5], mode[6], mode[7], mode[10], mode[11]}},
      {"ModeGroupBox", 110, mode, {mode[5], mode[6], mode[7]}},
      {"ModeGroupBox", 110, mode, {mode[5], mode[6], mode[8]}},
      {"ActivateGroupBox", 60, act, {}},
      {"ActivateGroupBox", 110, act, a({"1", "1.2", "6.1", "6.1.2", "8"})},
      {"ActivateGroupBox", 60, act, a({"1", "1.2", "7"})},
      {"ActivateGroupBox", 110, act, a({"1.2", "2", "3"})},
      {"ActivateGroupBox", 185, act, a({"1", "1.2", "2", "3", "6.1", "6.1.2", "7", "8", "9"})},
      {"ActivateGroupBox", 110, act, a({"4", "5"})},
      {"ActivateGroupBox", 135, act, a({"4", "6", "6.1", "6.1.1"})},
      {"ServiceGroupBox", 60, servers, {}},
      {"ServiceGroupBox", 110, servers, sv({0, 1})},
      {"ServiceGroupBox", 110, servers, sv({0, 2})},
      {"ServiceGroupBox", 185, servers, sv({0, 2, 3, 4, 5})},
      {"ServiceGroupBox2", 110, {"ServiceHorizontalLayout6"}, {"ServiceHorizontalLayout6"}},
      {"ServiceGroupBox2", 85, {"ServiceHorizontalLayout6"}, {}},
      {"serialGroupbox", 85, {"bindingCenterGroupBox"}, {}},
      {"serial2Groupbox", 110, {"bindingCenterGroupBox2"}, {"bindingCenterGroupBox2"}},
      {"serial3Groupbox", 85, {"bindingCenterGroupBox3"}, {}},
      {"PPPGroupBox", 85, {"GlobalHorizontalLayout1"}, {"GlobalHorizontalLayout1"}},
      {"PPPGroupBox", 60, {"GlobalHorizontalLayout1"}, {}},
      {"ICMPGroupBox", 110, {"GlobalHorizontalLayout2"}, {"GlobalHorizontalLayout2"}},
      {"DtumanageGroupBox", 110, {"EquimentLayout1"}, {"EquimentLayout1"}},
      {"DtumanageGroupBox1", 110, {"EquimentLayout2"}, {"EquimentLayout2"}},
      {"LoraGroupBox", 260, lora, {"LoraLayout", "LoraPower", "LoraPID"}},
      {"LoraGroupBox", 210, lora, {"LoraLayout"}},
      {"LoraGroupBox", 185, lora, {}},
      {"LoraGroupBox", 235, lora, {"LoraPower", "LoraPID"}},
  };
  for (int n = 1; n <= 5; ++n) {
    std::string card = "IO" + std::to_string(n) + "GroupBox";
    std::vector<std::string> line;
    for (const char* suffix : kLineRows) line.push_back("IOLayout" + std::to_string(n) + suffix);
    auto rows = [&](std::vector<int> picks) {
      std::vector<std::string> names;
      for (int i : picks) names.push_back(line[static_cast<size_t>(i)]);
      return names;
    };
    // Indices into kLineRows: 0 ".1", 1 ".2", 2 ".2.1", 3 ".3", 4 ".3.1", 5 ".3.2", 6 ".4",
    // 7 ".4.1", 8 ".4.2", 9 ".5", 10 ".6", 11 ".7".
    states.push_back({card, 60, line, {}});
    states.push_back({card, 85, line, rows({10})});
    if (n == 3 || n == 5) {
      states.push_back({card, 135, line, rows({1, 11})});
    } else {
      states.push_back({card, 110, line, rows({0, 1, 3, 5})});
      states.push_back({card, 160, line, rows({0, 1, 2, 3, 4, 6, 7, 9})});
      states.push_back({card, 135, line, rows({0, 1, 6, 7, 8, 9})});
      states.push_back({card, 110, line, rows({0, 1, 2, 6, 8})});
      states.push_back({card, 85, line, rows({11})});
    }
  }
  return states;
}

TEST_P(PageContents, RuleHeightsFitTheRowsTheRulesShow) {
  window->resize(1100, 680);
  std::string shot = QDir::temp().filePath("dtu-page-states.png").toStdString();
  for (const CardState& state : RuleStates()) {
    SCOPED_TRACE(state.card + " at " + std::to_string(state.height));
    for (int page = 0; page < 12; ++page) {
      if (Page(*window, page)->FindChild(state.card)) {
        window->Find("switch")->AsTabLayout()->SelectPage(page);
      }
    }
    Control* card = window->Find(state.card);
    ASSERT_NE(card, nullptr);
    card->SetVisible(true);
    for (const std::string& row : state.switched) {
      bool shown = std::find(state.shown.begin(), state.shown.end(), row) != state.shown.end();
      window->Find(row)->SetVisible(shown);
    }
    card->SetAttribute("height", std::to_string(state.height));
    ASSERT_TRUE(window->SaveScreenshot(shot));  // lays the form out
    auto* box = dynamic_cast<QWidget*>(card);
    std::vector<QRect> areas;
    for (QWidget* row : box->findChildren<QWidget*>()) {
      if (row->property("skinClass").toString() != "row" || !row->isVisibleTo(box) ||
          row->height() == 0) {
        continue;
      }
      QRect area(row->mapTo(box, QPoint(0, 0)), row->size());
      EXPECT_EQ(row->height(), 25) << row->objectName().toStdString();
      EXPECT_LE(area.bottom(), box->height() - 2) << "cut off: " << row->objectName().toStdString();
      areas.push_back(area);
    }
    ASSERT_FALSE(areas.empty());
    // Rows squeezed into too little room overlap.
    std::sort(areas.begin(), areas.end(), [](QRect x, QRect y) { return x.top() < y.top(); });
    for (size_t i = 1; i < areas.size(); ++i) {
      EXPECT_GT(areas[i].top(), areas[i - 1].bottom()) << "rows overlap at " << areas[i].top();
    }
    EXPECT_GT(areas.back().bottom(), state.height - 2 - 25) << "room for a row stays empty";
  }
}

INSTANTIATE_TEST_SUITE_P(Skins, PageContents, testing::ValuesIn(kSkins),
                         [](const testing::TestParamInfo<const char*>& skin) {
                           return std::string(skin.param);
                         });

// One layout, two languages: the skins differ in their texts only.
TEST(PageContentsBothSkins, HoldTheSameControlTreeNameByName) {
  RecordingSink sinks[2];
  CDialogBuilderCallbackEx callbacks[2];
  std::vector<std::string> trees[2];
  for (int i = 0; i < 2; ++i) {
    std::unique_ptr<SkinWindow> window = LoadSkin(kSkins[i], &callbacks[i], &sinks[i]);
    ASSERT_NE(window, nullptr) << kSkins[i];
    CollectNamed(window.get(), &trees[i]);
  }
  EXPECT_GT(trees[0].size(), 300u);
  EXPECT_EQ(trees[0], trees[1]);
}

// Not a check: renders every page of both skins at the smallest and a large window size into
// the folder named by DTU_PAGE_SHOTS, for a person to look at.
TEST(PageContentsBothSkins, RendersEveryPageForALook) {
  const char* folder = std::getenv("DTU_PAGE_SHOTS");
  if (folder == nullptr) GTEST_SKIP() << "set DTU_PAGE_SHOTS to a folder to get the pictures";
  const char* const tabs[] = {"WorkMode", "Server", "Serial", "IO",  "Wireless", "Global",
                              "Equiment", "Lora",   "Zigbee", "GPS", "Modbus",   "Operation"};
  for (const char* skin : kSkins) {
    RecordingSink sink;
    CDialogBuilderCallbackEx callback;
    std::unique_ptr<SkinWindow> window = LoadSkin(skin, &callback, &sink);
    ASSERT_NE(window, nullptr);
    for (QSize size : {QSize(1100, 680), QSize(1920, 1080)}) {
      window->resize(size);
      for (int page = 0; page < 12; ++page) {
        window->Find("switch")->AsTabLayout()->SelectPage(page);
        window->FindOption(tabs[page])->Select(true);
        std::string file = std::string(folder) + "/" + skin + "-" + std::to_string(page) + "-" +
                           std::to_string(size.width()) + ".png";
        EXPECT_TRUE(window->SaveScreenshot(file)) << file;
      }
    }
  }
}

}  // namespace
