#include <gtest/gtest.h>

#include <QFontInfo>

#include <string>

#include "GuiApp.h"
#include "graphics/Graphics.h"

using namespace tessum;

namespace {

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureGuiApp(); }
};

void Fill(TBitmap& B, TColor C) {
    B.Canvas().Brush.Style = TBrushStyle::Solid;
    B.Canvas().Brush.Color = C;
    B.Canvas().FillRect(Bounds(0, 0, B.Width(), B.Height()));
}

// Smallest rectangle holding every pixel that differs from Background.
TRect Ink(const TBitmap& B, TColor Background) {
    TRect r{B.Width(), B.Height(), 0, 0};
    for (int y = 0; y < B.Height(); ++y)
        for (int x = 0; x < B.Width(); ++x)
            if (B.Canvas().Pixel(x, y) != Background) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    return r;
}

const TColor Blue = RGBColor(0, 0, 255);
const TColor Green = RGBColor(0, 200, 0);

}  // namespace

TEST_F(CanvasTest, TransparentDrawingLeavesOutTheKeyColourOnly) {
    TBitmap target(6, 4);
    Fill(target, Blue);
    TBitmap sprite(3, 2);
    Fill(sprite, Green);
    sprite.Canvas().SetPixel(0, 0, clRed);
    sprite.Canvas().SetPixel(2, 1, clRed);
    // A colour one step from the key is not the key.
    sprite.Canvas().SetPixel(1, 0, RGBColor(254, 0, 0));
    sprite.Transparent = true;
    sprite.SetTransparentColor(clRed);

    target.Canvas().Draw(1, 1, sprite);
    EXPECT_EQ(target.Canvas().Pixel(1, 1), Blue);
    EXPECT_EQ(target.Canvas().Pixel(2, 1), RGBColor(254, 0, 0));
    EXPECT_EQ(target.Canvas().Pixel(3, 1), Green);
    EXPECT_EQ(target.Canvas().Pixel(1, 2), Green);
    EXPECT_EQ(target.Canvas().Pixel(3, 2), Blue);
    EXPECT_EQ(target.Canvas().Pixel(0, 0), Blue);
    EXPECT_EQ(target.Canvas().Pixel(4, 1), Blue);

    // Without transparency every pixel lands, key colour included.
    sprite.Transparent = false;
    target.Canvas().Draw(1, 1, sprite);
    EXPECT_EQ(target.Canvas().Pixel(1, 1), clRed);
}

TEST_F(CanvasTest, TransparentColourDefaultsToTheBottomLeftPixel) {
    TBitmap sprite(2, 2);
    Fill(sprite, Green);
    sprite.Canvas().SetPixel(0, 1, clWhite);
    EXPECT_EQ(sprite.TransparentColor(), clWhite);
    sprite.SetTransparentColor(clRed);
    EXPECT_EQ(sprite.TransparentColor(), clRed);
}

TEST_F(CanvasTest, SpritesAreClippedAtEveryEdge) {
    TBitmap target(4, 4);
    Fill(target, Blue);
    TBitmap sprite(3, 3);
    Fill(sprite, Green);
    sprite.Transparent = true;
    sprite.SetTransparentColor(clRed);
    for (int x = -4; x <= 5; ++x)
        for (int y = -4; y <= 5; ++y) {
            Fill(target, Blue);
            target.Canvas().Draw(x, y, sprite);
            for (int py = 0; py < 4; ++py)
                for (int px = 0; px < 4; ++px) {
                    const bool covered = px >= x && px < x + 3 && py >= y && py < y + 3;
                    ASSERT_EQ(target.Canvas().Pixel(px, py), covered ? Green : Blue) << x << "," << y;
                }
            target.Canvas().DrawAnd(x, y, sprite);
            target.Canvas().DrawOr(x, y, sprite);
        }
}

