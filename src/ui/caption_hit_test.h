// Decides whether a press in the window starts a window drag: the skin draws its own caption
// bar, so the toolkit, not the window manager, knows where the caption is.
#pragma once

#include <string_view>

#include "skin_values.h"

namespace skin {

enum class HitArea { Caption, Client };

// `x`, `y`: the point in window coordinates; `width`, `height`: the window's size.
// `caption`: the skin's caption area; left and right are distances from the window's left and
// right edges, top and bottom are y coordinates from the top ("0,0,0,48" is a 48 pixel bar
// across the whole width). `className`: the class of the control under the point, empty when
// there is none. Buttons, options and text labels keep their clicks; anything else in the
// caption area drags the window.
HitArea CaptionHitTest(int x, int y, int width, int height, const Margins& caption,
                       std::string_view className);

}  // namespace skin
