// Picture files as the archives deliver them: every common bitmap layout, and
// damaged or hostile data, which must be refused with EInvalidGraphic.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "GuiApp.h"
#include "graphics/Graphics.h"

using namespace tessum;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& B, std::size_t At, std::uint32_t V) {
    B[At] = static_cast<std::uint8_t>(V);
    B[At + 1] = static_cast<std::uint8_t>(V >> 8);
}
void Put32(Bytes& B, std::size_t At, std::uint32_t V) {
    Put16(B, At, V & 0xffff);
    Put16(B, At + 2, V >> 16);
}

// A bitmap file with a 40-byte header, the given palette / masks block and pixel bytes.
Bytes MakeBmp(int W, int H, int Bpp, std::uint32_t Compression, const Bytes& Table, const Bytes& Pixels,
              std::uint32_t ColorsUsed = 0) {
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    b.insert(b.end(), Table.begin(), Table.end());
    const std::size_t off = b.size();
    b.insert(b.end(), Pixels.begin(), Pixels.end());
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, static_cast<std::uint32_t>(off));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(W));
    Put32(b, 22, static_cast<std::uint32_t>(H));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<std::uint32_t>(Bpp));
    Put32(b, 30, Compression);
    Put32(b, 34, static_cast<std::uint32_t>(Pixels.size()));
    Put32(b, 46, ColorsUsed);
    return b;
}

TBitmap& Load(TBitmap& B, const Bytes& File) {
    TMemoryStream s(File);
    B.LoadFromStream(s);
    return B;
}

void ExpectRejected(const Bytes& File) {
    TBitmap b(2, 2);
    b.Canvas().SetPixel(0, 0, clRed);
    TMemoryStream s(File);
    EXPECT_THROW(b.LoadFromStream(s), EInvalidGraphic);
    // A failed load keeps the old picture.
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), clRed);
}

class PictureFileTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureGuiApp(); }
};

// Palette: index 0 black, 1 red, 2 green, 3 blue (stored B, G, R, 0).
const Bytes Palette4 = {0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};

}  // namespace

TEST_F(PictureFileTest, EightBitPaletteBottomUpWithRowPadding) {
    // 3 x 2, rows padded to 4 bytes; the first stored row is the bottom one.
    const Bytes pixels = {1, 2, 3, 0, 3, 3, 1, 0};
    TBitmap b;
    Load(b, MakeBmp(3, 2, 8, 0, Palette4, pixels, 4));
    ASSERT_EQ(b.Width(), 3);
    ASSERT_EQ(b.Height(), 2);
    EXPECT_EQ(b.Canvas().Pixel(0, 1), clRed);
    EXPECT_EQ(b.Canvas().Pixel(1, 1), RGBColor(0, 255, 0));
    EXPECT_EQ(b.Canvas().Pixel(2, 1), RGBColor(0, 0, 255));
    EXPECT_EQ(b.Canvas().Pixel(2, 0), clRed);
}

TEST_F(PictureFileTest, LowDepthPalettesUnpackHighBitsFirst) {
    // 1 bit: 101 with a two-colour palette whose index 1 is red.
    const Bytes pal2 = {0, 0, 0, 0, 0, 0, 255, 0};
    TBitmap b;
    Load(b, MakeBmp(3, 1, 1, 0, pal2, {0xa0, 0, 0, 0}, 2));
    EXPECT_EQ(b.Canvas().Pixel(0, 0), clRed);
    EXPECT_EQ(b.Canvas().Pixel(1, 0), clBlack);
    EXPECT_EQ(b.Canvas().Pixel(2, 0), clRed);
    // 4 bits: 0x31 0x20 -> indices 3, 1, 2.
    Load(b, MakeBmp(3, 1, 4, 0, Palette4, {0x31, 0x20, 0, 0}, 4));
    EXPECT_EQ(b.Canvas().Pixel(0, 0), RGBColor(0, 0, 255));
    EXPECT_EQ(b.Canvas().Pixel(1, 0), clRed);
    EXPECT_EQ(b.Canvas().Pixel(2, 0), RGBColor(0, 255, 0));
}

