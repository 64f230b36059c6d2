// The generator's building blocks: the picture file writers the game must be
// able to read back, the colour keying, and the numeric helpers whose slips
// would show as seams, halos or pictures that differ from build to build.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include <QImage>

#include "Artwork.h"
#include "graphics/Graphics.h"
#include "ImageFiles.h"
#include "Layout.h"
#include "Raster.h"
#include "Relief.h"
#include "archive/Streams.h"

namespace tessum {
namespace {

using namespace gfx;

std::uint32_t Le32(const Bytes& B, std::size_t At) {
    return B[At] | (B[At + 1] << 8) | (B[At + 2] << 16) | (static_cast<std::uint32_t>(B[At + 3]) << 24);
}

QImage Pattern(int W, int H) {
    QImage img(W, H, QImage::Format_RGB32);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) img.setPixel(x, y, qRgb((x * 37) & 255, (y * 53) & 255, (x * y) & 255));
    return img;
}

TEST(PictureFiles, BitmapsReadBackPixelForPixelAtEveryRowPadding) {
    // Widths 1..4 cover every padding of a 24-bit row to four bytes.
    for (int w = 1; w <= 5; ++w) {
        const QImage img = Pattern(w, 3);
        const Bytes bmp = EncodeBmp(img);
        const std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
        ASSERT_EQ(bmp.size(), 54 + stride * 3) << w;
        EXPECT_EQ(bmp[0], 'B');
        EXPECT_EQ(bmp[1], 'M');
        EXPECT_EQ(Le32(bmp, 2), bmp.size());
        EXPECT_EQ(Le32(bmp, 10), 54u);
        EXPECT_EQ(bmp[28], 24);

        TMemoryStream s(bmp);
        TBitmap back;
        back.LoadFromStream(s);
        ASSERT_EQ(back.Width(), w);
        ASSERT_EQ(back.Height(), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(back.ScanLine(y)[x] & 0xFFFFFFu, img.pixel(x, y) & 0xFFFFFFu) << w << ' ' << x << ',' << y;
    }
}

TEST(PictureFiles, JpegsDecodeAlikeInTheGameAndHere) {
    const QImage img = Pattern(64, 40);
    const Bytes jpeg = EncodeJpeg(img, 93);
    const QImage ours = DecodeJpeg(jpeg);
    TMemoryStream s(jpeg);
    TJPEGImage theirs;
    theirs.LoadFromStream(s);
    ASSERT_EQ(theirs.Width(), 64);
    ASSERT_EQ(theirs.Height(), 40);
    // Pit overlays are cut from our decoding and laid over the game's: the two
    // must agree, or every pit shows a seam.
    int worst = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 64; ++x) {
            const QRgb a = ours.pixel(x, y), b = theirs.Image().pixel(x, y);
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
        }
    }
    EXPECT_LE(worst, 1);
}

TEST(PictureFiles, DamagedJpegIsAnErrorNotACrash) {
    Bytes jpeg = EncodeJpeg(Pattern(16, 16), 80);
    jpeg.resize(20);
    EXPECT_THROW(DecodeJpeg(jpeg), std::runtime_error);
}

