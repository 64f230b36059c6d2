// The layers of the board picture: clocks, side to move, variant, stones in
// hand, move counters, notes, the overview with its preview, and one layer per
// pit drawing that pit's stones.
//
// All coordinates are pixels of the 720 x 520 board picture, origin top left.
// The geometry tables below are shared with the controller (hit-testing) and
// the hand animation (pit centres), so they live here once.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/Graphics.h"
#include "graphics/uTBitmapLayer.h"
#include "board/uTFeld.h"
#include "graphics/uTGFXFile.h"

namespace tessum {

class TMultiLanguage;

// Size of the composed board picture.
constexpr int BoardWidth = 720;
constexpr int BoardHeight = 520;

// Hit-test and drawing area of each pit, indexed by pit number 1..14 (entry 0
// is unused). Side 1's row runs right to left along the top, side 2's left to
// right along the bottom; 7 is the left end pit, 14 the right one.
inline constexpr std::array<TRect, 15> PitRects = {{
    {0, 0, 0, 0},
    {512, 160, 578, 211},
    {438, 160, 505, 211},
    {366, 160, 432, 211},
    {292, 160, 359, 211},
    {219, 160, 286, 211},
    {146, 160, 213, 211},
    {58, 182, 126, 280},
    {132, 237, 203, 294},
    {210, 237, 281, 294},
    {289, 237, 359, 294},
    {367, 237, 436, 294},
    {445, 237, 515, 294},
    {522, 237, 592, 294},
    {594, 176, 659, 276},
}};

// Where a playing pit's stone picture is placed before the count offset, and
// where its rim overlay goes; indexed by pit, end pits unused.
inline constexpr std::array<TPoint, 15> StoneOrigins = {{
    {0, 0},
    {507, 160}, {434, 161}, {361, 161}, {288, 161}, {214, 161}, {141, 161},
    {0, 0},
    {129, 243}, {207, 242}, {285, 242}, {363, 242}, {442, 241}, {520, 241},
    {0, 0},
}};
inline constexpr std::array<TPoint, 15> OverlayPositions = {{
    {0, 0},
    {506, 185}, {433, 187}, {359, 187}, {286, 187}, {214, 187}, {140, 187},
    {0, 0},
    {123, 267}, {202, 266}, {281, 266}, {360, 266}, {438, 266}, {516, 266},
    {0, 0},
}};

// Added to a stone origin for 1..8 stones (index = stone count, 0 unused):
// the pictures of small groups are smaller and need centring. Nine and more
// stones use the largest picture without offset. The hands' heaps use the
// same offsets.
inline constexpr std::array<TPoint, 9> StoneCountOffsets = {{
    {0, 0}, {23, 19}, {23, 10}, {23, 7}, {9, 6}, {9, 5}, {9, 0}, {10, 0}, {7, 0},
}};

// The end pits are tall, so their stones are spread over five spots; index 0
// is pit 7, index 1 pit 14.
inline constexpr int EndPitSpotCount = 5;
inline constexpr int EndPitMaxDrawn = 15;
inline constexpr std::array<std::array<TPoint, EndPitSpotCount>, 2> EndPitSpots = {{
    {{{75, 185}, {100, 229}, {66, 213}, {61, 219}, {73, 255}}},
    {{{596, 178}, {601, 214}, {608, 216}, {599, 232}, {622, 252}}},
}};
// Stones per spot for min(count, 15) stones (row index = that number, row 0
// unused); each row adds up to its index.
inline constexpr std::array<std::array<std::array<std::uint8_t, EndPitSpotCount>, EndPitMaxDrawn + 1>, 2>
    EndPitGroups = {{
        {{
            {{0, 0, 0, 0, 0}},
            {{0, 0, 0, 1, 0}}, {{1, 0, 0, 1, 0}}, {{1, 1, 0, 1, 0}}, {{1, 1, 1, 1, 0}},
            {{2, 1, 1, 1, 0}}, {{2, 1, 1, 1, 1}}, {{3, 1, 1, 1, 1}}, {{3, 1, 1, 2, 1}},
            {{3, 1, 1, 3, 1}}, {{3, 1, 1, 4, 1}}, {{3, 1, 1, 5, 1}}, {{4, 1, 1, 5, 1}},
            {{4, 1, 1, 6, 1}}, {{5, 1, 1, 6, 1}}, {{6, 1, 1, 6, 1}},
        }},
        {{
            {{0, 0, 0, 0, 0}},
            {{0, 0, 1, 0, 0}}, {{1, 0, 1, 0, 0}}, {{1, 1, 1, 0, 0}}, {{2, 1, 1, 0, 0}},
            {{2, 1, 2, 0, 0}}, {{2, 1, 2, 1, 0}}, {{3, 1, 2, 1, 0}}, {{3, 1, 2, 1, 1}},
            {{3, 1, 3, 1, 1}}, {{3, 1, 4, 1, 1}}, {{3, 1, 5, 1, 1}}, {{4, 1, 5, 1, 1}},
            {{4, 1, 6, 1, 1}}, {{5, 1, 6, 1, 1}}, {{6, 1, 6, 1, 1}},
        }},
    }};

// Rectangles of the information layers.
inline constexpr TRect ZeitRect1 = {75, 27, 143, 46};
inline constexpr TRect ZeitRect2 = {75, 43, 143, 62};
inline constexpr TRect AktSpielerRect = {220, 27, 285, 46};
inline constexpr TRect VarianteRect = {353, 27, 416, 46};
inline constexpr TRect SteineHandRect = {475, 27, 545, 62};
inline constexpr TRect RundeRect = {663, 32, 685, 51};
inline constexpr TRect RundeRect1 = {635, 20, 670, 39};
inline constexpr TRect RundeRect2 = {635, 45, 670, 64};
inline constexpr TRect NotesRect = {448, 422, 683, 485};
inline constexpr TRect OverviewRect = {15, 454, 413, 509};

// The first pit 1..14 whose rectangle holds (X, Y), else -1.
int PitAtPoint(int X, int Y);

// The stones of a playing pit, for Count 1..99: picture number and top left.
struct TStonePlacement {
    int Picture = 0;
    TPoint At;
};
TStonePlacement PlayingPitStones(int Pit, int Count);
// The groups drawn in end pit 7 or 14 for Count stones, in drawing order;
// Picture 0 marks an unused slot.
std::array<TStonePlacement, EndPitSpotCount> EndPitStones(int Pit, int Count);

class TSpielfeldLayers;

// One side's clock, "1) 00:12:34".
class TZeitLayer : public TBitmapLayerInteger {
public:
    int Side = 0;
    using TBitmapLayerInteger::TBitmapLayerInteger;

protected:
    void Draw(TCanvas& Target) override;
};

// The name of the side to move, shrunk until it fits.
class TAktSpielerLayer : public TBitmapLayerInteger {
public:
    // Names[0] for side 1, Names[1] for side 2 (Windows-1252).
    std::array<std::string, 2> Names;
    using TBitmapLayerInteger::TBitmapLayerInteger;

protected:
    void Draw(TCanvas& Target) override;
};

class TVarianteLayer : public TBitmapLayerInteger {
public:
    using TBitmapLayerInteger::TBitmapLayerInteger;

protected:
    void Draw(TCanvas& Target) override;
};

// "In der Hand" with the number of stones held below it.
class TSteineHandLayer : public TBitmapLayerInteger {
public:
    using TBitmapLayerInteger::TBitmapLayerInteger;

protected:
    void Draw(TCanvas& Target) override;
};

// A move counter: ">25" for the total, "1) 12" for a side.
class TRundeLayer : public TBitmapLayerInteger {
public:
    int Side = 0;
    using TBitmapLayerInteger::TBitmapLayerInteger;
    // The text it writes; empty while Value shows nothing.
    std::string Caption() const;

protected:
    void Draw(TCanvas& Target) override;
};

// Lines of text; with FromTop false the last line is written first, so the
// newest notes stay visible.
class TStringLayer : public TBitmapLayerString {
public:
    int MaxLines = 5;
    bool FromTop = false;
    using TBitmapLayerString::TBitmapLayerString;

protected:
    void Draw(TCanvas& Target) override;
};

// The board as numbers with the pit under the mouse circled, and beside it the
// board after that pit's move when it is a legal one.
class TOverviewLayer : public TBitmapLayerInteger {
public:
    const TFeld* Board = nullptr;
    int Spacing = 210;
    using TBitmapLayerInteger::TBitmapLayerInteger;

protected:
    void Draw(TCanvas& Target) override;
};

// The stones of one pit; Value is its stone count.
class TMulde : public TBitmapLayerInteger {
public:
    int Pit = 0;
    const TGFXSteine* Stones = nullptr;
    const TGFXMulden* PitPictures = nullptr;
    using TBitmapLayerInteger::TBitmapLayerInteger;

protected:
    void Draw(TCanvas& Target) override;
};

// The board's 24 layers in painting order, with the stone and pit pictures
// they draw. The layers reach Translation through their Layers pointer.
class TSpielfeldLayers : public TBitmapLayers {
public:
    // The main window's translation component; not owned, may stay null (the
    // captions are then empty).
    TMultiLanguage* Translation = nullptr;