TEST_F(PictureFileTest, TrueColourDepthsAndTopDownRows) {
    TBitmap b;
    // 24 bits, 2 x 2, padded rows of 8 bytes, stored bottom row first.
    const Bytes p24 = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0, 0, 0xff, 0, 0, 0, 0xff, 0, 0, 0};
    Load(b, MakeBmp(2, 2, 24, 0, {}, p24));
    EXPECT_EQ(b.Canvas().Pixel(0, 1), RGBColor(0x30, 0x20, 0x10));
    EXPECT_EQ(b.Canvas().Pixel(1, 1), RGBColor(0x60, 0x50, 0x40));
    EXPECT_EQ(b.Canvas().Pixel(0, 0), RGBColor(0, 0, 0xff));
    EXPECT_EQ(b.Canvas().Pixel(1, 0), RGBColor(0, 0xff, 0));

    // 32 bits with an alpha byte that must not leak into the colour, top-down.
    const Bytes p32 = {1, 2, 3, 0x00, 4, 5, 6, 0x80};
    Bytes f = MakeBmp(1, 2, 32, 0, {}, p32);
    Put32(f, 22, static_cast<std::uint32_t>(-2));
    Load(b, f);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), RGBColor(3, 2, 1));
    EXPECT_EQ(b.Canvas().Pixel(0, 1), RGBColor(6, 5, 4));

    // 16 bits, the default 5-5-5 layout: pure red is 0x7c00.
    Load(b, MakeBmp(1, 1, 16, 0, {}, {0x00, 0x7c, 0, 0}));
    EXPECT_EQ(b.Canvas().Pixel(0, 0), clRed);
}

TEST_F(PictureFileTest, BitFieldMasksAreHonoured) {
    TBitmap b;
    // 16 bits 5-6-5: green 0x07e0 is full green.
    Bytes masks(12, 0);
    Put32(masks, 0, 0xf800);
    Put32(masks, 4, 0x07e0);
    Put32(masks, 8, 0x001f);
    Load(b, MakeBmp(2, 1, 16, 3, masks, {0xe0, 0x07, 0x1f, 0x00}));
    EXPECT_EQ(b.Canvas().Pixel(0, 0), RGBColor(0, 255, 0));
    EXPECT_EQ(b.Canvas().Pixel(1, 0), RGBColor(0, 0, 255));
    // 32 bits with the channels in an unusual order.
    Put32(masks, 0, 0x000000ff);
    Put32(masks, 4, 0x0000ff00);
    Put32(masks, 8, 0x00ff0000);
    Load(b, MakeBmp(1, 1, 32, 3, masks, {0x11, 0x22, 0x33, 0x44}));
    EXPECT_EQ(b.Canvas().Pixel(0, 0), RGBColor(0x11, 0x22, 0x33));
    // A mask with holes describes no channel width.
    Put32(masks, 0, 0x000000f5);
    ExpectRejected(MakeBmp(1, 1, 32, 3, masks, {0x11, 0x22, 0x33, 0x44}));
}

TEST_F(PictureFileTest, RunLengthEncodedBitmapsDecode) {
    TBitmap b;
    // 4 x 2: bottom row = run of 3 red + a literal of three (blue, then two
    // cut at the row's end); top row = a jump one pixel right, one blue, end.
    const Bytes rle8 = {3, 1, 0, 3, 3, 2, 1, 0, 0, 0, 0, 2, 1, 0, 1, 3, 0, 1};
    Load(b, MakeBmp(4, 2, 8, 1, Palette4, rle8, 4));
    EXPECT_EQ(b.Canvas().Pixel(0, 1), clRed);
    EXPECT_EQ(b.Canvas().Pixel(2, 1), clRed);
    EXPECT_EQ(b.Canvas().Pixel(3, 1), RGBColor(0, 0, 255));
    EXPECT_EQ(b.Canvas().Pixel(0, 0), clBlack);  // jumped over
    EXPECT_EQ(b.Canvas().Pixel(1, 0), RGBColor(0, 0, 255));
    // RLE4: run of 4 alternating 1 and 2.
    Load(b, MakeBmp(4, 1, 4, 2, Palette4, {4, 0x12, 0, 1}, 4));
    EXPECT_EQ(b.Canvas().Pixel(0, 0), clRed);
    EXPECT_EQ(b.Canvas().Pixel(1, 0), RGBColor(0, 255, 0));
    EXPECT_EQ(b.Canvas().Pixel(3, 0), RGBColor(0, 255, 0));
    // Runs longer than the row are cut, never written past it.
    Load(b, MakeBmp(2, 2, 8, 1, Palette4, {200, 1, 0, 0, 200, 3, 0, 1}, 4));
    EXPECT_EQ(b.Canvas().Pixel(1, 1), clRed);
    EXPECT_EQ(b.Canvas().Pixel(1, 0), RGBColor(0, 0, 255));
    // A stream that stops before its end marker is damaged.
    ExpectRejected(MakeBmp(4, 2, 8, 1, Palette4, {3, 1, 0}, 4));
}

