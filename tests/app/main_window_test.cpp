#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <thread>

#include "event_loop.h"
#include "temp_dir.h"
#include "test_program.h"
#include "texts/language.h"
#include "ui/skin_window.h"

namespace {

// Everything that needs a device in its setting mode, the free commands of the operation page
// included.
const char* const kCommands[] = {"Save",    "Load",    "RestoreFactory", "SaveToFile",
                                 "SetTime", "GetVer",  "READFILELOG",    "CPIN",
                                 "CSQ",     "AT+LIST", "AT+FINDNETMODE", "quit"};
const char* const kPortSettings[] = {"Checkcode", "BaudRate1", "SerialPort"};

// The real main window on the real English skin, in a program folder of its own (its
// config.ini is the test's).
class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("config.ini", "[Set]\r\nLanguage=0\r\n[CustomVer]\r\nCustomVer=-Field\r\n");
    previousDir_ = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir_.Path()));
    window_ = MakeWindow(0);
  }
  void TearDown() override {
    window_.reset();
    QDir::setCurrent(previousDir_);
  }

  std::unique_ptr<CZR350FrameWnd> MakeWindow(int language) {
    std::string error;
    auto window = MakeTestWindow(dir_.Path(), language, &error);
    EXPECT_TRUE(window) << error;
    if (!window) return window;
    window->hooks().quit = [this] { ++quits_; };
    window->hooks().restart = [this] {
      ++restarts_;
      return restartWorks_;
    };
    return window;
  }

  bool Enabled(const char* name) { return window_->form().Find(name)->IsEnabled(); }
  std::string Text(const char* name) { return window_->form().Find(name)->Text(); }

  TempDir dir_;
  QString previousDir_;
  std::unique_ptr<CZR350FrameWnd> window_;
  int quits_ = 0;
  int restarts_ = 0;
  bool restartWorks_ = true;
};

}  // namespace

TEST_F(MainWindowTest, ButtonSetsFollowTheConnectionState) {
  PumpFor(50);  // Init posts the closed-port set
  for (const char* name : kCommands) EXPECT_FALSE(Enabled(name)) << name;
  EXPECT_FALSE(Enabled("Login"));
  for (const char* name : kPortSettings) EXPECT_TRUE(Enabled(name)) << name;
  EXPECT_EQ(Text("DeviceState"), "Not logged in");
  // Files and profiles need no device.
  for (const char* name : {"LoadFromFile", "NewProfile", "SaveProfile"})
    EXPECT_TRUE(Enabled(name)) << name;

  window_->HandleMessage(WM_SET_BUTTONS, 1, 3);  // port opened
  EXPECT_TRUE(Enabled("Login"));
  EXPECT_FALSE(Enabled("NewProfile")) << "a new profile would replace what the device showed";
  for (const char* name : kPortSettings) EXPECT_FALSE(Enabled(name)) << name;
  EXPECT_FALSE(Enabled("Load"));

  window_->HandleMessage(WM_SET_BUTTONS, 1, 0);  // logged in
  for (const char* name : kCommands) EXPECT_TRUE(Enabled(name)) << name;
  EXPECT_FALSE(Enabled("Login"));
  EXPECT_EQ(Text("DeviceState"), "Configuration mode");
  EXPECT_FALSE(window_->form().Find("helpGroupBox")->IsVisible());

  window_->HandleMessage(WM_SET_BUTTONS, 0, 2);  // a job runs
  EXPECT_FALSE(Enabled("Load"));
  EXPECT_EQ(Text("DeviceState"), "Configuration mode") << "set 2 leaves the login state alone";

  // A set above 3 changes nothing at all.
  std::vector<bool> before;
  for (const char* name : kCommands) before.push_back(Enabled(name));
  EXPECT_EQ(window_->HandleMessage(WM_SET_BUTTONS, 1, 7), 1);
  std::vector<bool> after;
  for (const char* name : kCommands) after.push_back(Enabled(name));
  EXPECT_EQ(before, after);
}

