// The start draw, with artwork of plain colours written into a scratch folder
// so that the shown picture can be told apart.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "GameTestFolder.h"
#include "graphics/Graphics.h"
#include "i18n/MultiLanguage.h"
#include "archive/QDStreamCol.h"
#include "archive/Streams.h"
#include "graphics/uTGFXFile.h"
#include "app/ufStreichholz.h"

namespace tessum {
namespace {

constexpr TColor Green = RGBColor(0, 160, 0);
constexpr TColor Blue = RGBColor(0, 0, 160);
constexpr TColor Grey = RGBColor(90, 90, 90);

bool Near(TColor A, TColor B, int Tolerance = 24) {
    return std::abs(RedOf(A) - RedOf(B)) <= Tolerance && std::abs(GreenOf(A) - GreenOf(B)) <= Tolerance &&
           std::abs(BlueOf(A) - BlueOf(B)) <= Tolerance;
}

class TStartDraw : public test::TProgramFolderTest {
protected:
    void SetUp() override {
        test::TProgramFolderTest::SetUp();
        SetDataFolder(folder_);
    }
    void TearDown() override {
        SetDataFolder("");
        test::TProgramFolderTest::TearDown();
    }

    void WriteArtwork() const {
        TQDStreams archive;
        std::vector<std::unique_ptr<TMemoryStream>> keep;
        for (auto [name, color] : {std::pair{"holzw", Green}, {"holzl", Blue}, {"holzstart", Grey}}) {
            TBitmap b(400, 300);
            b.Canvas().Brush.Color = color;
            b.Canvas().FillRect({0, 0, 400, 300});
            TJPEGImage jpeg;
            jpeg.Assign(b);
            keep.push_back(std::make_unique<TMemoryStream>());
            jpeg.SaveToStream(*keep.back());
            archive.AddStream(name, *keep.back());
        }
        TFileStream out(Path("holz.gfx"), TFileMode::Create);
        archive.SaveToStream(out);
    }

    // Runs one whole draw through the modal loop, clicking Button.
    static bool Draw(TfStreichholz& D, QPushButton* Button) {
        QTimer::singleShot(0, Button, [Button] { Button->click(); });
        EXPECT_EQ(D.exec(), QDialog::Accepted);
        EXPECT_TRUE(D.DrawDone());
        return D.Won();
    }

    static std::unique_ptr<TfStreichholz> Make(const char* Language = "german") {
        auto d = std::make_unique<TfStreichholz>();
        d->SetLanguage(Language);
        d->SetPlayers("Computer 1", "anna");
        d->PauseMilliseconds = 0;
        return d;
    }
};

TEST_F(TStartDraw, TextsAndNamesInBothLanguages) {
    for (const char* language : {"german", "english"}) {
        TfStreichholz d;
        d.SetLanguage(language);
        EXPECT_TRUE(d.lng->UnresolvedTargets().empty()) << language;
    }
    auto d = Make("english");
    EXPECT_EQ(d->windowTitle(), "TESSUM (R) Freeware No. 1");
    EXPECT_EQ(d->bLeft->text(), "Left");
    EXPECT_EQ(d->lDesc->text(),
              "Which matchstick is the longer one?\r\nIf you anna choose the right one, you will start.\r\n"
              "Otherwise it's Computer 1's turn.");
    EXPECT_TRUE(d->lDescHead->font().bold());

    EXPECT_EQ(FormatNames("%s hat gewonnen", "bernd"), "bernd hat gewonnen");
    // Names are inserted verbatim and never searched for placeholders again.
    EXPECT_EQ(FormatNames("a %s b %s c %s", "%s", "x"), "a %s b x c %s");
    EXPECT_EQ(FormatNames("50%", "x"), "50%");
}

TEST_F(TStartDraw, CannotBeClosedBeforeTheDraw) {
    auto d = Make();
    d->show();
    EXPECT_FALSE(d->close());
    EXPECT_TRUE(d->isVisible());
    QTest::keyClick(d.get(), Qt::Key_Escape);
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(d->DrawDone());

    d->bRight->click();
    EXPECT_TRUE(d->DrawDone());
    EXPECT_FALSE(d->isVisible());
}

TEST_F(TStartDraw, BothButtonsTossTheSameFairCoin) {
    std::vector<bool> left, right;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        SeedDrawCoin(seed);
        auto a = Make();
        left.push_back(Draw(*a, a->bLeft));
        SeedDrawCoin(seed);
        auto b = Make();
        right.push_back(Draw(*b, b->bRight));
        SeedDrawCoin(seed);
        EXPECT_EQ(left.back(), DrawCoin() == 0) << seed;
    }
    EXPECT_EQ(left, right);
    EXPECT_NE(std::count(left.begin(), left.end(), true), 0);
    EXPECT_NE(std::count(left.begin(), left.end(), false), 0);

