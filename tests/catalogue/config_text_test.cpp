// Composed configuration texts read back as the device's own: for random values of both models,
// compose -> the program's parser gives the same values, the file rule accepts the text, and the
// simulated device (as strict as hardware) takes every value of it.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "catalogue/config_acceptance.h"
#include "catalogue/config_text.h"
#include "catalogue/show_reply_parser.h"
#include "device_config.h"
#include "domain/device_params.h"
#include "domain/factory_config.h"
#include "domain/sensor_items.h"
#include "random_device.h"

namespace {

constexpr int kConfigurationsPerModel = 40;

// Random values the device takes for every writable parameter, as a text can carry them.
ConfigValues RandomValues(const ProfileModel& model, std::mt19937& random) {
  ConfigValues config = FactoryConfig(model);
  const auto params = DeviceParams();
  for (size_t i = 0; i < params.size(); ++i) {
    if (params[i].domain->kind == DomainKind::kReadOnly) continue;
    // A show reply cannot carry blanks around a value: readers trim them.
    std::string value = Candidate(random, *params[i].domain);
    value.erase(0, value.find_first_not_of(' '));
    value.erase(value.find_last_not_of(' ') + 1);
    if (AcceptsValue(*params[i].domain, value)) config.values[i] = value;
  }
  for (auto& item : config.items) {
    const int pick = static_cast<int>(random() % 3);
    const std::string candidate = SensorCandidate(random);
    if (pick == 0) {
      item.reset();
    } else if (pick == 1 && AcceptsSensorItem(candidate)) {
      item = candidate;
    }
  }
  return config;
}

bool Present(const DeviceParam& param, bool fiveDio) {
  return param.presence == Presence::kAll || fiveDio;
}

}  // namespace

TEST(ConfigText, RandomValuesOfBothModelsReadBackAsTheyWereComposed) {
  for (const ProfileModel& model : ProfileModels()) {
    std::mt19937 random(1211u + (model.fiveDio ? 1u : 0u));
    for (int n = 0; n < kConfigurationsPerModel; ++n) {
      SCOPED_TRACE(std::string(model.name) + " configuration " + std::to_string(n));
      const ConfigValues config = RandomValues(model, random);
      const std::string text = ComposeConfigText(config);

      const ConfigVerdict verdict = JudgeConfigText(text);
      ASSERT_TRUE(verdict.accepted()) << DescribeConfigVerdict(verdict) << "\n" << text;
      EXPECT_EQ(FiveDioModelOf(text), model.fiveDio);

      ConfigValues read;
      ASSERT_TRUE(ReadConfigValues(text, &read));
      EXPECT_EQ(read.fiveDio, model.fiveDio);
      EXPECT_EQ(read.firmware, config.firmware);
      const auto params = DeviceParams();
      for (size_t i = 0; i < params.size(); ++i) {
        if (!Present(params[i], model.fiveDio)) continue;
        EXPECT_EQ(read.values[i], config.values[i]) << params[i].label;
      }
      EXPECT_EQ(read.items, config.items);

      // The device takes the text as its configuration, every value of it.
      DeviceConfig device(*FindDeviceModel(model.fiveDio ? "zr350v4" : "zr350"));
      const LoadReport report = device.LoadShowText(text);
      EXPECT_EQ(report.refused, 0) << (report.problems.empty() ? "" : report.problems.front());
      for (size_t i = 0; i < params.size(); ++i) {
        if (!Present(params[i], model.fiveDio) || params[i].domain->kind == DomainKind::kReadOnly)
          continue;
        EXPECT_EQ(device.Value(params[i].command), config.values[i]) << params[i].label;
      }
    }
  }
}

TEST(ConfigText, TheFactoryProfileIsWhatTheDeviceReportsAfterItsFactoryReset) {
  for (const auto& [profile, simulated] : {std::pair{"3dio", "zr350"}, {"5dio", "zr350v4"}}) {
    DeviceConfig device(*FindDeviceModel(simulated));
    device.Write("AT+APN", "changed");
    device.FactoryReset();
    EXPECT_EQ(ComposeShowSection(FactoryConfig(*FindProfileModel(profile))), device.ShowText())
        << profile;
  }
}

TEST(ConfigText, ATextWithoutTheFinalOkOrARowIsNotReadAsValues) {
  const std::string text = ComposeConfigText(FactoryConfig(*FindProfileModel("3dio")));
  ConfigValues read;
  EXPECT_FALSE(ReadConfigValues(text.substr(0, text.size() - 4), &read));
  std::string missing = text;
  missing.erase(missing.find("\r\nServer's Port:"), 2);
  missing.replace(missing.find("Server's Port:"), 14, "Servers Port:");
  EXPECT_FALSE(ReadConfigValues(missing, &read));
}