TEST_F(CanvasTest, AndMaskThenOrPictureComposesAHandOverTheBoard) {
    // Board: a pattern with every bit in use somewhere.
    TBitmap board(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) board.Canvas().SetPixel(x, y, RGBColor(x * 31, y * 29, (x * y * 7) & 0xff));
    TBitmap original;
    original.Assign(board);

    // The hand covers the left column pair of the sprite; the mask is black
    // there and white elsewhere, the picture black outside the hand.
    TBitmap mask(4, 3), picture(4, 3);
    Fill(mask, clWhite);
    Fill(picture, clBlack);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x) {
            mask.Canvas().SetPixel(x, y, clBlack);
            picture.Canvas().SetPixel(x, y, RGBColor(200, 150 + x, 100 + y));
        }

    board.Canvas().DrawAnd(3, 2, mask);
    board.Canvas().DrawOr(3, 2, picture);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool hand = x >= 3 && x < 5 && y >= 2 && y < 5;
            const TColor expected = hand ? RGBColor(200, 150 + x - 3, 100 + y - 2) : original.Canvas().Pixel(x, y);
            ASSERT_EQ(board.Canvas().Pixel(x, y), expected) << x << "," << y;
        }
    // The board the frame was copied from stays untouched.
    EXPECT_EQ(original.Canvas().Pixel(3, 2), RGBColor(93, 58, 42));
}

TEST_F(CanvasTest, AndAndOrCombineBitsExactly) {
    TBitmap target(1, 1), pen(1, 1);
    target.Canvas().SetPixel(0, 0, RGBColor(0x12, 0x34, 0x56));
    pen.Canvas().SetPixel(0, 0, RGBColor(0x0f, 0xf0, 0x3c));
    target.Canvas().DrawOr(0, 0, pen);
    EXPECT_EQ(target.Canvas().Pixel(0, 0), RGBColor(0x1f, 0xf4, 0x7e));
    target.Canvas().DrawAnd(0, 0, pen);
    EXPECT_EQ(target.Canvas().Pixel(0, 0), RGBColor(0x0f, 0xf0, 0x3c));
    // CopyRect takes the same modes.
    target.Canvas().SetPixel(0, 0, RGBColor(0xff, 0x00, 0xff));
    target.Canvas().CopyRect(Bounds(0, 0, 1, 1), pen.Canvas(), Bounds(0, 0, 1, 1), TCopyMode::And);
    EXPECT_EQ(target.Canvas().Pixel(0, 0), RGBColor(0x0f, 0x00, 0x3c));
}

TEST_F(CanvasTest, CopyRectCopiesTheRightPixelsAndClips) {
    TBitmap source(5, 5), target(5, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) source.Canvas().SetPixel(x, y, RGBColor(x, y, 9));
    Fill(target, Blue);
    target.Canvas().CopyRect({1, 1, 3, 4}, source.Canvas(), {2, 0, 4, 3});
    EXPECT_EQ(target.Canvas().Pixel(1, 1), RGBColor(2, 0, 9));
    EXPECT_EQ(target.Canvas().Pixel(2, 3), RGBColor(3, 2, 9));
    EXPECT_EQ(target.Canvas().Pixel(3, 1), Blue);  // right edge is exclusive
    EXPECT_EQ(target.Canvas().Pixel(1, 4), Blue);  // bottom edge is exclusive

    // Parts outside the source or the target are left out, the rest lines up.
    Fill(target, Blue);
    target.Canvas().CopyRect({-1, 3, 2, 7}, source.Canvas(), {3, -1, 6, 3});
    EXPECT_EQ(target.Canvas().Pixel(0, 4), RGBColor(4, 0, 9));
    EXPECT_EQ(target.Canvas().Pixel(1, 4), Blue);  // column 5 of the source does not exist
    EXPECT_EQ(target.Canvas().Pixel(0, 3), Blue);  // row -1 of the source does not exist
}

TEST_F(CanvasTest, CopyWithinOnePictureSurvivesOverlap) {
    for (const TPoint shift : {TPoint{1, 1}, TPoint{-1, -1}, TPoint{2, 0}, TPoint{-2, 0}, TPoint{0, 3}}) {
        TBitmap b(6, 6), ref(6, 6);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) b.Canvas().SetPixel(x, y, RGBColor(x * 10, y * 10, 1));
        ref.Assign(b);
        TBitmap before;
        before.Assign(b);
        // Reference through a separate picture.
        ref.Canvas().CopyRect(Bounds(1 + shift.X, 1 + shift.Y, 4, 4), before.Canvas(), Bounds(1, 1, 4, 4));
        b.Canvas().CopyRect(Bounds(1 + shift.X, 1 + shift.Y, 4, 4), b.Canvas(), Bounds(1, 1, 4, 4));
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                ASSERT_EQ(b.Canvas().Pixel(x, y), ref.Canvas().Pixel(x, y)) << shift.X << "," << shift.Y;
        EXPECT_EQ(before.Canvas().Pixel(2, 2), RGBColor(20, 20, 1));
    }
}

