// The history picture and both printouts, printed through the real painting
// path into PDF files and read back with poppler's pdftotext.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>

#include "graphics/Graphics.h"
#include "i18n/MultiLanguage.h"
#include "i18n/lngDialogs.h"
#include "app/uGVHelpPrinting.h"
#include "graphics/uSmallBoard.h"
#include "board/uTFeld.h"
#include "graphics/uTGFXFile.h"
#include "records/uTHistory.h"
#include "app/SmallGrid.h"
#include "game/uProfile.h"
#include "highscore/uTHighscore.h"
#include "app/ufHighscore.h"
#include "app/ufHistory.h"

namespace tessum {
namespace {

constexpr int BoardW = 199;
constexpr int BoardH = 62;

bool Near(TColor A, TColor B, int Tolerance) {
    return std::abs(RedOf(A) - RedOf(B)) <= Tolerance && std::abs(GreenOf(A) - GreenOf(B)) <= Tolerance &&
           std::abs(BlueOf(A) - BlueOf(B)) <= Tolerance;
}

bool IsDark(TColor C) { return RedOf(C) < 110 && GreenOf(C) < 110 && BlueOf(C) < 110; }

// A plain white board background, so that every coloured pixel of the
// picture comes from the numbers, the circles or the entry numbers.
void WhiteBoard(TBitmap& Board) {
    Board.SetSize(BoardW, BoardH);
    Board.Canvas().Brush = TBrush{TBrushStyle::Solid, clWhite};
    Board.Canvas().FillRect(Bounds(0, 0, BoardW, BoardH));
}

THistory NewHistory(int Variant = 1) {
    THistory h;
    h.Start("Anna", "Bert", "", "", "", "", Variant, false, 4, 1, 1, 0);
    return h;
}

// Plays N legal moves (or skips when the side to move cannot move).
THistory PlayedHistory(int N) {
    THistory h = NewHistory();
    TFeld f;
    f.StonesPerPit = h.StonesPerPit;
    f.UseEndPits = h.UseEndPits;
    f.Variant = h.Variant;
    f.Reset();
    f.Player = h.StartPlayer;
    for (int k = 0; k < N; ++k) {
        const int side = f.Player;
        int pit = 0;
        for (int p = 1; p <= 14 && pit == 0; ++p)
            if (f.IsLegalMove(p)) pit = p;
        h.AddMove(1, static_cast<std::uint8_t>(pit), side);
        if (pit != 0)
            f.DoMove(pit);
        else
            f.Skip();
    }
    return h;
}

// Top-left of the numbers of entry K in the picture.
TPoint NumbersOrigin(int K) { return {(BoardW + 20) * (K % 2) + 28, BoardH * (K / 2) + 9}; }

// Whether the ring of a circle around Pit of entry K shows in Color: its left
// edge lies where no digit reaches.
bool CircleAround(const TBitmap& Picture, int K, int Pit, TColor Color) {
    const bool side1 = Pit <= 7;
    const int column = side1 ? 7 - Pit : Pit - 7;
    const int row = side1 ? 0 : 2;
    const TPoint o = NumbersOrigin(K);
    const int x = o.X + 23 * column;
    const int y = o.Y + 15 * row;
    for (int py = y + 4; py <= y + 10; ++py)
        for (int px = x; px <= x + 3; ++px)
            if (Near(Picture.Canvas().Pixel(px, py), Color, 60)) return true;
    return false;
}

bool AnyCircle(const TBitmap& Picture, int K) {
    for (int pit : {1, 2, 3, 4, 5, 6})
        if (CircleAround(Picture, K, pit, SmallBoardSide1Color)) return true;
    for (int pit : {8, 9, 10, 11, 12, 13})
        if (CircleAround(Picture, K, pit, SmallBoardSide2Color)) return true;
    return false;
}

// Leftmost dark pixel in the number margin of entry K, or -1.
int NumberLeft(const TBitmap& Picture, int K) {
    const int cx = (BoardW + 20) * (K % 2);
    const int cy = BoardH * (K / 2);
    for (int x = cx; x < cx + 20; ++x)
        for (int y = cy; y < cy + 20; ++y)
            if (IsDark(Picture.Canvas().Pixel(x, y))) return x - cx;
    return -1;
}

bool DarkInColumns(const TBitmap& Picture, int K, int From, int To) {
    const int cx = (BoardW + 20) * (K % 2);
    const int cy = BoardH * (K / 2);
    for (int x = cx + From; x <= cx + To; ++x)
        for (int y = cy; y < cy + BoardH; ++y)
            if (IsDark(Picture.Canvas().Pixel(x, y))) return true;
    return false;
}

TEST(HistoryPicture, SizeFollowsEntriesTwoPerRow) {
    TBitmap board, picture;
    WhiteBoard(board);
    EXPECT_EQ(BuildHistoryPicture(PlayedHistory(1), board, picture), 1);
    EXPECT_EQ(picture.Width(), BoardW + 40);
    EXPECT_EQ(picture.Height(), BoardH);

    EXPECT_EQ(BuildHistoryPicture(PlayedHistory(3), board, picture), 3);
    EXPECT_EQ(picture.Width(), 2 * BoardW + 40);
    EXPECT_EQ(picture.Height(), 2 * BoardH);
    // The second row holds only the left board: its right cell stays blank.
    for (int y = BoardH; y < 2 * BoardH; ++y)
        for (int x = BoardW + 20; x < 2 * BoardW + 40; ++x)
            ASSERT_EQ(picture.Canvas().Pixel(x, y), clWhite) << x << "," << y;

    EXPECT_EQ(BuildHistoryPicture(PlayedHistory(4), board, picture), 4);
    EXPECT_EQ(picture.Height(), 2 * BoardH);
    EXPECT_EQ(BuildHistoryPicture(PlayedHistory(5), board, picture), 5);
    EXPECT_EQ(picture.Height(), 3 * BoardH);
}

TEST(HistoryPicture, CirclesInMoversColourAndNoneForASkip) {
    THistory h = NewHistory();
    h.AddMove(3, 2, 1);    // side 1 plays pit 2
    h.AddMove(4, 0, 2);    // side 2 has to skip
    h.AddMove(5, 10, 2);   // side 2 plays pit 10
    TBitmap board, picture;
    WhiteBoard(board);
    ASSERT_EQ(BuildHistoryPicture(h, board, picture), 3);

    EXPECT_TRUE(CircleAround(picture, 0, 2, SmallBoardSide1Color));
    EXPECT_FALSE(CircleAround(picture, 0, 1, SmallBoardSide1Color));
    EXPECT_FALSE(CircleAround(picture, 0, 3, SmallBoardSide1Color));

    EXPECT_FALSE(AnyCircle(picture, 1));
    // The skip still gets its board and its number.
    EXPECT_GE(NumberLeft(picture, 1), 0);

    EXPECT_TRUE(CircleAround(picture, 2, 10, SmallBoardSide2Color));
    EXPECT_FALSE(CircleAround(picture, 2, 10, SmallBoardSide1Color));
    EXPECT_FALSE(CircleAround(picture, 2, 9, SmallBoardSide2Color));
}

TEST(HistoryPicture, NumbersAreRightAlignedInTheMargin) {
    TBitmap board, picture;
    WhiteBoard(board);
    ASSERT_EQ(BuildHistoryPicture(PlayedHistory(12), board, picture), 12);
    for (int k = 0; k < 12; ++k) {
        EXPECT_GE(NumberLeft(picture, k), 0) << "entry " << k + 1;
        // Nothing dark between the number's end and the board.
        EXPECT_FALSE(DarkInColumns(picture, k, 18, 19)) << "entry " << k + 1;
    }
    // "10." is wider than "1." and, ending at the same place, starts further left.
    EXPECT_LT(NumberLeft(picture, 9), NumberLeft(picture, 0));
}

TEST(HistoryPicture, PositionAfterEachEntryIsShown) {
    // The picture of an entry equals a board drawn after replaying up to it.
    const THistory h = PlayedHistory(6);
    TBitmap board, picture;
    WhiteBoard(board);
    BuildHistoryPicture(h, board, picture);

    TFeld f;
    f.StonesPerPit = h.StonesPerPit;
    f.UseEndPits = h.UseEndPits;
    f.Variant = h.Variant;
    f.Reset();
    f.Player = h.StartPlayer;
    for (int k = 0; k < 6; ++k) {
        f.DoMove(h.Items(k).Pit);
        TBitmap expected;
        WhiteBoard(expected);
        DrawSmall(f, expected.Canvas(), {8, 9}, h.Items(k).Pit);
        const int cx = (BoardW + 20) * (k % 2) + 20;
        const int cy = BoardH * (k / 2);
        int differing = 0;
        for (int y = 0; y < BoardH; ++y)
            for (int x = 0; x < BoardW; ++x)
                if (picture.Canvas().Pixel(cx + x, cy + y) != expected.Canvas().Pixel(x, y)) ++differing;
        EXPECT_EQ(differing, 0) << "entry " << k + 1;
    }
}

TEST(HistoryPicture, MovesTheRulesRefuseDoNotBreakThePicture) {
    THistory h = NewHistory();
    h.AddMove(1, 200, 1);
    h.AddMove(1, 7, 1);
    h.AddMove(1, 14, 2);
    TBitmap board, picture;
    WhiteBoard(board);
    EXPECT_EQ(BuildHistoryPicture(h, board, picture), 3);
    EXPECT_FALSE(AnyCircle(picture, 1));
    EXPECT_FALSE(AnyCircle(picture, 2));
}

TEST(HistoryPicture, EndlessHistoryIsRefusedNotAllocated) {
    THistory h = NewHistory();
    for (int k = 0; k < 20000; ++k) h.AddMove(0, 0, 1 + k % 2);
    TBitmap board, picture;
    WhiteBoard(board);
    EXPECT_THROW(BuildHistoryPicture(h, board, picture), EInvalidGraphic);
    EXPECT_TRUE(picture.Empty());

    TfHistory dialog;
    EXPECT_THROW(dialog.Fill(h, board), EInvalidGraphic);
    // The command reports it instead of letting it escape into the window.
    SetDialogLanguage("");
    bool reported = false;
    QTimer::singleShot(0, [&] {
        if (auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            reported = w->objectName() != "fHistory";
            w->reject();
        }
    });
    EXPECT_NO_THROW(ShowGameHistory(nullptr, h, "german"));
    EXPECT_TRUE(reported);
}

// --- Dialog --------------------------------------------------------------------

TEST(HistoryDialog, ShowsPictureAndBothNames) {
    TfHistory dialog;
    dialog.SetLanguage("german");
    EXPECT_TRUE(dialog.lng->UnresolvedTargets().empty());
    TBitmap board;
    WhiteBoard(board);
    dialog.Fill(PlayedHistory(3), board);
    EXPECT_EQ(dialog.Count(), 3);
    // The picture fills the width of its box, its shape kept.
    const QSize shown = dialog.iHistory->size();
    EXPECT_EQ(shown.width(), dialog.sbHistory->viewport()->width());
    EXPECT_NEAR(shown.height(), shown.width() * double(2 * BoardH) / (2 * BoardW + 40), 1.0);
    // Shown and made wider, the dialog shows it larger.
    dialog.show();
    QCoreApplication::processEvents();
    const int before = dialog.iHistory->width();
    EXPECT_EQ(before, dialog.sbHistory->viewport()->width());
    dialog.resize(dialog.width() + 200, dialog.height());
    QCoreApplication::processEvents();
    EXPECT_GE(dialog.iHistory->width(), before + 150);
    dialog.hide();
    const QString desc = dialog.lDesc->text();
    EXPECT_GT(desc.indexOf("Anna"), 0);
    EXPECT_GT(desc.indexOf("Bert"), desc.indexOf("Anna"));
    EXPECT_EQ(desc.indexOf("%s"), -1);
    EXPECT_EQ(dialog.bbPrint->text(), "Drucken");

    // Switching the language keeps the names in the description.
    dialog.SetLanguage("english");
    EXPECT_TRUE(dialog.lDesc->text().contains("Anna"));
    EXPECT_TRUE(dialog.lDesc->text().contains("Berts turn"));
    EXPECT_EQ(dialog.bbPrint->text(), "print");
}

TEST(HistoryDialog, EmptyHistoryShowsNoPicture) {
    TfHistory dialog;
    dialog.SetLanguage("english");
    TBitmap board;
    WhiteBoard(board);
    dialog.Fill(NewHistory(), board);
    EXPECT_EQ(dialog.Count(), 0);
    EXPECT_TRUE(dialog.iHistory->pixmap().isNull());
}

TEST(HistoryDialog, MissingBoardPictureFallsBackToAPlainBoard) {
    TfHistory dialog;
    TBitmap none;
    dialog.Fill(PlayedHistory(2), none);
    EXPECT_EQ(dialog.CellWidth(), 219);
    EXPECT_EQ(dialog.CellHeight(), 62);
    EXPECT_EQ(dialog.Picture().Width(), 2 * 199 + 40);
}

TEST(HistoryDialog, CommandRunsWithoutArchive) {
    QTemporaryDir dir;
    SetDataFolder(dir.path().toStdString() + "/");
    bool shown = false;
    QTimer::singleShot(0, [&] {
        if (auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            shown = w->objectName() == "fHistory";
            w->accept();
        }
    });
    ShowGameHistory(nullptr, PlayedHistory(2), "german");
    SetDataFolder("");
    EXPECT_TRUE(shown);
}

// --- Printouts -----------------------------------------------------------------

class Printouts : public ::testing::Test {
protected:
    QTemporaryDir dir_;

