// Values that are not UTF-8 on a real form: a device set up by a Chinese Windows tool keeps
// GB 18030 text. The form shows it readable and gives back the very bytes unless the user
// changed the field.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "catalogue/show_reply_parser.h"
#include "form/apply_values.h"
#include "form/sensor_list.h"
#include "form/shown_bytes.h"
#include "texts/byte_text.h"
#include "texts/language.h"
#include "ui/skin_window.h"
#include "writing/applied_values.h"
#include "writing/save_composition.h"

namespace {

const std::string kFixture = std::string(DTU_TEST_DATA_DIR) + "/form_values";
// "中国移动" (China Mobile) and "温度" (temperature) in GB 18030.
const std::string kGbApn = "\xd6\xd0\xb9\xfa\xd2\xc6\xb6\xaf";
const std::string kGbName = "\xce\xc2\xb6\xc8";
const std::string kGbItem = "1,1,3,0,2,0,2,1," + kGbName + ",0";

std::string ReadReply(const std::string& name) {
  std::ifstream in(std::string(DTU_TEST_DATA_DIR) + "/show/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> CommandsOf(const ComposedWrites& composed) {
  std::vector<std::string> commands;
  for (const WorkJob& job : composed.writes) commands.push_back(job.command);
  return commands;
}

TEST(ByteText, Utf8IsTellApartFromOtherBytes) {
  struct Case {
    std::string text;
    bool utf8;
  };
  const Case cases[] = {
      {"", true},
      {"cmnet", true},
      {"\xe4\xb8\xad\xe5\x9b\xbd", true},  // 中国 in UTF-8
      {"\xf0\x9f\x98\x80", true},          // U+1F600
      {kGbApn, false},                     // GB 18030
      {"\xc0\xaf", false},                 // overlong "/"
      {"\xed\xa0\x80", false},             // a surrogate
      {"\xf4\x90\x80\x80", false},         // past U+10FFFF
      {"\xe4\xb8", false},                 // cut short
      {"\x80", false},                     // a lone continuation byte
  };
  for (const Case& c : cases) EXPECT_EQ(IsUtf8(c.text), c.utf8) << HexBytes(c.text);
  EXPECT_EQ(ReadableText(kGbApn), "中国移动");
  EXPECT_EQ(ReadableText("cmnet"), "cmnet");
  EXPECT_EQ(HexBytes(kGbName), "cec2b6c8");
}

// A form after a read of a five-DIO device whose APN and first sensor item's data name are
// GB 18030 bytes.
class ExactBytesTest : public testing::Test {
 protected:
  void SetUp() override {
    SetLanguageFile(kFixture + "/Language.ini");
    ASSERT_TRUE(window_.Load()) << window_.LoadError();
    BuildParamTable(params_, lists_, window_);
    std::string reply = ReadReply("zr350v4_show.reply");
    ASSERT_FALSE(reply.empty());
    Replace(reply, "Access Point Name:cmnet", "Access Point Name:" + kGbApn);
    Replace(reply, "GENSENSORINFO 0:1,1,3,0,2,0,2,1,temp,0", "GENSENSORINFO 0:" + kGbItem);
    ParseShowReply(reply.data(), reply.size(), params_, lists_, facts_.fiveDioModel);
    ASSERT_EQ(params_.at("Access Point Name").value, kGbApn);
    for (const char* row : {"I/O1 control", "I/O2 control", "I/O3 control"})
      params_.at(row).active = false;
    Apply();
  }
  static void Replace(std::string& text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  }

  // As the window does: the values onto the form, then what the form was given is noted.
  void Apply() {
    ApplyValuesToForm(window_, params_, lists_, tabs_, facts_, nullptr, nullptr, &shown_);
    applied_.Take(window_, params_, lists_, facts_.fiveDioModel);
  }
  ComposedWrites Compose() {
    return ComposeWrites(window_, params_, lists_, tabs_, &applied_, &shown_);
  }
  Control& Apn() { return *window_.Find("Access Point Name"); }
  Control& DataName(int item) {
    return *window_.FindList("CustomList")->ItemAt(item)->FindChild("SensorCfg_DataName");
  }

  SkinWindow window_{kFixture, nullptr, nullptr};
  ParamTable params_;
  ListParamTable lists_;
  TabTable tabs_;
  DeviceFacts facts_;
  AppliedValues applied_;
  ShownBytes shown_;
};

}  // namespace

TEST_F(ExactBytesTest, TheDevicesOwnBytesAreShownReadableAndNotRewritten) {
  EXPECT_EQ(Apn().Text(), "中国移动");
  EXPECT_EQ(DataName(0).Text(), "温度");
  const ComposedWrites composed = Compose();
  EXPECT_EQ(CommandsOf(composed), std::vector<std::string>{});
  EXPECT_TRUE(composed.refused.empty());
}

TEST_F(ExactBytesTest, AFilesBytesGoToAnotherDeviceAsTheyAre) {
  // The form shows the file; the device holds other values.
  params_.at("Access Point Name").value = "cmnet";
  lists_.at("CustomList").items["GENSENSORINFO 0:"] = "1,1,3,0,2,0,2,1,temp,0";
  EXPECT_EQ(CommandsOf(Compose()),
            (std::vector<std::string>{"AT+APN=" + kGbApn + "\r\n",
                                      "AT+GENSENSORINFO=0," + kGbItem + "\r\n"}));
}

TEST_F(ExactBytesTest, AnEditedFieldSendsWhatWasTypedAsUtf8) {
  Apn().SetText("互联网");
  DataName(0).SetText("湿度");
  EXPECT_EQ(CommandsOf(Compose()),
            (std::vector<std::string>{"AT+APN=互联网\r\n",
                                      "AT+GENSENSORINFO=0,1,1,3,0,2,0,2,1,湿度,0\r\n"}));
  // Typed back to what was shown, the fields stand for the device's bytes again.
  Apn().SetText("中国移动");
  DataName(0).SetText("温度");
  EXPECT_EQ(CommandsOf(Compose()), std::vector<std::string>{});
}

TEST_F(ExactBytesTest, AnItemWhoseOtherFieldChangedKeepsItsDataNameBytes) {
  WriteItemField(*window_.FindList("CustomList")->ItemAt(0), "SensorCfg_DeviceAddress", "7");
  EXPECT_EQ(CommandsOf(Compose()),
            std::vector<std::string>{"AT+GENSENSORINFO=0,1,7,3,0,2,0,2,1," + kGbName + ",0\r\n"});
}

TEST_F(ExactBytesTest, AFillWithUtf8ValuesForgetsTheBytesOfTheLastOne) {
  params_.at("Access Point Name").value = "中国移动";  // UTF-8 this time
  lists_.at("CustomList").items["GENSENSORINFO 0:"] = "1,1,3,0,2,0,2,1,温度,0";
  Apply();
  EXPECT_EQ(shown_.Size(), 0u);
  EXPECT_EQ(CommandsOf(Compose()), std::vector<std::string>{});
  // A device still holding the GB 18030 bytes now gets the UTF-8 text the form shows.
  params_.at("Access Point Name").value = kGbApn;
  EXPECT_EQ(CommandsOf(Compose()), std::vector<std::string>{"AT+APN=中国移动\r\n"});
}

TEST_F(ExactBytesTest, ALineBreakTypedIntoAnyFieldIsRefusedNotReplaced) {
  Apn().SetText("中国\r移动");
  DataName(0).SetText(std::string("温") + '\0' + "度");
  const ComposedWrites composed = Compose();
  EXPECT_EQ(CommandsOf(composed), std::vector<std::string>{});
  ASSERT_EQ(composed.refused.size(), 2u);
  EXPECT_EQ(composed.refused[0].name, "Access Point Name");
  EXPECT_EQ(composed.refused[0].reason, RefusalReason::LineBreak);
  EXPECT_EQ(composed.refused[1].field, "SensorCfg_DataName");
  EXPECT_EQ(composed.refused[1].reason, RefusalReason::LineBreak);
}
