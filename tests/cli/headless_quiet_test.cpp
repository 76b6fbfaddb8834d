// Headless commands keep stderr for their own messages: the font warnings Qt prints while the
// hidden form lays out random bytes are dropped, everything else still gets through.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QTextEdit>

#include <random>
#include <string>
#include <vector>

#include "cli/subcommands.h"

namespace {

struct Message {
  QtMsgType type;
  std::string category;
  QString text;
};
std::vector<Message>* g_recorded = nullptr;

void Record(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  g_recorded->push_back({type, context.category != nullptr ? context.category : "", text});
}

TEST(HeadlessFontNoise, WhatQtPrintsForRandomBytesInTheLogIsDroppedAndNothingElse) {
  std::vector<Message> recorded;
  g_recorded = &recorded;
  const QtMessageHandler previous = qInstallMessageHandler(Record);
  {
    // The log pane and a value of the hidden form, as a flooded port fills them.
    QTextEdit log;
    QLabel value;
    log.resize(400, 300);
    std::mt19937 random(7);
    for (int line = 0; line < 40; ++line) {
      QByteArray bytes;
      for (int i = 0; i < 200; ++i) bytes += static_cast<char>(random() & 0xff);
      log.append(QString::fromLocal8Bit(bytes));
      log.ensureCursorVisible();
      value.setText(QString::fromLocal8Bit(bytes));
      (void)value.sizeHint();
      QCoreApplication::processEvents();
    }
    (void)log.document()->size();
  }
  qInstallMessageHandler(previous);
  g_recorded = nullptr;

  if (recorded.empty()) GTEST_SKIP() << "this machine's fonts shape the bytes without a warning";
  for (const Message& m : recorded) {
    EXPECT_TRUE(IsFontNoise(m.type, m.category.c_str(), m.text))
        << m.category << ": " << m.text.toStdString();
  }
}

TEST(HeadlessFontNoise, OtherMessagesAreKept) {
  EXPECT_FALSE(IsFontNoise(QtWarningMsg, "dtu.skin", "skin.xml: cannot open the skin file"));
  EXPECT_FALSE(IsFontNoise(QtWarningMsg, "default", "QSocketNotifier: Invalid socket"));
  EXPECT_FALSE(IsFontNoise(QtWarningMsg, nullptr, "OpenType support is fine"));
  EXPECT_FALSE(IsFontNoise(QtCriticalMsg, "qt.qpa.fonts", "a font error"));
  // The runtime folder's warnings mean nothing to a command without a window.
  EXPECT_TRUE(
      IsFontNoise(QtWarningMsg, "default",
                  "QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-x'"));
  EXPECT_TRUE(IsFontNoise(QtWarningMsg, "default",
                          "QStandardPaths: wrong permissions on runtime directory /tmp/rt, 0755 "
                          "instead of 0700"));
  EXPECT_TRUE(
      IsFontNoise(QtWarningMsg, "qt.qpa.fonts", "QFontDatabase: Cannot find font directory"));
  EXPECT_TRUE(IsFontNoise(QtWarningMsg, "qt.text.font.db", "anything"));
  EXPECT_TRUE(IsFontNoise(QtWarningMsg, "default",
                          "  OpenType support missing for \"DejaVu Sans\", script 9"));
}

}  // namespace
