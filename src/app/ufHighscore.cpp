#include "app/ufHighscore.h"

#include "app/uDialogParts.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaMethod>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

#include "graphics/Graphics.h"
#include "i18n/MultiLanguage.h"
#include "app/SmallGrid.h"
#include "i18n/TRadioGroup.h"
#include "i18n/lngDialogs.h"
#include "app/uGVHelpPrinting.h"
#include "game/uProfile.h"
#include "highscore/uTHighscore.h"

namespace tessum {

namespace {

constexpr TColor HighlightColor = RGBColor(255, 128, 64);
constexpr const char* TitleKeys[TfHighscore::ColumnCount] = {"c_number", "c_name", "c_time", "c_moves",
                                                             "c_points"};
constexpr const char* FieldNames[TfHighscore::ColumnCount] = {"", "name", "zeit", "runden", "punkte"};

// The small board with a few stones in the corner of the header.
QPixmap PaintLogo() {
    QPixmap pm(64, 64);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 55, 25), 1.5));
    p.setBrush(QColor(176, 118, 62));
    p.drawRoundedRect(QRectF(2, 14, 60, 36), 9, 9);
    p.setBrush(QColor(120, 74, 36));
    p.drawEllipse(QRectF(5, 20, 9, 24));
    p.drawEllipse(QRectF(50, 20, 9, 24));
    for (int row = 0; row < 2; ++row)
        for (int i = 0; i < 3; ++i) p.drawEllipse(QRectF(17 + i * 11, 18 + row * 15, 9, 12));
    const QColor stones[] = {QColor(40, 90, 170), QColor(200, 40, 40), QColor(40, 150, 70)};
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 5; ++k) {
        p.setBrush(stones[k % 3]);
        p.drawEllipse(QRectF(18.5 + (k % 3) * 11, 21 + (k / 3) * 15, 5, 5));
    }
    p.setBrush(stones[1]);
    p.drawEllipse(QRectF(7, 28, 5, 5));
    return pm;
}

}  // namespace

