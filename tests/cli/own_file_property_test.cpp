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
#include "device_config.h"
#include "domain/device_params.h"
#include "texts/language.h"

namespace {

const std::string kSkin = std::string(DTU_SKIN_ROOT) + "/ConifgENRes";
constexpr int kConfigurationsPerModel = 25;

std::string Printable(std::mt19937& random, size_t maxLength, const char* alphabet) {
  const std::string letters = alphabet;
  std::uniform_int_distribution<size_t> length(0, maxLength);
  std::uniform_int_distribution<size_t> pick(0, letters.size() - 1);
  std::string text(length(random), ' ');
  for (char& c : text) c = letters[pick(random)];
  return text;
}

// A value the domain may hold, often one the device refuses: the device decides.
std::string Candidate(std::mt19937& random, const ValueDomain& domain) {
  auto number = [&](int64_t min, int64_t max) {
    return std::to_string(std::uniform_int_distribution<int64_t>(min, max)(random));
  };
  const size_t longest = static_cast<size_t>(std::max(domain.maxLength, 1));
  switch (domain.kind) {
    case DomainKind::kItems:
      return domain.items[std::uniform_int_distribution<size_t>(0, domain.items.size() - 1)(random)]
          .code;
    case DomainKind::kNumber:
      return number(domain.min, domain.max);
    case DomainKind::kText:
      return Printable(random, std::min<size_t>(longest, 24),
                       "abcXYZ019 -_.#*@/:;!?()[]{}=+'\"<>~^`|\\$%&");
    case DomainKind::kHost:
      if (random() % 2 == 0) {
        return number(0, 255) + "." + number(0, 255) + "." + number(0, 255) + "." + number(0, 255);
      }
      return Printable(random, 12, "abcdefxyz-") + ".example";
    case DomainKind::kIpv4:
      return number(0, 255) + "." + number(0, 255) + "." + number(0, 255) + "." + number(0, 255);
    case DomainKind::kPhone:
      return (random() % 2 ? "+" : "") +
             Printable(random, std::min<size_t>(longest - 1, 15), "0123456789");
    case DomainKind::kHex:
      return Printable(random, longest - 1, "0123456789ABCDEF") + "7";
    case DomainKind::kReadOnly:
      return {};
  }
  return {};
}

constexpr int kSensorItems = 16;

std::string SensorCandidate(std::mt19937& random) {
  // The numeric fields' ranges, field 8 is the data name.
  constexpr int64_t kMax[] = {1, 247, 16, 65535, 125, 15, 6, 3, -1, 65535};
  std::string fields;
  for (size_t p = 0; p < std::size(kMax); ++p) {
    if (p > 0) fields += ",";
    if (kMax[p] < 0) {
      fields += Printable(random, 12, "abcxyz0129_ ");
    } else {
      fields += std::to_string(std::uniform_int_distribution<int64_t>(0, kMax[p])(random));
    }
  }
  return fields;
}

DeviceConfig RandomDevice(const DeviceModel& model, std::mt19937& random) {
  DeviceConfig device(model);
  for (const DeviceParam& param : DeviceParams()) {
    if (param.command.empty() || param.domain->kind == DomainKind::kReadOnly) continue;
    // Several tries, so that most parameters leave their factory value.
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (device.Write(param.command, Candidate(random, *param.domain)) == WriteOutcome::kStored)
        break;
    }
  }
  for (int i = 0; i < kSensorItems; ++i) {
    if (random() % 3 != 0) device.WriteSensorItem(i, SensorCandidate(random));
  }
  return device;
}

std::string Reply(const DeviceConfig& device) {
  return "\r\nAT+SHOW\r\n" + device.ShowText() + "OK\r\n";
}

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
