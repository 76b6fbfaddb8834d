// The keyboard on the real window (real skins, offscreen): where the focus goes while buttons
// are disabled, the Tab order, Enter on buttons, the shortcuts and their tooltips; and the help
// text's lookup order.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTest>

#include <algorithm>

#include "app/keyboard.h"
#include "event_loop.h"
#include "temp_dir.h"
#include "test_program.h"
#include "ui/skin_window.h"

namespace {

class KeyboardTest : public testing::Test {
 protected:
  void SetUp() override { Make(0); }
  void TearDown() override { window_.reset(); }

  void Make(int language) {
    window_.reset();
    dir_.Write("config.ini", "[Set]\r\nLanguage=" + std::to_string(language) + "\r\n");
    std::string error;
    window_ = MakeTestWindow(dir_.Path(), language, &error);
    ASSERT_TRUE(window_) << error;
    window_->hooks().restart = [this] {
      ++restarts_;
      return restartWorks_;
    };
    window_->form().ShowWindowCentered();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_->window()));
    PumpFor(20);  // Init's button set
  }

  QWidget* W(const char* name) {
    auto* widget = dynamic_cast<QWidget*>(window_->form().Find(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  std::string FocusName() {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
      if (!w->objectName().isEmpty() && window_->form().Find(w->objectName().toStdString()))
        return w->objectName().toStdString();
    }
    return "";
  }
  void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
  }
  // The named controls the Tab key visits from `start`, once round.
  std::vector<std::string> TabRound(const char* start) {
    W(start)->setFocus(Qt::TabFocusReason);
    std::vector<std::string> visited{FocusName()};
    for (int i = 0; i < 400; ++i) {
      Press(Qt::Key_Tab);
      const std::string name = FocusName();
      if (name == start) break;
      if (visited.empty() || visited.back() != name) visited.push_back(name);
    }
    return visited;
  }
  void LoggedInButtons() {
    window_->HandleMessage(WM_SET_BUTTONS, 1, 3);
    window_->HandleMessage(WM_SET_BUTTONS, 1, 0);
  }

  TempDir dir_;
  std::unique_ptr<CZR350FrameWnd> window_;
  int restarts_ = 0;
  bool restartWorks_ = true;
};

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// `expected` appears in `names` in this order, each right after the one before.
bool InOrder(const std::vector<std::string>& names, const std::vector<std::string>& expected) {
  auto at = std::search(names.begin(), names.end(), expected.begin(), expected.end());
  return at != names.end();
}

}  // namespace

TEST_F(KeyboardTest, AButtonDisabledWhileItsJobRunsLeavesTheFocusOnTheLogAndGetsItBack) {
  LoggedInButtons();
  W("Load")->setFocus(Qt::TabFocusReason);
  ASSERT_EQ(FocusName(), "Load");
  window_->HandleMessage(WM_SET_BUTTONS, 0, 2);  // the job runs
  EXPECT_EQ(FocusName(), "richedit");
  // The keys a user presses while waiting change no setting and restart nothing.
  for (int key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_End}) Press(key);
  PumpFor(50);
  EXPECT_EQ(window_->form().FindCombo("Language")->CurSel(), 0);
  EXPECT_EQ(restarts_, 0);
  window_->HandleMessage(WM_SET_BUTTONS, 1, 2);  // the queue is empty again
  EXPECT_EQ(FocusName(), "Load");
}

TEST_F(KeyboardTest, AFocusMovedDuringTheJobStaysWhereTheUserPutIt) {
  LoggedInButtons();
  W("Save")->setFocus(Qt::TabFocusReason);
  window_->HandleMessage(WM_SET_BUTTONS, 0, 2);
  W("Clear")->setFocus(Qt::MouseFocusReason);
  window_->HandleMessage(WM_SET_BUTTONS, 1, 2);
  EXPECT_EQ(FocusName(), "Clear");
}

