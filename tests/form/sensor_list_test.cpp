// The sensor list on a real form: numbering, filling from the device's items, and the fields.
#include "form/sensor_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/pages.h"
#include "ui/skin_window.h"

namespace {

const std::string kFixture = std::string(DTU_TEST_DATA_DIR) + "/form_values";

class SensorListTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window_.Load()) << window_.LoadError();
    BuildParamTable(params_, lists_, window_);
    ASSERT_EQ(lists_.at("CustomList").itemCount, 4);
  }
  ListControl& List() { return *window_.FindList("CustomList"); }
  Control& Item(int index) { return *List().ItemAt(index); }
  std::vector<std::string> Fields(int index) {
    std::vector<std::string> fields;
    for (const char* field : kSensorFields) fields.push_back(ReadItemField(Item(index), field));
    return fields;
  }
  std::string Channel(int index) { return Item(index).FindChild("SensorCfg_Channel")->Text(); }
  ListItems& Items() { return lists_.at("CustomList").items; }

  SkinWindow window_{kFixture, nullptr, nullptr};
  ParamTable params_;
  ListParamTable lists_;
};

using FieldList = std::vector<std::string>;

}  // namespace

TEST_F(SensorListTest, FillingWritesEachReportedItemIntoItsFields) {
  Items()["GENSENSORINFO 0:"] = "1,1,3,0,2,0,2,1,temp,0";
  Items()["GENSENSORINFO 2:"] = "1,247,4,65535,125,3,6,3,温度 °C,65535";
  FillSensorList(window_, lists_);
  ASSERT_EQ(List().ItemCount(), 4);
  EXPECT_EQ(Fields(0), (FieldList{"1", "1", "3", "0", "2", "0", "2", "1", "temp", "0"}));
  EXPECT_EQ(Fields(2),
            (FieldList{"1", "247", "4", "65535", "125", "3", "6", "3", "温度 °C", "65535"}));
  // The number shown counts from 1; the item key from 0.
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Channel(i), std::to_string(i + 1));
}

TEST_F(SensorListTest, AnItemTheDeviceDidNotReportIsNumberedSwitchedOffAndLeftAsTheLayoutMakesIt) {
  FillSensorList(window_, lists_);
  WriteItemField(Item(1), "SensorCfg_DeviceSwitch", "1");
  WriteItemField(Item(1), "SensorCfg_DeviceAddress", "9");
  Items()["GENSENSORINFO 1:"] = "";
  FillSensorList(window_, lists_);  // rebuilds the items: nothing of the old ones stays
  EXPECT_EQ(Channel(1), "2");
  EXPECT_EQ(Fields(1), (FieldList{"0", "", "", "", "", "", "", "", "", ""}));
}

TEST_F(SensorListTest, ShortAndLongItemValuesFillWhatTheyHave) {
  Items()["GENSENSORINFO 0:"] = "1,5";  // the missing pieces read as empty
  Items()["GENSENSORINFO 1:"] = "1,2,3,4,5,1,6,2,name,7,extra,more";  // beyond ten: ignored
  Items()["GENSENSORINFO 3:"] = "1,,,,,,,,,";                         // empty pieces count
  FillSensorList(window_, lists_);
  // An empty piece selects the first item of a drop-down list.
  EXPECT_EQ(Fields(0), (FieldList{"1", "5", "0", "", "", "0", "", "0", "", ""}));
  EXPECT_EQ(Fields(1), (FieldList{"1", "2", "3", "4", "5", "1", "6", "2", "name", "7"}));
  EXPECT_EQ(Fields(3), (FieldList{"1", "", "0", "", "", "0", "", "0", "", ""}));
}

TEST_F(SensorListTest, FillingKeepsTheNumberOfItems) {
  for (int round = 0; round < 3; ++round) {
    FillSensorList(window_, lists_);
    EXPECT_EQ(List().ItemCount(), 4);
  }
  // Items reported beyond the list's length have no item to go to.
  Items()["GENSENSORINFO 7:"] = "1,1,3,0,2,0,2,1,far,0";
  FillSensorList(window_, lists_);
  EXPECT_EQ(List().ItemCount(), 4);
}

TEST_F(SensorListTest, OnlyTheListEntryOfTheSensorListFillsIt) {
  FillSensorList(window_, lists_);
  WriteItemField(Item(0), "SensorCfg_DataName", "kept");
  ListParamTable other = lists_;
  other.at("CustomList").controlKind = "Edit";
  FillSensorList(window_, other);
  FillSensorList(window_, {});
  EXPECT_EQ(ReadItemField(Item(0), "SensorCfg_DataName"), "kept");
}

