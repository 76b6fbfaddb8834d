// The form between the program and a simulated device: what a read puts on the form, composed
// back and handed to the simulated device's own configuration as the worker would send it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>

#include <set>
#include <string>
#include <vector>

#include "catalogue/show_reply_parser.h"
#include "device_config.h"
#include "domain/device_params.h"
#include "form/apply_values.h"
#include "form/line_state.h"
#include "form/pages.h"
#include "form/sensor_list.h"
#include "texts/language.h"
#include "ui/control_base.h"
#include "ui/skin_window.h"
#include "writing/change_marks.h"
#include "writing/save_composition.h"

namespace {

// A skin directory with its language file; the real skins build their pages through the
// program's page callback.
struct Skin {
  const char* name;
  std::string dir;
};

const Skin kSkins[] = {
    {"fixture", std::string(DTU_TEST_DATA_DIR) + "/form_values"},
};

std::string SkinName(const testing::TestParamInfo<Skin>& info) {
  return info.param.name;
}

std::vector<std::string> CommandsOf(const ComposedWrites& composed) {
  std::vector<std::string> commands;
  for (const WorkJob& job : composed.writes) commands.push_back(job.command);
  return commands;
}

class DeviceRoundTrip : public testing::TestWithParam<Skin> {
 protected:
  void SetUp() override {
    SetLanguageFile(GetParam().dir + "/Language.ini");
    ASSERT_TRUE(window_.Load()) << window_.LoadError();
    BuildParamTable(params_, lists_, window_);
  }

  // What a read does: the reply parsed into the tables, then put on the form.
  void Read(const DeviceConfig& device) {
    ParseInto(device);
    ApplyValuesToForm(window_, params_, lists_, tabs_, facts_, nullptr);
    // The sensor list's old items go with the event loop, as they do in the program.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The activation rules take the control lines out of the save unless the center switches
    // them; none of these devices is set up that way.
    for (const char* row : {"I/O1 control", "I/O2 control", "I/O3 control"})
      params_.at(row).active = false;
  }
  void ParseInto(const DeviceConfig& device) {
    const std::string reply = "AT+SHOW\r\n" + device.ShowText() + "\r\nOK\r\n";
    ParseShowReply(reply.data(), reply.size(), params_, lists_, facts_.fiveDioModel);
  }

  // Sends each write as the worker would, stores what the device accepts; returns the writes the
  // device refused.
  std::vector<std::string> Send(const ComposedWrites& composed, DeviceConfig& device) {
    std::vector<std::string> refused;
    for (const WorkJob& job : composed.writes) {
      const std::string line = job.command.substr(0, job.command.size() - 2);  // no CR LF
      const size_t equals = line.find('=');
      const std::string command = line.substr(0, equals);
      const std::string value = line.substr(equals + 1);
      bool stored;
      if (command == "AT+GENSENSORINFO") {
        const size_t comma = value.find(',');
        stored = device.WriteSensorItem(std::stoi(value.substr(0, comma)), value.substr(comma + 1));
      } else {
        stored = device.Write(command, value) == WriteOutcome::kStored;
      }
      if (!stored) {
        refused.push_back(job.command);
      } else if (job.group.empty()) {
        params_.at(job.name).value = job.value;
      } else {
        lists_.at(job.name).items[job.subkey] = job.value;
      }
    }
    return refused;
  }

  ComposedWrites Compose() { return ComposeWrites(window_, params_, lists_, tabs_); }
  ComboControl& Combo(const std::string& name) { return *window_.FindCombo(name); }
  Control& SensorItem(int index) { return *window_.FindList("CustomList")->ItemAt(index); }

  CDialogBuilderCallbackEx pages_;
  SkinWindow window_{GetParam().dir, &pages_, nullptr};
  ParamTable params_;
  ListParamTable lists_;
  TabTable tabs_;
  DeviceFacts facts_;
};

}  // namespace

TEST_P(DeviceRoundTrip, EveryModelReadAndWrittenBackUnchangedSendsNothing) {
  for (const DeviceModel& model : DeviceModels()) {
    DeviceConfig device(model);
    Read(device);
    EXPECT_EQ(CommandsOf(Compose()), std::vector<std::string>{}) << model.name;
  }
}