TEST_F(KeyboardTest, LoggingOutWithTheFocusOnACommandDoesNotFocusTheLanguageList) {
  LoggedInButtons();
  for (const char* name : {"RestoreFactory", "quit", "SaveToFile"}) {
    W(name)->setFocus(Qt::TabFocusReason);
    window_->HandleMessage(WM_SET_BUTTONS, 0, 0);  // logged out: the commands go grey
    EXPECT_NE(FocusName(), "Language") << name;
    Press(Qt::Key_Up);
    EXPECT_EQ(window_->form().FindCombo("Language")->CurSel(), 0) << name;
    LoggedInButtons();
  }
  PumpFor(50);
  EXPECT_EQ(restarts_, 0);
}

TEST_F(KeyboardTest, TabRunsDownTheConnectionPanelThenThePagesAndNeverToLanguage) {
  // Port closed: the port settings and "Open".
  std::vector<std::string> round = TabRound("SerialPort");
  EXPECT_TRUE(InOrder(round, {"SerialPort", "RefreshPorts", "BaudRate1", "Checkcode", "Open"}))
      << testing::PrintToString(round);
  // Logged in: "Open" and the commands from top to bottom.
  LoggedInButtons();
  std::vector<std::string> loggedIn = TabRound("Open");
  EXPECT_TRUE(InOrder(
      loggedIn, {"Open", "quit", "Load", "Save", "LoadFromFile", "SaveToFile", "RestoreFactory"}))
      << testing::PrintToString(loggedIn);
  for (const auto& names : {round, loggedIn}) {
    for (const char* never : {"Language", "minbtn", "maxbtn", "closebtn"})
      EXPECT_FALSE(Contains(names, never)) << never;
    // The shown page's fields and the log follow the panel.
    EXPECT_TRUE(Contains(names, "Protocolmodel")) << testing::PrintToString(names);
    EXPECT_TRUE(Contains(names, "Clear"));
  }
  // A click still reaches the language list.
  QTest::mouseClick(W("Language"), Qt::LeftButton);
  EXPECT_EQ(FocusName(), "Language");
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
}

