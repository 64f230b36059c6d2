// Where things lie on the 720 x 520 board picture. The game draws its stones,
// pit overlays and texts at these fixed places, so every picture the generator
// makes is laid out around them.
#pragma once

#include <array>

#include <QPoint>
#include <QRect>

namespace tessum::gfx {

constexpr int BoardWidth = 720;
constexpr int BoardHeight = 520;

// Rectangles as the game states them: left, top, right, bottom with right and
// bottom exclusive.
struct Box {
    int l, t, r, b;
    constexpr int w() const { return r - l; }
    constexpr int h() const { return b - t; }
    QRect rect() const { return QRect(l, t, r - l, b - t); }
    QRectF rectF() const { return QRectF(l, t, r - l, b - t); }
};

// Hit areas of pits 1..14 (index 0 unused).
constexpr std::array<Box, 15> PitRects = {{
    {0, 0, 0, 0},
    {512, 160, 578, 211}, {438, 160, 505, 211}, {366, 160, 432, 211},
    {292, 160, 359, 211}, {219, 160, 286, 211}, {146, 160, 213, 211},
    {58, 182, 126, 280},
    {132, 237, 203, 294}, {210, 237, 281, 294}, {289, 237, 359, 294},
    {367, 237, 436, 294}, {445, 237, 515, 294}, {522, 237, 592, 294},
    {594, 176, 659, 276},
}};

// Top left from which a playing pit's stone group is placed; zero for end pits.
constexpr std::array<QPoint, 15> StoneOrigins = {{
    {0, 0},
    {507, 160}, {434, 161}, {361, 161}, {288, 161}, {214, 161}, {141, 161},
    {0, 0},
    {129, 243}, {207, 242}, {285, 242}, {363, 242}, {442, 241}, {520, 241},
    {0, 0},
}};

// Where each playing pit's rim overlay is drawn over its stones.
constexpr std::array<QPoint, 15> OverlayOrigins = {{
    {0, 0},
    {506, 185}, {433, 187}, {359, 187}, {286, 187}, {214, 187}, {140, 187},
    {0, 0},
    {123, 267}, {202, 266}, {281, 266}, {360, 266}, {438, 266}, {516, 266},
    {0, 0},
}};

// Added to the stone origin for 1..8 stones (index 0 and 9 unused: nine or
// more stones sit at the origin itself).
constexpr std::array<QPoint, 10> StoneOffsets = {{
    {0, 0}, {23, 19}, {23, 10}, {23, 7}, {9, 6}, {9, 5}, {9, 0}, {10, 0}, {7, 0}, {0, 0},
}};

// The five spots of each end pit, in drawing order.
constexpr std::array<QPoint, 5> EndSpots7 = {{{75, 185}, {100, 229}, {66, 213}, {61, 219}, {73, 255}}};
constexpr std::array<QPoint, 5> EndSpots14 = {{{596, 178}, {601, 214}, {608, 216}, {599, 232}, {622, 252}}};

// Stones per spot for 1..15 stones in an end pit (row 0 unused).
constexpr std::array<std::array<int, 5>, 16> EndGroups7 = {{
    {0, 0, 0, 0, 0},
    {0, 0, 0, 1, 0}, {1, 0, 0, 1, 0}, {1, 1, 0, 1, 0}, {1, 1, 1, 1, 0}, {2, 1, 1, 1, 0},
    {2, 1, 1, 1, 1}, {3, 1, 1, 1, 1}, {3, 1, 1, 2, 1}, {3, 1, 1, 3, 1}, {3, 1, 1, 4, 1},
    {3, 1, 1, 5, 1}, {4, 1, 1, 5, 1}, {4, 1, 1, 6, 1}, {5, 1, 1, 6, 1}, {6, 1, 1, 6, 1},
}};
constexpr std::array<std::array<int, 5>, 16> EndGroups14 = {{
    {0, 0, 0, 0, 0},
    {0, 0, 1, 0, 0}, {1, 0, 1, 0, 0}, {1, 1, 1, 0, 0}, {2, 1, 1, 0, 0}, {2, 1, 2, 0, 0},
    {2, 1, 2, 1, 0}, {3, 1, 2, 1, 0}, {3, 1, 2, 1, 1}, {3, 1, 3, 1, 1}, {3, 1, 4, 1, 1},
    {3, 1, 5, 1, 1}, {4, 1, 5, 1, 1}, {4, 1, 6, 1, 1}, {5, 1, 6, 1, 1}, {6, 1, 6, 1, 1},
}};

inline bool IsEndPit(int Pit) { return Pit % 7 == 0; }
inline const std::array<QPoint, 5>& EndSpots(int Pit) { return Pit == 7 ? EndSpots7 : EndSpots14; }
inline const std::array<std::array<int, 5>, 16>& EndGroups(int Pit) { return Pit == 7 ? EndGroups7 : EndGroups14; }

// Text areas of the information strip and the lower panels.
constexpr Box ClockArea = {75, 27, 143, 62};       // both clocks, one under the other
constexpr Box SideToMoveArea = {220, 27, 285, 46};
constexpr Box VariantArea = {353, 27, 416, 46};
constexpr Box HandArea = {475, 27, 545, 62};
constexpr Box CounterArea = {635, 20, 685, 64};    // three counters around one spot
constexpr Box NotesArea = {448, 422, 683, 485};
constexpr Box OverviewArea = {15, 454, 413, 509};
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
