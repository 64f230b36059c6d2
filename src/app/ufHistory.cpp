#include "app/ufHistory.h"

#include "app/uDialogParts.h"

#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>

#include "i18n/Ansi.h"
#include "i18n/MultiLanguage.h"
#include "i18n/lngDialogs.h"
#include "app/uConfig.h"
#include "app/uGVHelpPrinting.h"
#include "graphics/uSmallBoard.h"
#include "board/uTFeld.h"
#include "graphics/uTGFXFile.h"
#include "records/uTHistory.h"

namespace tessum {

namespace {

// Where the numbers start inside a board background.
constexpr int BoardInsetX = 8;
constexpr int BoardInsetY = 9;
// The right edge of an entry's number, from the left of its cell.
constexpr int NumberRight = 18;
constexpr int NumberTop = 2;

constexpr int FallbackBoardWidth = 199;
constexpr int FallbackBoardHeight = 62;


// The 64 x 64 emblem of the header: a few board pits with stones.
QPixmap HeaderEmblem() {
    QPixmap pix(64, 64);
    pix.fill(Qt::white);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(110, 70, 30), 2));
    p.setBrush(QColor(196, 140, 80));
    p.drawRoundedRect(QRectF(4, 14, 56, 36), 10, 10);
    p.setBrush(QColor(150, 100, 50));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) p.drawEllipse(QRectF(9 + i * 16, 21, 14, 22));
    p.setBrush(QColor(51, 204, 51));
    p.drawEllipse(QRectF(12, 26, 7, 7));
    p.setBrush(QColor(187, 187, 0));
    p.drawEllipse(QRectF(29, 31, 7, 7));
    p.setBrush(QColor(240, 240, 240));
    p.drawEllipse(QRectF(44, 25, 7, 7));
    p.drawEllipse(QRectF(46, 33, 7, 7));
    return pix;
}

}  // namespace

void MakeFallbackSmallBoard(TBitmap& Board) {
    Board.SetSize(FallbackBoardWidth, FallbackBoardHeight);
    TCanvas& c = Board.Canvas();
    c.Brush = TBrush{TBrushStyle::Solid, RGBColor(236, 222, 196)};
    c.Pen = TPen{RGBColor(150, 110, 70), 1};
    c.Rectangle(Bounds(0, 0, FallbackBoardWidth, FallbackBoardHeight));
}

int BuildHistoryPicture(const THistory& History, const TBitmap& Board, TBitmap& Picture) {
    const int n = History.Count();
    const int w = Board.Width();
    const int h = Board.Height();
    const long long width = std::min(2, n) * static_cast<long long>(w) + HistoryPictureSlack;
    const long long height = ((n - 1) / 2 + 1) * static_cast<long long>(h);
    // Real games stay far below this; a doctored saved game with endless
    // entries must not make the dialog allocate gigabytes.
    if (width * height > MaxHistoryPicturePixels) throw EInvalidGraphic("The history is too long to be shown.");
    Picture.SetSize(static_cast<int>(width), static_cast<int>(height));
    if (Picture.Empty()) return n;
    TCanvas& c = Picture.Canvas();
    c.Brush = TBrush{TBrushStyle::Solid, clWhite};
    c.FillRect(Bounds(0, 0, Picture.Width(), Picture.Height()));

    TFeld feld;
    feld.StonesPerPit = History.StonesPerPit;
    feld.UseEndPits = History.UseEndPits;
    feld.Variant = History.Variant;
    feld.Reset();
    feld.Player = History.StartPlayer;
    for (int k = 0; k < n; ++k) {
        const TMove& move = History.Items(k);
        if (move.Pit != 0)
            feld.DoMove(move.Pit);
        else
            feld.Skip();
        const int x = (w + HistoryNumberMargin) * (k % 2);
        const int y = h * (k / 2);
        c.Draw(x + HistoryNumberMargin, y, Board);
        DrawSmall(feld, c, {x + HistoryNumberMargin + BoardInsetX, y + BoardInsetY}, move.Pit);
        const std::string number = std::to_string(k + 1) + ".";
        c.Font.Color = clBlack;
        c.Brush.Style = TBrushStyle::Clear;
        c.TextOut(x + NumberRight - c.TextWidth(number), y + NumberTop, number);
    }
    return n;
}

// --- Printout ------------------------------------------------------------------

int THistoryPrintLayout::Pages(int Count) const {
    if (PerPage <= 0) return 1;
    return (Count - 1) / PerPage + 1;
}

TRect THistoryPrintLayout::CellRect(int Number) const {
    const int j = PerPage > 0 ? (Number - 1) % PerPage + 1 : Number;
    const int left = CellArea.Left + ((j - 1) % 4) * (CellWidth + Gap);
    const int top = CellArea.Top + ((j - 1) / 4) * (CellHeight + Gap);
    return Bounds(left, top, CellWidth, CellHeight);
}

