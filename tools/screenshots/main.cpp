// tessum-screenshots OUTPUT_FOLDER: builds the program's real windows, drives
// them into a few typical states and saves each as a PNG, in German and in
// English. The game itself takes no arguments; this tool is its camera.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>

#include <QKeyEvent>
#include <QThread>

#include <chrono>
#include <cstdio>
#include <functional>
#include <fstream>
#include <string>

#include "game/uProfile.h"
#include "app/uRichText.h"
#include "highscore/uTHighscore.h"
#include "graphics/uTSpielfeldLayers.h"
#include "app/ufHighscore.h"
#include "app/ufNewGame.h"
#include "app/ufSpielfeld.h"
#include "app/ufStreichholz.h"

using namespace tessum;

namespace {

QString OutputFolder;

void Save(const QImage& Image, const QString& Name) {
    const QString File = OutputFolder + "/" + Name + ".png";
    if (!Image.save(File)) std::fprintf(stderr, "cannot write %s\n", qPrintable(File));
    else std::printf("%s\n", qPrintable(File));
}

void Settle() {
    for (int I = 0; I < 5; ++I) QApplication::processEvents();
}

void WriteSettings(const std::string& Folder, const std::string& Language) {
    std::ofstream(Folder + "/settings.ini")
        << "[settings]\nlanguage=" << Language << "\nsound=0\nhandani=1\nstoneani=0\nnoani=0\n"
        << "[newgame]\nname1=Anna\nname2=Bert\nmail1=anna@example.org\nmail2=bert@example.org\n"
        << "difficulty=1\nmode=0\nvariant=1\nstones=5\nusehead=1\nland1=0\nland2=0\n";
}

void WriteTable(const std::string& Folder) {
    THighscore Table;
    const char* Names[] = {"Anna", "Bert", "Carla", "Dieter", "Emil", "Frieda"};
    for (int I = 0; I < 6; ++I)
        Table.AddScore(Names[I], 300 + I * 97, 40 - I * 3, 20 + I * 3, 30 + I * 4, false, "", "deutschland");
    Table.SaveToFile(HighscoreFileName(Folder, 2));
}

// The window with the hover hint, which is a window of its own, painted in.
QImage WindowWithHint(TfSpielfeld& Window) {
    QImage Shot = Window.grab().toImage();
    QWidget* Hint = Window.htmlhint;
    if (Hint->isVisible()) {
        QPainter P(&Shot);
        const QPoint At = Window.mapFromGlobal(Hint->mapToGlobal(QPoint(0, 0)));
        P.drawImage(At, Hint->grab().toImage());
    }
    return Shot;
}

void Hover(TfSpielfeld& Window, int Pit) {
    const TRect& R = PitRects[static_cast<std::size_t>(Pit)];
    // Where the window shows the pit's centre; the board may be scaled.
    const QPointF At = Window.pbSpielfeld->View.ToWidget(TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2});
    QMouseEvent Move(QEvent::MouseMove, At, Window.pbSpielfeld->mapToGlobal(At), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(Window.pbSpielfeld, &Move);
}

// Handles events in real time until Done holds or Seconds have passed: the
// computer's timer and the master's thread need the time to go by.
void WaitFor(const std::function<bool()>& Done, int Seconds) {
    const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(Seconds);
    while (!Done() && std::chrono::steady_clock::now() < Limit) {
        QApplication::processEvents();
        QThread::msleep(5);
    }
    Settle();
}

void PressKey(QWidget& Window, int Key) {
    QKeyEvent Press(QEvent::KeyPress, Key, Qt::NoModifier);
    QApplication::sendEvent(&Window, &Press);
}

void Shoot(const std::string& Folder, const std::string& Language) {
    const QString Suffix = Language == "english" ? "_en" : "_de";
    WriteSettings(Folder, Language);
    WriteTable(Folder);
    {
        TfSpielfeld Window;
        Window.show();
        Settle();
        Save(Window.grab().toImage(), "start" + Suffix);

        TSpielfeld& Game = Window.Spielfeld();
        Game.Settings().Animation = 0;
        Game.NewGame("Anna", "Bert", "", "", "deutschland", "england", 5, true, 2, 2, 0, 1);
        const int Moves[] = {3, 10, 5, 12, 1};
        for (int Pit : Moves)
            if (Game.IsRunning() && Game.Board().IsLegalMove(Pit)) Window.Driver().MakeMove(Pit);
        Game.SetClock(1, 74);
        Game.SetClock(2, 51);
        for (int Row = 1; Row <= 6; ++Row) {
            const int Pit = PitIndex(Game.Board().Player, Row);
            if (Game.Board().IsLegalMove(Pit)) {
                Hover(Window, Pit);
                break;
            }
        }
        Settle();
        Save(WindowWithHint(Window), "game" + Suffix);
        Window.htmlhint->CancelHint();
        Window.Driver().StopClock();
    }
    {
        // Against the master: after its first move the person asks for a
        // hint (the golden marker) and walks the focus frame with the keys.
        TfSpielfeld Window;
        Window.show();
        Settle();
        TSpielfeld& Game = Window.Spielfeld();
        TTurnDriver& Driver = Window.Driver();
        Game.Settings().Animation = 0;
        Driver.MasterBudget = std::chrono::milliseconds(300);
        Game.NewGame("Computer 1", "Bert", "", "", "europa", "england", 6, true, 3, MasterLevel, 1, 1);
        Driver.GameStarted();
        WaitFor([&] { return !Game.ComputerToMove() && !Driver.Thinking(); }, 30);
        Driver.AskForHint();
        WaitFor([&] { return !Driver.Thinking(); }, 30);
        PressKey(Window, Qt::Key_Right);
        PressKey(Window, Qt::Key_Right);
        Settle();
        Save(WindowWithHint(Window), "master_hint" + Suffix);
        Window.htmlhint->CancelHint();
        Window.alMenuUpdate();
        Window.miGame->popup(Window.mapToGlobal(QPoint(8, 24)));
        Settle();
        Save(Window.miGame->grab().toImage(), "menu_game" + Suffix);
        Window.miGame->hide();
        Driver.StopClock();
    }
    {
        TfNewGame Dialog;
        Dialog.SetLanguage(Language);
        Dialog.LoadChoices();
        Dialog.show();
        Settle();
        Save(Dialog.grab().toImage(), "newgame" + Suffix);
    }
    {
        TfStreichholz Draw;
        Draw.SetLanguage(Language);
        Draw.SetPlayers("Anna", "Bert");
        Draw.show();
        Settle();
        Save(Draw.grab().toImage(), "draw" + Suffix);
        SeedDrawCoin(7);
        Draw.PauseMilliseconds = 0;
        Draw.bLeft->click();
        Settle();
        Save(Draw.grab().toImage(), "draw_result" + Suffix);
    }
    {
        TfHighscore Dialog;
        Dialog.SetLanguage(Language);
        Dialog.SetGame(1, 3);
        Dialog.ShowVariant(1);
        Dialog.show();
        Settle();
        Save(Dialog.grab().toImage(), "highscore" + Suffix);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessum-screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    QApplication App(argc, argv);
    OutputFolder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(OutputFolder);
    QTemporaryDir Folder;
    if (!Folder.isValid()) return 1;
    // Settings and tables of a made-up player, never the user's own.
    SetUserFolder(Folder.path().toStdString());
    Shoot(Folder.path().toStdString(), "german");
    Shoot(Folder.path().toStdString(), "english");
    return 0;
}
