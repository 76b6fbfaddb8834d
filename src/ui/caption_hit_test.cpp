#include "caption_hit_test.h"

namespace skin {

HitArea CaptionHitTest(int x, int y, int width, int height, const Margins& caption,
                       std::string_view className) {
  if (x < 0 || y < 0 || x >= width || y >= height) return HitArea::Client;
  bool inside =
      x >= caption.left && x < width - caption.right && y >= caption.top && y < caption.bottom;
  if (!inside || className.empty()) return HitArea::Client;
  if (className == "ButtonUI" || className == "OptionUI" || className == "TextUI") {
    return HitArea::Client;
  }
  return HitArea::Caption;
}

}  // namespace skin
