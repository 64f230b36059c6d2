// Where things lie on the 720 x 520 board picture. The game draws its stones,
// pit overlays and texts at fixed places; the pictures are laid out around
// the game's own tables, so the two can never drift apart.
#pragma once

#include <array>

#include <QPoint>
#include <QRect>

#include "graphics/uTSpielfeldLayers.h"

namespace tessum::gfx {

constexpr int BoardWidth = tessum::BoardWidth;
constexpr int BoardHeight = tessum::BoardHeight;

// Rectangles as the game states them: left, top, right, bottom with right and
// bottom exclusive.
struct Box {
    int l, t, r, b;
    constexpr Box(int L, int T, int R, int B) : l(L), t(T), r(R), b(B) {}
    constexpr Box(const TRect& R) : l(R.Left), t(R.Top), r(R.Right), b(R.Bottom) {}
    constexpr int w() const { return r - l; }
    constexpr int h() const { return b - t; }
};

// Hit and repaint area of pit 1..14.
inline Box PitBox(int Pit) { return tessum::PitRects[static_cast<std::size_t>(Pit)]; }
// Top left from which a playing pit's stone group is placed.
inline QPoint StoneOrigin(int Pit) {
    const TPoint p = tessum::StoneOrigins[static_cast<std::size_t>(Pit)];
    return {p.X, p.Y};
}
// Where each playing pit's rim overlay is drawn over its stones.
inline QPoint OverlayOrigin(int Pit) {
    const TPoint p = tessum::OverlayPositions[static_cast<std::size_t>(Pit)];
    return {p.X, p.Y};
}
// Added to the stone origin for N stones; nine and more sit at the origin.
inline QPoint StoneOffset(int N) {
    if (N < 1 || N > 8) return {0, 0};
    const TPoint p = tessum::StoneCountOffsets[static_cast<std::size_t>(N)];
    return {p.X, p.Y};
}

// Text areas of the information strip and the lower panels.
constexpr Box ClockArea = {ZeitRect1.Left, ZeitRect1.Top, ZeitRect2.Right, ZeitRect2.Bottom};
constexpr Box SideToMoveArea = AktSpielerRect;
constexpr Box VariantArea = VarianteRect;
constexpr Box HandArea = SteineHandRect;
// The three counters share one spot.
constexpr Box CounterArea = {RundeRect1.Left, RundeRect1.Top, RundeRect.Right, RundeRect2.Bottom};
constexpr Box NotesArea = NotesRect;
constexpr Box OverviewArea = OverviewRect;
// The preview's small board starts this far right of the overview's.
constexpr int OverviewSpacing = 210;
// The small board pictures of the overview start here inside OverviewArea.
constexpr QPoint OverviewInset = {3, 4};

// Captions of the overview and preview are pasted here, opaque.
constexpr QPoint OverviewLegendAt = {53, 395};
constexpr QPoint PreviewLegendAt = {256, 395};
constexpr int LegendWidth = 124;
constexpr int LegendHeight = 26;

// The small board picture: 8 columns of 23 pixels, rows 15 pixels apart.
constexpr int SmallColumn = 23;
constexpr int SmallRow = 15;
constexpr int SmallBoardWidth = 199;
constexpr int SmallBoardHeight = 62;
constexpr QPoint SmallBoardInset = {8, 9};  // where the numbers start inside it

// The start-draw pictures.
constexpr int MatchPictureWidth = 400;
constexpr int MatchPictureHeight = 300;

}  // namespace tessum::gfx
