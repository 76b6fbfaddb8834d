// The catalogue built from a real form: the sensor list's rows come from the skin.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/param_table.h"
#include "ui/skin_window.h"

namespace {

const std::string kSkins = std::string(DTU_TEST_DATA_DIR) + "/catalogue_form/";

TEST(BuildParamTableFromForm, SensorListEntryCountsTheRowsTheSkinDefines) {
  SkinWindow window(kSkins + "with_list", nullptr, nullptr);
  ASSERT_TRUE(window.Load()) << window.LoadError();
  ParamTable params;
  ListParamTable lists;
  BuildParamTable(params, lists, window);
  EXPECT_EQ(params.size(), 214u);
  ASSERT_EQ(lists.size(), 1u);
  EXPECT_EQ(lists.at("CustomList").itemCount, 4);
  EXPECT_TRUE(lists.at("CustomList").items.empty());
}

TEST(BuildParamTableFromForm, NoSensorListLeavesTheListTableEmpty) {
  SkinWindow window(kSkins + "without_list", nullptr, nullptr);
  ASSERT_TRUE(window.Load()) << window.LoadError();
  ParamTable params;
  ListParamTable lists;
  BuildParamTable(params, lists, window);
  EXPECT_EQ(params.size(), 214u);
  EXPECT_TRUE(lists.empty());
}

}  // namespace
