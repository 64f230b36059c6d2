// The drawing cost of one animation frame on the real board and artwork. The
// animation waits 50 to 500 ms between frames; drawing must stay far below
// that so the waits, not the drawing, set the pace.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

#include "game/uProfile.h"
#include "game/uTSpielfeld.h"

using namespace tessum;

namespace {

struct TBenchGame {
    QTemporaryDir SettingsFolder;
    std::unique_ptr<TSpielfeld> Game;

    TBenchGame() {
        if (!QCoreApplication::instance()) {
            setenv("QT_QPA_PLATFORM", "offscreen", 0);
            static int argc = 1;
            static char name[] = "tessum_bench";
            static char* argv[] = {name, nullptr};
            new QGuiApplication(argc, argv);
        }
        // The settings the controller saves at the end go to a scratch folder.
        SetUserFolder(SettingsFolder.path().toStdString());
        Game = std::make_unique<TSpielfeld>(nullptr);
        Game->Settings().Sound = false;
        Game->NewGame("Ann", "Bob", "", "", "europa", "europa", 6, true, 1, 1, 0, 1);
        // Something to repaint on: a few stones in every pit, the end pits full.
        TPits Pits = Game->Board().Pits;
        Pits[7] = 15;
        Pits[14] = 12;
        Game->SetPosition(Pits, Game->Board().Player);
    }
    ~TBenchGame() {
        Game.reset();
        SetUserFolder("");
    }
};

// A stone frame: the board copied onto the frame picture, the golden marker
// over a pit, the layers brought up to date and the window told.
void BM_StoneFrame(benchmark::State& State) {
    TBenchGame B;
    int Pit = 1;
    for (auto _ : State) {
        B.Game->Animator().ShowStoneFrame(Pit, 0);
        Pit = Pit % 14 + 1;
        benchmark::DoNotOptimize(B.Game->FramePicture().Image().constBits());
    }
}
BENCHMARK(BM_StoneFrame)->Unit(benchmark::kMicrosecond);

// A hand frame with all four hands in sight over the board and a heap of
// stones in each closed left hand, as during a grab.
void BM_HandFrame(benchmark::State& State) {
    TBenchGame B;
    TTessumHands& H = B.Game->Hands();
    H.StartMove();
    H.LeftPos[1] = RectCenter(PitRects[3]);
    H.RightPos[1] = OffsetPoint(H.LeftPos[1], HandSides[1].RightTakeOver, true);
    H.LeftPos[2] = RectCenter(PitRects[10]);
    H.RightPos[2] = OffsetPoint(H.LeftPos[2], HandSides[2].RightTakeOver, true);
    for (int Side = 1; Side <= 2; ++Side) {
        H.LeftFrame[Side] = 11;
        H.RightFrame[Side] = 2;
        H.LeftStones[Side] = 6;
    }
    for (auto _ : State) {
        H.Draw();
        benchmark::DoNotOptimize(B.Game->FramePicture().Image().constBits());
    }
}
BENCHMARK(BM_HandFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
