// Every picture the game ships, drawn from scratch.
#pragma once

#include <string>
#include <vector>

#include <QImage>
#include <QPoint>

namespace tessum::gfx {

// Shape of a playing or end pit's hollow: a superellipse (Power 2 is an
// ellipse) centred at (Cx, Cy) in pixel coordinates.
struct PitShape {
    double cx, cy, rx, ry, power;
    // 0 at the centre, 1 on the rim.
    double Distance(double X, double Y) const;
};
PitShape HollowOf(int Pit);

// The board: wooden table, information strip, the board with its fourteen
// hollows, the overview tray and the notes panel. No text.
// Scale 2 draws every picture at twice the size for high-density screens,
// from the same model in the same logical coordinates.
QImage PaintBackground(int Scale = 1);

// Rim of a playing pit cut from the finished background (Decoded is the
// background as the game will see it after JPEG decoding), white elsewhere.
QImage PaintPitOverlay(const QImage& Decoded, int Pit, int Scale = 1);

// Group of N glass stones on pure red; Matte is the colour of a hollow's floor.
QImage PaintStones(int N, QRgb Matte, int Scale = 1);
// Where stone I of a group of N lies inside the picture (for checks and for
// the hand's heap).
std::vector<QPointF> StoneCentres(int N);

// Golden ring marking the pit a stone is about to fall into, on white.
QImage PaintHighlight(QRgb Matte, int Scale = 1);

// Brass caption of the overview or the preview, set into the background
// Behind (the caption's own area of the decoded background).
QImage PaintLegend(const std::string& Text, const QImage& Behind, int Scale = 1);

// The small board behind the history pictures, on white.
QImage PaintSmallBoard(int Scale = 1);

// One frame of a hand sprite and its mask.
struct HandFrame {
    QImage picture;  // black outside the hand
    QImage mask;     // black where the hand is, white elsewhere
};
// Side 1 or 2; Right selects the sowing hand; Frame as the game numbers them.
HandFrame PaintHand(int Side, bool Right, int Frame, int Scale = 1);

// The start draw: both matches hidden in a fist, the long one drawn, the
// short one drawn.
enum class MatchScene { Hidden, Won, Lost };
QImage PaintMatches(MatchScene Scene, int Scale = 1);

}  // namespace tessum::gfx
