// The application icon: a small sowing board with stones, one drawing for
// every size, so the pixel pictures and the scalable one agree.
#pragma once

#include <string>

#include <QImage>

namespace tessum::gfx {

// The icon at Size x Size pixels, transparent around the board.
QImage PaintIcon(int Size);

// The same drawing as an SVG document.
std::string IconSvg();

}  // namespace tessum::gfx
