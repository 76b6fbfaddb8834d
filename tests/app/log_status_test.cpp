// The log pane, the device-state looks and the status line on the real window with the real
// English skin (offscreen), without a device.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBlock>

#include <fstream>
#include <map>
#include <set>

#include "app/log_pane.h"
#include "app/main_window.h"
#include "app/status_line.h"
#include "event_loop.h"
#include "temp_dir.h"
#include "test_program.h"
#include "ui/skin_window.h"

namespace {

class LogStatusTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("config.ini", "[Set]\r\nLanguage=0\r\n");
    std::string error;
    window_ = MakeTestWindow(dir_.Path(), 0, &error);
    ASSERT_TRUE(window_) << error;
    window_->hooks().messageBox = [this](const std::string& text) { boxes_.push_back(text); };
    ASSERT_NE(window_->logStatus().pane(), nullptr);
    ASSERT_NE(window_->logStatus().statusLine(), nullptr);
  }

  LogPane& Pane() { return *window_->logStatus().pane(); }
  std::string Log() { return window_->form().Find("richedit")->Text(); }
  QWidget* Widget(const char* name) { return dynamic_cast<QWidget*>(window_->form().Find(name)); }

  TempDir dir_;
  std::unique_ptr<CZR350FrameWnd> window_;
  std::vector<std::string> boxes_;
};

struct Piece {
  LogKind kind;
  const char* text;
};

struct LineStartCase {
  const char* what;
  std::vector<Piece> pieces;
  const char* shown;
};

}  // namespace

TEST_F(LogStatusTest, TheProgramsLinesStartOnANewLineAndDeviceBytesStayAsReceived) {
  const LineStartCase cases[] = {
      {"a command sent after a half-received line",
       {{LogKind::kReceived, "AT+LIST \xe2\x80\xa6 this lis"},
        {LogKind::kSent, "send:AT+SHOW\r\n"}},
       "AT+LIST \xe2\x80\xa6 this lis\nsend:AT+SHOW\n"},
      {"the program's own message after a half line",
       {{LogKind::kReceived, "RS485 port binding cent"},
        {LogKind::kProgram, "The serial device was disconnected /dev/ttyUSB0\r\n"}},
       "RS485 port binding cent\nThe serial device was disconnected /dev/ttyUSB0\n"},
      {"device chunks join into one line",
       {{LogKind::kReceived, "Access Po"}, {LogKind::kReceived, "int Name:cmnet\r\n"}},
       "Access Point Name:cmnet\n"},
      {"a CR LF split across two chunks is one line end",
       {{LogKind::kReceived, "OK\r"}, {LogKind::kReceived, "\nnext"}},
       "OK\nnext"},
      {"a verdict after a complete line adds no empty line",
       {{LogKind::kReceived, "\r\nOK\r\n"}, {LogKind::kVerdict, "Parameter saved\r\n"}},
       "\nOK\nParameter saved\n"},
      {"an error after a half line",
       {{LogKind::kReceived, "+CSQ: 2"}, {LogKind::kError, "Timeout\r\n"}},
       "+CSQ: 2\nTimeout\n"},
  };
  for (const LineStartCase& c : cases) {
    window_->logStatus().Clear();
    for (const Piece& piece : c.pieces) window_->OnSessionLogOfKind(piece.text, piece.kind);
    EXPECT_EQ(Log(), c.shown) << c.what;
  }
}

TEST_F(LogStatusTest, LinesPostedThroughTheSessionKeepTheirLineStarts) {
  window_->session().PostLogOfKind("this lis", LogKind::kReceived);
  window_->session().PostLogOfKind("send:AT+SHOW\r\n", LogKind::kSent);
  ASSERT_TRUE(PumpUntil([&] { return Log().find("AT+SHOW") != std::string::npos; }));
  EXPECT_EQ(Log(), "this lis\nsend:AT+SHOW\n");
}

