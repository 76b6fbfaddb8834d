// A profile saved from the form: random configurations of both models put on the real form (the
// skin offscreen, the values applied and the visibility rules run, as the window does) give a
// profile holding every row as it was put there; a changed field holds its new value; and the
// profile applied to a factory-reset device leaves it reporting the profile's value in every row
// the form writes.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cctype>
#include <random>
#include <set>
#include <string>

#include "catalogue/config_text.h"
#include "cli/template_form.h"
#include "cli_run.h"
#include "random_device.h"
#include "sim_process.h"
#include "temp_dir.h"
#include "texts/language.h"
#include "writing/config_file.h"

namespace {

const std::string kSkin = std::string(DTU_SKIN_ROOT) + "/ConifgENRes";
constexpr int kConfigurationsPerModel = 15;

bool Present(const DeviceParam& param, bool fiveDio) {
  return param.presence == Presence::kAll || fiveDio;
}

// The device reads a command's "AT" in any letter case.
std::string Upper(std::string command) {
  for (char& c : command) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return command;
}

ConfigValues ValuesOf(const std::string& text) {
  ConfigValues values;
  EXPECT_TRUE(ReadConfigValues(text, &values));
  return values;
}

class ProfileFromForm : public testing::Test {
 protected:
  void SetUp() override {
    SetLanguageFile(kSkin + "/Language.ini");
    form_ = std::make_unique<TemplateForm>(kSkin);
    std::string error;
    ASSERT_TRUE(form_->Build(&error)) << error;
  }

  // The profile of `reply` put on the form.
  std::string ProfileOf(const std::string& reply) {
    std::string reason;
    EXPECT_TRUE(form_->Load(reply, &reason)) << reason;
    const ProfileResult profile = form_->Profile();
    EXPECT_TRUE(profile.ok()) << DescribeProfileRefusal(profile, form_->Params());
    return profile.text;
  }

  std::unique_ptr<TemplateForm> form_;
};

}  // namespace

TEST_F(ProfileFromForm, HoldsEveryRowAsItWasPutOnTheFormForRandomConfigurationsOfBothModels) {
  for (const char* modelName : {"zr350", "zr350v4"}) {
    const DeviceModel& model = *FindDeviceModel(modelName);
    std::mt19937 random(4242u + static_cast<unsigned>(model.fiveDio));
    for (int n = 0; n < kConfigurationsPerModel; ++n) {
      SCOPED_TRACE(std::string(modelName) + " configuration " + std::to_string(n));
      const std::string reply = Reply(RandomDevice(model, random));
      const std::string profile = ProfileOf(reply);
      ASSERT_FALSE(profile.empty());
      const ConfigValues put = ValuesOf(reply);
      const ConfigValues saved = ValuesOf(profile);
      EXPECT_EQ(saved.fiveDio, model.fiveDio);
      const auto params = DeviceParams();
      for (size_t i = 0; i < params.size(); ++i) {
        if (!Present(params[i], model.fiveDio)) continue;
        EXPECT_EQ(saved.values[i], put.values[i]) << params[i].label;
      }
      EXPECT_EQ(saved.items, put.items);
    }
  }
}

TEST_F(ProfileFromForm, AChangedFieldIsSavedAsWriteWouldSendItAndAValueTheDeviceRefusesIsNot) {
  const std::string reply = Reply(DeviceConfig(*FindDeviceModel("zr350")));
  std::string reason;
  ASSERT_TRUE(form_->Load(reply, &reason)) << reason;
  form_->form().Find("Access Point Name")->SetText("changed.apn");
  ProfileResult profile = form_->Profile();
  ASSERT_TRUE(profile.ok()) << DescribeProfileRefusal(profile, form_->Params());
  const ConfigValues saved = ValuesOf(profile.text);
  EXPECT_EQ(saved.values[ParamIndex(*FindParamByCommand("AT+APN"))], "changed.apn");

  form_->form().Find("Server's Port")->SetText("70000");
  profile = form_->Profile();
  EXPECT_FALSE(profile.ok());
  EXPECT_NE(DescribeProfileRefusal(profile, form_->Params()).find("it takes"), std::string::npos);
}

TEST_F(ProfileFromForm, AppliedToAFactoryDeviceEveryRowTheFormWritesReadsBackAsTheProfile) {
  std::mt19937 random(99u);
  for (const char* modelName : {"zr350", "zr350v4"}) {
    SCOPED_TRACE(modelName);
    const DeviceModel& model = *FindDeviceModel(modelName);
    const std::string profile = ProfileOf(Reply(RandomDevice(model, random)));
    TempDir dir;
    std::string error;
    ASSERT_TRUE(WriteConfigFileTo(dir.Path() + "p.cfg", profile, &error)) << error;
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--model", modelName, "--boot-ms", "1500"}, &error)) << error;
    const CliRun apply = RunCli(
        {"apply", Q(dir.Path() + "p.cfg"), "--json", "--no-backup", "--port", Q(sim.PtyPath())});
    ASSERT_EQ(apply.status, 0) << apply.out << apply.err;
    std::set<std::string> written;
    const QJsonObject report =
        QJsonDocument::fromJson(QByteArray::fromStdString(apply.out)).object();
    for (const auto& write : report["writes"].toArray()) {
      const std::string command = write.toObject()["command"].toString().toStdString();
      written.insert(Upper(command.substr(0, command.find('='))));
    }
    ASSERT_FALSE(written.empty()) << apply.out;
    const CliRun read = RunCli({"read", "--port", Q(sim.PtyPath()), "-o", Q(dir.Path() + "r.cfg")});
    ASSERT_EQ(read.status, 0) << read.err;
    std::string readText;
    ASSERT_TRUE(ReadConfigFileFrom(dir.Path() + "r.cfg", &readText, &error)) << error;
    const ConfigValues wanted = ValuesOf(profile);
    const ConfigValues factory = ValuesOf(Reply(DeviceConfig(model)));
    const ConfigValues device = ValuesOf(readText);
    const auto params = DeviceParams();
    for (size_t i = 0; i < params.size(); ++i) {
      if (!Present(params[i], model.fiveDio) || params[i].command.empty()) continue;
      // A row the form wrote holds the profile's value; any other is still the factory's.
      const bool wasWritten = written.contains(Upper(params[i].command));
      EXPECT_EQ(device.values[i], wasWritten ? wanted.values[i] : factory.values[i])
          << params[i].label << (wasWritten ? " (written)" : " (not written)");
    }
  }
}
