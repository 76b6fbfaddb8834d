#include "ui/caption_hit_test.h"

#include <gtest/gtest.h>

#include "ui/skin_values.h"
#include "ui/window_edges.h"

namespace {

using skin::CaptionHitTest;
using skin::HitArea;

struct HitCase {
  const char* what;
  int x, y;
  const char* className;
  HitArea expected;
};

TEST(CaptionHitTest, DragsOnlyFromCaptionAreaOutsideButtonsOptionsAndTexts) {
  // A 48 pixel caption across a 1400 x 800 window, with 10 pixels kept free at each side.
  const skin::Margins caption{10, 0, 10, 48};
  const HitCase cases[] = {
      {"empty caption layout", 500, 20, "HorizontalLayoutUI", HitArea::Caption},
      {"label in the caption", 500, 20, "LabelUI", HitArea::Caption},
      {"text label keeps its click", 500, 20, "TextUI", HitArea::Client},
      {"window button keeps its click", 1380, 10, "ButtonUI", HitArea::Client},
      {"option keeps its click", 500, 20, "OptionUI", HitArea::Client},
      {"no control under the point", 500, 20, "", HitArea::Client},
      {"below the caption", 500, 48, "HorizontalLayoutUI", HitArea::Client},
      {"last caption row", 500, 47, "HorizontalLayoutUI", HitArea::Caption},
      {"left margin", 9, 20, "HorizontalLayoutUI", HitArea::Client},
      {"first column after the left margin", 10, 20, "HorizontalLayoutUI", HitArea::Caption},
      {"right margin", 1390, 20, "HorizontalLayoutUI", HitArea::Client},
      {"last column before the right margin", 1389, 20, "HorizontalLayoutUI", HitArea::Caption},
      {"outside the window", -1, 20, "HorizontalLayoutUI", HitArea::Client},
      {"page class in the caption", 700, 5, "WorkTabUI", HitArea::Caption},
  };
  for (const HitCase& c : cases) {
    EXPECT_EQ(CaptionHitTest(c.x, c.y, 1400, 800, caption, c.className), c.expected) << c.what;
  }
}

TEST(CaptionHitTest, NoCaptionAreaMeansNoDrag) {
  EXPECT_EQ(CaptionHitTest(5, 5, 100, 100, skin::Margins{}, "VerticalLayoutUI"), HitArea::Client);
}

TEST(WindowEdges, FindsTheEdgesAndCornersUnderThePointer) {
  struct Case {
    int x, y;
    unsigned edges;
  };
  const Case cases[] = {
      {0, 400, skin::kLeft},
      {4, 400, skin::kLeft},
      {5, 400, skin::kNoEdge},
      {1395, 400, skin::kRight},
      {1394, 400, skin::kNoEdge},
      {700, 0, skin::kTop},
      {700, 799, skin::kBottom},
      {1, 1, skin::kLeft | skin::kTop},
      {1399, 799, skin::kRight | skin::kBottom},
      {1399, 0, skin::kRight | skin::kTop},
      {-1, 400, skin::kNoEdge},
      {1400, 400, skin::kNoEdge},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(skin::EdgesAt(c.x, c.y, 1400, 800, 5), c.edges) << c.x << "," << c.y;
  }
}

TEST(SkinValues, ReadsNumbersMarginsAndBooleansStrictly) {
  EXPECT_EQ(skin::ParseInt(" 110 "), 110);
  EXPECT_EQ(skin::ParseInt("-3"), -3);
  EXPECT_FALSE(skin::ParseInt("11O"));
  EXPECT_FALSE(skin::ParseInt(""));
  EXPECT_FALSE(skin::ParseInt("99999999999"));
  auto m = skin::ParseMargins("0,0,0,48");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->bottom, 48);
  EXPECT_EQ(skin::ParseMargins("4")->right, 4);
  EXPECT_FALSE(skin::ParseMargins("1,2,3"));
  EXPECT_EQ(skin::ParseBool("TRUE"), true);
  EXPECT_EQ(skin::ParseBool("0"), false);
  EXPECT_FALSE(skin::ParseBool("maybe"));
  EXPECT_FALSE(skin::ParseSize("1400x800"));
}

}  // namespace
