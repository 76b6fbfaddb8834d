// Composing the writes from a real form: what a read followed by edits sends, byte for byte.
#include "writing/save_composition.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "catalogue/show_reply_parser.h"
#include "cli/set_command.h"
#include "form/apply_values.h"
#include "form/line_state.h"
#include "form/sensor_list.h"
#include "form_logic/form_controller.h"
#include "texts/language.h"
#include "ui/skin_window.h"
#include "writing/change_marks.h"

namespace {

const std::string kFixture = std::string(DTU_TEST_DATA_DIR) + "/form_values";

std::string ReadReply(const std::string& name) {
  std::ifstream in(std::string(DTU_TEST_DATA_DIR) + "/show/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using Commands = std::vector<std::string>;

Commands CommandsOf(const ComposedWrites& composed) {
  Commands commands;
  for (const WorkJob& job : composed.writes) commands.push_back(job.command);
  return commands;
}

// A form after a read of the real show reply of a five-DIO device with a LoRa module.
class SaveCompositionTest : public testing::Test {
 protected:
  void SetUp() override {
    SetLanguageFile(kFixture + "/Language.ini");
    ASSERT_TRUE(window_.Load()) << window_.LoadError();
    BuildParamTable(params_, lists_, window_);
    const std::string reply = ReadReply("zr350v4_show.reply");
    ASSERT_FALSE(reply.empty());
    ParseShowReply(reply.data(), reply.size(), params_, lists_, facts_.fiveDioModel);
    // The activation rules take the control lines out of the save unless the center switches
    // them; this device is always online.
    for (const char* row : {"I/O1 control", "I/O2 control", "I/O3 control"})
      params_.at(row).active = false;
    Apply();
  }

  void Apply() { ApplyValuesToForm(window_, params_, lists_, tabs_, facts_, nullptr); }
  ComposedWrites Compose() { return ComposeWrites(window_, params_, lists_, tabs_); }
  // What the worker does when the device answers "OK" to each write.
  void Confirm(const ComposedWrites& composed) {
    for (const WorkJob& job : composed.writes) {
      if (job.group.empty()) {
        params_.at(job.name).value = job.value;
      } else {
        lists_.at(job.name).items[job.subkey] = job.value;
      }
    }
  }
  ComboControl& Combo(const std::string& name) { return *window_.FindCombo(name); }
  Control& Edit(const std::string& name) { return *window_.Find(name); }
  Control& SensorItem(int index) { return *window_.FindList("CustomList")->ItemAt(index); }

  SkinWindow window_{kFixture, nullptr, nullptr};
  ParamTable params_;
  ListParamTable lists_;
  TabTable tabs_;
  DeviceFacts facts_;
};

}  // namespace

TEST_F(SaveCompositionTest, ReadThenWriteWithoutEditsSendsNothing) {
  ASSERT_TRUE(facts_.fiveDioModel);
  ASSERT_EQ(params_.at("DIO1 workmode").value, "4");  // comes back through "I/O selection"
  const ComposedWrites composed = Compose();
  EXPECT_EQ(CommandsOf(composed), Commands{});
  EXPECT_TRUE(composed.refused.empty());
}

TEST_F(SaveCompositionTest, EachKindOfEditGivesExactlyItsCommand) {
  Edit("Access Point Name").SetText("internet.example");
  EXPECT_EQ(CommandsOf(Compose()), Commands{"AT+APN=internet.example\r\n"});
  Edit("Access Point Name").SetText("cmnet");

  Combo("Serial Baudrate").SelectItem(3);
  EXPECT_EQ(CommandsOf(Compose()), Commands{"AT+IPR=9600\r\n"});
  Combo("Serial Baudrate").SelectItem(7);

  SetLineState(window_, "COM2Lora", true);  // 49 + 2
  const ComposedWrites arrow = Compose();
  ASSERT_EQ(arrow.writes.size(), 1u);
  const WorkJob& job = arrow.writes[0];
  EXPECT_EQ(job.kind, JobKind::kWrite);
  EXPECT_EQ(job.command, "AT+ZDATCHAN=51\r\n");
  EXPECT_EQ(job.name, "EL transmit channel");
  EXPECT_EQ(job.value, "51");
  EXPECT_TRUE(job.group.empty() && job.subkey.empty());
}

namespace {

// One change on the form after the read, and every command it gives, in order.
struct ComboCase {
  const char* row;
  int select;
  Commands expected;
};

const ComboCase kComboCases[] = {
    {"EXFUN", 1, {"AT+EXFUN=3\r\n"}},
    {"EXFUN", -1, {}},
    {"net mode", 1, {"AT+NETMODE=4\r\n"}},
    {"net mode", 0, {"AT+NETMODE=0\r\n"}},
    {"net mode", -1, {}},
    {"I/O1 Mode", 0, {}},  // the device's 4 shows as item 1; the first item writes nothing
    {"I/O1 Mode", 2, {"AT+DIOWORKMODE1=5\r\n"}},
    // The third item stands for the "DIO4" control, which a five-line device binds to its third
    // line; line 1 loses the activation and falls back to what its own list shows.
    {"I/O selection", 2, {"AT+DIOWORKMODE1=0\r\n", "AT+DIOWORKMODE3=4\r\n"}},
    {"I/O selection", 3, {"AT+DIOWORKMODE1=0\r\n", "AT+DIOWORKMODE3=4\r\n"}},
    {"I/O selection", 4, {"AT+DIOWORKMODE1=0\r\n", "AT+DIOWORKMODE5=4\r\n"}},
    {"I/O selection", -1, {"AT+DIOWORKMODE1=0\r\n"}},
    {"A serial port binding center", 6, {"AT+SERBINDCNT=255\r\n"}},
    {"A serial port binding center", 3, {"AT+SERBINDCNT=4\r\n"}},
    {"A serial port binding center", 0, {"AT+SERBINDCNT=0\r\n"}},
    {"A serial port binding center", -1, {}},
    {"ActivateMethod", -1, {}},  // a cleared list: nothing the device would refuse
    {"ActivateMethod", 5, {"AT+ACTI=DIO\r\n"}},
    {"DeviceModel", -1, {"AT+DEVMODE=-1\r\n"}},
    {"DeviceModel", 1, {"AT+DEVMODE=SVR\r\n"}},
    {"LORA typ", -1, {}},  // a cleared list: nothing the device would refuse
    {"LORA typ", 1, {"AT+LTYP=2\r\n"}},
    {"Protocolmodel", 9, {"At+PROMODE=CUST\r\n"}},
    {"Protocolmodel", 7, {"At+PROMODE=MTCP/MRTU\r\n"}},
    {"Protocolmodel", -1, {}},  // a cleared list: nothing the device would refuse
    {"DIO2 workmode", 4, {"AT+DIOWORKMODE2=6\r\n"}},
    {"DIO2 workmode", 2, {"AT+DIOWORKMODE2=2\r\n"}},
    {"DIO2 workmode", -1, {"AT+DIOWORKMODE2=0\r\n"}},
    {"DIO5 workmode", 1, {"AT+DIOWORKMODE5=6\r\n"}},
    {"LORA Rate", -1, {}},
    {"LORA Rate", 0, {"AT+RSPD=1\r\n"}},
    {"LORA Mode", -1, {}},
    {"LORA Mode", 1, {"AT+MOD=FIXED\r\n"}},
    {"Debug Level", -1, {}},
    {"Debug Level", 3, {"AT+DEBUG=3\r\n"}},
    {"Debugging  port", 2, {"AT+DEBUGPORT=3\r\n"}},
    {"Debugging  port", -1, {}},
    {"Server Count", 5, {"AT+SVRCNT=5\r\n"}},
    {"Server Count", -1, {}},  // a cleared list: nothing the device would refuse
    {"The PPP authentication", 2, {"AT+PAUTH=CHAP\r\n"}},
    {"DIO1 interface", 2, {"AT+DIOINTFACE1=GPRS&SMS\r\n"}},
};

}  // namespace

TEST_F(SaveCompositionTest, EveryListRuleWritesTheValueTheDeviceKeeps) {
  const ParamTable read = params_;
  for (const ComboCase& c : kComboCases) {
    params_ = read;
    Apply();
    ASSERT_EQ(CommandsOf(Compose()), Commands{});
    Combo(c.row).SelectItem(c.select);
    ASSERT_EQ(Combo(c.row).CurSel(), c.select) << c.row;
    EXPECT_EQ(CommandsOf(Compose()), c.expected) << '"' << c.row << "\" " << c.select;
  }
}

TEST_F(SaveCompositionTest, IoControlWritesItselfAndSwitchesItsLineToControlOutput) {
  params_.at("I/O2 control").active = true;
  params_.at("I/O2 control").value = "2";
  Combo("I/O2 control").SelectItem(0);
  EXPECT_EQ(CommandsOf(Compose()), (Commands{"AT+DIOMAPC2=0\r\n", "AT+DIOWORKMODE2=5\r\n"}));
  Combo("I/O2 control").SelectItem(6);  // no line to control: the work mode stays
  EXPECT_EQ(CommandsOf(Compose()), Commands{"AT+DIOMAPC2=6\r\n"});
  Combo("I/O2 control").SelectItem(-1);
  EXPECT_EQ(CommandsOf(Compose()), Commands{});
}

TEST_F(SaveCompositionTest, ALineInControlOutputModeStaysThereWhenNothingChanged) {
  // The DIO list cannot show mode 5; it shows its first item and would write 0, but the I/O
  // control list writes 5 to the same row after it: only the later value counts, and it is what
  // the device holds already.
  params_.at("I/O2 control").active = true;
  params_.at("DIO2 workmode").value = "5";
  Apply();
  ASSERT_EQ(Combo("DIO2 workmode").CurSel(), 0);
  EXPECT_EQ(CommandsOf(Compose()), Commands{});

  params_.at("DIO2 workmode").value = "1";  // the device left control output meanwhile
  EXPECT_EQ(CommandsOf(Compose()), Commands{"AT+DIOWORKMODE2=5\r\n"});
}

TEST_F(SaveCompositionTest, WritesFollowTheByteOrderOfControlNames) {
  Edit("Server's Ip").SetText("10.1.1.1");
  Edit("Access Point Name").SetText("apn");
  Combo("Debug Level").SelectItem(0);
  Combo("DIO1 interface").SelectItem(0);
  Combo("A serial port binding center").SelectItem(0);
  Combo("A serial 2 port binding center").SelectItem(0);
  // Upper case before lower case, a blank before a digit, a prefix before what it starts.
  EXPECT_EQ(CommandsOf(Compose()), (Commands{
                                       "AT+SERBINDCNT2=0\r\n",
                                       "AT+SERBINDCNT=0\r\n",
                                       "AT+APN=apn\r\n",
                                       "AT+DIOINTFACE1=GPRS\r\n",
                                       "AT+DEBUG=0\r\n",
                                       "AT+IPAD=10.1.1.1\r\n",
                                   }));
}

TEST_F(SaveCompositionTest, InactiveRowsAndRowsOnHiddenTabsAreNotWritten) {
  Edit("Server's Ip").SetText("10.1.1.1");
  Edit("Access Point Name").SetText("apn");
  Combo("ZigBee_RFchannel").SelectItem(3);  // its tab is hidden: the device has a LoRa module
  params_.at("Access Point Name").active = false;
  tabs_[kServerTab].shown = false;
  EXPECT_EQ(CommandsOf(Compose()), Commands{});
  tabs_[kZigbeeTab].shown = true;
  EXPECT_EQ(CommandsOf(Compose()), Commands{"AT+CHA=14\r\n"});
}

TEST_F(SaveCompositionTest, EditsAreSentVerbatimAndLineBreaksAreRefused) {
  Edit("Server's Ip").SetText("");
  Edit("MQTT Client ID").SetText("a,b \"c\"");
  {
    // An emptied server address is no value the device takes: it is refused, not sent empty.
    const ComposedWrites composed = Compose();
    EXPECT_EQ(CommandsOf(composed), (Commands{"AT+MQTTCLIENTID=a,b \"c\"\r\n"}));
    const std::vector<Refusal> refused{{"Server's Ip", "", "", "", RefusalReason::NotTaken}};
    EXPECT_EQ(composed.refused, refused);
  }

  Edit("Server's Ip").SetText("1.2.3.4\r\nAT&F");
  Edit("MQTT Client ID").SetText("dtu-0001");
  const ComposedWrites composed = Compose();
  EXPECT_EQ(CommandsOf(composed), Commands{});
  ASSERT_EQ(composed.refused.size(), 1u);
  const Refusal expected{"Server's Ip", "", "", "1.2.3.4\r\nAT&F", RefusalReason::LineBreak};
  EXPECT_EQ(composed.refused[0], expected);
}

TEST_F(SaveCompositionTest, RoutingMasksKeepTheBitsTheirPageDoesNotShow) {
  for (const char* arrow : {"Lora2COM", "COM2Lora", "Lora2GPRS", "GPRS2Lora"})
    SetLineState(window_, arrow, false);
  SetLineState(window_, "Lora2COM", true);
  SetLineState(window_, "GPRS2Lora", true);
  params_.at("EL transmit channel").value = "12";
  EXPECT_EQ(CommandsOf(Compose()), Commands{"AT+ZDATCHAN=45\r\n"});
  params_.at("EL transmit channel").value = "255";
  EXPECT_EQ(CommandsOf(Compose()), Commands{"AT+ZDATCHAN=237\r\n"});

  // The GPS page shows every route: nothing of the device's mask is kept.
  tabs_[kLoraTab].shown = false;
  tabs_[kGPSTab].shown = true;
  params_.at("EL transmit channel_G").value = "204";
  for (const char* arrow : {"GPS2COM", "COM2GPS", "GPS2GPRS", "GPRS2GPS", "COM2GPRS"})
    SetLineState(window_, arrow, false);
  SetLineState(window_, "GPRS2COM", true);
  EXPECT_EQ(CommandsOf(Compose()), Commands{"AT+ZDATCHAN=4\r\n"});

  params_.at("EL transmit channel_G").value = "x";  // not a number: no bits
  for (const TransmitChannelRow& row : TransmitChannelRows()) {
    for (const ChannelArrow& arrow : row.arrows) {
      if (arrow.name) SetLineState(window_, arrow.name, false);
    }
  }
  EXPECT_EQ(CommandsOf(Compose()), Commands{"AT+ZDATCHAN=0\r\n"});
}

// A routing mask has no field of its own: the arrows that differ from the device carry its mark.
TEST_F(SaveCompositionTest, ARoutingMaskMarksTheArrowsThatDifferFromTheDevice) {
  const TransmitChannelRow& lora = TransmitChannelRows()[0];
  ASSERT_STREQ(lora.rowName, "EL transmit channel");
  std::vector<const ChannelArrow*> arrows;
  for (const ChannelArrow& arrow : lora.arrows)
    if (arrow.name) arrows.push_back(&arrow);
  ASSERT_GE(arrows.size(), 3u);
  // The device routes the first two directions; the form turns the first off, the third on.
  params_.at(lora.rowName).value = std::to_string((1 << arrows[0]->bit) | (1 << arrows[1]->bit));
  for (const ChannelArrow* arrow : arrows) SetLineState(window_, arrow->name, false);
  SetLineState(window_, arrows[1]->name, true);
  SetLineState(window_, arrows[2]->name, true);
  ChangeMarks marks = MarksFromWrites(Compose(), params_);
  for (const ChannelArrow* arrow : arrows) {
    const bool differs = arrow == arrows[0] || arrow == arrows[2];
    EXPECT_EQ(marks.controls.count(arrow->name), differs ? 1u : 0u) << arrow->name;
  }
  // A device value that is no number: every arrow of the row may differ.
  params_.at(lora.rowName).value = "x";
  marks = MarksFromWrites(Compose(), params_);
  for (const ChannelArrow* arrow : arrows) EXPECT_EQ(marks.controls.count(arrow->name), 1u);
}

TEST_F(SaveCompositionTest, SensorItemsAreWrittenWhenTheyDifferFromTheDevice) {
  // Item 3 is off but reported: a change is written with its switch "0".
  WriteItemField(SensorItem(3), "SensorCfg_DeviceAddress", "5");
  // Item 0 loses its function code: an empty field between two commas.
  SensorItem(0).FindChild("SensorCfg_FunctionCode")->AsCombo()->SelectItem(-1);
  const ComposedWrites composed = Compose();
  EXPECT_EQ(CommandsOf(composed), (Commands{"AT+GENSENSORINFO=0,1,1,,0,2,0,2,1,temp,0\r\n",
                                            "AT+GENSENSORINFO=3,0,5,3,0,1,0,0,1,,0\r\n"}));
  ASSERT_EQ(composed.writes.size(), 2u);
  const WorkJob& job = composed.writes[1];
  EXPECT_EQ(job.kind, JobKind::kWrite);
  EXPECT_EQ(job.name, "CustomList");
  EXPECT_EQ(job.value, "0,5,3,0,1,0,0,1,,0");
  EXPECT_EQ(job.group, "List");
  EXPECT_EQ(job.subkey, "GENSENSORINFO 3:");

  Confirm(composed);
  EXPECT_EQ(CommandsOf(Compose()), Commands{});
}

TEST_F(SaveCompositionTest, AnItemThatIsOffAndUnknownToTheDeviceIsNotWritten) {
  lists_.at("CustomList").items.erase("GENSENSORINFO 3:");
  lists_.at("CustomList").items["GENSENSORINFO 2:"] = "";
  Apply();
  WriteItemField(SensorItem(3), "SensorCfg_DeviceAddress", "5");
  WriteItemField(SensorItem(2), "SensorCfg_DataName", "level");
  EXPECT_EQ(CommandsOf(Compose()), Commands{});
  WriteItemField(SensorItem(2), "SensorCfg_DeviceSwitch", "1");
  // The layout's lists start without a selection: empty fields.
  EXPECT_EQ(CommandsOf(Compose()), Commands{"AT+GENSENSORINFO=2,1,,,,,,,,level,\r\n"});
}

// A typed value the device does not take is refused before anything is sent, and the log says
// what it takes in the user's language. `set` refuses the same values from the same table.
TEST_F(SaveCompositionTest, ValuesTheDeviceDoesNotTakeAreRefusedWithWhatItTakes) {
  struct Case {
    const char* control;
    const char* typed;
    const char* english;  // after "Not written, the device does not take this value: CONTROL ("
    const char* chinese;
    const char* setSays;
  };
  const std::string longId(65, 'c');
  const Case cases[] = {
      {"Server's Ip", "999.1.1.1",
       "it takes an IPv4 address (four numbers 0 to 255) or a host name of at most 64 bytes",
       "应为 IPv4 地址（四个 0 到 255 的数）或最多 64 字节的主机名",
       "an IPv4 address (four numbers from 0 to 255"},
      {"Server's Port", "70000", "it takes a whole number from 0 to 65535",
       "应为 0 到 65535 之间的整数", "a whole number from 0 to 65535"},
      {"CollectInterval", "0", "it takes a whole number from 1 to 65535",
       "应为 1 到 65535 之间的整数", "a whole number from 1 to 65535"},
      {"LORA ID", "00G1", "it takes 1 to 4 hexadecimal digits", "应为 1 到 4 位十六进制数字",
       "hexadecimal"},
      {"MQTT Client ID", longId.c_str(), "it takes text of at most 64 bytes",
       "应为最多 64 字节的文本", "64"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    Apply();
    ASSERT_NE(window_.Find(c.control), nullptr);
    Edit(c.control).SetText(c.typed);
    const ComposedWrites composed = Compose();
    EXPECT_EQ(CommandsOf(composed), Commands{});
    ASSERT_EQ(composed.refused.size(), 1u);
    EXPECT_EQ(composed.refused[0].reason, RefusalReason::NotTaken);
    const std::string skins = DTU_SKIN_ROOT;
    SetLanguageFile(skins + "/ConifgENRes/Language.ini");
    EXPECT_EQ(RefusalLine(composed.refused[0], params_),
              std::string("Not written, the device does not take this value: ") + c.control + " (" +
                  c.english + ")\r\n");
    SetLanguageFile(skins + "/ConifgRes/Language.ini");
    EXPECT_EQ(RefusalLine(composed.refused[0], params_),
              std::string("未写入：设备不接受此值: ") + c.control + " (" + c.chinese + ")\r\n");
    SetLanguageFile(kFixture + "/Language.ini");

    WorkJob job;
    std::string why;
    EXPECT_FALSE(MakeSetWrite(params_, std::string(c.control) + "=" + c.typed, &job, &why));
    EXPECT_NE(why.find(c.setSays), std::string::npos) << why;
  }
}

TEST_F(SaveCompositionTest, AnItemWithACommaOrLineBreakInAFieldIsRefusedWhole) {
  WriteItemField(SensorItem(0), "SensorCfg_DataName", "temp,inside");
  WriteItemField(SensorItem(1), "SensorCfg_DataChg", "1\r\n");
  WriteItemField(SensorItem(3), "SensorCfg_DeviceAddress", "7");
  const ComposedWrites composed = Compose();
  EXPECT_EQ(CommandsOf(composed), Commands{"AT+GENSENSORINFO=3,0,7,3,0,1,0,0,1,,0\r\n"});
  const std::vector<Refusal> expected{
      {"CustomList", "GENSENSORINFO 0:", "SensorCfg_DataName", "temp,inside",
       RefusalReason::CommaInItemField},
      {"CustomList", "GENSENSORINFO 1:", "SensorCfg_DataChg", "1\r\n", RefusalReason::LineBreak},
  };
  EXPECT_EQ(composed.refused, expected);
}

TEST_F(SaveCompositionTest, AValueLongerThanTheDevicesFieldIsRefusedNotCut) {
  // A value of 1024 bytes or more, or an item line of more than 100, could never come back in
  // a show reply: the device would cut it or refuse it.
  Edit("MQTT Client ID").SetText(std::string(1023, 'a'));
  ASSERT_EQ(Compose().refused.size(), 1u);
  EXPECT_EQ(Compose().refused[0].reason, RefusalReason::NotTaken) << "longer than its domain";
  Edit("MQTT Client ID").SetText(std::string(1024, 'a'));
  WriteItemField(SensorItem(3), "SensorCfg_DataName", std::string(90, 'n'));
  const ComposedWrites composed = Compose();
  EXPECT_EQ(CommandsOf(composed), Commands{});
  ASSERT_EQ(composed.refused.size(), 2u);
  EXPECT_EQ(composed.refused[0].name, "MQTT Client ID");
  EXPECT_EQ(composed.refused[0].reason, RefusalReason::TooLong);
  EXPECT_EQ(composed.refused[1].subkey, "GENSENSORINFO 3:");
  EXPECT_EQ(composed.refused[1].reason, RefusalReason::TooLong);
}

TEST_F(SaveCompositionTest, SensorItemsOnAHiddenTabAreNotWritten) {
  WriteItemField(SensorItem(3), "SensorCfg_DeviceAddress", "5");
  tabs_[kModbusTab].shown = false;
  EXPECT_EQ(CommandsOf(Compose()), Commands{});
  tabs_[kModbusTab].shown = true;
  lists_.at("CustomList").active = false;
  EXPECT_EQ(CommandsOf(Compose()), Commands{});
}

TEST_F(SaveCompositionTest, ASecondWriteAfterEveryWriteWasConfirmedSendsNothing) {
  Edit("Server's Ip").SetText("10.1.1.1");
  Combo("net mode").SelectItem(3);
  Combo("I/O selection").SelectItem(1);
  SetLineState(window_, "COM2Lora", true);
  WriteItemField(SensorItem(1), "SensorCfg_DataName", "wet");
  const ComposedWrites first = Compose();
  EXPECT_EQ(first.writes.size(), 6u) << testing::PrintToString(CommandsOf(first));
  Confirm(first);
  EXPECT_EQ(CommandsOf(Compose()), Commands{});
}