TEST_F(LogStatusTest, EachKindOfLineHasItsOwnColour) {
  const Piece pieces[] = {{LogKind::kProgram, "Port opened\r\n"},
                          {LogKind::kSent, "send:AT+APN=x\r\n"},
                          {LogKind::kReceived, "AT+APN=x\r\nOK\r\n"},
                          {LogKind::kVerdict, "Parameter saved\r\n"},
                          {LogKind::kError, "Timeout\r\n"}};
  for (const Piece& piece : pieces) window_->OnSessionLogOfKind(piece.text, piece.kind);
  std::map<std::string, QColor> colours;
  for (QTextBlock block = Pane().edit()->document()->begin(); block.isValid();
       block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it)
      colours[it.fragment().text().toStdString()] = it.fragment().charFormat().foreground().color();
  }
  std::set<QRgb> distinct;
  for (const char* line : {"Port opened", "send:AT+APN=x", "OK", "Parameter saved", "Timeout"}) {
    ASSERT_TRUE(colours.count(line)) << line;
    distinct.insert(colours[line].rgb());
  }
  EXPECT_EQ(distinct.size(), 5u) << "every kind looks different";
}

TEST_F(LogStatusTest, TimestampsGoInFrontOfEveryLineAndComeOffAgain) {
  window_->OnSessionLogOfKind("send:AT+SHOW\r\n", LogKind::kSent);
  window_->OnSessionLogOfKind("AT+SHOW\r\nSoftware Ver", LogKind::kReceived);
  window_->OnSessionLogOfKind("sion:1.0\r\n", LogKind::kReceived);
  const std::string plain = Log();
  Pane().timestampBox()->setChecked(true);
  const QStringList lines = QString::fromStdString(Log()).split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3);
  const QRegularExpression stamp("^\\[\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\] ");
  for (const QString& line : lines) EXPECT_TRUE(stamp.match(line).hasMatch()) << line.toStdString();
  EXPECT_TRUE(lines[2].endsWith("] Software Version:1.0")) << "a line split across chunks";
  Pane().timestampBox()->setChecked(false);
  EXPECT_EQ(Log(), plain);
}

TEST_F(LogStatusTest, SaveLogWritesTheShownTextToTheChosenFile) {
  window_->OnSessionLogOfKind("send:AT+SHOW\r\n", LogKind::kSent);
  window_->OnSessionLogOfKind("Access Point Name:cmnet\r\n", LogKind::kReceived);
  const std::string path = dir_.Path() + "session.log";
  Pane().askSavePath = [&] { return path; };
  const std::string shown = Log();
  Pane().saveButton()->click();
  EXPECT_EQ(dir_.Read("session.log"), shown + "\n");
  EXPECT_NE(Log().find("Log saved to " + path), std::string::npos);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(LogStatusTest, SaveLogThatCannotWriteSaysWhyAndLeavesTheTargetAlone) {
  window_->OnSessionLogOfKind("line\r\n", LogKind::kReceived);
  ASSERT_TRUE(QDir(QString::fromStdString(dir_.Path())).mkdir("taken"));
  Pane().askSavePath = [&] { return dir_.Path() + "taken"; };
  Pane().saveButton()->click();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find("The log could not be saved."), std::string::npos) << boxes_[0];
  EXPECT_NE(boxes_[0].find("taken"), std::string::npos) << boxes_[0];
  EXPECT_TRUE(QDir(QString::fromStdString(dir_.Path() + "taken")).exists());
  // Cancelling the dialog writes nothing and says nothing.
  Pane().askSavePath = [] { return std::string(); };
  Pane().saveButton()->click();
  EXPECT_EQ(boxes_.size(), 1u);
}

