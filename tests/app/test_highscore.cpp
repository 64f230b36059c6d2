// The highscore dialog and its grid: tables written into a scratch folder,
// the grid painted into bitmaps and inspected pixel by pixel.
#include <QApplication>
#include <QPalette>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

#include "GameTestFolder.h"
#include "graphics/Graphics.h"
#include "i18n/MultiLanguage.h"
#include "app/SmallGrid.h"
#include "i18n/TRadioGroup.h"
#include "i18n/lngDialogs.h"
#include "highscore/uTHighscore.h"
#include "app/ufHighscore.h"

namespace tessum {
namespace {

constexpr TColor Paper = RGBColor(250, 250, 250);
constexpr TColor Ink = RGBColor(0, 0, 0);
constexpr TColor LineColor = RGBColor(0, 0, 200);

bool IsDark(TColor C) { return RedOf(C) + GreenOf(C) + BlueOf(C) < 300 && BlueOf(C) < 150; }

// Paints Grid into a fresh bitmap at Origin and Scale.
std::unique_ptr<TBitmap> Render(TSmallGrid& Grid, TPoint Origin, int Scale) {
    auto b = std::make_unique<TBitmap>((Grid.TotalColWidth() + 1) * Scale + Origin.X + 10,
                                       (Grid.TotalRowHeight() + 1) * Scale + Origin.Y + 10);
    TCanvas& c = b->Canvas();
    c.Brush.Color = Paper;
    c.FillRect({0, 0, b->Width(), b->Height()});
    c.Pen.Color = LineColor;
    c.Font.Name = "Arial";
    c.Font.Color = Ink;
    c.Font.SetSize(9 * Scale);
    Grid.PaintTo(c, Origin, Scale);
    return b;
}

TEST(TSmallGridTest, SizeFollowsCountsAndCallbacks) {
    TSmallGrid g;
    EXPECT_EQ(g.width(), 200);
    EXPECT_EQ(g.height(), 250);
    EXPECT_EQ(g.Selection(), (TRect{-1, -1, -1, -1}));
    g.SetRowCount(3);
    EXPECT_EQ(g.width(), 4 * 64 + 1);
    EXPECT_EQ(g.height(), 3 * 18 + 1);
    g.OnGetColWidth = [](TSmallGrid&, int c, int& w) { w = c == 0 ? 10 : w; };
    g.OnGetRowHeight = [](TSmallGrid&, int r, int& h) { h = r == 0 ? 30 : h; };
    g.SetDefaultColWidth(20);
    EXPECT_EQ(g.width(), 10 + 3 * 20 + 1);
    g.SetDefaultRowHeight(5);
    EXPECT_EQ(g.height(), 30 + 2 * 5 + 1);
    g.SetColCount(0);
    EXPECT_EQ(g.width(), 1);
    // Nonsense counts and sizes are bounded rather than overflowing.
    g.SetColCount(-5);
    EXPECT_EQ(g.ColCount(), 0);
    g.SetDefaultRowHeight(-1);
    EXPECT_EQ(g.RowHeight(1), 0);
}

TEST(TSmallGridTest, RowSelection) {
    TSmallGrid g;
    g.SetColCount(3);
    g.SelectRow(2);
    EXPECT_EQ(g.Selection(), (TRect{0, 2, 3, 3}));
    EXPECT_TRUE(g.IsSelected(0, 2));
    EXPECT_TRUE(g.IsSelected(2, 2));
    EXPECT_FALSE(g.IsSelected(3, 2));
    EXPECT_FALSE(g.IsSelected(0, 1));
    EXPECT_FALSE(g.IsSelected(0, 3));
    g.SelectRow(-1);
    for (int r = 0; r < 4; ++r) EXPECT_FALSE(g.IsSelected(0, r)) << r;
}

TEST(TSmallGridTest, PaintsCellsAndLinesAtAnyScale) {
    TSmallGrid g;
    g.SetColCount(2);
    g.SetRowCount(2);
    g.OnGetColWidth = [](TSmallGrid&, int c, int& w) { w = c == 0 ? 30 : 50; };
    // Only the first cell of each row sets a colour; the next one inherits it.
    g.OnGetCellColorBG = [](TSmallGrid&, int c, int r, TColor& color) {
        if (c == 0) color = r == 0 ? RGBColor(255, 0, 0) : RGBColor(0, 255, 0);
    };
    g.UpdateSize();
    for (int scale : {1, 2, 5}) {
        const TPoint o{7, 4};
        auto b = Render(g, o, scale);
        const TCanvas& c = b->Canvas();
        auto at = [&](int x, int y) { return c.Pixel(o.X + x * scale, o.Y + y * scale); };
        EXPECT_EQ(at(15, 9), RGBColor(255, 0, 0)) << scale;
        EXPECT_EQ(at(60, 9), RGBColor(255, 0, 0)) << scale;  // carried over
        EXPECT_EQ(at(60, 27), RGBColor(0, 255, 0)) << scale;
        // Lines at every row and column edge, Scale pixels thick.
        for (int k = 0; k < scale; ++k) {
            EXPECT_EQ(c.Pixel(o.X + 15 * scale, o.Y + 18 * scale + k), LineColor) << scale;
            EXPECT_EQ(c.Pixel(o.X + 30 * scale + k, o.Y + 9 * scale), LineColor) << scale;
            EXPECT_EQ(c.Pixel(o.X + 80 * scale + k, o.Y + 30 * scale), LineColor) << scale;
            EXPECT_EQ(c.Pixel(o.X + 40 * scale, o.Y + 36 * scale + k), LineColor) << scale;
        }
        EXPECT_NE(c.Pixel(o.X + 15 * scale, o.Y + 18 * scale + scale), LineColor) << scale;
        // Nothing outside the grid; the origin is honoured.
        EXPECT_EQ(c.Pixel(o.X - 1, o.Y + 5), Paper);
        EXPECT_EQ(c.Pixel(o.X + 80 * scale + scale, o.Y + 5), Paper);
        EXPECT_EQ(c.Pixel(o.X + 5, o.Y + 36 * scale + scale), Paper);
    }
}

TEST(TSmallGridTest, LongTextsStayInsideTheirCellAndPadding) {
    TSmallGrid g;
    g.SetColCount(2);
    g.SetRowCount(1);
    g.SetDefaultColWidth(80);
    g.OnGetCellStr = [](TSmallGrid&, int c, int, std::string& s) {
        if (c == 0) s = std::string(40, 'W');
    };
    for (int scale : {1, 3}) {
        auto b = Render(g, {0, 0}, scale);
        const TCanvas& c = b->Canvas();
        int inCell = 0, beyond = 0;
        for (int y = 0; y < 18 * scale; ++y) {
            for (int x = 0; x < 77 * scale; ++x) inCell += IsDark(c.Pixel(x, y));
            // The right padding and the neighbour stay clean.
            for (int x = 77 * scale; x < 160 * scale; ++x)
                if (x < 80 * scale || x >= 81 * scale) beyond += IsDark(c.Pixel(x, y));
        }
        EXPECT_GT(inCell, 20 * scale) << scale;
        EXPECT_EQ(beyond, 0) << scale;
    }
}

class THighscoreDialog : public test::TProgramFolderTest {
protected:
    void SetUp() override {
        test::TProgramFolderTest::SetUp();
        SetDecimalSeparator('.');
    }
    void TearDown() override {
        ResetDecimalSeparator();
        test::TProgramFolderTest::TearDown();
    }

