// The board's layers drawn on real pictures: every check renders what the
// board must show with the plain canvas operations at the coordinates the
// board's geometry prescribes, and compares pixels.
#include <gtest/gtest.h>

#include <QObject>

#include <memory>
#include <string>
#include <vector>

#include "GuiApp.h"
#include "i18n/MultiLanguage.h"
#include "graphics/uSmallBoard.h"
#include "graphics/uTSpielfeldLayers.h"

using namespace tessum;

namespace {

// -------------------------------------------------------------------------
// Geometry

TEST(SpielfeldGeometry, HitTestingUsesHalfOpenRectanglesFirstPitWins) {
    EXPECT_EQ(PitAtPoint(512, 160), 1);
    EXPECT_EQ(PitAtPoint(577, 210), 1);
    EXPECT_EQ(PitAtPoint(578, 180), -1);  // right edge is outside
    EXPECT_EQ(PitAtPoint(540, 211), -1);  // bottom edge is outside
    EXPECT_EQ(PitAtPoint(508, 180), -1);  // gap between pits 2 and 1
    EXPECT_EQ(PitAtPoint(58, 182), 7);
    EXPECT_EQ(PitAtPoint(125, 279), 7);
    EXPECT_EQ(PitAtPoint(126, 200), -1);
    EXPECT_EQ(PitAtPoint(658, 275), 14);
    EXPECT_EQ(PitAtPoint(659, 200), -1);
    EXPECT_EQ(PitAtPoint(132, 237), 8);
    EXPECT_EQ(PitAtPoint(591, 293), 13);
    EXPECT_EQ(PitAtPoint(0, 0), -1);
    EXPECT_EQ(PitAtPoint(-5, 200), -1);
    for (int Pit = 1; Pit <= 14; ++Pit) EXPECT_EQ(PitAtPoint(RectCenter(PitRects[Pit]).X, RectCenter(PitRects[Pit]).Y), Pit);
}

TEST(SpielfeldGeometry, PlayingPitStonesUseOffsetsUpToEightThenTheBigPicture) {
    TStonePlacement P = PlayingPitStones(3, 12);
    EXPECT_EQ(P.Picture, 9);
    EXPECT_EQ(P.At, (TPoint{361, 161}));
    P = PlayingPitStones(8, 1);
    EXPECT_EQ(P.Picture, 1);
    EXPECT_EQ(P.At, (TPoint{129 + 23, 243 + 19}));
    P = PlayingPitStones(13, 8);
    EXPECT_EQ(P.Picture, 8);
    EXPECT_EQ(P.At, (TPoint{520 + 7, 241}));
    P = PlayingPitStones(1, 9);
    EXPECT_EQ(P.Picture, 9);
    EXPECT_EQ(P.At, (TPoint{507, 160}));
    P = PlayingPitStones(6, 4);
    EXPECT_EQ(P.At, (TPoint{141 + 9, 161 + 6}));
    EXPECT_EQ(PlayingPitStones(1, 0).Picture, 0);
    EXPECT_EQ(PlayingPitStones(1, 100).Picture, 0);
    EXPECT_EQ(PlayingPitStones(7, 5).Picture, 0);
}

TEST(SpielfeldGeometry, EndPitGroupsAddUpAndStopAtFifteen) {
    for (int Side = 0; Side < 2; ++Side)
        for (int R = 1; R <= EndPitMaxDrawn; ++R) {
            int Sum = 0;
            for (auto N : EndPitGroups[Side][R]) Sum += N;
            EXPECT_EQ(Sum, R) << "side " << Side << " row " << R;
        }

    auto Seven = EndPitStones(7, 20);
    const int Expected7[5] = {6, 1, 1, 6, 1};
    const TPoint Spots7[5] = {{75, 185}, {100, 229}, {66, 213}, {61, 219}, {73, 255}};
    for (int I = 0; I < 5; ++I) {
        EXPECT_EQ(Seven[I].Picture, Expected7[I]);
        EXPECT_EQ(Seven[I].At, Spots7[I]);
    }

    auto Fourteen = EndPitStones(14, 3);
    EXPECT_EQ(Fourteen[0].Picture, 1);
    EXPECT_EQ(Fourteen[0].At, (TPoint{596, 178}));
    EXPECT_EQ(Fourteen[1].Picture, 1);
    EXPECT_EQ(Fourteen[1].At, (TPoint{601, 214}));
    EXPECT_EQ(Fourteen[2].Picture, 1);
    EXPECT_EQ(Fourteen[2].At, (TPoint{608, 216}));
    EXPECT_EQ(Fourteen[3].Picture, 0);
    EXPECT_EQ(Fourteen[4].Picture, 0);

    auto One = EndPitStones(7, 1);
    EXPECT_EQ(One[3].Picture, 1);
    EXPECT_EQ(One[3].At, (TPoint{61, 219}));
    for (int I : {0, 1, 2, 4}) EXPECT_EQ(One[I].Picture, 0);

    for (auto G : EndPitStones(14, 100)) EXPECT_EQ(G.Picture, 0);
    for (auto G : EndPitStones(7, 0)) EXPECT_EQ(G.Picture, 0);
}

TEST(SpielfeldGeometry, ClockAndNoteTexts) {
    EXPECT_EQ(ClockText(1, 0), "1) 00:00:00");
    EXPECT_EQ(ClockText(1, 3600), "1) 01:00:00");
    EXPECT_EQ(ClockText(2, 3725), "2) 01:02:05");
    EXPECT_EQ(ClockText(1, 59), "1) 00:00:59");
    EXPECT_EQ(ClockText(2, 100 * 3600), "2) 100:00:00");

    EXPECT_EQ(SplitNoteLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitNoteLines("a\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(SplitNoteLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(SplitNoteLines("").empty());
}

// -------------------------------------------------------------------------
// Drawing

// A background no two neighbouring areas share, so a layer that restores the
// wrong area shows.
void PaintPattern(TBitmap& B) {
    B.SetSize(BoardWidth, BoardHeight);
    for (int Y = 0; Y < BoardHeight; ++Y) {
        std::uint32_t* Row = B.ScanLine(Y);
        for (int X = 0; X < BoardWidth; ++X) Row[X] = RGBColor(X % 251, Y % 241, (X * 7 + Y * 3) % 239);
    }
}

int DifferingPixels(const TBitmap& A, const TBitmap& B, const TRect& R) {
    int N = 0;
    for (int Y = R.Top; Y < R.Bottom; ++Y)
        for (int X = R.Left; X < R.Right; ++X)
            if (A.Canvas().Pixel(X, Y) != B.Canvas().Pixel(X, Y)) ++N;
    return N;
}

int DifferingOutside(const TBitmap& A, const TBitmap& B, const TRect& R) {
    return DifferingPixels(A, B, {0, 0, BoardWidth, BoardHeight}) - DifferingPixels(A, B, R);
}

class SpielfeldLayersTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureGuiApp();
        PaintPattern(Background);
        Board.Assign(Background);
        SetBoardFont(Board.Canvas());
        Layers = std::make_unique<TSpielfeldLayers>(&Background.Canvas(), [this] { return Running; },
                                                    &Board.Canvas());
        Owner = std::make_unique<QObject>();
        Lng = std::make_unique<TMultiLanguage>(Owner.get());
        Lng->SetScript({"[german]", "c_variant=Variante", "captioninhand=In der Hand", "[english]",
                        "c_variant=variant", "captioninhand=hand"});
        Lng->SetLanguage("german");
        Layers->Translation = Lng.get();
    }

    static void SetBoardFont(TCanvas& C) {
        C.Font.Name = "Comic Sans MS";
        C.Font.Bold = true;
        C.Font.SetSize(9);
    }

    // A fresh copy of the background with the layers' text settings.
    std::unique_ptr<TBitmap> Expected() {
        auto E = std::make_unique<TBitmap>();
        E->Assign(Background);
        SetBoardFont(E->Canvas());
        E->Canvas().Font.SetSize(8);
        E->Canvas().Brush.Style = TBrushStyle::Clear;
        return E;
    }

    TBitmap Background;
    TBitmap Board;
    bool Running = true;
    std::unique_ptr<TSpielfeldLayers> Layers;
    std::unique_ptr<QObject> Owner;
    std::unique_ptr<TMultiLanguage> Lng;
};

TEST_F(SpielfeldLayersTest, TwentyFourLayersInPaintingOrderOverTheirRectangles) {
    ASSERT_EQ(Layers->Count(), 24);
    const TRect Info[10] = {{75, 27, 143, 46},  {75, 43, 143, 62},  {220, 27, 285, 46},  {353, 27, 416, 46},
                            {475, 27, 545, 62}, {663, 32, 685, 51}, {635, 20, 670, 39},  {635, 45, 670, 64},
                            {448, 422, 683, 485}, {15, 454, 413, 509}};
    for (int I = 0; I < 10; ++I) {
        EXPECT_EQ(Layers->Items(I)->DestRect, Info[I]) << I;
        EXPECT_EQ(Layers->Items(I)->SourceRect, Info[I]) << I;
    }
    for (int Pit = 1; Pit <= 14; ++Pit) EXPECT_EQ(Layers->Items(9 + Pit), &Layers->Mulde(Pit));
    EXPECT_EQ(Layers->Items(0), &Layers->Zeit(1));
    EXPECT_EQ(Layers->Items(8), &Layers->Notes());
    for (int I = 0; I < 24; ++I) {
        EXPECT_EQ(Layers->Items(I)->FontSize, 8);
        EXPECT_TRUE(Layers->Items(I)->Transparent);
        // Counters and notes show even between games; the rest only during one.
        const bool Guarded = !(I >= 5 && I <= 8);
        EXPECT_EQ(static_cast<bool>(Layers->Items(I)->OnCanPaint), Guarded) << I;
    }
    EXPECT_EQ(Layers->Notes().MaxLines, 5);
    EXPECT_FALSE(Layers->Notes().FromTop);
    EXPECT_EQ(Layers->Overview().Spacing, 210);
}

TEST_F(SpielfeldLayersTest, PlayingPitsDrawStonesThenTheRimAndNothingOutOfRange) {
    const TRect R3 = PitRects[3];
    Layers->Mulde(3).SetValue(12);
    auto E = Expected();
    E->Canvas().Draw(361, 161, *Layers->Stones().Bitmap(9));
    E->Canvas().Draw(359, 187, *Layers->PitPictures().Bitmap(3));
    EXPECT_EQ(DifferingPixels(Board, *E, R3), 0);
    EXPECT_GT(DifferingPixels(Board, Background, R3), 0);
    EXPECT_EQ(DifferingOutside(Board, Background, R3), 0);

    Layers->Mulde(3).SetValue(0);
    EXPECT_EQ(DifferingPixels(Board, Background, {0, 0, BoardWidth, BoardHeight}), 0);
    Layers->Mulde(3).SetValue(100);
    EXPECT_EQ(DifferingPixels(Board, Background, {0, 0, BoardWidth, BoardHeight}), 0);

    Layers->Mulde(10).SetValue(2);
    E = Expected();
    E->Canvas().Draw(285 + 23, 242 + 10, *Layers->Stones().Bitmap(2));
    E->Canvas().Draw(281, 266, *Layers->PitPictures().Bitmap(10));
    EXPECT_EQ(DifferingPixels(Board, *E, PitRects[10]), 0);
}

TEST_F(SpielfeldLayersTest, EndPitsSpreadGroupsOverTheirSpots) {
    Layers->Mulde(7).SetValue(20);
    auto E = Expected();
    const auto& S = Layers->Stones();
    E->Canvas().Draw(75, 185, *S.Bitmap(6));
    E->Canvas().Draw(100, 229, *S.Bitmap(1));
    E->Canvas().Draw(66, 213, *S.Bitmap(1));
    E->Canvas().Draw(61, 219, *S.Bitmap(6));
    E->Canvas().Draw(73, 255, *S.Bitmap(1));
    EXPECT_EQ(DifferingPixels(Board, *E, PitRects[7]), 0);

    Layers->Mulde(14).SetValue(3);
    E = Expected();
    E->Canvas().Draw(596, 178, *S.Bitmap(1));
    E->Canvas().Draw(601, 214, *S.Bitmap(1));
    E->Canvas().Draw(608, 216, *S.Bitmap(1));
    EXPECT_EQ(DifferingPixels(Board, *E, PitRects[14]), 0);
}

TEST_F(SpielfeldLayersTest, GuardedLayersShowOnlyBackgroundWhileNoGameRuns) {
    Running = false;
    Layers->Mulde(1).SetValue(4);
    Layers->Zeit(1).SetValue(10);
    Layers->Runde(0).SetValue(25);
    EXPECT_EQ(DifferingPixels(Board, Background, PitRects[1]), 0);
    EXPECT_EQ(DifferingPixels(Board, Background, ZeitRect1), 0);
    EXPECT_GT(DifferingPixels(Board, Background, RundeRect), 0);

    Running = true;
    Layers->PaintAll();
    EXPECT_GT(DifferingPixels(Board, Background, PitRects[1]), 0);
    EXPECT_GT(DifferingPixels(Board, Background, ZeitRect1), 0);
}

TEST_F(SpielfeldLayersTest, ClocksAndCountersWriteTheirTextsAtTheTopLeft) {
    Layers->Zeit(1).SetValue(0);
    auto E = Expected();
    E->Canvas().TextRect(ZeitRect1, 75, 27, "1) 00:00:00");
    EXPECT_EQ(DifferingPixels(Board, *E, ZeitRect1), 0);
    EXPECT_GT(DifferingPixels(Board, Background, ZeitRect1), 0);

    Layers->Zeit(1).SetValue(3600);
    E = Expected();
    E->Canvas().TextRect(ZeitRect1, 75, 27, "1) 01:00:00");
    EXPECT_EQ(DifferingPixels(Board, *E, ZeitRect1), 0);

    Layers->Zeit(1).SetValue(-1);
    EXPECT_EQ(DifferingPixels(Board, Background, ZeitRect1), 0);

    // The total's rectangle overlaps side 1's counter, so it is checked alone.
    Layers->Runde(0).SetValue(25);
    E = Expected();
    E->Canvas().TextRect(RundeRect, 663, 32, ">25");
    EXPECT_EQ(DifferingPixels(Board, *E, RundeRect), 0);
    Layers->Runde(0).SetValue(0);
    Layers->Runde(1).SetValue(12);
    E = Expected();
    E->Canvas().TextRect(RundeRect1, 635, 20, "1) 12");
    EXPECT_EQ(DifferingPixels(Board, *E, RundeRect1), 0);
    Layers->Runde(1).SetValue(0);
    EXPECT_EQ(DifferingPixels(Board, Background, RundeRect1), 0);
}

TEST_F(SpielfeldLayersTest, CountersKeepEachOthersTextsWhateverOrderTheyChangeIn) {
    // All three texts as they stand, each clipped to its own rectangle.
    auto AllThree = [this](int Total, int One, int Two) {
        auto E = Expected();
        E->Canvas().TextRect(RundeRect, 663, 32, ">" + std::to_string(Total));
        E->Canvas().TextRect(RundeRect1, 635, 20, "1) " + std::to_string(One));
        E->Canvas().TextRect(RundeRect2, 635, 45, "2) " + std::to_string(Two));
        return E;
    };
    const TRect All{635, 20, 685, 64};

    Layers->Runde(0).SetValue(25);
    Layers->Runde(1).SetValue(12);
    Layers->Runde(2).SetValue(13);
    EXPECT_EQ(DifferingPixels(Board, *AllThree(25, 12, 13), All), 0);
    // Side 1 counts on alone: the ">" beside it stays whole.
    Layers->Runde(1).SetValue(13);
    EXPECT_EQ(DifferingPixels(Board, *AllThree(25, 13, 13), All), 0);
    // The total counts on alone: the sides' texts in its rectangle stay.
    Layers->Runde(0).SetValue(26);
    EXPECT_EQ(DifferingPixels(Board, *AllThree(26, 13, 13), All), 0);
    Layers->Runde(2).SetValue(100);
    Layers->Runde(1).SetValue(100);
    Layers->Runde(0).SetValue(200);
    EXPECT_EQ(DifferingPixels(Board, *AllThree(200, 100, 100), All), 0);
    Layers->PaintAll();
    EXPECT_EQ(DifferingPixels(Board, *AllThree(200, 100, 100), All), 0);
}

TEST_F(SpielfeldLayersTest, SideToMoveShrinksLongNamesButNeverBelowFour) {
    auto& L = Layers->AktSpieler();
    L.Names = {"Ann", std::string(60, 'W')};
    L.SetValue(1);
    EXPECT_EQ(Board.Canvas().Font.Size, 8);
    auto E = Expected();
    E->Canvas().TextRect(AktSpielerRect, 220, 27, "Ann");
    EXPECT_EQ(DifferingPixels(Board, *E, AktSpielerRect), 0);

    L.SetValue(2);
    EXPECT_EQ(Board.Canvas().Font.Size, 4);

    // A name just too wide at size 8 ends at the largest size that fits.
    E = Expected();
    std::string Name = "Mia";
    while (E->Canvas().TextWidth(Name) <= AktSpielerRect.Width()) Name += 'n';
    L.Names[0] = Name;
    L.SetValue(1);
    const int Size = Board.Canvas().Font.Size;
    ASSERT_GT(Size, 4);
    ASSERT_LT(Size, 8);
    E->Canvas().Font.SetSize(Size);
    EXPECT_LE(E->Canvas().TextWidth(L.Names[0]), AktSpielerRect.Width());
    E->Canvas().Font.SetSize(Size + 1);
    EXPECT_GT(E->Canvas().TextWidth(L.Names[0]), AktSpielerRect.Width());

    L.SetValue(0);
    EXPECT_EQ(DifferingPixels(Board, Background, AktSpielerRect), 0);
}

TEST_F(SpielfeldLayersTest, VariantAndHandCaptionsFollowTheLanguage) {
    Layers->Variante().SetValue(2);
    Layers->SteineHand().SetValue(7);
    auto E = Expected();
    E->Canvas().TextRect(VarianteRect, 353, 27, "Variante 2");
    E->Canvas().TextRect(SteineHandRect, 475, 27, "In der Hand");
    const int Gap = E->Canvas().TextHeight("gH");
    const int X = 475 + (SteineHandRect.Width() - E->Canvas().TextWidth("7")) / 2;
    E->Canvas().TextRect(SteineHandRect, X, 27 + Gap, "7");
    EXPECT_EQ(DifferingPixels(Board, *E, VarianteRect), 0);
    EXPECT_EQ(DifferingPixels(Board, *E, SteineHandRect), 0);

    Lng->SetLanguage("english");
    Layers->PaintAll();
    E = Expected();
    E->Canvas().TextRect(VarianteRect, 353, 27, "variant 2");
    E->Canvas().TextRect(SteineHandRect, 475, 27, "hand");
    E->Canvas().TextRect(SteineHandRect, X, 27 + Gap, "7");
    EXPECT_EQ(DifferingPixels(Board, *E, VarianteRect), 0);
    EXPECT_EQ(DifferingPixels(Board, *E, SteineHandRect), 0);

    Layers->SteineHand().SetValue(0);
    EXPECT_EQ(DifferingPixels(Board, Background, SteineHandRect), 0);
}

TEST_F(SpielfeldLayersTest, NotesShowTheNewestFiveNewestFirst) {
    std::string Text = "note 1";
    for (int I = 2; I <= 7; ++I) Text += "\r\nnote " + std::to_string(I);
    Layers->Notes().SetText(Text);
    auto E = Expected();
    const int Step = E->Canvas().TextHeight("gH");
    for (int K = 0; K < 5; ++K) E->Canvas().TextRect(NotesRect, 448, 422 + K * Step, "note " + std::to_string(7 - K));
    EXPECT_EQ(DifferingPixels(Board, *E, NotesRect), 0);

    Layers->Notes().FromTop = true;
    Layers->Notes().Paint();
    E = Expected();
    for (int K = 0; K < 5; ++K) E->Canvas().TextRect(NotesRect, 448, 422 + K * Step, "note " + std::to_string(K + 1));
    EXPECT_EQ(DifferingPixels(Board, *E, NotesRect), 0);
}

TEST_F(SpielfeldLayersTest, OverviewPreviewsOnlyLegalMovesAndRestoresTheFont) {
    TFeld Game;
    Game.StonesPerPit = 4;
    Game.UseEndPits = true;
    Game.Variant = 1;
    Game.Reset();
    Layers->Overview().Board = &Game;
    const TRect Second = {15 + 210, 454, 413, 509};

    Layers->Overview().SetValue(-1);
    auto E = Expected();
    DrawSmall(Game, E->Canvas(), {18, 458}, -1);
    EXPECT_EQ(DifferingPixels(Board, *E, OverviewRect), 0);
    EXPECT_EQ(DifferingPixels(Board, Background, Second), 0);
    EXPECT_EQ(Board.Canvas().Font.Name, "Comic Sans MS");

    Layers->Overview().SetValue(3);
    TFeld After(Game);
    After.DoMove(3);
    E = Expected();
    DrawSmall(Game, E->Canvas(), {18, 458}, 3);
    DrawSmall(After, E->Canvas(), {15 + 210 + 3, 458}, 0);
    EXPECT_EQ(DifferingPixels(Board, *E, OverviewRect), 0);
    EXPECT_GT(DifferingPixels(Board, Background, Second), 0);
    EXPECT_EQ(Board.Canvas().Font.Name, "Comic Sans MS");
    EXPECT_TRUE(Board.Canvas().Font.Bold);
    // The preview plays on a copy.
    EXPECT_EQ(Game.Pits[3], 4);

    // Side 2's pit is not a legal move for side 1: the current board alone.
    Layers->Overview().SetValue(9);
    EXPECT_EQ(DifferingPixels(Board, Background, Second), 0);

    Layers->Overview().SetValue(0);
    EXPECT_EQ(DifferingPixels(Board, Background, OverviewRect), 0);
}

}  // namespace
