// print-preview <folder>: prints a sample highscore table and the history of a
// game of two computer players into <folder>/highscore.pdf and
// <folder>/history.pdf (A4, the printer's high resolution), through the same
// code the dialogs' "Print" buttons run.
#include <QApplication>
#include <QPageSize>
#include <QPrinter>

#include <cstdio>
#include <exception>
#include <string>

#include "app/uGVHelpPrinting.h"
#include "game/uProfile.h"
#include "board/uTFeld.h"
#include "graphics/uTGFXFile.h"
#include "highscore/uTHighscore.h"
#include "records/uTHistory.h"
#include "ai/uTKI.h"
#include "app/ufHighscore.h"
#include "app/ufHistory.h"

namespace {

using namespace tessum;

void SetUpPdf(QPrinter& Printer, const std::string& FileName) {
    Printer.setOutputFormat(QPrinter::PdfFormat);
    Printer.setOutputFileName(QString::fromStdString(FileName));
    Printer.setPageSize(QPageSize(QPageSize::A4));
}

// A whole game of two computer players at level 2, recorded as the game does.
THistory ComputerGame() {
    THistory h;
    h.Start("Computer 1", "Computer 2", "", "", "", "", 1, false, 4, 2, 1, 2);
    TFeld feld;
    feld.StonesPerPit = h.StonesPerPit;
    feld.UseEndPits = h.UseEndPits;
    feld.Variant = h.Variant;
    feld.Reset();
    feld.Player = h.StartPlayer;
    TKI ki(feld);
    ki.Level = 2;
    for (int guard = 0; guard < 1000 && !feld.IsGameOver(); ++guard) {
        const int side = feld.Player;
        if (feld.MustSkip()) {
            h.AddMove(0, 0, side);
            feld.Skip();
            continue;
        }
        const int row = ki.ChooseMove();
        const int pit = side * 7 + row - 7;
        h.AddMove(3 + guard % 7, static_cast<std::uint8_t>(pit), side);
        feld.DoMove(pit);
    }
    return h;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: print-preview <folder>\n");
        return 2;
    }
    QApplication app(argc, argv);
    const std::string folder = argv[1];
    try {
        SetUserFolder(folder);
        THighscore table;
        table.AddScore("J\xfcrgen", 1254, 31, 17, 44, false, "juergen@example.org", "deutschland");
        table.AddScore("Marie", 902, 29, 19, 40, false, "marie@example.org", "frankreich");
        table.AddScore("Computer 1", 733, 27, 21, 39, true, "", "");
        table.AddScore("S\xf6ren", 1533, 24, 24, 51, false, "", "");
        table.AddScore("Computer 2", 655, 20, 28, 37, true, "", "");
        table.SaveToFile(HighscoreFileName(folder, 1));
        TfHighscore highscore;
        highscore.SetLanguage("german");
        highscore.SetGame(0, 2);
        highscore.ShowVariant(0);
        QPrinter hp(QPrinter::HighResolution);
        SetUpPdf(hp, folder + "/highscore.pdf");
        PrintHighscore(hp, *highscore.sgHighscore, *highscore.lng, 1);

        TBitmap board;
        TGFXFile gfx;
        gfx.LoadFromFile(DataFile("game.gfx"));
        gfx.GetBitmap("smbrett", board);
        TfHistory history;
        history.SetLanguage("german");
        history.Fill(ComputerGame(), board);
        QPrinter pp(QPrinter::HighResolution);
        SetUpPdf(pp, folder + "/history.pdf");
        history.Print(pp);
        std::printf("%d history entries\n", history.Count());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "print-preview: %s\n", e.what());
        return 1;
    }
    return 0;
}