TEST_P(DeviceRoundTrip, EditsReachTheDeviceAndASecondWriteSendsNothing) {
  DeviceConfig device(*FindDeviceModel("zr350-l"));
  Read(device);
  window_.Find("Access Point Name")->SetText("internet");
  Combo("Serial Baudrate").SelectItem(4);
  Combo("net mode").SelectItem(3);
  Combo("Protocolmodel").SelectItem(9);
  Combo("I/O selection").SelectItem(1);
  SetLineState(window_, "GPRS2Lora", !GetLineState(window_, "GPRS2Lora"));
  WriteItemField(SensorItem(3), "SensorCfg_DeviceSwitch", "1");
  for (auto [field, text] : {std::pair{"SensorCfg_DeviceAddress", "7"},
                             {"SensorCfg_FunctionCode", "3"},
                             {"SensorCfg_RegisterAddress", "100"},
                             {"SensorCfg_RegisterCount", "2"},
                             {"SensorCfg_DataType", "1"},
                             {"SensorCfg_NumberOfDecimalPoints", "1"},
                             {"SensorCfg_BindSerialPort", "2"},
                             {"SensorCfg_DataName", "压力"},
                             {"SensorCfg_DataChg", "10"}})
    WriteItemField(SensorItem(3), field, text);

  const ComposedWrites first = Compose();
  EXPECT_EQ(first.writes.size(), 7u) << testing::PrintToString(CommandsOf(first));
  EXPECT_EQ(Send(first, device), std::vector<std::string>{});
  EXPECT_EQ(device.Value("AT+APN"), "internet");
  EXPECT_EQ(device.Value("AT+IPR"), "19200");
  EXPECT_EQ(device.Value("AT+NETMODE"), "6");
  EXPECT_EQ(device.Value("At+PROMODE"), "CUST");
  EXPECT_EQ(device.Value("AT+DIOWORKMODE2"), "4");
  EXPECT_EQ(device.SensorItem(3), "1,7,3,100,2,1,1,2,压力,10");
  EXPECT_EQ(CommandsOf(Compose()), std::vector<std::string>{});

  // Read again: the form shows what the device holds, and there is still nothing to write.
  Read(device);
  EXPECT_EQ(CommandsOf(Compose()), std::vector<std::string>{});
}

TEST_P(DeviceRoundTrip, AConfigurationTakenFromOneDeviceIsWrittenToAnother) {
  DeviceConfig first(*FindDeviceModel("zr350v4"));
  for (auto [command, value] : {std::pair{"AT+APN", "plant.apn"},
                                {"AT+IPR", "4800"},
                                {"AT+SERBINDCNT", "16"},
                                {"AT+DEBUG", "3"},
                                {"AT+NETMODE", "4"},
                                {"AT+DIOWORKMODE1", "6"},
                                {"AT+DIOWORKMODE2", "4"}})
    ASSERT_EQ(first.Write(command, value), WriteOutcome::kStored) << command;
  ASSERT_TRUE(first.WriteSensorItem(2, "1,9,4,10,1,2,0,1,flow,0"));

  // The file of the first device on the form, the second device's values in the tables.
  Read(first);
  DeviceConfig second(*FindDeviceModel("zr350v4"));
  ParseInto(second);
  EXPECT_EQ(Send(Compose(), second), std::vector<std::string>{});

  for (const auto& [name, row] : params_) {
    if (row.atCommand.empty() || !window_.Find(name)) continue;
    EXPECT_EQ(second.Value(row.atCommand), first.Value(row.atCommand)) << name;
  }
  for (int i = 0; i < 4; ++i) EXPECT_EQ(second.SensorItem(i), first.SensorItem(i)) << i;
}

namespace {

// The model whose pages show the row: the module pages need their module, the other rows are
// walked on the five-line model, where each I/O control writes a line of its own.
const char* ModelForPage(int32_t page) {
  switch (page) {
    case kLoraTab:
      return "zr350-l";
    case kZigbeeTab:
      return "zr350-z";
    case kGPSTab:
      return "zr750";
    default:
      return "zr350v4";
  }
}

}  // namespace

