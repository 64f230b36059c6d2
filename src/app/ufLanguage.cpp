#include "app/ufLanguage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <exception>

#include "i18n/lngDialogs.h"
#include "app/uConfig.h"
#include "game/uTSettings.h"

namespace tessum {

TfLanguage::TfLanguage(QWidget* Parent) : QDialog(Parent) {
    setObjectName(QStringLiteral("fLanguage"));
    // Only a close box: the window is not meant to be resized or minimised.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("TESSUM (R)"));

    lDescHead = new QLabel(QStringLiteral("Sprache / Language:"), this);
    lDescHead->setObjectName(QStringLiteral("lDescHead"));
    QFont bold = lDescHead->font();
    bold.setBold(true);
    lDescHead->setFont(bold);

    lDesc = new QLabel(QString::fromUtf8("Wählen Sie Ihre Sprache.\nPlease choose your language."), this);
    lDesc->setObjectName(QStringLiteral("lDesc"));

    bGerman = new QPushButton(QStringLiteral("Deutsch / German"), this);
    bGerman->setObjectName(QStringLiteral("bGerman"));
    bEnglish = new QPushButton(QStringLiteral("Englisch / English"), this);
    bEnglish->setObjectName(QStringLiteral("bEnglish"));
    for (QPushButton* b : {bGerman, bEnglish}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(130);
    }
    connect(bGerman, &QPushButton::clicked, this, &TfLanguage::bGermanClick);
    connect(bEnglish, &QPushButton::clicked, this, &TfLanguage::bEnglishClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bGerman);
    buttons->addWidget(bEnglish);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(8);
    layout->addWidget(lDescHead);
    layout->addWidget(lDesc);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect g = screen->availableGeometry();
        move(g.left() + (g.width() - width()) / 2, g.top() + (g.height() - height()) / 2);
    }
}

void TfLanguage::bGermanClick() {
    Choice_ = LanguageGerman;
    close();
}

void TfLanguage::bEnglishClick() {
    Choice_ = LanguageEnglish;
    close();
}

void TfLanguage::reject() { close(); }

void TfLanguage::closeEvent(QCloseEvent* Event) {
    // Written on every request, also the empty value of a refused one, so
    // that a program ended here asks again at the next start.
    try {
        WriteLanguage(Choice_);
    } catch (const std::exception& e) {
        // A folder that cannot be written must not trap the user in this
        // window: the error is shown and a made choice still closes it.
        LngMessageDlg(std::string(e.what()), mtError, {mbOK});
    }
    if (Choice_.empty()) {
        Event->ignore();
        return;
    }
    Event->accept();
    done(QDialog::Accepted);
}

bool ChooseLanguageOnFirstStart() {
    OpenSettingsFile();
    const std::string language = ReadLanguage("");
    CloseSettingsFile();
    if (!language.empty()) return false;
    QCoreApplication::setApplicationName(QString::fromLatin1(config::ApplicationTitle));
    TfLanguage dialog;
    dialog.exec();
    return true;
}

}  // namespace tessum
