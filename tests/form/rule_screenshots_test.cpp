// The rules as the user sees them: the work-mode page in three work modes and the I/O page in two
// activation methods, rendered from the built form. Set DTU_SCREENSHOT_DIR to keep the pictures.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>

#include "rule_fixture.h"
#include "temp_dir.h"

namespace {

class RuleScreenshotsTest : public testing::Test, public RuleFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(loaded) << window.LoadError();
    const char* keep = std::getenv("DTU_SCREENSHOT_DIR");
    dir = keep ? std::string(keep) + "/" : temp.Path();
  }

  // Brings the form to a work mode and activation the way a read does, then renders a page.
  QImage Render(int page, int mode, int method, int by, const std::string& name) {
    Select("Protocolmodel", mode);
    Select("DeviceModel", 0);
    Select("RegistrationAndHeart", 1);
    Select("ActivateMethod", method);
    Select("IOactivationmethods", by);
    Select("Server Count", 1);
    Post(0, 0);
    Post(1, 0);
    Post(17, 0);
    Drain();
    // The tab's option button brings its page to the front, as a click does.
    const char* options[] = {"WorkMode", "Server", "Serial", "IO"};
    if (OptionControl* option = window.FindOption(options[page])) option->Select(true);
    window.FindTabLayout("switch")->SelectPage(page);
    const std::string path = dir + name;
    EXPECT_TRUE(window.SaveScreenshot(path)) << path;
    return QImage(QString::fromStdString(path));
  }

  TempDir temp;
  std::string dir;
};

}  // namespace

TEST_F(RuleScreenshotsTest, ThePagesLookDifferentInEachWorkModeAndActivation) {
  // Line 1 a digital input, line 2 a digital output, line 3 an analogue input.
  const char* lineModes[] = {"Text2", "Text3", "Text5"};
  for (int line = 1; line <= 3; ++line)
    SelectText("DIO" + std::to_string(line) + " workmode",
               LanguageText("DIO workmode", lineModes[line - 1], ""));
  const QImage transparent = Render(0, 0, 0, 0, "rules-work-mode-prot.png");
  const QImage sms = Render(0, 4, 0, 0, "rules-work-mode-smscli.png");
  const QImage custom = Render(0, 9, 1, 0, "rules-work-mode-cust.png");
  const QImage automatic = Render(3, 0, 0, 0, "rules-io-auto.png");
  Select("I/O selection", 1);  // the second line activates the connection
  const QImage byLine = Render(3, 0, 5, 0, "rules-io-by-line.png");
  for (const QImage* image : {&transparent, &sms, &custom, &automatic, &byLine})
    ASSERT_FALSE(image->isNull());
  EXPECT_NE(transparent, sms);
  EXPECT_NE(sms, custom);
  EXPECT_NE(transparent, custom);
  EXPECT_NE(automatic, byLine);
}
