#include "app/uRichText.h"

#include "app/uConfig.h"
#include "app/uOpenDocument.h"

#include <QAbstractTextDocumentLayout>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QScreen>
#include <QTextDocument>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <xcb/xcb.h>

namespace tessum {

namespace {
constexpr int kPad = 6;
constexpr int kRadius = 7;

QPainterPath HintOutline(const QSize& Size) {
    QPainterPath Path;
    Path.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(Size)).adjusted(0.5, 0.5, -0.5, -0.5), kRadius, kRadius);
    return Path;
}

// Under X11 a compositing manager owns the selection _NET_WM_CM_S<screen>.
bool X11CompositingActive() {
    const auto* X11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    // Other platforms (Wayland, offscreen) draw translucent windows themselves.
    if (X11 == nullptr || X11->connection() == nullptr) return true;
    xcb_connection_t* Connection = X11->connection();
    int Screen = 0;
    const QByteArray Display = qgetenv("DISPLAY");
    if (const qsizetype Dot = Display.lastIndexOf('.'); Dot > Display.lastIndexOf(':'))
        Screen = Display.mid(Dot + 1).toInt();
    const QByteArray Name = "_NET_WM_CM_S" + QByteArray::number(Screen);
    const xcb_intern_atom_cookie_t Cookie =
        xcb_intern_atom(Connection, 1, static_cast<uint16_t>(Name.size()), Name.constData());
    xcb_intern_atom_reply_t* Atom = xcb_intern_atom_reply(Connection, Cookie, nullptr);
    if (Atom == nullptr) return false;
    const xcb_atom_t Selection = Atom->atom;
    std::free(Atom);
    if (Selection == XCB_ATOM_NONE) return false;
    xcb_get_selection_owner_reply_t* Owner =
        xcb_get_selection_owner_reply(Connection, xcb_get_selection_owner(Connection, Selection), nullptr);
    if (Owner == nullptr) return false;
    const bool Active = Owner->owner != XCB_WINDOW_NONE;
    std::free(Owner);
    return Active;
}

}  // namespace

std::function<bool()> THTMLHint::CompositingActive = X11CompositingActive;

THTMLHint::THTMLHint(QWidget* Parent)
    : QWidget(Parent, Qt::ToolTip | Qt::FramelessWindowHint), doc_(new QTextDocument(this)) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    doc_->setDocumentMargin(0);
    SetFont("Tahoma", 8);
}

THTMLHint::~THTMLHint() = default;

void THTMLHint::SetImages(const QList<QImage>& Images) {
    images_ = Images;
    for (int i = 0; i < images_.size(); ++i) {
        doc_->addResource(QTextDocument::ImageResource, QUrl(QString("idx:%1").arg(i)), images_[i]);
    }
}

void THTMLHint::SetFont(const QString& Family, int PointSize) {
    QFont f(Family);
    f.setPointSize(PointSize);
    doc_->setDefaultFont(f);
}

QSize THTMLHint::sizeHint() const {
    const QSizeF s = doc_->size();
    return QSize(static_cast<int>(std::ceil(s.width())) + 2 * kPad, static_cast<int>(std::ceil(s.height())) + 2 * kPad);
}

void THTMLHint::Layout() {
    doc_->setTextWidth(-1);
    doc_->adjustSize();
    resize(sizeHint());
    if (CompositingActive && CompositingActive())
        clearMask();
    else
        setMask(QRegion(HintOutline(size()).toFillPolygon().toPolygon()));
}

void THTMLHint::ShowHint(const QString& Html, const QPoint& At) {
    html_ = Html;
    // Re-adding keeps the pictures when the document was cleared by setHtml.
    doc_->setHtml(Html);
    for (int i = 0; i < images_.size(); ++i) {
        doc_->addResource(QTextDocument::ImageResource, QUrl(QString("idx:%1").arg(i)), images_[i]);
    }
    Layout();
    QPoint pos = At + QPoint(12, 18);
    if (const QScreen* scr = QGuiApplication::screenAt(At)) {
        const QRect avail = scr->availableGeometry();
        if (pos.x() + width() > avail.right()) pos.setX(At.x() - width() - 4);
        if (pos.y() + height() > avail.bottom()) pos.setY(At.y() - height() - 4);
    }
    move(pos);
    show();
    raise();
    update();
}

void THTMLHint::CancelHint() {
    html_.clear();
    hide();
}

void THTMLHint::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = HintOutline(size());
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(255, 252, 232));
    g.setColorAt(1, QColor(246, 234, 196));
    p.fillPath(path, g);
    p.setPen(QPen(QColor(120, 84, 40), 1));
    p.drawPath(path);
    p.translate(kPad, kPad);
    doc_->drawContents(&p);
}

TSplashScreen::TSplashScreen(const QPixmap& Picture, int Milliseconds, QWidget* Parent)
    : QDialog(Parent, Qt::SplashScreen | Qt::FramelessWindowHint), picture_(Picture), ms_(Milliseconds) {
    setModal(true);
    setFixedSize(picture_.deviceIndependentSize().toSize());
}

int TSplashScreen::exec() {
    if (const QScreen* scr = QGuiApplication::primaryScreen()) {
        const QRect g = scr->availableGeometry();
        move(g.center() - QPoint(width() / 2, height() / 2));
    }
    QTimer::singleShot(ms_, this, &QDialog::accept);
    // QDialog::exec would wait for ever when the splash is closed while it
    // is being shown (a click, or anything else handled during show()),
    // before its own loop runs: then there is nothing left to wait for.
    QEventLoop Loop;
    connect(this, &QDialog::finished, &Loop, &QEventLoop::quit);
    setResult(0);
    show();
    if (isVisible()) Loop.exec(QEventLoop::DialogExec);
    return result();
}

