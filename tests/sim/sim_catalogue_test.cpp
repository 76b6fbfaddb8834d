// The simulated device against the program's own catalogue and show-reply parser: every
// catalogue row reads a value from the device's show reply, and it is the value the device
// holds, on every model.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/param_table.h"
#include "catalogue/show_reply_parser.h"
#include "device_config.h"
#include "device_models.h"
#include "domain/sensor_items.h"

namespace {

class CatalogueOnEveryModel : public ::testing::TestWithParam<const DeviceModel*> {};

TEST_P(CatalogueOnEveryModel, EveryRowReadsTheValueTheDeviceHolds) {
  const DeviceModel& model = *GetParam();
  DeviceConfig device(model);
  // Values other than the factory ones, so that a row reading a neighbour's line shows.
  ASSERT_EQ(device.Write("AT+DIOWORKMODE3", "6"), WriteOutcome::kStored);
  ASSERT_EQ(device.Write("AT+DIOMAPC1", "2"), WriteOutcome::kStored);
  ASSERT_TRUE(device.WriteSensorItem(3, "1,1,3,0,2,0,2,1,temp,0"));
  const std::string reply = "AT+SHOW\r\n" + device.ShowText() + "\r\nOK\r\n";

  ParamTable params;
  ListParamTable lists;
  BuildParamTable(params, lists, kSensorItemCount);
  bool fiveDio = !model.fiveDio;
  ShowReplyResult result = ParseShowReply(reply.data(), reply.size(), params, lists, fiveDio);
  ASSERT_TRUE(result.markerFound);
  EXPECT_EQ(fiveDio, model.fiveDio);
  EXPECT_EQ(result.labelsFound, params.size());

  for (const auto& [name, row] : params) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(row.value.empty());
    if (name == "I/O selection") continue;  // no label: reads the first line
    std::string held;
    if (name == "Device Type") {
      held = model.deviceType;
    } else {
      held = device.Value(row.atCommand);
    }
    EXPECT_EQ(row.value, held);
    // What the device reports it also takes back (the read-only rows are never written).
    if (!row.atCommand.empty() && row.atCommand != "AT+LVER") {
      EXPECT_EQ(device.Write(row.atCommand, row.value), WriteOutcome::kStored);
    }
  }
  const ListParamInfo& sensors = lists.at("CustomList");
  ASSERT_EQ(sensors.items.size(), static_cast<size_t>(kSensorItemCount));
  for (int i = 0; i < kSensorItemCount; ++i) {
    EXPECT_EQ(sensors.items.at(ListItemLabel(sensors.labelFormat, i)), device.SensorItem(i));
  }
}

std::vector<const DeviceModel*> AllModels() {
  std::vector<const DeviceModel*> models;
  for (const DeviceModel& model : DeviceModels()) models.push_back(&model);
  return models;
}

std::string ModelName(const ::testing::TestParamInfo<const DeviceModel*>& model) {
  std::string name;
  for (char c : std::string(model.param->name)) name += (c == '-') ? '_' : c;
  return name;
}

INSTANTIATE_TEST_SUITE_P(Models, CatalogueOnEveryModel, ::testing::ValuesIn(AllModels()),
                         ModelName);

}  // namespace
