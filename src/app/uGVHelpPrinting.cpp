#include "app/uGVHelpPrinting.h"

#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>
#include <cmath>
#include <exception>

#include "i18n/MultiLanguage.h"
#include "app/SmallGrid.h"
#include "i18n/lngDialogs.h"
#include "app/uConfig.h"

namespace tessum {

namespace {

int CmToPixels(double Cm, int Dpi) { return static_cast<int>(std::lround(Cm / 2.54 * Dpi)); }

}  // namespace

TRect PrinterPageArea(const QPrinter& Printer) {
    const QRect paper = Printer.paperRect(QPrinter::DevicePixel).toAlignedRect();
    const QRect page = Printer.pageRect(QPrinter::DevicePixel).toAlignedRect();
    const int sideMargin = CmToPixels(PrintMarginSideCm, Printer.logicalDpiX());
    const int vertMargin = CmToPixels(PrintMarginTopBottomCm, Printer.logicalDpiY());
    // Painters on a printer count from the top-left of the printable part, so
    // what the printer leaves blank anyway is already part of the margin.
    const int offLeft = Printer.fullPage() ? 0 : page.left() - paper.left();
    const int offTop = Printer.fullPage() ? 0 : page.top() - paper.top();
    const int offRight = Printer.fullPage() ? 0 : paper.right() - page.right();
    const int offBottom = Printer.fullPage() ? 0 : paper.bottom() - page.bottom();
    const int width = Printer.fullPage() ? paper.width() : page.width();
    const int height = Printer.fullPage() ? paper.height() : page.height();
    TRect area;
    area.Left = std::max(0, sideMargin - offLeft);
    area.Top = std::max(0, vertMargin - offTop);
    area.Right = width - std::max(0, sideMargin - offRight);
    area.Bottom = height - std::max(0, vertMargin - offBottom);
    // A sheet narrower than its margins still gets a usable, if tiny, area.
    if (area.Right <= area.Left) area.Right = area.Left + 1;
    if (area.Bottom <= area.Top) area.Bottom = area.Top + 1;
    return area;
}

// --- Header and footer -------------------------------------------------------

void TGVKopfFussZeile::SetTexts(const std::vector<std::string>& Texts) {
    Left = Texts.size() > 0 ? Texts[0] : std::string();
    Center = Texts.size() > 1 ? Texts[1] : std::string();
    Right = Texts.size() > 2 ? Texts[2] : std::string();
}

int TGVKopfFussZeile::LineHeight(TCanvas& Canvas) { return Canvas.TextHeight("gH"); }

void TGVKopfFussZeile::Draw(TCanvas& Canvas, const TRect& Area, bool AtTop) const {
    const int h = LineHeight(Canvas);
    const int top = AtTop ? Area.Top : Area.Bottom - h;
    const int third = Area.Width() / 3;
    const TBrushStyle saved = Canvas.Brush.Style;
    Canvas.Brush.Style = TBrushStyle::Clear;
    if (!Left.empty())
        Canvas.TextEllipsis({Area.Left, top, Area.Left + third, top + h}, Left, THorzAlign::Left,
                            TVertAlign::Center);
    if (!Center.empty())
        Canvas.TextEllipsis({Area.Left + third, top, Area.Left + 2 * third, top + h}, Center,
                            THorzAlign::Center, TVertAlign::Center);
    if (!Right.empty())
        Canvas.TextEllipsis({Area.Left + 2 * third, top, Area.Right, top + h}, Right, THorzAlign::Right,
                            TVertAlign::Center);
    Canvas.Brush.Style = saved;
}

// --- Printer page ------------------------------------------------------------

TGVPrinterPage::TGVPrinterPage(QPrinter& Printer) : printer_(Printer) {
    Font.Name = "Arial";
    Font.SetSize(12);
}

TGVPrinterPage::~TGVPrinterPage() {
    if (painter_ && painter_->isActive()) painter_->end();
}

void TGVPrinterPage::BeginPage() {
    if (painter_) return;
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&printer_)) throw EPrintError("The printer could not be started.");
    painter_ = std::move(painter);
    canvas_ = std::make_unique<TCanvas>(*painter_);
    canvas_->PixelsPerInch = printer_.logicalDpiY();
    StartSheet();
}

