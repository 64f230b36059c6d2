#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <filesystem>
#include <utility>
#include <string>
#include <vector>

#include "GuiApp.h"
#include "graphics/uTGFXFile.h"

using namespace tessum;

namespace {

// A bitmap file of W x H in one colour with a differently coloured top-left pixel.
TMemoryStream BitmapFile(int W, int H, TColor Colour) {
    TBitmap b(W, H);
    b.Canvas().Brush.Color = Colour;
    b.Canvas().FillRect({0, 0, W, H});
    b.Canvas().SetPixel(0, 0, RGBColor(1, 2, 3));
    TMemoryStream s;
    b.SaveToStream(s);
    return s;
}

class GfxFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureGuiApp();
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override { SetDataFolder(""); }

    std::string Path(const char* Name) const { return dir.filePath(QString::fromLatin1(Name)).toStdString(); }

    void Write(const std::string& File, TQDStreams& Archive) {
        TFileStream f(File, TFileMode::Create);
        Archive.SaveToStream(f);
    }

    // "steine.gfx" with stone group n drawn n pixels wide.
    void WriteStones(bool Compressed, const char* Pattern = "st%d.bmp") {
        TQDStreams a;
        a.Compressed = Compressed;
        for (int n = 1; n <= 9; ++n) {
            char name[16];
            std::snprintf(name, sizeof name, Pattern, n);
            TMemoryStream s = BitmapFile(n, 2, clRed);
            a.AddStream(name, s);
        }
        Write(Path("steine.gfx"), a);
    }

    QTemporaryDir dir;
};

}  // namespace

TEST_F(GfxFileTest, StonesLoadAllNineGroupsTransparentRed) {
    WriteStones(true);
    TGFXSteine stones(Path("steine.gfx"));
    for (int n = 1; n <= 9; ++n) {
        const TBitmap* b = stones.Bitmap(n);
        ASSERT_NE(b, nullptr) << n;
        EXPECT_EQ(b->Width(), n);
        EXPECT_TRUE(b->Transparent);
        EXPECT_EQ(b->TransparentColor(), clRed);
    }
    EXPECT_EQ(stones[0], nullptr);
    EXPECT_EQ(stones[10], nullptr);
}

TEST_F(GfxFileTest, UncompressedArchivesAndAnyLetterCaseLoadAlike) {
    WriteStones(false, "ST%d.BMP");
    TGFXSteine stones(Path("steine.gfx"));
    EXPECT_EQ(stones[9]->Width(), 9);
}

TEST_F(GfxFileTest, PitOverlaysExistForPlayingPitsOnly) {
    TQDStreams a;
    for (int pit = 1; pit <= 14; ++pit) {
        TMemoryStream s = BitmapFile(pit, 3, clWhite);
        a.AddStream("mst" + std::to_string(pit) + ".bmp", s);  // 7 and 14 are ignored even when present
    }
    Write(Path("mulden.gfx"), a);
    TGFXMulden pits(Path("mulden.gfx"));
    for (int pit = 1; pit <= 14; ++pit) {
        if (pit == 7 || pit == 14) {
            EXPECT_EQ(pits[pit], nullptr);
            continue;
        }
        ASSERT_NE(pits[pit], nullptr) << pit;
        EXPECT_EQ(pits[pit]->Width(), pit);
        EXPECT_TRUE(pits[pit]->Transparent);
        EXPECT_EQ(pits[pit]->TransparentColor(), clWhite);
    }
}

TEST_F(GfxFileTest, ArchivesAreFoundInTheProgramsFolder) {
    EXPECT_EQ(DataFolder(), QCoreApplication::applicationDirPath().toStdString());
    SetDataFolder(dir.path().toStdString());
    EXPECT_EQ(DataFile("steine.gfx"), Path("steine.gfx"));
    WriteStones(true);
    TGFXSteine stones;
    EXPECT_EQ(stones[4]->Width(), 4);
}

TEST_F(GfxFileTest, MissingOrDamagedArchivesFailLoudly) {
    EXPECT_THROW(TGFXSteine(Path("nothing.gfx")), EFileError);
    {
        TFileStream f(Path("steine.gfx"), TFileMode::Create);
        const char junk[] = "&*this is not a container";
        f.WriteBuffer(junk, sizeof junk);
    }
    EXPECT_THROW(TGFXSteine(Path("steine.gfx")), ECorruptFile);
}