TEST_F(MainWindowTest, CaptionTextsAndHelpFillInOnce) {
  dir_.Write("Help.txt", "Help from the working directory\r\n");
  // A fresh window reads Help.txt from the working directory when its title timer fires.
  window_ = MakeWindow(0);
  RichEditControl* help = window_->form().FindRichEdit("HelpRichEdit");
  ASSERT_TRUE(PumpUntil([&] { return help->TextLength() > 0; }));
  EXPECT_NE(window_->form().Find("HelpRichEdit")->Text().find("Help from the working directory"),
            std::string::npos);
  EXPECT_EQ(Text("Ver"), "DTUConfigureTool V1.9.2-Field");
  EXPECT_EQ(Text("VerDown"), "2021/03/26 V1.9.2");
  EXPECT_FALSE(window_->form().Find("Logo_Container")->IsVisible());
}

TEST_F(MainWindowTest, MissingHelpFileShowsTheLanguageFileText) {
  // A portable copy whose skin lost its Help.txt, with none beside the program either.
  TempDir portable;
  ASSERT_TRUE(CopySkinsWithout(portable.Path(), "Help.txt"));
  std::string error;
  window_ = MakeTestWindow(portable.Path(), 0, &error);
  ASSERT_TRUE(window_) << error;
  RichEditControl* help = window_->form().FindRichEdit("HelpRichEdit");
  ASSERT_TRUE(PumpUntil([&] { return help->TextLength() > 0; }));
  EXPECT_NE(window_->form().Find("HelpRichEdit")->Text().find("Help.txt was not found"),
            std::string::npos);
}

TEST_F(MainWindowTest, ChineseCaptionTexts) {
  window_ = MakeWindow(1);
  ASSERT_TRUE(PumpUntil([&] { return Text("VerDown") == "2021年03月26日 V1.9.2"; }));
  EXPECT_EQ(Text("Ver"), "DTU配置工具 V1.9.2-Field");
}

TEST_F(MainWindowTest, LogPaneClearsWhenALineWouldReachItsLimit) {
  window_->logStatus().Append(std::string(LogAndStatus::kLogTextLimit - 20, 'a'));
  window_->logStatus().Append("short line\r\n");
  RichEditControl* log = window_->form().FindRichEdit("richedit");
  EXPECT_GT(log->TextLength(), LogAndStatus::kLogTextLimit - 20);
  window_->logStatus().Append(std::string(20, 'b'));  // length + 20 reaches 299999
  EXPECT_EQ(window_->form().Find("richedit")->Text(), std::string(20, 'b'));
}

TEST_F(MainWindowTest, LogLinesPostedFromAnotherThreadArriveInOrder) {
  std::thread worker([this] {
    for (int i = 0; i < 200; ++i) window_->session().PostLog("line " + std::to_string(i) + "\r\n");
  });
  worker.join();
  ASSERT_TRUE(PumpUntil([&] {
    return window_->form().Find("richedit")->Text().find("line 199") != std::string::npos;
  }));
  const std::string text = window_->form().Find("richedit")->Text();
  size_t at = 0;
  for (int i = 0; i < 200; ++i) {
    size_t next = text.find("line " + std::to_string(i), at);
    ASSERT_NE(next, std::string::npos) << i;
    at = next;
  }
}

TEST_F(MainWindowTest, MaximiseAndRestoreSwapTheirButtons) {
  window_->OnMaximizedChanged(true);
  EXPECT_FALSE(window_->form().Find("maxbtn")->IsVisible());
  EXPECT_TRUE(window_->form().Find("restorebtn")->IsVisible());
  window_->OnMaximizedChanged(false);
  EXPECT_TRUE(window_->form().Find("maxbtn")->IsVisible());
  EXPECT_FALSE(window_->form().Find("restorebtn")->IsVisible());
}

