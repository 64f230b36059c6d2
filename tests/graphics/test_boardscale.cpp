// The board at other pixel scales and window sizes: pictures composed at
// twice the pixels with the same logical coordinates, archives drawn at twice
// the size with the old ones as fallback, and the view that fits the board
// into a window and maps the pointer back.
#include <gtest/gtest.h>

#include <QPainter>
#include <QTemporaryDir>

#include <cmath>
#include <set>

#include "GuiApp.h"
#include "graphics/uBoardView.h"
#include "graphics/uTGFXFile.h"
#include "graphics/uTSpielfeldLayers.h"

using namespace tessum;

namespace {

TColor DevicePixel(const TBitmap& B, int X, int Y) { return B.Image().pixel(X, Y) | 0xff000000u; }

void Fill(TBitmap& B, const TRect& R, TColor C) {
    B.Canvas().Brush.Style = TBrushStyle::Solid;
    B.Canvas().Brush.Color = C;
    B.Canvas().FillRect(R);
}

// A picture with detail everywhere, so any misplaced or missed pixel shows.
void Pattern(TBitmap& B) {
    for (int y = 0; y < B.PixelHeight(); ++y) {
        std::uint32_t* line = B.ScanLine(y);
        for (int x = 0; x < B.PixelWidth(); ++x) line[x] = RGBColor(x * 7, y * 3, (x * y) >> 3);
    }
}

}  // namespace

TEST(BoardScale, LogicalCoordinatesLandOnDevicePixels) {
    TBitmap b(10, 8, 2);
    EXPECT_EQ(b.Width(), 10);
    EXPECT_EQ(b.Height(), 8);
    EXPECT_EQ(b.PixelWidth(), 20);
    EXPECT_EQ(b.Scale(), 2);
    Fill(b, {2, 1, 4, 3}, clWhite);
    EXPECT_EQ(DevicePixel(b, 3, 1), clBlack);
    EXPECT_EQ(DevicePixel(b, 4, 2), clWhite);
    EXPECT_EQ(DevicePixel(b, 7, 5), clWhite);
    EXPECT_EQ(DevicePixel(b, 8, 5), clBlack);
    EXPECT_EQ(b.Canvas().Pixel(3, 2), clWhite);

    // A copy between two pictures of the same scale is exact; from a picture
    // of scale 1 it is enlarged into the same logical place.
    TBitmap same(10, 8, 2), single(10, 8);
    Pattern(same);
    Pattern(single);
    b.Canvas().CopyRect({0, 0, 5, 4}, same.Canvas(), {5, 4, 10, 8});
    EXPECT_EQ(DevicePixel(b, 3, 5), DevicePixel(same, 13, 13));
    b.Canvas().CopyRect({5, 4, 10, 8}, single.Canvas(), {0, 0, 5, 4});
    EXPECT_EQ(DevicePixel(b, 10 + 2 * 2, 8 + 2 * 3), DevicePixel(single, 2, 3));
    EXPECT_EQ(DevicePixel(b, 10 + 2 * 2 + 1, 8 + 2 * 3 + 1), DevicePixel(single, 2, 3));
}

TEST(BoardScale, SpritesOfAnotherScaleKeepTheirKeyAndMaskExact) {
    TBitmap target(6, 6, 2);
    Fill(target, {0, 0, 6, 6}, RGBColor(0, 0, 200));
    TBitmap sprite(2, 2);
    Fill(sprite, {0, 0, 2, 2}, clRed);
    sprite.Canvas().SetPixel(1, 0, RGBColor(10, 200, 10));
    sprite.Transparent = true;
    sprite.SetTransparentColor(clRed);
    target.Canvas().Draw(2, 2, sprite);
    // The kept pixel becomes a 2 x 2 block at logical (3, 2); nothing red anywhere.
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool kept = x >= 6 && x < 8 && y >= 4 && y < 6;
            EXPECT_EQ(DevicePixel(target, x, y), kept ? RGBColor(10, 200, 10) : RGBColor(0, 0, 200)) << x << "," << y;
        }

    // AND mask and OR picture at scale 1 on a frame at scale 2 stay in step.
    TBitmap mask(2, 1), picture(2, 1);
    Fill(mask, {0, 0, 2, 1}, clWhite);
    mask.Canvas().SetPixel(0, 0, clBlack);
    Fill(picture, {0, 0, 2, 1}, clBlack);
    picture.Canvas().SetPixel(0, 0, RGBColor(0, 255, 0));
    target.Canvas().DrawAnd(0, 0, mask);
    target.Canvas().DrawOr(0, 0, picture);
    EXPECT_EQ(DevicePixel(target, 1, 1), RGBColor(0, 255, 0));
    EXPECT_EQ(DevicePixel(target, 2, 1), RGBColor(0, 0, 200));
}