TEST_F(CanvasTest, AssignedPicturesAreIndependentOnceWritten) {
    TBitmap a(3, 3);
    Fill(a, Green);
    TBitmap b;
    b.Assign(a);
    TBitmap sprite(1, 1);
    sprite.Canvas().SetPixel(0, 0, clRed);
    b.Canvas().Draw(1, 1, sprite);
    b.Canvas().DrawOr(0, 0, sprite);
    EXPECT_EQ(a.Canvas().Pixel(1, 1), Green);
    EXPECT_EQ(a.Canvas().Pixel(0, 0), Green);
    EXPECT_EQ(b.Canvas().Pixel(1, 1), clRed);
}

TEST_F(CanvasTest, StretchingSmoothsWhileAPlainCopyRepeatsPixels) {
    TBitmap stripes(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) stripes.Canvas().SetPixel(x, y, x % 2 ? clWhite : clBlack);
    TBitmap small(2, 2);
    small.Canvas().StretchDraw(Bounds(0, 0, 2, 2), stripes);
    const int grey = RedOf(small.Canvas().Pixel(0, 0));
    EXPECT_GT(grey, 90);
    EXPECT_LT(grey, 165);

    TBitmap big(8, 8);
    big.Canvas().CopyRect(Bounds(0, 0, 8, 8), stripes.Canvas(), Bounds(0, 0, 4, 4));
    for (int x = 0; x < 8; ++x) EXPECT_EQ(big.Canvas().Pixel(x, 3), (x / 2) % 2 ? clWhite : clBlack);
}

TEST_F(CanvasTest, FillRectHonoursBrushStyleAndClips) {
    TBitmap b(4, 4);
    Fill(b, Blue);
    b.Canvas().Brush.Style = TBrushStyle::Clear;
    b.Canvas().Brush.Color = clRed;
    b.Canvas().FillRect({0, 0, 4, 4});
    EXPECT_EQ(b.Canvas().Pixel(1, 1), Blue);
    b.Canvas().Brush.Style = TBrushStyle::Solid;
    b.Canvas().FillRect({-5, 2, 2, 99});
    EXPECT_EQ(b.Canvas().Pixel(1, 3), clRed);
    EXPECT_EQ(b.Canvas().Pixel(2, 3), Blue);
    EXPECT_EQ(b.Canvas().Pixel(1, 1), Blue);
}

TEST_F(CanvasTest, WindowsFontNamesMapOntoInstalledFonts) {
    EXPECT_EQ(InstalledFontName("Arial"), "Liberation Sans");
    EXPECT_EQ(InstalledFontName("COMIC SANS MS"), "Comic Neue");
    EXPECT_EQ(InstalledFontName("Tahoma"), "DejaVu Sans");
    EXPECT_EQ(InstalledFontName("Liberation Serif"), "Liberation Serif");
    for (const char* name : {"Arial", "Comic Sans MS", "Tahoma", "Times New Roman", "Courier New"}) {
        TFont f;
        f.Name = name;
        // The twin must really be installed, or Qt quietly substitutes another.
        EXPECT_EQ(QFontInfo(f.ToQFont()).family(), InstalledFontName(name)) << name;
    }
}

TEST_F(CanvasTest, FontSizesFollowTheCanvasResolution) {
    TFont f;
    f.SetSize(8);
    EXPECT_EQ(f.ToQFont(96).pixelSize(), 11);
    EXPECT_EQ(f.ToQFont(600).pixelSize(), 67);
    f.Height = -20;
    EXPECT_EQ(f.ToQFont(96).pixelSize(), 20);
    f.SetSize(12);
    EXPECT_EQ(f.Height, 0);
    EXPECT_EQ(f.ToQFont(96).pixelSize(), 16);
}

