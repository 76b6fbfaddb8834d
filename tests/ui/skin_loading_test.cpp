// Loading skins: pages from unknown tags, failures, the window's own events.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "ui/control_base.h"
#include "ui/skin_window.h"
#include "ui_test_support.h"

namespace {

TEST(SkinLoading, UnknownTagsOfTheMainFileBecomePagesButNotThoseOfPageFiles) {
  RecordingSink sink;
  PageCallback callback;
  SkinWindow window(FixtureSkinDir(), &callback, &sink);
  ASSERT_TRUE(window.Load()) << window.LoadError();
  // <Nested/> sits inside PageA.xml and never reaches the callback.
  EXPECT_EQ(callback.tags, (std::vector<std::string>{"PageA", "Missing"}));
  Control* pageA = window.Find("PageAContainer");  // the tag's attributes apply to the page
  ASSERT_NE(pageA, nullptr);
  EXPECT_EQ(pageA->ClassName(), "PageAUI");
  EXPECT_EQ(pageA->AsContainer()->ChildCount(), 1);
  EXPECT_NE(pageA->FindChild("Server's Ip"), nullptr);
  EXPECT_EQ(window.Find("NotAPage"), nullptr);
  // A page without a file stays as an empty page.
  Control* missing =
      window.FindTabLayout("switch") ? window.Find("switch")->AsContainer()->ChildAt(1) : nullptr;
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(missing->ClassName(), "MissingUI");
  EXPECT_EQ(missing->AsContainer()->ChildCount(), 0);
}

TEST(SkinLoading, WithoutCallbackUnknownTagsAreSkipped) {
  SkinWindow window(FixtureSkinDir(), nullptr, nullptr);
  ASSERT_TRUE(window.Load()) << window.LoadError();
  EXPECT_EQ(window.FindTabLayout("switch")->PageCount(), 1);
  EXPECT_NE(window.Find("PlainPage"), nullptr);
}

TEST(SkinLoading, MissingOrMalformedFilesGiveAClearErrorAndNoForm) {
  struct Case {
    const char* file;
    const char* mentions;
  };
  const Case cases[] = {
      {"nothing-here.xml", "cannot open"},
      {"broken.xml", "broken.xml:5:"},  // line of the mismatched end tag
      {"empty.xml", "no control"},
  };
  for (const Case& c : cases) {
    RecordingSink sink;
    SkinWindow window(FixtureSkinDir(), nullptr, &sink);
    EXPECT_FALSE(window.Load(c.file)) << c.file;
    EXPECT_NE(window.LoadError().find(c.mentions), std::string::npos)
        << c.file << ": " << window.LoadError();
    EXPECT_EQ(window.Find("root"), nullptr) << c.file;
    DrainEvents();
    EXPECT_EQ(sink.Count("windowinit"), 0) << c.file;
  }
  SkinWindow nowhere("/nonexistent/skin/dir", nullptr, nullptr);
  EXPECT_FALSE(nowhere.Load());
  EXPECT_NE(nowhere.LoadError().find("/nonexistent/skin/dir/skin.xml"), std::string::npos);
}

TEST(SkinLoading, TruncatedFileDoesNotCrashOrLeaveHalfAForm) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile source(QString::fromStdString(FixtureSkinDir() + "/skin.xml"));
  ASSERT_TRUE(source.open(QIODevice::ReadOnly));
  QByteArray whole = source.readAll();
  for (qsizetype cut : {qsizetype(10), whole.size() / 3, whole.size() / 2, whole.size() - 12}) {
    QFile out(dir.filePath(QStringLiteral("skin.xml")));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(whole.left(cut));
    out.close();
    SkinWindow window(dir.path().toStdString(), nullptr, nullptr);
    EXPECT_FALSE(window.Load()) << cut;
    EXPECT_NE(window.LoadError().find("XML error"), std::string::npos) << window.LoadError();
    EXPECT_EQ(window.Find("closebtn"), nullptr) << cut;
  }
}