TEST_F(PictureFileTest, OldCoreHeaderWithThreeBytePalette) {
    Bytes f(14 + 12, 0);
    f[0] = 'B';
    f[1] = 'M';
    Put32(f, 14, 12);
    Put16(f, 18, 2);
    Put16(f, 20, 1);
    Put16(f, 22, 1);
    Put16(f, 24, 8);
    const Bytes pal = {0, 0, 0, 0, 0, 255};
    f.insert(f.end(), pal.begin(), pal.end());
    Put32(f, 10, static_cast<std::uint32_t>(f.size()));
    const Bytes px = {1, 0, 0, 0};
    f.insert(f.end(), px.begin(), px.end());
    TBitmap b;
    Load(b, f);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), clRed);
    EXPECT_EQ(b.Canvas().Pixel(1, 0), clBlack);
}

TEST_F(PictureFileTest, SavedBitmapsLoadBackUnchanged) {
    TBitmap a(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) a.Canvas().SetPixel(x, y, RGBColor(x * 50, y * 80, 7));
    TMemoryStream s;
    a.SaveToStream(s);
    EXPECT_EQ(s.Size(), 54 + 3 * 16);  // rows of 15 bytes padded to 16
    EXPECT_EQ(s.Bytes()[28], 24);
    s.SetPosition(0);
    TBitmap b;
    b.LoadFromStream(s);
    ASSERT_EQ(b.Width(), 5);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) ASSERT_EQ(b.Canvas().Pixel(x, y), a.Canvas().Pixel(x, y));
}

TEST_F(PictureFileTest, AnEmptyStreamGivesAnEmptyPicture) {
    TBitmap b(3, 3);
    TMemoryStream s;
    b.LoadFromStream(s);
    EXPECT_TRUE(b.Empty());
    TJPEGImage j;
    j.LoadFromStream(s);
    EXPECT_TRUE(j.Empty());
}

TEST_F(PictureFileTest, DamagedBitmapHeadersAreRefused) {
    const Bytes good = MakeBmp(3, 2, 8, 0, Palette4, {1, 2, 3, 0, 3, 3, 1, 0}, 4);
    // Every truncation of the headers and the palette.
    for (std::size_t n = 1; n < 54 + 4; ++n) ExpectRejected(Bytes(good.begin(), good.begin() + static_cast<long>(n)));
    // Pixel data cut short.
    ExpectRejected(Bytes(good.begin(), good.end() - 3));

    auto with = [&](std::size_t At, std::uint32_t V, bool Wide = true) {
        Bytes f = good;
        if (Wide) Put32(f, At, V);
        else Put16(f, At, V);
        return f;
    };
    ExpectRejected(with(0, 'X', false));                    // signature
    ExpectRejected(with(14, 20));                           // unknown header size
    ExpectRejected(with(14, 0xffffffffu));                  // header past the end
    ExpectRejected(with(28, 7, false));                     // colour depth
    ExpectRejected(with(28, 0, false));
    ExpectRejected(with(30, 4));                            // embedded JPEG
    ExpectRejected(with(30, 2));                            // RLE4 on 8 bits
    ExpectRejected(with(18, 0));                            // no width
    ExpectRejected(with(22, 0));                            // no height
    ExpectRejected(with(18, static_cast<std::uint32_t>(-3)));
    ExpectRejected(with(22, 0x80000000u));                  // height that cannot be negated
    ExpectRejected(with(10, 0x7fffffffu));                  // pixels past the end
    ExpectRejected(with(10, 20));                           // pixels inside the header
}

TEST_F(PictureFileTest, HugeDimensionsAreRefusedBeforeAllocating) {
    // Dimensions that would need gigabytes, with next to no data behind them.
    for (const auto& [w, h] : {std::pair{100000, 100000}, std::pair{16385, 1}, std::pair{16384, 16384},
                               std::pair{0x7fffffff, 0x7fffffff}}) {
        ExpectRejected(MakeBmp(w, h, 24, 0, {}, {1, 2, 3, 4}));
        ExpectRejected(MakeBmp(w, h, 8, 1, Palette4, {0, 1}, 4));  // RLE packs a lot into little
    }
    // Within the limits but without the data: refused by the size check.
    ExpectRejected(MakeBmp(4000, 4000, 24, 0, {}, {1, 2, 3, 4}));
}

