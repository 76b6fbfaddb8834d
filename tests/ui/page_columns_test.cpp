// A page's cards stand in columns side by side in a wide window and one under another in a
// narrow one, and go back when the window narrows again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include <string>

#include "form/pages.h"
#include "ui/skin_window.h"

namespace {

class PageColumns : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window_.Load()) << window_.LoadError();
    window_.setAttribute(Qt::WA_DontShowOnScreen, true);
    window_.show();
  }
  void ResizeTo(int width, int height) {
    window_.resize(width, height);
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }
  QRect Place(const char* name) {
    auto* card = dynamic_cast<QWidget*>(window_.Find(name));
    EXPECT_NE(card, nullptr) << name;
    if (!card) return {};
    return QRect(card->mapTo(&window_, QPoint(0, 0)), card->size());
  }

  CDialogBuilderCallbackEx pages_;
  SkinWindow window_{std::string(DTU_SKIN_ROOT) + "/" + GetParam(), &pages_, nullptr};
};

}  // namespace

TEST_P(PageColumns, CardsStandSideBySideOnlyInAWideWindow) {
  ResizeTo(1920, 1080);
  QRect mode = Place("ModeGroupBox");
  QRect activation = Place("ActivateGroupBox");
  EXPECT_EQ(mode.top(), activation.top());
  EXPECT_GT(activation.left(), mode.right()) << "the second column beside the first";

  ResizeTo(1100, 680);
  mode = Place("ModeGroupBox");
  activation = Place("ActivateGroupBox");
  EXPECT_EQ(mode.left(), activation.left());
  EXPECT_GT(activation.top(), mode.bottom()) << "one under another again";
  EXPECT_LE(window_.width(), 1100) << "the columns do not hold the window wide";
}

INSTANTIATE_TEST_SUITE_P(Skins, PageColumns, testing::Values("ConifgENRes", "ConifgRes"));