TEST(SkinLoading, EveryCutOfAFileGivesAnErrorOrAFormNeverACrash) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString skinDir = QString::fromStdString(FixtureSkinDir());
  for (const char* page : {"PageA.xml", "Item.xml"}) {
    ASSERT_TRUE(QFile::copy(skinDir + "/" + page, dir.filePath(QString::fromLatin1(page))));
  }
  QFile source(skinDir + "/skin.xml");
  ASSERT_TRUE(source.open(QIODevice::ReadOnly));
  const QByteArray whole = source.readAll();
  for (qsizetype cut = 0; cut <= whole.size(); cut += 13) {
    QFile out(dir.filePath(QStringLiteral("skin.xml")));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(whole.left(cut));
    out.close();
    PageCallback callback;
    SkinWindow window(dir.path().toStdString(), &callback, nullptr);
    if (!window.Load()) {
      EXPECT_FALSE(window.LoadError().empty()) << cut;
    }
  }
}

// A skin folder of its own for one test, written file by file.
class SkinFolder {
 public:
  SkinFolder() { QDir(outside_.path()).mkpath(QStringLiteral("skin")); }
  std::string Dir() const { return outside_.filePath(QStringLiteral("skin")).toStdString(); }
  std::string Outside(const std::string& name) const {
    return outside_.filePath(QString::fromStdString(name)).toStdString();
  }
  void Write(const std::string& name, const QByteArray& content) const {
    QFile out(QString::fromStdString(Dir() + "/" + name));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(content);
  }
  void WriteOutside(const std::string& name, const QByteArray& content) const {
    QFile out(QString::fromStdString(Outside(name)));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(content);
  }

 private:
  QTemporaryDir outside_;
};

TEST(SkinLoading, FilesThatIncludeEachOtherAreRefusedNamingTheFile) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, QByteArray>> files;
    const char* mentions;
  };
  const Case cases[] = {
      {"a list whose rows are the skin itself",
       {{"skin.xml", R"(<Window><List itemfile="skin.xml" itemcount="1"/></Window>)"}},
       "skin.xml -> skin.xml"},
      {"a page that is the skin itself",
       {{"skin.xml", R"(<Window><VerticalLayout><skin/></VerticalLayout></Window>)"}},
       "skin.xml -> skin.xml"},
      {"a page and a row file naming each other",
       {{"skin.xml", R"(<Window><VerticalLayout><PageA/></VerticalLayout></Window>)"},
        {"PageA.xml", R"(<List itemfile="Row.xml" itemcount="2"/>)"},
        {"Row.xml", R"(<List itemfile="PageA.xml" itemcount="1"/>)"}},
       "PageA.xml -> Row.xml -> PageA.xml"},
  };
  for (const Case& c : cases) {
    SkinFolder folder;
    for (const auto& [name, content] : c.files) folder.Write(name, content);
    PageCallback callback;
    SkinWindow window(folder.Dir(), &callback, nullptr);
    EXPECT_FALSE(window.Load()) << c.what;
    EXPECT_NE(window.LoadError().find(c.mentions), std::string::npos)
        << c.what << ": " << window.LoadError();
    EXPECT_NE(window.LoadError().find("include each other"), std::string::npos) << c.what;
  }
}