void TSplashScreen::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, picture_);
}

void TSplashScreen::mousePressEvent(QMouseEvent*) {
    // A click is as good as waiting: nobody should have to sit through a splash.
    accept();
}

QPixmap TSplashScreen::DefaultPicture(const QString& Subtitle) {
    const int w = 420, h = 240;
    // Drawn at the screen's device pixels, so it is sharp at any scale factor.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen ? std::max<qreal>(1.0, screen->devicePixelRatio()) : 1.0;
    QImage img(static_cast<int>(std::ceil(w * ratio)), static_cast<int>(std::ceil(h * ratio)), QImage::Format_RGB32);
    img.setDevicePixelRatio(ratio);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient wood(0, 0, w, h);
    wood.setColorAt(0, QColor(176, 116, 58));
    wood.setColorAt(0.5, QColor(140, 86, 38));
    wood.setColorAt(1, QColor(98, 56, 22));
    p.fillRect(QRect(0, 0, w, h), wood);
    // Grain: long soft curves across the plate.
    for (int i = 0; i < 34; ++i) {
        QPainterPath grain;
        const double y = i * 7.3 + 3;
        grain.moveTo(0, y);
        grain.cubicTo(w * 0.3, y + 6 * std::sin(i * 1.7), w * 0.6, y - 5 * std::cos(i * 0.9), w, y + 3 * std::sin(i));
        p.setPen(QPen(QColor(70, 38, 12, 40 + (i % 3) * 18), 1.2));
        p.drawPath(grain);
    }
    // Two rows of pits as a border motif.
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < 6; ++i) {
            const QPointF c(95 + i * 46, row == 0 ? 44 : h - 44);
            QRadialGradient hole(c + QPointF(-4, -4), 20);
            hole.setColorAt(0, QColor(60, 32, 10));
            hole.setColorAt(1, QColor(112, 68, 30));
            p.setPen(Qt::NoPen);
            p.setBrush(hole);
            p.drawEllipse(c, 17, 14);
            QRadialGradient stone(c + QPointF(-2, -3), 7);
            stone.setColorAt(0, QColor(255, 255, 255));
            stone.setColorAt(0.35, QColor(70, 140, 200));
            stone.setColorAt(1, QColor(20, 50, 100));
            p.setBrush(stone);
            p.drawEllipse(c + QPointF(2, 1), 6, 6);
        }
    }
    QFont title("Liberation Serif");
    title.setPixelSize(54);
    title.setBold(true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 6);
    p.setFont(title);
    const QRect band(0, 70, w, 80);
    p.setPen(QColor(40, 20, 6, 160));
    p.drawText(band.translated(3, 3), Qt::AlignCenter, "TESSUM");
    p.setPen(QColor(255, 226, 160));
    p.drawText(band, Qt::AlignCenter, "TESSUM");
    QFont sub("Liberation Sans");
    sub.setPixelSize(15);
    p.setFont(sub);
    p.setPen(QColor(255, 240, 210));
    const QString Line = Subtitle.isEmpty()
                             ? QString("Freeware No. 1  \u00b7  Version %1").arg(config::ProgramVersion)
                             : Subtitle;
    p.drawText(QRect(0, 146, w, 24), Qt::AlignCenter, Line);
    p.setPen(QPen(QColor(60, 30, 8), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(0, 0, w, h).adjusted(1, 1, -2, -2));
    p.end();
    return QPixmap::fromImage(img);
}

TInfoDialog::TInfoDialog(QWidget* Parent) : QDialog(Parent) {
    setModal(true);
    setWindowTitle(QString("TESSUM (R)"));
    auto* outer = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    picture_ = new QLabel(this);
    const QPixmap splash = TSplashScreen::DefaultPicture();
    const qreal ratio = splash.devicePixelRatio();
    QPixmap small = splash.scaled(QSize(168, 96) * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    small.setDevicePixelRatio(ratio);
    picture_->setPixmap(small);
    body_ = new QLabel(this);
    body_->setObjectName("lInfo");
    body_->setTextFormat(Qt::RichText);
    // The link goes through the desktop helper, which speaks up when no
    // browser takes it.
    body_->setOpenExternalLinks(false);
    connect(body_, &QLabel::linkActivated, this, [this](const QString& Link) { OpenDocument(Link, this); });
    body_->setWordWrap(true);
    body_->setMinimumWidth(240);
    row->addWidget(picture_);
    row->addWidget(body_, 1);
    outer->addLayout(row);
    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("bbOK");
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    outer->addLayout(buttons);
    SetTexts("TESSUM (R)",
             "<b>%name%</b><br>Version %version%<br><br>%maker%<br><a href=\"http://%web%/\">%web%</a>", "OK");
}

QString TInfoDialog::FillPlaceholders(QString Text) {
    Text.replace("%name%", config::ProgramName);
    Text.replace("%version%", config::ProgramVersion);
    Text.replace("%maker%", config::ProgramMaker);
    Text.replace("%web%", config::WebHost);
    return Text;
}

void TInfoDialog::SetTexts(const QString& Caption, const QString& Body, const QString& OkText,
                           const QString& PictureText) {
    setWindowTitle(Caption);
    body_->setText(FillPlaceholders(Body));
    ok_->setText(OkText);
    if (!PictureText.isEmpty()) {
        pictureText_ = FillPlaceholders(PictureText);
        picture_->setPixmap(TSplashScreen::DefaultPicture(pictureText_)
                                .scaled(168, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
}

QString TInfoDialog::OkText() const { return ok_->text(); }

QString TInfoDialog::BodyText() const { return body_->text(); }

}  // namespace tessum
