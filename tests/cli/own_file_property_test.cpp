// A device's own configuration file changes nothing on it: for random configurations of every
// model, the file put on the real form (the skin offscreen, the visibility rules run to the end,
// as "Open file" and apply put it there) composes to no write against the device's own values.
// And a file of the other model writes only what means the same line on the device, so that
// what the device reports afterwards is what was sent.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/show_reply_parser.h"
#include "cli/template_form.h"
#include "random_device.h"
#include "texts/language.h"

namespace {

const std::string kSkin = std::string(DTU_SKIN_ROOT) + "/ConifgENRes";
constexpr int kConfigurationsPerModel = 25;

struct DeviceTables {
  ParamTable params;
  ListParamTable lists;
};

// The device's tables as apply builds them: the form's rows and active flags, the device's
// values.
DeviceTables TablesOf(const TemplateForm& form, const std::string& reply) {
  DeviceTables tables{form.Params(), form.Lists()};
  for (auto& [name, row] : tables.params) row.value.clear();
  for (auto& [name, list] : tables.lists) list.items.clear();
  bool fiveDio = false;
  ParseShowReply(reply.data(), reply.size(), tables.params, tables.lists, fiveDio);
  return tables;
}

std::string Listed(const ComposedWrites& composed) {
  std::ostringstream text;
  for (const WorkJob& job : composed.writes) text << "  " << job.command;
  for (const Refusal& refusal : composed.refused) text << "  refused " << refusal.name << "\n";
  return text.str();
}

// Sends the writes as the worker would; false when the device refused one.
bool Send(const ComposedWrites& composed, DeviceConfig& device, std::string* refused) {
  for (const WorkJob& job : composed.writes) {
    const std::string line = job.command.substr(0, job.command.size() - 2);
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
      *refused = job.command;
      return false;
    }
  }
  return true;
}

class OwnFile : public testing::Test {
 protected:
  void SetUp() override { SetLanguageFile(kSkin + "/Language.ini"); }

  // The form with the file on it, built once per test.
  TemplateForm& FormWith(const std::string& reply) {
    if (!form_) {
      form_ = std::make_unique<TemplateForm>(kSkin);
      std::string error;
      EXPECT_TRUE(form_->Build(&error)) << error;
    }
    std::string reason;
    EXPECT_TRUE(form_->Load(reply, &reason)) << reason;
    return *form_;
  }

  std::unique_ptr<TemplateForm> form_;
};

TEST_F(OwnFile, ChangesNothingOnItsDeviceForRandomConfigurationsOfEveryModel) {
  for (const DeviceModel& model : DeviceModels()) {
    std::mt19937 random(20261211u + static_cast<unsigned>(model.name[0]) * 7919u);
    for (int n = 0; n < kConfigurationsPerModel; ++n) {
      const std::string reply = Reply(RandomDevice(model, random));
      TemplateForm& form = FormWith(reply);
      DeviceTables device = TablesOf(form, reply);
      const ComposedWrites composed = form.ComposeFor(device.params, device.lists);
      ASSERT_TRUE(composed.writes.empty() && composed.refused.empty())
          << model.name << " configuration " << n << " writes:\n"
          << Listed(composed) << "\n--- the file ---\n"
          << reply;
    }
  }
}

// Configurations that once changed their own device, each on its own.
TEST_F(OwnFile, ChangesNothingForTheValuesThatOnceChangedTheirDevice) {
  struct Case {
    const char* model;
    const char* command;
    const char* value;
  };
  const Case cases[] = {
      {"zr350", "AT+DIOWORKMODE3", "2"},  // the third line's short list shows "unused"
      {"zr350", "AT+DIOWORKMODE3", "5"},
      {"zr350v4", "AT+DIOWORKMODE4", "5"},
      {"zr350v4", "AT+DIOWORKMODE5", "3"},
      {"zr350", "At+PROMODE", "-1"},
      {"zr350", "AT+ACTI", "-1"},
      {"zr350", "AT+DIODATAFMT1", "1"},
      {"zr350", "AT+APN", "Software version:Zr350V4"},
  };
  for (const Case& c : cases) {
    DeviceConfig device(*FindDeviceModel(c.model));
    ASSERT_EQ(device.Write(c.command, c.value), WriteOutcome::kStored) << c.command << c.value;
    const std::string reply = Reply(device);
    TemplateForm& form = FormWith(reply);
    DeviceTables tables = TablesOf(form, reply);
    const ComposedWrites composed = form.ComposeFor(tables.params, tables.lists);
    EXPECT_TRUE(composed.writes.empty() && composed.refused.empty())
        << c.model << " " << c.command << "=" << c.value << ":\n"
        << Listed(composed);
  }
}

TEST_F(OwnFile, AFileOfTheOtherModelWritesWhatTheDeviceThenReports) {
  const DeviceModel* three = FindDeviceModel("zr350");
  const DeviceModel* five = FindDeviceModel("zr350v4");
  ASSERT_TRUE(three && five);
  std::mt19937 random(7u);
  for (int n = 0; n < 10; ++n) {
    for (const auto& [fileModel, deviceModel] : {std::pair{five, three}, std::pair{three, five}}) {
      SCOPED_TRACE(std::string(fileModel->name) + " file on a " + deviceModel->name + " device");
      const std::string file = Reply(RandomDevice(*fileModel, random));
      DeviceConfig device = RandomDevice(*deviceModel, random);
      TemplateForm& form = FormWith(file);
      DeviceTables tables = TablesOf(form, Reply(device));
      const ComposedWrites composed = form.ComposeFor(tables.params, tables.lists);
      std::string refused;
      ASSERT_TRUE(Send(composed, device, &refused))
          << "refused [" << refused.substr(0, refused.size() - 2) << "] of\n"
          << Listed(composed);
      // What the verifying read finds: every write holds.
      DeviceTables after = TablesOf(form, Reply(device));
      for (const WorkJob& job : composed.writes) {
        const std::string reported = job.group.empty() ? after.params.at(job.name).value
                                                       : after.lists.at(job.name).items[job.subkey];
        EXPECT_EQ(reported, job.value) << job.command;
      }
      // And a second apply writes nothing.
      const ComposedWrites again = form.ComposeFor(after.params, after.lists);
      EXPECT_TRUE(again.writes.empty()) << Listed(again);
    }
  }
}

}  // namespace