THistoryPrintLayout HistoryPrintLayout(const TRect& PageArea, int TextHeight, int CellW, int CellH) {
    THistoryPrintLayout l;
    l.FontHeight = std::max(1, PageArea.Height() / 60);
    l.TextHeight = TextHeight;
    l.CellArea = PageArea;
    l.CellArea.Top += 5 * TextHeight;
    l.CellArea.Bottom -= TextHeight;
    const double a = PageArea.Width();
    // nearbyint rounds halves to even, as the printer driver's rounding did.
    l.CellWidth = std::max(1, static_cast<int>(std::nearbyint(a / 4.0 * 0.97)));
    const double shape = CellW > 0 && CellH > 0 ? static_cast<double>(CellH) / CellW : 0.28310502283105022832;
    l.CellHeight = std::max(1, static_cast<int>(std::nearbyint(l.CellWidth * shape)));
    l.Gap = std::max(0, static_cast<int>(std::nearbyint((a - 4.0 * l.CellWidth) / 3.0)));
    // A page too small for one row still takes one row, so the page count
    // never divides by zero; the boards then run over the bottom margin.
    const int rows = std::max(1, l.CellArea.Height() / (l.CellHeight + l.Gap));
    l.PerPage = rows * 4;
    return l;
}

TFont HistoryPrintFont(const QPrinter& Printer) {
    TFont f;
    f.Name = "Arial";
    f.Bold = false;
    f.Height = std::max(1, PrinterPageArea(Printer).Height() / 60);
    return f;
}

THistoryPrintLayout HistoryPrintLayoutFor(const QPrinter& Printer, int CellW, int CellH) {
    // The same measure as a canvas on the printer takes: the font's line height.
    const QFontMetrics metrics(HistoryPrintFont(Printer).ToQFont(Printer.logicalDpiY()),
                               &Printer);
    return HistoryPrintLayout(PrinterPageArea(Printer), metrics.height(), CellW, CellH);
}

void PrintHistory(QPrinter& Printer, const TBitmap& Picture, int Count, int CellW, int CellH,
                  const THistoryPrintTexts& Texts) {
    TGVPrinterPage page(Printer);
    page.Font = HistoryPrintFont(Printer);
    const THistoryPrintLayout layout = HistoryPrintLayoutFor(Printer, CellW, CellH);
    page.Kopfzeile.Enabled = true;
    page.Kopfzeile.SetTexts({"TESSUM \xae", Texts.Version, Texts.Variant});
    page.Fusszeile.Enabled = true;
    page.BeginPage();

    const int h = layout.FontHeight;
    const int pages = layout.Pages(Count);
    constexpr int perRow = 2;  // as BuildHistoryPicture lays the boards out
    TBitmap cell(std::max(1, CellW), std::max(1, CellH));

    for (int p = 1; p <= pages; ++p) {
        if (p > 1) page.NewPage();
        TCanvas& c = page.Canvas();
        const TRect area = page.PageArea();
        // The footer counts the pages; it is drawn here because it changes per sheet.
        TGVKopfFussZeile footer;
        footer.SetTexts({config::PrintedWebAddress, "",
                         Texts.Page + " " + std::to_string(p) + " / " + std::to_string(pages)});
        footer.Draw(c, area, false);

        TFont titleFont = page.Font;
        titleFont.Height = 0;
        titleFont.SetSize(24);
        titleFont.Bold = true;
        c.Font = titleFont;
        c.Brush.Style = TBrushStyle::Clear;
        c.TextEllipsis({area.Left, area.Top + 2 * h, area.Right, area.Top + 5 * h}, Texts.Title + ":",
                       THorzAlign::Left, TVertAlign::Center);
        c.Font = page.Font;

        const int first = (p - 1) * layout.PerPage + 1;
        const int last = std::min(p * layout.PerPage, Count);
        for (int i = first; i <= last; ++i) {
            const TRect src = Bounds(CellW * ((i - 1) % perRow), CellH * ((i - 1) / perRow), CellW, CellH);
            cell.Canvas().CopyRect(Bounds(0, 0, CellW, CellH), Picture.Canvas(), src);
            PrintStretched(page, layout.CellRect(i), cell);
        }
    }
    page.EndPage();
}

// --- Dialog --------------------------------------------------------------------