TEST_F(PictureFileTest, RandomDamageNeverCrashes) {
    // Flip bytes of valid files of each layout; every result is either a
    // picture within the limits or EInvalidGraphic.
    const std::vector<Bytes> seeds = {
        MakeBmp(3, 2, 8, 0, Palette4, {1, 2, 3, 0, 3, 3, 1, 0}, 4),
        MakeBmp(4, 2, 8, 1, Palette4, {3, 1, 0, 3, 3, 2, 1, 0, 0, 0, 0, 2, 1, 1, 1, 3, 0, 1}, 4),
        MakeBmp(4, 1, 4, 2, Palette4, {4, 0x12, 0, 0, 3, 0x12, 0x30, 0, 0, 1}, 4),
        MakeBmp(2, 2, 24, 0, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}),
    };
    std::mt19937 rng(12345);
    int decoded = 0, refused = 0;
    for (int round = 0; round < 4000; ++round) {
        Bytes f = seeds[static_cast<std::size_t>(round) % seeds.size()];
        const int flips = 1 + static_cast<int>(rng() % 4);
        for (int k = 0; k < flips; ++k) f[rng() % f.size()] = static_cast<std::uint8_t>(rng());
        if (rng() % 4 == 0) f.resize(rng() % f.size());
        TBitmap b;
        TMemoryStream s(f);
        try {
            b.LoadFromStream(s);
            ++decoded;
            ASSERT_LE(static_cast<std::int64_t>(b.Width()) * b.Height(), MaxPicturePixels);
        } catch (const EInvalidGraphic&) {
            ++refused;
        }
    }
    EXPECT_GT(decoded, 0);
    EXPECT_GT(refused, 0);
}

namespace {

Bytes EncodeTestJpeg(int W, int H) {
    TBitmap b(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) b.Canvas().SetPixel(x, y, x < W / 2 ? RGBColor(200, 40, 30) : RGBColor(20, 60, 220));
    TJPEGImage j;
    j.Assign(b);
    j.CompressionQuality = 95;
    TMemoryStream s;
    j.SaveToStream(s);
    return s.Bytes();
}

void ExpectJpegRejected(const Bytes& File) {
    TJPEGImage j;
    TMemoryStream s(File);
    EXPECT_THROW(j.LoadFromStream(s), EInvalidGraphic);
    EXPECT_TRUE(j.Empty());
}

}  // namespace

TEST_F(PictureFileTest, JpegPicturesRoundTripCloseToTheirColours) {
    const Bytes file = EncodeTestJpeg(64, 48);
    ASSERT_GT(file.size(), 100u);
    TJPEGImage j;
    TMemoryStream s(file);
    j.LoadFromStream(s);
    ASSERT_EQ(j.Width(), 64);
    ASSERT_EQ(j.Height(), 48);
    TBitmap b;
    b.Assign(j);
    const TColor left = b.Canvas().Pixel(10, 20), right = b.Canvas().Pixel(50, 20);
    EXPECT_NEAR(RedOf(left), 200, 8);
    EXPECT_NEAR(BlueOf(left), 30, 8);
    EXPECT_NEAR(BlueOf(right), 220, 8);
    EXPECT_EQ(b.Image().format(), QImage::Format_RGB32);
}

TEST_F(PictureFileTest, DamagedJpegDataIsRefused) {
    const Bytes good = EncodeTestJpeg(32, 32);
    // Truncated anywhere: headers, tables, or inside the scan.
    for (std::size_t n = 0; n + 2 < good.size(); n += (n < 700 ? 7 : 61)) {
        if (n == 0) continue;
        ExpectJpegRejected(Bytes(good.begin(), good.begin() + static_cast<long>(n)));
    }
    ExpectJpegRejected({'B', 'M', 0, 0, 0, 0});
    ExpectJpegRejected({0xff, 0xd8, 0xff});

    // A frame header claiming 65000 x 65000 pixels.
    Bytes huge = good;
    bool patched = false;
    for (std::size_t i = 0; i + 9 < huge.size(); ++i)
        if (huge[i] == 0xff && huge[i + 1] == 0xc0) {
            huge[i + 5] = 0xfd;
            huge[i + 6] = 0xe8;
            huge[i + 7] = 0xfd;
            huge[i + 8] = 0xe8;
            patched = true;
            break;
        }
    ASSERT_TRUE(patched);
    ExpectJpegRejected(huge);

    // Random damage: refused or decoded, never a crash.
    std::mt19937 rng(99);
    for (int round = 0; round < 300; ++round) {
        Bytes f = good;
        for (int k = 0; k < 3; ++k) f[2 + rng() % (f.size() - 2)] = static_cast<std::uint8_t>(rng());
        TJPEGImage j;
        TMemoryStream s(f);
        try {
            j.LoadFromStream(s);
        } catch (const EInvalidGraphic&) {
        }
    }
}