TEST(Keying, KeptPixelsNeverTakeTheKeyColourAndFaintOnesBecomeIt) {
    QImage img(4, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, qRgba(255, 0, 0, 255));    // exactly the key, fully opaque
    img.setPixel(1, 0, qRgba(10, 200, 30, 20));   // faint: left out
    img.setPixel(2, 0, qRgba(255, 255, 255, 255)); // white
    img.setPixel(3, 0, qRgba(0, 0, 0, 128));      // half: composed over the matte
    const QImage red = ToKeyed(img, qRgb(100, 100, 100), qRgb(255, 0, 0), 0.4);
    EXPECT_NE(red.pixel(0, 0) & 0xFFFFFFu, 0xFF0000u);
    EXPECT_EQ(red.pixel(1, 0) & 0xFFFFFFu, 0xFF0000u);
    EXPECT_EQ(red.pixel(2, 0) & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_NEAR(qRed(red.pixel(3, 0)), 50, 1);
    const QImage white = ToKeyed(img, qRgb(100, 100, 100), qRgb(255, 255, 255), 0.4);
    EXPECT_NE(white.pixel(2, 0) & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(white.pixel(0, 0) & 0xFFFFFFu, 0xFF0000u);
}

TEST(Numerics, NoiseAndRandomAreFixedBySeedAndBounded) {
    Rng a(42), b(42), c(43);
    for (int i = 0; i < 100; ++i) {
        const double u = a.Uniform();
        EXPECT_EQ(u, b.Uniform());
        EXPECT_GE(u, 0.0);
        EXPECT_LT(u, 1.0);
    }
    EXPECT_NE(a.Next(), c.Next());
    const Noise n1(7), n2(7);
    for (int i = 0; i < 200; ++i) {
        const double x = i * 0.37 - 20, y = i * 0.11 + 3;
        EXPECT_EQ(n1.Fbm(x, y, 4), n2.Fbm(x, y, 4));
        EXPECT_LE(std::abs(n1.At(x, y)), 1.0);
    }
    // Continuous across lattice lines: no grid may show in the grain.
    EXPECT_NEAR(n1.At(3.0 - 1e-9, 5.5), n1.At(3.0 + 1e-9, 5.5), 1e-6);
}

TEST(Numerics, BlurKeepsFlatAreasFlatAndSpreadsAPoint) {
    Plane flat(30, 20, 5.f);
    BlurPlane(flat, 4);
    for (float v : flat.v) EXPECT_NEAR(v, 5.f, 1e-4);

    Plane dot(41, 41, 0.f);
    dot.at(20, 20) = 1000.f;
    BlurPlane(dot, 3);
    double sum = 0;
    for (float v : dot.v) sum += v;
    EXPECT_NEAR(sum, 1000.0, 1.0);  // nothing lost away from the borders
    EXPECT_GT(dot.at(20, 20), dot.at(24, 20));
    EXPECT_NEAR(dot.at(17, 20), dot.at(23, 20), 1e-3);  // symmetric, no drift
}

TEST(Numerics, ShapesMeasureInsideOutsideAndTheirRims) {
    EXPECT_LT(RoundRectDistance(50, 50, 0, 0, 100, 100, 10), 0);
    EXPECT_NEAR(RoundRectDistance(100, 50, 0, 0, 100, 100, 10), 0, 1e-9);
    EXPECT_GT(RoundRectDistance(0.5, 0.5, 0, 0, 100, 100, 10), 0);  // the rounded corner is cut off
    EXPECT_NEAR(BevelProfile(-50, 7, 5), 7, 1e-9);
    EXPECT_EQ(BevelProfile(1, 7, 5), 0);
    EXPECT_LT(BevelProfile(-1, 7, 5), BevelProfile(-3, 7, 5));

    for (int pit = 1; pit <= 14; ++pit) {
        const PitShape s = HollowOf(pit);
        const Box b = PitBox(pit);
        EXPECT_NEAR(s.Distance(s.cx, s.cy), 0, 1e-9);
        EXPECT_NEAR(s.Distance(s.cx + s.rx, s.cy), 1, 1e-9);
        EXPECT_NEAR(s.Distance(s.cx, s.cy - s.ry), 1, 1e-9);
        // The carved hollow stays inside the pit's own area.
        EXPECT_GT(s.cx - s.rx, b.l) << pit;
        EXPECT_LT(s.cx + s.rx, b.r - 1) << pit;
        EXPECT_GT(s.cy - s.ry, b.t) << pit;
        EXPECT_LT(s.cy + s.ry, b.b - 1) << pit;
    }
}

TEST(Stones, EveryStoneOfAGroupLiesInItsPictureAndInTheHollow) {
    for (int n = 1; n <= 9; ++n) {
        const std::vector<QPointF> centres = StoneCentres(n);
        ASSERT_EQ(static_cast<int>(centres.size()), n);
        const QImage pic = PaintStones(n, qRgb(120, 80, 50));
        for (const QPointF& c : centres) {
            EXPECT_GE(c.x(), 6.5) << n;
            EXPECT_GE(c.y(), 6.5) << n;
            EXPECT_LT(c.x(), pic.width()) << n;
            EXPECT_LT(c.y(), pic.height()) << n;
            EXPECT_NE(pic.pixel(static_cast<int>(c.x()), static_cast<int>(c.y())) & 0xFFFFFFu, 0xFF0000u) << n;
            // Placed in every playing pit, the centre lies well inside the hollow.
            for (int pit = 1; pit <= 13; ++pit) {
                if (pit == 7) continue;
                const QPointF at = QPointF(StoneOrigin(pit) + StoneOffset(n)) + c;
                EXPECT_LT(HollowOf(pit).Distance(at.x(), at.y()), 0.85) << n << " stones in pit " << pit;
            }
        }
    }
}

}  // namespace
}  // namespace tessum