TEST_F(GfxFileTest, EveryFailureNamesTheArchiveAndWhatIsWrong) {
    auto faultOf = [](auto&& Load) -> std::pair<std::string, TArchiveProblem> {
        try {
            Load();
        } catch (const TArchiveFault& F) {
            return {F.ArchiveFileName(), F.Problem()};
        } catch (...) {
        }
        return {"", TArchiveProblem::Damaged};
    };
    const std::string missing = Path("steine.gfx");
    EXPECT_EQ(faultOf([&] { TGFXSteine s(missing); }), std::pair(missing, TArchiveProblem::Missing));

    WriteStones(true);
    TMemoryStream whole;
    whole.LoadFromFile(missing);
    TMemoryStream cut(std::vector<std::uint8_t>(whole.Bytes().begin(), whole.Bytes().begin() + whole.Size() / 2));
    cut.SaveToFile(missing);
    EXPECT_EQ(faultOf([&] { TGFXSteine s(missing); }), std::pair(missing, TArchiveProblem::Damaged));
    EXPECT_THROW(TGFXSteine{missing}, ECorruptFile);  // still the container's error to other callers

    // A good container holding a broken picture.
    TQDStreams a;
    TMemoryStream broken(std::vector<std::uint8_t>{'B', 'M', 1, 2, 3});
    a.AddStream("st1.bmp", broken);
    Write(missing, a);
    EXPECT_EQ(faultOf([&] { TGFXSteine s(missing); }), std::pair(missing, TArchiveProblem::Damaged));

    std::filesystem::remove(missing);
    std::filesystem::create_directory(missing);
    EXPECT_EQ(faultOf([&] { TGFXSteine s(missing); }), std::pair(missing, TArchiveProblem::Unreadable));
}

TEST_F(GfxFileTest, ArchivesBeyondTheirBoundAreCorruptBeforeBeingRead) {
    // A stored archive whose one entry claims 100 MiB, with the bytes really
    // there (a sparse file, so it costs no disk): a valid container, but far
    // beyond any archive of ours.
    const std::int32_t claimed = 100 * 1024 * 1024;
    std::vector<std::uint8_t> head = {' ', ' ', 1, 2, 3, 4, 5, 6, 7, 8, 1, 0, 0, 0, 3, 0, 'p', 'a', 'd'};
    for (int i = 0; i < 4; ++i) head.push_back(static_cast<std::uint8_t>(claimed >> (8 * i)));
    {
        TFileStream f(Path("game.gfx"), TFileMode::Create);
        f.WriteBuffer(head.data(), head.size());
        f.SetSize(static_cast<std::int64_t>(head.size()) + claimed);
    }
    TGFXFile archive;
    EXPECT_THROW(archive.LoadFromFile(Path("game.gfx")), ECorruptFile);
    // The same table with a small entry loads.
    head.resize(head.size() - 4);
    head.insert(head.end(), {2, 0, 0, 0, 'o', 'k'});
    {
        TFileStream f(Path("game.gfx"), TFileMode::Create);
        f.WriteBuffer(head.data(), head.size());
    }
    archive.LoadFromFile(Path("game.gfx"));
    EXPECT_TRUE(archive.Contains("PAD"));
}

TEST_F(GfxFileTest, EntriesDecodeByKindAndMissingOnesAreEmpty) {
    TQDStreams a;
    TMemoryStream bmp = BitmapFile(4, 3, clWhite);
    a.AddStream("golden.bmp", bmp);
    TBitmap picture(20, 10);
    picture.Canvas().Brush.Color = RGBColor(90, 60, 30);
    picture.Canvas().FillRect({0, 0, 20, 10});
    TJPEGImage jpeg;
    jpeg.Assign(picture);
    TMemoryStream jpg;
    jpeg.SaveToStream(jpg);
    a.AddStream("bg.jpg", jpg);
    TMemoryStream broken(std::vector<std::uint8_t>{'B', 'M', 1, 2, 3});
    a.AddStream("broken.bmp", broken);
    Write(Path("game.gfx"), a);

    TGFXFile file;
    file.LoadFromFile(Path("game.gfx"));
    EXPECT_TRUE(file.Contains("GOLDEN.BMP"));
    TBitmap b;
    file.GetBitmap("golden.bmp", b);
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), RGBColor(1, 2, 3));
    TJPEGImage j;
    file.GetJPEG("bg.jpg", j);
    EXPECT_EQ(j.Width(), 20);
    TBitmap missing(3, 3);
    file.GetBitmap("smbrett", missing);
    EXPECT_TRUE(missing.Empty());
    EXPECT_THROW(file.GetBitmap("broken.bmp", b), EInvalidGraphic);
    // A JPEG entry is not a bitmap.
    EXPECT_THROW(file.GetBitmap("bg.jpg", b), EInvalidGraphic);
}