// Every value the device may hold for a drop-down row comes back unchanged through the form:
// read, put on the form, composed again, nothing is written.
TEST_P(DeviceRoundTrip, EveryValueOfEveryListComesBackThroughTheForm) {
  struct Known {
    const char* command;
    const char* value;
    const char* why;
  };
  // Values the form cannot carry back by itself; each has its reason.
  const Known known[] = {
      {"At+PROMODE", "-1", "an unset work mode shows no item, and no item writes \"\""},
      {"AT+ACTI", "-1", "an unset activation shows no item, and no item writes \"\""},
      // Control output is written by the I/O control lists, which the activation rules take
      // out of the save unless the center switches the lines (walked below).
      {"AT+DIOWORKMODE1", "5", "control output comes back through \"I/O1 control\""},
      {"AT+DIOWORKMODE2", "5", "control output comes back through \"I/O2 control\""},
      {"AT+DIOWORKMODE3", "5", "control output comes back through \"I/O3 control\""},
      {"AT+DIOWORKMODE4", "5", "no I/O control list steers this line"},
      {"AT+DIOWORKMODE5", "5", "no I/O control list steers this line"},
      // The fifth line's list offers only "unused" and "analogue input".
      {"AT+DIOWORKMODE5", "1", "the fifth line's list has no digital input"},
      {"AT+DIOWORKMODE5", "2", "the fifth line's list has no digital output"},
      {"AT+DIOWORKMODE5", "3", "the fifth line's list has no pulse counter"},
  };
  const auto isKnown = [&](const std::string& command, const std::string& value) {
    for (const Known& k : known) {
      if (command == k.command && value == k.value) return true;
    }
    return false;
  };

  int walked = 0;
  std::vector<std::string> failures;
  const ParamTable catalogue = params_;
  for (const char* model : {"zr350v4", "zr350-l", "zr350-z", "zr750"}) {
    // A whole read once per model offers the module tabs and fills the sensor list; each value
    // then goes through the parser and the rows only.
    Read(DeviceConfig(*FindDeviceModel(model)));
    for (const auto& [name, row] : catalogue) {
      if (row.controlKind != "Combobox" || row.atCommand.empty() || !window_.FindCombo(name) ||
          std::string(ModelForPage(row.page)) != model)
        continue;
      const DeviceParam* param = FindParamByCommand(row.atCommand);
      if (!param || param->domain->kind != DomainKind::kItems) continue;
      for (const DomainItem& item : param->domain->items) {
        DeviceConfig device(*FindDeviceModel(model));
        if (device.Write(row.atCommand, item.code) != WriteOutcome::kStored) continue;
        ParseInto(device);
        ApplyRowValues(window_, params_, facts_.fiveDioModel);
        ++walked;
        const std::vector<std::string> writes = CommandsOf(Compose());
        if (!writes.empty() && !isKnown(row.atCommand, item.code))
          failures.push_back(name + " = " + item.code + ": " + testing::PrintToString(writes));
      }
    }
  }
  EXPECT_GT(walked, 100);
  EXPECT_EQ(failures, std::vector<std::string>{});
}

TEST_P(DeviceRoundTrip, ControlOutputComesBackThroughItsIoControlList) {
  for (const char* line : {"1", "2", "3"}) {
    DeviceConfig device(*FindDeviceModel("zr350v4"));
    // On a five-line model the "DIO3" controls write the device's fourth line, and the "DIO4"
    // controls its third; "I/O3 control" steers the "DIO3" control.
    const std::string workMode = std::string("AT+DIOWORKMODE") + (line[0] == '3' ? "4" : line);
    ASSERT_EQ(device.Write(workMode, "5"), WriteOutcome::kStored);
    // A control line answers to a center; with none ("6") nothing marks it as controlled.
    ASSERT_EQ(device.Write(std::string("AT+DIOMAPC") + line, "0"), WriteOutcome::kStored);
    Read(device);
    params_.at(std::string("I/O") + line + " control").active = true;
    EXPECT_EQ(CommandsOf(Compose()), std::vector<std::string>{}) << line;
  }
}