TEST_F(LogStatusTest, FindSelectsTheNextMatchAndWrapsAround) {
  window_->OnSessionLogOfKind("send:AT+APN=a\r\n", LogKind::kSent);
  window_->OnSessionLogOfKind("AT+APN=a\r\nERROR\r\n", LogKind::kReceived);
  window_->OnSessionLogOfKind("send:AT+APN=b\r\n", LogKind::kSent);
  QLineEdit* find = Pane().findBox();
  QPlainTextEdit* edit = Pane().edit();
  find->setText("send:AT+APN");
  emit find->returnPressed();
  EXPECT_EQ(edit->textCursor().selectedText(), "send:AT+APN");
  const int first = edit->textCursor().selectionStart();
  emit find->returnPressed();
  const int second = edit->textCursor().selectionStart();
  EXPECT_GT(second, first);
  emit find->returnPressed();
  EXPECT_EQ(edit->textCursor().selectionStart(), first) << "wraps to the first match";
  EXPECT_TRUE(Pane().Find("ERROR"));
  EXPECT_EQ(edit->textCursor().selectedText(), "ERROR");
  EXPECT_FALSE(Pane().Find("nowhere"));
  EXPECT_FALSE(edit->textCursor().hasSelection());
}

TEST_F(LogStatusTest, TheLogPaneIsResizedWithASplitter) {
  SkinWindow* window = window_->window();
  window->resize(1100, 680);
  window->setAttribute(Qt::WA_DontShowOnScreen, true);
  window->show();
  auto* splitter = window->findChild<QSplitter*>("LogSplitter");
  ASSERT_NE(splitter, nullptr);
  ASSERT_EQ(splitter->count(), 2);
  EXPECT_EQ(splitter->widget(0), Widget("switch"));
  EXPECT_EQ(splitter->widget(1), Widget("BottomPanel"));
  QWidget* bottom = Widget("BottomPanel");
  PumpUntil([&] { return bottom->height() > 0; }, 2000);
  const int before = bottom->height();
  const QList<int> sizes = splitter->sizes();
  splitter->setSizes({sizes[0] - 150, sizes[1] + 150});
  PumpFor(20);
  EXPECT_GE(bottom->height(), before + 140);
}

// A login hides the help to give the log its room; the "Help" button of the log's tool row
// brings it back and hides it again.
TEST_F(LogStatusTest, TheHelpStaysReachableAfterALogin) {
  SkinWindow* window = window_->window();
  window->setAttribute(Qt::WA_DontShowOnScreen, true);
  window->show();
  QWidget* help = Widget("helpGroupBox");
  auto* toggle = window->findChild<QPushButton*>("HelpToggle");
  ASSERT_TRUE(help && toggle);
  EXPECT_EQ(toggle->text(), "Help");
  EXPECT_TRUE(help->isVisible());
  EXPECT_TRUE(toggle->isChecked());

  window_->device().SetDeviceState(true);
  EXPECT_FALSE(help->isVisible());
  EXPECT_FALSE(toggle->isChecked()) << "the button follows the pane";
  toggle->click();
  EXPECT_TRUE(help->isVisible());
  EXPECT_TRUE(toggle->isChecked());
  toggle->click();
  EXPECT_FALSE(help->isVisible());
}

TEST_F(LogStatusTest, NotLoggedInAndConfigurationModeLookDifferent) {
  SkinWindow* window = window_->window();
  window->setAttribute(Qt::WA_DontShowOnScreen, true);
  window->show();
  auto* state = qobject_cast<QLabel*>(Widget("DeviceState"));
  ASSERT_NE(state, nullptr);
  auto look = [&] {
    state->ensurePolished();
    return std::make_pair(state->palette().color(QPalette::WindowText).rgb(),
                          state->grab().toImage().pixel(2, state->height() / 2));
  };
  window_->HandleMessage(WM_SET_BUTTONS, 0, 1);  // port closed
  const auto closed = look();
  EXPECT_EQ(state->text(), "Not logged in");
  window_->HandleMessage(WM_SET_BUTTONS, 1, 0);  // logged in
  const auto config = look();
  EXPECT_EQ(state->text(), "Configuration mode");
  EXPECT_NE(closed.first, config.first) << "text colour";
  EXPECT_NE(closed.second, config.second) << "background";
  window_->HandleMessage(WM_SET_BUTTONS, 0, 0);  // logged out again
  EXPECT_EQ(look(), closed);
}