TEST_F(MainWindowTest, CloseButtonAndForeignCloseBothEndTheProgram) {
  window_->Notify({"click", window_->form().Find("closebtn"), 0, 0});
  ASSERT_TRUE(PumpUntil([&] { return quits_ == 1; }));
  window_->OnWindowClosed();
  ASSERT_TRUE(PumpUntil([&] { return quits_ == 2; }));
}

TEST_F(MainWindowTest, LanguageSwitchWritesTheSettingAndRestartsOnlyOnAChange) {
  ComboControl* language = window_->form().FindCombo("Language");
  ASSERT_EQ(language->CurSel(), 0);
  // The active language again: nothing.
  window_->language().SwitchLanguage();
  PumpFor(50);
  EXPECT_EQ(restarts_, 0);
  EXPECT_EQ(ReadLanguageValue(dir_.Path() + "config.ini"), 0);

  language->SelectItem(1);  // raises "itemselect", which posts the switch
  ASSERT_TRUE(PumpUntil([&] { return quits_ == 1; }));
  EXPECT_EQ(restarts_, 1);
  EXPECT_EQ(ReadIniString(dir_.Path() + "config.ini", "Set", "Language", "", 20), "1");
  EXPECT_EQ(ReadIniString(dir_.Path() + "config.ini", "CustomVer", "CustomVer", "", 260), "-Field");
}

TEST_F(MainWindowTest, ALanguageValueOfTwoIsChineseAndChoosingChineseKeepsIt) {
  dir_.Write("config.ini", "[Set]\r\nLanguage=2\r\n");
  window_ = MakeWindow(ReadLanguageValue(dir_.Path() + "config.ini"));
  EXPECT_EQ(window_->paths().skinDir, dir_.Path() + "skin/ConifgRes");
  ComboControl* language = window_->form().FindCombo("Language");
  EXPECT_EQ(language->CurSel(), 1);
  window_->language().SwitchLanguage();  // index 1 under a value of 2: the same language
  PumpFor(50);
  EXPECT_EQ(restarts_, 0);
  EXPECT_EQ(ReadLanguageValue(dir_.Path() + "config.ini"), 2);
  language->SelectItem(0);
  ASSERT_TRUE(PumpUntil([&] { return restarts_ == 1; }));
  EXPECT_EQ(ReadLanguageValue(dir_.Path() + "config.ini"), 0);
}

namespace {

// Wholly on screen: nothing of the tab is cut off by the strip or the window.
bool WhollyShown(Form& form, const std::string& name) {
  Control* tab = form.Find(name);
  return tab && tab->IsVisible() && tab->ShownWidth() == tab->DeclaredWidth();
}

}  // namespace

// The last tab chosen in a wide window stays in view when the window narrows, and the tabs that
// scrolled away come back when it widens again.
TEST_F(MainWindowTest, TheTabStripFollowsTheWindowSize) {
  SkinWindow* window = window_->window();
  window->resize(1920, 1080);
  window->show();
  PumpFor(100);
  const TabTable& tabs = window_->parameters().tabs();
  int last = -1;
  for (int i = 0; i < tabs.size(); ++i)
    if (tabs[i].shown) last = i;
  ASSERT_GT(last, 0);
  const std::string option = TabTable::OptionName(tabs[last].name);
  window_->form().FindOption(option)->Select(true);
  PumpFor(50);
  ASSERT_TRUE(WhollyShown(window_->form(), tabs[last].name));

  window->resize(1100, 680);
  ASSERT_TRUE(PumpUntil([&] { return WhollyShown(window_->form(), tabs[last].name); }))
      << "the chosen tab went out of view";
  int first = 0;
  while (first < tabs.size() && !tabs[first].shown) ++first;
  EXPECT_FALSE(window_->form().Find(tabs[first].name)->IsVisible()) << "the strip scrolled";

  window->resize(1920, 1080);
  ASSERT_TRUE(PumpUntil([&] {
    for (int i = 0; i < tabs.size(); ++i)
      if (tabs[i].shown && !WhollyShown(window_->form(), tabs[i].name)) return false;
    return true;
  })) << "a wide window shows every tab again";
}