INSTANTIATE_TEST_SUITE_P(Skins, DeviceRoundTrip, testing::ValuesIn(kSkins), SkinName);

namespace {
bool MarkedOnScreen(Control* control) {
  auto* base = dynamic_cast<ControlBase*>(control);
  return base && base->Widget()->property("changed").toBool();
}
}  // namespace

// A value the device does not take is marked as refused on the form (its own look) until it
// is changed into one it takes.
TEST_P(DeviceRoundTrip, AValueTheDeviceDoesNotTakeIsMarkedWhereItIsTyped) {
  DeviceConfig device(*FindDeviceModel("zr350-l"));
  Read(device);
  ChangeMarks shown;
  auto refusedOnScreen = [&](const char* name) {
    auto* base = dynamic_cast<ControlBase*>(window_.Find(name));
    return base && base->Widget()->property("refused").toBool();
  };
  window_.Find("Server's Ip")->SetText("999.1.1.1");
  window_.Find("Server's Port")->SetText("8001");
  ShowChangeMarks(window_, MarksFromWrites(Compose(), params_), shown);
  EXPECT_EQ(shown.refused, std::set<std::string>{"Server's Ip"});
  EXPECT_TRUE(refusedOnScreen("Server's Ip"));
  EXPECT_FALSE(refusedOnScreen("Server's Port"));
  EXPECT_TRUE(MarkedOnScreen(window_.Find("Server's Port")));

  window_.Find("Server's Ip")->SetText("dtu.example.com");
  ShowChangeMarks(window_, MarksFromWrites(Compose(), params_), shown);
  EXPECT_TRUE(shown.refused.empty());
  EXPECT_FALSE(refusedOnScreen("Server's Ip"));
  EXPECT_TRUE(MarkedOnScreen(window_.Find("Server's Ip")));
}

TEST_P(DeviceRoundTrip, ChangedFieldsAreMarkedUntilTheDeviceConfirmsThem) {
  DeviceConfig device(*FindDeviceModel("zr350-l"));
  Read(device);
  ChangeMarks shown;
  ShowChangeMarks(window_, MarksFromWrites(Compose(), params_), shown);
  EXPECT_EQ(shown, ChangeMarks{}) << "a fresh read differs in nothing";

  window_.Find("Access Point Name")->SetText("internet");
  Combo("Serial Baudrate").SelectItem(4);
  WriteItemField(SensorItem(2), "SensorCfg_DeviceSwitch", "1");
  window_.Find("MQTT Client ID")->SetText("bad\nnumber");  // refused, still differs
  ShowChangeMarks(window_, MarksFromWrites(Compose(), params_), shown);
  EXPECT_EQ(shown.controls,
            (std::set<std::string>{"MQTT Client ID", "Access Point Name", "Serial Baudrate"}));
  EXPECT_EQ(shown.sensorItems, std::set<int>{2});
  EXPECT_TRUE(MarkedOnScreen(window_.Find("Access Point Name")));
  EXPECT_TRUE(MarkedOnScreen(window_.Find("Serial Baudrate")));
  EXPECT_TRUE(MarkedOnScreen(&SensorItem(2)));
  EXPECT_FALSE(MarkedOnScreen(window_.Find("Server's Port")));

  // The device confirms what it was sent; the refused value keeps its mark.
  EXPECT_EQ(Send(Compose(), device), std::vector<std::string>{});
  ShowChangeMarks(window_, MarksFromWrites(Compose(), params_), shown);
  EXPECT_EQ(shown.controls, std::set<std::string>{"MQTT Client ID"});
  EXPECT_FALSE(MarkedOnScreen(window_.Find("Access Point Name")));
  EXPECT_FALSE(MarkedOnScreen(window_.Find("Serial Baudrate")));
  EXPECT_FALSE(MarkedOnScreen(&SensorItem(2)));
  EXPECT_TRUE(MarkedOnScreen(window_.Find("MQTT Client ID")));
}
