#include "i18n/GVDialogs.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>

#include "i18n/Ansi.h"

namespace tessum {

namespace {

constexpr std::array<int, kMsgDlgButtonCount> kResults = {
    mrYes, mrNo, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrAll, mrNoToAll, mrYesToAll, mrNone};

// Object names of the buttons, so that a running dialog can be inspected.
constexpr std::array<const char*, kMsgDlgButtonCount> kButtonNames = {
    "Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll", "YesToAll", "Help"};

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs;

// Rounded n * m / d, as dialog units are converted.
int MulDiv(int N, int M, int D) { return (N * M + D / 2) / D; }

// Draws the message with the very flags it was measured with, so that the
// wrapping on screen is the wrapping the layout was computed for.
class TMessageText : public QWidget {
public:
    TMessageText(const QString& Text, QWidget* Parent) : QWidget(Parent), Text_(Text) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setFont(font());
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(rect(), kTextFlags, Text_);
    }

private:
    QString Text_;
};

QStyle::StandardPixmap IconFor(TMsgDlgType Kind) {
    switch (Kind) {
        case mtWarning: return QStyle::SP_MessageBoxWarning;
        case mtError: return QStyle::SP_MessageBoxCritical;
        case mtInformation: return QStyle::SP_MessageBoxInformation;
        default: return QStyle::SP_MessageBoxQuestion;
    }
}

}  // namespace

int ModalResultOf(TMsgDlgBtn Button) { return kResults[static_cast<std::size_t>(Button)]; }

TGVMessageDialog::TGVMessageDialog(const QString& Text, TMsgDlgType Kind, TMsgDlgButtons Buttons,
                                   const TDlgMultiLangRec& Texts, QWidget* Parent)
    : QDialog(Parent), Kind_(Kind >= mtWarning && Kind <= mtCustom ? Kind : mtCustom) {
    Kind = Kind_;
    // Line breaks arrive as CR LF from the scripts.
    Text_ = Text;
    Text_.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));

    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    setWindowTitle(Kind == mtCustom ? QGuiApplication::applicationDisplayName()
                                    : FromAnsi(Texts.Captions[static_cast<std::size_t>(Kind)]));
    setFont(QApplication::font("QMessageBox"));
    const QFontMetrics fm(font());

    // Dialog units: a quarter of the average letter width, an eighth of the
    // line height.
    const int lettersWidth =
        fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int aveWidth = (lettersWidth / 26 + 1) / 2;
    const int height = fm.height();
    const int horzMargin = MulDiv(8, aveWidth, 4);
    const int vertMargin = MulDiv(8, height, 8);
    const int horzSpacing = MulDiv(10, aveWidth, 4);
    const int vertSpacing = MulDiv(10, height, 8);
    const int buttonHeight = MulDiv(14, height, 8);
    const int buttonSpacing = MulDiv(4, aveWidth, 4);
    int buttonWidth = MulDiv(50, aveWidth, 4);

    std::vector<TMsgDlgBtn> shown;
    for (int b = 0; b < kMsgDlgButtonCount; ++b) {
        const auto btn = static_cast<TMsgDlgBtn>(b);
        if (!Buttons.Has(btn)) continue;
        shown.push_back(btn);
        const QString caption = FromAnsi(Texts.ButtonCaptions[static_cast<std::size_t>(b)]);
        buttonWidth = std::max(buttonWidth, fm.horizontalAdvance(caption) + 8);
    }

    const QScreen* screen = QGuiApplication::primaryScreen();
    const int maxTextWidth = screen ? screen->geometry().width() / 2 : 400;
    QRect textRect = fm.boundingRect(QRect(0, 0, maxTextWidth, 0), kTextFlags, Text_);
    const int textWidth = textRect.width();
    const int textHeight = textRect.height();

    const bool hasIcon = Kind != mtCustom;
    int iconTextWidth = textWidth;
    int iconTextHeight = textHeight;
    if (hasIcon) {
        iconTextWidth += 32 + horzSpacing;
        iconTextHeight = std::max(iconTextHeight, 32);
    }
    const int count = static_cast<int>(shown.size());
    const int groupWidth = count > 0 ? count * buttonWidth + (count - 1) * buttonSpacing : 0;
    const int clientWidth = std::max(iconTextWidth, groupWidth) + 2 * horzMargin;
    const int clientHeight = iconTextHeight + buttonHeight + vertSpacing + 2 * vertMargin;
    setFixedSize(clientWidth, clientHeight);

    int textLeft = horzMargin;
    if (hasIcon) {
        auto* image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image"));
        image->setPixmap(style()->standardIcon(IconFor(Kind), nullptr, this).pixmap(32, 32));
        image->setGeometry(horzMargin, vertMargin, 32, 32);
        textLeft += 32 + horzSpacing;
    }
    auto* message = new TMessageText(Text_, this);
    message->setObjectName(QStringLiteral("Message"));
    message->setGeometry(textLeft, vertMargin, textWidth, textHeight);

    // OK is the natural answer, then Yes, then Retry; Escape backs out through
    // Cancel, then No, then OK.
    int x = (clientWidth - groupWidth) / 2;
    const int y = iconTextHeight + vertMargin + vertSpacing;
    for (TMsgDlgBtn btn : shown) {
        auto* b = new QPushButton(FromAnsi(Texts.ButtonCaptions[static_cast<std::size_t>(btn)]), this);
        b->setObjectName(QLatin1String(kButtonNames[static_cast<std::size_t>(btn)]));
        b->setAutoDefault(false);
        b->setGeometry(x, y, buttonWidth, buttonHeight);
        x += buttonWidth + buttonSpacing;
        const int result = ModalResultOf(btn);
        b->setProperty("ModalResult", result);
        if (btn == mbHelp)
            connect(b, &QPushButton::clicked, this, &TGVMessageDialog::HelpRequested);
        else
            connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        ByKind_[static_cast<std::size_t>(btn)] = b;
        Buttons_.push_back(b);
    }
    for (TMsgDlgBtn btn : {mbOK, mbYes, mbRetry})
        if (!Default_) Default_ = ByKind_[static_cast<std::size_t>(btn)];
    for (TMsgDlgBtn btn : {mbCancel, mbNo, mbOK})
        if (!Escape_) Escape_ = ByKind_[static_cast<std::size_t>(btn)];
    if (Default_) {
        Default_->setDefault(true);
        Default_->setFocus();
    } else if (!Buttons_.empty()) {
        Buttons_.front()->setFocus();
    }
}

QPushButton* TGVMessageDialog::ButtonFor(TMsgDlgBtn Button) const {
    return ByKind_[static_cast<std::size_t>(Button)];
}

void TGVMessageDialog::keyPressEvent(QKeyEvent* Event) {
    if (Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier) {
        // Without a button to back out through, Escape does nothing.
        if (Escape_) Escape_->click();
        Event->accept();
        return;
    }
    QDialog::keyPressEvent(Event);
}

void TGVMessageDialog::reject() { done(mrCancel); }

std::unique_ptr<TGVMessageDialog> CreateMessageDialog(const QString& Text, TMsgDlgType Kind,
                                                      TMsgDlgButtons Buttons,
                                                      const TDlgMultiLangRec& Texts) {
    return std::make_unique<TGVMessageDialog>(Text, Kind, Buttons, Texts);
}

}  // namespace tessum