TfHighscore::TfHighscore(QWidget* Parent) : QDialog(Parent), Table_(std::make_unique<THighscore>()) {
    setObjectName(QStringLiteral("fHighscore"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    QFrame* header = MakeHeaderPanel(this, lDescHead, lDesc);
    // 80 pixels hold the three lines of description beside the picture at the
    // usual font; a larger font or a longer translation makes the band grow.
    header->setMinimumHeight(80);
    QFont small = lDesc->font();
    small.setPointSizeF(std::min<qreal>(small.pointSizeF(), 8.0));
    lDesc->setFont(small);
    iLogo = new QLabel(header);
    iLogo->setObjectName(QStringLiteral("iLogo"));
    iLogo->setFixedSize(64, 64);
    iLogo->setPixmap(PaintLogo());
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(lDescHead);
    texts->addWidget(lDesc, 1);
    auto* hl = new QHBoxLayout(header);
    hl->setContentsMargins(12, 4, 8, 4);
    hl->addLayout(texts, 1);
    hl->addWidget(iLogo, 0, Qt::AlignVCenter);

    rgVariante = new TRadioGroup(this);
    rgVariante->setObjectName(QStringLiteral("rgVariante"));
    rgVariante->SetColumns(3);
    rgVariante->SetItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});

    sgHighscore = new TSmallGrid;
    sgHighscore->setObjectName(QStringLiteral("sgHighscore"));
    sgHighscore->SetColCount(ColumnCount);
    sgHighscore->OnGetColWidth = [](TSmallGrid&, int aCol, int& aWidth) {
        if (aCol >= 0 && aCol < ColumnCount) aWidth = ColumnWidths[static_cast<std::size_t>(aCol)];
    };
    sgHighscore->OnGetRowHeight = [](TSmallGrid&, int aRow, int& aHeight) {
        if (aRow == 0) aHeight = TitleRowHeight;
    };
    sgHighscore->OnGetCellStr = [this](TSmallGrid&, int aCol, int aRow, std::string& aCell) {
        aCell = CellText(aCol, aRow);
    };
    sgHighscore->OnGetCellAlignment = [](TSmallGrid&, int aCol, int aRow, THorzAlign& h, TVertAlign& v) {
        v = TVertAlign::Center;
        if (aRow == 0 || aCol == 0)
            h = THorzAlign::Center;
        else
            h = aCol == 1 ? THorzAlign::Left : THorzAlign::Right;
    };
    sgHighscore->OnGetCellColorBG = [](TSmallGrid& Grid, int aCol, int aRow, TColor& aColor) {
        const QPalette& p = Grid.palette();
        if (aRow == 0)
            aColor = p.color(QPalette::Button).rgb();
        else if (Grid.IsSelected(aCol, aRow))
            aColor = HighlightColor;
        else
            aColor = (aRow % 2 == 0 ? p.color(QPalette::Base) : p.color(QPalette::ToolTipBase)).rgb();
    };
    sgHighscore->SetRowCount(1);

    sbHighscore = new QScrollArea(this);
    sbHighscore->setObjectName(QStringLiteral("sbHighscore"));
    sbHighscore->setFrameShape(QFrame::NoFrame);
    sbHighscore->setWidget(sgHighscore);
    sbHighscore->setWidgetResizable(false);
    sbHighscore->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    sbHighscore->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sbHighscore->verticalScrollBar()->setSingleStep(RowHeight);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    bbOK = new QPushButton(this);
    bbOK->setObjectName(QStringLiteral("bbOK"));
    bbOK->setDefault(true);
    bbPrint = new QPushButton(this);
    bbPrint->setObjectName(QStringLiteral("bbPrint"));
    bbnetHighscore = new QPushButton(this);
    bbnetHighscore->setObjectName(QStringLiteral("bbnetHighscore"));
    for (QPushButton* b : {bbPrint, bbnetHighscore}) b->setAutoDefault(false);
    for (QPushButton* b : {bbOK, bbPrint}) b->setMinimumWidth(80);
    connect(bbOK, &QPushButton::clicked, this, &TfHighscore::accept);
    connect(bbPrint, &QPushButton::clicked, this, [this] { bbPrintClick(); });
    connect(bbnetHighscore, &QPushButton::clicked, this, [this] { bbnetHighscoreClick(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bbOK);
    buttons->addStretch();
    buttons->addWidget(bbPrint);
    buttons->addWidget(bbnetHighscore);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(10, 6, 10, 10);
    body->setSpacing(6);
    body->addWidget(rgVariante);
    body->addWidget(sbHighscore, 1);
    body->addWidget(line);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addLayout(body, 1);
    // The table needs its full width; everything else follows the layout, so
    // nothing clips at other fonts or scale factors, and a taller dialog shows
    // more rows.
    sbHighscore->setMinimumWidth(sgHighscore->width() + sbHighscore->verticalScrollBar()->sizeHint().width());
    sbHighscore->setMinimumHeight(TitleRowHeight + 5 * RowHeight);
    resize(std::max(454, sizeHint().width()), std::max(357, sizeHint().height()));

    connect(rgVariante, &TRadioGroup::ItemIndexChanged, this, [this](int) { rgVarianteClick(); });

    lng = new TMultiLanguage(this);
    lng->setObjectName(QStringLiteral("lng"));
    lng->OnTranslate = [this](QObject*) { Translated(); };
    lng->LoadScript(QStringLiteral(":/lng/fHighscore.lng"));
    bbPrint->setEnabled(false);
    bbnetHighscore->setEnabled(false);
}

TfHighscore::~TfHighscore() = default;

void TfHighscore::SetLanguage(const std::string& Language) { lng->SetLanguage(Language); }

void TfHighscore::Translated() {
    for (int c = 0; c < ColumnCount; ++c) Titles_[static_cast<std::size_t>(c)] = lng->GetText(TitleKeys[c]);
    sgHighscore->update();
}

void TfHighscore::SetGame(int GameVariantIndex, int HighlightRow) {
    GameVariant_ = GameVariantIndex;
    HighlightRow_ = HighlightRow;
}

int TfHighscore::BestRank(int Rank1, int Rank2) {
    if (Rank1 > 0 && (Rank2 <= 0 || Rank1 <= Rank2)) return Rank1;
    return Rank2 > 0 ? Rank2 : -1;
}

int TfHighscore::Execute() {
    ShowVariant(GameVariant_ >= 0 && GameVariant_ < 3 ? GameVariant_ : 0);
    return exec();
}

int TfHighscore::Show(int GameVariantIndex, int HighlightRow) {
    SetGame(GameVariantIndex, HighlightRow);
    return Execute();
}

void TfHighscore::ShowVariant(int Index) {
    if (rgVariante->ItemIndex() == Index)
        rgVarianteClick();
    else
        rgVariante->SetItemIndex(Index);
}

int TfHighscore::ShownVariant() const { return rgVariante->ItemIndex(); }

void TfHighscore::rgVarianteClick() {
    const int index = rgVariante->ItemIndex();
    if (index < 0) return;
    Table_->Clear();
    try {
        Table_->LoadFromFile(HighscoreFileName(UserDataFolder(), index + 1));
    } catch (const std::exception& e) {
        // A damaged table is reported and shown as empty; the file stays as
        // it is until a new result replaces it.
        Table_->Clear();
        LngMessageDlg(std::string(e.what()), mtError, {mbOK});
    }
    Placeholder_ = false;
    if (Table_->Count() == 0) {
        Table_->AddScore(lng->GetText("emptyitem"), 0, 0, 0, 0, false, "", "");
        Placeholder_ = true;
    }
    sgHighscore->SetRowCount(Table_->Count() + 1);
    const int marked = index == GameVariant_ ? HighlightRow_ : -1;
    sgHighscore->SelectRow(marked);
    if (marked > 0) {
        int y = TitleRowHeight + (marked - 1) * RowHeight;
        sbHighscore->ensureVisible(0, y + RowHeight / 2, 0, RowHeight);
    } else {
        sbHighscore->verticalScrollBar()->setValue(0);
    }
    sgHighscore->update();
    bbPrint->setEnabled(!Placeholder_);
    bbnetHighscore->setEnabled(!Placeholder_);
}

std::string TfHighscore::CellText(int aCol, int aRow) const {
    if (aCol < 0 || aCol >= ColumnCount || aRow < 0) return "";
    if (aRow == 0) return Titles_[static_cast<std::size_t>(aCol)];
    if (aRow > Table_->Count()) return "";
    if (aCol == 0) return std::to_string(aRow);
    return Table_->GetValueText(FieldNames[aCol], aRow - 1);
}

void TfHighscore::bbPrintClick() {
    // Someone attached to the signal takes the printing over; otherwise the
    // dialog prints the shown table itself.
    if (isSignalConnected(QMetaMethod::fromSignal(&TfHighscore::PrintRequested))) {
        emit PrintRequested();
        return;
    }
    PrintHighscoreCommand(this, *sgHighscore, *lng, ShownVariant() + 1);
}

void TfHighscore::bbnetHighscoreClick() {
    if (!Submitting_) emit NetHighscoreRequested();
}

void TfHighscore::SetSubmitting(bool Submitting) {
    Submitting_ = Submitting;
    for (QWidget* w : std::initializer_list<QWidget*>{rgVariante, bbOK, bbPrint, bbnetHighscore})
        w->setEnabled(!Submitting);
    if (!Submitting) {
        // Printing and sending are offered only for a real table.
        bbPrint->setEnabled(!Placeholder_);
        bbnetHighscore->setEnabled(!Placeholder_);
        if (CloseWhenDone_) {
            CloseWhenDone_ = false;
            QDialog::reject();
        }
    }
}

void TfHighscore::reject() {
    if (Submitting_) {
        // The dialog stays until the submission has unwound; hiding it now
        // would leave the submission's messages to pop up over the board.
        CloseWhenDone_ = true;
        emit CancelSubmitRequested();
        return;
    }
    QDialog::reject();
}

void TfHighscore::closeEvent(QCloseEvent* Event) {
    if (Submitting_) {
        Event->ignore();
        reject();
        return;
    }
    QDialog::closeEvent(Event);
}

}  // namespace tessum