TEST(SkinLoading, DepthCountsAcrossFilesAndAFileUsedTwiceIsNoCycle) {
  SkinFolder folder;
  // 150 levels in each of two files: each alone is fine, together they are too deep.
  QByteArray open;
  QByteArray close;
  for (int i = 0; i < 150; ++i) {
    open += "<VerticalLayout>";
    close += "</VerticalLayout>";
  }
  folder.Write("skin.xml", "<Window>" + open + "<List itemfile=\"Row.xml\" itemcount=\"1\"/>" +
                               close + "</Window>");
  folder.Write("Row.xml", open + "<Label/>" + close);
  SkinWindow deep(folder.Dir(), nullptr, nullptr);
  EXPECT_FALSE(deep.Load());
  EXPECT_NE(deep.LoadError().find("Row.xml:"), std::string::npos) << deep.LoadError();
  EXPECT_NE(deep.LoadError().find("nested deeper"), std::string::npos) << deep.LoadError();

  // The same row file for two lists, and twice in one list, is fine.
  folder.Write("skin.xml", R"(<Window><VerticalLayout>
      <List name="a" itemfile="Row.xml" itemcount="3"/>
      <List name="b" itemfile="Row.xml" itemcount="2"/></VerticalLayout></Window>)");
  folder.Write("Row.xml", "<Label/>");
  SkinWindow reused(folder.Dir(), nullptr, nullptr);
  ASSERT_TRUE(reused.Load()) << reused.LoadError();
  EXPECT_EQ(reused.FindList("a")->ItemCount(), 3);
  EXPECT_EQ(reused.FindList("b")->ItemCount(), 2);

  // Lists of lists of rows would build 256 * 256 files: the load stops at its file budget.
  folder.Write("skin.xml", R"(<Window><List itemfile="Rows.xml" itemcount="256"/></Window>)");
  folder.Write("Rows.xml", R"(<List itemfile="Row.xml" itemcount="256"/>)");
  SkinWindow fanOut(folder.Dir(), nullptr, nullptr);
  EXPECT_FALSE(fanOut.Load());
  EXPECT_NE(fanOut.LoadError().find("more than 1000 skin files"), std::string::npos)
      << fanOut.LoadError();
}

TEST(SkinLoading, ReferencesOutsideTheSkinFolderAreNotFollowed) {
  SkinFolder folder;
  folder.WriteOutside("Row.xml", R"(<Label name="outside"/>)");
  folder.WriteOutside("style.qss", "QWidget { color: red; }");
  folder.Write("Row.xml", R"(<Label name="inside"/>)");
  folder.Write("style.qss", "QLabel { color: blue; }");
  ASSERT_EQ(symlink(folder.Outside("Row.xml").c_str(), (folder.Dir() + "/Link.xml").c_str()), 0);
  ASSERT_EQ(symlink(folder.Outside("style.qss").c_str(), (folder.Dir() + "/link.qss").c_str()), 0);
  ASSERT_EQ(symlink("/dev/zero", (folder.Dir() + "/zero.qss").c_str()), 0);
  ASSERT_EQ(mkfifo((folder.Dir() + "/fifo.qss").c_str(), 0600), 0);

  const std::string outsideRow = folder.Outside("Row.xml");
  const std::vector<std::string> refused = {"../Row.xml", outsideRow, "Link.xml",
                                            "sub/../../Row.xml"};
  for (const std::string& reference : refused) {
    folder.Write("skin.xml", QByteArray("<Window><List name=\"l\" itemcount=\"1\" itemfile=\"") +
                                 reference.c_str() + "\"/></Window>");
    SkinWindow window(folder.Dir(), nullptr, nullptr);
    ASSERT_TRUE(window.Load()) << reference << ": " << window.LoadError();
    EXPECT_EQ(window.FindList("l")->ItemCount(), 0) << reference;
    EXPECT_EQ(window.Find("outside"), nullptr) << reference;
  }
  for (const std::string& sheet : std::vector<std::string>{
           "../style.qss", folder.Outside("style.qss"), std::string("link.qss"),
           std::string("zero.qss"), std::string("fifo.qss"), std::string("../../../../dev/zero")}) {
    folder.Write("skin.xml",
                 QByteArray("<Window stylesheet=\"") + sheet.c_str() + "\"><Label/></Window>");
    SkinWindow window(folder.Dir(), nullptr, nullptr);
    ASSERT_TRUE(window.Load()) << sheet << ": " << window.LoadError();
    EXPECT_EQ(window.styleSheet(), QString()) << sheet;
  }
  // The files inside the folder are still found.
  folder.Write(
      "skin.xml",
      R"(<Window stylesheet="style.qss"><List name="l" itemcount="1" itemfile="Row.xml"/></Window>)");
  SkinWindow inside(folder.Dir(), nullptr, nullptr);
  ASSERT_TRUE(inside.Load()) << inside.LoadError();
  EXPECT_EQ(inside.FindList("l")->ItemCount(), 1);
  EXPECT_NE(inside.Find("inside"), nullptr);
  EXPECT_EQ(inside.styleSheet(), QStringLiteral("QLabel { color: blue; }"));
}

