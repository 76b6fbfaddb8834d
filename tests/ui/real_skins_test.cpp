// Both shipped skins, built into a real form with the program's own page callback.
#include <gtest/gtest.h>
#include <ini.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <set>

#include "form/pages.h"
#include "ui/skin_window.h"
#include "ui_test_support.h"

namespace {

struct Expected {
  const char* name;
  const char* className;
};

// The controls the program's logic addresses in the main skin.
const Expected kMainControls[] = {
    {"Logo_Container", "HorizontalLayoutUI"},
    {"Ver", "LabelUI"},
    {"VerDown", "LabelUI"},
    {"minbtn", "ButtonUI"},
    {"maxbtn", "ButtonUI"},
    {"restorebtn", "ButtonUI"},
    {"closebtn", "ButtonUI"},
    {"SerialPort", "ComboUI"},
    {"RefreshPorts", "ButtonUI"},
    {"BaudRate1", "ComboUI"},
    {"Checkcode", "ComboUI"},
    {"Open", "ButtonUI"},
    {"Login", "ButtonUI"},
    {"Load", "ButtonUI"},
    {"Save", "ButtonUI"},
    {"RestoreFactory", "ButtonUI"},
    {"LoadFromFile", "ButtonUI"},
    {"SaveToFile", "ButtonUI"},
    {"SetTime", "ButtonUI"},
    {"GetVer", "ButtonUI"},
    {"READFILELOG", "ButtonUI"},
    {"CPIN", "ButtonUI"},
    {"CSQ", "ButtonUI"},
    {"quit", "ButtonUI"},
    {"Clear", "ButtonUI"},
    {"DeviceState", "LabelUI"},
    {"Language", "ComboUI"},
    {"HorizontalLayoutUI6", "HorizontalLayoutUI"},
    {"TabLeft", "ButtonUI"},
    {"TabRight", "ButtonUI"},
    {"switch", "TabLayoutUI"},
    {"richedit", "RichEditUI"},
    {"helpGroupBox", "GroupBoxUI"},
    {"HelpRichEdit", "RichEditUI"},
    {"CustomList", "ListUI"},
};

const char* const kTabs[] = {"WorkModeTab", "ServerTab", "SerialTab",   "IOTab",
                             "WirelessTab", "GlobalTab", "EquimentTab", "LoraTab",
                             "ZigbeeTab",   "GPSTab",    "ModbusTab",   "OperationTab"};

// Page classes in tab order, as the skins' tags give them.
const char* const kPageClasses[] = {"WorkTabUI",
                                    "ServiceCentreTabUI",
                                    "SerialPortTabUI",
                                    "Child_ManagementTabUI",
                                    "WirelessTabUI",
                                    "Global_ParameterTabUI",
                                    "Equipment_ManagementTabUI",
                                    "Child_ManagementTabUI",
                                    "Child_ManagementTabUI",
                                    "Child_ManagementTabUI",
                                    "CustomTabUI",
                                    "ComputerExamineUI"};

const Expected kSensorFields[] = {
    {"SensorCfg_Channel", "LabelUI"},        {"SensorCfg_DeviceSwitch", "ComboUI"},
    {"SensorCfg_DeviceAddress", "EditUI"},   {"SensorCfg_FunctionCode", "ComboUI"},
    {"SensorCfg_RegisterAddress", "EditUI"}, {"SensorCfg_RegisterCount", "EditUI"},
    {"SensorCfg_DataType", "ComboUI"},       {"SensorCfg_NumberOfDecimalPoints", "EditUI"},
    {"SensorCfg_BindSerialPort", "ComboUI"}, {"SensorCfg_DataName", "EditUI"},
    {"SensorCfg_DataChg", "EditUI"},
};

// Every section and key the program reads from Language.ini.
const std::pair<const char*, const char*> kLanguageKeys[] = {
    {"ComSend", "send"},
    {"WorkerJobThreadProc", "SaveSuccess"},
    {"WorkerJobThreadProc", "SaveError"},
    {"WorkerJobThreadProc", "FactorySuccess"},
    {"WorkerJobThreadProc", "FactoryError"},
    {"WorkerJobThreadProc", "OutTime"},
    {"WorkerJobThreadProc", "LineBreakRefused"},
    {"WinMain", "WorkThread"},
    {"InitValue", "Text"},
    {"OnStartCom", "Open"},
    {"OnStartCom", "Close"},
    {"OnStartCom", "OpenNotice"},
    {"OnStartCom", "CloseNotice"},
    {"OnStartCom", "OpenError"},
    {"OnStartCom", "PermissionHint"},
    {"OnStartCom", "PermissionRelogin"},
    {"OnStartCom", "PermissionNoGroup"},
    {"OnStartCom", "Disconnected"},
    {"OnStartCom", "Busy"},
    {"OnStartCom", "NoPorts"},
    {"OnStartCom", "BadBaudRate"},
    {"OnStartCom", "BadLineCode"},
    {"RefreshPorts", "Text"},
    {"SetDeviceState", "szLoginOn"},
    {"SetDeviceState", "szLoginOff"},
    {"Notify", "IpNotice"},
    {"Notify", "ServerCount"},
    {"SaveToFile", "OpenError"},
    {"onLoadFrommFile", "ReadError"},
    {"onLoadFrommFile", "Foreign"},
    {"onLoadFrommFile", "Empty"},
    {"onLoadFrommFile", "Incomplete"},
    {"onLoadFrommFile", "ZeroByte"},
    {"onLoadFrommFile", "MissingRow"},
    {"onLoadFrommFile", "OverlongRow"},
    {"onLoadFrommFile", "OverlongItem"},
    {"onLoadFrommFile", "ItemFields"},
    {"onLoadFrommFile", "Loaded"},
    {"onLoadFrommFile", "AskTitle"},
    {"onLoadFrommFile", "AskText"},
    {"onLoadFrommFile", "Write"},
    {"onLoadFrommFile", "FormOnly"},
    {"onLoadFrommFile", "FormOnlyButton"},
    {"onLoadFrommFile", "Cancelled"},
    {"onLoadFrommFile", "Cancel"},
    {"Save", "RefusedTooLong"},
    {"Save", "RefusedNotTaken"},
    {"Save", "TakesNumber"},
    {"Save", "TakesText"},
    {"Save", "TakesHost"},
    {"Save", "TakesIpv4"},
    {"Save", "TakesPhone"},
    {"Save", "TakesHex"},
    {"Save", "NothingSent"},
    {"Profile", "Caption"},
    {"Profile", "Untitled"},
    {"Profile", "UnsavedMark"},
    {"Profile", "Created"},
    {"Profile", "Saved"},
    {"Profile", "SaveFailed"},
    {"Profile", "NothingLoaded"},
    {"Profile", "CloseQuestion"},
    {"Profile", "SwitchQuestion"},
    {"Profile", "ReplaceQuestion"},
    {"Profile", "SaveFormInstead"},
    {"Profile", "ModelTitle"},
    {"Profile", "ModelPrompt"},
    {"Profile", "Create"},
    {"Profile", "Cancel"},
    {"Profile", "Model_3dio"},
    {"Profile", "Model_5dio"},
    {"Profile", "Model_3dio-lora"},
    {"Profile", "Model_3dio-zigbee"},
    {"Profile", "Model_gps"},
    {"Protocolmodel", "Text"},
    {"DIO workmode", "Text1"},
    {"DIO workmode", "Text2"},
    {"DIO workmode", "Text3"},
    {"DIO workmode", "Text4"},
    {"DIO workmode", "Text5"},
    {"DIO Type", "ADC1"},
    {"DIO Type", "ADC"},
    {"ModeTabItemChange", "ServerTitle1"},
    {"ModeTabItemChange", "Server's Label1"},
    {"ModeTabItemChange", "ServerTitle2"},
    {"ModeTabItemChange", "Server's Label2"},
};

using IniTexts = std::map<std::pair<std::string, std::string>, std::string>;

IniTexts ReadIni(const std::string& path, int* status) {
  IniTexts texts;
  *status = ini_parse(
      path.c_str(),
      [](void* user, const char* section, const char* name, const char* value) -> int {
        (*static_cast<IniTexts*>(user))[{section, name}] = value;
        return 1;
      },
      &texts);
  return texts;
}

class RealSkin : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    dir = std::string(DTU_SKIN_ROOT) + "/" + GetParam();
    window = std::make_unique<SkinWindow>(dir, &callback, &sink);
    ASSERT_TRUE(window->Load()) << window->LoadError();
  }

  std::string dir;
  RecordingSink sink;
  CDialogBuilderCallbackEx callback;
  std::unique_ptr<SkinWindow> window;
};