void TGVPrinterPage::StartSheet() {
    pageArea_ = PrinterPageArea(printer_);
    Area = pageArea_;
    canvas_->Font = Font;
    canvas_->Brush.Style = TBrushStyle::Clear;
    const int h = TGVKopfFussZeile::LineHeight(*canvas_);
    if (Kopfzeile.Enabled) {
        Kopfzeile.Draw(*canvas_, Area, true);
        Area.Top += 2 * h;
    }
    if (Fusszeile.Enabled) {
        Fusszeile.Draw(*canvas_, Area, false);
        Area.Bottom -= 2 * h;
    }
}

void TGVPrinterPage::NewPage() {
    if (!painter_) return;
    if (!printer_.newPage()) throw EPrintError("The printer could not start a new page.");
    StartSheet();
}

void TGVPrinterPage::WriteLine(std::string_view Text) {
    if (!painter_) return;
    canvas_->Font = Font;
    canvas_->Brush.Style = TBrushStyle::Clear;
    canvas_->TextOut(Area.Left, Area.Top, Text);
    Area.Top += std::max(canvas_->TextHeight(Text), canvas_->TextHeight("gH"));
}

void TGVPrinterPage::EndPage() {
    if (!painter_) return;
    canvas_.reset();
    const bool ok = painter_->end();
    painter_.reset();
    if (!ok || printer_.printerState() == QPrinter::Error)
        throw EPrintError("The printout could not be written.");
}

void PrintStretched(TGVPrinterPage& Page, const TRect& Dest, const TBitmap& Picture) {
    if (!Page.Printing() || Picture.Empty() || Dest.IsEmpty()) return;
    QPainter& p = Page.Painter();
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(Dest.ToQRect(), Picture.Image());
    p.restore();
}

int PrintTable(QPrinter& Printer, int GridWidth, const TGridPainter& PaintGrid,
               const std::vector<std::string>& Header, const std::string& Title,
               const std::vector<std::string>& Footer) {
    TGVPrinterPage page(Printer);
    page.Kopfzeile.Enabled = !Header.empty();
    page.Kopfzeile.SetTexts(Header);
    page.Fusszeile.Enabled = !Footer.empty();
    page.Fusszeile.SetTexts(Footer);
    page.Font.Name = "Arial";
    page.Font.SetSize(12);
    page.Font.Bold = false;
    page.BeginPage();
    page.WriteLine("");
    page.Font.SetSize(24);
    page.Font.Bold = true;
    page.WriteLine(Title);
    page.WriteLine("");
    page.Font.SetSize(14);
    page.Font.Bold = true;
    page.Canvas().Font = page.Font;
    // The table fills its cells with their own colours, starting from white.
    page.Canvas().Brush = TBrush{TBrushStyle::Solid, clWhite};
    // An empty or absurdly wide table still prints, at its own size.
    const int scale = GridWidth > 0 ? std::max(1, page.Area.Width() / GridWidth) : 1;
    if (PaintGrid) PaintGrid(page.Canvas(), page.Area.TopLeft(), scale);
    page.EndPage();
    return scale;
}

int PrintHighscore(QPrinter& Printer, TSmallGrid& Grid, const TMultiLanguage& Lng, int Variant) {
    const std::vector<std::string> header{"TESSUM \xae", Lng.GetText("c_version"),
                                          Lng.GetText("c_variant") + " " + std::to_string(Variant)};
    const std::vector<std::string> footer{config::PrintedWebAddress, "", Lng.GetText("c_page") + " 1"};
    return PrintTable(
        Printer, Grid.TotalColWidth(),
        [&Grid](TCanvas& Canvas, TPoint Origin, int Scale) { Grid.PaintTo(Canvas, Origin, Scale); }, header,
        "Highscore:", footer);
}

bool PrintHighscoreCommand(QWidget* Parent, TSmallGrid& Grid, const TMultiLanguage& Lng, int Variant) {
    QPrinter printer(QPrinter::HighResolution);
    if (!ChoosePrinter(printer, Parent)) return false;
    try {
        PrintHighscore(printer, Grid, Lng, Variant);
        return true;
    } catch (const std::exception& e) {
        LngMessageDlg(std::string(e.what()), mtError, {mbOK});
        return false;
    }
}

bool ChoosePrinter(QPrinter& Printer, QWidget* Parent) {
    QPrintDialog dialog(&Printer, Parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace tessum