    // A table for Variant with Count results, the best first.
    void WriteTable(int Variant, int Count, const std::string& FirstName = "anna") const {
        THighscore t;
        for (int i = 0; i < Count; ++i)
            t.AddScore(i == 0 ? FirstName : "spieler" + std::to_string(i), 100 + i, 40 - i, 20 + i, 30, false,
                       "", "europa");
        t.SaveToFile(HighscoreFileName(folder_, Variant));
    }

    static std::unique_ptr<TfHighscore> Make(int GameVariant, int Row, const char* Language = "german") {
        auto d = std::make_unique<TfHighscore>();
        d->SetLanguage(Language);
        d->SetGame(GameVariant, Row);
        return d;
    }

    static TColor RowColor(TfHighscore& D, int Row) {
        TSmallGrid& g = *D.sgHighscore;
        TBitmap b(g.TotalColWidth() + 1, g.TotalRowHeight() + 1);
        b.Canvas().Brush.Color = clWhite;
        g.PaintTo(b.Canvas(), {0, 0}, 1);
        const int y = Row == 0 ? 11 : TfHighscore::TitleRowHeight + (Row - 1) * 18 + 9;
        return b.Canvas().Pixel(2, y);
    }
};

TEST_F(THighscoreDialog, ScriptTargetsAndTitles) {
    for (const char* language : {"german", "english"}) {
        TfHighscore d;
        d.SetLanguage(language);
        EXPECT_TRUE(d.lng->UnresolvedTargets().empty()) << language;
        EXPECT_EQ(d.rgVariante->Count(), 3);
    }
    auto d = Make(-1, -1, "english");
    EXPECT_EQ(d->windowTitle(), "TESSUM (R) Freeware No. 1 - Highscore");
    EXPECT_EQ(d->CellText(0, 0), "Rank");
    EXPECT_EQ(d->CellText(4, 0), "points");
    d->SetLanguage("german");
    EXPECT_EQ(d->CellText(3, 0), "Z\xfcge");
    EXPECT_EQ(d->size(), QSize(454, 357));
}

TEST_F(THighscoreDialog, EmptyVariantShowsThePlaceholder) {
    auto d = Make(-1, -1);
    d->ShowVariant(2);
    EXPECT_TRUE(d->Placeholder());
    EXPECT_EQ(d->sgHighscore->RowCount(), 2);
    EXPECT_EQ(d->CellText(0, 1), "1");
    EXPECT_EQ(d->CellText(1, 1), "- leer -");
    EXPECT_EQ(d->CellText(2, 1), "00:00:00");
    EXPECT_EQ(d->CellText(3, 1), "0");
    EXPECT_EQ(d->CellText(4, 1), "0.00");
    EXPECT_EQ(d->CellText(1, 2), "");
    EXPECT_FALSE(d->bbPrint->isEnabled());
    EXPECT_FALSE(d->bbnetHighscore->isEnabled());
    // Showing the placeholder writes nothing.
    EXPECT_FALSE(Exists("hs3.dat"));

    SetDecimalSeparator(',');
    d->ShowVariant(1);
    EXPECT_EQ(d->CellText(4, 1), "0,00");
}

TEST_F(THighscoreDialog, RealTableFillsTheGridAndEnablesTheButtons) {
    WriteTable(2, 4);
    auto d = Make(-1, -1);
    d->ShowVariant(1);
    EXPECT_FALSE(d->Placeholder());
    EXPECT_EQ(d->sgHighscore->RowCount(), 5);
    EXPECT_EQ(d->sgHighscore->width(), 40 + 180 + 68 + 48 + 68 + 1);
    EXPECT_EQ(d->sgHighscore->height(), 22 + 4 * 18 + 1);
    EXPECT_EQ(d->CellText(0, 4), "4");
    EXPECT_EQ(d->CellText(1, 1), "anna");
    EXPECT_EQ(d->CellText(2, 1), "00:01:40");
    EXPECT_EQ(d->CellText(3, 1), "30");
    EXPECT_EQ(d->CellText(4, 1), "66.67");
    EXPECT_TRUE(d->bbPrint->isEnabled());
    EXPECT_TRUE(d->bbnetHighscore->isEnabled());

    QSignalSpy print(d.get(), &TfHighscore::PrintRequested);
    QSignalSpy send(d.get(), &TfHighscore::NetHighscoreRequested);
    d->bbPrint->click();
    d->bbnetHighscore->click();
    EXPECT_EQ(print.count(), 1);
    EXPECT_EQ(send.count(), 1);

    // Back to an empty variant: the placeholder replaces the old rows.
    d->ShowVariant(0);
    EXPECT_TRUE(d->Placeholder());
    EXPECT_EQ(d->sgHighscore->RowCount(), 2);
    EXPECT_FALSE(d->bbPrint->isEnabled());
}

TEST_F(THighscoreDialog, HighlightOnlyOnTheGamesVariant) {
    WriteTable(1, 3);
    WriteTable(2, 3);
    auto d = Make(1, 2);
    d->ShowVariant(1);
    EXPECT_EQ(d->sgHighscore->Selection(), (TRect{0, 2, 5, 3}));
    const QPalette& p = d->sgHighscore->palette();
    EXPECT_EQ(RowColor(*d, 2), RGBColor(255, 128, 64));
    EXPECT_EQ(RowColor(*d, 0), p.color(QPalette::Button).rgb());
    EXPECT_EQ(RowColor(*d, 1), p.color(QPalette::ToolTipBase).rgb());
    EXPECT_EQ(RowColor(*d, 3), p.color(QPalette::ToolTipBase).rgb());

    d->ShowVariant(0);
    EXPECT_EQ(d->sgHighscore->Selection().Top, -1);
    EXPECT_EQ(RowColor(*d, 2), p.color(QPalette::Base).rgb());
    d->ShowVariant(1);
    EXPECT_EQ(RowColor(*d, 2), RGBColor(255, 128, 64));

    // Opened from the menu: no game, nothing marked.
    auto m = Make(-1, -1);
    m->ShowVariant(1);
    EXPECT_EQ(m->sgHighscore->Selection().Top, -1);

    EXPECT_EQ(TfHighscore::BestRank(3, 1), 1);
    EXPECT_EQ(TfHighscore::BestRank(-1, 4), 4);
    EXPECT_EQ(TfHighscore::BestRank(5, -1), 5);
    EXPECT_EQ(TfHighscore::BestRank(-1, -1), -1);
    EXPECT_EQ(TfHighscore::BestRank(0, 0), -1);
}

TEST_F(THighscoreDialog, ExecuteOpensOnTheGamesVariant) {
    WriteTable(3, 2);
    auto d = Make(2, 1);
    QTimer::singleShot(0, d.get(), [&d] {
        EXPECT_EQ(d->ShownVariant(), 2);
        EXPECT_FALSE(d->Placeholder());
        EXPECT_TRUE(d->sgHighscore->IsSelected(0, 1));
        d->bbOK->click();
    });
    EXPECT_EQ(d->Execute(), QDialog::Accepted);

    auto m = Make(-1, -1);
    QTimer::singleShot(0, m.get(), [&m] {
        EXPECT_EQ(m->ShownVariant(), 0);
        m->close();
    });
    m->Execute();
}

TEST_F(THighscoreDialog, DamagedTableIsReportedAndShownEmpty) {
    WriteFile("hs1.dat", std::string(200, '\x5a'));
    TMessageDialogAnswerer answers;
    auto d = Make(0, 1);
    d->ShowVariant(0);
    ASSERT_EQ(answers.Shown().size(), 1u);
    EXPECT_EQ(answers.Shown()[0].Text, "File is corrupt.");
    EXPECT_TRUE(d->Placeholder());
    EXPECT_EQ(d->CellText(1, 1), "- leer -");
    EXPECT_EQ(ReadFile("hs1.dat"), std::string(200, '\x5a'));
}

TEST_F(THighscoreDialog, LongNamesAreCutInsideTheNameColumn) {
    WriteTable(1, 1, "Wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww");
    auto d = Make(-1, -1);
    d->ShowVariant(0);
    TSmallGrid& g = *d->sgHighscore;
    TBitmap b(g.TotalColWidth() + 1, g.TotalRowHeight() + 1);
    b.Canvas().Brush.Color = clWhite;
    b.Canvas().Font.Color = clBlack;
    g.PaintTo(b.Canvas(), {0, 0}, 1);
    // The name column ends at x = 220; the time column's text is right-aligned,
    // so its left half stays blank unless the name spilled over.
    int spilled = 0, name = 0;
    for (int y = 23; y < 40; ++y) {
        for (int x = 43; x < 217; ++x) name += IsDark(b.Canvas().Pixel(x, y));
        for (int x = 221; x < 231; ++x) spilled += IsDark(b.Canvas().Pixel(x, y));
    }
    EXPECT_GT(name, 50);
    EXPECT_EQ(spilled, 0);
}

}  // namespace
}  // namespace tessum