    SeedDrawCoin(20240);
    int zeros = 0;
    const int n = 10000;
    for (int i = 0; i < n; ++i) {
        const int c = DrawCoin();
        ASSERT_TRUE(c == 0 || c == 1);
        zeros += c == 0;
    }
    // Five standard deviations either side of a fair coin.
    EXPECT_NEAR(zeros, n / 2, 250);
}

TEST_F(TStartDraw, ResultPictureCarriesTheWinnersName) {
    WriteArtwork();
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        SeedDrawCoin(seed);
        auto d = Make();
        EXPECT_TRUE(Near(d->Picture().Canvas().Pixel(200, 150), Grey));
        const bool won = Draw(*d, d->bLeft);
        const TBitmap& p = d->Picture();
        EXPECT_TRUE(Near(p.Canvas().Pixel(200, 200), won ? Green : Blue)) << seed;
        int white = 0, whiteBelow = 0;
        for (int y = 0; y < p.Height(); ++y)
            for (int x = 0; x < p.Width(); ++x)
                if (Near(p.Canvas().Pixel(x, y), clWhite, 40)) (y < 50 ? white : whiteBelow)++;
        EXPECT_GT(white, 50) << "the result text is written at the top";
        EXPECT_EQ(whiteBelow, 0);
    }
    // The winner's name is the one of the side that won the toss.
    SeedDrawCoin(3);
    const bool won = DrawCoin() == 0;
    SeedDrawCoin(3);
    auto d = Make("english");
    d->SetPlayers("zoe", "max");
    Draw(*d, d->bLeft);
    EXPECT_EQ(d->Won(), won);
    EXPECT_EQ(FormatNames(d->lng->GetText("msgfirstmove"), won ? d->Player2Name : d->Player1Name),
              std::string(won ? "max" : "zoe") + " has won! It is your turn.");
}

TEST_F(TStartDraw, MissingArtworkStillFinishesTheDraw) {
    WriteFile("holz.gfx", "not an archive");
    auto d = Make();
    EXPECT_FALSE(d->Picture().Empty());
    Draw(*d, d->bLeft);
    EXPECT_FALSE(d->isVisible());
}

TEST_F(TStartDraw, PauseKeepsTheWindowOpenAndEventsFlowing) {
    auto d = Make();
    d->PauseMilliseconds = 300;
    bool checked = false;
    QTimer::singleShot(0, d->bLeft, [&] { d->bLeft->click(); });
    QTimer::singleShot(100, d.get(), [&] {
        // Inside the pause: shown, not done, no second draw, no way out.
        checked = true;
        EXPECT_TRUE(d->isVisible());
        EXPECT_FALSE(d->DrawDone());
        EXPECT_FALSE(d->bLeft->isEnabled());
        EXPECT_FALSE(d->bRight->isEnabled());
        EXPECT_FALSE(d->close());
    });
    EXPECT_EQ(d->exec(), QDialog::Accepted);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(d->DrawDone());
}

}  // namespace
}  // namespace tessum