TEST_P(RealSkin, EveryControlTheProgramUsesExistsWithItsKind) {
  for (const Expected& e : kMainControls) {
    Control* c = window->Find(e.name);
    ASSERT_NE(c, nullptr) << e.name;
    EXPECT_EQ(c->ClassName(), e.className) << e.name;
  }
  EXPECT_FALSE(window->Find("restorebtn")->IsVisible());
  EXPECT_TRUE(window->Find("maxbtn")->IsVisible());
  EXPECT_EQ(window->CaptionArea().bottom, 48);
  EXPECT_EQ(window->size(), QSize(1400, 800));
}

TEST_P(RealSkin, TabStripHoldsTwelveTabsWithOneOptionGroup) {
  Control* strip = window->Find("HorizontalLayoutUI6");
  ASSERT_GT(strip->DeclaredWidth(), 0);
  int sum = 0;
  std::set<std::string> captions;
  for (const char* tab : kTabs) {
    Control* c = window->Find(tab);
    ASSERT_NE(c, nullptr) << tab;
    EXPECT_NE(c->AsContainer(), nullptr) << tab;
    EXPECT_GT(c->DeclaredWidth(), 0) << tab;
    sum += c->DeclaredWidth();
    std::string optionName(tab, std::string(tab).size() - 3);
    Control* option = c->FindChild(optionName);
    ASSERT_NE(option, nullptr) << optionName;
    EXPECT_EQ(option->ClassName(), "OptionUI");
    EXPECT_FALSE(option->Text().empty()) << optionName;
    captions.insert(option->Text());
  }
  EXPECT_EQ(captions.size(), 12u);
  EXPECT_LE(sum, strip->DeclaredWidth());  // all tabs fit while none is scrolled away
  // One group: selecting a tab's option clears the others.
  window->FindOption("Modbus")->Select(true);
  for (const char* tab : kTabs) {
    std::string optionName(tab, std::string(tab).size() - 3);
    EXPECT_EQ(window->FindOption(optionName)->IsSelected(), optionName == "Modbus") << optionName;
  }
}