TEST(SkinLoading, FilesLargerThanFourMegabytesAreRefusedNamingTheFile) {
  SkinFolder folder;
  const QByteArray padding(4 * 1024 * 1024, ' ');
  folder.Write("skin.xml", "<Window><Label/>" + padding + "</Window>");
  SkinWindow window(folder.Dir(), nullptr, nullptr);
  EXPECT_FALSE(window.Load());
  EXPECT_NE(window.LoadError().find("skin.xml: the skin file is larger than 4 MB"),
            std::string::npos)
      << window.LoadError();

  // Just under the limit still loads.
  folder.Write("skin.xml", "<Window><Label/>" + padding.left(padding.size() - 64) + "</Window>");
  SkinWindow fits(folder.Dir(), nullptr, nullptr);
  EXPECT_TRUE(fits.Load()) << fits.LoadError();
}

TEST(SkinLoading, ForeignAndDeeplyNestedFilesAreRefused) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  struct Case {
    const char* what;
    QByteArray content;
    const char* mentions;
  };
  QByteArray deep;
  for (int i = 0; i < 5000; ++i) deep += "<VerticalLayout>";
  for (int i = 0; i < 5000; ++i) deep += "</VerticalLayout>";
  QByteArray binary;
  for (int i = 0; i < 512; ++i) binary += static_cast<char>((i * 37) & 0xff);
  const Case cases[] = {
      {"binary bytes", binary, "XML error"},
      {"a configuration file", "Access Point Name:CMNET\r\nOK\r\n", "XML error"},
      {"nested 5000 deep", deep, "nested deeper"},
      {"two roots", "<Label name=\"a\"/><Label name=\"b\"/>", "XML error"},
  };
  for (const Case& c : cases) {
    QFile out(dir.filePath(QStringLiteral("skin.xml")));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(c.content);
    out.close();
    SkinWindow window(dir.path().toStdString(), nullptr, nullptr);
    EXPECT_FALSE(window.Load()) << c.what;
    EXPECT_NE(window.LoadError().find(c.mentions), std::string::npos)
        << c.what << ": " << window.LoadError();
  }
}

TEST(SkinLoading, WindowInitArrivesOnceFromTheEventLoopWithoutShowing) {
  RecordingSink sink;
  SkinWindow window(FixtureSkinDir(), nullptr, &sink);
  ASSERT_TRUE(window.Load());
  EXPECT_EQ(sink.Count("windowinit"), 0);  // queued, not delivered inside Load
  ASSERT_TRUE(WaitFor([&] { return sink.Count("windowinit") == 1; }));
  ASSERT_TRUE(window.Load());  // a reload is no second start
  DrainEvents();
  EXPECT_EQ(sink.Count("windowinit"), 1);
  EXPECT_FALSE(window.isVisible());
  EXPECT_NE(window.Find("closebtn"), nullptr);
}

TEST(SkinLoading, WindowTakesSizeAndCaptionFromTheSkin) {
  SkinWindow window(FixtureSkinDir(), nullptr, nullptr);
  ASSERT_TRUE(window.Load());
  EXPECT_EQ(window.size(), QSize(800, 600));
  EXPECT_EQ(window.CaptionArea().bottom, 40);
  EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
}

TEST(SkinLoading, OwnCloseIsNotReportedButOtherClosesAre) {
  RecordingSink sink;
  SkinWindow window(FixtureSkinDir(), nullptr, &sink);
  ASSERT_TRUE(window.Load());
  window.ShowWindowCentered();
  window.RunWindowCommand(WindowCommand::Close);
  EXPECT_EQ(sink.closedByOthers, 0);
  EXPECT_FALSE(window.isVisible());
  window.ShowWindowCentered();
  window.close();  // the window manager or another program
  EXPECT_EQ(sink.closedByOthers, 1);
}

