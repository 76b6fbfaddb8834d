// Composing the writes from a real form: what a read followed by edits sends, byte for byte.
#include "writing/save_composition.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "catalogue/show_reply_parser.h"
#include "form/apply_values.h"
#include "form/line_state.h"
#include "texts/language.h"
#include "ui/skin_window.h"
#include "writing/sensor_list.h"

namespace {

const std::string kFixture = std::string(DTU_TEST_DATA_DIR) + "/form_values";

std::string ReadReply(const std::string& name) {
  std::ifstream in(std::string(DTU_TEST_DATA_DIR) + "/show/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using Commands = std::vector<std::string>;

Commands CommandsOf(const ComposedWrites& composed) {
  Commands commands;
  for (const WorkJob& job : composed.writes) commands.push_back(job.command);
  return commands;
}

// A form after a read of the real show reply of a five-DIO device with a LoRa module.
class SaveCompositionTest : public testing::Test {
 protected:
  void SetUp() override {
    SetLanguageFile(kFixture + "/Language.ini");
    ASSERT_TRUE(window_.Load()) << window_.LoadError();
    BuildParamTable(params_, lists_, window_);
    const std::string reply = ReadReply("zr350v4_show.reply");
    ASSERT_FALSE(reply.empty());
    ParseShowReply(reply.data(), reply.size(), params_, lists_, facts_.fiveDioModel);
    // The activation rules take the control lines out of the save unless the center switches
    // them; this device is always online.
    for (const char* row : {"I/O1 control", "I/O2 control", "I/O3 control"})
      params_.at(row).active = false;
    Apply();
  }

  void Apply() { ApplyValuesToForm(window_, params_, lists_, tabs_, facts_, nullptr); }
  ComposedWrites Compose() { return ComposeWrites(window_, params_, lists_, tabs_); }
  // What the worker does when the device answers "OK" to each write.
  void Confirm(const ComposedWrites& composed) {
    for (const WorkJob& job : composed.writes) {
      if (job.group.empty()) {
        params_.at(job.name).value = job.value;
      } else {
        lists_.at(job.name).items[job.subkey] = job.value;
      }
    }
  }
  ComboControl& Combo(const std::string& name) { return *window_.FindCombo(name); }
  Control& Edit(const std::string& name) { return *window_.Find(name); }
  Control& SensorItem(int index) { return *window_.FindList("CustomList")->ItemAt(index); }

  SkinWindow window_{kFixture, nullptr, nullptr};
  ParamTable params_;
  ListParamTable lists_;
  TabTable tabs_;
  DeviceFacts facts_;
};

}  // namespace

TEST_F(SaveCompositionTest, ReadThenWriteWithoutEditsSendsNothing) {
  ASSERT_TRUE(facts_.fiveDioModel);
  ASSERT_EQ(params_.at("DIO1 workmode").value, "4");  // comes back through "I/O selection"
  const ComposedWrites composed = Compose();
  EXPECT_EQ(CommandsOf(composed), Commands{});
  EXPECT_TRUE(composed.refused.empty());
}

TEST_F(SaveCompositionTest, EachKindOfEditGivesExactlyItsCommand) {
  Edit("Access Point Name").SetText("internet.example");
  EXPECT_EQ(CommandsOf(Compose()), Commands{"AT+APN=internet.example\r\n"});
  Edit("Access Point Name").SetText("cmnet");

  Combo("Serial Baudrate").SelectItem(3);
  EXPECT_EQ(CommandsOf(Compose()), Commands{"AT+IPR=9600\r\n"});
  Combo("Serial Baudrate").SelectItem(7);

  SetLineState(window_, "COM2Lora", true);  // 49 + 2
  const ComposedWrites arrow = Compose();
  ASSERT_EQ(arrow.writes.size(), 1u);
  const WorkJob& job = arrow.writes[0];
  EXPECT_EQ(job.kind, kJobWrite);
  EXPECT_EQ(job.command, "AT+ZDATCHAN=51\r\n");
  EXPECT_EQ(job.name, "EL transmit channel");
  EXPECT_EQ(job.value, "51");
  EXPECT_TRUE(job.group.empty() && job.subkey.empty());
}