TEST(BoardScale, TextIsDrawnAtTheDeviceResolution) {
    test::EnsureGuiApp();
    // Text on a picture of scale 2 must be rendered with its own detail, not
    // drawn at scale 1 and enlarged: somewhere in the ink a 2 x 2 block of
    // device pixels is not of one colour.
    TBitmap b(60, 20, 2);
    Fill(b, {0, 0, 60, 20}, clWhite);
    TCanvas& c = b.Canvas();
    c.Brush.Style = TBrushStyle::Clear;
    c.Font.Name = "Arial";
    c.Font.SetSize(9);
    c.TextOut(2, 2, "gH 12");
    int ink = 0, mixedBlocks = 0;
    for (int y = 0; y + 1 < b.PixelHeight(); y += 2)
        for (int x = 0; x + 1 < b.PixelWidth(); x += 2) {
            const TColor p = DevicePixel(b, x, y);
            const bool uniform = p == DevicePixel(b, x + 1, y) && p == DevicePixel(b, x, y + 1) &&
                                 p == DevicePixel(b, x + 1, y + 1);
            if (p != clWhite) ++ink;
            if (!uniform) ++mixedBlocks;
        }
    EXPECT_GT(ink, 10);
    EXPECT_GT(mixedBlocks, 10);
    // Its logical width is that of the same text at scale 1 (give or take
    // the hinting of the larger glyphs), so layouts do not move.
    TBitmap one(60, 20);
    one.Canvas().Font = c.Font;
    EXPECT_NEAR(c.TextWidth("gH 12"), one.Canvas().TextWidth("gH 12"), 2);
}

class ScaledArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureGuiApp();
        ASSERT_TRUE(dir.isValid());
    }

    std::string Path(const char* Name) const { return dir.filePath(QString::fromLatin1(Name)).toStdString(); }

    // An archive with entry "pic.bmp": W x H pixels, left half Left, right half green.
    void Write(const char* File, int W, int H, TColor Left) {
        TBitmap b(W, H);
        Fill(b, {0, 0, W, H}, RGBColor(0, 255, 0));
        Fill(b, {0, 0, W / 2, H}, Left);
        TMemoryStream s;
        b.SaveToStream(s);
        TQDStreams a;
        a.AddStream("pic.bmp", s);
        TFileStream f(Path(File), TFileMode::Create);
        a.SaveToStream(f);
    }

    QTemporaryDir dir;
};

TEST_F(ScaledArchiveTest, TheDoubleSizeArchiveIsPreferredAndTheOldOneStillServes) {
    EXPECT_EQ(DoubleSizeArchiveName("/x/game.gfx"), "/x/game@2x.gfx");
    Write("pic.gfx", 4, 2, clWhite);
    Write("pic@2x.gfx", 8, 4, clBlack);

    TGFXFile sharp;
    sharp.LoadForScale(Path("pic.gfx"), 2);
    EXPECT_EQ(sharp.PictureScale, 2);
    TBitmap b;
    sharp.GetBitmap("pic.bmp", b);
    EXPECT_EQ(b.Scale(), 2);
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.PixelWidth(), 8);
    EXPECT_EQ(DevicePixel(b, 0, 0), clBlack);

    // At scale 1 the double-size archive is not touched.
    TGFXFile plain;
    plain.LoadForScale(Path("pic.gfx"), 1);
    plain.GetBitmap("pic.bmp", b);
    EXPECT_EQ(b.Scale(), 1);
    EXPECT_EQ(DevicePixel(b, 0, 0), clWhite);

    // A damaged one does not keep the game from starting: the old one serves.
    {
        TFileStream f(Path("pic@2x.gfx"), TFileMode::Create);
        const char junk[] = "not an archive";
        f.WriteBuffer(junk, sizeof junk);
    }
    TGFXFile damaged;
    damaged.LoadForScale(Path("pic.gfx"), 2);
    EXPECT_EQ(damaged.PictureScale, 1);
    damaged.GetBitmap("pic.bmp", b);
    EXPECT_EQ(DevicePixel(b, 0, 0), clWhite);

    // Without it the old archive is enlarged, pixel for pixel.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(Path("pic@2x.gfx"))));
    TGFXFile fallback;
    fallback.LoadForScale(Path("pic.gfx"), 2);
    EXPECT_EQ(fallback.PictureScale, 1);
    fallback.GetBitmap("pic.bmp", b);
    EXPECT_EQ(b.Scale(), 2);
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.PixelWidth(), 8);
    EXPECT_EQ(DevicePixel(b, 3, 3), clWhite);
    EXPECT_EQ(DevicePixel(b, 4, 0), RGBColor(0, 255, 0));
}