TfHistory::TfHistory(QWidget* Parent) : QDialog(Parent), Picture_(std::make_unique<TBitmap>()) {
    setObjectName(QStringLiteral("fHistory"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMaximizeButtonHint);

    QFrame* panel = MakeHeaderPanel(this, lDescHead, lDesc);
    panel->setMinimumHeight(85);
    lDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Four lines of description fit the 85-pixel band beside the heading at
    // this font; other fonts and translations make the band grow.
    QFont small(InstalledFontName("Arial"));
    small.setPixelSize(11);
    lDesc->setFont(small);
    QFont head = small;
    head.setBold(true);
    lDescHead->setFont(head);
    auto* emblem = new QLabel(panel);
    emblem->setPixmap(HeaderEmblem());
    emblem->setFixedSize(64, 64);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(1);
    texts->addWidget(lDescHead);
    texts->addWidget(lDesc, 1);
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->setContentsMargins(10, 5, 8, 3);
    panelLayout->addLayout(texts, 1);
    panelLayout->addWidget(emblem, 0, Qt::AlignTop);

    sbHistory = new QScrollArea(this);
    sbHistory->setObjectName(QStringLiteral("sbHistory"));
    sbHistory->setMinimumSize(461, 205);
    sbHistory->setWidgetResizable(false);
    sbHistory->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sbHistory->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    sbHistory->viewport()->installEventFilter(this);
    sbHistory->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    sbHistory->verticalScrollBar()->setSingleStep(62);
    sbHistory->verticalScrollBar()->setTracking(true);
    iHistory = new QLabel;
    iHistory->setObjectName(QStringLiteral("iHistory"));
    iHistory->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    iHistory->setScaledContents(true);
    iHistory->resize(0, 0);
    sbHistory->setWidget(iHistory);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    bbOK = new QPushButton(this);
    bbOK->setObjectName(QStringLiteral("bbOK"));
    bbOK->setDefault(true);
    bbPrint = new QPushButton(this);
    bbPrint->setObjectName(QStringLiteral("bbPrint"));
    connect(bbOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bbPrint, &QPushButton::clicked, this, [this] { bbPrintClick(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(bbOK);
    buttons->addWidget(bbPrint);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 8);
    main->setSpacing(6);
    main->addWidget(panel);
    main->addWidget(sbHistory, 1);
    main->addWidget(line);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(8, 0, 8, 0);
    buttonRow->addLayout(buttons);
    main->addLayout(buttonRow);

    lng = new TMultiLanguage(this);
    lng->setObjectName(QStringLiteral("lng"));
    lng->OnTranslate = [this](QObject*) { UpdateDescription(); };
    lng->LoadScript(QStringLiteral(":/lng/fHistory.lng"));
    resize(std::max(468, sizeHint().width()), std::max(355, sizeHint().height()));
}

TfHistory::~TfHistory() = default;

bool TfHistory::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == sbHistory->viewport() && Event->type() == QEvent::Resize) FitPicture();
    return QDialog::eventFilter(Watched, Event);
}

void TfHistory::FitPicture() {
    if (Count_ <= 0 || Picture_->Empty()) {
        iHistory->resize(0, 0);
        return;
    }
    // The picture fills the width of the box at any dialog size, its shape
    // kept; the rows scroll.
    const int w = sbHistory->viewport()->width();
    const int h = static_cast<int>(std::lround(static_cast<double>(w) * Picture_->Height() / Picture_->Width()));
    iHistory->resize(w, h);
    sbHistory->verticalScrollBar()->setSingleStep(std::max(1, static_cast<int>(std::lround(62.0 * w / Picture_->Width()))));
}

void TfHistory::SetLanguage(const std::string& Language) { lng->SetLanguage(Language); }

void TfHistory::UpdateDescription() {
    lDesc->setText(FromAnsi(FormatNames(lng->GetText("lDesc.Caption"), Name1_, Name2_)));
}

void TfHistory::Fill(const THistory& History, const TBitmap& Board) {
    TBitmap fallback;
    const TBitmap* board = &Board;
    if (Board.Empty()) {
        MakeFallbackSmallBoard(fallback);
        board = &fallback;
    }
    CellW_ = board->Width() + HistoryNumberMargin;
    CellH_ = board->Height();
    Count_ = BuildHistoryPicture(History, *board, *Picture_);
    Variant_ = History.Variant;
    Name1_ = History.Name1;
    Name2_ = History.Name2;
    if (Count_ > 0) {
        iHistory->setPixmap(QPixmap::fromImage(Picture_->Image()));
        FitPicture();
    } else {
        iHistory->clear();
        iHistory->resize(0, 0);
    }
    UpdateDescription();
}

void TfHistory::Print(QPrinter& Printer) {
    THistoryPrintTexts texts;
    texts.Version = lng->GetText("c_version");
    texts.Variant = lng->GetText("c_variant") + " " + std::to_string(Variant_);
    texts.Title = lng->GetText("c_history");
    texts.Page = lng->GetText("c_page");
    PrintHistory(Printer, *Picture_, Count_, CellW_, CellH_, texts);
}

void TfHistory::bbPrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    if (!ChoosePrinter(printer, this)) return;
    try {
        Print(printer);
    } catch (const std::exception& e) {
        LngMessageDlg(std::string(e.what()), mtError, {mbOK});
    }
}

void ShowGameHistory(QWidget* Owner, const THistory& History, const std::string& Language) {
    TBitmap board;
    try {
        TGFXFile gfx;
        gfx.LoadFromFile(DataFile("game.gfx"));
        gfx.GetBitmap("smbrett", board);
    } catch (const std::exception&) {
        // Without the archive the history is still worth showing on plain boards.
        board.SetSize(0, 0);
    }
    TfHistory dialog(Owner);
    dialog.SetLanguage(Language);
    try {
        dialog.Fill(History, board);
    } catch (const std::exception& e) {
        LngMessageDlg(std::string(e.what()), mtError, {mbOK});
        return;
    }
    dialog.exec();
}

}  // namespace tessum