TEST_F(CanvasTest, TextMeasuresGrowWithTextAndFont) {
    TBitmap b(10, 10);
    TCanvas& c = b.Canvas();
    c.Font.Name = "Arial";
    c.Font.SetSize(8);
    EXPECT_EQ(c.TextWidth(""), 0);
    const int w1 = c.TextWidth("12");
    EXPECT_GT(w1, 0);
    EXPECT_GT(c.TextWidth("1234"), w1);
    const int h8 = c.TextHeight("gH");
    c.Font.SetSize(16);
    EXPECT_GT(c.TextHeight("gH"), h8);
    EXPECT_GT(c.TextWidth("12"), w1);
    // Umlauts arrive as single code-page bytes and are measured as letters.
    EXPECT_GT(c.TextWidth("\xdc"), 0);
}

TEST_F(CanvasTest, TextOutFillsItsCellOnlyWithASolidBrush) {
    TBitmap b(80, 30);
    Fill(b, Blue);
    TCanvas& c = b.Canvas();
    c.Font.Color = clWhite;
    c.Brush.Style = TBrushStyle::Clear;
    c.TextOut(5, 5, "Hi");
    EXPECT_EQ(c.Pixel(5, 5), Blue);
    const TRect ink = Ink(b, Blue);
    EXPECT_GE(ink.Left, 5);
    EXPECT_GE(ink.Top, 5);
    EXPECT_LE(ink.Bottom, 5 + c.TextHeight("Hi"));

    c.Brush.Style = TBrushStyle::Solid;
    c.Brush.Color = clRed;
    c.TextOut(40, 5, "Hi");
    EXPECT_EQ(c.Pixel(40, 5), clRed);
    EXPECT_EQ(c.Pixel(40 + c.TextWidth("Hi"), 5), Blue);
}

TEST_F(CanvasTest, TextRectNeverDrawsOutsideItsRectangle) {
    TBitmap b(120, 40);
    Fill(b, Blue);
    TCanvas& c = b.Canvas();
    c.Font.Color = clWhite;
    c.Brush.Style = TBrushStyle::Clear;
    const TRect clip{10, 10, 40, 20};
    c.TextRect(clip, 5, 8, "A rather long text that does not fit");
    const TRect ink = Ink(b, Blue);
    EXPECT_FALSE(ink.IsEmpty());
    EXPECT_GE(ink.Left, clip.Left);
    EXPECT_GE(ink.Top, clip.Top);
    EXPECT_LE(ink.Right, clip.Right);
    EXPECT_LE(ink.Bottom, clip.Bottom);
}

TEST_F(CanvasTest, EllipsisLinesFitAndAlignInEveryCorner) {
    const TRect box{20, 10, 120, 50};
    const std::string longText = "Somebody with an extraordinarily long name indeed";
    for (const THorzAlign h : {THorzAlign::Left, THorzAlign::Center, THorzAlign::Right})
        for (const TVertAlign v : {TVertAlign::Top, TVertAlign::Center, TVertAlign::Bottom}) {
            TBitmap b(140, 60);
            Fill(b, Blue);
            b.Canvas().Font.Color = clWhite;
            b.Canvas().TextEllipsis(box, "Ann", h, v);
            const TRect ink = Ink(b, Blue);
            ASSERT_FALSE(ink.IsEmpty());
            const int leftGap = ink.Left - box.Left, rightGap = box.Right - ink.Right;
            const int topGap = ink.Top - box.Top, bottomGap = box.Bottom - ink.Bottom;
            if (h == THorzAlign::Left) { EXPECT_LT(leftGap, 4); }
            if (h == THorzAlign::Right) { EXPECT_LT(rightGap, 4); }
            if (h == THorzAlign::Center) { EXPECT_LE(std::abs(leftGap - rightGap), 3); }
            if (v == TVertAlign::Top) { EXPECT_LT(topGap, 6); }
            if (v == TVertAlign::Bottom) { EXPECT_LT(bottomGap, 6); }
            if (v == TVertAlign::Center) { EXPECT_LE(std::abs(topGap - bottomGap), 4); }

            Fill(b, Blue);
            b.Canvas().TextEllipsis(box, longText, h, v);
            const TRect cut = Ink(b, Blue);
            EXPECT_GE(cut.Left, box.Left);
            EXPECT_LE(cut.Right, box.Right);
            // Cut, not squeezed: the text fills most of the width.
            EXPECT_GT(cut.Width(), box.Width() * 3 / 4);
        }
}

