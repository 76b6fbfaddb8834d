#include "catalogue/param_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/catalogue_rows.h"

namespace {

using ::testing::ElementsAre;

struct Built {
  ParamTable params;
  ListParamTable lists;
};

Built BuildWithoutForm(std::optional<int32_t> sensorRows = std::nullopt) {
  Built b;
  BuildParamTable(b.params, b.lists, sensorRows);
  return b;
}

std::vector<std::string> WalkNames(const ParamTable& table) {
  std::vector<std::string> names;
  for (const auto& [name, row] : table) names.push_back(name);
  return names;
}

size_t IndexOf(const std::vector<std::string>& names, const std::string& name) {
  return static_cast<size_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

TEST(ParamTableBuild, HoldsEveryParameterOnceWithOnlyLoraVersionInactive) {
  Built b = BuildWithoutForm();
  EXPECT_EQ(CatalogueRows().size(), 215u);
  ASSERT_EQ(b.params.size(), 214u);

  const ParamInfo& mobus = b.params.at("Mobus address");
  EXPECT_EQ(mobus.page, 3);
  EXPECT_EQ(mobus.atCommand, "AT+MBADDRESS");
  EXPECT_EQ(mobus.label, "Mobus address:");
  EXPECT_EQ(mobus.controlKind, "Edit");

  std::vector<std::string> inactive;
  for (const auto& [name, row] : b.params) {
    if (!row.active) inactive.push_back(name);
    EXPECT_TRUE(row.value.empty()) << name;
  }
  EXPECT_THAT(inactive, ElementsAre("LORA ver"));
  EXPECT_EQ(b.params.at("LORA ver").page, 100);
}

TEST(ParamTableBuild, KeepsTheDeviceTextsByteForByte) {
  Built b = BuildWithoutForm();
  struct Case {
    const char* name;
    int32_t page;
    const char* atCommand;
    const char* label;
    const char* kind;
  };
  const Case cases[] = {
      {"Protocolmodel", 0, "At+PROMODE", "\r\nProtocol model:", "Combobox"},
      {"RegistrationAndHeart", 0, "At+ENHRT", "\r\nRegistration and heart function:", "Combobox"},
      {"Debugging  port", 0, "AT+DEBUGPORT", "\r\nDebugging information out port:", "Combobox"},
      {"Debug Level", 0, "AT+DEBUG", "\r\nDebug Level :", "Combobox"},
      {"I/O selection", 0, "", "", "Combobox"},
      {"I/O3 control", 0, "AT+DIOMAPC3", "\r\nDIO3 and mapping center:", "Combobox"},
      {"Device Type", 7, "", "\r\nDevice Type:", "Line"},
      {"EL transmit channel_G", 9, "AT+ZDATCHAN", "\r\nEL transmit channel:", "Line"},
      {"GPS Protocol", 9, "AT+GPSPRO", "\r\nGPS protocol:", "Combobox"},
      {"A DIO1 data format", 3, "AT+DIODATAFMT1", "The DIO1 data format:", "Combobox"},
      {"DIO4 workmode", 3, "AT+DIOWORKMODE3", "DIO3 workmode:", "Combobox"},
      {"DIO3 ADCType", 3, "AT+DIOADCTYPE3", "DIO3 adc type:", "Combobox"},
      {"Server2's Ip", 1, "AT+IPAD1", "\r\nServer1's Ip:", "Edit"},
      {"Access Point Name", 4, "AT+APN", "Access Point Name:", "Edit"},
      {"Sms Center", 5, "AT+SMSC", "\r\nSms Center :", "Edit"},
      {"Send group package waiting for", 5, "AT+BYTEINT", "Bytes Finish Interval(ms):", "Edit"},
      {"MQTT CACHEEANBLE", 0, "AT+MQTTCACHEEANBLE", "MQTT Cache Eanble:", "Combobox"},
      {"CollectCount", 10, "AT+MBTRYCOUNT", "MBTRYCOUNT:", "Edit"},
      {"LORA ver", 100, "AT+LVER", "\r\nLORA ver:", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto it = b.params.find(c.name);
    ASSERT_NE(it, b.params.end());
    EXPECT_EQ(it->second.page, c.page);
    EXPECT_EQ(it->second.atCommand, c.atCommand);
    EXPECT_EQ(it->second.label, c.label);
    EXPECT_EQ(it->second.controlKind, c.kind);
  }

  size_t withoutLineStart = 0;
  size_t blankBeforeColon = 0;
  for (const auto& [name, row] : b.params) {
    if (row.label.rfind("\r\n", 0) != 0) ++withoutLineStart;
    if (row.label.ends_with(" :")) ++blankBeforeColon;
  }
  EXPECT_EQ(withoutLineStart, 89u);
  EXPECT_EQ(blankBeforeColon, 7u);
}

TEST(ParamTableWalk, VisitsNamesInUnsignedByteOrder) {
  Built b = BuildWithoutForm();
  std::vector<std::string> names = WalkNames(b.params);
  ASSERT_EQ(names.size(), 214u);

  EXPECT_THAT(
      std::vector<std::string>(names.begin(), names.begin() + 8),
      ElementsAre("A DIO1 data format", "A DIO2 data format", "A DIO3 data format",
                  "A DIO4 data format", "A DIO5 data format", "A serial 2 port binding center",
                  "A serial port binding center", "Access Point Name"));
  EXPECT_THAT(std::vector<std::string>(names.end() - 6, names.end()),
              ElementsAre("net mode", "sms Phone1 No", "sms Phone2 No", "sms Phone3 No",
                          "sms Phone4 No", "sms Phone5 No"));
  EXPECT_LT(IndexOf(names, "CollectCount"), IndexOf(names, "CollectDelay"));
  EXPECT_LT(IndexOf(names, "Server's Ip"), IndexOf(names, "Server2's Ip"));
  EXPECT_LT(IndexOf(names, "DIO5 workmode"), IndexOf(names, "I/O selection"));

  const size_t firstLower = IndexOf(names, "dtu is connect to dtu manage platform");
  for (size_t i = 0; i < names.size(); ++i) {
    const bool upper = names[i][0] >= 'A' && names[i][0] <= 'Z';
    EXPECT_EQ(upper, i < firstLower) << names[i];
  }
}

TEST(ParamTableWalk, NameWithHighByteSortsAfterAscii) {
  ParamTable table;
  InsertParam(table, 0, "Edit", "\xC3\xA9tat", "", "");
  InsertParam(table, 0, "Edit", "zone", "", "");
  InsertParam(table, 0, "Edit", "Zone", "", "");
  EXPECT_THAT(WalkNames(table), ElementsAre("Zone", "zone", "\xC3\xA9tat"));
}

TEST(ParamTableLookup, MissingNameCreatesEmptyInactiveRow) {
  Built b = BuildWithoutForm();
  ParamInfo& clock = b.params[""];
  EXPECT_EQ(clock, ParamInfo{});
  EXPECT_FALSE(clock.active);
  EXPECT_EQ(b.params.size(), 215u);
}

TEST(ParamTableInsert, ExistingRowKeepsItsValueAndIsRebound) {
  ParamTable table;
  InsertParam(table, 4, "Edit", "Access Point Name", "Access Point Name:", "AT+APN");
  table["Access Point Name"].value = "cmnet";
  table["Access Point Name"].active = false;
  InsertParam(table, 5, "Combobox", "Access Point Name", "APN:", "AT+X");
  const ParamInfo& row = table.at("Access Point Name");
  EXPECT_EQ(row, (ParamInfo{"AT+X", "cmnet", "APN:", true, "Combobox", 5}));
}

TEST(ParamTableDio3, FiveDioBindingAndBackRestoresRowsAndKeepsValues) {
  Built b = BuildWithoutForm();
  // Rows 74 to 87 and 89 of the catalogue are the three-DIO binding.
  std::vector<CatalogueRow> threeDio(CatalogueRows().begin() + 73, CatalogueRows().begin() + 87);
  threeDio.push_back(CatalogueRows()[88]);
  ASSERT_EQ(threeDio.size(), Dio3Bindings().size());

  for (const Dio3Binding& d : Dio3Bindings()) b.params[d.name].value = std::string("v ") + d.name;
  const ParamTable before = b.params;

  BindDio3Rows(b.params, true);
  EXPECT_EQ(b.params.size(), 214u);
  EXPECT_EQ(b.params.at("DIO3 workmode").label, "DIO4 workmode:");
  EXPECT_EQ(b.params.at("DIO3 workmode").atCommand, "AT+DIOWORKMODE4");
  EXPECT_EQ(b.params.at("A DIO3 data format").label, "The DIO4 data format:");
  EXPECT_EQ(b.params.at("DIO3 ADCType").atCommand, "AT+DIOADCTYPE4");
  EXPECT_EQ(b.params.at("DIO3 ADCType").label, "DIO4 adc type:");
  EXPECT_EQ(b.params.at("DIO3 SMS number").value, "v DIO3 SMS number");
  // The "DIO4" controls keep the device's DIO3 binding on every model.
  EXPECT_EQ(b.params.at("DIO4 workmode"), before.at("DIO4 workmode"));

  BindDio3Rows(b.params, false);
  EXPECT_EQ(b.params, before);
  for (const CatalogueRow& r : threeDio) {
    SCOPED_TRACE(r.name);
    const ParamInfo& row = b.params.at(r.name);
    EXPECT_EQ(row.atCommand, r.atCommand);
    EXPECT_EQ(row.label, r.label);
    EXPECT_EQ(row.controlKind, r.controlKind);
    EXPECT_EQ(row.page, r.page);
  }
}

TEST(ParamTableDio3, RebindingReactivatesAnInactiveRow) {
  Built b = BuildWithoutForm();
  b.params["DIO3 interface"].active = false;
  BindDio3Rows(b.params, false);
  EXPECT_TRUE(b.params.at("DIO3 interface").active);
}

TEST(ListParamTable, SensorListEntryTakesTheRowCountAndStartsEmpty) {
  Built none = BuildWithoutForm();
  EXPECT_TRUE(none.lists.empty());

  Built four = BuildWithoutForm(4);
  ASSERT_EQ(four.lists.size(), 1u);
  const ListParamInfo& list = four.lists.at("CustomList");
  EXPECT_EQ(list.itemCount, 4);
  EXPECT_TRUE(list.items.empty());
  EXPECT_TRUE(list.active);
  EXPECT_EQ(list.page, 10);
  EXPECT_EQ(list.controlKind, "List");
  EXPECT_EQ(list.atCommand, "AT+GENSENSORINFO");
  EXPECT_EQ(ListItemLabel(list.labelFormat, 0), "GENSENSORINFO 0:");
  EXPECT_EQ(ListItemLabel(list.labelFormat, 12), "GENSENSORINFO 12:");
}

TEST(ListParamTable, InsertingAnExistingNameChangesNothing) {
  Built b = BuildWithoutForm(4);
  b.lists["CustomList"].items["GENSENSORINFO 0:"] = "1,1,3,0,2,0,2,1,temp,0";
  const ListParamTable before = b.lists;
  InsertListParam(b.lists, 2, "Edit", "CustomList", "X %d:", "AT+X", 9);
  EXPECT_EQ(b.lists, before);
}

}  // namespace
