// The board as a small picture of numbers: the overview under the board and
// the pictures of the move history.
#pragma once

#include "graphics/Graphics.h"
#include "board/uTFeld.h"

namespace tessum {

// Colours of the two sides in the small picture and of the circle that marks a
// pit played by that side.
constexpr TColor SmallBoardSide1Color = RGBColor(51, 204, 51);
constexpr TColor SmallBoardSide2Color = RGBColor(187, 187, 0);
// Width of the picture in pixels (8 cells of 23).
constexpr int SmallBoardWidth = 184;

// Draws Feld's stone counts laid out as on the board with Origin as its top
// left, circling MarkedPit when it is a playing pit. Leaves the canvas's font,
// brush and pen changed (Arial bold 8, clear brush, pen width 2).
void DrawSmall(const TFeld& Feld, TCanvas& Canvas, TPoint Origin, int MarkedPit);

}  // namespace tessum
