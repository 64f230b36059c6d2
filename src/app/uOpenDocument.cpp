#include "app/uOpenDocument.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

#include "i18n/Ansi.h"
#include "i18n/GVDialogs.h"
#include "i18n/lngDialogs.h"

namespace tessum {

namespace {

// xdg-open that fails does so within a few seconds, after trying the
// browsers it knows. One that runs a browser in the foreground returns only
// when the browser closes, with whatever code the browser had: that page was
// open, so a late failure is no news.
constexpr qint64 QuickFailureMs = 20000;

QUrl UrlOf(const QString& Target) {
    return Target.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(Target) : QUrl(Target);
}

void DesktopOpen(const QString& Target, std::function<void(bool)> Done) {
    const QString XdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (XdgOpen.isEmpty()) {
        // Elsewhere Qt's own answer is all there is.
        Done(QDesktopServices::openUrl(UrlOf(Target)));
        return;
    }
    auto* Process = new QProcess(qApp);
    Process->setProgram(XdgOpen);
    Process->setArguments({Target});
    Process->setStandardOutputFile(QProcess::nullDevice());
    Process->setStandardErrorFile(QProcess::nullDevice());
    auto Clock = std::make_shared<QElapsedTimer>();
    auto Reported = std::make_shared<bool>(false);
    auto Report = [Process, Done, Reported](bool Opened) {
        if (*Reported) return;
        *Reported = true;
        Process->deleteLater();
        Done(Opened);
    };
    QObject::connect(Process, &QProcess::finished, Process,
                     [Report, Clock](int Code, QProcess::ExitStatus Status) {
                         Report((Status == QProcess::NormalExit && Code == 0) || Clock->elapsed() > QuickFailureMs);
                     });
    QObject::connect(Process, &QProcess::errorOccurred, Process, [Report](QProcess::ProcessError Error) {
        if (Error == QProcess::FailedToStart) Report(false);
    });
    Clock->start();
    Process->start();
}

TDesktopOpener& Opener() {
    static TDesktopOpener Current = DesktopOpen;
    return Current;
}

}  // namespace

TDesktopOpener SetDesktopOpener(TDesktopOpener NewOpener) {
    TDesktopOpener Previous = std::move(Opener());
    Opener() = NewOpener ? std::move(NewOpener) : TDesktopOpener(DesktopOpen);
    return Previous;
}

void OpenDocument(const QString& Target, QWidget* Parent) {
    QPointer<QWidget> Guard(Parent);
    const bool HadParent = Parent != nullptr;
    Opener()(Target, [Target, Guard, HadParent](bool Opened) {
        if (Opened) return;
        ShowCannotOpen(Target, HadParent ? Guard.data() : nullptr);
    });
}

void ShowCannotOpen(const QString& Target, QWidget* Parent) {
    QDialog Dialog(Parent);
    Dialog.setObjectName(QStringLiteral("CannotOpen"));
    Dialog.setWindowTitle(DialogText("warning"));
    const QString Text = DialogText("msgcannotopen");
    Dialog.setProperty("MessageText", Text + QStringLiteral("\n") + Target);

    auto* Icon = new QLabel(&Dialog);
    Icon->setPixmap(Dialog.style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, &Dialog).pixmap(32, 32));
    Icon->setAlignment(Qt::AlignTop);
    auto* Message = new QLabel(Text, &Dialog);
    Message->setWordWrap(true);
    Message->setTextFormat(Qt::PlainText);
    // A line of its own, already selected: Ctrl+C or the mouse takes it.
    auto* Address = new QLineEdit(Target, &Dialog);
    Address->setObjectName(QStringLiteral("Address"));
    Address->setReadOnly(true);
    Address->setMinimumWidth(std::min(520, Address->fontMetrics().horizontalAdvance(Target) + 24));
    auto* Ok = new QPushButton(DialogText("mbOK"), &Dialog);
    Ok->setObjectName(QStringLiteral("bbOK"));
    Ok->setProperty("ModalResult", static_cast<int>(mrOk));
    Ok->setAutoDefault(false);
    Ok->setDefault(true);
    QObject::connect(Ok, &QPushButton::clicked, &Dialog, [&Dialog] { Dialog.done(mrOk); });

    auto* Texts = new QVBoxLayout;
    Texts->addWidget(Message);
    Texts->addWidget(Address);
    auto* Row = new QHBoxLayout;
    Row->addWidget(Icon);
    Row->addLayout(Texts, 1);
    Row->setSpacing(14);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(Ok);
    Buttons->addStretch();
    auto* Layout = new QVBoxLayout(&Dialog);
    Layout->addLayout(Row);
    Layout->addLayout(Buttons);
    Message->setMinimumWidth(320);

    Address->setFocus();
    Address->selectAll();
    ShowMessageDialog(Dialog);
}

}  // namespace tessum