TEST_F(KeyboardTest, EnterOnAFocusedButtonClicksItOnce) {
  window_->logStatus().Append("a line\r\n");
  W("Clear")->setFocus(Qt::TabFocusReason);
  Press(Qt::Key_Return);
  EXPECT_EQ(window_->form().Find("richedit")->Text(), "");

  // The routing arrows are buttons too; a held Enter clicks once.
  Control* arrow = window_->form().Find("COM2GPRS");
  ASSERT_NE(arrow, nullptr);
  const std::string before = arrow->BkImage();
  W("COM2GPRS")->setFocus(Qt::TabFocusReason);
  QWidget* focus = QApplication::focusWidget();
  QTest::keyClick(focus, Qt::Key_Enter, Qt::KeypadModifier);
  const std::string toggled = arrow->BkImage();
  EXPECT_NE(toggled, before);
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(focus, &repeat);
  EXPECT_EQ(arrow->BkImage(), toggled);
  // Another chord is left to its shortcut.
  QTest::keyClick(focus, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(arrow->BkImage(), toggled);

  // A page tab is picked by Enter too, and brings its page.
  OptionControl* serial = window_->form().FindOption("Serial");
  ASSERT_NE(serial, nullptr);
  EXPECT_FALSE(serial->IsSelected());
  W("Serial")->setFocus(Qt::TabFocusReason);
  Press(Qt::Key_Return);
  EXPECT_TRUE(serial->IsSelected());
  EXPECT_FALSE(window_->form().FindOption("WorkMode")->IsSelected());
}

TEST_F(KeyboardTest, ShortcutsClickTheirButtonOnlyWhenItIsEnabled) {
  // Port closed: F5 lists the ports again, which logs a line; "Read" is grey and its key queues
  // nothing.
  W("Open")->setFocus(Qt::TabFocusReason);
  Press(Qt::Key_F5);
  const std::string afterRefresh = window_->form().Find("richedit")->Text();
  EXPECT_NE(afterRefresh, "");
  Press(Qt::Key_R, Qt::ControlModifier);
  EXPECT_EQ(window_->session().QueuedJobs(), 0u);
  // Logged in: the port settings are locked, so F5 does nothing; the read is queued (no worker
  // runs here to take it).
  LoggedInButtons();
  Press(Qt::Key_F5);
  EXPECT_EQ(window_->form().Find("richedit")->Text(), afterRefresh);
  Press(Qt::Key_R, Qt::ControlModifier);
  EXPECT_EQ(window_->session().QueuedJobs(), 1u);
}

TEST_F(KeyboardTest, TooltipsNameTheKeysInBothLanguages) {
  struct Case {
    int language;
    const char* button;
    const char* tip;
  };
  const Case cases[] = {
      {0, "Load", "Read every parameter from the device (Ctrl+R)"},
      {0, "Save", "Write the changed parameters to the device (Ctrl+Shift+W)"},
      {0, "LoadFromFile", "Load a configuration file (.cfg) and write it (Ctrl+O)"},
      {0, "SaveToFile", "Read the device and save its configuration to a file (Ctrl+S)"},
      {0, "RefreshPorts", "Search the serial ports again (F5)"},
      {1, "Load", "从设备读取全部参数 (Ctrl+R)"},
      {1, "Save", "把修改过的参数写入设备 (Ctrl+Shift+W)"},
      {1, "RefreshPorts", "重新搜索串口 (F5)"},
  };
  for (const Case& c : cases) {
    if (window_->languageValue() != c.language) {
      ASSERT_NO_FATAL_FAILURE(Make(c.language));
    }
    EXPECT_EQ(W(c.button)->toolTip().toStdString(), c.tip);
  }
}

// The help pane's text: the working directory's Help.txt, else the skin's of the language, else
// the one beside the program, else the language file's notice. Each skin ships its own.
TEST(HelpLookup, WorkingDirectoryThenSkinThenBesideTheProgram) {
  TempDir dir;
  const std::string program = dir.Path() + "program/";
  const std::string bare = dir.Path() + "bare/";
  const std::string work = dir.Path() + "work/";
  QDir().mkpath(QString::fromStdString(program));
  QDir().mkpath(QString::fromStdString(work));
  // A portable copy whose skins have lost their Help.txt.
  ASSERT_TRUE(CopySkinsWithout(bare, "Help.txt"));
  const QString previous = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(work));
  auto helpOf = [&](const std::string& programDir, int language) {
    std::string error;
    auto window = MakeTestWindow(programDir, language, &error);
    EXPECT_TRUE(window) << error;
    if (!window) return std::string();
    RichEditControl* help = window->form().FindRichEdit("HelpRichEdit");
    EXPECT_TRUE(PumpUntil([&] { return help->TextLength() > 0; }));
    return window->form().Find("HelpRichEdit")->Text();
  };
  const std::string english = helpOf(program, 0);
  EXPECT_NE(english.find("quick start"), std::string::npos) << english;
  const std::string chinese = helpOf(program, 1);
  EXPECT_NE(chinese.find("DTU 配置工具：快速入门"), std::string::npos) << chinese;
  EXPECT_EQ(chinese.find("quick start"), std::string::npos);
  // Without the skin's: the one beside the program, else the notice.
  EXPECT_NE(helpOf(bare, 0).find("Help.txt was not found"), std::string::npos);
  dir.Write("bare/Help.txt", "beside the program");
  EXPECT_EQ(helpOf(bare, 0), "beside the program");
  dir.Write("program/Help.txt", "beside the program");
  EXPECT_NE(helpOf(program, 1).find("快速入门"), std::string::npos) << "the skin's comes first";
  // The working directory's comes first.
  dir.Write("work/Help.txt", "from the working directory");
  EXPECT_EQ(helpOf(program, 0), "from the working directory");
  EXPECT_EQ(helpOf(program, 1), "from the working directory");
  QDir::setCurrent(previous);
}
