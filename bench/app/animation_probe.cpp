// Plays moves with the stone or the hand animation for a given time in a
// shown board window and prints the share of one core the process used
// meanwhile, from /proc/self/stat. Measured by BM_AnimationCpu. Arguments:
// the user folder, "stones" or "hands", the seconds to play.
#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "archive/uPaths.h"
#include "game/uTSettings.h"
#include "game/uTSpielfeld.h"
#include "i18n/MultiLanguage.h"

namespace {

// User plus system time of the whole process, in seconds.
double ProcessCpuSeconds() {
    std::ifstream Stat("/proc/self/stat");
    std::string Line;
    std::getline(Stat, Line);
    // The command name may hold spaces; the fields after it are plain.
    std::istringstream Fields(Line.substr(Line.rfind(')') + 2));
    std::string Field;
    unsigned long long UTime = 0, STime = 0;
    for (int I = 3; I <= 15 && Fields >> Field; ++I) {
        if (I == 14) UTime = std::stoull(Field);
        if (I == 15) STime = std::stoull(Field);
    }
    return static_cast<double>(UTime + STime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

class TBoardWindow final : public QWidget, public tessum::ISpielfeldWindow {
public:
    tessum::TSpielfeld* Game = nullptr;
    void ShowError(const std::string& Message) override { std::cerr << Message << '\n'; }
    void Repaint() override { update(); }
    void ShowResult(const std::string&) override {}
    void GameFinished(std::int32_t, std::int32_t) override {}
    void MustSkip() override {}

protected:
    void paintEvent(QPaintEvent*) override {
        if (Game == nullptr || Game->IsUpdating()) return;
        QPainter P(this);
        P.drawImage(0, 0, Game->ShownPicture().Image());
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 4) return 2;
    tessum::SetUserFolder(argv[1]);
    const bool Hands = std::string(argv[2]) == "hands";
    const double Seconds = std::stod(argv[3]);
    QApplication App(argc, argv);
    TBoardWindow Window;
    Window.resize(720, 520);
    tessum::TMultiLanguage Lng(&Window);
    Lng.LoadScript(":/lng/fSpielfeld.lng");
    Lng.SetLanguage("german");
    tessum::TSpielfeld Game(&Lng, &Window);
    Window.Game = &Game;
    Game.ShowLanguagePictures();
    Game.Settings().Sound = false;
    Game.Settings().Animation = Hands ? tessum::AnimationHands : tessum::AnimationStones;
    Window.show();

    const auto Start = std::chrono::steady_clock::now();
    const double CpuStart = ProcessCpuSeconds();
    auto Elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count(); };
    while (Elapsed() < Seconds) {
        if (!Game.IsRunning()) Game.NewGame("Ann", "Bob", "", "", "europa", "europa", 6, true, 3, 1, 0, 1);
        if (Game.Board().MustSkip())
            Game.PassTurn();
        else
            Game.PlayMove(Game.ComputerMove());
    }
    const double Cpu = ProcessCpuSeconds() - CpuStart;
    std::printf("%.3f\n", 100.0 * Cpu / Elapsed());
    return 0;
}
