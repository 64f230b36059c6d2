// Page printing shared by the printouts of the highscore tables and of a
// game's history.
//
// A TGVPrinterPage runs one print job on a QPrinter: it works out the page
// area (the sheet less fixed margins, in the printer's device pixels), draws
// the optional header and footer lines and writes lines of text from the top
// down. Everything is drawn through a TCanvas on the printer, so the grid and
// the board pictures use the same drawing code as on screen.
//
// The functions that print take a ready QPrinter; the print dialog is a
// separate step (ChoosePrinter), so a PDF printer can drive the very same
// painting without any dialog.
#pragma once

#include <QPainter>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/Graphics.h"

class QPrinter;
class QWidget;

namespace tessum {

class TMultiLanguage;
class TSmallGrid;

// A print job that could not be started or written (no printer, an output
// file that cannot be created).
class EPrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Margins of every printout, measured from the edge of the sheet.
constexpr double PrintMarginSideCm = 1.5;
constexpr double PrintMarginTopBottomCm = 2.0;

// The printable part of a page in device coordinates of a painter on Printer:
// the sheet less the margins, where the part of a margin that the printer
// cannot print anyway is taken off (a margin never becomes negative).
TRect PrinterPageArea(const QPrinter& Printer);

// A header or footer: three texts in the left, middle and right third of the
// page area, one line of text tall.
class TGVKopfFussZeile {
public:
    bool Enabled = false;
    std::string Left, Center, Right;

    // Fills the three texts from Texts in order; missing ones become empty.
    void SetTexts(const std::vector<std::string>& Texts);
    // Height of the band: the height of "gH" in the canvas's font.
    static int LineHeight(TCanvas& Canvas);
    // Draws the texts in a band at the top of Area (AtTop) or at its bottom,
    // each centred vertically in the band. Empty texts are skipped.
    void Draw(TCanvas& Canvas, const TRect& Area, bool AtTop) const;
};

class TGVPrinterPage {
public:
    // Disabled, empty header and footer.
    TGVKopfFussZeile Kopfzeile;
    TGVKopfFussZeile Fusszeile;
    // Font of WriteLine; BeginPage also makes it the printer's font.
    TFont Font;

    explicit TGVPrinterPage(QPrinter& Printer);
    // Ends a job still running, so an exception in between never leaves the
    // printer open.
    ~TGVPrinterPage();
    TGVPrinterPage(const TGVPrinterPage&) = delete;
    TGVPrinterPage& operator=(const TGVPrinterPage&) = delete;

    // Starts the print job and the first page. Throws EPrintError when the
    // printer refuses the job.
    void BeginPage();
    // Starts the next sheet with a fresh area and its header and footer.
    void NewPage();
    // Writes Text at the area's top-left and moves the top below it.
    void WriteLine(std::string_view Text);
    // Ends the print job. Throws EPrintError when the output failed.
    void EndPage();

    bool Printing() const { return painter_ != nullptr; }
    // The sheet less the margins, before header and footer took their share.
    const TRect& PageArea() const { return pageArea_; }
    // What is left for the content: header and footer and the written lines
    // are taken off.
    TRect Area;

    // Valid while printing.
    TCanvas& Canvas() { return *canvas_; }
    QPainter& Painter() { return *painter_; }
    QPrinter& Printer() { return printer_; }

private:
    void StartSheet();

    QPrinter& printer_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<TCanvas> canvas_;
    TRect pageArea_;
};

// Stretches Picture into Dest of a printer canvas with smooth interpolation,
// leaving the scaling to the printer's resolution instead of blowing the
// picture up to device pixels first.
void PrintStretched(TGVPrinterPage& Page, const TRect& Dest, const TBitmap& Picture);

// Draws a table at its top-left corner Origin, every size multiplied by Scale.
using TGridPainter = std::function<void(TCanvas& Canvas, TPoint Origin, int Scale)>;

// Prints a table on one page: header and footer (up to three texts each, an
// empty list leaves the line off), an empty line, Title in bold 24 pt, an
// empty line, then the table painted with the printer's font bold 14 pt at
// the largest integer scale at which GridWidth fits the area's width (at
// least 1). Returns that scale.
int PrintTable(QPrinter& Printer, int GridWidth, const TGridPainter& PaintGrid,
               const std::vector<std::string>& Header, const std::string& Title,
               const std::vector<std::string>& Footer);

// The printout of a highscore table shown in Grid, for variant Variant (1 to
// 3), with the texts of Lng (the highscore dialog's translation): header
// "TESSUM (R)", version and variant, title "Highscore:", footer with the
// maker's web address and the page. Returns the scale of the table.
int PrintHighscore(QPrinter& Printer, TSmallGrid& Grid, const TMultiLanguage& Lng, int Variant);

// The highscore dialog's "Print" command: the print dialog for Parent, then
// PrintHighscore on the chosen printer; a failed job is reported in a message
// box. True when the printout went out. Call it from the button handler:
//     PrintHighscoreCommand(this, *sgHighscore, *lng, ShownVariant() + 1);
bool PrintHighscoreCommand(QWidget* Parent, TSmallGrid& Grid, const TMultiLanguage& Lng, int Variant);

// Shows the print dialog for Printer; false when the user cancels.
bool ChoosePrinter(QPrinter& Printer, QWidget* Parent);

}  // namespace tessum