TEST_P(RealSkin, PagesComeFromTheirFilesInTabOrder) {
  Control* pages = window->Find("switch");
  ASSERT_EQ(pages->AsTabLayout()->PageCount(), 12);
  for (int i = 0; i < 12; ++i) {
    Control* page = pages->AsContainer()->ChildAt(i);
    ASSERT_NE(page, nullptr) << i;
    EXPECT_EQ(page->ClassName(), kPageClasses[i]) << i;
    EXPECT_EQ(page->AsContainer()->ChildCount(), 1) << "page file of page " << i << " not built";
  }
  EXPECT_NE(pages->AsContainer()->ChildAt(10)->FindChild("CustomList"), nullptr);
}

TEST_P(RealSkin, ConnectionPanelOffersTheLineSettings) {
  ComboControl* baud = window->FindCombo("BaudRate1");
  const char* const rates[] = {"1200",  "2400",   "4800",   "9600",   "19200", "38400",
                               "57600", "115200", "230400", "460800", "921600"};
  ASSERT_EQ(baud->ItemCount(), 11);
  for (int i = 0; i < 11; ++i) EXPECT_EQ(baud->ItemText(i), rates[i]);
  EXPECT_EQ(window->Find("BaudRate1")->Text(), "115200");
  ComboControl* code = window->FindCombo("Checkcode");
  const char* const codes[] = {"8N1", "8E1", "8O1", "8N2", "7E1", "7O1", "8M1", "8S1"};
  ASSERT_EQ(code->ItemCount(), 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(code->ItemText(i), codes[i]);
  EXPECT_EQ(code->CurSel(), 0);
  ComboControl* language = window->FindCombo("Language");
  ASSERT_EQ(language->ItemCount(), 2);
  EXPECT_EQ(language->ItemText(0), "English");
  EXPECT_EQ(language->ItemText(1), "中文");
  // The port list takes a typed device path.
  window->Find("SerialPort")->SetText("/dev/ttyUSB0");
  EXPECT_EQ(window->Find("SerialPort")->Text(), "/dev/ttyUSB0");
  // Loading raised no notification; windowinit follows from the event loop.
  EXPECT_TRUE(sink.events.empty());
  ASSERT_TRUE(WaitFor([&] { return sink.Count("windowinit") == 1; }));
}

TEST_P(RealSkin, SensorListStartsWithItemsThatCarryEveryField) {
  // The catalogue records the list's item count at start and every fill keeps it, so the page
  // must start with the items a device can hold.
  ListControl* list = window->FindList("CustomList");
  ASSERT_EQ(list->ItemCount(), 16);
  ASSERT_NE(list->AppendItemFromFile("CustomListItem.xml"), nullptr);
  for (int i : {0, 15, 16}) {
    Control* item = list->ItemAt(i);
    ASSERT_NE(item, nullptr) << i;
    for (const Expected& e : kSensorFields) {
      Control* field = item->FindChild(e.name);
      ASSERT_NE(field, nullptr) << e.name;
      EXPECT_EQ(field->ClassName(), e.className) << e.name;
      if (ComboControl* combo = field->AsCombo()) {
        EXPECT_EQ(combo->CurSel(), -1) << e.name;  // a new item selects nothing
        EXPECT_GT(combo->ItemCount(), 1) << e.name;
      }
    }
  }
  // The device's example item fits the lists: function code 3, data type 0, port 1.
  Control* item = list->ItemAt(0);
  EXPECT_GE(item->FindChild("SensorCfg_FunctionCode")->AsCombo()->ItemCount(), 4);
  EXPECT_GE(item->FindChild("SensorCfg_BindSerialPort")->AsCombo()->ItemCount(), 2);
  // The form finds the first item's fields.
  EXPECT_EQ(window->Find("SensorCfg_DataName"), item->FindChild("SensorCfg_DataName"));
}

TEST_P(RealSkin, LanguageFileHoldsEveryTextTheProgramReads) {
  int status = 0;
  IniTexts texts = ReadIni(dir + "/Language.ini", &status);
  ASSERT_EQ(status, 0) << "line " << status;
  for (const auto& [section, key] : kLanguageKeys) {
    auto it = texts.find({section, key});
    ASSERT_NE(it, texts.end()) << section << "/" << key;
    EXPECT_FALSE(it->second.empty()) << section << "/" << key;
    EXPECT_LT(it->second.size(), 199u) << section << "/" << key;
    EXPECT_TRUE(QString::fromUtf8(it->second.c_str()).toUtf8() == it->second.c_str())
        << section << "/" << key;
  }
  std::set<std::string> modes;
  for (const char* key : {"Text1", "Text2", "Text3", "Text4", "Text5"}) {
    modes.insert(texts[{"DIO workmode", key}]);
  }
  EXPECT_EQ(modes.size(), 5u) << "the work modes must be told apart by their texts";
  std::string openText = texts[{"OnStartCom", "Open"}];
  std::string loggedOutText = texts[{"SetDeviceState", "szLoginOff"}];
  EXPECT_EQ(openText, window->Find("Open")->Text());
  EXPECT_EQ(loggedOutText, window->Find("DeviceState")->Text());
}

TEST_P(RealSkin, RendersOffscreenAtItsSize) {
  QTemporaryDir tmp;
  std::string png = tmp.filePath(QStringLiteral("skin.png")).toStdString();
  ASSERT_TRUE(window->SaveScreenshot(png));
  EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(1400, 800));
}

}  // namespace