TEST_F(LogStatusTest, BatchSummariesCountWhatBecameOfEachWrite) {
  struct Case {
    BatchSummary summary;
    const char* text;
  } cases[] = {
      {{3, 3, 0, 0, {}, false}, "Write finished: 3 of 3 written"},
      {{4, 2, 1, 0, {"Access Point Name"}, false},
       "Write finished: 2 of 4 written; refused 1: Access Point Name; no answer 1"},
      {{10, 2, 0, 8, {}, true}, "Write cancelled: 2 of 10 written; not sent 8"},
      {{3, 0, 0, 0, {"Server's Ip", "Server's Port"}, false},
       "Write finished: 0 of 3 written; refused 2: Server's Ip, Server's Port"},
      // A restart is told apart from a time-out; the writes behind it were never sent.
      {{5, 1, 0, 3, {}, false, 1},
       "Write finished: 1 of 5 written; cut short by a restart 1; not sent 3"},
  };
  for (const Case& c : cases) EXPECT_EQ(BatchSummaryText(c.summary), c.text);
}

TEST_F(LogStatusTest, ShowReplyValuesForTheStatusLine) {
  const std::string reply =
      "AT+SHOW\r\n\r\nSoftware Version:Zr350V4.2.7 build 1\r\nDevice Type:"
      "ZR350\r\nAccess Point Name:cmnet\r\n";
  EXPECT_EQ(ShowReplyValue(reply, "Software Version"), "Zr350V4.2.7 build 1");
  EXPECT_EQ(ShowReplyValue(reply, "Device Type"), "ZR350");
  EXPECT_EQ(ShowReplyValue(reply, "LORA ver"), "");
  EXPECT_EQ(ShowReplyValue("\nDevice Type:cut", "Device Type"), "cut");
  EXPECT_EQ(ShowReplyValue("AT+SHOW\r\nFirmware version:Zr350V1.8.6\r\n", "Firmware version"),
            "Zr350V1.8.6");
}

namespace {

// The keys of section [LogAndStatus] in a language file, with their texts.
std::map<std::string, std::string> SectionTexts(const std::string& path) {
  std::map<std::string, std::string> texts;
  std::ifstream in(path);
  std::string line;
  bool inSection = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with("[")) inSection = line == "[LogAndStatus]";
    const size_t eq = line.find('=');
    if (inSection && !line.starts_with(";") && eq != std::string::npos)
      texts[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return texts;
}

}  // namespace

TEST(LogAndStatusTexts, BothLanguagesHoldEveryTextWithTheSamePlaceholders) {
  const char* const keys[] = {
      "Timestamps",   "TimestampsTip", "FindPlaceholder", "SaveLog",       "SaveLogTip",
      "SaveLogTitle", "SaveLogFilter", "LogSaved",        "SaveLogFailed", "PortNone",
      "StateClosed",  "StateWaiting",  "StateConfig",     "JobReading",    "JobRunning",
      "JobWriting",   "JobReadName",   "JobDone",         "JobRefused",    "JobTimedOut",
      "Cancel",       "CancelTip",     "BatchShort",      "BatchWritten",  "BatchCancelled",
      "BatchRefused", "BatchTimedOut", "BatchRestarted",  "BatchNotSent",  "HelpToggle",
      "HelpToggleTip"};
  const auto en = SectionTexts(std::string(DTU_SKIN_ROOT) + "/ConifgENRes/Language.ini");
  const auto zh = SectionTexts(std::string(DTU_SKIN_ROOT) + "/ConifgRes/Language.ini");
  auto placeholders = [](const std::string& text) {
    std::set<std::string> names;
    for (size_t at = text.find('{'); at != std::string::npos; at = text.find('{', at + 1))
      names.insert(text.substr(at, text.find('}', at) - at));
    return names;
  };
  for (const char* key : keys) {
    ASSERT_TRUE(en.count(key)) << key;
    ASSERT_TRUE(zh.count(key)) << key;
    EXPECT_FALSE(en.at(key).empty()) << key;
    EXPECT_NE(en.at(key), zh.at(key)) << key << " is translated";
    EXPECT_EQ(placeholders(en.at(key)), placeholders(zh.at(key))) << key;
  }
  EXPECT_EQ(en.size(), std::size(keys)) << "no text the program does not read";
  EXPECT_EQ(zh.size(), std::size(keys));
}
