#include <gtest/gtest.h>

#include <string>

#include "GuiApp.h"
#include "graphics/uSmallBoard.h"

using namespace tessum;

namespace {

const TColor Green = RGBColor(51, 204, 51);
const TColor Yellow = RGBColor(187, 187, 0);

class SmallBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureGuiApp();
        feld.StonesPerPit = 4;
        feld.Variant = 1;
        feld.Reset();
    }

    void Render(TBitmap& B, int Marked) {
        B.SetSize(200, 60);
        B.Canvas().Brush.Style = TBrushStyle::Solid;
        B.Canvas().Brush.Color = clWhite;
        B.Canvas().FillRect({0, 0, 200, 60});
        DrawSmall(feld, B.Canvas(), origin, Marked);
    }

    // The picture built cell by cell from the layout table, independently of DrawSmall.
    void RenderReference(TBitmap& B, int InPlay) {
        B.SetSize(200, 60);
        TCanvas& c = B.Canvas();
        c.Brush.Style = TBrushStyle::Solid;
        c.Brush.Color = clWhite;
        c.FillRect({0, 0, 200, 60});
        c.Brush.Style = TBrushStyle::Clear;
        c.Font.Name = "Arial";
        c.Font.Bold = true;
        c.Font.SetSize(8);
        auto cell = [&](int Left, int Width, int Top, int Number, TColor Colour) {
            const std::string s = std::to_string(Number);
            c.Font.Color = Colour;
            c.TextOut(Left + (Width - c.TextWidth(s)) / 2, Top, s);
        };
        const int X = origin.X, Y = origin.Y;
        const int top[6] = {6, 5, 4, 3, 2, 1}, bottom[6] = {8, 9, 10, 11, 12, 13};
        for (int i = 0; i < 6; ++i) cell(X + 23 * (i + 1), 23, Y, feld.Pits[top[i]], Green);
        cell(X, 23, Y + 15, feld.Pits[7], Green);
        cell(X, 184, Y + 15, InPlay, clBlack);
        cell(X + 23 * 7, 23, Y + 15, feld.Pits[14], Yellow);
        for (int i = 0; i < 6; ++i) cell(X + 23 * (i + 1), 23, Y + 30, feld.Pits[bottom[i]], Yellow);
    }

    static int Differences(const TBitmap& A, const TBitmap& B, TRect* Where = nullptr) {
        int n = 0;
        TRect r{1000, 1000, -1, -1};
        for (int y = 0; y < A.Height(); ++y)
            for (int x = 0; x < A.Width(); ++x)
                if (A.Canvas().Pixel(x, y) != B.Canvas().Pixel(x, y)) {
                    ++n;
                    r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
                }
        if (Where) *Where = r;
        return n;
    }

    TFeld feld;
    TPoint origin{8, 9};
};

}  // namespace

TEST_F(SmallBoardTest, NumbersSitInTheirCellsInTheSidesColours) {
    // Distinct counts reveal any pit drawn in the wrong cell; 1234 is wider
    // than its cell and must start left of it.
    for (int p = 1; p <= 14; ++p) feld.Pits[p] = p * 7 % 23;
    feld.Pits[3] = 1234;
    feld.Pits[14] = 40;
    feld.Hand = 2;
    feld.Captured = 1;
    int inPlay = feld.Hand + feld.Captured;
    for (int p = 1; p <= 13; ++p)
        if (p != 7) inPlay += feld.Pits[p];
    TBitmap drawn, expected;
    Render(drawn, 0);
    RenderReference(expected, inPlay);
    EXPECT_EQ(Differences(drawn, expected), 0);

    // The side to move does not change which row is which.
    feld.Player = 2;
    Render(drawn, 0);
    EXPECT_EQ(Differences(drawn, expected), 0);
}

TEST_F(SmallBoardTest, AfterTheLastMoveTheMiddleShowsZero) {
    for (int p = 1; p <= 14; ++p) feld.Pits[p] = 0;
    feld.Pits[7] = 30;
    feld.Pits[14] = 18;
    TBitmap drawn, expected;
    Render(drawn, 0);
    RenderReference(expected, 0);
    EXPECT_EQ(Differences(drawn, expected), 0);
}

TEST_F(SmallBoardTest, PlayingPitsGetACircleAroundTheirCell) {
    TBitmap plain;
    Render(plain, 0);
    for (int pit = 1; pit <= 13; ++pit) {
        if (pit == 7) continue;
        const bool side1 = pit <= 6;
        const int column = side1 ? 7 - pit : pit - 7;
        const int x = origin.X + 23 * column, y = origin.Y + (side1 ? 0 : 30);
        TBitmap marked;
        Render(marked, pit);
        TRect changed;
        ASSERT_GT(Differences(plain, marked, &changed), 40) << pit;
        // Exactly the circle's bounding box: 20 pixels round the number.
        EXPECT_EQ(changed, (TRect{x + 1, y - 3, x + 21, y + 17})) << pit;
        // The ring is in the side's colour.
        const TColor colour = side1 ? Green : Yellow;
        int exact = 0;
        for (int py = changed.Top; py < changed.Bottom; ++py)
            for (int px = changed.Left; px < changed.Right; ++px) exact += marked.Canvas().Pixel(px, py) == colour;
        EXPECT_GT(exact, 20) << pit;
    }
}

TEST_F(SmallBoardTest, PitOneIsTopRightAndPitEightBottomLeft) {
    TBitmap plain, marked;
    Render(plain, 0);
    TRect changed;
    Render(marked, 1);
    Differences(plain, marked, &changed);
    EXPECT_EQ(changed.Left, origin.X + 23 * 6 + 1);
    EXPECT_EQ(changed.Top, origin.Y - 3);
    Render(marked, 8);
    Differences(plain, marked, &changed);
    EXPECT_EQ(changed.Left, origin.X + 23 + 1);
    EXPECT_EQ(changed.Top, origin.Y + 30 - 3);
}

TEST_F(SmallBoardTest, EndPitsAndNonPitsDrawNoCircle) {
    TBitmap plain, marked;
    Render(plain, 0);
    for (int pit : {7, 14, -1, 15, 99}) {
        Render(marked, pit);
        EXPECT_EQ(Differences(plain, marked), 0) << pit;
    }
}

TEST_F(SmallBoardTest, LeavesItsDrawingStateOnTheCanvas) {
    TBitmap b;
    b.Canvas().Font.Name = "Comic Sans MS";
    b.Canvas().Brush.Style = TBrushStyle::Solid;
    Render(b, 3);
    EXPECT_EQ(b.Canvas().Font.Name, "Arial");
    EXPECT_TRUE(b.Canvas().Font.Bold);
    EXPECT_EQ(b.Canvas().Font.Size, 8);
    EXPECT_EQ(b.Canvas().Brush.Style, TBrushStyle::Clear);
    EXPECT_EQ(b.Canvas().Pen.Width, 2);
}
