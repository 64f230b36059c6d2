// The drawing cost of one animation frame on the real board and artwork. The
// animation waits 50 to 500 ms between frames; drawing must stay far below
// that so the waits, not the drawing, set the pace.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

#include "game/uProfile.h"
#include "game/uTSpielfeld.h"
#include "graphics/uBoardView.h"
#include "graphics/uTGFXFile.h"

using namespace tessum;

namespace {

struct TBenchGame {
    QTemporaryDir SettingsFolder;
    std::unique_ptr<TSpielfeld> Game;

    // Scale: the pixel scale the board is composed at (2 for a high-density screen).
    explicit TBenchGame(int Scale = 1) {
        if (!QCoreApplication::instance()) {
            setenv("QT_QPA_PLATFORM", "offscreen", 0);
            static int argc = 1;
            static char name[] = "tessum_bench";
            static char* argv[] = {name, nullptr};
            new QGuiApplication(argc, argv);
        }
        // The settings the controller saves at the end go to a scratch folder.
        SetUserFolder(SettingsFolder.path().toStdString());
        SetBoardScale(Scale);
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
        SetBoardScale(0);
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

// One hand frame shown full screen on a 2560 x 1600 display: the hands of a
// sowing step drawn on the composed board, the board view finding what
// changed, rescaling only that, and the changed area copied to the screen.
// Logical screen 1280 x 800 at ratio 2 (board composed at 2), or 2560 x 1600
// at ratio 1 (board composed at 1 and enlarged 3 times). With Full set every
// frame rescales the whole board: what the changed rectangles save.
void HandFrameOnScreen(benchmark::State& State, int Scale, bool Full) {
    TBenchGame B(Scale);
    TTessumHands& H = B.Game->Hands();
    H.StartMove();
    H.LeftPos[1] = RectCenter(PitRects[3]);
    H.LeftFrame[1] = 11;
    H.LeftStones[1] = 6;
    H.RightFrame[1] = 4;
    // The sowing hand steps back and forth between two pits 57 pixels apart,
    // the longest step MoveHands takes.
    const TPoint Steps[2] = {RectCenter(PitRects[5]), OffsetPoint(RectCenter(PitRects[5]), {57, 0}, true)};
    const double Ratio = Scale;
    QImage Screen(2560, 1600, QImage::Format_RGB32);
    Screen.setDevicePixelRatio(Ratio);
    TBoardView View(BoardWidth, BoardHeight);
    View.SetArea(QSize(static_cast<int>(2560 / Ratio), static_cast<int>(1600 / Ratio)), Ratio);
    H.Draw();
    View.Update(B.Game->FramePicture());
    int Step = 0;
    double Pixels = 0;
    for (auto _ : State) {
        H.RightPos[1] = Steps[Step ^= 1];
        H.Draw();
        if (Full) View.Invalidate();
        const QRegion Changed = View.Update(B.Game->FramePicture());
        QPainter P(&Screen);
        for (const QRect& R : Changed) {
            View.Paint(P, R);
            Pixels += R.width() * R.height() * Ratio * Ratio;
        }
    }
    State.counters["repainted_px"] = benchmark::Counter(Pixels / static_cast<double>(State.iterations()));
}

void BM_HandFrameScaled(benchmark::State& State) { HandFrameOnScreen(State, 2, false); }
BENCHMARK(BM_HandFrameScaled)->Unit(benchmark::kMillisecond);
void BM_HandFrameScaledWhole(benchmark::State& State) { HandFrameOnScreen(State, 2, true); }
BENCHMARK(BM_HandFrameScaledWhole)->Unit(benchmark::kMillisecond);
void BM_HandFrameScaledRatio1(benchmark::State& State) { HandFrameOnScreen(State, 1, false); }
BENCHMARK(BM_HandFrameScaledRatio1)->Unit(benchmark::kMillisecond);

}  // namespace