// The hit tests of a window at a scale: each pit's centre, as the window
// shows it, maps back to that pit, and points between neighbouring pits to none.
void ExpectExactHits(const TBoardView& View) {
    for (int Pit = 1; Pit <= PitCount; ++Pit) {
        const TPoint c = RectCenter(PitRects[static_cast<std::size_t>(Pit)]);
        // The centre of the board pixel, as a mouse event would report it.
        const QPointF w = View.ToWidget(c) + QPointF(View.Factor() / 2, View.Factor() / 2);
        const TPoint b = View.ToBoard(w);
        EXPECT_EQ(PitAtPoint(b.X, b.Y), Pit) << "pit " << Pit << " area " << View.Area().width() << "x"
                                             << View.Area().height() << " ratio " << View.DevicePixelRatio();
    }
    // Gaps: between pits 1 and 2 of the top row, 8 and 9 of the bottom row,
    // between the rows, and left of pit 7.
    for (const TPoint gap : {TPoint{508, 185}, TPoint{206, 265}, TPoint{300, 224}, TPoint{40, 230}}) {
        const TPoint b = View.ToBoard(View.ToWidget(gap) + QPointF(View.Factor() / 2, View.Factor() / 2));
        EXPECT_EQ(PitAtPoint(b.X, b.Y), -1) << gap.X << "," << gap.Y;
    }
    // Beside the board there is no board.
    EXPECT_EQ(PitAtPoint(View.ToBoard({0.5, 0.5}).X, View.ToBoard({0.5, 0.5}).Y), -1);
}

TEST(BoardView, FitsTheLargestBoardCentredAndMapsEveryPitBack) {
    TBoardView v(BoardWidth, BoardHeight);
    v.SetArea({720, 520}, 1.0);
    EXPECT_EQ(v.DeviceTarget(), QRect(0, 0, 720, 520));
    EXPECT_DOUBLE_EQ(v.Factor(), 1.0);
    ExpectExactHits(v);

    // Maximized on 1920 x 1080: the client area below the menu is limited by
    // its height; the board is centred with the surround left and right.
    v.SetArea({1920, 1037}, 1.0);
    const QRect t = v.DeviceTarget();
    EXPECT_EQ(t.height(), 1037);
    EXPECT_NEAR(static_cast<double>(t.width()) / t.height(), 720.0 / 520.0, 0.002);
    EXPECT_NEAR(t.left(), 1920 - t.right() - 1, 1);
    EXPECT_EQ(t.top(), 0);
    ExpectExactHits(v);

    for (const double ratio : {1.0, 1.5, 2.0})
        for (const QSize area : {QSize(720, 520), QSize(800, 579), QSize(1280, 700), QSize(500, 400)}) {
            v.SetArea(area, ratio);
            EXPECT_LE(v.DeviceTarget().width(), std::lround(area.width() * ratio));
            EXPECT_LE(v.DeviceTarget().height(), std::lround(area.height() * ratio));
            ExpectExactHits(v);
        }
}

// After any change only a part is rescaled, and the result is exactly what
// rescaling the whole picture gives: no seams at the edges of the parts.
TEST(BoardView, RescalesOnlyTheChangedPartsWithoutSeams) {
    test::EnsureGuiApp();
    struct Case {
        int scale;
        double ratio;
        QSize area;
    };
    for (const Case k : {Case{1, 1.0, {1920, 1037}}, Case{2, 1.5, {1000, 700}}, Case{2, 2.0, {1280, 800}}}) {
        TBitmap picture(BoardWidth, BoardHeight, k.scale);
        Pattern(picture);
        TBoardView v(BoardWidth, BoardHeight);
        v.SetArea(k.area, k.ratio);
        const QRegion first = v.Update(picture);
        EXPECT_EQ(first.boundingRect(), QRect(QPoint(0, 0), k.area));
        EXPECT_TRUE(v.Update(picture).isEmpty()) << "nothing changed, nothing to repaint";

        Fill(picture, PitRects[3], clWhite);
        Fill(picture, {700, 500, 720, 520}, clBlack);
        const QRegion changed = v.Update(picture);
        EXPECT_TRUE(changed.contains(v.ToWidget(PitRects[3])));
        EXPECT_TRUE(changed.boundingRect().intersects(v.ToWidget(TRect{700, 500, 720, 520})));
        // Far less than the whole area is repainted.
        long area = 0;
        for (const QRect& r : changed) area += static_cast<long>(r.width()) * r.height();
        EXPECT_LT(area, static_cast<long>(k.area.width()) * k.area.height() / 10);

        TBoardView whole(BoardWidth, BoardHeight);
        whole.SetArea(k.area, k.ratio);
        whole.Update(picture);
        EXPECT_TRUE(v.Scaled() == whole.Scaled()) << "scale " << k.scale << " ratio " << k.ratio;

        // Painting puts the scaled board at the target and the surround beside it.
        QImage screen(static_cast<int>(std::lround(k.area.width() * k.ratio)),
                      static_cast<int>(std::lround(k.area.height() * k.ratio)), QImage::Format_RGB32);
        screen.setDevicePixelRatio(k.ratio);
        screen.fill(Qt::red);
        {
            QPainter p(&screen);
            v.Paint(p, QRect(QPoint(0, 0), k.area));
        }
        const QRect t = v.DeviceTarget();
        EXPECT_EQ(screen.pixel(t.center()), v.Scaled().pixel(t.center() - t.topLeft()));
        EXPECT_EQ(screen.pixel(0, 0), qRgb(0, 0, 0));
        EXPECT_EQ(screen.pixel(screen.width() - 1, screen.height() - 1), qRgb(0, 0, 0));
    }
}
