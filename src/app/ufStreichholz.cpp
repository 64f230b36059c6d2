#include "app/ufStreichholz.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <random>

#include "i18n/Ansi.h"
#include "graphics/Graphics.h"
#include "i18n/MultiLanguage.h"
#include "graphics/uTBitmapLayer.h"
#include "graphics/uTGFXFile.h"

namespace tessum {

namespace {

constexpr int PictureWidth = 400;
constexpr int PictureHeight = 300;

std::mt19937& CoinGenerator() {
    static std::mt19937 generator{std::random_device{}()};
    return generator;
}

// Stand-in for the archive's opening picture: two match heads of equal
// length peeping out of a closed hand, on the wooden table.
void PaintHiddenMatches(TBitmap& Picture) {
    Picture.SetSize(PictureWidth, PictureHeight);
    QPainter p(&Picture.Image());
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient wood(0, 0, 0, PictureHeight);
    wood.setColorAt(0, QColor(122, 78, 40));
    wood.setColorAt(1, QColor(84, 50, 24));
    p.fillRect(0, 0, PictureWidth, PictureHeight, wood);
    p.setPen(QPen(QColor(70, 42, 20), 2));
    for (int y = 18; y < PictureHeight; y += 37) p.drawLine(0, y, PictureWidth, y + 6);
    for (int x : {170, 222}) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(236, 206, 150));
        p.drawRect(x, 95, 9, 120);
        p.setBrush(QColor(178, 28, 24));
        p.drawEllipse(QRectF(x - 2.5, 84, 14, 20));
    }
    QPainterPath fist;
    fist.addRoundedRect(QRectF(120, 170, 160, 105), 40, 40);
    p.setPen(QPen(QColor(150, 100, 70), 2));
    p.setBrush(QColor(232, 184, 150));
    p.drawPath(fist);
    p.setPen(QPen(QColor(190, 135, 105), 2));
    for (int i = 0; i < 3; ++i) p.drawArc(QRectF(140 + i * 40, 176, 40, 28), 200 * 16, 140 * 16);
}

}  // namespace

int DrawCoin() { return std::uniform_int_distribution<int>(0, 1)(CoinGenerator()); }

void SeedDrawCoin(std::uint32_t Seed) { CoinGenerator().seed(Seed); }


TfStreichholz::TfStreichholz(QWidget* Parent) : QDialog(Parent), Picture_(std::make_unique<TBitmap>()) {
    setObjectName(QStringLiteral("fStreichholz"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    QFrame* header = MakeDialogHeader(this, lDescHead, lDesc);

    iStreichholz = new QLabel(this);
    iStreichholz->setObjectName(QStringLiteral("iStreichholz"));
    iStreichholz->setFixedSize(PictureWidth, PictureHeight);

    bLeft = new QPushButton(this);
    bLeft->setObjectName(QStringLiteral("bLeft"));
    bRight = new QPushButton(this);
    bRight->setObjectName(QStringLiteral("bRight"));
    for (QPushButton* b : {bLeft, bRight}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(110);
        // Which match was picked does not matter; both toss the same coin.
        connect(b, &QPushButton::clicked, this, &TfStreichholz::bLeftClick);
    }

    auto* picture = new QHBoxLayout;
    picture->addStretch();
    picture->addWidget(iStreichholz);
    picture->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bLeft);
    buttons->addSpacing(PictureWidth / 4);
    buttons->addWidget(bRight);
    buttons->addStretch();
    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 12, 12, 12);
    body->setSpacing(10);
    body->addLayout(picture);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addLayout(body);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The opening picture comes with the artwork when it is there.
    try {
        TGFXFile archive;
        // At the screen's scale, so the picture and the text on it are sharp.
        archive.LoadForScale(DataFile("holz.gfx"), BoardScale());
        TJPEGImage start;
        archive.GetJPEG("holzstart", start);
        if (!start.Empty()) Picture_->Assign(start);
    } catch (const std::exception&) {
        // Missing or damaged artwork: the painted stand-in below serves.
    }
    if (Picture_->Empty()) PaintHiddenMatches(*Picture_);
    ShowPicture();

    lng = new TMultiLanguage(this);
    lng->setObjectName(QStringLiteral("lng"));
    lng->LoadScript(QStringLiteral(":/lng/fStreichholz.lng"));
}

TfStreichholz::~TfStreichholz() = default;

void TfStreichholz::SetLanguage(const std::string& Language) { lng->SetLanguage(Language); }

void TfStreichholz::SetPlayers(const std::string& Player1, const std::string& Player2) {
    Player1Name = Player1;
    Player2Name = Player2;
    lDesc->setText(FromAnsi(FormatNames(ToAnsi(lDesc->text()), Player2Name, Player1Name)));
}

void TfStreichholz::ShowPicture() {
    iStreichholz->setPixmap(QPixmap::fromImage(Picture_->Image()));
}

void TfStreichholz::bLeftClick() {
    if (Drawing_ || DrawDone_) return;
    Drawing_ = true;
    bLeft->setEnabled(false);
    bRight->setEnabled(false);

    Won_ = DrawCoin() == 0;
    try {
        TGFXFile archive;
        // At the screen's scale, so the picture and the text on it are sharp.
        archive.LoadForScale(DataFile("holz.gfx"), BoardScale());
        TJPEGImage result;
        archive.GetJPEG(Won_ ? "holzw" : "holzl", result);
        if (!result.Empty()) Picture_->Assign(result);
    } catch (const std::exception&) {
        // Without the artwork the result is still written on the current
        // picture: the draw must finish, or the window could never close.
    }

    const std::string& winner = Won_ ? Player2Name : Player1Name;
    TCanvas& canvas = Picture_->Canvas();
    canvas.Brush.Style = TBrushStyle::Clear;
    canvas.Font.Name = "Tahoma";
    canvas.Font.SetSize(12);
    canvas.Font.Bold = true;
    canvas.Font.Color = clWhite;
    // The band above the matches holds two lines at size 12; a long name or
    // the longer German sentence needs a third, so the text gets smaller
    // rather than cut, and the band grows only when even size 9 needs it.
    const std::string message = FormatNames(lng->GetText("msgfirstmove"), winner);
    const int width = Picture_->Width() - 20;
    TRect band{10, 5, Picture_->Width() - 10, 50};
    while (canvas.TextWrappedHeight(width, message) > band.Height() && canvas.Font.Size > 9)
        canvas.Font.SetSize(canvas.Font.Size - 1);
    band.Bottom = std::max(band.Bottom, std::min(Picture_->Height(), band.Top + canvas.TextWrappedHeight(width, message)));
    canvas.TextWrappedCentered(band, message);
    ShowPicture();

    QPointer<TfStreichholz> self(this);
    iStreichholz->repaint();
    Delay(PauseMilliseconds);
    if (!self) return;
    Drawing_ = false;
    DrawDone_ = true;
    accept();
}

void TfStreichholz::reject() {
    if (DrawDone_) QDialog::reject();
}

void TfStreichholz::closeEvent(QCloseEvent* Event) {
    if (!DrawDone_) {
        Event->ignore();
        return;
    }
    QDialog::closeEvent(Event);
}

}  // namespace tessum
