// The course of a game as one picture: for every recorded entry a small board
// with the position after it, the pit played circled in the mover's colour
// (no circle for a skip) and its number, two boards per row. The dialog shows
// it in a scroll box and prints it four boards per row over as many pages as
// it needs.
//
// Usage: ShowGameHistory(owner, history, language), or by hand: create,
// SetLanguage, Fill(history, board background), exec().
#pragma once

#include <QDialog>

#include <memory>
#include <string>

#include "graphics/Graphics.h"

class QLabel;
class QPrinter;
class QPushButton;
class QScrollArea;

namespace tessum {

class THistory;
class TMultiLanguage;

// Left margin of every picture cell, which holds the entry's number.
constexpr int HistoryNumberMargin = 20;
// Spare room right of the second column of the picture.
constexpr int HistoryPictureSlack = 40;

// Largest history picture drawn (256 MiB of pixels), some five thousand entries.
constexpr long long MaxHistoryPicturePixels = 64LL * 1024 * 1024;

// Draws the boards of History onto Picture, which is resized to
// min(2, n) x W + 40 by ((n - 1) div 2 + 1) x H for Board of W x H pixels.
// Returns n, the number of entries. The entries are replayed on a fresh board
// without legality test; a move the rules refuse leaves the board as it is.
// A picture beyond MaxHistoryPicturePixels throws EInvalidGraphic and leaves
// Picture as it was.
int BuildHistoryPicture(const THistory& History, const TBitmap& Board, TBitmap& Picture);

// The small-board background used when "game.gfx" lacks "smbrett": a light
// 199 x 62 panel, so the history still shows.
void MakeFallbackSmallBoard(TBitmap& Board);

// Page layout of the history printout.
struct THistoryPrintLayout {
    int FontHeight = 0;   // device pixels of the printout's font
    int TextHeight = 0;   // height of "gH" in that font
    TRect CellArea;       // where the boards go
    int CellWidth = 0;
    int CellHeight = 0;
    int Gap = 0;          // between columns and between rows
    int PerPage = 0;      // boards on one page, a multiple of 4

    // Pages for Count entries (an empty history still prints one).
    int Pages(int Count) const;
    // Where board Number (1-based, counted over the whole printout) goes on its page.
    TRect CellRect(int Number) const;
};

// The layout for a page area, the height of "gH" in the font of
// PageArea.Height() div 60 pixels, and picture cells of CellW x CellH.
THistoryPrintLayout HistoryPrintLayout(const TRect& PageArea, int TextHeight, int CellW, int CellH);
// The layout on Printer's page, measured with the printout's own font.
THistoryPrintLayout HistoryPrintLayoutFor(const QPrinter& Printer, int CellW, int CellH);
// The printout's font on Printer: "Arial" of PageArea.Height() div 60 pixels.
TFont HistoryPrintFont(const QPrinter& Printer);

// Texts of the printout, Windows-1252.
struct THistoryPrintTexts {
    std::string Version;   // "Version 1.0"
    std::string Variant;   // "Variante 1"
    std::string Title;     // "Historie"
    std::string Page;      // "Seite"
};

// Prints Count boards of Picture (cells of CellW x CellH, two per row as
// BuildHistoryPicture lays them out) on Printer.
void PrintHistory(QPrinter& Printer, const TBitmap& Picture, int Count, int CellW, int CellH,
                  const THistoryPrintTexts& Texts);

class TfHistory : public QDialog {
    Q_OBJECT

public:
    explicit TfHistory(QWidget* Parent = nullptr);
    ~TfHistory() override;

    void SetLanguage(const std::string& Language);

    // Builds the picture of History on Board (the "smbrett" background; an
    // empty one is replaced by the fallback), takes the names for the
    // description and the variant for the printout.
    void Fill(const THistory& History, const TBitmap& Board);

    int Count() const { return Count_; }
    int Variant() const { return Variant_; }
    const TBitmap& Picture() const { return *Picture_; }
    int CellWidth() const { return CellW_; }
    int CellHeight() const { return CellH_; }

    // Prints on Printer with the window's texts; throws EPrintError when the
    // job fails.
    void Print(QPrinter& Printer);

    TMultiLanguage* lng;
    QLabel* lDescHead;
    QLabel* lDesc;
    QScrollArea* sbHistory;
    QLabel* iHistory;
    QPushButton* bbOK;
    QPushButton* bbPrint;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void bbPrintClick();
    void UpdateDescription();
    // Sizes the picture to the width of its scroll box.
    void FitPicture();

    std::unique_ptr<TBitmap> Picture_;
    int Count_ = 0;
    int Variant_ = 0;
    int CellW_ = 0;
    int CellH_ = 0;
    std::string Name1_, Name2_;
};

// The history command: loads "smbrett" from "game.gfx" in the program's
// folder, builds the picture of History and shows it modally in Language.
// A missing or damaged archive falls back to a plain board background; a
// history too long to draw is reported in a message box instead.
void ShowGameHistory(QWidget* Owner, const THistory& History, const std::string& Language);

}  // namespace tessum