TEST(SkinLoading, MaximisedStateChangesAreReported) {
  RecordingSink sink;
  SkinWindow window(FixtureSkinDir(), nullptr, &sink);
  ASSERT_TRUE(window.Load());
  window.ShowWindowCentered();
  window.RunWindowCommand(WindowCommand::Maximize);
  ASSERT_TRUE(WaitFor([&] { return !sink.maximizedChanges.empty(); }));
  EXPECT_TRUE(window.IsMaximized());
  window.setWindowState(Qt::WindowNoState);  // by other means than our buttons
  ASSERT_TRUE(WaitFor([&] { return sink.maximizedChanges.size() == 2; }));
  EXPECT_EQ(sink.maximizedChanges, (std::vector<bool>{true, false}));
  EXPECT_FALSE(window.IsMaximized());
}

TEST(SkinLoading, DoubleClickOnTheCaptionTogglesMaximisedButNotOnATextOrButton) {
  RecordingSink sink;
  SkinWindow window(FixtureSkinDir(), nullptr, &sink);
  ASSERT_TRUE(window.Load());
  window.ShowWindowCentered();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  auto widgetOf = [&](const char* name) { return dynamic_cast<QWidget*>(window.Find(name)); };
  // "CaptionText" is a TextUI and "closebtn" a button: they keep their clicks.
  QTest::mouseDClick(widgetOf("CaptionText"), Qt::LeftButton);
  QTest::mouseDClick(widgetOf("closebtn"), Qt::LeftButton);
  DrainEvents();
  EXPECT_FALSE(window.IsMaximized());
  EXPECT_TRUE(sink.maximizedChanges.empty());
  // "CaptionLabel" is a LabelUI: the caption itself.
  QTest::mouseDClick(widgetOf("CaptionLabel"), Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return window.IsMaximized(); }));
  QTest::mouseDClick(widgetOf("CaptionLabel"), Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return !window.IsMaximized(); }));
  EXPECT_EQ(sink.maximizedChanges, (std::vector<bool>{true, false}));
  // Below the caption area nothing happens.
  QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(400, 300));
  DrainEvents();
  EXPECT_FALSE(window.IsMaximized());
}

TEST(SkinLoading, TallPagesScrollInsteadOfSqueezingTheirGroups) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  std::string xml = "<Window size=\"500,300\"><TabLayout name=\"switch\"><VerticalLayout>";
  for (int g = 0; g < 5; ++g) {
    xml += "<GroupBox name=\"g" + std::to_string(g) +
           "\" height=\"135\"><Label text=\"row\"/>"
           "</GroupBox>";
  }
  xml += "</VerticalLayout></TabLayout></Window>";
  QFile out(dir.filePath(QStringLiteral("skin.xml")));
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.write(xml.c_str());
  out.close();
  SkinWindow window(dir.path().toStdString(), nullptr, nullptr);
  ASSERT_TRUE(window.Load()) << window.LoadError();
  ASSERT_TRUE(window.SaveScreenshot(dir.filePath(QStringLiteral("shot.png")).toStdString()));
  int previousBottom = -1;
  for (int g = 0; g < 5; ++g) {
    auto* group = dynamic_cast<QWidget*>(window.Find("g" + std::to_string(g)));
    EXPECT_EQ(group->height(), 135) << g;
    EXPECT_GT(group->y(), previousBottom) << g;
    previousBottom = group->geometry().bottom();
  }
  EXPECT_EQ(window.height(), 300);
}

TEST(SkinLoading, ScreenshotOfAnUnshownWindowHasItsSize) {
  QTemporaryDir dir;
  SkinWindow window(FixtureSkinDir(), nullptr, nullptr);
  ASSERT_TRUE(window.Load());
  std::string png = dir.filePath(QStringLiteral("shot.png")).toStdString();
  ASSERT_TRUE(window.SaveScreenshot(png));
  QImage image(QString::fromStdString(png));
  EXPECT_EQ(image.size(), QSize(800, 600));
  EXPECT_FALSE(window.isVisible());
  EXPECT_FALSE(window.SaveScreenshot("/nonexistent/dir/shot.png"));
}

}  // namespace
