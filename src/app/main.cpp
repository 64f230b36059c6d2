// The program entry: the command line, the language question on the very
// first start, then the main window until it closes.
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "archive/uPaths.h"
#include "i18n/GVDialogs.h"
#include "i18n/lngDialogs.h"
#include "app/uBrokenInstallation.h"
#include "app/uCommandLine.h"
#include "app/ufLanguage.h"
#include "app/ufSpielfeld.h"

namespace {

// An exception that escapes an event handler ends up here: it is shown like
// any other error and the program goes on.
class TTessumApplication final : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* Receiver, QEvent* Event) override {
        try {
            return QApplication::notify(Receiver, Event);
        } catch (const std::exception& E) {
            tessum::LngMessageDlg(E.what(), tessum::mtError, {tessum::mbOK});
        } catch (...) {
            tessum::LngMessageDlg("Unknown error.", tessum::mtError, {tessum::mbOK});
        }
        return false;
    }
};

std::vector<std::string> Arguments(int argc, char* argv[]) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return args;
}

// The desktop finds the entry, the icon and the windows' group by the one id.
void SetIdentity() {
    const QString id = QString::fromLatin1(tessum::ApplicationId);
    QApplication::setApplicationName(QStringLiteral("tessum"));
    QApplication::setApplicationVersion(QString::fromLatin1(tessum::ApplicationVersion));
    QGuiApplication::setDesktopFileName(id);
    // Installed, the icon theme has it; run from a folder, it lies beside the data.
    const QIcon beside(QString::fromStdString(tessum::DataFile(std::string(tessum::ApplicationId) + ".png")));
    QApplication::setWindowIcon(QIcon::fromTheme(id, beside));
}

}  // namespace

int main(int argc, char* argv[]) {
    switch (tessum::EarlyCommand(Arguments(argc, argv))) {
    case tessum::TCommand::Help:
        std::fputs(tessum::HelpText().c_str(), stdout);
        return 0;
    case tessum::TCommand::Version:
        std::fputs(tessum::VersionText().c_str(), stdout);
        return 0;
    default:
        break;
    }

    TTessumApplication App(argc, argv);
    // Qt has taken its own options out of argv by now.
    const tessum::TCommandLine Line = tessum::ParseCommandLine(Arguments(argc, argv));
    if (Line.Command == tessum::TCommand::Usage) {
        std::fprintf(stderr, "tessum: %s\n%s", Line.Error.c_str(), tessum::UsageText().c_str());
        return 2;
    }
    SetIdentity();
    tessum::ChooseLanguageOnFirstStart();
    // The pictures are read while the window is built, outside the event
    // loop's error display: a broken installation is told here, and the
    // program ends without writing anything.
    std::unique_ptr<tessum::TfSpielfeld> Window;
    try {
        Window = std::make_unique<tessum::TfSpielfeld>();
    } catch (const tessum::TArchiveFault& Fault) {
        return tessum::ReportBrokenInstallation(Fault);
    }
    Window->show();
    if (!Line.File.empty()) {
        // Run from the event loop, so a failure reaches the error display
        // like any other and the game goes on without it.
        const QString File = QFileInfo(QString::fromLocal8Bit(Line.File.c_str())).absoluteFilePath();
        tessum::TfSpielfeld* Shown = Window.get();
        QTimer::singleShot(0, Shown, [Shown, File] { Shown->LoadGameFile(File); });
    }
    return QApplication::exec();
}