namespace {

// The visibility rules size group boxes for their rows: 35 pixels of frame and title plus 25
// per row. Under the skin's style sheet those heights must show every row whole.
TEST_P(RealSkin, RuleHeightsOfGroupBoxesFitTheirRows) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  ASSERT_TRUE(QFile::copy(QString::fromStdString(dir + "/style.qss"), tmp.filePath("style.qss")));
  QFile skinFile(tmp.filePath("skin.xml"));
  ASSERT_TRUE(skinFile.open(QIODevice::WriteOnly));
  std::string xml =
      "<Window size=\"600,600\" stylesheet=\"style.qss\"><VerticalLayout name=\"page\">";
  for (int rows = 1; rows <= 6; ++rows) {
    xml += "<GroupBox name=\"g" + std::to_string(rows) + "\" text=\"Group\" height=\"" +
           std::to_string(35 + 25 * rows) + "\">";
    for (int r = 0; r < rows; ++r) {
      xml +=
          "<HorizontalLayout height=\"25\"><Label text=\"Row\" width=\"120\"/><Edit/>"
          "</HorizontalLayout>";
    }
    xml += "</GroupBox>";
  }
  xml += "<Stretch/></VerticalLayout></Window>";
  skinFile.write(xml.c_str());
  skinFile.close();
  SkinWindow probe(tmp.path().toStdString(), nullptr, nullptr);
  ASSERT_TRUE(probe.Load()) << probe.LoadError();
  probe.resize(600, 1200);
  ASSERT_TRUE(probe.SaveScreenshot(tmp.filePath("probe.png").toStdString()));  // lays it out
  for (int rows = 1; rows <= 6; ++rows) {
    Control* group = probe.Find("g" + std::to_string(rows));
    ContainerControl* box = group->AsContainer();
    auto* groupWidget = dynamic_cast<QWidget*>(group);
    ASSERT_EQ(box->ChildCount(), rows);
    for (int r = 0; r < rows; ++r) {
      auto* row = dynamic_cast<QWidget*>(box->ChildAt(r));
      EXPECT_EQ(row->height(), 25) << rows << " rows, row " << r;
      EXPECT_LE(row->geometry().bottom(), groupWidget->height() - 2)
          << rows << " rows, row " << r << " is cut off";
      if (r > 0) {
        auto* above = dynamic_cast<QWidget*>(box->ChildAt(r - 1));
        EXPECT_GT(row->y(), above->geometry().bottom()) << rows << " rows overlap at " << r;
      }
    }
  }
}

}  // namespace

namespace {
INSTANTIATE_TEST_SUITE_P(Skins, RealSkin, testing::Values("ConifgENRes", "ConifgRes"),
                         [](const testing::TestParamInfo<const char*>& skin) {
                           return std::string(skin.param);
                         });

}  // namespace
