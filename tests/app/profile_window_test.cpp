// Profiles in the window, with no device: a new profile shows a model's factory values, an edit
// marks the title and the caption, closing asks before edits are lost, and a saved profile is a
// configuration file that opens to the same form.
#include <gtest/gtest.h>

#include <QDir>

#include "app/main_window.h"
#include "catalogue/config_acceptance.h"
#include "catalogue/config_text.h"
#include "domain/factory_config.h"
#include "event_loop.h"
#include "temp_dir.h"
#include "test_program.h"
#include "ui/skin_window.h"
#include "writing/config_file.h"

namespace {

// A configuration file's text, as every reader of one decodes it.
std::string ReadAll(const std::string& path) {
  std::string text;
  EXPECT_TRUE(ReadConfigFileFrom(path, &text, nullptr)) << path;
  return text;
}

class ProfileWindowTest : public testing::Test {
 protected:
  void SetUp() override { window_ = Make(); }

  std::unique_ptr<CZR350FrameWnd> Make() {
    std::string error;
    auto window = MakeTestWindow(dir_.Path(), 0, &error);
    EXPECT_TRUE(window) << error;
    window->hooks().quit = [this] { ++quits_; };
    window->hooks().confirm = [this](const std::string& text) {
      questions_.push_back(text);
      return answer_;
    };
    window->hooks().chooseProfileModel = [this] { return model_; };
    PumpFor(50);
    return window;
  }

  void Click(const char* name) {
    window_->Notify({"click", window_->form().Find(name), 0, 0});
    PumpFor(250);
  }
  void Type(const char* name, const char* text) {
    Control* field = window_->form().Find(name);
    ASSERT_TRUE(field) << name;
    field->SetText(text);
    window_->Notify({"killfocus", field, 0, 0});
    PumpFor(250);
  }
  std::string Caption() { return window_->form().Find("ProfileName")->Text(); }
  std::string Title() { return window_->window()->windowTitle().toStdString(); }

  TempDir dir_;
  std::unique_ptr<CZR350FrameWnd> window_;
  std::optional<std::string> model_ = "5dio";
  std::vector<std::string> questions_;
  bool answer_ = false;
  int quits_ = 0;
};

}  // namespace

TEST_F(ProfileWindowTest, ANewProfileShowsTheFactoryValuesAndSavesThemUnchanged) {
  for (const ProfileModel& model : ProfileModels()) {
    SCOPED_TRACE(model.name);
    model_ = model.name;
    Click("NewProfile");
    EXPECT_FALSE(window_->parameters().HasUnsavedEdits());
    EXPECT_TRUE(window_->form().Find("ProfileName")->IsVisible());
    EXPECT_EQ(Caption(), "Not saved in a file");
    const std::string path = dir_.Path() + model.name + ".cfg";
    ASSERT_TRUE(window_->parameters().SaveProfileTo(path));
    // Every row as the factory has it, in the device's layout.
    EXPECT_EQ(ReadAll(path), ComposeConfigText(FactoryConfig(model)));
    EXPECT_EQ(Caption(), "Profile: " + std::string(model.name) + ".cfg");
  }
  EXPECT_TRUE(questions_.empty()) << "nothing was unsaved, so nothing was asked";
}

TEST_F(ProfileWindowTest, AnEditMarksTheTitleAndClosingAsksBeforeItIsLost) {
  Click("NewProfile");
  const std::string path = dir_.Path() + "fleet.cfg";
  ASSERT_TRUE(window_->parameters().SaveProfileTo(path));
  EXPECT_EQ(Title().find('*'), std::string::npos) << Title();

  Type("Server's Ip", "10.20.30.40");
  EXPECT_TRUE(window_->parameters().HasUnsavedEdits());
  EXPECT_NE(Title().find("fleet.cfg*"), std::string::npos) << Title();
  EXPECT_EQ(Caption(), "Profile: fleet.cfg · unsaved edits");

  // "No" keeps the window and the edits.
  Click("closebtn");
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_NE(questions_[0].find("neither written to the device nor saved"), std::string::npos);
  EXPECT_EQ(quits_, 0);

  // Saved, the edit is in the file, which opens to the same form in another window.
  ASSERT_TRUE(window_->parameters().SaveProfileTo(path));
  EXPECT_FALSE(window_->parameters().HasUnsavedEdits());
  const std::string saved = ReadAll(path);
  EXPECT_TRUE(JudgeConfigText(saved).accepted());
  EXPECT_NE(saved.find("10.20.30.40"), std::string::npos);
  Click("closebtn");
  EXPECT_EQ(quits_, 1) << "nothing to lose: no question";
  EXPECT_EQ(questions_.size(), 1u);

  auto other = Make();
  ASSERT_TRUE(other->parameters().LoadFile(path));
  PumpFor(250);
  const std::string again = dir_.Path() + "again.cfg";
  ASSERT_TRUE(other->parameters().SaveProfileTo(again));
  EXPECT_EQ(ReadAll(again), saved);
}

TEST_F(ProfileWindowTest, UnsavedEditsAskBeforeTheLanguageSwitchAndANewProfile) {
  Click("NewProfile");
  Type("Server's Ip", "10.20.30.40");
  ComboControl* language = window_->form().FindCombo("Language");
  language->SelectItem(1);
  window_->language().SwitchLanguage();
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_EQ(language->CurSel(), 0) << "the switch did not happen";

  model_ = "3dio";
  Click("NewProfile");
  ASSERT_EQ(questions_.size(), 2u);
  EXPECT_TRUE(window_->parameters().HasUnsavedEdits()) << "the edit is still there";
}