TEST_F(SensorListTest, FieldsReadAndWriteByTheirControlKind) {
  Control& item = Item(0);
  WriteItemField(item, "SensorCfg_FunctionCode", "3");
  EXPECT_EQ(ReadItemField(item, "SensorCfg_FunctionCode"), "3");
  WriteItemField(item, "SensorCfg_FunctionCode", "x");  // not a number: the first item
  EXPECT_EQ(ReadItemField(item, "SensorCfg_FunctionCode"), "0");
  WriteItemField(item, "SensorCfg_FunctionCode", "99");  // past the end: the last item
  EXPECT_EQ(ReadItemField(item, "SensorCfg_FunctionCode"), "4");
  item.FindChild("SensorCfg_FunctionCode")->AsCombo()->SelectItem(-1);
  EXPECT_EQ(ReadItemField(item, "SensorCfg_FunctionCode"), "");
  WriteItemField(item, "SensorCfg_RegisterCount", "12a");
  EXPECT_EQ(ReadItemField(item, "SensorCfg_RegisterCount"), "12a");
  // The number label is neither an edit nor a list; a missing field reads empty.
  EXPECT_EQ(ReadItemField(item, "SensorCfg_Channel"), "");
  EXPECT_EQ(ReadItemField(item, "No such field"), "");
  WriteItemField(item, "No such field", "1");
}

namespace {

// The list's whole content: each item's number and fields.
std::vector<FieldList> ListContent(Form& form) {
  std::vector<FieldList> content;
  ListControl* list = form.FindList("CustomList");
  for (int i = 0; i < list->ItemCount(); ++i) {
    Control& item = *list->ItemAt(i);
    FieldList fields{item.FindChild("SensorCfg_Channel")->Text()};
    for (const char* field : kSensorFields) fields.push_back(ReadItemField(item, field));
    content.push_back(fields);
  }
  return content;
}

// The fixture's layout leaves its lists without selection; the shipped one selects the first item.
class SensorListRefill : public testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window_.Load()) << window_.LoadError();
    BuildParamTable(params_, lists_, window_);
  }
  ListItems& Items() { return lists_.at("CustomList").items; }

  CDialogBuilderCallbackEx pages_;
  SkinWindow window_{GetParam(), &pages_, nullptr};
  ParamTable params_;
  ListParamTable lists_;
};

std::string SkinLabel(const testing::TestParamInfo<std::string>& info) {
  return info.param.find("form_values") != std::string::npos ? "fixture" : "shipped";
}

}  // namespace

TEST_P(SensorListRefill, RefillingInPlaceLeavesWhatARebuildLeaves) {
  SensorItemDefaults defaults;
  Items()["GENSENSORINFO 0:"] = "1,1,3,0,2,0,2,1,temp,0";
  Items()["GENSENSORINFO 1:"] = "1,2,4,10,2,3,1,3,flow,5";
  FillSensorList(window_, lists_, &defaults);
  ASSERT_TRUE(defaults.known);
  Control* first = window_.FindList("CustomList")->ItemAt(0);

  // The user edits, then the next read reports other items: one gone, one short, one new.
  Control& second = *window_.FindList("CustomList")->ItemAt(1);
  WriteItemField(second, "SensorCfg_DataName", "edited");
  WriteItemField(second, "SensorCfg_BindSerialPort", "2");
  WriteItemField(*window_.FindList("CustomList")->ItemAt(2), "SensorCfg_DeviceAddress", "77");
  Items()["GENSENSORINFO 0:"] = "1,5";
  Items()["GENSENSORINFO 1:"] = "";
  Items()["GENSENSORINFO 3:"] = "1,,,,,,,,,";
  FillSensorList(window_, lists_, &defaults);
  const std::vector<FieldList> refilled = ListContent(window_);
  EXPECT_EQ(window_.FindList("CustomList")->ItemAt(0), first) << "the items are built once";

  FillSensorList(window_, lists_);  // built anew from the layout
  EXPECT_EQ(ListContent(window_), refilled);
  EXPECT_EQ(refilled.size(), lists_.at("CustomList").itemCount);
}

INSTANTIATE_TEST_SUITE_P(Skins, SensorListRefill,
                         testing::Values(kFixture, std::string(DTU_SKIN_ROOT) + "/ConifgENRes"),
                         SkinLabel);