    QString File(const char* Name) const { return dir_.filePath(QString::fromLatin1(Name)); }

    static std::unique_ptr<QPrinter> PdfPrinter(const QString& FileName, QSizeF Millimetres = {210, 297}) {
        auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setOutputFileName(FileName);
        p->setPageSize(QPageSize(Millimetres, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
        p->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        return p;
    }

    static int PageCount(const QString& FileName) {
        QFile f(FileName);
        if (!f.open(QIODevice::ReadOnly)) return -1;
        const std::string data = f.readAll().toStdString();
        static const std::regex page(R"(/Type\s*/Page(?![A-Za-z]))");
        return static_cast<int>(std::distance(std::sregex_iterator(data.begin(), data.end(), page),
                                              std::sregex_iterator()));
    }

    static QString PdfText(const QString& FileName) {
        QProcess p;
        p.start("pdftotext", {"-layout", FileName, "-"});
        if (!p.waitForFinished(30000)) return {};
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    // A sheet on which the history printout holds exactly 24 boards.
    static QSizeF SheetFor24() {
        for (int h = 100; h <= 300; ++h) {
            QPrinter p(QPrinter::HighResolution);
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setPageSize(QPageSize(QSizeF(210, h), QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
            p.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
            if (HistoryPrintLayoutFor(p, 219, 62).PerPage == 24) return {210.0, static_cast<double>(h)};
        }
        return {};
    }
};

TEST_F(Printouts, PageAreaTakesUnprintableOffsetsOffTheMargins) {
    auto p = PdfPrinter(File("a.pdf"));
    const int dpi = p->logicalDpiX();
    const int side = static_cast<int>(std::lround(1.5 / 2.54 * dpi));
    const int top = static_cast<int>(std::lround(2.0 / 2.54 * dpi));
    TRect a = PrinterPageArea(*p);
    EXPECT_EQ(a.Left, side);
    EXPECT_EQ(a.Top, top);
    const QRect paper = p->paperRect(QPrinter::DevicePixel).toAlignedRect();
    EXPECT_NEAR(a.Right, paper.width() - side, 1);
    EXPECT_NEAR(a.Bottom, paper.height() - top, 1);

    // 10 mm the printer leaves blank anyway: the painter's origin moved by as much.
    p->setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    const int ten = static_cast<int>(std::lround(1.0 / 2.54 * dpi));
    // (Qt keeps margins in whole points, so a 10 mm margin is a little less.)
    const int slack = dpi / 72 + 1;
    a = PrinterPageArea(*p);
    EXPECT_NEAR(a.Left, side - ten, slack);
    EXPECT_NEAR(a.Top, top - ten, slack);
    EXPECT_NEAR(a.Right, p->width() - (side - ten), slack);

    // Beyond the margin: the area starts right at the printable edge.
    p->setPageMargins(QMarginsF(25, 25, 25, 25), QPageLayout::Millimeter);
    a = PrinterPageArea(*p);
    EXPECT_EQ(a.Left, 0);
    EXPECT_EQ(a.Top, 0);
    EXPECT_EQ(a.Right, p->width());
    EXPECT_EQ(a.Bottom, p->height());
}

TEST_F(Printouts, HistoryLayoutFillsTheWidthAndFitsTheRows) {
    for (QSizeF sheet : {QSizeF(210, 297), QSizeF(148, 210), QSizeF(297, 420)}) {
        auto p = PdfPrinter(File("l.pdf"), sheet);
        const TRect area = PrinterPageArea(*p);
        const THistoryPrintLayout l = HistoryPrintLayoutFor(*p, 219, 62);
        EXPECT_EQ(l.FontHeight, area.Height() / 60);
        EXPECT_NEAR(4 * l.CellWidth + 3 * l.Gap, area.Width(), 2);
        EXPECT_NEAR(l.CellHeight * 219.0 / 62.0, l.CellWidth, 4);
        EXPECT_EQ(l.PerPage % 4, 0);
        const int rows = l.PerPage / 4;
        EXPECT_LE(rows * (l.CellHeight + l.Gap), l.CellArea.Height());
        EXPECT_GT((rows + 1) * (l.CellHeight + l.Gap), l.CellArea.Height());
        EXPECT_GE(l.CellArea.Top, area.Top + 5 * l.TextHeight);
        // The last board of a page stays inside the cell area.
        EXPECT_LE(l.CellRect(l.PerPage).Bottom, l.CellArea.Bottom);
        EXPECT_LE(l.CellRect(4).Right, area.Right + 2);
        // The first board of the next page takes the first place again.
        EXPECT_EQ(l.CellRect(l.PerPage + 1), l.CellRect(1));
    }
}

TEST_F(Printouts, HistoryLayoutSurvivesSheetsTooSmallForARow) {
    const THistoryPrintLayout l = HistoryPrintLayout(Bounds(0, 0, 400, 30), 10, 219, 62);
    EXPECT_EQ(l.PerPage, 4);
    EXPECT_EQ(l.Pages(9), 3);
    const THistoryPrintLayout none = HistoryPrintLayout(Bounds(0, 0, 1, 1), 0, 0, 0);
    EXPECT_GT(none.PerPage, 0);
    EXPECT_EQ(none.Pages(0), 1);
}

TEST_F(Printouts, HistoryPagesFor0_1_24_25Entries) {
    const QSizeF sheet = SheetFor24();
    ASSERT_FALSE(sheet.isEmpty()) << "no sheet with 24 boards per page";
    TBitmap none;
    struct Case { int entries; int pages; };
    for (Case c : {Case{0, 1}, Case{1, 1}, Case{24, 1}, Case{25, 2}}) {
        const QString file = File(("h" + std::to_string(c.entries) + ".pdf").c_str());
        auto p = PdfPrinter(file, sheet);
        ASSERT_EQ(HistoryPrintLayoutFor(*p, 219, 62).Pages(c.entries), c.pages);
        TfHistory dialog;
        dialog.SetLanguage("german");
        THistory h = PlayedHistory(c.entries);
        h.Variant = 1;
        dialog.Fill(h, none);
        dialog.Print(*p);
        EXPECT_EQ(PageCount(file), c.pages) << c.entries << " entries";
        const QString text = PdfText(file);
        EXPECT_TRUE(text.contains(QString::fromUtf8("TESSUM ®"))) << text.toStdString();
        EXPECT_TRUE(text.contains("Version 1.0"));
        EXPECT_TRUE(text.contains("Variante 1"));
        EXPECT_TRUE(text.contains("Historie:"));
        EXPECT_EQ(text.count("Historie:"), c.pages);
        EXPECT_TRUE(text.contains(QString("Seite %1 / %1").arg(c.pages)));
    }
}

TEST_F(Printouts, HistoryInEnglish) {
    const QString file = File("en.pdf");
    auto p = PdfPrinter(file);
    TfHistory dialog;
    dialog.SetLanguage("english");
    THistory h = PlayedHistory(5);
    h.Variant = 3;
    TBitmap none;
    dialog.Fill(h, none);
    dialog.Print(*p);
    const QString text = PdfText(file);
    EXPECT_TRUE(text.contains("History:"));
    EXPECT_TRUE(text.contains("variante 3"));
    EXPECT_TRUE(text.contains("page 1 / 1"));
}

TEST_F(Printouts, TableIsScaledToTheAreaWidth) {
    const QString file = File("t.pdf");
    auto p = PdfPrinter(file);
    const TRect area = PrinterPageArea(*p);
    constexpr int gridWidth = 405;
    TPoint origin{-1, -1};
    int painted = 0;
    int ppi = 0;
    const int scale = PrintTable(
        *p, gridWidth,
        [&](TCanvas& c, TPoint o, int s) {
            origin = o;
            painted = s;
            ppi = c.PixelsPerInch;
            EXPECT_TRUE(c.Font.Bold);
            EXPECT_EQ(c.Font.Size, 14);
            c.TextOut(o.X, o.Y, "Rang  Name  Zeit");
            c.Brush = TBrush{TBrushStyle::Solid, RGBColor(255, 128, 64)};
            c.FillRect(Bounds(o.X, o.Y + 40 * s, gridWidth * s, 18 * s));
        },
        {"TESSUM \xae", "Version 1.0", "Variante 2"}, "Highscore:", {"www.example.org", "", "Seite 1"});
    EXPECT_EQ(scale, painted);
    EXPECT_EQ(scale, area.Width() / gridWidth);
    EXPECT_GT(scale, 1);
    EXPECT_LE(scale * gridWidth, area.Width());
    EXPECT_GT((scale + 1) * gridWidth, area.Width());
    EXPECT_EQ(origin.X, area.Left);
    // Below the header and the three lines before the table.
    EXPECT_GT(origin.Y, area.Top + 100);
    EXPECT_EQ(ppi, p->logicalDpiY());
    EXPECT_EQ(PageCount(file), 1);
    const QString text = PdfText(file);
    for (const char* s : {"Version 1.0", "Variante 2", "Highscore:", "www.example.org", "Seite 1", "Rang"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
    EXPECT_TRUE(text.contains(QString::fromUtf8("TESSUM ®")));
    // The header comes before the title, the title before the table.
    EXPECT_LT(text.indexOf("Variante 2"), text.indexOf("Highscore:"));
    EXPECT_LT(text.indexOf("Highscore:"), text.indexOf("Rang"));
}

TEST_F(Printouts, HighscoreDialogTablePrintsWithItsTexts) {
    SetUserFolder(dir_.path().toStdString());
    SetDecimalSeparator(',');
    THighscore table;
    table.AddScore("J\xfcrgen", 754, 30, 18, 41, false, "j@example.org", "deutschland");
    table.AddScore("Computer 1", 612, 20, 28, 38, true, "", "");
    table.SaveToFile(HighscoreFileName(dir_.path().toStdString(), 2));

    TfHighscore dialog;
    dialog.SetLanguage("german");
    dialog.ShowVariant(1);
    ASSERT_FALSE(dialog.Placeholder());
    const QString file = File("hs.pdf");
    auto p = PdfPrinter(file);
    const int scale = PrintHighscore(*p, *dialog.sgHighscore, *dialog.lng, 2);
    SetUserFolder("");
    ResetDecimalSeparator();

    const int gridWidth = dialog.sgHighscore->TotalColWidth();
    EXPECT_EQ(gridWidth, 404);
    EXPECT_EQ(scale, PrinterPageArea(*p).Width() / gridWidth);
    EXPECT_EQ(PageCount(file), 1);
    const QString text = PdfText(file);
    for (const char* s : {"Version 1.0", "Variante 2", "Highscore:", "Rang", "Punkte", "Züge", "Jürgen",
                          "Computer 1", "00:12:34", "62,50", "Seite 1"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s << "\n" << text.toStdString();
    EXPECT_LT(text.indexOf("Jürgen"), text.indexOf("Computer 1"));
}

TEST_F(Printouts, CancelledPrintDialogPrintsNothing) {
    TfHighscore dialog;
    dialog.SetLanguage("english");
    bool asked = false;
    QTimer::singleShot(0, [&] {
        if (auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            asked = true;
            w->reject();
        }
    });
    EXPECT_FALSE(PrintHighscoreCommand(&dialog, *dialog.sgHighscore, *dialog.lng, 1));
    EXPECT_TRUE(asked);

    // The dialog's own button asks for a printer when nobody took printing over.
    asked = false;
    QTimer::singleShot(0, [&] {
        if (auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            asked = w != &dialog;
            w->reject();
        }
    });
    dialog.bbPrint->setEnabled(true);
    dialog.bbPrint->click();
    EXPECT_TRUE(asked);
}

TEST_F(Printouts, EmptyTableWidthStillPrintsAtScaleOne) {
    const QString file = File("z.pdf");
    auto p = PdfPrinter(file);
    EXPECT_EQ(PrintTable(*p, 0, {}, {}, "Highscore:", {}), 1);
    EXPECT_EQ(PageCount(file), 1);
}

TEST_F(Printouts, UnwritableOutputIsReportedNotSwallowed) {
    const QString file = dir_.filePath("missing/folder/out.pdf");
    auto p = PdfPrinter(file);
    EXPECT_THROW(PrintTable(*p, 405, {}, {"a"}, "Highscore:", {}), EPrintError);
    TfHistory dialog;
    TBitmap none;
    dialog.Fill(PlayedHistory(3), none);
    auto q = PdfPrinter(file);
    EXPECT_THROW(dialog.Print(*q), EPrintError);
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(Printouts, PageWritesLinesDownwardsBetweenHeaderAndFooter) {
    auto p = PdfPrinter(File("w.pdf"));
    TGVPrinterPage page(*p);
    page.Kopfzeile.Enabled = true;
    page.Fusszeile.Enabled = true;
    page.Kopfzeile.SetTexts({"links", "mitte", "rechts"});
    page.BeginPage();
    const TRect full = page.PageArea();
    const int h = TGVKopfFussZeile::LineHeight(page.Canvas());
    EXPECT_EQ(page.Area.Top, full.Top + 2 * h);
    EXPECT_EQ(page.Area.Bottom, full.Bottom - 2 * h);
    const int before = page.Area.Top;
    page.WriteLine("");
    EXPECT_EQ(page.Area.Top, before + h);
    page.Font.SetSize(24);
    page.WriteLine("Gross");
    EXPECT_GT(page.Area.Top - (before + h), h);
    page.Font.SetSize(12);
    page.NewPage();
    EXPECT_EQ(page.Area.Top, full.Top + 2 * h);
    page.EndPage();
    EXPECT_FALSE(page.Printing());
    EXPECT_EQ(PageCount(File("w.pdf")), 2);
    const QString text = PdfText(File("w.pdf"));
    EXPECT_EQ(text.count("mitte"), 2);
    // The three texts sit side by side on one line.
    QString first;
    for (const QString& line : text.split('\n'))
        if (line.contains("mitte")) {
            first = line;
            break;
        }
    EXPECT_TRUE(first.contains("links") && first.contains("mitte") && first.contains("rechts")) << first.toStdString();
    EXPECT_LT(first.indexOf("links"), first.indexOf("mitte"));
    EXPECT_LT(first.indexOf("mitte"), first.indexOf("rechts"));
}

}  // namespace
}  // namespace tessum
