// The generated graphics archives, read the way the game reads them and
// checked against the game's own board geometry: a picture that is missing,
// lies outside the area its layer repaints, or breaks the mask rules shows up
// here rather than as smears on the board.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "archive/QDStreamCol.h"
#include "graphics/uTGFXFile.h"
#include "graphics/uTSpielfeldLayers.h"

namespace tessum {
namespace {

std::string Numbered(const char* Pattern, int N) {
    char buf[64];
    std::snprintf(buf, sizeof buf, Pattern, N);
    return buf;
}

std::vector<std::string> HandEntries() {
    std::vector<std::string> names;
    for (const std::string prefix : {"t", ""}) {
        for (int f : {0, 1, 3, 5, 7, 9, 11}) {
            names.push_back(prefix + Numbered("pl-hand%4.4d.bmp", f));
            names.push_back(prefix + Numbered("ml-hand%4.4d.bmp", f));
        }
        for (int f : {0, 2, 4}) {
            names.push_back(prefix + Numbered("pr-hand%4.4d.bmp", f));
            names.push_back(prefix + Numbered("mr-hand%4.4d.bmp", f));
        }
    }
    return names;
}

std::set<std::string> ExpectedEntries(const std::string& Archive) {
    if (Archive == "game.gfx")
        return {"bg.jpg", "golden.bmp", "us_overview.bmp", "de_overview.bmp", "us_preview.bmp", "de_preview.bmp", "smbrett"};
    if (Archive == "steine.gfx") {
        std::set<std::string> s;
        for (int n = 1; n <= 9; ++n) s.insert(Numbered("st%d.bmp", n));
        return s;
    }
    if (Archive == "mulden.gfx") {
        std::set<std::string> s;
        for (int p = 1; p <= 13; ++p)
            if (p != 7) s.insert(Numbered("mst%d.bmp", p));
        return s;
    }
    if (Archive == "hands.gfx") {
        const std::vector<std::string> h = HandEntries();
        return {h.begin(), h.end()};
    }
    return {"holzw", "holzl", "holzstart"};
}

TGFXFile& Archive(const std::string& Name) {
    static std::map<std::string, std::unique_ptr<TGFXFile>> open;
    auto& f = open[Name];
    if (!f) {
        f = std::make_unique<TGFXFile>();
        f->LoadFromFile(DataFile(Name));
    }
    return *f;
}

std::uint32_t Rgb(const TBitmap& B, int X, int Y) { return B.ScanLine(Y)[X] & 0xFFFFFFu; }

bool Inside(const TRect& R, int X, int Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }

// Every pixel of Picture that is not Key, placed with its top left at At,
// must fall inside Area: the layer of that area repaints only its own
// rectangle, so anything outside would stay behind as a smear.
void ExpectKeptPixelsInside(const TBitmap& Picture, std::uint32_t Key, TPoint At, const TRect& Area,
                            const std::string& What) {
    int outside = 0;
    for (int y = 0; y < Picture.Height(); ++y)
        for (int x = 0; x < Picture.Width(); ++x)
            if (Rgb(Picture, x, y) != Key && !Inside(Area, At.X + x, At.Y + y)) ++outside;
    EXPECT_EQ(outside, 0) << What;
}

TEST(Artwork, EveryArchiveHoldsExactlyTheEntriesTheGameReads) {
    for (const std::string name : {"game.gfx", "steine.gfx", "mulden.gfx", "hands.gfx", "holz.gfx"}) {
        TQDStreams c;
        c.LoadFromFile(DataFile(name));
        std::set<std::string> got;
        for (int i = 0; i < c.Count(); ++i) got.insert(c.Names(i));
        EXPECT_EQ(got, ExpectedEntries(name)) << name;
        // Shipped archives open without a key.
        EXPECT_FALSE(c.Encrypted) << name;
        EXPECT_TRUE(c.Compressed) << name;
    }
}

TEST(Artwork, EveryEntryDecodesThroughTheGamesReader) {
    for (const std::string name : {"game.gfx", "steine.gfx", "mulden.gfx", "hands.gfx", "holz.gfx"}) {
        for (const std::string& entry : ExpectedEntries(name)) {
            const bool jpeg = entry == "bg.jpg" || name == "holz.gfx";
            if (jpeg) {
                TJPEGImage img;
                ASSERT_NO_THROW(Archive(name).GetJPEG(entry, img)) << entry;
                EXPECT_FALSE(img.Empty()) << entry;
            } else {
                TBitmap bmp;
                ASSERT_NO_THROW(Archive(name).GetBitmap(entry, bmp)) << entry;
                EXPECT_FALSE(bmp.Empty()) << entry;
            }
        }
    }
}

TEST(Artwork, PicturesHaveTheSizesTheirPlacesNeed) {
    TJPEGImage bg;
    Archive("game.gfx").GetJPEG("bg.jpg", bg);
    EXPECT_EQ(bg.Width(), BoardWidth);
    EXPECT_EQ(bg.Height(), BoardHeight);

    // The history printout cuts cells of 219 x 62 around each small board.
    TBitmap small;
    Archive("game.gfx").GetBitmap("smbrett", small);
    EXPECT_EQ(small.Width(), 199);
    EXPECT_EQ(small.Height(), 62);

    for (const std::string name : {"holzw", "holzl", "holzstart"}) {
        TJPEGImage img;
        Archive("holz.gfx").GetJPEG(name, img);
        EXPECT_EQ(img.Width(), 400) << name;
        EXPECT_EQ(img.Height(), 300) << name;
    }
}

TEST(Artwork, StoneGroupsStayInsideTheirPits) {
    const TGFXSteine stones(DataFile("steine.gfx"));
    const std::uint32_t red = 0xFF0000u;
    for (int pit = 1; pit <= 13; ++pit) {
        if (pit == 7) continue;
        for (int n = 1; n <= 12; ++n) {
            TPoint at = StoneOrigins[static_cast<std::size_t>(pit)];
            if (n <= 8) {
                at.X += StoneCountOffsets[static_cast<std::size_t>(n)].X;
                at.Y += StoneCountOffsets[static_cast<std::size_t>(n)].Y;
            }
            ExpectKeptPixelsInside(*stones.Bitmap(std::min(n, 9)), red, at, PitRects[static_cast<std::size_t>(pit)],
                                   "pit " + std::to_string(pit) + ", " + std::to_string(n) + " stones");
        }
    }
    // End pits spread their stones over five spots.
    for (int e = 0; e < 2; ++e) {
        const int pit = e == 0 ? 7 : 14;
        for (int count = 1; count <= EndPitMaxDrawn; ++count) {
            int remaining = count;
            for (int s = 0; s < EndPitSpotCount && remaining > 0; ++s) {
                const int n = std::min<int>(remaining, EndPitGroups[static_cast<std::size_t>(e)][static_cast<std::size_t>(count)][static_cast<std::size_t>(s)]);
                if (n <= 0) continue;
                ExpectKeptPixelsInside(*stones.Bitmap(std::min(n, 9)), red, EndPitSpots[static_cast<std::size_t>(e)][static_cast<std::size_t>(s)],
                                       PitRects[static_cast<std::size_t>(pit)],
                                       "end pit " + std::to_string(pit) + " spot " + std::to_string(s + 1));
                remaining -= n;
            }
        }
    }
}

TEST(Artwork, StonePicturesStandOnTheTransparentRed) {
    const TGFXSteine stones(DataFile("steine.gfx"));
    for (int n = 1; n <= 9; ++n) {
        const TBitmap& b = *stones.Bitmap(n);
        int red = 0, nearRed = 0;
        for (int y = 0; y < b.Height(); ++y) {
            for (int x = 0; x < b.Width(); ++x) {
                const std::uint32_t c = Rgb(b, x, y);
                if (c == 0xFF0000u) {
                    ++red;
                    continue;
                }
                // Almost-red pixels would survive the transparent drawing as a red fringe.
                const int r = static_cast<int>(c >> 16), g = static_cast<int>((c >> 8) & 0xFF), bl = static_cast<int>(c & 0xFF);
                if (r > 200 && g < 50 && bl < 50) ++nearRed;
            }
        }
        EXPECT_EQ(Rgb(b, 0, 0), 0xFF0000u) << n;
        EXPECT_EQ(Rgb(b, b.Width() - 1, b.Height() - 1), 0xFF0000u) << n;
        EXPECT_EQ(Rgb(b, 0, b.Height() - 1), 0xFF0000u) << n;
        EXPECT_GT(red, b.Width() * b.Height() / 4) << n;
        EXPECT_LT(red, b.Width() * b.Height()) << n;
        EXPECT_EQ(nearRed, 0) << n;
    }
}

TEST(Artwork, PitOverlaysStayInsideTheirPitsAndMatchTheBoard) {
    const TGFXMulden overlays(DataFile("mulden.gfx"));
    TJPEGImage bg;
    Archive("game.gfx").GetJPEG("bg.jpg", bg);
    const QImage& board = bg.Image();
    for (int pit = 1; pit <= 13; ++pit) {
        if (pit == 7) continue;
        const TBitmap& o = *overlays.Bitmap(pit);
        const TPoint at = OverlayPositions[static_cast<std::size_t>(pit)];
        ExpectKeptPixelsInside(o, 0xFFFFFFu, at, PitRects[static_cast<std::size_t>(pit)], "overlay " + std::to_string(pit));
        // The overlay is the pit's front rim cut from the board: drawn over
        // an empty pit it must not show at all.
        int kept = 0, off = 0;
        for (int y = 0; y < o.Height(); ++y) {
            for (int x = 0; x < o.Width(); ++x) {
                const std::uint32_t c = Rgb(o, x, y);
                if (c == 0xFFFFFFu) continue;
                ++kept;
                const QRgb b = board.pixel(at.X + x, at.Y + y);
                const int d = std::max({std::abs(qRed(b) - static_cast<int>(c >> 16)),
                                        std::abs(qGreen(b) - static_cast<int>((c >> 8) & 0xFF)),
                                        std::abs(qBlue(b) - static_cast<int>(c & 0xFF))});
                if (d > 3) ++off;
            }
        }
        EXPECT_GT(kept, 100) << "overlay " << pit << " hides nothing";
        EXPECT_EQ(off, 0) << "overlay " << pit;
    }
}

TEST(Artwork, MarkerAndCaptionsFitTheirPlaces) {
    TBitmap golden;
    Archive("game.gfx").GetBitmap("golden.bmp", golden);
    // Drawn centred over any pit; it must fit the smallest one.
    for (int pit = 1; pit <= 14; ++pit) {
        EXPECT_LE(golden.Width(), PitRects[static_cast<std::size_t>(pit)].Width()) << pit;
        EXPECT_LE(golden.Height(), PitRects[static_cast<std::size_t>(pit)].Height()) << pit;
    }
    EXPECT_EQ(Rgb(golden, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Rgb(golden, golden.Width() / 2, golden.Height() / 2), 0xFFFFFFu) << "the pit must show through the ring";

    // The captions are pasted into the background; they must not reach into
    // an area a layer paints, nor into each other.
    const TRect overview = {53, 395, 0, 0}, preview = {256, 395, 0, 0};
    std::vector<TRect> placed;
    for (const auto& [name, at] : {std::pair{"us_overview.bmp", overview}, std::pair{"de_overview.bmp", overview},
                                   std::pair{"us_preview.bmp", preview}, std::pair{"de_preview.bmp", preview}}) {
        TBitmap b;
        Archive("game.gfx").GetBitmap(name, b);
        const TRect r = {at.Left, at.Top, at.Left + b.Width(), at.Top + b.Height()};
        auto overlaps = [&](const TRect& o) {
            return r.Left < o.Right && o.Left < r.Right && r.Top < o.Bottom && o.Top < r.Bottom;
        };
        EXPECT_LE(r.Right, BoardWidth) << name;
        EXPECT_FALSE(overlaps(OverviewRect)) << name;
        EXPECT_FALSE(overlaps(NotesRect)) << name;
        for (int pit = 1; pit <= 14; ++pit) EXPECT_FALSE(overlaps(PitRects[static_cast<std::size_t>(pit)])) << name;
        placed.push_back(r);
    }
    // English and German of one caption are the same size, so switching the
    // language leaves nothing of the other behind.
    EXPECT_EQ(placed[0].Right, placed[1].Right);
    EXPECT_EQ(placed[0].Bottom, placed[1].Bottom);
    EXPECT_EQ(placed[2].Right, placed[3].Right);
    EXPECT_LE(placed[0].Right, placed[2].Left) << "the captions overlap";
}

struct HandSpec {
    std::string prefix;
    bool right;
    std::vector<int> frames;
    TPoint hot;
    int side;
};

const HandSpec Hands[] = {
    {"t", false, {0, 1, 3, 5, 7, 9, 11}, {213, 340}, 1},
    {"t", true, {0, 2, 4}, {460, 383}, 1},
    {"", false, {0, 1, 3, 5, 7, 9, 11}, {427, 140}, 2},
    {"", true, {0, 2, 4}, {180, 97}, 2},
};

TPoint Centre(int Pit) {
    const TRect& r = PitRects[static_cast<std::size_t>(Pit)];
    return {r.Left + (r.Right - r.Left) / 2, r.Top + (r.Bottom - r.Top) / 2};
}

// Where the game puts a hand's point while it is visible over the board.
std::vector<TPoint> HandPlaces(const HandSpec& H) {
    std::vector<TPoint> places;
    const int first = H.side == 1 ? 1 : 8;
    for (int pit = first; pit < first + 6; ++pit) {
        const TPoint c = Centre(pit);
        if (!H.right) {
            places.push_back(c);
        } else {
            const int d = H.side == 1 ? 60 : -60;
            places.push_back({c.X + d, c.Y + d});
        }
    }
    if (H.right)
        for (int pit = 1; pit <= 14; ++pit) places.push_back(Centre(pit));
    return places;
}

TEST(Artwork, HandMasksAreBlackAndWhiteAndPicturesBlackOutsideThem) {
    for (const HandSpec& h : Hands) {
        for (int f : h.frames) {
            const std::string kind = h.right ? "r-hand" : "l-hand";
            TBitmap pic, mask;
            Archive("hands.gfx").GetBitmap(h.prefix + "p" + kind + Numbered("%4.4d.bmp", f), pic);
            Archive("hands.gfx").GetBitmap(h.prefix + "m" + kind + Numbered("%4.4d.bmp", f), mask);
            const std::string what = h.prefix + kind + std::to_string(f);
            ASSERT_EQ(pic.Width(), mask.Width()) << what;
            ASSERT_EQ(pic.Height(), mask.Height()) << what;
            // The hand's point must lie in the picture, with the hand reaching it.
            ASSERT_LT(h.hot.X, pic.Width()) << what;
            ASSERT_LT(h.hot.Y, pic.Height()) << what;
            int grey = 0, leaking = 0, hand = 0, nearPoint = 0;
            for (int y = 0; y < mask.Height(); ++y) {
                for (int x = 0; x < mask.Width(); ++x) {
                    const std::uint32_t m = Rgb(mask, x, y);
                    if (m != 0 && m != 0xFFFFFFu) ++grey;
                    if (m == 0xFFFFFFu && Rgb(pic, x, y) != 0) ++leaking;
                    if (m == 0) {
                        ++hand;
                        if (std::abs(x - h.hot.X) <= 24 && std::abs(y - h.hot.Y) <= 24) ++nearPoint;
                    }
                }
            }
            EXPECT_EQ(grey, 0) << what;
            EXPECT_EQ(leaking, 0) << what;
            EXPECT_GT(hand, 3000) << what;
            EXPECT_GT(nearPoint, 50) << what << ": the hand does not reach its point";
        }
    }
}

TEST(Artwork, ArmsLeaveTheBoardTowardsTheirOwners) {
    // Wherever the game shows a hand, the arm is cut only where the picture's
    // edge lies off the board, so no severed arm is ever seen.
    for (const HandSpec& h : Hands) {
        for (int f : h.frames) {
            const std::string kind = h.right ? "r-hand" : "l-hand";
            TBitmap mask;
            Archive("hands.gfx").GetBitmap(h.prefix + "m" + kind + Numbered("%4.4d.bmp", f), mask);
            for (const TPoint& p : HandPlaces(h)) {
                const int ox = p.X - h.hot.X, oy = p.Y - h.hot.Y;
                int visibleCut = 0;
                for (int y = 0; y < mask.Height(); ++y) {
                    for (int x = 0; x < mask.Width(); ++x) {
                        const bool border = x == 0 || y == 0 || x == mask.Width() - 1 || y == mask.Height() - 1;
                        if (!border || Rgb(mask, x, y) != 0) continue;
                        const int bx = ox + x, by = oy + y;
                        if (bx >= 0 && by >= 0 && bx < BoardWidth && by < BoardHeight) ++visibleCut;
                    }
                }
                EXPECT_EQ(visibleCut, 0) << h.prefix << kind << f << " at (" << p.X << ", " << p.Y << ")";
            }
            // The owner sits above the board for side 1, below it for side 2.
            const int edgeRow = h.side == 1 ? 0 : mask.Height() - 1;
            int armAtEdge = 0;
            for (int x = 0; x < mask.Width(); ++x) armAtEdge += Rgb(mask, x, edgeRow) == 0;
            EXPECT_GT(armAtEdge, 20) << h.prefix << kind << f;
        }
    }
}

TEST(Artwork, StartDrawPicturesLeaveRoomForTheWhiteResultText) {
    // The result is written in white into (10, 5)-(390, 50).
    for (const std::string name : {"holzw", "holzl", "holzstart"}) {
        TJPEGImage img;
        Archive("holz.gfx").GetJPEG(name, img);
        double sum = 0;
        int n = 0;
        for (int y = 5; y < 50; ++y) {
            for (int x = 10; x < 390; ++x) {
                const QRgb c = img.Image().pixel(x, y);
                sum += 0.3 * qRed(c) + 0.59 * qGreen(c) + 0.11 * qBlue(c);
                ++n;
            }
        }
        EXPECT_LT(sum / n, 100.0) << name;
    }
}

std::vector<char> FileBytes(const std::string& Name) {
    std::ifstream in(Name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Artwork, GeneratingAgainGivesTheSameArchives) {
    // Builds from scratch must ship identical pictures: no clock, no
    // unseeded noise, nothing of the machine may leak into them.
    const std::string dir = testing::TempDir() + "gfxgen_again";
    const std::string cmd = "\"" + JoinPath(ExecutableFolder(), "gfxgen") + "\" \"" + dir + "\" 2>/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    for (const std::string name : {"game.gfx", "steine.gfx", "mulden.gfx", "hands.gfx", "holz.gfx"}) {
        const std::vector<char> a = FileBytes(DataFile(name)), b = FileBytes(dir + "/" + name);
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == b) << name;
    }
}


}  // namespace


// The pictures drawn at twice the size for high-density screens: the same
// entries, exactly twice as wide and high, and the same picture: shrunk back
// by averaging each 2 x 2 block they differ from the pictures of scale 1 only
// in detail, so nothing moved, mirrored or lost its keying.
TEST(Artwork, DoubleSizeArchivesHoldTheSamePicturesAtTwiceTheSize) {
    for (const std::string name : {"game.gfx", "steine.gfx", "mulden.gfx", "hands.gfx", "holz.gfx"}) {
        const std::string twin = DoubleSizeArchiveName(DataFile(name));
        TQDStreams c;
        c.SizeLimit = 4 * MaxGraphicsArchiveSize;
        ASSERT_NO_THROW(c.LoadFromFile(twin)) << twin;
        std::set<std::string> got;
        for (int i = 0; i < c.Count(); ++i) got.insert(c.Names(i));
        EXPECT_EQ(got, ExpectedEntries(name)) << twin;

        TGFXFile sharp;
        // Read the way the game does at scale 2, so the pictures come as drawn.
        sharp.LoadForScale(DataFile(name), 2);
        ASSERT_EQ(sharp.PictureScale, 2) << twin;
        for (const std::string& entry : ExpectedEntries(name)) {
            const bool jpeg = entry == "bg.jpg" || name == "holz.gfx";
            QImage one, two;
            if (jpeg) {
                TJPEGImage a, b;
                Archive(name).GetJPEG(entry, a);
                sharp.GetJPEG(entry, b);
                one = a.Image();
                two = b.Image();
            } else {
                TBitmap a, b;
                Archive(name).GetBitmap(entry, a);
                sharp.GetBitmap(entry, b);
                one = a.Image();
                two = b.Image();
            }
            ASSERT_EQ(two.width(), 2 * one.width()) << name << " " << entry;
            ASSERT_EQ(two.height(), 2 * one.height()) << name << " " << entry;
            double sum = 0;
            for (int y = 0; y < one.height(); ++y)
                for (int x = 0; x < one.width(); ++x) {
                    const QRgb p = one.pixel(x, y);
                    int r = 0, g = 0, b = 0;
                    for (int k = 0; k < 4; ++k) {
                        const QRgb q = two.pixel(2 * x + k % 2, 2 * y + k / 2);
                        r += qRed(q);
                        g += qGreen(q);
                        b += qBlue(q);
                    }
                    sum += std::abs(r / 4 - qRed(p)) + std::abs(g / 4 - qGreen(p)) + std::abs(b / 4 - qBlue(p));
                }
            const double mean = sum / (3.0 * one.width() * one.height());
            EXPECT_LT(mean, 16.0) << name << " " << entry;
        }
    }
}

}  // namespace tessum