    // SourceCanvas: the clean background; Canvas: the composed board picture;
    // GameInProgress: guards the layers that show only while a game runs.
    // Reads "steine.gfx" and "mulden.gfx" from the program's folder.
    TSpielfeldLayers(TCanvas* SourceCanvas, TCanPaintEvent GameInProgress, TCanvas* Canvas);
    ~TSpielfeldLayers() override;

    TZeitLayer& Zeit(int Side) { return Side == 2 ? *zeit2_ : *zeit1_; }
    TAktSpielerLayer& AktSpieler() { return *aktSpieler_; }
    TVarianteLayer& Variante() { return *variante_; }
    TSteineHandLayer& SteineHand() { return *steineHand_; }
    // Side 0 is the counter of all moves.
    TRundeLayer& Runde(int Side) { return Side == 1 ? *runde1_ : Side == 2 ? *runde2_ : *runde_; }
    const TRundeLayer& Runde(int Side) const { return Side == 1 ? *runde1_ : Side == 2 ? *runde2_ : *runde_; }
    TStringLayer& Notes() { return *notes_; }
    TOverviewLayer& Overview() { return *overview_; }
    // Pit 1..14.
    TMulde& Mulde(int Pit) { return *mulden_.at(static_cast<std::size_t>(Pit)); }

    const TGFXSteine& Stones() const { return *stones_; }
    const TGFXMulden& PitPictures() const { return *pitPictures_; }

    // Key text in the current language, "" without a translation component.
    std::string GetText(const char* Key) const;

private:
    // Declared first so they outlive the layers that draw them.
    std::unique_ptr<TGFXSteine> stones_;
    std::unique_ptr<TGFXMulden> pitPictures_;

    std::unique_ptr<TZeitLayer> zeit1_, zeit2_;
    std::unique_ptr<TAktSpielerLayer> aktSpieler_;
    std::unique_ptr<TVarianteLayer> variante_;
    std::unique_ptr<TSteineHandLayer> steineHand_;
    std::unique_ptr<TRundeLayer> runde_, runde1_, runde2_;
    std::unique_ptr<TStringLayer> notes_;
    std::unique_ptr<TOverviewLayer> overview_;
    std::array<std::unique_ptr<TMulde>, 15> mulden_;
};

// The clock text of a side: "%u) %2.2d:%2.2d:%2.2d".
std::string ClockText(int Side, std::int32_t Seconds);
// Splits notes at CR LF, CR or LF; a break at the very end starts no line.
std::vector<std::string> SplitNoteLines(const std::string& Text);

}  // namespace tessum