TEST_F(CanvasTest, WrappedTextIsCentredAndUsesSeveralLines) {
    TBitmap b(200, 100);
    Fill(b, Blue);
    TCanvas& c = b.Canvas();
    c.Font.Color = clWhite;
    c.Font.Bold = true;
    c.Font.SetSize(12);
    c.Brush.Style = TBrushStyle::Clear;
    const TRect box{10, 5, 190, 95};
    const int used = c.TextWrappedCentered(box, "Somebody has won the draw and makes the first move of the game");
    EXPECT_GT(used, c.TextHeight("gH") * 3 / 2);
    const TRect ink = Ink(b, Blue);
    EXPECT_GE(ink.Left, box.Left);
    EXPECT_LE(ink.Right, box.Right);
    EXPECT_LE(std::abs((ink.Left - box.Left) - (box.Right - ink.Right)), 4);
    EXPECT_LT(ink.Top - box.Top, 8);  // starts at the top
}

TEST_F(CanvasTest, EllipseStaysInsideItsRectangleAndIsHollowWithAClearBrush) {
    TBitmap b(40, 40);
    Fill(b, clWhite);
    TCanvas& c = b.Canvas();
    c.Pen.Width = 2;
    c.Pen.Color = RGBColor(51, 204, 51);
    c.Brush.Style = TBrushStyle::Clear;
    c.Ellipse(10, 7, 30, 27);
    const TRect ink = Ink(b, clWhite);
    EXPECT_EQ(ink, (TRect{10, 7, 30, 27}));
    EXPECT_EQ(c.Pixel(20, 17), clWhite);

    c.Brush.Style = TBrushStyle::Solid;
    c.Brush.Color = clRed;
    c.Ellipse(10, 7, 30, 27);
    EXPECT_EQ(c.Pixel(20, 17), clRed);
}

TEST_F(CanvasTest, LinesLeaveOutTheirEndPoint) {
    TBitmap b(20, 5);
    Fill(b, clWhite);
    TCanvas& c = b.Canvas();
    c.MoveTo(2, 2);
    c.LineTo(12, 2);
    EXPECT_EQ(c.PenPos(), (TPoint{12, 2}));
    EXPECT_EQ(Ink(b, clWhite), (TRect{2, 2, 12, 3}));
    Fill(b, clWhite);
    c.Pen.Width = 3;
    c.MoveTo(4, 0);
    c.LineTo(4, 4);
    EXPECT_EQ(Ink(b, clWhite), (TRect{3, 0, 6, 4}));
}

TEST_F(CanvasTest, PainterCanvasesDrawLikeBitmapCanvases) {
    // Windows and printers are drawn through a painter; the result must match
    // what the pixel loops produce on a bitmap.
    TBitmap sprite(4, 3), mask(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            sprite.Canvas().SetPixel(x, y, x == 1 ? clRed : RGBColor(x * 60, y * 70, 0x35));
            mask.Canvas().SetPixel(x, y, y == 1 ? clBlack : RGBColor(0xf0, 0x0f, 0xff));
        }
    sprite.Transparent = true;
    sprite.SetTransparentColor(clRed);

    auto drawAll = [&](TCanvas& C) {
        C.Draw(1, 1, sprite);
        C.DrawAnd(3, 2, mask);
        sprite.Transparent = false;
        C.DrawOr(0, 4, sprite);
        sprite.Transparent = true;
    };
    TBitmap direct(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) direct.Canvas().SetPixel(x, y, RGBColor(0x80 + x, 0x40 + y, 0x11));
    QImage viaPainter = direct.Image().copy();
    drawAll(direct.Canvas());
    {
        QPainter painter(&viaPainter);
        TCanvas canvas(painter);
        EXPECT_EQ(canvas.Image(), nullptr);
        drawAll(canvas);
    }
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(viaPainter.pixel(x, y) | 0xff000000u, direct.Canvas().Pixel(x, y)) << x << "," << y;
}
