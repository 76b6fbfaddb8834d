// The device's configuration: the show reply it prints, the values it accepts, factory reset
// and taking a configuration file's text as its state.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "device_config.h"
#include "device_models.h"
#include "domain/device_params.h"
#include "parameter_doc.h"
#include "domain/sensor_items.h"

namespace {

constexpr std::string_view kMarker = "Access Point Name:";

// The program finds these labels anywhere in the text; every other one at a line start.
bool FoundAnywhere(std::string_view label) {
  for (std::string_view prefix :
       {"DIO", "The DIO", "Mobus address:", "MQTT ", "Access Point Name:", "Clear Serial Buf:",
        "Bytes Finish Interval(ms):", "MSBITV:", "CLTTIMEOUT:", "MBTRYCOUNT:"}) {
    if (label.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

bool Present(const DeviceParam& param, const DeviceModel& model) {
  return param.presence == Presence::kAll || model.fiveDio;
}

// The value the program's parser takes for a label: the label's first occurrence in the text
// from the marker on, then up to CR LF, without surrounding blanks.
bool ParsedValue(const std::string& reply, const std::string& label, std::string& value) {
  const size_t marker = reply.find(kMarker);
  if (marker == std::string::npos) return false;
  const std::string window = reply.substr(marker);
  const size_t at = window.find(label);
  if (at == std::string::npos) return false;
  const size_t end = window.find("\r\n", at + label.size());
  if (end == std::string::npos) return false;
  value = window.substr(at + label.size(), end - at - label.size());
  return true;
}

class EveryModel : public ::testing::TestWithParam<const DeviceModel*> {};

TEST_P(EveryModel, ShowTextReportsEveryParameterWithItsValueOnItsOwnLine) {
  const DeviceModel& model = *GetParam();
  DeviceConfig config(model);
  const std::string reply = "AT+SHOW\r\n" + config.ShowText() + "\r\nOK\r\n";
  ASSERT_GT(reply.size(), 3000u);
  // The program reads at most 8192 bytes from the marker on (and a file of 8192 characters).
  EXPECT_LT(reply.size() - reply.find(kMarker), 8191u);
  for (const DeviceParam& param : DeviceParams()) {
    if (!Present(param, model)) continue;
    SCOPED_TRACE(param.label);
    // Labels without a leading line end are found anywhere: the first occurrence must be the
    // parameter's own line, so the program reads the right value.
    std::string value;
    const std::string label = FoundAnywhere(param.label) ? param.label : "\r\n" + param.label;
    ASSERT_TRUE(ParsedValue(reply, label, value));
    EXPECT_FALSE(value.empty());
    EXPECT_EQ(value, config.Value(param.command));
  }
  for (int i = 0; i < kSensorItemCount; ++i) {
    std::string value;
    ASSERT_TRUE(ParsedValue(reply, SensorItemLabel(i), value)) << i;
    EXPECT_EQ(value, config.SensorItem(i));
    EXPECT_LT(value.size(), 100u);
  }
}

TEST_P(EveryModel, ShowReplyCompletesOnlyAtItsFinalOk) {
  const DeviceModel& model = *GetParam();
  const std::string text = "AT+SHOW\r\n" + DeviceConfig(model).ShowText();
  // The program takes a show reply as complete once it holds the marker and "OK" anywhere.
  EXPECT_EQ(text.find("OK"), std::string::npos);
  EXPECT_EQ(text.find("ERROR"), std::string::npos);
  EXPECT_EQ(text.find("'s' key"), std::string::npos);
  EXPECT_EQ(text.find("Seting Timeout"), std::string::npos);
}

TEST_P(EveryModel, FiveDioMarkerOnlyOnFiveDioModels) {
  const DeviceModel& model = *GetParam();
  const std::string text = DeviceConfig(model).ShowText();
  const bool marked =
      text.find("Zr350V4") != std::string::npos || text.find("Zr350V3") != std::string::npos;
  EXPECT_EQ(marked, model.fiveDio);
  EXPECT_EQ(text.find("DIO4 workmode:") != std::string::npos, model.fiveDio);
  std::string type;
  ASSERT_TRUE(ParsedValue(text, "\r\nDevice Type:", type));
  EXPECT_EQ(type, model.deviceType);
}

std::string ModelName(const ::testing::TestParamInfo<const DeviceModel*>& info) {
  std::string name;
  for (char c : std::string(info.param->name))
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

std::vector<const DeviceModel*> AllModels() {
  std::vector<const DeviceModel*> models;
  for (const DeviceModel& model : DeviceModels()) models.push_back(&model);
  return models;
}

INSTANTIATE_TEST_SUITE_P(Models, EveryModel, ::testing::ValuesIn(AllModels()), ModelName);

TEST(DeviceModels, OfferEachModulePageAndVariant) {
  // The program offers the LoRa page for "-L", else ZigBee for "-Z", else GPS for "Zr750".
  auto has = [](std::string_view type, std::string_view part) {
    return type.find(part) != std::string_view::npos;
  };
  bool lora = false, zigbee = false, gps = false, v2 = false, five = false, plain = false;
  for (const DeviceModel& model : DeviceModels()) {
    std::string_view type = model.deviceType;
    lora |= has(type, "-L");
    zigbee |= !has(type, "-L") && has(type, "-Z");
    gps |= !has(type, "-L") && !has(type, "-Z") && has(type, "Zr750");
    v2 |= type.find("V2", 1) != std::string_view::npos;
    five |= model.fiveDio;
    plain |= !model.fiveDio && !has(type, "-L") && !has(type, "-Z") && !has(type, "Zr750");
  }
  EXPECT_TRUE(lora && zigbee && gps && v2 && five && plain);
  EXPECT_EQ(FindDeviceModel("zr350v4")->fiveDio, true);
  EXPECT_EQ(FindDeviceModel("nonesuch"), nullptr);
}

struct WriteCase {
  const char* command;
  std::string value;
  WriteOutcome outcome;
};

class WriteValidation : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteValidation, StoresOnlyValuesInTheDomain) {
  const WriteCase& c = GetParam();
  DeviceConfig config(*FindDeviceModel("zr350"));
  const std::string before = config.Value(c.command);
  EXPECT_EQ(config.Write(c.command, c.value), c.outcome);
  if (c.outcome == WriteOutcome::kStored) {
    EXPECT_EQ(config.Value(c.command), c.value);
  } else {
    EXPECT_EQ(config.Value(c.command), before);
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, WriteValidation, ::testing::Values(
  WriteCase{"AT+APN", "internet.v6", WriteOutcome::kStored},
  WriteCase{"AT+APN", "", WriteOutcome::kStored},
  WriteCase{"AT+APN", std::string(65, 'a'), WriteOutcome::kRefused},
  WriteCase{"AT+APN", "bad\tvalue", WriteOutcome::kRefused},
  WriteCase{"At+PROMODE", "MQTT", WriteOutcome::kStored},
  WriteCase{"AT+PROMODE", "MTCP/MRTU", WriteOutcome::kStored},
  WriteCase{"At+PROMODE", "mqtt", WriteOutcome::kRefused},
  WriteCase{"At+PROMODE", "-1", WriteOutcome::kStored},
  WriteCase{"AT+ACTI", "", WriteOutcome::kRefused},
  WriteCase{"AT+NETMODE", "5", WriteOutcome::kStored},
  WriteCase{"AT+NETMODE", "2", WriteOutcome::kRefused},
  WriteCase{"AT+SERBINDCNT", "255", WriteOutcome::kStored},
  WriteCase{"AT+SERBINDCNT", "3", WriteOutcome::kRefused},
  WriteCase{"AT+EXFUN", "3", WriteOutcome::kStored},
  WriteCase{"AT+EXFUN", "1", WriteOutcome::kRefused},
  WriteCase{"AT+IPR", "57600", WriteOutcome::kStored},
  WriteCase{"AT+IPR", "57601", WriteOutcome::kRefused},
  WriteCase{"AT+PORT", "65535", WriteOutcome::kStored},
  WriteCase{"AT+PORT", "65536", WriteOutcome::kRefused},
  WriteCase{"AT+PORT", " 80", WriteOutcome::kRefused},
  WriteCase{"AT+PORT", "+80", WriteOutcome::kRefused},
  WriteCase{"AT+LPORT", "0", WriteOutcome::kRefused},
  WriteCase{"AT+IPAD", "dtu.example.com", WriteOutcome::kStored},
  WriteCase{"AT+IPAD", "10.0.0.1 ", WriteOutcome::kRefused},
  // Digits and dots alone are an address, and must be a whole one.
  WriteCase{"AT+IPAD", "10.0.0.1", WriteOutcome::kStored},
  WriteCase{"AT+IPAD", "999.1.1.1", WriteOutcome::kRefused},
  WriteCase{"AT+IPAD", "10.0.1", WriteOutcome::kRefused},
  WriteCase{"AT+IPAD", "host.123", WriteOutcome::kRefused},
  WriteCase{"AT+IPAD", "1host.example", WriteOutcome::kStored},
  WriteCase{"AT+IPAD", "a..example", WriteOutcome::kRefused},
  WriteCase{"AT+IPAD", "-a.example", WriteOutcome::kRefused},
  WriteCase{"AT+DNSSVR", "256.1.1.1", WriteOutcome::kRefused},
  WriteCase{"AT+DNSSVR", "1.1.1", WriteOutcome::kRefused},
  WriteCase{"AT+PHONE1", "+8613912345678", WriteOutcome::kStored},
  WriteCase{"AT+PHONE1", "139-1234", WriteOutcome::kRefused},
  WriteCase{"AT+LID", "00a1", WriteOutcome::kStored},
  WriteCase{"AT+LID", "00A1F", WriteOutcome::kRefused},
  WriteCase{"AT+CHA", "26", WriteOutcome::kStored},
  WriteCase{"AT+CHA", "10", WriteOutcome::kRefused},
  WriteCase{"AT+DIOWORKMODE1", "5", WriteOutcome::kStored},
  WriteCase{"AT+DIOWORKMODE1", "7", WriteOutcome::kRefused},
  WriteCase{"AT+DIOWORKMODE4", "1", WriteOutcome::kUnknown},
  WriteCase{"AT+ZDATCHAN", "49", WriteOutcome::kStored},
  WriteCase{"AT+ZDATCHAN", "256", WriteOutcome::kRefused},
  WriteCase{"AT+LVER", "v9", WriteOutcome::kRefused},
  WriteCase{"AT+NOSUCH", "1", WriteOutcome::kUnknown},
  WriteCase{"AT+apn", "x", WriteOutcome::kUnknown}));
// clang-format on

TEST(DeviceConfig, FiveDioModelHasTheFourthLine) {
  DeviceConfig config(*FindDeviceModel("zr350v4"));
  EXPECT_EQ(config.Write("AT+DIOWORKMODE4", "6"), WriteOutcome::kStored);
  EXPECT_EQ(config.Write("AT+DIOADCTYPE4", "1"), WriteOutcome::kStored);
}

TEST(DeviceConfig, SensorItemsNeedTenFieldsAndFullFieldsWhenSwitchedOn) {
  DeviceConfig config(DefaultDeviceModel());
  EXPECT_TRUE(config.WriteSensorItem(0, "1,1,3,0,2,0,2,1,temp,0"));
  EXPECT_EQ(config.SensorItem(0), "1,1,3,0,2,0,2,1,temp,0");
  EXPECT_TRUE(config.WriteSensorItem(1, "0,,,,,,,,,"));
  EXPECT_FALSE(config.WriteSensorItem(2, "1,,3,0,2,0,2,1,temp,0"));
  EXPECT_FALSE(config.WriteSensorItem(2, "1,1,3,0,2,0,2,1,te,mp,0"));
  EXPECT_FALSE(config.WriteSensorItem(2, "2,1,3,0,2,0,2,1,temp,0"));
  EXPECT_FALSE(config.WriteSensorItem(kSensorItemCount, "0,1,3,0,2,0,2,1,temp,0"));
  EXPECT_FALSE(config.WriteSensorItem(3, "1,1,3,0,2,0,2,1," + std::string(80, 'n') + ",0"));
  EXPECT_EQ(config.SensorItem(2), FactorySensorItem(2));
}

TEST(DeviceConfig, FactoryResetRestoresEveryValue) {
  DeviceConfig config(DefaultDeviceModel());
  const std::string factory = config.ShowText();
  ASSERT_EQ(config.Write("AT+APN", "other"), WriteOutcome::kStored);
  ASSERT_TRUE(config.WriteSensorItem(5, "1,1,3,0,2,0,2,1,temp,0"));
  ASSERT_NE(config.ShowText(), factory);
  config.FactoryReset();
  EXPECT_EQ(config.ShowText(), factory);
}

TEST(DeviceConfig, LoadsAnotherDevicesShowTextValueForValue) {
  DeviceConfig source(DefaultDeviceModel());
  ASSERT_EQ(source.Write("AT+APN", "apn.one"), WriteOutcome::kStored);
  ASSERT_EQ(source.Write("At+PROMODE", "MQTT"), WriteOutcome::kStored);
  ASSERT_EQ(source.Write("AT+DIOMAPC2", "3"), WriteOutcome::kStored);
  ASSERT_TRUE(source.WriteSensorItem(15, "1,2,4,100,2,1,1,2,flow,5"));
  DeviceConfig target(DefaultDeviceModel());
  LoadReport report = target.LoadShowText("AT+SHOW\r\n" + source.ShowText() + "\r\nOK\r\n");
  EXPECT_TRUE(report.found);
  EXPECT_EQ(report.refused, 0);
  EXPECT_EQ(report.missing, 0);
  EXPECT_EQ(target.ShowText(), source.ShowText());
}

TEST(DeviceConfig, LoadKeepsFactoryValuesForRefusedAndMissingLines) {
  DeviceConfig config(DefaultDeviceModel());
  LoadReport report = config.LoadShowText(
      "Access Point Name:  apn.two \r\n\r\nServer's Port:99999\r\n\r\nListen on port:6000\r\n");
  EXPECT_TRUE(report.found);
  EXPECT_EQ(report.taken, 2);
  EXPECT_EQ(report.refused, 1);
  ASSERT_EQ(report.problems.size(), 1u);
  EXPECT_EQ(report.problems[0], "Server's Port:99999");
  EXPECT_EQ(config.Value("AT+APN"), "apn.two");
  EXPECT_EQ(config.Value("AT+LPORT"), "6000");
  EXPECT_EQ(config.Value("AT+PORT"), "8000");
  EXPECT_FALSE(DeviceConfig(DefaultDeviceModel()).LoadShowText("no parameters here").found);
}

}  // namespace

namespace {

TEST(ParameterTable, FactoryValuesAreInTheirDomainsAndCommandsAreUnique) {
  std::set<std::string> commands;
  for (const DeviceParam& param : DeviceParams()) {
    SCOPED_TRACE(param.label);
    if (param.domain->kind != DomainKind::kReadOnly) {
      EXPECT_TRUE(AcceptsValue(*param.domain, param.factoryValue));
    }
    if (!param.command.empty()) {
      EXPECT_TRUE(commands.insert(param.command).second);
    }
  }
  for (const ValueDomain* domain : ValueDomains()) {
    std::set<std::string> codes;
    for (const DomainItem& item : domain->items) {
      EXPECT_TRUE(codes.insert(item.code).second) << domain->name << " " << item.code;
    }
  }
  for (int i = 0; i < kSensorItemCount; ++i) {
    EXPECT_TRUE(AcceptsSensorItem(FactorySensorItem(i)));
  }
}

TEST(ParameterTable, DocumentationIsGeneratedFromTheTable) {
  std::ifstream in(std::string(DTU_TEST_DATA_DIR) + "/../../docs/device-parameters.md",
                   std::ios::binary);
  const std::string doc((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(doc == DeviceParametersMarkdown())
      << "docs/device-parameters.md is out of date: run "
         "dtu-sim --parameters-doc > docs/device-parameters.md";
}

}  // namespace
