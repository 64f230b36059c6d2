// The program entry: the language question on the very first start, then the
// main window until it closes.
#include <QApplication>

#include <exception>

#include "i18n/GVDialogs.h"
#include "i18n/lngDialogs.h"
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

}  // namespace

int main(int argc, char* argv[]) {
    TTessumApplication App(argc, argv);
    tessum::ChooseLanguageOnFirstStart();
    tessum::TfSpielfeld Window;
    Window.show();
    return QApplication::exec();
}
